#include "support/FakePlatform.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace fake {

namespace {
HANDLE const kFakeMutex = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x4B56));

void CopyAnsi(BYTE* dest, std::size_t capacity, const std::string& text, DWORD* length) {
    std::size_t n = std::min(text.size(), capacity);
    std::memcpy(dest, text.data(), n);
    if (length)
        *length = static_cast<DWORD>(n);
}
} // namespace

MIB_IFROW MakeIfRow(DWORD index, DWORD type, const std::string& description, DWORD operStatus, DWORD speed) {
    MIB_IFROW row{};
    row.dwIndex = index;
    row.dwType = type;
    row.dwMtu = 1500;
    row.dwSpeed = speed;
    row.dwAdminStatus = 1;
    row.dwOperStatus = operStatus;
    row.dwPhysAddrLen = 6;
    for (DWORD i = 0; i < 6; ++i)
        row.bPhysAddr[i] = static_cast<BYTE>(0x10 + index + i);
    CopyAnsi(row.bDescr, sizeof row.bDescr, description, &row.dwDescrLen);
    std::wstring name = L"\\DEVICE\\TCPIP_{FAKE-" + std::to_wstring(index) + L"}";
    std::wcsncpy(row.wszName, name.c_str(), MAX_INTERFACE_NAME_LEN - 1);
    return row;
}

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
}

ScratchRegistry::~ScratchRegistry() {
    ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    ::RegCloseKey(user_);
    ::RegCloseKey(machine_);
    ::SHDeleteKeyW(HKEY_CURRENT_USER, root_.c_str());
}

FakePlatform::FakePlatform()
    : savedIpHelper_(platform::ipHelper()), savedKernel_(platform::kernel()), savedShell_(platform::shell()),
      savedDialogs_(platform::dialogs()), savedRegistry_(platform::registry()),
      savedDialUp_(platform::dialUp()) {
    Interfaces.push_back(MakeIfRow(1, MIB_IF_TYPE_LOOPBACK, "lo", 5, 10000000));

    auto& ip = platform::ipHelper();
    ip.GetNumberOfInterfaces = [this](PDWORD count) {
        if (NumberOfInterfacesError != NO_ERROR)
            return NumberOfInterfacesError;
        *count = static_cast<DWORD>(Interfaces.size());
        return static_cast<DWORD>(NO_ERROR);
    };
    ip.GetIfTable = [this](PMIB_IFTABLE table, PULONG size, BOOL sorted) -> DWORD {
        ++IfTableCalls;
        if (IfTableError != NO_ERROR)
            return IfTableError;
        std::vector<MIB_IFROW> rows = Interfaces;
        if (sorted)
            std::sort(rows.begin(), rows.end(),
                      [](const MIB_IFROW& a, const MIB_IFROW& b) { return a.dwIndex < b.dwIndex; });
        ULONG needed = static_cast<ULONG>(offsetof(MIB_IFTABLE, table) + rows.size() * sizeof(MIB_IFROW));
        if (!table || *size < needed) {
            *size = needed;
            return ERROR_INSUFFICIENT_BUFFER;
        }
        table->dwNumEntries = static_cast<DWORD>(rows.size());
        if (!rows.empty())
            std::memcpy(table->table, rows.data(), rows.size() * sizeof(MIB_IFROW));
        return NO_ERROR;
    };
    ip.GetFriendlyIfIndex = [](DWORD index) { return index & 0xFFFFFF; };
    ip.GetNetworkParams = [this](PFIXED_INFO info, PULONG size) -> DWORD {
        // Asking for more than the record shows the caller trusts the reported size.
        constexpr ULONG kNeeded = sizeof(FIXED_INFO) + sizeof(IP_ADDR_STRING);
        switch (NetworkParamsAnswer) {
        case NO_ERROR:
            break;
        case ERROR_BUFFER_OVERFLOW:
            if (*size < kNeeded) {
                *size = kNeeded;
                return ERROR_BUFFER_OVERFLOW;
            }
            break;
        case ERROR_NOT_SUPPORTED:
            *size = kNeeded;
            return ERROR_NOT_SUPPORTED;
        default:
            return NetworkParamsAnswer;
        }
        if (!info || *size < sizeof(FIXED_INFO))
            return ERROR_BUFFER_OVERFLOW;
        std::memcpy(info, &NetworkParams, sizeof NetworkParams);
        return NO_ERROR;
    };
    ip.GetAdaptersInfo = [this](PIP_ADAPTER_INFO info, PULONG size) { return FillAdaptersInfo(info, size); };
    ip.GetInterfaceInfo = [this](PIP_INTERFACE_INFO info, PULONG size) -> DWORD {
        ULONG needed = static_cast<ULONG>(offsetof(IP_INTERFACE_INFO, Adapter) +
                                          InterfaceNames.size() * sizeof(IP_ADAPTER_INDEX_MAP));
        if (!info || *size < needed) {
            *size = needed;
            return InterfaceInfoSizeAnswer;
        }
        if (InterfaceInfoError != NO_ERROR)
            return InterfaceInfoError;
        info->NumAdapters = static_cast<LONG>(InterfaceNames.size());
        for (std::size_t i = 0; i < InterfaceNames.size(); ++i) {
            IP_ADAPTER_INDEX_MAP& map = info->Adapter[i];
            std::memset(&map, 0, sizeof map);
            map.Index = InterfaceNames[i].first;
            std::wcsncpy(map.Name, InterfaceNames[i].second.c_str(), MAX_ADAPTER_NAME - 1);
        }
        return NO_ERROR;
    };
    ip.IpReleaseAddress = [this](PIP_ADAPTER_INDEX_MAP map) -> DWORD {
        AddressRequests.push_back({true, map->Index, map->Name});
        return NO_ERROR;
    };
    ip.IpRenewAddress = [this](PIP_ADAPTER_INDEX_MAP map) -> DWORD {
        AddressRequests.push_back({false, map->Index, map->Name});
        return NO_ERROR;
    };
    platform::dialUp().RasEnumConnectionsA = [this](platform::RasConnRecord* records, LPDWORD bytes,
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

    auto& kernel = platform::kernel();
    kernel.Version = platform::WindowsVersion::WindowsXP();
    kernel.Now = [this] { return Now; };
    kernel.CreateMutexW = [this](LPSECURITY_ATTRIBUTES, BOOL, LPCWSTR) {
        ::SetLastError(MutexAlreadyExists ? ERROR_ALREADY_EXISTS : NO_ERROR);
        return kFakeMutex;
    };
    kernel.ReleaseMutex = [](HANDLE h) { return h == kFakeMutex ? TRUE : ::ReleaseMutex(h); };
    kernel.CloseHandle = [](HANDLE h) { return h == kFakeMutex ? TRUE : ::CloseHandle(h); };
    kernel.OutputDebugStringW = [this](LPCWSTR text) { DebugOutput.emplace_back(text); };

    platform::shell().Shell_NotifyIconW = [this](DWORD message, PNOTIFYICONDATAW data) {
        TrayCall call{message,      data->uFlags,      data->hWnd,     data->hIcon,      data->szTip,
                      data->szInfo, data->szInfoTitle, data->uTimeout, data->dwInfoFlags};
        TrayCalls.push_back(std::move(call));
        return TrayAccepts ? TRUE : FALSE;
    };

    auto& dialogs = platform::dialogs();
    dialogs.MessageBoxW = [this](HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
        MessageBoxes.push_back({owner, text ? text : L"", caption ? caption : L"", type});
        return MessageBoxAnswer;
    };
    dialogs.WinHelpW = [this](HWND, LPCWSTR file, UINT command, ULONG_PTR data) {
        HelpCalls.push_back({file ? file : L"", command, data});
        return TRUE;
    };
}

DWORD FakePlatform::FillAdaptersInfo(PIP_ADAPTER_INFO info, PULONG size) const {
    if (AdaptersInfoError != NO_ERROR)
        return AdaptersInfoError;
    if (Adapters.empty())
        return ERROR_NO_DATA;
    std::size_t extra = 0;
    for (const FakeAdapter& a : Adapters)
        extra += a.addresses.size() - 1;
    ULONG needed =
        static_cast<ULONG>(Adapters.size() * sizeof(IP_ADAPTER_INFO) + extra * sizeof(IP_ADDR_STRING));
    if (!info || *size < needed) {
        *size = needed;
        return ERROR_BUFFER_OVERFLOW;
    }
    std::memset(info, 0, needed);
    auto* more = reinterpret_cast<IP_ADDR_STRING*>(info + Adapters.size());
    auto setText = [](char* dest, std::size_t capacity, const std::string& text) {
        std::strncpy(dest, text.c_str(), capacity - 1);
    };
    for (std::size_t i = 0; i < Adapters.size(); ++i) {
        const FakeAdapter& a = Adapters[i];
        IP_ADAPTER_INFO& e = info[i];
        e.Next = i + 1 < Adapters.size() ? &info[i + 1] : nullptr;
        e.Index = a.index;
        e.Type = a.type;
        e.DhcpEnabled = a.dhcp;
        setText(e.AdapterName, sizeof e.AdapterName, a.name);
        setText(e.Description, sizeof e.Description, a.description);
        e.AddressLength = 6;
        for (UINT b = 0; b < 6; ++b)
            e.Address[b] = static_cast<BYTE>(0x10 + a.index + b);
        IP_ADDR_STRING* link = &e.IpAddressList;
        for (std::size_t k = 0; k < a.addresses.size(); ++k) {
            if (k > 0) {
                link->Next = more;
                link = more++;
            }
            setText(link->IpAddress.String, sizeof link->IpAddress.String, a.addresses[k].first);
            setText(link->IpMask.String, sizeof link->IpMask.String, a.addresses[k].second);
        }
        setText(e.GatewayList.IpAddress.String, sizeof e.GatewayList.IpAddress.String, a.gateway);
        setText(e.DhcpServer.IpAddress.String, sizeof e.DhcpServer.IpAddress.String, a.dhcpServer);
    }
    return NO_ERROR;
}

FakeAdapter& FakePlatform::Adapter(DWORD index) {
    for (FakeAdapter& a : Adapters)
        if (a.index == index)
            return a;
    throw std::out_of_range("no such adapter");
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

FakePlatform::~FakePlatform() {
    platform::ipHelper() = savedIpHelper_;
    platform::kernel() = savedKernel_;
    platform::shell() = savedShell_;
    platform::dialogs() = savedDialogs_;
    platform::registry() = savedRegistry_;
    platform::dialUp() = savedDialUp_;
}

DWORD FakePlatform::AddAdapter(const std::string& description, DWORD type) {
    DWORD index = 1;
    for (const MIB_IFROW& row : Interfaces)
        index = std::max(index, row.dwIndex);
    DWORD added = index + 1;
    Interfaces.push_back(MakeIfRow(added, type, description));
    FakeAdapter adapter;
    adapter.index = added;
    adapter.name = "{FAKE-" + std::to_string(added) + "}";
    adapter.description = description;
    adapter.type = type;
    Adapters.push_back(adapter);
    InterfaceNames.emplace_back(added, L"\\DEVICE\\TCPIP_{FAKE-" + std::to_wstring(added) + L"}");
    return added;
}

void FakePlatform::RemoveInterface(DWORD index) {
    std::erase_if(Interfaces, [index](const MIB_IFROW& row) { return row.dwIndex == index; });
    std::erase_if(Adapters, [index](const FakeAdapter& a) { return a.index == index; });
}

MIB_IFROW& FakePlatform::Row(DWORD index) {
    for (MIB_IFROW& row : Interfaces)
        if (row.dwIndex == index)
            return row;
    throw std::out_of_range("no such interface");
}

} // namespace fake
