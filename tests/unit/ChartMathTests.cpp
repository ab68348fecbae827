// The time chart's arithmetic: where samples land, where the grid and legend go, and
// how the legend writes its values.
#include "TmChart/ChartFont.h"
#include "TmChart/ChartMath.h"

#include <gtest/gtest.h>

using namespace tmchart;

TEST(ChartRows, PercentAndValueScalesRoundHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
    // The usage chart's client height is 85, the options preview's 45.
    EXPECT_EQ(SampleRow(85, gtPercent, 0, 85), 13); // 72.25
    EXPECT_EQ(SampleRow(25, gtPercent, 0, 85), 64); // 21.25
    EXPECT_EQ(SampleRow(85, gtPercent, 0, 45), 7);
    EXPECT_EQ(SampleRow(25, gtPercent, 0, 45), 34);
    // Exact halves, even where the percentage has no exact binary form.
    EXPECT_EQ(SampleRow(85, gtPercent, 0, 10), 2); // 8.5 -> 8
    EXPECT_EQ(SampleRow(75, gtPercent, 0, 2), 0);  // 1.5 -> 2
    EXPECT_EQ(SampleRow(5, gtFloat, 10, 85), 43);  // 42.5 -> 42
    // Beyond the scale nothing is clipped, but absurd values stay device coordinates.
    EXPECT_EQ(SampleRow(20, gtFloat, 10, 85), -85);
    EXPECT_EQ(SampleRow(-5, gtFloat, 10, 85), 127);
    EXPECT_LT(SampleRow(3e38f, gtFloat, 1e-30f, 85), 0);
}

TEST(ChartSegments, NewestAtTheRightEdgeOlderOnesFurtherLeft) {
    EXPECT_TRUE(LineSegments({50}, gtPercent, 0, 275, 85, 2).empty());
    EXPECT_EQ(LineSegments({0, 25, 85}, gtPercent, 0, 275, 85, 3),
              (std::vector<Segment>{{275, 13, 272, 64}, {272, 64, 269, 85}}));
    // Segments wholly left of the surface are not made: x1 = 10, 8, ..., 0.
    EXPECT_EQ(LineSegments(std::deque<float>(50, 10.0f), gtPercent, 0, 10, 100, 2).size(), 6u);
}

TEST(ChartSegments, GapsOnlyForPercentSamplesOf101AndNothingWithoutAMaximum) {
    std::deque<float> samples{10, 101, 20, 100.9f, 40};
    EXPECT_EQ(LineSegments(samples, gtPercent, 0, 100, 100, 2),
              (std::vector<Segment>{{100, 60, 98, -1}, {98, -1, 96, 80}}));
    EXPECT_EQ(LineSegments(samples, gtFloat, 200, 100, 100, 2).size(), 4u);
    EXPECT_TRUE(LineSegments(samples, gtFloat, 0, 100, 100, 2).empty());
    EXPECT_TRUE(LineSegments(samples, gtFloat, -5, 100, 100, 2).empty());
}

TEST(ChartGrid, ColumnsScrollWithThePhaseRowsStand) {
    GridLines grid = GridLinesFor(275, 85, 12, 5);
    ASSERT_EQ(grid.columns.size(), 23u); // the count ignores the phase
    EXPECT_EQ(grid.columns.front(), 270);
    EXPECT_EQ(grid.columns.back(), 6);
    EXPECT_EQ(grid.rows, (std::vector<int>{-1, 11, 23, 35, 47, 59, 71, 83}));
    // Byte arithmetic: the phase wraps before it is compared with the spacing.
    EXPECT_EQ(NextGridPhase(250, 10, 255), 4);
    EXPECT_EQ(NextGridPhase(11, 2, 12), 1);
}

TEST(LegendValueFormat, OneDecimalOnlyWhenNotZeroHalvesAwayFromZero) {
    EXPECT_EQ(FormatLegendValue(12.34), L"12.3");
    EXPECT_EQ(FormatLegendValue(12.0), L"12");
    EXPECT_EQ(FormatLegendValue(0.25), L"0.3");
    EXPECT_EQ(FormatLegendValue(1234.56), L"1234.6");
    EXPECT_EQ(FormatLegendValue(1234567), L"1234567");
    EXPECT_EQ(FormatLegendValue(0.04), L"0");
    EXPECT_EQ(FormatLegendValue(0.96), L"1");
    EXPECT_EQ(FormatLegendValue(-2.25), L"-2.3");
    EXPECT_EQ(FormatLegendValue(12.35f), L"12.4"); // the single value lies just above
}

TEST(LegendLabels, UsageChartHasOneMiddleLabel) {
    // Client height 85, a 9-point font.
    EXPECT_EQ(LegendLabels(gtFloat, 25, L"kBps", 85, 9),
              (std::vector<LegendLabel>{{1, L"25 kBps"}, {71, L"0 kBps"}, {36, L"12.5 kBps"}}));
    EXPECT_EQ(LegendLabels(gtFloat, 25, L"", 85, 9)[2].text, L"12.5");
    // At 144 pixels per inch (client height 130) the font's measure and every margin grow by half.
    EXPECT_EQ(LegendLabels(gtFloat, 25, L"kBps", 130, 9, 144),
              (std::vector<LegendLabel>{{2, L"25 kBps", 8}, {108, L"0 kBps", 8}, {55, L"12.5 kBps", 8}}));
    for (const LegendLabel& label : LegendLabels(gtFloat, 0, L"kBps", 85, 9))
        EXPECT_EQ(label.text, L"0 kBps");
    // A font without a size (or with a negative one, from a cell height) gives no middle.
    EXPECT_EQ(LegendLabels(gtFloat, 10, L"", 85, 0).size(), 2u);
    EXPECT_EQ(LegendLabels(gtFloat, 10, L"", 85, -11).size(), 2u);
}

TEST(LegendLabels, PercentScale) {
    // The options preview (height 45) has no room between top and bottom.
    EXPECT_EQ(LegendLabels(gtPercent, 0, L"kBps", 45, 9),
              (std::vector<LegendLabel>{{1, L"100%"}, {31, L"0%"}}));
    // From the lowest up, the steps summed in single precision.
    EXPECT_EQ(LegendLabels(gtPercent, 0, L"", 120, 9),
              (std::vector<LegendLabel>{{1, L"100%"}, {106, L"0%"}, {74, L"33.3%"}, {34, L"66.7%"}}));
}

TEST(ChartFont, SizeAndHeightFollowEachOtherWhicheverIsSetLast) {
    TChartFont font(96);
    // The stored record sets the height, then the size: the size decides.
    font.SetHeight(-16);
    EXPECT_EQ(font.Size(), 12);
    font.SetSize(9);
    EXPECT_EQ(font.Height(), -12);
    font.SetHeight(15); // a cell height
    EXPECT_EQ(font.Size(), -11);
    // Copied from another resolution, the point size is kept.
    TChartFont large(120);
    large.SetSize(9);
    font.Assign(large);
    EXPECT_EQ(font.Height(), -12);
}

TEST(ChartFont, LogFontRoundTrip) {
    TChartFont font(96);
    font.SetName(L"宋体");
    font.SetCharset(GB2312_CHARSET);
    font.SetPitch(fpFixed);
    font.SetStyle(fsBold | fsUnderline);
    font.SetSize(9);
    LOGFONTW description = font.LogFont();
    EXPECT_EQ(description.lfWeight, FW_BOLD);
    EXPECT_EQ(description.lfPitchAndFamily & 0x0F, FIXED_PITCH);
    TChartFont back(96);
    back.SetLogFont(description);
    EXPECT_EQ(back, font);

    font.SetName(std::wstring(40, L'x'));
    EXPECT_EQ(std::wstring(font.LogFont().lfFaceName).size(), std::size(description.lfFaceName) - 1);
}
