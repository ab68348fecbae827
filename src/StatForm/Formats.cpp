#include "StatForm/Formats.h"

#include "platform/Kernel.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

namespace formats {

namespace {

constexpr std::uint64_t kPowersOfTen[] = {1, 10, 100};

// A non-negative quotient rounded half away from zero at a few decimals, kept as two integers
// so that large totals and binary divisors never meet a float rounding error.
struct Scaled {
    std::uint64_t Whole;
    std::uint64_t Fraction; // in units of 10^-decimals
    int Decimals;
};

Scaled Divide(std::uint64_t magnitude, std::uint64_t divisor, int decimals) {
    const std::uint64_t scale = kPowersOfTen[decimals];
    std::uint64_t whole = magnitude / divisor;
    // The remainder is below the divisor (at most 2^30), so this product cannot overflow.
    std::uint64_t fraction = ((magnitude % divisor) * scale * 2 + divisor) / (2 * divisor);
    if (fraction == scale) {
        ++whole;
        fraction = 0;
    }
    return {whole, fraction, decimals};
}

std::wstring Digits(std::uint64_t n, const std::wstring& groupSeparator) {
    std::wstring text = std::to_wstring(n);
    for (auto pos = text.size(); pos > 3; pos -= 3)
        text.insert(pos - 3, groupSeparator);
    return text;
}

// The fraction digits, all of them when `keepZeros`, else with trailing zeros dropped; the
// decimal separator only when a digit follows.
std::wstring FractionText(const Scaled& x, bool keepZeros, const NumberSeparators& separators) {
    if (x.Decimals == 0)
        return {};
    std::wstring digits = std::to_wstring(x.Fraction);
    digits.insert(0, x.Decimals - digits.size(), L'0');
    if (!keepZeros)
        digits.erase(digits.find_last_not_of(L'0') + 1);
    return digits.empty() ? digits : separators.Decimal + digits;
}

// "0.0 Mbps" style: one decimal always, no grouping.
std::wstring OneDecimal(std::uint64_t value, std::uint64_t divisor, const NumberSeparators& separators) {
    Scaled x = Divide(value, divisor, 1);
    return std::to_wstring(x.Whole) + FractionText(x, true, separators);
}

std::wstring SpeedText(std::uint64_t bitsPerSecond, std::uint64_t megabitFrom, const wchar_t* prefix,
                       const NumberSeparators& separators) {
    std::wstring text = prefix;
    if (bitsPerSecond >= megabitFrom)
        return text + OneDecimal(bitsPerSecond, 1'000'000, separators) + L" Mbps";
    if (bitsPerSecond >= 10'000)
        return text + OneDecimal(bitsPerSecond, 1'000, separators) + L" kbps";
    if (bitsPerSecond > 0)
        text += std::to_wstring(bitsPerSecond);
    return text + L" bps";
}

struct ByteUnit {
    std::uint64_t Divisor;
    const wchar_t* Suffix;
    int Decimals;
};

constexpr ByteUnit kBytes{1, L"字节", 1};
constexpr ByteUnit kKilobytes{1024, L"KB", 1};
constexpr ByteUnit kMegabytes{1'048'576, L"MB", 1};
constexpr ByteUnit kGigabytes{1'073'741'824, L"GB", 2};
constexpr ByteUnit kFixedUnits[] = {kBytes, kKilobytes, kMegabytes, kGigabytes};
constexpr int kAutomaticMode = 4;

// The automatic mode switches to GB at 0.99 GB already, so it never shows "1,013.8 MB".
const ByteUnit& AutomaticUnit(std::int64_t value) {
    if (value < 1'024'000)
        return kBytes;
    if (value < 20'971'520)
        return kKilobytes;
    if (value < 1'063'004'405)
        return kMegabytes;
    return kGigabytes;
}

std::wstring BytesIn(const ByteUnit& unit, bool withUnit, std::int64_t value,
                     const NumberSeparators& separators) {
    // Unsigned negation so that the most negative value keeps its magnitude.
    const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : value;
    const Scaled x = Divide(magnitude, unit.Divisor, unit.Decimals);
    std::wstring text;
    // A negative amount that rounds to nothing reads 0, not -0.
    if (value < 0 && (x.Whole != 0 || x.Fraction != 0))
        text = L"-";
    text += Digits(x.Whole, separators.Thousands) + FractionText(x, false, separators);
    if (withUnit)
        text += std::wstring(L" ") + unit.Suffix;
    return text;
}

// Days since the date-time origin 1899-12-30 as a Gregorian date.
struct CivilDate {
    std::int64_t Year;
    unsigned Month;
    unsigned Day;
};

CivilDate DateFromDayNumber(std::int64_t dayNumber) {
    // Counted from 0000-03-01 so that the leap day closes each year; dayNumber is never negative here.
    const std::int64_t z = dayNumber + 693'899;
    const std::int64_t era = z / 146'097;
    const auto dayOfEra = static_cast<unsigned>(z - era * 146'097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const unsigned month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

std::wstring TwoDigits(unsigned n) {
    return (n < 10 ? L"0" : L"") + std::to_wstring(n);
}

std::optional<std::wstring> LocaleText(LCTYPE type) {
    auto& kernel = platform::kernel();
    int size = kernel.GetLocaleInfoW(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (size <= 0)
        return std::nullopt;
    std::vector<wchar_t> buffer(size);
    int written = kernel.GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer.data(), size);
    if (written <= 0)
        return std::nullopt;
    return std::wstring(buffer.begin(),
                        std::find(buffer.begin(), buffer.begin() + std::min(written, size), L'\0'));
}

} // namespace

NumberSeparators ReadUserSeparators() {
    NumberSeparators separators;
    // An empty thousands separator is a real choice (no grouping); an empty decimal one is not.
    if (auto thousands = LocaleText(LOCALE_STHOUSAND))
        separators.Thousands = *thousands;
    if (auto decimal = LocaleText(LOCALE_SDECIMAL); decimal && !decimal->empty())
        separators.Decimal = *decimal;
    return separators;
}

const NumberSeparators& UserSeparators() {
    static const NumberSeparators separators = ReadUserSeparators();
    return separators;
}

std::wstring LinkSpeedText(std::uint64_t bitsPerSecond, const NumberSeparators& separators) {
    return SpeedText(bitsPerSecond, 1'000'001, L"", separators);
}

std::wstring LinkSpeedText(std::uint64_t bitsPerSecond) {
    return LinkSpeedText(bitsPerSecond, UserSeparators());
}

std::wstring BalloonSpeedText(std::uint64_t bitsPerSecond, const NumberSeparators& separators) {
    return SpeedText(bitsPerSecond, 1'000'000, L"连接于 ", separators);
}

std::wstring BalloonSpeedText(std::uint64_t bitsPerSecond) {
    return BalloonSpeedText(bitsPerSecond, UserSeparators());
}

std::wstring PacketCountText(std::uint32_t count, const NumberSeparators& separators) {
    return Digits(count, separators.Thousands);
}

std::wstring PacketCountText(std::uint32_t count) {
    return PacketCountText(count, UserSeparators());
}

std::wstring FormatBytes(int mode, bool withUnit, std::int64_t value, const NumberSeparators& separators) {
    if (mode == kAutomaticMode)
        return BytesIn(AutomaticUnit(value), true, value, separators);
    if (mode < 0 || mode >= static_cast<int>(std::size(kFixedUnits)))
        return {};
    return BytesIn(kFixedUnits[mode], withUnit, value, separators);
}

std::wstring FormatBytes(int mode, bool withUnit, std::int64_t value) {
    return FormatBytes(mode, withUnit, value, UserSeparators());
}

std::optional<std::wstring> ByteUnitCaption(int mode) {
    static const wchar_t* const kCaptions[] = {L"字节", L"千字节", L"兆(M)", L"Gigabytes", L"动态"};
    if (mode < 0 || mode >= static_cast<int>(std::size(kCaptions)))
        return std::nullopt;
    return kCaptions[mode];
}

std::wstring DurationText(double elapsedDays) {
    constexpr std::int64_t kMsPerDay = 86'400'000;
    constexpr double kLastDay = 2'958'465.0; // 9999-12-31, the end of the calendar
    // Month lengths of a common year in seconds; month 0 contributes nothing.
    constexpr std::uint32_t kMonthSeconds[] = {0,           31 * 86'400, 28 * 86'400, 31 * 86'400,
                                               30 * 86'400, 31 * 86'400, 30 * 86'400, 31 * 86'400,
                                               31 * 86'400, 30 * 86'400, 31 * 86'400, 30 * 86'400};

    // A clock set back before the start reads as no time at all.
    if (!(elapsedDays > 0))
        elapsedDays = 0;
    elapsedDays = std::min(elapsedDays, kLastDay);

    // Round to the millisecond before dropping it, so 59 s held as a binary fraction of a day
    // do not read 58.
    const std::int64_t ms = std::llround(elapsedDays * static_cast<double>(kMsPerDay));
    const auto secondOfDay = static_cast<std::uint32_t>(ms % kMsPerDay / 1000);
    const CivilDate date = DateFromDayNumber(ms / kMsPerDay);

    std::uint32_t years = 0, months = 0, days = 0;
    if (date.Year == 1899) {
        days = date.Day - 30;
    } else {
        years = static_cast<std::uint32_t>(date.Year - 1900);
        months = date.Month - 1;
        days = date.Day + 1;
    }
    // Unsigned 32-bit on purpose: the total wraps like the counters it sits beside.
    const std::uint32_t total =
        kMonthSeconds[months] * months + secondOfDay + 86'400u * days + 31'557'600u * years;

    const unsigned seconds = total % 60;
    const unsigned minutes = total / 60 % 60;
    const auto allHours = static_cast<std::uint16_t>(total / 3600);
    const unsigned dayCount = allHours / 24;
    const unsigned hours = allHours % 24;

    std::wstring text;
    if (dayCount > 0)
        text = std::to_wstring(dayCount) + L" days ";
    if (hours > 0)
        text += TwoDigits(hours) + L":";
    return text + TwoDigits(minutes) + L":" + TwoDigits(seconds);
}

} // namespace formats
