#include "settings/RegistryAccessor.h"
#include "platform/Registry.h"
#include "widgets/Failures.h"

#include <cstring>

namespace settings {

namespace {
// Win32 takes subkey paths without a leading backslash.
std::wstring WithoutLeadingSlash(const std::wstring& path) {
    std::size_t start = path.find_first_not_of(L'\\');
    return start == std::wstring::npos ? std::wstring() : path.substr(start);
}

bool Writes(KeyAccess access) {
    return (static_cast<REGSAM>(access) & KEY_SET_VALUE) != 0;
}
} // namespace

RegistryAccessor::RegistryAccessor(KeyAccess access) {
    ReturnToSettingsKey(access);
}

void RegistryAccessor::SetRootKey(HKEY root) {
    CloseKey();
    root_ = root;
}

std::wstring RegistryAccessor::Resolve(const std::wstring& path) const {
    if (!path.empty() && path.front() == L'\\')
        return path;
    if (path_.empty())
        return L"\\" + path;
    return path_ + L"\\" + path;
}

RegStatus RegistryAccessor::Open(const std::wstring& path, KeyAccess access, bool create) {
    std::wstring subkey = WithoutLeadingSlash(Resolve(path));
    CloseKey();
    HKEY opened = nullptr;
    const REGSAM sam = static_cast<REGSAM>(access);
    auto& reg = platform::registry();
    RegStatus status = create ? reg.RegCreateKeyExW(root_, subkey.c_str(), 0, nullptr,
                                                    REG_OPTION_NON_VOLATILE, sam, nullptr, &opened, nullptr)
                              : reg.RegOpenKeyExW(root_, subkey.c_str(), 0, sam, &opened);
    // A key that could not be opened is still where the accessor stands: reads there
    // find nothing, and tell why.
    path_ = L"\\" + subkey;
    access_ = access;
    openStatus_ = status;
    if (status)
        key_.Reset(opened);
    return status;
}

RegStatus RegistryAccessor::OpenKey(const std::wstring& path, KeyAccess access) {
    return Open(path, access, false);
}

RegStatus RegistryAccessor::CreateKey(const std::wstring& path, KeyAccess access) {
    return Open(path, access, true);
}

bool RegistryAccessor::KeyExists(const std::wstring& path) const {
    std::wstring subkey = WithoutLeadingSlash(Resolve(path));
    HKEY opened = nullptr;
    if (platform::registry().RegOpenKeyExW(root_, subkey.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    platform::UniqueKey closer(opened);
    return true;
}

void RegistryAccessor::CloseKey() {
    key_.Reset();
    path_.clear();
    access_ = KeyAccess::Read;
    openStatus_ = ERROR_FILE_NOT_FOUND;
}

RegStatus RegistryAccessor::ReturnToSettingsKey(KeyAccess access) {
    SetRootKey(HKEY_CURRENT_USER);
    return Open(kSettingsKey, access, Writes(access));
}

Stored<std::vector<BYTE>> RegistryAccessor::ReadRaw(const std::wstring& name, DWORD expectedType) const {
    using Result = Stored<std::vector<BYTE>>;
    if (!key_)
        return Result::Unread(openStatus_);
    DWORD type = 0;
    DWORD size = 0;
    auto& reg = platform::registry();
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (RegStatus status = reg.RegQueryValueExW(key_.Get(), name.c_str(), nullptr, &type, nullptr, &size);
            !status)
            return Result::Unread(status);
        if (type != expectedType)
            return Result();
        std::vector<BYTE> data(size);
        DWORD got = size;
        RegStatus status = reg.RegQueryValueExW(key_.Get(), name.c_str(), nullptr, &type, data.data(), &got);
        if (status.Code() == ERROR_MORE_DATA)
            continue; // the value grew between the two calls
        if (!status)
            return Result::Unread(status);
        if (type != expectedType)
            return Result();
        data.resize(got);
        return data;
    }
    return Result::Unread(ERROR_MORE_DATA);
}

bool RegistryAccessor::ValueExists(const std::wstring& name) const {
    return key_ && platform::registry().RegQueryValueExW(key_.Get(), name.c_str(), nullptr, nullptr, nullptr,
                                                         nullptr) == ERROR_SUCCESS;
}

Stored<std::wstring> RegistryAccessor::ReadString(const std::wstring& name) const {
    auto data = ReadRaw(name, REG_SZ);
    if (!data)
        return Stored<std::wstring>::Unread(data.Status());
    std::wstring text(reinterpret_cast<const wchar_t*>(data->data()), data->size() / sizeof(wchar_t));
    // Stored strings usually, but not always, carry their terminator.
    if (auto nul = text.find(L'\0'); nul != std::wstring::npos)
        text.resize(nul);
    return text;
}

Stored<std::int32_t> RegistryAccessor::ReadInteger(const std::wstring& name) const {
    auto data = ReadRaw(name, REG_DWORD);
    if (!data)
        return Stored<std::int32_t>::Unread(data.Status());
    if (data->size() != sizeof(DWORD))
        return {};
    std::int32_t value = 0;
    std::memcpy(&value, data->data(), sizeof value);
    return value;
}

Stored<bool> RegistryAccessor::ReadBool(const std::wstring& name) const {
    auto value = ReadInteger(name);
    if (!value)
        return Stored<bool>::Unread(value.Status());
    return *value != 0;
}

Stored<std::vector<BYTE>> RegistryAccessor::ReadBinary(const std::wstring& name) const {
    return ReadRaw(name, REG_BINARY);
}

RegStatus RegistryAccessor::WriteRaw(const std::wstring& name, DWORD type, const BYTE* data, DWORD size) {
    if (!key_)
        return openStatus_;
    return platform::registry().RegSetValueExW(key_.Get(), name.c_str(), 0, type, data, size);
}

RegStatus RegistryAccessor::WriteString(const std::wstring& name, const std::wstring& value) {
    return WriteRaw(name, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

RegStatus RegistryAccessor::WriteInteger(const std::wstring& name, std::int32_t value) {
    return WriteRaw(name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

RegStatus RegistryAccessor::WriteBinary(const std::wstring& name, const std::vector<BYTE>& value) {
    return WriteRaw(name, REG_BINARY, value.data(), static_cast<DWORD>(value.size()));
}

RegStatus RegistryAccessor::DeleteValue(const std::wstring& name) {
    if (!key_)
        return openStatus_;
    return platform::registry().RegDeleteValueW(key_.Get(), name.c_str());
}

bool FirstFailure::Note(const std::wstring& what, RegStatus status) {
    if (!status && !Failed()) {
        what_ = what;
        status_ = status;
    }
    return static_cast<bool>(status);
}

void FirstFailure::Report(const std::wstring& task) const {
    if (Failed())
        widgets::ReportFailure(task + L": " + what_ + L" not written (error " +
                               std::to_wstring(status_.Code()) + L")");
}

} // namespace settings
