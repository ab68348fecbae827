#include "UsageHistory/History.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace usage {

namespace {

constexpr std::string_view kFirstLine = "# Tarvelo usage history 1";
constexpr std::string_view kNamePrefix = "# interface: ";
constexpr std::string_view kHeader = "date,received,sent";
constexpr std::string_view kLineEnd = "\r\n";
// The local clock's origin, 1899-12-30, in days since 1970-01-01.
constexpr std::int32_t kClockOrigin = -25569;

std::uint64_t AddSaturated(std::uint64_t a, std::uint64_t b) {
    return a > std::numeric_limits<std::uint64_t>::max() - b ? std::numeric_limits<std::uint64_t>::max()
                                                             : a + b;
}

void AddTo(Totals& totals, const Totals& more) {
    totals.Received = AddSaturated(totals.Received, more.Received);
    totals.Sent = AddSaturated(totals.Sent, more.Sent);
}

bool IsRealDate(const Date& date) {
    return date.Year >= 1 && date.Year <= 9999 && date.Month >= 1 && date.Month <= 12 && date.Day >= 1 &&
           date.Day <= DaysInMonth(date.Year, date.Month);
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// The first day of the month `months` after (or before) the date's month.
Date MonthStart(const Date& date, int months) {
    const int index = date.Year * 12 + (date.Month - 1) + months;
    return {index / 12, index % 12 + 1, 1};
}

// The first row on or after a day.
std::vector<DayRow>::const_iterator FirstFrom(const std::vector<DayRow>& rows, const Date& day) {
    return std::lower_bound(rows.begin(), rows.end(), day,
                            [](const DayRow& row, const Date& d) { return row.Day < d; });
}

void AppendNumber(std::string& out, std::uint64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

void AppendDigits(std::string& out, int value, int width) {
    char digits[8];
    for (int i = width - 1; i >= 0; --i, value /= 10)
        digits[i] = static_cast<char>('0' + value % 10);
    out.append(digits, static_cast<std::size_t>(width));
}

void AppendDate(std::string& out, const Date& date) {
    AppendDigits(out, date.Year, 4);
    out += '-';
    AppendDigits(out, date.Month, 2);
    out += '-';
    AppendDigits(out, date.Day, 2);
}

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// UTF-8 of a UTF-16 text; a lone surrogate becomes U+FFFD. Control characters (a line
// break above all) become spaces: the name has one line of the file to itself.
std::string NameLine(std::wstring_view name) {
    std::string out;
    out.reserve(name.size() * 3);
    auto put = [&out](char32_t c) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    };
    for (std::size_t i = 0; i < name.size(); ++i) {
        char32_t c = static_cast<char32_t>(name[i]) & 0xFFFF;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < name.size() && (name[i + 1] & 0xFC00) == 0xDC00) {
            c = 0x10000 + ((c - 0xD800) << 10) + ((static_cast<char32_t>(name[i + 1]) & 0xFFFF) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        // C0 and C1 controls, and the Unicode line and paragraph separators.
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029)
            c = U' ';
        put(c);
    }
    return out;
}

bool ParseNumber(std::string_view field, std::uint64_t& value) {
    if (field.empty() || field.size() > 20)
        return false;
    for (char c : field)
        if (c < '0' || c > '9')
            return false;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return error == std::errc() && end == field.data() + field.size();
}

bool ParseDate(std::string_view field, Date& date) {
    if (field.size() != 10 || field[4] != '-' || field[7] != '-')
        return false;
    auto number = [field](std::size_t at, std::size_t length, int& value) {
        value = 0;
        for (std::size_t i = at; i < at + length; ++i) {
            if (field[i] < '0' || field[i] > '9')
                return false;
            value = value * 10 + (field[i] - '0');
        }
        return true;
    };
    return number(0, 4, date.Year) && number(5, 2, date.Month) && number(8, 2, date.Day) && IsRealDate(date);
}

// "YYYY-MM-DD,<received>,<sent>" and nothing more.
bool ParseRow(std::string_view line, DayRow& row) {
    const std::size_t first = line.find(',');
    if (first == std::string_view::npos)
        return false;
    const std::size_t second = line.find(',', first + 1);
    if (second == std::string_view::npos)
        return false;
    return ParseDate(line.substr(0, first), row.Day) &&
           ParseNumber(line.substr(first + 1, second - first - 1), row.Bytes.Received) &&
           ParseNumber(line.substr(second + 1), row.Bytes.Sent);
}

// A day's line of the file or of the export: the date, the bytes received and sent, and
// for the export their sum.
void AppendDayLine(std::string& out, const DayRow& row, bool withSum) {
    AppendDate(out, row.Day);
    out += ',';
    AppendNumber(out, row.Bytes.Received);
    out += ',';
    AppendNumber(out, row.Bytes.Sent);
    if (withSum) {
        out += ',';
        AppendNumber(out, AddSaturated(row.Bytes.Received, row.Bytes.Sent));
    }
    out.append(kLineEnd);
}

} // namespace

std::int32_t DayNumber(const Date& date) {
    // Days from civil: years counted from March, so the leap day ends a year.
    const int y = date.Year - (date.Month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (date.Month + (date.Month > 2 ? -3 : 9)) + 2) / 5 + date.Day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

Date FromDayNumber(std::int32_t days) {
    const std::int32_t z = days + 719468;
    const std::int32_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int32_t dayOfEra = z - era * 146097;
    const std::int32_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int32_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int32_t mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

Date DateOfLocalTime(double localDays) {
    // A clock that gives nothing sensible is read as its origin's era, never as a crash.
    if (!std::isfinite(localDays) || localDays < 0 || localDays > 2958465.0)
        localDays = 0;
    return FromDayNumber(kClockOrigin + static_cast<std::int32_t>(std::floor(localDays)));
}

std::string DateText(const Date& date) {
    std::string text;
    AppendDate(text, date);
    return text;
}

void History::Add(const Date& day, std::uint64_t received, std::uint64_t sent) {
    if (received == 0 && sent == 0)
        return;
    const Totals bytes{received, sent};
    if (Rows.empty() || Rows.back().Day < day) {
        Rows.push_back({day, bytes});
        return;
    }
    if (Rows.back().Day == day) {
        AddTo(Rows.back().Bytes, bytes);
        return;
    }
    // The clock was set back: the day it says, found or made in its place.
    auto at = FirstFrom(Rows, day);
    if (at != Rows.end() && at->Day == day)
        AddTo(Rows[static_cast<std::size_t>(at - Rows.begin())].Bytes, bytes);
    else
        Rows.insert(at, {day, bytes});
}

bool History::Assign(std::vector<DayRow> rows) {
    for (std::size_t i = 1; i < rows.size(); ++i)
        if (!(rows[i - 1].Day < rows[i].Day))
            return false;
    Rows = std::move(rows);
    return true;
}

std::vector<ViewRow> ViewRows(const History& history, View view, const Date& today) {
    const std::vector<DayRow>& rows = history.Days();
    std::vector<ViewRow> out;
    switch (view) {
    case View::LastDays: {
        constexpr int kDays = 31;
        const std::int32_t last = DayNumber(today);
        const std::int32_t first = last - (kDays - 1);
        out.resize(kDays);
        for (int i = 0; i < kDays; ++i)
            out[static_cast<std::size_t>(i)].Label = Widen(DateText(FromDayNumber(last - i)));
        for (auto at = FirstFrom(rows, FromDayNumber(first)); at != rows.end() && !(today < at->Day); ++at)
            AddTo(out[static_cast<std::size_t>(last - DayNumber(at->Day))].Bytes, at->Bytes);
        break;
    }
    case View::LastMonths: {
        constexpr int kMonths = 12;
        const Date thisMonth{today.Year, today.Month, 1};
        const int lastIndex = today.Year * 12 + today.Month - 1;
        out.resize(kMonths);
        for (int i = 0; i < kMonths; ++i) {
            const Date month = MonthStart(thisMonth, -i);
            std::string label;
            AppendDigits(label, month.Year, 4);
            label += '-';
            AppendDigits(label, month.Month, 2);
            out[static_cast<std::size_t>(i)].Label = Widen(label);
        }
        for (auto at = FirstFrom(rows, MonthStart(thisMonth, -(kMonths - 1)));
             at != rows.end() && !(today < at->Day); ++at)
            AddTo(out[static_cast<std::size_t>(lastIndex - (at->Day.Year * 12 + at->Day.Month - 1))].Bytes,
                  at->Bytes);
        break;
    }
    case View::Years: {
        const int firstYear = rows.empty() ? today.Year : std::min(rows.front().Day.Year, today.Year);
        const std::size_t count = static_cast<std::size_t>(today.Year - firstYear + 1);
        out.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            std::string label;
            AppendDigits(label, today.Year - static_cast<int>(i), 4);
            out[i].Label = Widen(label);
        }
        for (auto at = rows.begin(); at != rows.end() && !(today < at->Day); ++at)
            AddTo(out[static_cast<std::size_t>(today.Year - at->Day.Year)].Bytes, at->Bytes);
        break;
    }
    }
    return out;
}

Period PeriodOf(const Date& day, int startDay) {
    if (startDay < 1 || startDay > 28)
        startDay = 1;
    Date start = MonthStart(day, day.Day >= startDay ? 0 : -1);
    start.Day = startDay;
    Date end = MonthStart(start, 1);
    end.Day = startDay;
    return {start, end};
}

Totals PeriodTotals(const History& history, const Period& period) {
    Totals sum;
    const std::vector<DayRow>& rows = history.Days();
    for (auto at = FirstFrom(rows, period.Start); at != rows.end() && at->Day < period.End; ++at)
        AddTo(sum, at->Bytes);
    return sum;
}

std::optional<double> ParseQuotaGB(std::wstring_view text, wchar_t localeDecimal) {
    // Spaces around the number are forgiven; inside it they are not.
    const std::size_t begin = text.find_first_not_of(L' ');
    if (begin == std::wstring_view::npos)
        return std::nullopt;
    text = text.substr(begin, text.find_last_not_of(L' ') - begin + 1);

    constexpr std::uint64_t kMostHundredths = 100000000; // 1,000,000 GB
    std::uint64_t hundredths = 0;
    std::size_t whole = 0, decimals = 0;
    bool separator = false;
    for (wchar_t c : text) {
        if (c >= L'0' && c <= L'9') {
            if (separator && ++decimals > 2)
                return std::nullopt;
            if (!separator)
                ++whole;
            hundredths = hundredths * 10 + static_cast<std::uint64_t>(c - L'0');
            if (hundredths > kMostHundredths * 100)
                return std::nullopt;
        } else if (!separator && (c == L'.' || (localeDecimal != 0 && c == localeDecimal))) {
            separator = true;
        } else {
            return std::nullopt;
        }
    }
    if (separator && decimals == 0)
        return std::nullopt;
    if (whole + decimals == 0)
        return std::nullopt;
    for (std::size_t i = decimals; i < 2; ++i)
        hundredths *= 10;
    if (hundredths == 0 || hundredths > kMostHundredths)
        return std::nullopt;
    return static_cast<double>(hundredths) / 100.0;
}

std::uint64_t QuotaBytes(double gigabytes) {
    if (!std::isfinite(gigabytes) || gigabytes <= 0)
        return 0;
    // Counted in hundredths of a GB, as typed, so 0.01 GB is a whole number of bytes.
    const double hundredths = std::min(std::round(gigabytes * 100.0), 100000000.0);
    constexpr std::uint64_t kGB = 1024ull * 1024 * 1024;
    return static_cast<std::uint64_t>(hundredths) * kGB / 100;
}

int AlertLevel(std::uint64_t used, std::uint64_t limit) {
    if (limit == 0)
        return 0;
    if (used >= limit)
        return 100;
    // 80 % reached when used * 5 >= limit * 4, without the products: the least such use
    // is limit - floor(limit / 5).
    return used >= limit - limit / 5 ? 80 : 0;
}

std::string FileText(const History& history, std::wstring_view connectionName) {
    const std::vector<DayRow>& rows = history.Days();
    std::string text;
    text.reserve(96 + connectionName.size() * 3 + rows.size() * 36);
    text.append(kFirstLine).append(kLineEnd);
    text.append(kNamePrefix).append(NameLine(connectionName)).append(kLineEnd);
    text.append(kHeader).append(kLineEnd);
    for (const DayRow& row : rows)
        AppendDayLine(text, row, false);
    return text;
}

std::optional<History> ParseFileText(std::string_view text) {
    // A byte-order mark, as an editor may leave it, is no reason to refuse the file.
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    enum class Expect { FirstLine, Header, Rows } expect = Expect::FirstLine;
    std::vector<DayRow> rows;
    rows.reserve(text.size() / 30 + 1);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        // Only the last line may go without its line break.
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() && text.empty())
            break; // a blank line that ends the file
        switch (expect) {
        case Expect::FirstLine:
            if (line != kFirstLine)
                return std::nullopt;
            expect = Expect::Header;
            break;
        case Expect::Header:
            // Comment lines (the interface's name) come before the header.
            if (line.substr(0, 2) == "# ")
                break;
            if (line != kHeader)
                return std::nullopt;
            expect = Expect::Rows;
            break;
        case Expect::Rows: {
            DayRow row;
            if (!ParseRow(line, row) || (!rows.empty() && !(rows.back().Day < row.Day)))
                return std::nullopt;
            rows.push_back(row);
            break;
        }
        }
    }
    if (expect != Expect::Rows)
        return std::nullopt;
    History history;
    history.Assign(std::move(rows));
    return history;
}

std::string ExportCsv(const History& history) {
    const std::vector<DayRow>& rows = history.Days();
    std::string text = "\xEF\xBB\xBF"
                       "日期,接收,发送,合计\r\n";
    text.reserve(text.size() + rows.size() * 48);
    for (const DayRow& row : rows)
        AppendDayLine(text, row, true);
    return text;
}

} // namespace usage
