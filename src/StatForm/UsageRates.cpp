#include "StatForm/UsageRates.h"

#include <cmath>

namespace usage {

float FoldAverage(float average, std::uint32_t samples, std::uint32_t delta) {
    long double n = samples;
    return static_cast<float>((n * average + delta) / (n + 1));
}

std::wstring RateText(double bytes, const formats::NumberSeparators& separators) {
    // A rate is a dyadic fraction of at most 36 significant bits here, so tenths of a
    // kilobyte come out exact in extended precision and a half is a true half.
    long double tenths = std::round(static_cast<long double>(bytes) * 10 / 1024);
    // Rates are never negative; nothing else may reach the conversion below.
    if (!(tenths >= 0 && tenths < 1e18L))
        tenths = 0;
    const auto magnitude = static_cast<unsigned long long>(tenths);
    std::wstring whole = std::to_wstring(magnitude / 10);
    for (auto pos = whole.size(); pos > 3; pos -= 3)
        whole.insert(pos - 3, separators.Thousands);
    return whole + separators.Decimal + std::to_wstring(magnitude % 10) + L" k/秒";
}

std::wstring RateText(double bytes) {
    return RateText(bytes, formats::UserSeparators());
}

} // namespace usage
