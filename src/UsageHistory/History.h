#pragma once
// One interface's usage history: the bytes received and sent on each local day, kept for
// ever, and what is made of it (the views, the billing period, the quota, the file and the
// export). Pure: nothing here calls the platform.
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace usage {

// A day of the (proleptic Gregorian) calendar.
struct Date {
    int Year = 1970;
    int Month = 1;
    int Day = 1;
    auto operator<=>(const Date&) const = default;
};

// Days since 1970-01-01, and back.
std::int32_t DayNumber(const Date& date);
Date FromDayNumber(std::int32_t days);
int DaysInMonth(int year, int month);
// The date of a local time as the kernel binding's clock gives it (days since 1899-12-30).
Date DateOfLocalTime(double localDays);
// "2026-12-09".
std::string DateText(const Date& date);

struct Totals {
    std::uint64_t Received = 0;
    std::uint64_t Sent = 0;
    std::uint64_t Sum() const { return Received + Sent; }
};

struct DayRow {
    Date Day;
    Totals Bytes;
};

class History {
public:
    // Adds a tick's bytes to a day: to the latest row in constant time, or as a new row after
    // it; an earlier day (the clock was set back) adds to its own row, made where missing.
    // Nothing is added (and nothing changes) for a tick without bytes.
    void Add(const Date& day, std::uint64_t received, std::uint64_t sent);
    // The days that saw traffic, oldest first.
    const std::vector<DayRow>& Days() const { return Rows; }
    // Made from rows already in order (the file's); false when they are not.
    bool Assign(std::vector<DayRow> rows);

private:
    std::vector<DayRow> Rows;
};

// The history window's views; every view's rows come newest first.
enum class View : std::uint8_t {
    LastDays,   // 31 rows: today and the 30 days before it, days without traffic too
    LastMonths, // 12 rows: this month and the 11 before it
    Years,      // one row per year, from the oldest day's year (or this year) to this year
};

struct ViewRow {
    std::wstring Label; // "2026-12-09", "2026-12", "2026"
    Totals Bytes;
};

std::vector<ViewRow> ViewRows(const History& history, View view, const Date& today);

// A billing period: from its start day to the day before the next period's start day.
struct Period {
    Date Start;
    Date End; // the first day of the next period
};

// The period holding a day, for a start day of the month from 1 to 28 (others read as 1).
Period PeriodOf(const Date& day, int startDay);
Totals PeriodTotals(const History& history, const Period& period);

// A monthly limit typed in GB: a number greater than 0 and at most 1,000,000 with at most two
// decimals, written with "." or the locale's decimal separator. Anything else gives nothing.
std::optional<double> ParseQuotaGB(std::wstring_view text, wchar_t localeDecimal);
// The limit in bytes, GB counting 1024^3 bytes as the byte texts do.
std::uint64_t QuotaBytes(double gigabytes);
// The alert level a period's use has reached: 0, 80 or 100 (per cent of the limit).
int AlertLevel(std::uint64_t used, std::uint64_t limit);

// The history file's text (UTF-8), described in the README:
//   # Tarvelo usage history 1
//   # interface: <connection name>
//   date,received,sent
//   2026-12-09,<received bytes>,<sent bytes>     (one line per day with traffic, oldest first)
std::string FileText(const History& history, std::wstring_view connectionName);
// The history of a file's text; nothing when any line is not of the format (a wrong first
// line, a missing header, a bad date or number, a date not after the one before).
std::optional<History> ParseFileText(std::string_view text);

// The daily rows as exported: UTF-8 with a byte-order mark, the header "日期,接收,发送,合计",
// then one line per day, oldest first, in bytes.
std::string ExportCsv(const History& history);

} // namespace usage
