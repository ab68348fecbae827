// The usage history: days and billing periods, adding ticks, the views, the quota, the file
// both ways and the export.
#include "UsageHistory/History.h"

#include <gtest/gtest.h>

using usage::Date;

namespace {

usage::History Of(std::initializer_list<usage::DayRow> rows) {
    usage::History history;
    EXPECT_TRUE(history.Assign(rows));
    return history;
}

const char kHead[] = "# Tarvelo usage history 1\r\n# interface: LAN\r\ndate,received,sent\r\n";

} // namespace

TEST(UsageHistory, DaysRoundTripThroughTheirNumbers) {
    struct Case {
        Date date;
        std::int32_t number;
    } cases[] = {
        {{1970, 1, 1}, 0},      {{1969, 12, 31}, -1},  {{1899, 12, 30}, -25569},
        {{2000, 2, 29}, 11016}, {{2000, 3, 1}, 11017}, {{2024, 12, 31}, 20088},
        {{2025, 1, 1}, 20089},  {{2100, 3, 1}, 47541}, {{2100, 2, 28}, 47540},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(usage::DayNumber(c.date), c.number) << usage::DateText(c.date);
        EXPECT_EQ(usage::FromDayNumber(c.number), c.date) << c.number;
    }
    for (std::int32_t n = -800000; n < 800000; n += 97)
        ASSERT_EQ(usage::DayNumber(usage::FromDayNumber(n)), n);
    EXPECT_EQ(usage::DaysInMonth(2024, 2), 29);
    EXPECT_EQ(usage::DaysInMonth(2100, 2), 28);
    EXPECT_EQ(usage::DaysInMonth(2000, 2), 29);
    EXPECT_EQ(usage::DaysInMonth(2026, 4), 30);
    // The clock's days since 1899-12-30; the fraction is the time of day.
    EXPECT_EQ(usage::DateOfLocalTime(45000.5), (Date{2023, 3, 15}));
    EXPECT_EQ(usage::DateOfLocalTime(45000.999), (Date{2023, 3, 15}));
    EXPECT_EQ(usage::DateText(usage::DateOfLocalTime(46365.0)), "2026-12-09");
}

TEST(UsageHistory, BillingPeriodsStartOnTheirDay) {
    struct Case {
        Date day;
        int startDay;
        Date start, end;
    } cases[] = {
        {{2026, 12, 9}, 1, {2026, 12, 1}, {2027, 1, 1}},
        {{2026, 12, 31}, 1, {2026, 12, 1}, {2027, 1, 1}},
        {{2026, 12, 27}, 28, {2026, 11, 28}, {2026, 12, 28}},
        {{2026, 12, 28}, 28, {2026, 12, 28}, {2027, 1, 28}},
        {{2027, 1, 5}, 28, {2026, 12, 28}, {2027, 1, 28}},
        {{2024, 2, 29}, 28, {2024, 2, 28}, {2024, 3, 28}},
        {{2024, 3, 1}, 28, {2024, 2, 28}, {2024, 3, 28}},
        {{2026, 1, 14}, 15, {2025, 12, 15}, {2026, 1, 15}},
        // Days the setting cannot hold read as the 1st.
        {{2026, 5, 20}, 31, {2026, 5, 1}, {2026, 6, 1}},
        {{2026, 5, 20}, 0, {2026, 5, 1}, {2026, 6, 1}},
    };
    for (const Case& c : cases) {
        const usage::Period period = usage::PeriodOf(c.day, c.startDay);
        EXPECT_EQ(period.Start, c.start) << usage::DateText(c.day) << " from " << c.startDay;
        EXPECT_EQ(period.End, c.end) << usage::DateText(c.day) << " from " << c.startDay;
    }
    const usage::History history = Of({{{2026, 11, 27}, {1, 2}},
                                       {{2026, 11, 28}, {10, 20}},
                                       {{2026, 12, 27}, {100, 200}},
                                       {{2026, 12, 28}, {1000, 2000}}});
    const usage::Totals inPeriod = usage::PeriodTotals(history, usage::PeriodOf({2026, 12, 9}, 28));
    EXPECT_EQ(inPeriod.Received, 110u);
    EXPECT_EQ(inPeriod.Sent, 220u);
}

TEST(UsageHistory, TicksAddToTheDayTheClockSays) {
    usage::History history;
    history.Add({2026, 12, 8}, 5, 1);
    history.Add({2026, 12, 8}, 5, 1);
    history.Add({2026, 12, 9}, 0, 0); // nothing counted makes no row
    history.Add({2026, 12, 10}, 7, 0);
    // The clock set back: to its own day, an existing row or a new one in its place.
    history.Add({2026, 12, 8}, 1, 1);
    history.Add({2026, 12, 9}, 3, 3);
    history.Add({2026, 11, 1}, 2, 2);
    const std::vector<usage::DayRow>& days = history.Days();
    ASSERT_EQ(days.size(), 4u);
    EXPECT_EQ(days[0].Day, (Date{2026, 11, 1}));
    EXPECT_EQ(days[1].Day, (Date{2026, 12, 8}));
    EXPECT_EQ(days[1].Bytes.Received, 11u);
    EXPECT_EQ(days[1].Bytes.Sent, 3u);
    EXPECT_EQ(days[2].Day, (Date{2026, 12, 9}));
    EXPECT_EQ(days[3].Bytes.Received, 7u);
    EXPECT_FALSE(history.Assign({{{2026, 1, 2}, {}}, {{2026, 1, 2}, {}}}));
    EXPECT_EQ(history.Days().size(), 4u);
}

TEST(UsageHistory, ViewsCoverTheirSpanNewestFirst) {
    const usage::History history = Of({
        {{2024, 6, 1}, {1, 1}},
        {{2025, 12, 31}, {2, 0}},
        {{2026, 1, 1}, {4, 0}},
        {{2026, 11, 9}, {8, 0}},
        {{2026, 11, 10}, {16, 0}},
        {{2026, 12, 9}, {32, 0}},
        {{2026, 12, 10}, {64, 0}}, // after today: the clock was set back
    });
    const Date today{2026, 12, 9};

    const auto days = usage::ViewRows(history, usage::View::LastDays, today);
    ASSERT_EQ(days.size(), 31u);
    EXPECT_EQ(days[0].Label, L"2026-12-09");
    EXPECT_EQ(days[0].Bytes.Received, 32u);
    EXPECT_EQ(days[1].Label, L"2026-12-08");
    EXPECT_EQ(days[1].Bytes.Sum(), 0u);
    EXPECT_EQ(days[29].Label, L"2026-11-10");
    EXPECT_EQ(days[29].Bytes.Received, 16u);
    EXPECT_EQ(days[30].Label, L"2026-11-09");
    EXPECT_EQ(days[30].Bytes.Received, 8u);

    const auto months = usage::ViewRows(history, usage::View::LastMonths, today);
    ASSERT_EQ(months.size(), 12u);
    EXPECT_EQ(months[0].Label, L"2026-12");
    EXPECT_EQ(months[0].Bytes.Received, 32u);
    EXPECT_EQ(months[1].Bytes.Received, 24u);
    EXPECT_EQ(months[11].Label, L"2026-01");
    EXPECT_EQ(months[11].Bytes.Received, 4u);

    const auto years = usage::ViewRows(history, usage::View::Years, today);
    ASSERT_EQ(years.size(), 3u);
    EXPECT_EQ(years[0].Label, L"2026");
    EXPECT_EQ(years[0].Bytes.Received, 60u);
    EXPECT_EQ(years[1].Label, L"2025");
    EXPECT_EQ(years[1].Bytes.Received, 2u);
    EXPECT_EQ(years[2].Label, L"2024");
    EXPECT_EQ(years[2].Bytes.Sum(), 2u);

    // Across a year's change, and an empty history still shows this year.
    const auto january = usage::ViewRows(history, usage::View::LastMonths, {2026, 1, 20});
    EXPECT_EQ(january[0].Bytes.Received, 4u);
    EXPECT_EQ(january[1].Label, L"2025-12");
    EXPECT_EQ(january[1].Bytes.Received, 2u);
    const auto none = usage::ViewRows(usage::History(), usage::View::Years, today);
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none[0].Label, L"2026");
}

TEST(UsageHistory, QuotaTextsAndAlertLevels) {
    struct Case {
        const wchar_t* text;
        std::optional<double> gb;
    } cases[] = {
        {L"10", 10},       {L"0.01", 0.01},  {L"2,5", 2.5},  {L"1000000", 1000000},
        {L" 5.25 ", 5.25}, {L".5", 0.5},     {L"007", 7},    {L"1000000.00", 1000000},
        {L"0", {}},        {L"0.00", {}},    {L"0.001", {}}, {L"1000000.01", {}},
        {L"", {}},         {L"   ", {}},     {L"-1", {}},    {L"+1", {}},
        {L"1e3", {}},      {L"1,000.5", {}}, {L"1.2.3", {}}, {L"5.", {}},
        {L".", {}},        {L"1 000", {}},   {L"abc", {}},   {L"99999999999999999999", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(usage::ParseQuotaGB(c.text, L','), c.gb) << c.text;
    // Without a comma as the locale's separator, a comma is no separator.
    EXPECT_EQ(usage::ParseQuotaGB(L"2,5", L'.'), std::nullopt);

    constexpr std::uint64_t kGB = 1024ull * 1024 * 1024;
    EXPECT_EQ(usage::QuotaBytes(10), 10 * kGB);
    EXPECT_EQ(usage::QuotaBytes(0.01), kGB / 100);
    EXPECT_EQ(usage::QuotaBytes(1000000), 1000000 * kGB);
    struct Level {
        std::uint64_t used, limit;
        int level;
    } levels[] = {
        {0, 100, 0},
        {79, 100, 0},
        {80, 100, 80},
        {99, 100, 80},
        {100, 100, 100},
        {500, 100, 100},
        {8, 11, 0},
        {9, 11, 80},
        {5, 0, 0},
        {~0ull - 1, ~0ull, 80},
        {~0ull / 5 * 4 - 1, ~0ull, 0},
    };
    for (const Level& l : levels)
        EXPECT_EQ(usage::AlertLevel(l.used, l.limit), l.level) << l.used << " of " << l.limit;
}

TEST(UsageHistory, TheFileRoundTrips) {
    const usage::History history =
        Of({{{2025, 2, 28}, {0, 7}}, {{2026, 12, 9}, {18446744073709551615ull, 123456789012ull}}});
    const std::string text = usage::FileText(history, L"本地连接 2\r\n# x");
    EXPECT_EQ(text, "# Tarvelo usage history 1\r\n"
                    "# interface: 本地连接 2  # x\r\n"
                    "date,received,sent\r\n"
                    "2025-02-28,0,7\r\n"
                    "2026-12-09,18446744073709551615,123456789012\r\n");
    const auto read = usage::ParseFileText(text);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->Days().size(), 2u);
    EXPECT_EQ(read->Days()[1].Day, (Date{2026, 12, 9}));
    EXPECT_EQ(read->Days()[1].Bytes.Received, 18446744073709551615ull);
    EXPECT_EQ(read->Days()[0].Bytes.Sent, 7u);
    // Line feeds alone, no final line break, no name line: the same days.
    const auto unix = usage::ParseFileText("# Tarvelo usage history 1\ndate,received,sent\n2025-02-28,0,7\n"
                                           "2026-12-09,18446744073709551615,123456789012");
    ASSERT_TRUE(unix);
    EXPECT_EQ(unix->Days().size(), 2u);
    const auto empty = usage::ParseFileText(usage::FileText(usage::History(), L""));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->Days().empty());
}

TEST(UsageHistory, MalformedFilesAreRefused) {
    const std::string head = kHead;
    const std::string cases[] = {
        "",
        "date,received,sent\r\n2026-01-01,1,1\r\n",
        "# Tarvelo usage history 2\r\ndate,received,sent\r\n",
        "# Tarvelo usage history 1\r\n# interface: LAN\r\n",
        "# Tarvelo usage history 1\r\n2026-01-01,1,1\r\n",
        "# Tarvelo usage history 1\r\ndate,sent,received\r\n",
        head + "2026-02-29,1,1\r\n",
        head + "2026-13-01,1,1\r\n",
        head + "2026-00-10,1,1\r\n",
        head + "2026-04-31,1,1\r\n",
        head + "26-01-01,1,1\r\n",
        head + "2026/01/01,1,1\r\n",
        head + "2026-01-01,-1,1\r\n",
        head + "2026-01-01,+1,1\r\n",
        head + "2026-01-01,1.5,1\r\n",
        head + "2026-01-01, 1,1\r\n",
        head + "2026-01-01,1e3,1\r\n",
        head + "2026-01-01,18446744073709551616,1\r\n",
        head + "2026-01-01,,1\r\n",
        head + "2026-01-01,1\r\n",
        head + "2026-01-01,1,1,2\r\n",
        head + "2026-01-02,1,1\r\n2026-01-01,1,1\r\n",
        head + "2026-01-01,1,1\r\n2026-01-01,1,1\r\n",
        head + "2026-01-01,1,1\r\n\r\n2026-01-02,1,1\r\n",
        head + "# late comment\r\n",
    };
    for (const std::string& text : cases)
        EXPECT_FALSE(usage::ParseFileText(text)) << text;
    EXPECT_TRUE(usage::ParseFileText(head + "2026-01-01,1,1\r\n\r\n"));
}

TEST(UsageHistory, TheExportHasTheDaysInBytesOldestFirst) {
    const usage::History history = Of({{{2026, 12, 8}, {1024, 0}}, {{2026, 12, 9}, {5, 7}}});
    EXPECT_EQ(usage::ExportCsv(history), "\xEF\xBB\xBF"
                                         "日期,接收,发送,合计\r\n"
                                         "2026-12-08,1024,0,1024\r\n"
                                         "2026-12-09,5,7,12\r\n");
}
