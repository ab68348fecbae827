// The Connections page: the table as each showing of the page reads it, the heading
// sorts, the context menu's enabling and the address lookups over a scripted library.
#include "StatForm/ConnectionTexts.h"
#include "frmTrcRt/FrmTraceRt.h"
#include "kelvradll/ProbeLibrary.h"
#include "platform/Text.h"
#include "support/FakePlatform.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

namespace {

DWORD Address(BYTE a, BYTE b, BYTE c, BYTE d) {
    return static_cast<DWORD>(a | (b << 8) | (c << 16) | (d << 24));
}

// A port as the table field holds it: network order in the low 16 bits.
DWORD Port(unsigned port) {
    return ((port & 0xFF) << 8) | (port >> 8);
}

MIB_TCPROW Entry(DWORD local, unsigned localPort, DWORD remote, unsigned remotePort, DWORD state) {
    MIB_TCPROW row{};
    row.dwState = state;
    row.dwLocalAddr = local;
    row.dwLocalPort = Port(localPort);
    row.dwRemoteAddr = remote;
    row.dwRemotePort = Port(remotePort);
    return row;
}

// An IPv6 entry from the bytes' groups, as an IPv6 table holds it.
MIB_TCP6ROW_OWNER_PID Entry6(std::array<std::uint16_t, 8> local, DWORD localScope, unsigned localPort,
                             std::array<std::uint16_t, 8> remote, unsigned remotePort, DWORD state,
                             DWORD pid) {
    MIB_TCP6ROW_OWNER_PID row{};
    for (std::size_t i = 0; i < 8; ++i) {
        row.ucLocalAddr[2 * i] = static_cast<UCHAR>(local[i] >> 8);
        row.ucLocalAddr[2 * i + 1] = static_cast<UCHAR>(local[i] & 0xFF);
        row.ucRemoteAddr[2 * i] = static_cast<UCHAR>(remote[i] >> 8);
        row.ucRemoteAddr[2 * i + 1] = static_cast<UCHAR>(remote[i] & 0xFF);
    }
    row.dwLocalScopeId = localScope;
    row.dwRemoteScopeId = 7; // a global address names no scope
    row.dwLocalPort = Port(localPort);
    row.dwRemotePort = Port(remotePort);
    row.dwState = state;
    row.dwOwningPid = pid;
    return row;
}

using Cells = std::vector<std::wstring>;

class Connections : public ::testing::Test {
protected:
    Connections() {
        fake.AddAdapter("eth0");
        fake.TcpRows = {
            Entry(Address(0, 0, 0, 0), 80, Address(0, 0, 0, 0), 0, MIB_TCP_STATE_LISTEN),
            Entry(Address(10, 0, 0, 2), 1025, Address(9, 1, 1, 1), 443, MIB_TCP_STATE_ESTAB),
            Entry(Address(10, 0, 0, 2), 445, Address(10, 0, 0, 7), 51000, MIB_TCP_STATE_TIME_WAIT),
            Entry(Address(127, 0, 0, 1), 445, Address(127, 0, 0, 1), 2000, MIB_TCP_STATE_CLOSE_WAIT),
        };
        // The owners: the listener's is the system, the last row's program has ended.
        fake.TcpOwners = {4, 1200, 1200, 3000};
        fake.Processes = {{0, L"[System Process]"}, {4, L"System"}, {1200, L"firefox.exe"}};
        window = fake::BeginWindow();
        probe->TraceRoute = [](const TraceRequest*, TraceResult**, HopCallback) { return DWORD{0}; };
        probe->FreeTraceRt = [](TraceResult**) {};
        probe->GetDNSLookup = [this](LookupRequest* request) {
            asked.emplace_back(request->address);
            progress.push_back(window->MainProg.Position());
            shownDuringLookup = shownDuringLookup && window->MainProg.Visible();
            if (onLookup)
                onLookup();
            auto found = names.find(request->address);
            if (found == names.end())
                return DWORD{11001};
            std::strcpy(request->hostName, found->second.c_str());
            return DWORD{0};
        };
        probe->GetDNSLookupW = [this](const wchar_t* address, wchar_t* name, DWORD capacity) {
            const std::string text = platform::ToAnsi(address, CP_UTF8);
            asked.push_back(text);
            auto found = names.find(text);
            if (found == names.end())
                return DWORD{11001};
            std::wcsncpy(name, platform::FromAnsi(found->second, CP_UTF8).c_str(), capacity);
            return DWORD{0};
        };
    }

    // Two IPv6 connections: a listener of the system and a link-local one of a program.
    void AddIpv6Rows() {
        fake.Tcp6Rows = {
            Entry6({}, 0, 443, {}, 0, MIB_TCP_STATE_LISTEN, 4),
            Entry6({0xfe80, 0, 0, 0, 0, 0, 0, 1}, 12, 50000, {0x2001, 0xdb8, 0, 0, 0, 0, 0, 2}, 443,
                   MIB_TCP_STATE_ESTAB, 1200),
        };
    }

    void ShowPage() { window->PageControl1.SetActivePage(window->tsConnect); }
    void ShowOtherPageAndBack() {
        window->PageControl1.SetActivePage(window->tsGeneral);
        ShowPage();
    }
    widgets::ListView& List() { return window->Connections.lvConnections; }
    std::vector<std::wstring> Column(int column) {
        std::vector<std::wstring> texts;
        for (int row = 0; row < List().Count(); ++row)
            texts.push_back(List().Text(row, column));
        return texts;
    }
    void Select(const std::vector<int>& rows) {
        for (int row = 0; row < List().Count(); ++row)
            List().SetSelected(row, false);
        for (int row : rows)
            List().SetSelected(row, true);
    }

    fake::FakePlatform fake;
    fake::BindingOverride<kelvradll::ProbeLibrary> probe{kelvradll::probeLibrary()};
    std::unique_ptr<TStatsForm> window;
    std::map<std::string, std::string> names;
    std::vector<std::string> asked;
    std::vector<int> progress;
    bool shownDuringLookup = true;
    std::function<void()> onLookup;
};

TEST_F(Connections, EachShowingReadsTheTableInItsOrderAndAFailedOrEmptyOneKeepsTheRows) {
    EXPECT_EQ(List().Count(), 0) << "empty until the page is first shown";
    EXPECT_EQ(List().ColumnCount(), 7);
    ShowPage();
    ASSERT_EQ(List().Count(), 4);
    EXPECT_EQ(List().RowAt(0).cells,
              (Cells{L"0.0.0.0", L"80", L"0.0.0.0", L"0", L"LISTEN", L"4", L"System"}));
    EXPECT_EQ(List().RowAt(1).cells,
              (Cells{L"10.0.0.2", L"1025", L"9.1.1.1", L"443", L"ESTABLISHED", L"1200", L"firefox.exe"}));
    EXPECT_EQ(static_cast<DWORD>(List().Data(1)), Address(9, 1, 1, 1));
    EXPECT_EQ(List().RowAt(3).cells,
              (Cells{L"127.0.0.1", L"445", L"127.0.0.1", L"2000", L"CLOSE_WAIT", L"3000", L""}))
        << "a program that has ended shows its id only";
    const int widths[] = {80, 50, 80, 50, 103, 55, 110};
    for (int column = 0; column < 7; ++column)
        EXPECT_EQ(List().ColumnWidth(column), widths[column]) << column;

    fake.TcpRows.pop_back();
    fake.TcpTableError = ERROR_NOT_SUPPORTED;
    ShowOtherPageAndBack();
    EXPECT_EQ(List().Count(), 4);
    fake.TcpTableError = NO_ERROR;
    const auto rows = fake.TcpRows;
    fake.TcpRows.clear();
    ShowOtherPageAndBack();
    EXPECT_EQ(List().Count(), 4);

    fake.TcpRows = rows;
    List().SetSelected(1, true);
    ShowOtherPageAndBack();
    EXPECT_EQ(List().Count(), 3);
    EXPECT_EQ(List().SelectedCount(), 0);

    // Shown again with the page in front: read again.
    window->Hide();
    fake.TcpRows.push_back(Entry(Address(1, 2, 3, 4), 5, Address(6, 7, 8, 9), 10, 99));
    window->Show();
    ASSERT_EQ(List().Count(), 4);
    EXPECT_EQ(List().Text(3, 4), L"") << "an unknown state has no name";
    EXPECT_EQ(fake.TcpTableCalls, 0) << "the owners' table stands in for the plain one";
}

TEST_F(Connections, Ipv6RowsFollowTheIpv4OnesEachFamilyFetchedOncePerShowing) {
    AddIpv6Rows();
    ShowPage();
    ASSERT_EQ(List().Count(), 6);
    EXPECT_EQ(List().RowAt(4).cells, (Cells{L"::", L"443", L"::", L"0", L"LISTEN", L"4", L"System"}));
    EXPECT_EQ(List().RowAt(5).cells, (Cells{L"fe80::1%12", L"50000", L"2001:db8::2", L"443", L"ESTABLISHED",
                                            L"1200", L"firefox.exe"}));
    EXPECT_TRUE(connections::IsIpv6Row(List().Data(5)));
    EXPECT_FALSE(connections::IsIpv6Row(List().Data(0)));
    EXPECT_EQ(fake.ExtendedTableFamilies, (std::vector<ULONG>{AF_INET, AF_INET6}));
    EXPECT_EQ(fake.SnapshotsTaken, 1);
    EXPECT_EQ(fake.SnapshotsOpen, 0);

    // By program name, then by id (as a number).
    window->lvConnectionsColumnClick(connections::kProcessName);
    EXPECT_EQ(Column(connections::kProcessName),
              (Cells{L"", L"firefox.exe", L"firefox.exe", L"firefox.exe", L"System", L"System"}));
    window->lvConnectionsColumnClick(connections::kProcessId);
    EXPECT_EQ(Column(connections::kProcessId), (Cells{L"4", L"4", L"1200", L"1200", L"1200", L"3000"}));

    // A family whose fetch fails leaves the other's rows; without a snapshot, no names.
    struct Case {
        DWORD error4, error6;
        bool snapshot;
        int rows;
        std::wstring lastName;
    } const cases[] = {{NO_ERROR, ERROR_NOT_SUPPORTED, true, 4, L""},
                       {ERROR_NOT_SUPPORTED, NO_ERROR, true, 2, L"firefox.exe"},
                       {NO_ERROR, NO_ERROR, false, 6, L""}};
    for (const Case& c : cases) {
        fake.TcpTableError = c.error4;
        fake.Tcp6TableError = c.error6;
        fake.SnapshotFails = !c.snapshot;
        ShowOtherPageAndBack();
        ASSERT_EQ(List().Count(), c.rows) << c.rows;
        EXPECT_EQ(List().Text(c.rows - 1, connections::kProcessName), c.lastName) << c.rows;
        EXPECT_NE(List().Text(c.rows - 1, connections::kProcessId), L"") << c.rows;
    }
    EXPECT_EQ(fake.SnapshotsOpen, 0);
}

TEST_F(Connections, WithoutTheOwnersTableThePlainIpv4TableLeavesTheProgramColumnsEmpty) {
    AddIpv6Rows();
    fake.WithdrawExtendedTcpTable();
    ShowPage();
    ASSERT_EQ(List().Count(), 4) << "no IPv6 rows";
    EXPECT_EQ(List().RowAt(1).cells,
              (Cells{L"10.0.0.2", L"1025", L"9.1.1.1", L"443", L"ESTABLISHED", L"", L""}));
    EXPECT_GT(fake.TcpTableCalls, 0);
    EXPECT_EQ(fake.SnapshotsTaken, 0);
}

TEST_F(Connections, HeadingClicksSortAndAShowingRestoresThePlatformsOrder) {
    ShowPage();
    window->lvConnectionsColumnClick(1);
    EXPECT_EQ(Column(1), (std::vector<std::wstring>{L"80", L"445", L"445", L"1025"}));
    window->lvConnectionsColumnClick(3);
    EXPECT_EQ(Column(3), (std::vector<std::wstring>{L"0", L"443", L"2000", L"51000"}));
    window->lvConnectionsColumnClick(3);
    EXPECT_EQ(Column(3), (std::vector<std::wstring>{L"51000", L"2000", L"443", L"0"}));
    window->lvConnectionsColumnClick(4);
    EXPECT_EQ(Column(4), (std::vector<std::wstring>{L"CLOSE_WAIT", L"ESTABLISHED", L"LISTEN", L"TIME_WAIT"}));
    EXPECT_EQ(window->Connections.SortColumn, 4);
    EXPECT_TRUE(window->Connections.SortAscending);
    window->lvConnectionsColumnClick(2);
    EXPECT_EQ(Column(2), (std::vector<std::wstring>{L"0.0.0.0", L"10.0.0.7", L"127.0.0.1", L"9.1.1.1"}));
    EXPECT_EQ(static_cast<DWORD>(List().Data(3)), Address(9, 1, 1, 1)) << "data words move with their rows";

    ShowOtherPageAndBack();
    EXPECT_EQ(Column(1), (std::vector<std::wstring>{L"80", L"1025", L"445", L"445"}));
    EXPECT_EQ(window->Connections.SortColumn, 2) << "the sort state outlives a rebuild";
}

TEST_F(Connections, TheMenuTracesExactlyOneRowAndLooksUpOnlyWhereItCan) {
    ShowPage();
    auto popup = [&] { window->PopupMenu2Popup(); };
    for (auto [rows, traceable] :
         std::vector<std::pair<std::vector<int>, bool>>{{{}, false}, {{2}, true}, {{1, 2}, false}}) {
        Select(rows);
        popup();
        EXPECT_EQ(window->Connections.TraceRoute1.Enabled(), traceable) << rows.size();
        EXPECT_TRUE(window->Connections.LookupIP1.Enabled());
        EXPECT_TRUE(window->Connections.ReverseLookupIPs1.Enabled());
    }
    Select({2});
    EXPECT_EQ(window->SelectedRemoteAddress(), Address(10, 0, 0, 7));
    window->TraceRoute1Click();
    auto* trace = window->TraceWindows.Find<TFrmTraceRt>();
    ASSERT_NE(trace, nullptr);
    EXPECT_EQ(trace->TargetAddress, Address(10, 0, 0, 7));
    EXPECT_EQ(widgets::WindowText(trace->Handle()), L"追踪路由到 10.0.0.7 超过30跃点数.");

    // Without the library nothing is offered.
    probe->TraceRoute = nullptr;
    probe->GetDNSLookup = nullptr;
    probe->GetDNSLookupW = nullptr;
    popup();
    EXPECT_FALSE(window->Connections.TraceRoute1.Enabled());
    EXPECT_FALSE(window->Connections.LookupIP1.Enabled());
    window->LookupIP1Click();
    EXPECT_FALSE(window->MainProg.Visible());
    EXPECT_EQ(window->MainProg.Position(), 0) << "nothing runs, nothing is shown";
}

TEST_F(Connections, AnIpv6RowIsLookedUpByTheWideLookupAndNeverTraced) {
    AddIpv6Rows();
    ShowPage();
    names = {{"fe80::1%12", "router.lan"}, {"2001:db8::2", "far.example"}, {"10.0.0.2", "desk.lan"}};
    auto menu = [&] {
        window->PopupMenu2Popup();
        return std::vector<bool>{window->Connections.TraceRoute1.Enabled(),
                                 window->Connections.LookupIP1.Enabled(),
                                 window->Connections.ReverseLookupIPs1.Enabled()};
    };
    Select({5});
    EXPECT_EQ(menu(), (std::vector<bool>{false, true, true}));
    window->TraceRoute1Click();
    EXPECT_EQ(window->TraceWindows.Count(), 0u);
    window->LookupIP1Click();
    EXPECT_EQ(asked, (std::vector<std::string>{"fe80::1%12", "2001:db8::2"}));
    EXPECT_EQ(List().Text(5, 0), L"router.lan");
    EXPECT_EQ(List().Text(5, 2), L"far.example");

    // A library without the wide lookup looks up IPv4 addresses only.
    probe->GetDNSLookupW = nullptr;
    ShowOtherPageAndBack();
    Select({5});
    EXPECT_EQ(menu(), (std::vector<bool>{false, false, true}));
    Select({1, 5});
    EXPECT_EQ(menu(), (std::vector<bool>{false, true, true}));
    asked.clear();
    window->LookupIP1Click();
    EXPECT_EQ(asked, (std::vector<std::string>{"10.0.0.2", "9.1.1.1"}));
    EXPECT_EQ(List().Text(5, 0), L"fe80::1%12");
}

TEST_F(Connections, TheNtOnlyNoticeDisablesTheLookupsForGood) {
    ShowPage();
    window->ShowNtOnlyNotice();
    window->PopupMenu2Popup();
    EXPECT_FALSE(window->Connections.LookupIP1.Enabled());
    EXPECT_FALSE(window->Connections.ReverseLookupIPs1.Enabled());
}

TEST_F(Connections, LookingUpSelectedRowsNamesBothAddressesWhereANameExists) {
    ShowPage();
    names = {{"10.0.0.2", "desk.lan"}, {"10.0.0.7", "nas.lan"}, {"127.0.0.1", "localhost"}};
    Select({1, 2, 3});
    window->LookupIP1Click();
    EXPECT_EQ(asked, (std::vector<std::string>{"10.0.0.2", "9.1.1.1", "10.0.0.2", "10.0.0.7", "127.0.0.1",
                                               "127.0.0.1"}));
    EXPECT_EQ(progress, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(shownDuringLookup);
    EXPECT_FALSE(window->MainProg.Visible());
    EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"0.0.0.0", L"desk.lan", L"desk.lan", L"localhost"}));
    EXPECT_EQ(Column(2), (std::vector<std::wstring>{L"0.0.0.0", L"9.1.1.1", L"nas.lan", L"localhost"}));
    Select({1});
    EXPECT_EQ(window->SelectedRemoteAddress(), Address(9, 1, 1, 1)) << "the trace still reaches the address";

    // Every row: the named cells are not sent again, the bar still runs to the end.
    asked.clear();
    progress.clear();
    window->ReverseLookupIPs1Click();
    EXPECT_EQ(asked, (std::vector<std::string>{"0.0.0.0", "0.0.0.0", "9.1.1.1"}));
    EXPECT_EQ(window->MainProg.Position(), 8);
}

TEST_F(Connections, ARebuildDuringALookupEndsItWithoutTouchingTheNewRows) {
    ShowPage();
    names = {{"0.0.0.0", "any"}, {"9.1.1.1", "far"}, {"10.0.0.2", "desk"}};
    onLookup = [&] {
        if (asked.size() == 2) {
            fake.TcpRows.resize(2);
            ShowOtherPageAndBack();
        }
    };
    window->ReverseLookupIPs1Click();
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"0.0.0.0", L"10.0.0.2"}));
    EXPECT_EQ(Column(2), (std::vector<std::wstring>{L"0.0.0.0", L"9.1.1.1"}));
    EXPECT_FALSE(window->MainProg.Visible());

    // A second command started while one runs takes over; the first ends.
    asked.clear();
    onLookup = [&] {
        if (asked.size() == 1) {
            Select({1});
            window->LookupIP1Click();
        }
    };
    window->ReverseLookupIPs1Click();
    EXPECT_EQ(asked, (std::vector<std::string>{"0.0.0.0", "10.0.0.2", "9.1.1.1"}));
    EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"0.0.0.0", L"desk"}));
    EXPECT_EQ(Column(2), (std::vector<std::wstring>{L"0.0.0.0", L"far"}));

    // A sort moves the rows: the lookup ends there, its bar goes, the names found stay.
    names = {{"10.0.0.2", "desk"}, {"9.1.1.1", "far"}};
    ShowOtherPageAndBack();
    asked.clear();
    onLookup = [&] {
        if (asked.size() == 4) { // the second row's remote address: by port, descending
            window->lvConnectionsColumnClick(1);
            window->lvConnectionsColumnClick(1);
        }
    };
    window->ReverseLookupIPs1Click();
    EXPECT_EQ(asked.size(), 4u);
    EXPECT_FALSE(window->MainProg.Visible());
    EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"desk", L"0.0.0.0"}));
    EXPECT_EQ(Column(2), (std::vector<std::wstring>{L"9.1.1.1", L"0.0.0.0"}));
}

TEST_F(Connections, AProbeLibraryThatDoesNotLoadWholeOffersNothing) {
    ShowPage();
    Select({1});
    struct Case {
        const wchar_t* folder;
        bool loads;
    };
    for (const Case& c :
         {Case{L"probe_home\\", true}, Case{L"no_such_home\\", false}, Case{L"probe_partial\\", false}}) {
        SCOPED_TRACE(platform::ToAnsi(c.folder, CP_UTF8));
        fake.UseProgramFolder(c.folder);
        *probe = kelvradll::LoadProbeLibrary();
        window->PopupMenu2Popup();
        EXPECT_EQ(window->Connections.TraceRoute1.Enabled(), c.loads);
        EXPECT_EQ(window->Connections.LookupIP1.Enabled(), c.loads);
        EXPECT_EQ(window->Connections.ReverseLookupIPs1.Enabled(), c.loads);
        if (c.loads)
            continue;
        // Nothing runs, nothing is shown as done.
        window->TraceRoute1Click();
        window->LookupIP1Click();
        window->ReverseLookupIPs1Click();
        EXPECT_EQ(window->TraceWindows.Count(), 0u);
        EXPECT_FALSE(window->MainProg.Visible());
        EXPECT_EQ(window->MainProg.Position(), 0);
        EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"0.0.0.0", L"10.0.0.2", L"10.0.0.2", L"127.0.0.1"}));
    }
}

} // namespace
