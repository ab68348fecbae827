// The Connections page: the table as each showing of the page reads it, the heading
// sorts, the context menu's enabling and the address lookups over a scripted library.
#include "frmTrcRt/FrmTraceRt.h"
#include "kelvradll/ProbeLibrary.h"
#include "platform/Text.h"
#include "support/FakePlatform.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

#include <cstring>
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
    EXPECT_EQ(List().ColumnCount(), 5);
    ShowPage();
    ASSERT_EQ(List().Count(), 4);
    EXPECT_EQ(List().RowAt(0).cells,
              (std::vector<std::wstring>{L"0.0.0.0", L"80", L"0.0.0.0", L"0", L"LISTEN"}));
    EXPECT_EQ(List().RowAt(1).cells,
              (std::vector<std::wstring>{L"10.0.0.2", L"1025", L"9.1.1.1", L"443", L"ESTABLISHED"}));
    EXPECT_EQ(static_cast<DWORD>(List().Data(1)), Address(9, 1, 1, 1));

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
    popup();
    EXPECT_FALSE(window->Connections.TraceRoute1.Enabled());
    EXPECT_FALSE(window->Connections.LookupIP1.Enabled());
    window->LookupIP1Click();
    EXPECT_FALSE(window->MainProg.Visible());
    EXPECT_EQ(window->MainProg.Position(), 0) << "nothing runs, nothing is shown";
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
