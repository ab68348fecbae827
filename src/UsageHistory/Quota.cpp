#include "UsageHistory/Quota.h"
#include "StatForm/Formats.h"

#include <cmath>
#include <cwchar>

namespace usage {

namespace {

constexpr wchar_t kQuotaGB[] = L"QuotaGB";
constexpr wchar_t kQuotaStartDay[] = L"QuotaStartDay";
constexpr wchar_t kQuotaAlert[] = L"QuotaAlert";
constexpr wchar_t kQuotaAlerted[] = L"QuotaAlerted";
constexpr int kFirstStartDay = 1;
constexpr int kLastStartDay = 28;

// A run of exactly `count` decimal digits at `at`, as a number.
std::optional<int> Digits(std::wstring_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size())
        return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return std::nullopt;
        value = value * 10 + (text[i] - L'0');
    }
    return value;
}

} // namespace

QuotaSettings ReadQuota(const settings::RegistryAccessor& registry) {
    QuotaSettings quota;
    if (auto text = registry.ReadString(kQuotaGB))
        quota.LimitGB = ParseQuotaGB(*text, L'.');
    if (auto day = registry.ReadInteger(kQuotaStartDay);
        day && *day >= kFirstStartDay && *day <= kLastStartDay)
        quota.StartDay = *day;
    if (auto alert = registry.ReadInteger(kQuotaAlert); alert && (*alert == 0 || *alert == 1))
        quota.Alert = *alert == 1;
    if (auto text = registry.ReadString(kQuotaAlerted))
        if (auto alerted = ParseAlerted(*text)) {
            quota.AlertedStart = alerted->first;
            quota.AlertedLevel = alerted->second;
        }
    return quota;
}

void WriteLimit(settings::RegistryAccessor& registry, const QuotaSettings& quota,
                settings::FirstFailure& failure) {
    failure.Note(kQuotaGB,
                 registry.WriteString(kQuotaGB, quota.LimitGB ? LimitText(*quota.LimitGB, L'.') : L""));
    failure.Note(kQuotaStartDay, registry.WriteInteger(kQuotaStartDay, quota.StartDay));
    failure.Note(kQuotaAlert, registry.WriteBool(kQuotaAlert, quota.Alert));
}

void WriteAlerted(settings::RegistryAccessor& registry, const QuotaSettings& quota,
                  settings::FirstFailure& failure) {
    if (quota.AlertedStart)
        failure.Note(kQuotaAlerted, registry.WriteString(
                                        kQuotaAlerted, AlertedText(*quota.AlertedStart, quota.AlertedLevel)));
}

std::wstring AlertedText(const Date& start, int level) {
    const std::string date = DateText(start);
    return std::wstring(date.begin(), date.end()) + L"," + std::to_wstring(level);
}

std::optional<std::pair<Date, int>> ParseAlerted(std::wstring_view text) {
    // "YYYY-MM-DD,80" or "YYYY-MM-DD,100".
    if (text.size() < 13 || text[4] != L'-' || text[7] != L'-' || text[10] != L',')
        return std::nullopt;
    const auto year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
    const std::wstring_view level = text.substr(11);
    if (!year || !month || !day || *month < 1 || *month > 12 || *day < 1 || *day > DaysInMonth(*year, *month))
        return std::nullopt;
    if (level != L"80" && level != L"100")
        return std::nullopt;
    return std::pair{Date{*year, *month, *day}, level == L"80" ? 80 : 100};
}

std::wstring LimitText(double gigabytes, wchar_t decimal) {
    const long long cents = std::llround(gigabytes * 100);
    std::wstring text = std::to_wstring(cents / 100);
    const long long fraction = cents % 100;
    if (fraction != 0) {
        text += decimal;
        text += static_cast<wchar_t>(L'0' + fraction / 10);
        if (fraction % 10 != 0)
            text += static_cast<wchar_t>(L'0' + fraction % 10);
    }
    return text;
}

int DueAlert(const QuotaSettings& quota, const History& history, const Date& today) {
    if (!quota.Alert || !quota.LimitGB)
        return 0;
    const Period period = PeriodOf(today, quota.StartDay);
    const int reached = AlertLevel(PeriodTotals(history, period).Sum(), QuotaBytes(*quota.LimitGB));
    const int shown = quota.AlertedStart == period.Start ? quota.AlertedLevel : 0;
    return reached > shown ? reached : 0;
}

std::wstring AlertText(int level) {
    return level >= 100 ? L"本期流量已超出限额" : L"本期流量已用 80%";
}

std::wstring PeriodLine(const QuotaSettings& quota, const History& history, const Date& today,
                        int octetDisp) {
    const std::uint64_t used = PeriodTotals(history, PeriodOf(today, quota.StartDay)).Sum();
    std::wstring line = L"本期已用 " + formats::FormatBytes(octetDisp, true, static_cast<std::int64_t>(used));
    if (!quota.LimitGB)
        return line;
    const std::uint64_t limit = QuotaBytes(*quota.LimitGB);
    // Whole per cent, rounded down: the line never says 80 % before the alert would.
    const auto percent = limit ? static_cast<std::uint64_t>(static_cast<double>(used) * 100.0 / limit) : 0;
    return line + L" / " + formats::FormatBytes(octetDisp, true, static_cast<std::int64_t>(limit)) + L" (" +
           std::to_wstring(percent) + L"%)";
}

} // namespace usage
