#pragma once
#include "platform/IpHelper.h"
#include "support/Override.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace fake {

// A row of the interface table as the platform would report it.
MIB_IFROW MakeIfRow(DWORD index, DWORD type, const std::string& description, DWORD operStatus = 5,
                    DWORD speed = 100000000);

// An adapter as the adapter list reports it.
struct FakeAdapter {
    DWORD index = 0;
    std::string name; // "{GUID}"
    std::string description;
    UINT type = MIB_IF_TYPE_ETHERNET;
    bool dhcp = true;
    // Address and mask pairs; the first always exists.
    std::vector<std::pair<std::string, std::string>> addresses{{"0.0.0.0", "0.0.0.0"}};
    std::string gateway;
    std::string dhcpServer;
    std::uint32_t leaseObtained = 0;
    std::uint32_t leaseExpires = 0;
    bool haveWins = false;
    std::string primaryWins;
    std::string secondaryWins;
    // What GetAdaptersAddresses lists besides the IPv4 addresses above: IPv6 addresses and
    // DNS servers, each its sixteen bytes and a zone.
    struct Ipv6 {
        std::array<BYTE, 16> bytes{};
        ULONG zone = 0;
    };
    std::vector<Ipv6> ipv6;
    std::vector<Ipv6> ipv6Dns;
};

// What the 64-bit interface table says of one interface beyond its 32-bit row.
struct WideCounters {
    ULONG64 InOctets = 0;
    ULONG64 OutOctets = 0;
    ULONG64 InDiscards = 0;
    ULONG64 OutDiscards = 0;
    ULONG64 TransmitLinkSpeed = 0;
    ULONG64 ReceiveLinkSpeed = 0;
};

// The 64-bit row's flags of an interface. By default what Wine reports for a veth link:
// hardware with a connector; the loopback has neither.
struct InterfaceFlags {
    bool hardware = true;
    bool connector = true;
    bool filter = false;
};

// The interfaces of interest on a scripted Windows 10 laptop (ScriptWindows10Laptop).
struct Windows10Laptop {
    DWORD wifi, ethernet, bluetooth, virtualSwitch, vpn;
};

// A scripted IP helper: an interface table the test edits between ticks, the adapter
// list, interface names, and a record of release and renew requests. By default the
// machine is one without the 64-bit interface table (as before Vista).
class FakeIpHelper {
public:
    FakeIpHelper();
    ~FakeIpHelper();
    FakeIpHelper(const FakeIpHelper&) = delete;
    FakeIpHelper& operator=(const FakeIpHelper&) = delete;

    // The machine's interfaces; by default the loopback (index 1) only.
    std::vector<MIB_IFROW> Interfaces;
    // Adds an adapter (interface row and adapter record) with the next free index and
    // returns that index.
    DWORD AddAdapter(const std::string& description = "veth", DWORD type = MIB_IF_TYPE_ETHERNET);
    void RemoveInterface(DWORD index);
    MIB_IFROW& Row(DWORD index);

    // Offers GetIfTable2; each interface's 64-bit row follows its 32-bit row unless
    // Wide(index) says otherwise.
    void Offer64BitTable();
    WideCounters& Wide(DWORD index);
    std::map<DWORD, WideCounters> WideRows;
    std::map<DWORD, InterfaceFlags> Flags;
    // Replaces the machine with a Windows 10 laptop as its tables list it, dozens of rows
    // of which a user has four connections, and offers the 64-bit table. The VPN adapter
    // has no address until a test connects it.
    Windows10Laptop ScriptWindows10Laptop();
    int IfTable2Calls = 0;
    int FreedTables = 0;

    std::vector<FakeAdapter> Adapters;
    FakeAdapter& Adapter(DWORD index);
    DWORD AdaptersInfoError = NO_ERROR;
    int AdaptersInfoCalls = 0;
    // The adapter list with addresses of both families (XP SP1 on); a system without it
    // after WithdrawAdaptersAddresses.
    void WithdrawAdaptersAddresses() { binding_->GetAdaptersAddresses = nullptr; }
    ULONG AdaptersAddressesError = NO_ERROR;
    int AdaptersAddressesCalls = 0;

    // Interface names by index, as GetInterfaceInfo lists them; AddAdapter adds one.
    std::vector<std::pair<DWORD, std::wstring>> InterfaceNames;
    DWORD InterfaceInfoSizeAnswer = ERROR_INSUFFICIENT_BUFFER;
    DWORD InterfaceInfoError = NO_ERROR;

    struct AddressRequest {
        bool release;
        DWORD index;
        std::wstring name;
    };
    std::vector<AddressRequest> AddressRequests;

    DWORD NumberOfInterfacesError = NO_ERROR;
    int NumberOfInterfacesCalls = 0;
    DWORD IfTableError = NO_ERROR;
    int IfTableCalls = 0;

    // The machine's protocol statistics; a failing fetch writes nothing.
    MIB_TCPSTATS TcpStats{};
    MIB_IPSTATS IpStats{};
    MIB_UDPSTATS UdpStats{};
    MIB_ICMP IcmpStats{};
    DWORD StatisticsError = NO_ERROR;
    int StatisticsCalls = 0;

    // The machine's TCP connection table, in the order the platform delivers it.
    std::vector<MIB_TCPROW> TcpRows;
    DWORD TcpTableError = NO_ERROR;
    int TcpTableCalls = 0;
    // The owning process of each of TcpRows by position (none beyond the list's end) and
    // the IPv6 connections: both come through GetExtendedTcpTable, which the machine has
    // (XP SP2 and later) until a test withdraws it. TcpTableError fails the IPv4 fetch
    // whichever function makes it. The families of the tables delivered are recorded.
    std::vector<DWORD> TcpOwners;
    std::vector<MIB_TCP6ROW_OWNER_PID> Tcp6Rows;
    DWORD Tcp6TableError = NO_ERROR;
    std::vector<ULONG> ExtendedTableFamilies;
    void WithdrawExtendedTcpTable() { binding_->GetExtendedTcpTable = nullptr; }
    // The ARP cache. Adds and removes are recorded, never applied: a test sees exactly
    // what the program asked for. Flushes come through the library export below.
    std::vector<MIB_IPNETROW> ArpTable;
    DWORD ArpTableError = NO_ERROR;
    std::vector<ULONG> ArpTableSizesAsked;
    DWORD CreateArpAnswer = NO_ERROR;
    std::vector<MIB_IPNETROW> CreatedArpEntries;
    std::vector<MIB_IPNETROW> DeletedArpEntries;
    std::vector<DWORD> FlushedInterfaces;
    // The FlushIpNetTable export to offer as the IP helper library's; it records into the
    // latest FakeIpHelper made.
    static FARPROC FlushIpNetTableExport();

    DWORD NetworkParamsAnswer = NO_ERROR; // NO_ERROR, ERROR_BUFFER_OVERFLOW, ERROR_NOT_SUPPORTED, ...
    FIXED_INFO NetworkParams{};
    // DNS servers after the record's first, chained behind it in the caller's block.
    std::vector<std::string> MoreDnsServers;

private:
    DWORD FillAdaptersInfo(PIP_ADAPTER_INFO info, PULONG size) const;
    ULONG FillAdaptersAddresses(ULONG family, PIP_ADAPTER_ADDRESSES first, PULONG size);
    DWORD FillIfTable2(PMIB_IF_TABLE2* table);
    DWORD FillIpNetTable(PMIB_IPNETTABLE table, PULONG size, BOOL sorted);
    DWORD FillExtendedTcpTable(PVOID table, PDWORD size, ULONG family, TCP_TABLE_CLASS tableClass);
    BindingOverride<platform::IpHelper> binding_{platform::ipHelper()};
};

} // namespace fake
