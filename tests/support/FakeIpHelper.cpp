#include "support/FakeIpHelper.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <cstring>
#include <stdexcept>

namespace fake {

namespace {
void CopyAnsi(BYTE* dest, std::size_t capacity, const std::string& text, DWORD* length) {
    std::size_t n = std::min(text.size(), capacity);
    std::memcpy(dest, text.data(), n);
    if (length)
        *length = static_cast<DWORD>(n);
}
FakeIpHelper* flushTarget = nullptr;

DWORD WINAPI FakeFlushIpNetTable(DWORD index) {
    if (flushTarget)
        flushTarget->FlushedInterfaces.push_back(index);
    return NO_ERROR;
}
} // namespace

FARPROC FakeIpHelper::FlushIpNetTableExport() {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeFlushIpNetTable));
}

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

FakeIpHelper::FakeIpHelper() {
    Interfaces.push_back(MakeIfRow(1, MIB_IF_TYPE_LOOPBACK, "lo", 5, 10000000));

    platform::IpHelper& ip = *binding_;
    ip.GetNumberOfInterfaces = [this](PDWORD count) {
        ++NumberOfInterfacesCalls;
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
        const ULONG withChain =
            static_cast<ULONG>(sizeof(FIXED_INFO) + MoreDnsServers.size() * sizeof(IP_ADDR_STRING));
        if (!info || *size < withChain) {
            *size = withChain;
            return ERROR_BUFFER_OVERFLOW;
        }
        std::memcpy(info, &NetworkParams, sizeof NetworkParams);
        auto* chain = reinterpret_cast<IP_ADDR_STRING*>(info + 1);
        IP_ADDR_STRING* link = &info->DnsServerList;
        for (const std::string& server : MoreDnsServers) {
            std::memset(chain, 0, sizeof *chain);
            std::strncpy(chain->IpAddress.String, server.c_str(), sizeof chain->IpAddress.String - 1);
            link->Next = chain;
            link = chain++;
        }
        link->Next = nullptr;
        return NO_ERROR;
    };
    ip.GetAdaptersInfo = [this](PIP_ADAPTER_INFO info, PULONG size) {
        ++AdaptersInfoCalls;
        return FillAdaptersInfo(info, size);
    };
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
    auto statistics = [this](auto* record, const auto& scripted) -> DWORD {
        ++StatisticsCalls;
        if (StatisticsError != NO_ERROR)
            return StatisticsError;
        *record = scripted;
        return NO_ERROR;
    };
    ip.GetTcpStatistics = [this, statistics](PMIB_TCPSTATS r) { return statistics(r, TcpStats); };
    ip.GetIpStatistics = [this, statistics](PMIB_IPSTATS r) { return statistics(r, IpStats); };
    ip.GetUdpStatistics = [this, statistics](PMIB_UDPSTATS r) { return statistics(r, UdpStats); };
    ip.GetIcmpStatistics = [this, statistics](PMIB_ICMP r) { return statistics(r, IcmpStats); };
    ip.GetTcpTable = [this](PMIB_TCPTABLE table, PDWORD size, BOOL) -> DWORD {
        ++TcpTableCalls;
        if (TcpTableError != NO_ERROR)
            return TcpTableError;
        const auto needed =
            static_cast<DWORD>(offsetof(MIB_TCPTABLE, table) + TcpRows.size() * sizeof(MIB_TCPROW));
        if (!table || *size < needed) {
            *size = needed;
            return ERROR_INSUFFICIENT_BUFFER;
        }
        table->dwNumEntries = static_cast<DWORD>(TcpRows.size());
        if (!TcpRows.empty())
            std::memcpy(table->table, TcpRows.data(), TcpRows.size() * sizeof(MIB_TCPROW));
        return NO_ERROR;
    };
    ip.GetIpNetTable = [this](PMIB_IPNETTABLE table, PULONG size, BOOL sorted) {
        return FillIpNetTable(table, size, sorted);
    };
    ip.CreateIpNetEntry = [this](PMIB_IPNETROW row) {
        CreatedArpEntries.push_back(*row);
        return CreateArpAnswer;
    };
    ip.DeleteIpNetEntry = [this](PMIB_IPNETROW row) -> DWORD {
        DeletedArpEntries.push_back(*row);
        return NO_ERROR;
    };
    ip.GetAdaptersAddresses = [this](ULONG family, ULONG, PVOID, PIP_ADAPTER_ADDRESSES first, PULONG size) {
        return FillAdaptersAddresses(family, first, size);
    };
    ip.GetExtendedTcpTable = [this](PVOID table, PDWORD size, BOOL, ULONG family, TCP_TABLE_CLASS tableClass,
                                    ULONG) { return FillExtendedTcpTable(table, size, family, tableClass); };
    flushTarget = this;
    // Systems before Vista have no 64-bit interface table.
    ip.GetIfTable2 = nullptr;
    ip.FreeMibTable = nullptr;
}

FakeIpHelper::~FakeIpHelper() {
    if (flushTarget == this)
        flushTarget = nullptr;
}

DWORD FakeIpHelper::FillExtendedTcpTable(PVOID table, PDWORD size, ULONG family, TCP_TABLE_CLASS tableClass) {
    if (tableClass != TCP_TABLE_OWNER_PID_ALL || (family != AF_INET && family != AF_INET6))
        return ERROR_INVALID_PARAMETER;
    const DWORD error = family == AF_INET ? TcpTableError : Tcp6TableError;
    if (error != NO_ERROR)
        return error;
    std::vector<MIB_TCPROW_OWNER_PID> rows4;
    for (std::size_t i = 0; family == AF_INET && i < TcpRows.size(); ++i) {
        const MIB_TCPROW& row = TcpRows[i];
        rows4.push_back({row.dwState, row.dwLocalAddr, row.dwLocalPort, row.dwRemoteAddr, row.dwRemotePort,
                         i < TcpOwners.size() ? TcpOwners[i] : 0});
    }
    const void* rows = family == AF_INET ? static_cast<const void*>(rows4.data()) : Tcp6Rows.data();
    const std::size_t count = family == AF_INET ? rows4.size() : Tcp6Rows.size();
    const std::size_t rowSize =
        family == AF_INET ? sizeof(MIB_TCPROW_OWNER_PID) : sizeof(MIB_TCP6ROW_OWNER_PID);
    // Both tables put their rows after the count, at the same offset.
    const std::size_t header = offsetof(MIB_TCPTABLE_OWNER_PID, table);
    static_assert(offsetof(MIB_TCP6TABLE_OWNER_PID, table) == offsetof(MIB_TCPTABLE_OWNER_PID, table));
    const auto needed = static_cast<DWORD>(header + count * rowSize);
    if (!table || *size < needed) {
        *size = needed;
        return ERROR_INSUFFICIENT_BUFFER;
    }
    ExtendedTableFamilies.push_back(family);
    *static_cast<DWORD*>(table) = static_cast<DWORD>(count);
    if (count > 0)
        std::memcpy(static_cast<BYTE*>(table) + header, rows, count * rowSize);
    return NO_ERROR;
}

void FakeIpHelper::Offer64BitTable() {
    binding_->GetIfTable2 = [this](PMIB_IF_TABLE2* table) { return FillIfTable2(table); };
    binding_->FreeMibTable = [this](PVOID memory) {
        ++FreedTables;
        std::free(memory);
    };
}

namespace {
// What the 64-bit table says of a row that no test has widened: the row itself.
WideCounters WidenedRow(const MIB_IFROW& row) {
    WideCounters wide;
    wide.InOctets = row.dwInOctets;
    wide.OutOctets = row.dwOutOctets;
    wide.InDiscards = row.dwInDiscards;
    wide.OutDiscards = row.dwOutDiscards;
    wide.TransmitLinkSpeed = wide.ReceiveLinkSpeed = row.dwSpeed;
    return wide;
}
} // namespace

WideCounters& FakeIpHelper::Wide(DWORD index) {
    auto found = WideRows.find(index);
    if (found != WideRows.end())
        return found->second;
    return WideRows[index] = WidenedRow(Row(index));
}

DWORD FakeIpHelper::FillIfTable2(PMIB_IF_TABLE2* table) {
    ++IfTable2Calls;
    if (IfTableError != NO_ERROR)
        return IfTableError;
    std::size_t bytes =
        offsetof(MIB_IF_TABLE2, Table) + std::max<std::size_t>(Interfaces.size(), 1) * sizeof(MIB_IF_ROW2);
    auto* made = static_cast<PMIB_IF_TABLE2>(std::calloc(1, bytes));
    if (!made)
        return ERROR_NOT_ENOUGH_MEMORY;
    made->NumEntries = static_cast<ULONG>(Interfaces.size());
    for (std::size_t i = 0; i < Interfaces.size(); ++i) {
        const MIB_IFROW& row = Interfaces[i];
        MIB_IF_ROW2& wide = made->Table[i];
        wide.InterfaceIndex = row.dwIndex;
        wide.Type = row.dwType;
        wide.Mtu = row.dwMtu;
        // The 32-bit row's state shows in the 64-bit one, so a change of it is seen there.
        wide.OperStatus = static_cast<IF_OPER_STATUS>(row.dwOperStatus);
        wide.AdminStatus = static_cast<NET_IF_ADMIN_STATUS>(row.dwAdminStatus);
        auto flags = Flags.find(row.dwIndex);
        const bool loopback = row.dwType == MIB_IF_TYPE_LOOPBACK;
        const InterfaceFlags f =
            flags != Flags.end() ? flags->second : InterfaceFlags{!loopback, !loopback, false};
        wide.InterfaceAndOperStatusFlags.HardwareInterface = f.hardware;
        wide.InterfaceAndOperStatusFlags.ConnectorPresent = f.connector;
        wide.InterfaceAndOperStatusFlags.FilterInterface = f.filter;
        wide.PhysicalAddressLength = row.dwPhysAddrLen;
        std::memcpy(wide.PhysicalAddress, row.bPhysAddr, sizeof row.bPhysAddr);
        wide.InUcastPkts = row.dwInUcastPkts;
        wide.InNUcastPkts = row.dwInNUcastPkts;
        wide.InErrors = row.dwInErrors;
        wide.InUnknownProtos = row.dwInUnknownProtos;
        wide.OutUcastPkts = row.dwOutUcastPkts;
        wide.OutNUcastPkts = row.dwOutNUcastPkts;
        wide.OutErrors = row.dwOutErrors;
        auto found = WideRows.find(row.dwIndex);
        const WideCounters w = found != WideRows.end() ? found->second : WidenedRow(row);
        wide.InOctets = w.InOctets;
        wide.OutOctets = w.OutOctets;
        wide.InDiscards = w.InDiscards;
        wide.OutDiscards = w.OutDiscards;
        wide.TransmitLinkSpeed = w.TransmitLinkSpeed;
        wide.ReceiveLinkSpeed = w.ReceiveLinkSpeed;
    }
    *table = made;
    return NO_ERROR;
}

DWORD FakeIpHelper::FillIpNetTable(PMIB_IPNETTABLE table, PULONG size, BOOL sorted) {
    ArpTableSizesAsked.push_back(*size);
    if (ArpTableError != NO_ERROR)
        return ArpTableError;
    std::vector<MIB_IPNETROW> rows = ArpTable;
    // The platform orders by address, first octet first.
    if (sorted)
        std::sort(rows.begin(), rows.end(), [](const MIB_IPNETROW& a, const MIB_IPNETROW& b) {
            return ::ntohl(a.dwAddr) < ::ntohl(b.dwAddr);
        });
    ULONG needed = static_cast<ULONG>(offsetof(MIB_IPNETTABLE, table) +
                                      std::max<std::size_t>(rows.size(), 1) * sizeof(MIB_IPNETROW));
    if (!table || *size < needed) {
        *size = needed;
        return ERROR_INSUFFICIENT_BUFFER;
    }
    table->dwNumEntries = static_cast<DWORD>(rows.size());
    if (!rows.empty())
        std::memcpy(table->table, rows.data(), rows.size() * sizeof(MIB_IPNETROW));
    return NO_ERROR;
}

DWORD FakeIpHelper::FillAdaptersInfo(PIP_ADAPTER_INFO info, PULONG size) const {
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
        e.LeaseObtained = a.leaseObtained;
        e.LeaseExpires = a.leaseExpires;
        e.HaveWins = a.haveWins;
        setText(e.PrimaryWinsServer.IpAddress.String, sizeof e.PrimaryWinsServer.IpAddress.String,
                a.primaryWins);
        setText(e.SecondaryWinsServer.IpAddress.String, sizeof e.SecondaryWinsServer.IpAddress.String,
                a.secondaryWins);
    }
    return NO_ERROR;
}

ULONG FakeIpHelper::FillAdaptersAddresses(ULONG family, PIP_ADAPTER_ADDRESSES first, PULONG size) {
    ++AdaptersAddressesCalls;
    if (AdaptersAddressesError != NO_ERROR)
        return AdaptersAddressesError;
    if (Adapters.empty())
        return ERROR_NO_DATA;
    const bool v4 = family == AF_UNSPEC || family == AF_INET;
    const bool v6 = family == AF_UNSPEC || family == AF_INET6;
    // Records, names and socket addresses one after the other, each on an 8-byte boundary.
    auto aligned = [](std::size_t n) { return (n + 7) & ~std::size_t{7}; };
    const std::size_t kAddress = aligned(sizeof(sockaddr_in6));
    std::size_t needed = 0;
    for (const FakeAdapter& a : Adapters) {
        const std::size_t unicast = (v4 ? a.addresses.size() : 0) + (v6 ? a.ipv6.size() : 0);
        const std::size_t dns = v6 ? a.ipv6Dns.size() : 0;
        needed += aligned(sizeof(IP_ADAPTER_ADDRESSES)) + aligned(a.name.size() + 1) +
                  unicast * (aligned(sizeof(IP_ADAPTER_UNICAST_ADDRESS)) + kAddress) +
                  dns * (aligned(sizeof(IP_ADAPTER_DNS_SERVER_ADDRESS)) + kAddress);
    }
    if (!first || *size < needed) {
        *size = static_cast<ULONG>(needed);
        return ERROR_BUFFER_OVERFLOW;
    }
    BYTE* free = reinterpret_cast<BYTE*>(first);
    std::memset(free, 0, needed);
    auto take = [&](std::size_t bytes) {
        BYTE* at = free;
        free += aligned(bytes);
        return at;
    };
    auto address = [&](SOCKET_ADDRESS& into, const FakeAdapter::Ipv6* six, const std::string& four) {
        if (six) {
            auto* in6 = reinterpret_cast<sockaddr_in6*>(take(sizeof(sockaddr_in6)));
            in6->sin6_family = AF_INET6;
            std::memcpy(&in6->sin6_addr, six->bytes.data(), 16);
            in6->sin6_scope_id = six->zone;
            into.lpSockaddr = reinterpret_cast<LPSOCKADDR>(in6);
            into.iSockaddrLength = sizeof(sockaddr_in6);
        } else {
            auto* in = reinterpret_cast<sockaddr_in*>(take(sizeof(sockaddr_in6)));
            in->sin_family = AF_INET;
            in->sin_addr.s_addr = ::inet_addr(four.c_str());
            into.lpSockaddr = reinterpret_cast<LPSOCKADDR>(in);
            into.iSockaddrLength = sizeof(sockaddr_in);
        }
    };
    IP_ADAPTER_ADDRESSES* previous = nullptr;
    for (const FakeAdapter& a : Adapters) {
        auto* record = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(take(sizeof(IP_ADAPTER_ADDRESSES)));
        record->Length = sizeof(IP_ADAPTER_ADDRESSES);
        record->IfIndex = a.index;
        record->Ipv6IfIndex = v6 ? a.index : 0;
        if (previous)
            previous->Next = record;
        previous = record;
        char* name = reinterpret_cast<char*>(take(a.name.size() + 1));
        std::memcpy(name, a.name.c_str(), a.name.size() + 1);
        record->AdapterName = name;
        PIP_ADAPTER_UNICAST_ADDRESS* unicastLink = &record->FirstUnicastAddress;
        auto addUnicast = [&](const FakeAdapter::Ipv6* six, const std::string& four) {
            auto* u = reinterpret_cast<IP_ADAPTER_UNICAST_ADDRESS*>(take(sizeof(IP_ADAPTER_UNICAST_ADDRESS)));
            u->Length = sizeof *u;
            address(u->Address, six, four);
            *unicastLink = u;
            unicastLink = &u->Next;
        };
        if (v4)
            for (const auto& [text, mask] : a.addresses)
                addUnicast(nullptr, text);
        if (v6)
            for (const FakeAdapter::Ipv6& six : a.ipv6)
                addUnicast(&six, {});
        PIP_ADAPTER_DNS_SERVER_ADDRESS* dnsLink = &record->FirstDnsServerAddress;
        if (v6)
            for (const FakeAdapter::Ipv6& six : a.ipv6Dns) {
                auto* d = reinterpret_cast<IP_ADAPTER_DNS_SERVER_ADDRESS*>(
                    take(sizeof(IP_ADAPTER_DNS_SERVER_ADDRESS)));
                d->Length = sizeof *d;
                address(d->Address, &six, {});
                *dnsLink = d;
                dnsLink = &d->Next;
            }
    }
    return NO_ERROR;
}

FakeAdapter& FakeIpHelper::Adapter(DWORD index) {
    for (FakeAdapter& a : Adapters)
        if (a.index == index)
            return a;
    throw std::out_of_range("no such adapter");
}

DWORD FakeIpHelper::AddAdapter(const std::string& description, DWORD type) {
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

// Written from the documented fields of the two tables and of the adapter list. Assumed,
// not seen on a real machine: the filter layers carry their adapter's hardware flag but no
// connector; the Wi-Fi Direct, kernel debug, Hyper-V and VPN adapters have neither flag;
// the Bluetooth adapter has both; the VPN adapter is listed without an address while it
// is not connected; the indices and the order of the 64-bit table's rows.
Windows10Laptop FakeIpHelper::ScriptWindows10Laptop() {
    constexpr DWORD kWifi = 71; // IF_TYPE_IEEE80211
    constexpr DWORD kTunnel = IF_TYPE_TUNNEL;
    constexpr DWORD kVirtual = IF_TYPE_PROP_VIRTUAL;
    constexpr DWORD kUp = MIB_IF_OPER_STATUS_OPERATIONAL;
    constexpr DWORD kDown = MIB_IF_OPER_STATUS_DISCONNECTED;
    const InterfaceFlags none{false, false, false};
    const InterfaceFlags device{true, true, false};
    const InterfaceFlags filter{true, false, true};
    struct Row {
        DWORD index, type;
        const char* description;
        InterfaceFlags flags;
        DWORD status;
        // In the adapter list: with this address, or "0.0.0.0" without one; null: not listed.
        const char* address;
        DWORD layersOf; // a filter layer: its adapter's index
    };
    const Row rows[] = {
        {1, MIB_IF_TYPE_LOOPBACK, "Software Loopback Interface 1", none, kUp, nullptr, 0},
        {2, MIB_IF_TYPE_ETHERNET, "Microsoft Kernel Debug Network Adapter", none, kDown, nullptr, 0},
        {3, MIB_IF_TYPE_PPP, "WAN Miniport (SSTP)", none, kDown, nullptr, 0},
        {4, kTunnel, "WAN Miniport (IKEv2)", none, kDown, nullptr, 0},
        {5, MIB_IF_TYPE_PPP, "WAN Miniport (L2TP)", none, kDown, nullptr, 0},
        {6, MIB_IF_TYPE_PPP, "WAN Miniport (PPTP)", none, kDown, nullptr, 0},
        {7, MIB_IF_TYPE_PPP, "WAN Miniport (PPPOE)", none, kDown, nullptr, 0},
        {8, MIB_IF_TYPE_ETHERNET, "WAN Miniport (IP)", none, kUp, nullptr, 0},
        {9, MIB_IF_TYPE_ETHERNET, "WAN Miniport (IPv6)", none, kUp, nullptr, 0},
        {10, MIB_IF_TYPE_ETHERNET, "WAN Miniport (Network Monitor)", none, kUp, nullptr, 0},
        {11, kWifi, "Intel(R) Wi-Fi 6 AX201 160MHz", device, kUp, "192.168.1.23", 0},
        {12, kWifi, "Microsoft Wi-Fi Direct Virtual Adapter", none, kDown, "0.0.0.0", 0},
        {13, kWifi, "Microsoft Wi-Fi Direct Virtual Adapter #2", none, kDown, "0.0.0.0", 0},
        {14, MIB_IF_TYPE_ETHERNET, "Intel(R) Ethernet Connection (10) I219-V", device, kDown, "0.0.0.0", 0},
        {15, MIB_IF_TYPE_ETHERNET, "Bluetooth Device (Personal Area Network)", device, kDown, "0.0.0.0", 0},
        {16, kTunnel, "Teredo Tunneling Pseudo-Interface", none, kUp, nullptr, 0},
        {17, kTunnel, "Microsoft IP-HTTPS Platform Interface", none, kDown, nullptr, 0},
        {18, kTunnel, "Microsoft 6to4 Adapter", none, kDown, nullptr, 0},
        {19, kVirtual, "ExampleVPN Virtual Adapter", none, kDown, "0.0.0.0", 0},
        {20, kWifi, "Intel(R) Wi-Fi 6 AX201 160MHz-Native WiFi Filter Driver-0000", filter, kUp, nullptr, 11},
        {21, kWifi, "Intel(R) Wi-Fi 6 AX201 160MHz-QoS Packet Scheduler-0000", filter, kUp, nullptr, 11},
        {22, kWifi, "Intel(R) Wi-Fi 6 AX201 160MHz-WFP Native MAC Layer LightWeight Filter-0000", filter, kUp,
         nullptr, 11},
        {23, kWifi, "Intel(R) Wi-Fi 6 AX201 160MHz-WFP 802.3 MAC Layer LightWeight Filter-0000", filter, kUp,
         nullptr, 11},
        {24, kWifi, "Intel(R) Wi-Fi 6 AX201 160MHz-Npcap Packet Driver (NPCAP)-0000", filter, kUp, nullptr,
         11},
        {25, MIB_IF_TYPE_ETHERNET,
         "Intel(R) Ethernet Connection (10) I219-V-WFP Native MAC Layer LightWeight Filter-0000", filter,
         kDown, nullptr, 14},
        {26, MIB_IF_TYPE_ETHERNET, "Intel(R) Ethernet Connection (10) I219-V-QoS Packet Scheduler-0000",
         filter, kDown, nullptr, 14},
        {27, MIB_IF_TYPE_ETHERNET,
         "Intel(R) Ethernet Connection (10) I219-V-WFP 802.3 MAC Layer LightWeight Filter-0000", filter,
         kDown, nullptr, 14},
        {28, MIB_IF_TYPE_ETHERNET,
         "Intel(R) Ethernet Connection (10) I219-V-Npcap Packet Driver (NPCAP)-0000", filter, kDown, nullptr,
         14},
        {29, MIB_IF_TYPE_ETHERNET,
         "Bluetooth Device (Personal Area Network)-Npcap Packet Driver (NPCAP)-0000", filter, kDown, nullptr,
         15},
        {45, MIB_IF_TYPE_ETHERNET, "Hyper-V Virtual Ethernet Adapter", none, kUp, "172.22.160.1", 0},
    };
    Interfaces.clear();
    Adapters.clear();
    InterfaceNames.clear();
    Flags.clear();
    // The 64-bit table need not come in index order: the virtual switch, made last,
    // comes first here.
    for (const Row& r : std::vector<Row>(std::rbegin(rows), std::rend(rows))) {
        MIB_IFROW row = MakeIfRow(r.index, r.type, r.description, r.status);
        if (r.layersOf)
            std::memcpy(row.bPhysAddr, MakeIfRow(r.layersOf, r.type, "").bPhysAddr, sizeof row.bPhysAddr);
        Interfaces.push_back(row);
        Flags[r.index] = r.flags;
        if (!r.address)
            continue;
        FakeAdapter adapter;
        adapter.index = r.index;
        adapter.name = "{LAPTOP-" + std::to_string(r.index) + "}";
        adapter.description = r.description;
        adapter.type = r.type;
        adapter.addresses = {{r.address, std::string(r.address) == "0.0.0.0" ? "0.0.0.0" : "255.255.255.0"}};
        Adapters.insert(Adapters.begin(), adapter);
        InterfaceNames.emplace(InterfaceNames.begin(), r.index,
                               L"\\DEVICE\\TCPIP_{LAPTOP-" + std::to_wstring(r.index) + L"}");
    }
    Offer64BitTable();
    return {11, 14, 15, 45, 19};
}

void FakeIpHelper::RemoveInterface(DWORD index) {
    std::erase_if(Interfaces, [index](const MIB_IFROW& row) { return row.dwIndex == index; });
    std::erase_if(Adapters, [index](const FakeAdapter& a) { return a.index == index; });
}

MIB_IFROW& FakeIpHelper::Row(DWORD index) {
    for (MIB_IFROW& row : Interfaces)
        if (row.dwIndex == index)
            return row;
    throw std::out_of_range("no such interface");
}

} // namespace fake
