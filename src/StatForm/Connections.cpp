// The Connections page: the machine's TCP connection table, rebuilt each time the page
// comes into view, sortable by its headings, with the context menu of lookups and trace.
#include "StatForm/ConnectionTexts.h"
#include "StatForm/StatsForm.h"
#include "kelvradll/ProbeLibrary.h"
#include "platform/Buffers.h"
#include "platform/IpHelper.h"

#include <algorithm>
#include <cstddef>
#include <vector>

void TStatsForm::CreateConnectionsPage() {
    ConnectionsPage& page = Connections;
    const std::array<const wchar_t*, connections::kColumnCount> headings{L"本地 IP", L"端口", L"远程 IP",
                                                                         L"端口", L"状态"};
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
    std::vector<BYTE> block;
    auto call = [](BYTE* buffer, ULONG* size) {
        return platform::ipHelper().GetTcpTable(reinterpret_cast<PMIB_TCPTABLE>(buffer), size, TRUE);
    };
    if (platform::FetchBlock(call, 0, block) != NO_ERROR || block.size() < offsetof(MIB_TCPTABLE, table))
        return; // the rows of the last showing stay
    const auto* table = reinterpret_cast<const MIB_TCPTABLE*>(block.data());
    // Never more rows than the block holds, whatever the count says.
    const std::size_t room = (block.size() - offsetof(MIB_TCPTABLE, table)) / sizeof(MIB_TCPROW);
    const std::size_t count = std::min<std::size_t>(table->dwNumEntries, room);
    if (count == 0)
        return;
    std::vector<widgets::ListView::Row> rows;
    rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        rows.push_back(connections::ConnectionRow(table->table[i]));
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
    // Without the probe library nothing can be looked up or traced.
    page.TraceRoute1.SetEnabled(page.lvConnections.SelectedCount() == 1 && probe.Loaded());
    const bool lookups = page.LookupsAllowed && static_cast<bool>(probe.GetDNSLookup);
    page.LookupIP1.SetEnabled(lookups);
    page.ReverseLookupIPs1.SetEnabled(lookups);
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
