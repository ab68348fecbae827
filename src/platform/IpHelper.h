#pragma once
#include "platform/Win32.h"

#include <functional>

namespace platform {

struct IpHelper {
    std::function<DWORD(PDWORD)> GetNumberOfInterfaces = ::GetNumberOfInterfaces;
    std::function<DWORD(PMIB_IFTABLE, PULONG, BOOL)> GetIfTable = ::GetIfTable;
    std::function<DWORD(DWORD)> GetFriendlyIfIndex = ::GetFriendlyIfIndex;
    std::function<DWORD(PFIXED_INFO, PULONG)> GetNetworkParams = ::GetNetworkParams;
    std::function<DWORD(PIP_ADAPTER_INFO, PULONG)> GetAdaptersInfo = ::GetAdaptersInfo;
    std::function<DWORD(PIP_INTERFACE_INFO, PULONG)> GetInterfaceInfo = ::GetInterfaceInfo;
    std::function<DWORD(PIP_ADAPTER_INDEX_MAP)> IpReleaseAddress = ::IpReleaseAddress;
    std::function<DWORD(PIP_ADAPTER_INDEX_MAP)> IpRenewAddress = ::IpRenewAddress;
    std::function<DWORD(PMIB_TCPSTATS)> GetTcpStatistics = ::GetTcpStatistics;
    std::function<DWORD(PMIB_IPSTATS)> GetIpStatistics = ::GetIpStatistics;
    std::function<DWORD(PMIB_UDPSTATS)> GetUdpStatistics = ::GetUdpStatistics;
    std::function<DWORD(PMIB_ICMP)> GetIcmpStatistics = ::GetIcmpStatistics;
    std::function<DWORD(PMIB_TCPTABLE, PDWORD, BOOL)> GetTcpTable = ::GetTcpTable;
    std::function<DWORD(PMIB_IPNETTABLE, PULONG, BOOL)> GetIpNetTable = ::GetIpNetTable;
    std::function<DWORD(PMIB_IPNETROW)> CreateIpNetEntry = ::CreateIpNetEntry;
    std::function<DWORD(PMIB_IPNETROW)> DeleteIpNetEntry = ::DeleteIpNetEntry;
    // The 64-bit interface table exists from Vista on; looked up when the binding is
    // made, so both stay empty on older systems and the program still starts there.
    std::function<DWORD(PMIB_IF_TABLE2*)> GetIfTable2 = LookUp<DWORD, PMIB_IF_TABLE2*>("GetIfTable2");
    std::function<void(PVOID)> FreeMibTable = LookUp<void, PVOID>("FreeMibTable");
    // The adapter list with IPv6 addresses and DNS servers (XP SP1 on), looked up alike.
    std::function<ULONG(ULONG, ULONG, PVOID, PIP_ADAPTER_ADDRESSES, PULONG)> GetAdaptersAddresses =
        LookUp<ULONG, ULONG, ULONG, PVOID, PIP_ADAPTER_ADDRESSES, PULONG>("GetAdaptersAddresses");
    // The connection table with each connection's owning process, of either family: from
    // XP SP2 on (IPv6 rows from Vista on); empty where the system has none.
    std::function<DWORD(PVOID, PDWORD, BOOL, ULONG, TCP_TABLE_CLASS, ULONG)> GetExtendedTcpTable =
        LookUp<DWORD, PVOID, PDWORD, BOOL, ULONG, TCP_TABLE_CLASS, ULONG>("GetExtendedTcpTable");

private:
    // An export of the IP helper library that the program is linked with, or an empty
    // function where this system has none.
    template <typename Result, typename... Args>
    static std::function<Result(Args...)> LookUp(const char* name) {
        using Pointer = Result(WINAPI*)(Args...);
        FARPROC address = LookUpExport(name);
        if (!address)
            return {};
        return reinterpret_cast<Pointer>(reinterpret_cast<void*>(address));
    }
    static FARPROC LookUpExport(const char* name);
};

IpHelper& ipHelper();

} // namespace platform
