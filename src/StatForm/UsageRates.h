#pragma once
#include "StatForm/Formats.h"

#include <cstdint>
#include <string>

// The arithmetic and texts of the usage page, apart from any window.
namespace usage {

// Ticks an average counts before it turns into a moving one.
constexpr std::uint32_t kMaxSamples = 255;

// The average after one more tick of `delta` bytes, of `samples` ticks before it;
// worked out in extended precision, kept in single.
float FoldAverage(float average, std::uint32_t samples, std::uint32_t delta);

// Bytes per tick as kilobytes per second: "###,##0.0 k/秒", halves away from zero.
std::wstring RateText(double bytes, const formats::NumberSeparators& separators);
std::wstring RateText(double bytes);

} // namespace usage
