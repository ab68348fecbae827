#pragma once
#include "TmChart/ChartTypes.h"
#include "platform/Display.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// The arithmetic of the time chart, apart from any window, so it can be checked alone.
namespace tmchart {

// Round to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double value);

// A sample of this value or more on a percent chart is not drawn, nor are its joins.
constexpr float kPercentGapAt = 101.0f;

// Row of a sample on a chart of the given height; the top of the scale is row 0.
// Values beyond the scale are not clipped, only kept within what a device coordinate holds.
int SampleRow(float sample, TGridType type, float gridMax, int height);

struct Segment {
    int x1, y1, x2, y2;
    bool operator==(const Segment&) const = default;
};

// The segments of one line, newest first: the newest sample sits at x = width and
// each older one `increment` pixels further left. Segments wholly left of the
// surface are left out.
std::vector<Segment> LineSegments(const std::deque<float>& samples, TGridType type, float gridMax, int width,
                                  int height, int increment);

struct GridLines {
    std::vector<int> columns; // x of each vertical line
    std::vector<int> rows;    // y of each horizontal line
};

// The vertical lines scroll with the samples by `phase`; the horizontal ones stand.
GridLines GridLinesFor(int width, int height, int gridWidth, std::uint8_t phase);

// The grid's scroll offset after one tick (byte arithmetic, wrapping to 1).
std::uint8_t NextGridPhase(std::uint8_t phase, std::uint8_t increment, std::uint8_t gridWidth);

// Drops the oldest samples until at most `keep` remain.
void TrimToNewest(std::deque<float>& samples, std::uint32_t keep);

// How many samples a line must keep before the newest is added (ScavangeAt) to reach
// across a surface `width` pixels wide at `increment` pixels a sample.
std::uint32_t SamplesAcross(int width, int increment);

// The "##0.#" pattern: at least one integer digit, no grouping, one decimal only when
// it is not 0, rounded to one decimal with halves away from zero.
std::wstring FormatLegendValue(double value);

// The legend's left margin, in pixels at 96 pixels per inch.
constexpr int kLegendLeft = 5;

struct LegendLabel {
    int y;
    std::wstring text;
    int x = kLegendLeft;
    bool operator==(const LegendLabel&) const = default;
};

// Every label of the legend: the top, the bottom, then the intermediate ones from the
// lowest up. fontSize is the legend font's size in points, taken as pixels at 96 pixels
// per inch; that measure and every margin scale to pixelsPerInch, as the font itself does.
std::vector<LegendLabel> LegendLabels(TGridType type, float gridMax, const std::wstring& unit, int height,
                                      int fontSize, int pixelsPerInch = platform::kStandardPixelsPerInch);

} // namespace tmchart
