#pragma once
// The monthly limit of an interface and its alerts, as its status window keeps them under
// its settings subkey.
#include "UsageHistory/History.h"
#include "settings/RegistryAccessor.h"

#include <optional>
#include <string>
#include <string_view>

namespace usage {

struct QuotaSettings {
    std::optional<double> LimitGB; // none: no limit
    int StartDay = 1;              // the day of the month a period starts on, 1 to 28
    bool Alert = false;
    // The period whose alerts were shown, and the highest level shown in it (80 or 100).
    std::optional<Date> AlertedStart;
    int AlertedLevel = 0;
};

// Reads the values of the current key; a bad value reads as absent.
QuotaSettings ReadQuota(const settings::RegistryAccessor& registry);
// Writes what the history window changes, or the alerts shown, to the current key.
void WriteLimit(settings::RegistryAccessor& registry, const QuotaSettings& quota,
                settings::FirstFailure& failure);
void WriteAlerted(settings::RegistryAccessor& registry, const QuotaSettings& quota,
                  settings::FirstFailure& failure);

// "2026-12-01,80"; nothing when the text is not of that form.
std::wstring AlertedText(const Date& start, int level);
std::optional<std::pair<Date, int>> ParseAlerted(std::wstring_view text);
// The limit as the edit and the registry show it: up to two decimals, none when whole.
std::wstring LimitText(double gigabytes, wchar_t decimal);

// The alert level a day's period has reached and not yet shown: 80 or 100, or 0 when
// none is due (no limit, alerts off, or shown already in this period).
int DueAlert(const QuotaSettings& quota, const History& history, const Date& today);
// The balloon's text for a level.
std::wstring AlertText(int level);
// "本期已用 X / Y (Z%)", or "本期已用 X" without a limit, in the byte unit given.
std::wstring PeriodLine(const QuotaSettings& quota, const History& history, const Date& today, int octetDisp);

} // namespace usage
