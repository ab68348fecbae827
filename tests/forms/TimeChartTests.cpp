// The time chart over a real window: sampling on its clock, trimming, and what its
// paint puts on the screen, read back pixel by pixel.
#include "forms/Surface.h"
#include "TmChart/TimeChart.h"
#include "platform/Handles.h"
#include "widgets/Form.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace tmchart;

namespace {

constexpr TColor kRed = 0x000000FF;
constexpr TColor kBlue = 0x00FF0000;

struct WindowTraits {
    using Type = HWND;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DestroyWindow(h); }
};

// The usage chart's geometry: 279 x 89 with a sunken edge, so 275 x 85 to draw on.
class TimeChartTest : public ::testing::Test {
protected:
    static constexpr int W = 275, H = 85;

    TimeChartTest() {
        parent.Reset(::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 400, 200, nullptr,
                                       nullptr, nullptr, nullptr));
        chart.CreateHandle(parent.Get(), 0, 0, 279, 89);
        chart.SetColor(clBlack);
        chart.ShowGrid = false;
        chart.SetScavangeAt(138);
    }

    void TickWith(float value1, float value2, int times = 1) {
        for (int i = 0; i < times; ++i) {
            chart.GridValue = value1;
            chart.GridValue2 = value2;
            chart.Tick();
        }
    }

    // What the chart draws now, onto a bitmap of its client size.
    void Render() { chart.Render(surface.Dc(), W, H); }

    // What the window shows; only a shown window has pixels to read.
    void Show() { ::ShowWindow(parent.Get(), SW_SHOWNA); }
    void ReadWindow() { surface.CopyFrom(chart.Handle()); }

    widgets::Form host{L"TimeChartTestHost", 0};
    TTimeChart chart{host, 100};
    platform::UniqueHandle<WindowTraits> parent;
    fake::Surface surface{W, H};
};

} // namespace

TEST_F(TimeChartTest, BorderStyles) {
    auto clientSize = [this] {
        RECT r{};
        ::GetClientRect(chart.Handle(), &r);
        return std::make_pair(r.right, r.bottom);
    };
    EXPECT_EQ(clientSize(), std::make_pair(275L, 85L)); // sunken client edge
    chart.SetCtl3D(false);
    EXPECT_EQ(clientSize(), std::make_pair(277L, 87L)); // plain border
    chart.SetBorderStyle(bsNone);
    EXPECT_EQ(clientSize(), std::make_pair(279L, 89L));
}

TEST_F(TimeChartTest, ZeroSpacingsAndBoundsReadBackAsOne) {
    chart.SetIncrementGrid(0);
    chart.SetScavangeAt(0);
    chart.SetGridWidth(0);
    EXPECT_EQ(chart.IncrementGrid(), 1);
    EXPECT_EQ(chart.ScavangeAt(), 1u);
    EXPECT_EQ(chart.GridWidth(), 1);
}

TEST_F(TimeChartTest, FlatLinesLandOnTheirRows) {
    chart.DrawOptions = {goLine1, goLine2};
    TickWith(85, 25);
    Render();
    EXPECT_EQ(surface.Count(clLime) + surface.Count(clYellow), 0) << "one sample draws nothing";

    TickWith(85, 25, 4);
    Render();
    // Five samples: the newest at x = 275, the oldest at 267; the end pixel is not drawn.
    EXPECT_EQ(surface.Count(clLime, 0, 13, W, 14), 7);
    EXPECT_EQ(surface.Pixel(268, 13), clLime);
    EXPECT_EQ(surface.Pixel(267, 13), clBlack);
    EXPECT_EQ(surface.Count(clLime), 7);
    EXPECT_EQ(surface.Count(clYellow, 0, 64, W, 65), 7);
    EXPECT_EQ(surface.Count(clYellow), 7);
}

TEST_F(TimeChartTest, APercentSampleOf101LeavesAGapOnBothSides) {
    for (float value : {50.0f, 50.0f, 150.0f, 50.0f, 50.0f})
        TickWith(value, 0);
    Render();
    // x: 275 newest, 273, 271 (the 150), 269, 267 oldest.
    EXPECT_EQ(surface.Pixel(274, 43), clLime);
    for (int x = 270; x <= 273; ++x)
        EXPECT_EQ(surface.Pixel(x, 43), clBlack) << x;
    EXPECT_EQ(surface.Pixel(269, 43), clLime);
    EXPECT_EQ(surface.Pixel(268, 43), clLime);
    EXPECT_EQ(surface.Count(clLime), 3);
}

TEST_F(TimeChartTest, LineOneLiesOnTopAndHiddenLinesKeepSampling) {
    chart.Line1Color = kRed;
    chart.Line2Color = kBlue;
    chart.DrawOptions = {goLine1, goLine2};
    TickWith(50, 50, 3);
    Render();
    EXPECT_EQ(surface.Count(kRed), 3);
    EXPECT_EQ(surface.Count(kBlue), 0);

    chart.DrawOptions.Exclude(goLine1);
    TickWith(50, 50, 2);
    Render();
    EXPECT_EQ(surface.Count(kRed), 0);
    EXPECT_EQ(surface.Count(kBlue), 7);

    // Back on, line 1 shows its whole history.
    chart.DrawOptions.Include(goLine1);
    Render();
    EXPECT_EQ(surface.Count(kRed), 7);
}

TEST_F(TimeChartTest, After500TicksEachLineHoldsTheNewest139) {
    EXPECT_EQ(chart.MaxSample(), 0.0f);
    TickWith(-3, -7);
    EXPECT_EQ(chart.MaxSample(), 0.0f) << "the largest sample starts from 0";
    for (int i = 0; i < 500; ++i)
        TickWith(static_cast<float>(i), static_cast<float>(-i));
    ASSERT_EQ(chart.SampleLine1().size(), 139u);
    ASSERT_EQ(chart.SampleLine2().size(), 139u);
    EXPECT_EQ(chart.SampleLine1().front(), 361.0f);
    EXPECT_EQ(chart.SampleLine1().back(), 499.0f);
    EXPECT_EQ(chart.SampleLine2().front(), -361.0f);
    EXPECT_EQ(chart.SampleLine2().back(), -499.0f);
    EXPECT_EQ(chart.MaxSample(), 499.0f);
}

TEST_F(TimeChartTest, GridPhaseAndTheScrollingGrid) {
    std::vector<int> phases;
    for (int i = 0; i < 13; ++i) {
        chart.Tick();
        phases.push_back(chart.GridPhase());
    }
    EXPECT_EQ(phases, (std::vector<int>{2, 4, 6, 8, 10, 12, 1, 3, 5, 7, 9, 11, 1}));

    chart.ShowGrid = true;
    Render(); // phase 1: columns at 274, 262, ...; rows at 11, 23, ...
    EXPECT_EQ(surface.Pixel(274, 5), clGreen);
    EXPECT_EQ(surface.Pixel(262, 5), clGreen);
    EXPECT_EQ(surface.Pixel(268, 5), clBlack);
    EXPECT_EQ(surface.Pixel(100, 11), clGreen);
    EXPECT_EQ(surface.Pixel(100, 12), clBlack);
    chart.Tick();
    Render(); // phase 3: the columns moved two pixels left, the rows stayed
    EXPECT_EQ(surface.Pixel(274, 5), clBlack);
    EXPECT_EQ(surface.Pixel(272, 5), clGreen);
    EXPECT_EQ(surface.Pixel(100, 11), clGreen);
}

TEST_F(TimeChartTest, OnGridDrawRunsBeforeSampling) {
    TTimeChart* sender = nullptr;
    chart.OnGridDraw = [&sender](TTimeChart& c) {
        sender = &c;
        c.GridValue = 7;
        c.GridValue2 = 8;
    };
    TickWith(1, 2);
    EXPECT_EQ(sender, &chart);
    EXPECT_EQ(chart.SampleLine1().back(), 7.0f);
    EXPECT_EQ(chart.SampleLine2().back(), 8.0f);
}

TEST_F(TimeChartTest, ClearedLinesDrawFromTheSecondTickOn) {
    TickWith(50, 50, 5);
    chart.Clear();
    EXPECT_TRUE(chart.SampleLine1().empty());
    TickWith(50, 50);
    EXPECT_EQ(chart.SampleLine1().size(), 1u);
    Render();
    EXPECT_EQ(surface.Count(clLime), 0);
    TickWith(50, 50);
    Render();
    EXPECT_EQ(surface.Count(clLime), 1);
}

TEST_F(TimeChartTest, ValueScaleWithoutMaximumDrawsGridAndLegendOnly) {
    chart.SetGridType(gtFloat);
    chart.ShowGrid = true;
    chart.GridLegend = true;
    chart.GridLegendText = L"kBps";
    chart.Line1Color = kRed;
    chart.Line2Color = kBlue;
    chart.DrawOptions = {goLine1, goLine2};
    TickWith(5, 3, 10);
    Render();
    EXPECT_EQ(surface.Count(kRed) + surface.Count(kBlue), 0);
    EXPECT_GT(surface.Count(clGreen), 0);
    EXPECT_GT(surface.Count(clLime), 0); // the legend's font colour

    chart.GridMax = 10;
    Render();
    EXPECT_GT(surface.Count(kRed), 0);
}

TEST_F(TimeChartTest, LegendLabelsSitAtTopMiddleAndBottom) {
    TChartFont font = chart.Font();
    font.SetName(L"Tahoma");
    font.SetSize(9);
    chart.SetFont(font);
    chart.SetGridType(gtFloat);
    chart.GridMax = 88.8f;
    chart.GridLegend = true;
    chart.GridLegendText = L"kBps";
    Render();
    // Labels at y = 1, 36 and 71, each a line of text (15-pixel cells) from x = 5.
    auto textIn = [this](int top, int bottom) { return surface.Count(clLime, 0, top, W, bottom); };
    EXPECT_GT(textIn(1, 16), 0);
    EXPECT_GT(textIn(36, 51), 0);
    EXPECT_GT(textIn(71, 85), 0);
    EXPECT_EQ(textIn(0, 1), 0);
    EXPECT_EQ(textIn(16, 36), 0);
    EXPECT_EQ(textIn(51, 71), 0);
    EXPECT_EQ(surface.Count(clLime, 0, 0, 5, H), 0);
}

TEST_F(TimeChartTest, DisabledChartSamplesWithoutPaintingUntilEnabled) {
    chart.SetEnabled(false);
    Show();
    chart.ReDraw();
    TickWith(50, 0, 4);
    ReadWindow();
    EXPECT_EQ(chart.SampleLine1().size(), 4u);
    EXPECT_EQ(surface.Count(clLime), 0);

    chart.SetEnabled(true);
    TickWith(50, 0);
    ReadWindow();
    EXPECT_EQ(surface.Count(clLime, 0, 43, W, 44), 7); // the history gathered meanwhile
}

TEST_F(TimeChartTest, SystemPaintAndPaintingPropertiesDrawEvenWhenDisabled) {
    chart.SetEnabled(false);
    TickWith(50, 0, 3);
    Show();
    ::InvalidateRect(chart.Handle(), nullptr, FALSE);
    ::UpdateWindow(chart.Handle());
    ReadWindow();
    EXPECT_EQ(surface.Count(clLime, 0, 43, W, 44), 3);

    chart.Line1Color = kRed; // a plain store shows at the next paint
    ReadWindow();
    EXPECT_EQ(surface.Count(kRed), 0);
    chart.SetGridColor(kBlue);
    ReadWindow();
    EXPECT_EQ(surface.Count(kRed), 3);
    EXPECT_FALSE(chart.Painting());
}
