#pragma once
#include "TmChart/ChartFont.h"
#include "TmChart/ChartTypes.h"
#include "widgets/CustomWindow.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

namespace tmchart {

// A chart of two lines of values over time, scrolling right to left over a grid that
// scrolls with them, with an optional legend of scale values. It samples on its own
// one-second clock: GridValue and GridValue2 are appended at every tick, old samples
// beyond ScavangeAt are dropped, and an enabled chart repaints.
//
// Placed on a form by a dialog-template entry of the window class kClassName (the
// class must be registered before the form's window is made; constructing a chart
// does that), or made directly with CreateHandle.
class TTimeChart : public widgets::CustomWindow {
public:
    static constexpr const wchar_t* kClassName = L"TTimeChart";
    static constexpr int kDefaultWidth = 200;
    static constexpr int kDefaultHeight = 81;
    static constexpr UINT kSampleInterval = 1000;

    TTimeChart(widgets::Form& owner, int id);
    ~TTimeChart() override;

    // Makes the chart's own child window of parent, for a chart no template places.
    void CreateHandle(HWND parent, int left, int top, int width = kDefaultWidth, int height = kDefaultHeight);

    // Plain stores: they show at the next paint.
    TDrawOptions DrawOptions{goLine1};
    bool GridLegend = false;
    std::wstring GridLegendText;
    float GridMax = 0;
    float GridValue = 0;
    float GridValue2 = 0;
    TColor Line1Color = clLime;
    TColor Line2Color = clYellow;
    bool ShowGrid = true;
    // Called at every tick before sampling; it may set GridValue and GridValue2.
    std::function<void(TTimeChart& sender)> OnGridDraw;

    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool on);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    // The legend font; changes to it show at the next paint.
    TChartFont& Font() { return font_; }
    const TChartFont& Font() const { return font_; }
    void SetFont(const TChartFont& font) { font_.Assign(font); }
    TColor GridColor() const { return gridColor_; }
    void SetGridColor(TColor color);
    TGridType GridType() const { return gridType_; }
    void SetGridType(TGridType type);
    std::uint8_t GridWidth() const { return gridWidth_; }
    void SetGridWidth(std::uint8_t width);
    std::uint8_t IncrementGrid() const { return incrementGrid_; }
    void SetIncrementGrid(std::uint8_t increment);
    std::uint32_t ScavangeAt() const { return scavangeAt_; }
    void SetScavangeAt(std::uint32_t count);
    // Sets GridWidth and IncrementGrid from their lengths at 96 pixels per inch, scaled to
    // the screen, and ScavangeAt to at least `samples` and to as many as a line needs to
    // reach across the chart at its present size: a full chart is drawn edge to edge at
    // any resolution.
    void SetDesignedSpacing(int gridWidth, int increment, std::uint32_t samples);

    std::uint8_t GridPhase() const { return gridPhase_; }
    bool Painting() const { return painting_; }
    // The samples of line 1 and line 2, oldest first.
    const std::deque<float>& SampleLine1() const { return line1_; }
    const std::deque<float>& SampleLine2() const { return line2_; }

    // Paints now.
    void ReDraw();
    // Drops every sample of both lines; no paint.
    void Clear();
    // The largest sample of both lines, 0 when there is none larger.
    float MaxSample() const;
    // The sample clock's handler: what happens every second.
    void Tick();
    // The sample clock counts its second from now on.
    void RestartClock();
    // Draws the chart as it is now onto dc, a surface of width x height pixels.
    void Render(HDC dc, int width, int height) const;

protected:
    void Attached() override;
    void Detached() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC target);
    void PaintWindow();
    void ApplyBorder();
    void DrawLine(HDC dc, const std::deque<float>& samples, TColor color, int width, int height) const;
    void DrawLegend(HDC dc, int height) const;

    TBorderStyle borderStyle_ = bsSingle;
    bool ctl3D_ = true;
    TColor color_ = clWindow;
    TChartFont font_;
    TColor gridColor_ = clGreen;
    TGridType gridType_ = gtPercent;
    std::uint8_t gridWidth_ = 12;
    std::uint8_t incrementGrid_ = 2;
    std::uint32_t scavangeAt_ = 0;
    std::uint8_t gridPhase_ = 0;
    bool painting_ = false;
    std::deque<float> line1_;
    std::deque<float> line2_;
};

} // namespace tmchart
