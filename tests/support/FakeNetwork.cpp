#include "support/FakeNetwork.h"

#include <chrono>
#include <cstring>

namespace fake {

namespace {

// Copies a text into the string area at the end of an enumeration buffer.
LPWSTR Place(const std::optional<std::wstring>& text, BYTE*& end) {
    if (!text)
        return nullptr;
    std::size_t bytes = (text->size() + 1) * sizeof(wchar_t);
    end -= bytes;
    std::memcpy(end, text->c_str(), bytes);
    return reinterpret_cast<LPWSTR>(end);
}

std::size_t TextBytes(const std::optional<std::wstring>& text) {
    return text ? (text->size() + 1) * sizeof(wchar_t) : 0;
}

} // namespace

FakeNetwork::FakeNetwork() {
    platform::Network& net = *network_;
    net.WNetGetProviderNameW = [this](DWORD type, LPWSTR name, LPDWORD size) -> DWORD {
        auto it = Providers.find(type);
        if (it == Providers.end())
            return ERROR_NO_NETWORK;
        if (it->second.size() + 1 > *size)
            return ERROR_MORE_DATA;
        std::wcscpy(name, it->second.c_str());
        return NO_ERROR;
    };
    net.WNetOpenEnumW = [this](DWORD, DWORD, DWORD, LPNETRESOURCEW resource, LPHANDLE handle) {
        return Open(resource, handle);
    };
    net.WNetEnumResourceW = [this](HANDLE handle, LPDWORD count, LPVOID buffer, LPDWORD size) {
        return Enumerate(handle, count, buffer, size);
    };
    net.WNetCloseEnum = [this](HANDLE) -> DWORD {
        ++closed_;
        return NO_ERROR;
    };
    net.WNetGetLastErrorW = [this](LPDWORD code, LPWSTR text, DWORD textSize, LPWSTR provider,
                                   DWORD) -> DWORD {
        *code = 0;
        std::wcsncpy(text, LastErrorText.c_str(), textSize - 1);
        provider[0] = L'\0';
        return NO_ERROR;
    };
    net.WNetGetNetworkInformationW = [this](LPCWSTR provider, LPNETINFOSTRUCT info) -> DWORD {
        auto it = Information.find(provider ? provider : L"");
        if (it == Information.end())
            return ERROR_NO_NETWORK;
        if (info->cbStructure != sizeof(NETINFOSTRUCT))
            return ERROR_INVALID_PARAMETER;
        info->wNetType = it->second.netType;
        info->dwStatus = it->second.status;
        return it->second.answer;
    };
    net.WNetConnectionDialog1W = [this](LPCONNECTDLGSTRUCTW dialog) -> DWORD {
        ConnectDialogCall call{
            dialog->cbStructure, dialog->hwndOwner, dialog->dwFlags, dialog->dwDevNum, {}, 0};
        if (dialog->lpConnRes) {
            if (dialog->lpConnRes->lpRemoteName)
                call.remote = dialog->lpConnRes->lpRemoteName;
            call.type = dialog->lpConnRes->dwType;
        }
        ConnectDialogs.push_back(call);
        return ERROR_CANCELLED;
    };
    spooler_->ConnectToPrinterDlg = [this](HWND, DWORD) {
        ++PrinterDialogs;
        return PrinterAnswer;
    };
    spooler_->ClosePrinter = [this](HANDLE printer) {
        ClosedPrinters.push_back(printer);
        return TRUE;
    };
}

void FakeNetwork::Release() {
    std::lock_guard<std::mutex> hold(lock_);
    held_.reset();
    changed_.notify_all();
}

void FakeNetwork::Hold(const std::wstring& key) {
    std::lock_guard<std::mutex> hold(lock_);
    held_ = key;
    changed_.notify_all();
}

bool FakeNetwork::WaitForHolds(int count) {
    std::unique_lock<std::mutex> hold(lock_);
    return changed_.wait_for(hold, std::chrono::seconds(10),
                             [this, count] { return holdsReached_ >= count; });
}

DWORD FakeNetwork::Open(LPNETRESOURCEW resource, LPHANDLE handle) {
    std::wstring key;
    if (resource && resource->lpRemoteName)
        key = resource->lpRemoteName;
    else if (resource && resource->lpProvider)
        key = resource->lpProvider;
    {
        std::unique_lock<std::mutex> hold(lock_);
        if (held_ && *held_ == key) {
            ++holdsReached_;
            changed_.notify_all();
            changed_.wait_for(hold, std::chrono::seconds(10),
                              [this, &key] { return !held_ || *held_ != key; });
        }
    }
    auto it = Containers.find(key);
    if (it == Containers.end())
        return ERROR_NO_NETWORK;
    if (it->second.openError != NO_ERROR)
        return it->second.openError;
    std::lock_guard<std::mutex> hold(lock_);
    handles_.push_back(std::make_unique<std::wstring>(key));
    *handle = handles_.back().get();
    ++opened_;
    return NO_ERROR;
}

DWORD FakeNetwork::Enumerate(HANDLE handle, LPDWORD count, LPVOID buffer, LPDWORD size) {
    const NetContainer& container = Containers.at(*static_cast<std::wstring*>(handle));
    if (container.entries.empty())
        return ERROR_NO_MORE_ITEMS;
    if (container.enumError != NO_ERROR)
        return container.enumError;
    DWORD n = std::min<DWORD>(*count, static_cast<DWORD>(container.entries.size()));
    std::size_t needed = n * sizeof(NETRESOURCEW);
    for (DWORD i = 0; i < n; ++i) {
        const NetEntry& e = container.entries[i];
        needed += TextBytes(e.remote) + TextBytes(e.provider) + TextBytes(e.comment);
    }
    if (needed > *size)
        return ERROR_MORE_DATA;
    std::memset(buffer, 0, *size);
    auto* records = static_cast<NETRESOURCEW*>(buffer);
    BYTE* end = static_cast<BYTE*>(buffer) + *size;
    for (DWORD i = 0; i < n; ++i) {
        const NetEntry& e = container.entries[i];
        records[i].dwScope = RESOURCE_GLOBALNET;
        records[i].dwType = e.type;
        records[i].dwDisplayType = e.displayType;
        records[i].dwUsage = e.usage;
        records[i].lpRemoteName = Place(e.remote, end);
        records[i].lpProvider = Place(e.provider, end);
        records[i].lpComment = Place(e.comment, end);
    }
    *count = n;
    return NO_ERROR;
}

} // namespace fake
