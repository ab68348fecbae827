#include "TmChart/ChartMath.h"
#include "widgets/Scale.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <iterator>

namespace tmchart {

namespace {
// Far beyond any surface, yet safe for the device's 27-bit coordinates.
constexpr double kCoordinateLimit = 1 << 26;
} // namespace

double RoundHalfEven(double value) {
    double lower = std::floor(value);
    double fraction = value - lower;
    if (fraction < 0.5)
        return lower;
    if (fraction > 0.5)
        return lower + 1;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

int SampleRow(float sample, TGridType type, float gridMax, int height) {
    // Multiplying first keeps whole samples exact, so a half lands on a true half.
    double top = type == gtPercent ? 100.0 : static_cast<double>(gridMax);
    double scaled = height * static_cast<double>(sample) / top;
    if (std::isnan(scaled))
        scaled = 0;
    double row = height - RoundHalfEven(std::clamp(scaled, -kCoordinateLimit, kCoordinateLimit));
    return static_cast<int>(std::clamp(row, -kCoordinateLimit, kCoordinateLimit));
}

std::vector<Segment> LineSegments(const std::deque<float>& samples, TGridType type, float gridMax, int width,
                                  int height, int increment) {
    std::vector<Segment> segments;
    if (type == gtFloat && !(gridMax > 0))
        return segments;
    auto drawn = [type](float s) { return type != gtPercent || s < kPercentGapAt; };
    long long n = static_cast<long long>(samples.size());
    for (long long r = n - 1; r >= 1; --r) {
        long long age = n - 1 - r;
        long long x1 = width - age * increment;
        if (x1 < 0)
            break;
        float newer = samples[static_cast<std::size_t>(r)];
        float older = samples[static_cast<std::size_t>(r - 1)];
        if (!drawn(newer) || !drawn(older))
            continue;
        segments.push_back({static_cast<int>(x1), SampleRow(newer, type, gridMax, height),
                            static_cast<int>(x1 - increment), SampleRow(older, type, gridMax, height)});
    }
    return segments;
}

GridLines GridLinesFor(int width, int height, int gridWidth, std::uint8_t phase) {
    GridLines grid;
    if (gridWidth <= 0)
        return grid;
    for (int j = 0; width - j * gridWidth > 0; ++j)
        grid.columns.push_back(width - phase - j * gridWidth);
    for (int y = -1; y < height; y += gridWidth)
        grid.rows.push_back(y);
    return grid;
}

std::uint8_t NextGridPhase(std::uint8_t phase, std::uint8_t increment, std::uint8_t gridWidth) {
    auto next = static_cast<std::uint8_t>(phase + increment);
    return next > gridWidth ? 1 : next;
}

void TrimToNewest(std::deque<float>& samples, std::uint32_t keep) {
    if (samples.size() > keep)
        samples.erase(samples.begin(), samples.end() - static_cast<std::ptrdiff_t>(keep));
}

std::uint32_t SamplesAcross(int width, int increment) {
    if (width <= 0 || increment <= 0)
        return 0;
    return static_cast<std::uint32_t>((width + increment - 1) / increment);
}

std::wstring FormatLegendValue(double value) {
    if (std::isnan(value))
        return L"NAN";
    if (std::isinf(value))
        return value > 0 ? L"INF" : L"-INF";
    // std::round goes half away from zero; times ten is exact for single-precision values.
    double tenths = std::round(value * 10.0);
    if (std::fabs(tenths) >= 1e18) {
        wchar_t text[400];
        std::swprintf(text, std::size(text), L"%.0f", std::round(value));
        return text;
    }
    auto whole = static_cast<long long>(tenths);
    std::wstring text = whole < 0 ? L"-" : L"";
    unsigned long long magnitude =
        whole < 0 ? 0ull - static_cast<unsigned long long>(whole) : static_cast<unsigned long long>(whole);
    text += std::to_wstring(magnitude / 10);
    if (magnitude % 10 != 0)
        text += L"." + std::to_wstring(magnitude % 10);
    return text;
}

std::vector<LegendLabel> LegendLabels(TGridType type, float gridMax, const std::wstring& unit, int height,
                                      int fontSize, int pixelsPerInch) {
    std::wstring suffix = type == gtPercent ? L"%" : (unit.empty() ? L"" : L" " + unit);
    auto text = [&suffix](float value) { return FormatLegendValue(value) + suffix; };
    float top = type == gtPercent ? 100.0f : gridMax;
    auto scaled = [pixelsPerInch](int designed) { return widgets::ScalePixels(designed, pixelsPerInch); };
    fontSize = scaled(fontSize);
    const int left = scaled(kLegendLeft);

    std::vector<LegendLabel> labels;
    labels.push_back({scaled(1), text(top), left});
    labels.push_back({height - fontSize - scaled(5), text(0), left});
    // A font without a size gives no room to reason about: no labels between.
    if (fontSize == 0)
        return labels;
    double rows = static_cast<double>(height) / (3.0 * fontSize) / 2.0;
    if (!(rows >= 1))
        return labels;
    auto n = static_cast<long long>(rows);
    float step = top / static_cast<float>(n + 1);
    float value = step;
    int offset = static_cast<int>(RoundHalfEven(fontSize / 2.0)) + scaled(2);
    for (long long e = n; e >= 1; --e) {
        auto y = static_cast<long long>(static_cast<double>(height) * static_cast<double>(e) /
                                        static_cast<double>(n + 1));
        labels.push_back({static_cast<int>(y) - offset, text(value), left});
        value = value + step;
    }
    return labels;
}

} // namespace tmchart
