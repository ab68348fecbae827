#include "support/FakeSystem.h"

#include <shlwapi.h>

#include <algorithm>
#include <cwctype>
#include <cstring>
#include <cwchar>
#include <stdexcept>

namespace fake {

namespace {
HANDLE const kFakeMutex = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x4B56));
HANDLE const kFakeSnapshot = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x4B5A));

std::vector<ScratchRegistry*>& ActiveRegistries() {
    static std::vector<ScratchRegistry*> active;
    return active;
}

bool Exists(HKEY root, LPCWSTR path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

// Registry paths compare without their leading backslashes and whatever their case.
std::wstring KeyPath(LPCWSTR path) {
    std::wstring text = path ? path : L"";
    text.erase(0, text.find_first_not_of(L'\\'));
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// The rights an open asks for, without the flags that pick a registry view.
REGSAM Rights(REGSAM asked) {
    return asked & ~(KEY_WOW64_32KEY | KEY_WOW64_64KEY);
}
} // namespace

ScratchRegistry::ScratchRegistry() {
    root_ = L"Software\\KelvraTests\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(::GetTickCount());
    ::RegCreateKeyExW(HKEY_CURRENT_USER, (root_ + L"\\user").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &user_, nullptr);
    ::RegCreateKeyExW(HKEY_CURRENT_USER, (root_ + L"\\machine").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &machine_, nullptr);
    if (!user_ || !machine_)
        throw std::runtime_error("cannot make a scratch registry");
    ::RegOverridePredefKey(HKEY_CURRENT_USER, user_);
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_);
    ActiveRegistries().push_back(this);

    platform::Registry& reg = *binding_;
    auto grant = [this](HKEY key, REGSAM access) {
        std::lock_guard<std::mutex> hold(lock_);
        opened_[key] = access;
    };
    reg.RegOpenKeyExW = [this, grant, real = reg.RegOpenKeyExW](HKEY root, LPCWSTR path, DWORD options,
                                                                REGSAM access, PHKEY key) -> LSTATUS {
        // A key that is not there is missing, whatever the rights to it would be.
        if ((Rights(access) & ~Allowed(root, path)) && Exists(root, path))
            return ERROR_ACCESS_DENIED;
        LSTATUS status = real(root, path, options, access, key);
        if (status == ERROR_SUCCESS)
            grant(*key, Rights(access));
        return status;
    };
    reg.RegCreateKeyExW = [this, grant, real = reg.RegCreateKeyExW](HKEY root, LPCWSTR path, DWORD reserved,
                                                                    LPWSTR cls, DWORD options, REGSAM access,
                                                                    LPSECURITY_ATTRIBUTES security, PHKEY key,
                                                                    LPDWORD disposition) -> LSTATUS {
        const REGSAM allowed = Allowed(root, path);
        // Making a key takes the right to make keys below its parent.
        if ((Rights(access) & ~allowed) || (!(allowed & KEY_CREATE_SUB_KEY) && !Exists(root, path)))
            return ERROR_ACCESS_DENIED;
        LSTATUS status = real(root, path, reserved, cls, options, access, security, key, disposition);
        if (status == ERROR_SUCCESS)
            grant(*key, Rights(access));
        return status;
    };
    reg.RegCloseKey = [this, real = reg.RegCloseKey](HKEY key) {
        {
            std::lock_guard<std::mutex> hold(lock_);
            opened_.erase(key);
        }
        return real(key);
    };
    reg.RegQueryValueExW = [this, real = reg.RegQueryValueExW](HKEY key, LPCWSTR name, LPDWORD reserved,
                                                               LPDWORD type, LPBYTE data, LPDWORD size) {
        LSTATUS status = Use(key, KEY_QUERY_VALUE);
        return status == ERROR_SUCCESS ? real(key, name, reserved, type, data, size) : status;
    };
    reg.RegSetValueExW = [this, real = reg.RegSetValueExW](HKEY key, LPCWSTR name, DWORD reserved, DWORD type,
                                                           const BYTE* data, DWORD size) {
        LSTATUS status = Use(key, KEY_SET_VALUE);
        return status == ERROR_SUCCESS ? real(key, name, reserved, type, data, size) : status;
    };
    reg.RegDeleteValueW = [this, real = reg.RegDeleteValueW](HKEY key, LPCWSTR name) {
        LSTATUS status = Use(key, KEY_SET_VALUE);
        return status == ERROR_SUCCESS ? real(key, name) : status;
    };
}

void ScratchRegistry::Restrict(HKEY root, const std::wstring& path, REGSAM allowed) {
    std::lock_guard<std::mutex> hold(lock_);
    rules_.push_back({root, KeyPath(path.c_str()), allowed});
}

REGSAM ScratchRegistry::Allowed(HKEY root, LPCWSTR path) const {
    const std::wstring key = KeyPath(path);
    std::lock_guard<std::mutex> hold(lock_);
    REGSAM allowed = ~REGSAM{0};
    for (const Rule& rule : rules_) {
        const bool below =
            rule.path.empty() || key == rule.path ||
            (key.size() > rule.path.size() && key.starts_with(rule.path) && key[rule.path.size()] == L'\\');
        if (rule.root == root && below)
            allowed &= rule.allowed;
    }
    return allowed;
}

LSTATUS ScratchRegistry::Use(HKEY key, REGSAM needed) const {
    std::lock_guard<std::mutex> hold(lock_);
    auto found = opened_.find(key);
    // A root, or a key the test opened itself.
    if (found == opened_.end())
        return ERROR_SUCCESS;
    return (found->second & needed) == needed ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

ScratchRegistry::~ScratchRegistry() {
    // A test's second machine gives the roots back to the first.
    auto& active = ActiveRegistries();
    active.erase(std::find(active.begin(), active.end(), this));
    ::RegOverridePredefKey(HKEY_CURRENT_USER, active.empty() ? nullptr : active.back()->user_);
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, active.empty() ? nullptr : active.back()->machine_);
    ::RegCloseKey(user_);
    ::RegCloseKey(machine_);
    ::SHDeleteKeyW(HKEY_CURRENT_USER, root_.c_str());
}

platform::RasConnRecord MakeDialUp(const std::string& entry, const std::string& deviceType,
                                   const std::string& deviceName) {
    platform::RasConnRecord record{};
    record.dwSize = sizeof record;
    std::strncpy(record.szEntryName, entry.c_str(), sizeof record.szEntryName - 1);
    std::strncpy(record.szDeviceType, deviceType.c_str(), sizeof record.szDeviceType - 1);
    std::strncpy(record.szDeviceName, deviceName.c_str(), sizeof record.szDeviceName - 1);
    return record;
}

FakeDialUp::FakeDialUp() {
    binding_->RasEnumConnectionsA = [this](platform::RasConnRecord* records, LPDWORD bytes,
                                           LPDWORD connections) -> DWORD {
        DWORD needed = static_cast<DWORD>(std::max<std::size_t>(DialUpConnections.size(), 1) *
                                          sizeof(platform::RasConnRecord));
        if (!records || records->dwSize != sizeof(platform::RasConnRecord))
            return ERROR_INVALID_SIZE;
        if (*bytes < needed) {
            *bytes = needed;
            return ERROR_BUFFER_TOO_SMALL;
        }
        for (std::size_t i = 0; i < DialUpConnections.size(); ++i)
            records[i] = DialUpConnections[i];
        *connections = static_cast<DWORD>(DialUpConnections.size());
        return NO_ERROR;
    };
}

FakeKernel::FakeKernel() {
    platform::Kernel& kernel = *binding_;
    kernel.Version = platform::WindowsVersion::WindowsXP();
    kernel.Now = [this] { return Now; };
    kernel.GetTickCount = [this] {
        DWORD now = TickCount;
        TickCount += TickStep;
        return now;
    };
    kernel.CreateMutexW = [this](LPSECURITY_ATTRIBUTES, BOOL, LPCWSTR) {
        ::SetLastError(MutexAlreadyExists ? ERROR_ALREADY_EXISTS : NO_ERROR);
        return kFakeMutex;
    };
    kernel.ReleaseMutex = [](HANDLE h) { return h == kFakeMutex ? TRUE : ::ReleaseMutex(h); };
    kernel.CloseHandle = [this](HANDLE h) {
        if (h == kFakeSnapshot)
            return --SnapshotsOpen >= 0 ? TRUE : FALSE;
        return h == kFakeMutex ? TRUE : ::CloseHandle(h);
    };
    kernel.CreateToolhelp32Snapshot = [this](DWORD flags, DWORD) {
        if (SnapshotFails || !(flags & TH32CS_SNAPPROCESS))
            return INVALID_HANDLE_VALUE;
        ++SnapshotsTaken;
        ++SnapshotsOpen;
        snapshot_ = Processes;
        snapshotAt_ = 0;
        return kFakeSnapshot;
    };
    // The walk of the latest snapshot; an entry whose size field is not set is refused,
    // as the system refuses it.
    auto next = [this](HANDLE h, LPPROCESSENTRY32W entry) -> BOOL {
        if (h != kFakeSnapshot || entry->dwSize != sizeof(PROCESSENTRY32W) || snapshotAt_ >= snapshot_.size())
            return FALSE;
        const platform::ProcessEntry& process = snapshot_[snapshotAt_++];
        entry->th32ProcessID = process.Id;
        const std::size_t n = std::min(process.ImageName.size(), std::size(entry->szExeFile) - 1);
        std::wmemcpy(entry->szExeFile, process.ImageName.c_str(), n);
        entry->szExeFile[n] = L'\0';
        return TRUE;
    };
    kernel.Process32FirstW = [this, next](HANDLE h, LPPROCESSENTRY32W entry) {
        snapshotAt_ = 0;
        return next(h, entry);
    };
    kernel.Process32NextW = next;
    kernel.OutputDebugStringW = [this](LPCWSTR text) { DebugOutput.emplace_back(text); };
    kernel.GetTimeZoneInformation = [this](LPTIME_ZONE_INFORMATION zone) -> DWORD {
        *zone = TimeZone;
        return TIME_ZONE_ID_UNKNOWN;
    };
}

std::wstring TestFolder() {
    wchar_t path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path, n);
    return text.substr(0, text.find_last_of(L"\\/") + 1);
}

void FakeKernel::UseProgramFolder(const std::wstring& folder) {
    std::wstring program = TestFolder() + folder + L"kelvra.exe";
    binding_->GetModuleFileNameW = [program](HMODULE, LPWSTR buffer, DWORD size) -> DWORD {
        if (program.size() >= size)
            return 0;
        std::wcscpy(buffer, program.c_str());
        return static_cast<DWORD>(program.size());
    };
}

void FakeKernel::OfferLibrary(const std::wstring& name, std::map<std::string, FARPROC> exports) {
    libraries_[name] = std::move(exports);
    platform::Kernel& kernel = *binding_;
    // A fake library's handle is its map entry; the real functions see no such handle.
    auto fakeHandle = [this](const std::wstring& library) {
        return reinterpret_cast<HMODULE>(&libraries_.at(library));
    };
    auto isFake = [this](HMODULE h) {
        for (auto& library : libraries_)
            if (reinterpret_cast<HMODULE>(&library.second) == h)
                return &library.second;
        return static_cast<std::map<std::string, FARPROC>*>(nullptr);
    };
    kernel.LoadLibraryW = [this, fakeHandle](LPCWSTR library) {
        if (!libraries_.count(library))
            return ::LoadLibraryW(library);
        ++FakeLibrariesLoaded;
        return fakeHandle(library);
    };
    kernel.GetProcAddress = [isFake](HMODULE h, LPCSTR export_) -> FARPROC {
        auto* exports = isFake(h);
        if (!exports)
            return ::GetProcAddress(h, export_);
        auto found = exports->find(export_);
        return found == exports->end() ? nullptr : found->second;
    };
    kernel.FreeLibrary = [this, isFake](HMODULE h) {
        if (!isFake(h))
            return ::FreeLibrary(h);
        ++FakeLibrariesFreed;
        return TRUE;
    };
}

FakeShell::FakeShell() {
    binding_->Shell_NotifyIconW = [this](DWORD message, PNOTIFYICONDATAW data) {
        TrayCall call{message,      data->uFlags,      data->hWnd,     data->hIcon,      data->szTip,
                      data->szInfo, data->szInfoTitle, data->uTimeout, data->dwInfoFlags};
        TrayCalls.push_back(std::move(call));
        return TrayAccepts ? TRUE : FALSE;
    };
    binding_->ShellExecuteW = [this](HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR, INT show) {
        ShellExecutes.push_back({owner, verb ? verb : L"", file ? file : L"", show});
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33)); // above 32: done
    };
    // A folder's item list is its id, so the open request can tell which it was.
    binding_->SHGetSpecialFolderLocation = [](HWND, int folder, PIDLIST_ABSOLUTE* items) {
        auto* id = static_cast<int*>(::CoTaskMemAlloc(sizeof(int)));
        *id = folder;
        *items = reinterpret_cast<PIDLIST_ABSOLUTE>(id);
        return S_OK;
    };
    binding_->ShellExecuteExW = [this](SHELLEXECUTEINFOW* info) {
        OpenedFolders.emplace_back(*static_cast<const int*>(info->lpIDList),
                                   info->lpVerb ? info->lpVerb : L"");
        info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
        return TRUE;
    };
}

FakeDialogs::FakeDialogs() {
    binding_->MessageBoxW = [this](HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
        MessageBoxes.push_back({owner, text ? text : L"", caption ? caption : L"", type});
        return MessageBoxAnswer;
    };
    binding_->HtmlHelpW = [this](HWND, LPCWSTR file, UINT command, DWORD_PTR data) {
        HelpCalls.push_back({file ? file : L"", command, data});
        return HWND{};
    };
    binding_->GetSaveFileNameW = [this](LPOPENFILENAMEW dialog) {
        SaveFileOffers.emplace_back(dialog->lpstrFile ? dialog->lpstrFile : L"");
        if (SaveFileAnswer.empty() || SaveFileAnswer.size() >= dialog->nMaxFile)
            return FALSE;
        std::copy(SaveFileAnswer.c_str(), SaveFileAnswer.c_str() + SaveFileAnswer.size() + 1,
                  dialog->lpstrFile);
        return TRUE;
    };
}

FakeDisplay::FakeDisplay() {
    binding_->PixelsPerInch = [this] { return PixelsPerInch; };
    binding_->GetSystemMetrics = [this, real = binding_->GetSystemMetrics](int index) {
        if ((index == SM_CXSMICON || index == SM_CYSMICON) && SmallIconSize > 0)
            return SmallIconSize;
        return real(index);
    };
}

} // namespace fake
