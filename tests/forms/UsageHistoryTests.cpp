// The usage history window and the monthly limit: the Support page's entry, the rows of
// its views, sorting, the period line, the limit's edit, the alerts on the tray icon, a
// bad history file, the columns at another resolution and the export.
#include "StatForm/Formats.h"
#include "UsageHistory/TUsageHistory.h"
#include "forms/Surface.h"
#include "settings/Settings.h"
#include "support/FakePlatform.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr double kDay = 1.0;
constexpr double kMarch31 = 45016.5; // 2023-03-31 12:00; the fake clock starts on 2023-03-15

class UsageHistory : public ::testing::Test {
protected:
    UsageHistory() {
        index = fake.AddAdapter("eth0");
        // With an address the tray icon shows, where the alerts appear.
        fake.Adapter(index).addresses = {{"192.168.0.5", "255.255.255.0"}};
        window = fake::BeginWindow();
    }

    // One status-window tick over which the interface counted these bytes.
    void Tick(std::uint64_t received, std::uint64_t sent) {
        fake.Row(index).dwInOctets += static_cast<DWORD>(received);
        fake.Row(index).dwOutOctets += static_cast<DWORD>(sent);
        window->Timer2Timer();
    }
    // The window's settings subkey: values the user left there before a start.
    void Store(const wchar_t* name, const std::wstring& text) {
        settings::RegistryAccessor registry;
        registry.CreateKey(settings::WindowSubkeyPath(window->InterfaceName), settings::KeyAccess::Write);
        registry.WriteString(name, text);
    }
    void Store(const wchar_t* name, std::int32_t value) {
        settings::RegistryAccessor registry;
        registry.CreateKey(settings::WindowSubkeyPath(window->InterfaceName), settings::KeyAccess::Write);
        registry.WriteInteger(name, value);
    }
    std::wstring StoredText(const wchar_t* name) const {
        settings::RegistryAccessor registry;
        registry.OpenKey(settings::WindowSubkeyPath(window->InterfaceName));
        return registry.ReadString(name).value_or(L"(none)");
    }
    // A stop and a start of the program: the history is written and read again.
    void Restart() {
        window.reset();
        window = fake::BeginWindow();
        Tick(0, 0); // what the interface counted before is no traffic of a tick
    }
    TUsageHistory& Open() {
        window->Support.UsageHistory1.Click();
        TUsageHistory* open = window->HistoryWindows.Find<TUsageHistory>();
        EXPECT_NE(open, nullptr);
        return *open;
    }
    std::vector<std::wstring> AlertTexts() const {
        std::vector<std::wstring> texts;
        for (const auto& c : fake.TrayCalls)
            if (c.message == NIM_MODIFY && (c.flags & NIF_INFO) && c.info.find(L"本期") != std::wstring::npos)
                texts.push_back(c.info);
        return texts;
    }
    static std::wstring Bytes(std::uint64_t value) {
        return formats::FormatBytes(0, true, static_cast<std::int64_t>(value));
    }
    static std::vector<std::wstring> Row(const TUsageHistory& history, int row) {
        return history.lvHistory.RowAt(row).cells;
    }

    fake::FakePlatform fake;
    DWORD index = 0;
    std::unique_ptr<TStatsForm> window;
};

TEST_F(UsageHistory, TheSupportPagesEntryOpensOneWindowAndASecondChoiceBringsItForward) {
    TUsageHistory& history = Open();
    EXPECT_TRUE(history.Visible());
    EXPECT_EQ(history.Caption(), window->ConnectionName + L" 流量统计");
    EXPECT_EQ(::GetWindow(history.Handle(), GW_OWNER), window->Handle());
    history.Hide();
    EXPECT_EQ(&Open(), &history);
    EXPECT_TRUE(history.Visible());
    EXPECT_EQ(window->HistoryWindows.Count(), 1u);
    // It goes with its status window at the latest.
    const HWND handle = history.Handle();
    window.reset();
    EXPECT_FALSE(::IsWindow(handle));
}

TEST_F(UsageHistory, TheViewsRowsAfterTicksOverTwoDaysFollowTheTicks) {
    Tick(100, 10);
    Tick(900, 90);
    fake.Now += kDay;
    Tick(7, 3);
    TUsageHistory& history = Open();

    const struct {
        int view;
        int rows;
        std::vector<std::wstring> first, second;
    } views[] = {
        {0,
         31,
         {L"2023-03-16", Bytes(7), Bytes(3), Bytes(10)},
         {L"2023-03-15", Bytes(1000), Bytes(100), Bytes(1100)}},
        {1,
         12,
         {L"2023-03", Bytes(1007), Bytes(103), Bytes(1110)},
         {L"2023-02", Bytes(0), Bytes(0), Bytes(0)}},
        {2, 1, {L"2023", Bytes(1007), Bytes(103), Bytes(1110)}, {}},
    };
    for (const auto& v : views) {
        SCOPED_TRACE(v.view);
        history.cbView.SetItemIndex(v.view);
        history.cbViewChange();
        ASSERT_EQ(history.lvHistory.Count(), v.rows);
        EXPECT_EQ(Row(history, 0), v.first);
        if (v.rows > 1) {
            EXPECT_EQ(Row(history, 1), v.second);
        }
        // The chart's scale reaches the largest value shown, its bars in both colours.
        EXPECT_EQ(history.Chart.Top(), v.view == 0 ? 1000u : 1007u);
        fake::Surface surface(300, 100);
        history.Chart.Render(surface.Dc(), 300, 100);
        EXPECT_GT(surface.Count(history.Chart.ReceivedColor), 0);
        EXPECT_GT(surface.Count(history.Chart.SentColor), 0);
    }

    // Open windows follow the ticks.
    history.cbView.SetItemIndex(0);
    history.cbViewChange();
    Tick(5, 5);
    EXPECT_EQ(Row(history, 0)[3], Bytes(20));
}

TEST_F(UsageHistory, AStopCountsWhatCameSinceTheLastTick) {
    Tick(100, 10);
    fake.Row(index).dwInOctets += 50;
    fake.Row(index).dwOutOctets += 5;
    Restart();
    EXPECT_EQ(Row(Open(), 0), (std::vector<std::wstring>{L"2023-03-15", Bytes(150), Bytes(15), Bytes(165)}));
}

TEST_F(UsageHistory, ColumnsSortNumbersAsNumbersAndDatesAsDates) {
    const std::uint64_t received[] = {9, 10, 200};
    for (std::uint64_t bytes : received) {
        Tick(bytes, 300 - bytes);
        fake.Now += kDay;
    }
    fake.Now -= kDay; // today is the last day that counted
    TUsageHistory& history = Open();
    const struct {
        int column;
        std::vector<std::wstring> firstThree; // of the date column
    } clicks[] = {
        {1, {L"2023-03-14", L"2023-03-13", L"2023-03-12"}}, // days without traffic first, as they were
        {1, {L"2023-03-17", L"2023-03-16", L"2023-03-15"}}, // again: the other way
        {0, {L"2023-02-15", L"2023-02-16", L"2023-02-17"}},
        {0, {L"2023-03-17", L"2023-03-16", L"2023-03-15"}},
    };
    for (const auto& c : clicks) {
        history.lvHistoryColumnClick(c.column);
        std::vector<std::wstring> dates;
        for (int row = 0; row < 3; ++row)
            dates.push_back(Row(history, row)[0]);
        EXPECT_EQ(dates, c.firstThree) << "column " << c.column;
    }
    // Ascending by what was received: 9 bytes before 10 before 200 at the end.
    history.lvHistoryColumnClick(1);
    const int last = history.lvHistory.Count() - 1;
    EXPECT_EQ(Row(history, last - 2)[1], Bytes(9));
    EXPECT_EQ(Row(history, last - 1)[1], Bytes(10));
    EXPECT_EQ(Row(history, last)[1], Bytes(200));
}

TEST_F(UsageHistory, ThePeriodLineWithAndWithoutALimit) {
    // The 14th's bytes belong to a period that starts on the 15th only when it is not the 1st.
    fake.Now -= kDay;
    Tick(256 * kMiB, 0);
    fake.Now += kDay;
    Tick(0, 256 * kMiB);
    const struct {
        const wchar_t* limit;
        int startDay;
        std::wstring line;
    } cases[] = {
        {L"", 1, L"本期已用 " + Bytes(512 * kMiB)},
        {L"1", 1, L"本期已用 " + Bytes(512 * kMiB) + L" / " + Bytes(1024 * kMiB) + L" (50%)"},
        {L"2", 15, L"本期已用 " + Bytes(256 * kMiB) + L" / " + Bytes(2048 * kMiB) + L" (12%)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.startDay);
        Store(L"QuotaGB", c.limit);
        Store(L"QuotaStartDay", c.startDay);
        window->LoadSettings();
        TUsageHistory& history = Open();
        EXPECT_EQ(history.lbPeriod.Caption(), c.line);
        EXPECT_EQ(history.edQuota.Text(), c.limit);
        EXPECT_EQ(history.cbStartDay.ItemIndex(), c.startDay - 1);
        history.Close();
    }
}

TEST_F(UsageHistory, TheLimitsEditTakesANumberAndRefusesAnythingElse) {
    TUsageHistory& history = Open();
    const struct {
        const wchar_t* typed;
        const wchar_t* shown; // afterwards
        const wchar_t* stored;
        bool refused;
    } cases[] = {
        {L"1.5", L"1.5", L"1.5", false},
        {L"abc", L"1.5", L"1.5", true},
        {L"0", L"1.5", L"1.5", true},
        {L"1000001", L"1.5", L"1.5", true},
        {L"1.234", L"1.5", L"1.5", true},
        {L" 20 ", L"20", L"20", false},
        {L"1000000", L"1000000", L"1000000", false},
        {L"", L"", L"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "typed \"" << std::string(c.typed, c.typed + wcslen(c.typed)) << "\"");
        fake.MessageBoxes.clear();
        history.edQuota.SetText(c.typed);
        history.edQuotaExit();
        EXPECT_EQ(history.edQuota.Text(), c.shown);
        EXPECT_EQ(StoredText(L"QuotaGB"), c.stored);
        ASSERT_EQ(fake.MessageBoxes.size(), c.refused ? 1u : 0u);
        if (c.refused) {
            EXPECT_EQ(fake.MessageBoxes[0].text, L"请输入 0.01 到 1000000 之间的数值。");
            EXPECT_EQ(fake.MessageBoxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
        }
    }
    // The billing day and the alerts' box are kept as they change.
    history.cbStartDay.SetItemIndex(27);
    history.cbStartDayChange();
    history.cbAlert.SetChecked(true);
    history.cbAlertClick();
    Restart();
    EXPECT_EQ(window->Quota->StartDay, 28);
    EXPECT_TRUE(window->Quota->Alert);
    EXPECT_FALSE(window->Quota->LimitGB);
}

TEST_F(UsageHistory, BadStoredLimitValuesReadAsAbsent) {
    Store(L"QuotaGB", L"1,5,0");
    Store(L"QuotaStartDay", 29);
    Store(L"QuotaAlert", 2);
    Store(L"QuotaAlerted", L"2023-02-30,80");
    window->LoadSettings();
    EXPECT_FALSE(window->Quota->LimitGB);
    EXPECT_EQ(window->Quota->StartDay, 1);
    EXPECT_FALSE(window->Quota->Alert);
    EXPECT_FALSE(window->Quota->AlertedStart);
    Store(L"QuotaStartDay", L"15"); // a text where a number belongs
    Store(L"QuotaAlerted", L"2023-03-01,90");
    window->LoadSettings();
    EXPECT_EQ(window->Quota->StartDay, 1);
    EXPECT_FALSE(window->Quota->AlertedStart);
}

TEST_F(UsageHistory, AlertsAt80And100PerCentOnceEachAndAgainInTheNextPeriod) {
    Store(L"QuotaGB", L"1");
    Store(L"QuotaAlert", 1);
    window->LoadSettings();
    const struct {
        double now;
        std::uint64_t received;
        std::vector<std::wstring> alerts; // all so far
        bool restart = false;
    } steps[] = {
        {45000.5, 700 * kMiB, {}},
        {45000.5, 120 * kMiB, {L"本期流量已用 80%"}},
        {45000.5, 10 * kMiB, {L"本期流量已用 80%"}},
        {45000.5, 0, {L"本期流量已用 80%"}, true}, // a restart within the period
        {45000.5, 200 * kMiB, {L"本期流量已用 80%", L"本期流量已超出限额"}},
        {kMarch31, 300 * kMiB, {L"本期流量已用 80%", L"本期流量已超出限额"}, true},
        {kMarch31 + kDay, 850 * kMiB, {L"本期流量已用 80%", L"本期流量已超出限额", L"本期流量已用 80%"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.received / kMiB);
        fake.Now = step.now;
        if (step.restart)
            Restart();
        Tick(step.received, 0);
        EXPECT_EQ(AlertTexts(), step.alerts);
    }
    EXPECT_EQ(StoredText(L"QuotaAlerted"), L"2023-04-01,80");
    const auto& last = fake.TrayCalls.back();
    EXPECT_EQ(last.infoTitle, window->ConnectionName);
}

TEST_F(UsageHistory, ABadHistoryFileShowsTheProblemUnderTheList) {
    const std::wstring path = window->History->Path();
    window.reset();
    fake.AddFile(path, "not a history\r\n");
    window = fake::BeginWindow();
    TUsageHistory& history = Open();
    EXPECT_TRUE(history.lbProblem.Visible());
    EXPECT_EQ(history.lbProblem.Caption(), window->History->Problem());
    EXPECT_FALSE(history.lbProblem.Caption().empty());
    EXPECT_EQ(Row(history, 0)[1], Bytes(0));
}

TEST_F(UsageHistory, TheExportWritesTheDailyRowsThroughTheSaveDialog) {
    Tick(1234, 56);
    TUsageHistory& history = Open();
    fake.AddFolder(L"C:\\exports");
    fake.SaveFileAnswer = L"C:\\exports\\march.csv";
    history.btnExport.Click();
    ASSERT_TRUE(fake.HasFile(fake.SaveFileAnswer));
    EXPECT_EQ(fake.FileBytes[fake.SaveFileAnswer], usage::ExportCsv(window->History->Data()));
    EXPECT_TRUE(fake.MessageBoxes.empty());

    // A folder the user may not write: he is told, and nothing is left behind.
    fake.ReadOnlyFolders.insert(L"C:\\exports");
    fake.SaveFileAnswer = L"C:\\exports\\april.csv";
    history.btnExport.Click();
    EXPECT_FALSE(fake.HasFile(fake.SaveFileAnswer));
    ASSERT_EQ(fake.MessageBoxes.size(), 1u);
    EXPECT_NE(fake.MessageBoxes[0].text.find(L"april.csv"), std::wstring::npos);
}

TEST(UsageHistoryScaling, TheColumnsAt144PixelsPerInchAndTheirStoredWidths) {
    fake::FakePlatform fake;
    fake.PixelsPerInch = 144;
    fake.AddAdapter("eth0");
    auto window = fake::BeginWindow();
    {
        settings::RegistryAccessor registry;
        registry.CreateKey(settings::WindowSubkeyPath(window->InterfaceName), settings::KeyAccess::Write);
        registry.WriteInteger(L"CHis1", 200);
        registry.WriteInteger(L"CHis2", -5);     // bad: absent
        registry.WriteString(L"CHis3", L"wide"); // bad: absent
    }
    const int expected[] = {120, 300, 210, 210};
    window->Support.UsageHistory1.Click();
    auto* history = window->HistoryWindows.Find<TUsageHistory>();
    ASSERT_NE(history, nullptr);
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(::SendMessageW(history->lvHistory.Handle(), LVM_GETCOLUMNWIDTH, column, 0),
                  expected[column])
            << column;
    EXPECT_EQ(history->ClientSize().cx, 810);
    // Every control inside the client area, at the designed size and larger.
    for (int grow : {0, 200}) {
        RECT bounds = history->Bounds();
        history->SetBounds(bounds.left, bounds.top, bounds.right - bounds.left + grow,
                           bounds.bottom - bounds.top + grow);
        const SIZE client = history->ClientSize();
        for (const widgets::Control* control : std::initializer_list<const widgets::Control*>{
                 &history->Chart, &history->lvHistory, &history->gbQuota, &history->lbPeriod,
                 &history->btnClose}) {
            const RECT r = control->Bounds();
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.cx && r.bottom <= client.cy)
                << control->Id() << " grown by " << grow;
        }
    }
    // Closing keeps the widths as at 96 pixels per inch.
    ::SendMessageW(history->lvHistory.Handle(), LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(150, 0));
    history->Close();
    settings::RegistryAccessor registry;
    registry.OpenKey(settings::WindowSubkeyPath(window->InterfaceName));
    EXPECT_EQ(registry.ReadInteger(L"CHis0"), 100);
    EXPECT_EQ(registry.ReadInteger(L"CHis1"), 200);
}

} // namespace
