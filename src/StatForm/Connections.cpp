// The Connections page: the machine's TCP connections of both families with the program
// behind each, rebuilt each time the page comes into view, sortable by its headings, with
// the context menu of lookups and trace.
#include "StatForm/ConnectionTexts.h"
#include "StatForm/Owners.h"
#include "StatForm/StatsForm.h"
#include "kelvradll/ProbeLibrary.h"
#include "platform/Buffers.h"
#include "platform/IpHelper.h"
#include "platform/Kernel.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {

using Row = widgets::ListView::Row;

// The rows of a fetched table block, never more than the block holds, whatever its count
// says. Every table of rows starts with its count, the rows at the same offset.
template <typename Table, typename Entry> std::vector<Entry> EntriesIn(const std::vector<BYTE>& block) {
    constexpr std::size_t header = offsetof(Table, table);
    if (block.size() < header)
        return {};
    const auto* table = reinterpret_cast<const Table*>(block.data());
    const std::size_t room = (block.size() - header) / sizeof(Entry);
    const std::size_t count = std::min<std::size_t>(table->dwNumEntries, room);
    std::vector<Entry> entries(count);
    if (count > 0)
        std::memcpy(entries.data(), block.data() + header, count * sizeof(Entry));
    return entries;
}

// One family's connections with their owners, sorted as GetTcpTable sorts; nothing when
// the fetch fails.
template <typename Table, typename Entry> std::vector<Entry> OwnedConnections(ULONG family) {
    std::vector<BYTE> block;
    auto call = [family](BYTE* buffer, ULONG* size) {
        return platform::ipHelper().GetExtendedTcpTable(buffer, size, TRUE, family, TCP_TABLE_OWNER_PID_ALL,
                                                        0);
    };
    if (platform::FetchBlock(call, 0, block) != NO_ERROR)
        return {};
    return EntriesIn<Table, Entry>(block);
}

// The connections with their programs: the IPv4 rows, then the IPv6 rows. The process
// snapshot is taken after both tables, so a program that made a connection just before
// is in it; one that has ended since shows its id without a name.
std::vector<Row> OwnedRows() {
    const auto v4 = OwnedConnections<MIB_TCPTABLE_OWNER_PID, MIB_TCPROW_OWNER_PID>(AF_INET);
    const auto v6 = OwnedConnections<MIB_TCP6TABLE_OWNER_PID, MIB_TCP6ROW_OWNER_PID>(AF_INET6);
    std::vector<Row> rows;
    if (v4.empty() && v6.empty())
        return rows;
    const connections::ProcessNames owners(platform::RunningProcesses());
    rows.reserve(v4.size() + v6.size());
    for (const MIB_TCPROW_OWNER_PID& entry : v4)
        rows.push_back(connections::ConnectionRow(entry, owners));
    for (const MIB_TCP6ROW_OWNER_PID& entry : v6)
        rows.push_back(connections::ConnectionRow(entry, owners));
    return rows;
}

// Where the system cannot tell the owners (before XP SP2): the IPv4 table alone.
std::vector<Row> PlainRows() {
    std::vector<BYTE> block;
    auto call = [](BYTE* buffer, ULONG* size) {
        return platform::ipHelper().GetTcpTable(reinterpret_cast<PMIB_TCPTABLE>(buffer), size, TRUE);
    };
    std::vector<Row> rows;
    if (platform::FetchBlock(call, 0, block) != NO_ERROR)
        return rows;
    const auto entries = EntriesIn<MIB_TCPTABLE, MIB_TCPROW>(block);
    rows.reserve(entries.size());
    for (const MIB_TCPROW& entry : entries)
        rows.push_back(connections::ConnectionRow(entry));
    return rows;
}

} // namespace

void TStatsForm::CreateConnectionsPage() {
    ConnectionsPage& page = Connections;
    const std::array<const wchar_t*, connections::kColumnCount> headings{
        L"本地 IP", L"端口", L"远程 IP", L"端口", L"状态", L"进程 ID", L"进程"};
    std::vector<widgets::ListView::Column> columns;
    for (std::size_t i = 0; i < headings.size(); ++i)
        columns.push_back({headings[i], page.ConnectionColumnWidths[i]});
    page.lvConnections.SetColumns(std::move(columns));
    page.lvConnections.HelpContext = IDH_lvConnections;
    const RECT sheet = tsConnect.ClientBounds();
    page.lvConnections.SetBounds(0, 0, sheet.right - sheet.left, sheet.bottom - sheet.top);

    tsConnect.OnShow = [this] { tsConnectShow(); };
    page.lvConnections.OnColumnClick = [this](int column) { lvConnectionsColumnClick(column); };
    page.lvConnections.OnContextMenu = [this](POINT at) { Connections.PopupMenu2.Popup(at); };
    page.PopupMenu2.OnPopup = [this] { PopupMenu2Popup(); };
    page.LookupIP1.OnClick = [this] { LookupIP1Click(); };
    page.TraceRoute1.OnClick = [this] { TraceRoute1Click(); };
    page.ReverseLookupIPs1.OnClick = [this] { ReverseLookupIPs1Click(); };
}

void TStatsForm::tsConnectShow() {
    // One fetch per family and one process snapshot per showing. A family whose fetch
    // fails adds no rows; when no family gives any, the rows of the last showing stay.
    std::vector<Row> rows = platform::ipHelper().GetExtendedTcpTable ? OwnedRows() : PlainRows();
    if (rows.empty())
        return;
    ++Connections.LookupGeneration;
    Connections.lvConnections.Assign(rows);
}

void TStatsForm::lvConnectionsColumnClick(int column) {
    ConnectionsPage& page = Connections;
    if (column < 0 || column >= connections::kColumnCount)
        return;
    const auto clicked = static_cast<std::uint8_t>(column);
    page.SortAscending = clicked == page.SortColumn ? !page.SortAscending : true;
    page.SortColumn = clicked;
    // Rows change places: a running lookup must not go on by their old positions.
    ++page.LookupGeneration;
    page.lvConnections.Sort([this](const widgets::ListView::Row& a, const widgets::ListView::Row& b) {
        return lvConnectionsCompare(a, b);
    });
}

int TStatsForm::lvConnectionsCompare(const widgets::ListView::Row& a, const widgets::ListView::Row& b) const {
    return connections::CompareRows(a, b, Connections.SortColumn, Connections.SortAscending);
}

void TStatsForm::PopupMenu2Popup() {
    ConnectionsPage& page = Connections;
    const kelvradll::ProbeLibrary& probe = kelvradll::probeLibrary();
    // Without the probe library nothing can be looked up or traced; an IPv6 address only
    // by a library with the wide lookup, and no IPv6 address is traced.
    page.TraceRoute1.SetEnabled(TraceRouteAvailable());
    const widgets::ListView& list = page.lvConnections;
    auto lookups = [&](int first, auto next) {
        if (!page.LookupsAllowed)
            return false;
        if (first < 0) // nothing to look up: as the library allows
            return static_cast<bool>(probe.GetDNSLookup);
        bool v4 = false;
        bool v6 = false;
        for (int row = first; row >= 0 && !(v4 && v6); row = next(row))
            (connections::IsIpv6Row(list.Data(row)) ? v6 : v4) = true;
        return (v4 && probe.GetDNSLookup) || (v6 && probe.GetDNSLookupW);
    };
    page.LookupIP1.SetEnabled(lookups(list.NextSelected(), [&](int row) { return list.NextSelected(row); }));
    page.ReverseLookupIPs1.SetEnabled(
        lookups(list.Count() > 0 ? 0 : -1, [&](int row) { return row + 1 < list.Count() ? row + 1 : -1; }));
}

bool TStatsForm::TraceRouteAvailable() const {
    const widgets::ListView& list = Connections.lvConnections;
    return list.SelectedCount() == 1 && kelvradll::probeLibrary().Loaded() &&
           !connections::IsIpv6Row(list.Data(list.NextSelected()));
}

void TStatsForm::DisableLookups() {
    Connections.LookupsAllowed = false;
    Connections.LookupIP1.SetEnabled(false);
    Connections.ReverseLookupIPs1.SetEnabled(false);
}

DWORD TStatsForm::SelectedRemoteAddress() const {
    const int row = Connections.lvConnections.NextSelected();
    return row < 0 ? 0 : static_cast<DWORD>(Connections.lvConnections.Data(row));
}
