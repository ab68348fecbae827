#include "TmChart/TimeChart.h"
#include "TmChart/ChartMath.h"
#include "platform/Handles.h"
#include "widgets/Gdi.h"
#include "widgets/Scale.h"

#include <algorithm>
#include <utility>

namespace tmchart {

namespace {

constexpr UINT_PTR kSampleTimerId = 1;

template <typename F> class AtExit {
public:
    explicit AtExit(F f) : f_(std::move(f)) {}
    ~AtExit() { f_(); }
    AtExit(const AtExit&) = delete;
    AtExit& operator=(const AtExit&) = delete;

private:
    F f_;
};

platform::UniqueGdiObject SolidPen(TColor color) {
    return platform::UniqueGdiObject(::CreatePen(PS_SOLID, 1, ColorToRgb(color)));
}

// The chart paints every pixel itself: no background brush, full repaint on resize.
const widgets::CustomWindow::WindowClass kWindowClass{TTimeChart::kClassName,
                                                      CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS};

} // namespace

TTimeChart::TTimeChart(widgets::Form& owner, int id) : widgets::CustomWindow(owner, id, kWindowClass) {
    font_.SetName(L"MS Sans Serif");
    font_.SetSize(8);
    font_.SetStyle(fsBold);
    font_.SetColor(clLime);
}

TTimeChart::~TTimeChart() {
    OnGridDraw = nullptr;
    DestroyHandle();
}

void TTimeChart::CreateHandle(HWND parent, int left, int top, int width, int height) {
    Create(parent, RECT{left, top, left + width, top + height});
}

void TTimeChart::Attached() {
    ApplyBorder();
    ::SetTimer(Handle(), kSampleTimerId, kSampleInterval, nullptr);
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

void TTimeChart::RestartClock() {
    if (Handle())
        ::SetTimer(Handle(), kSampleTimerId, kSampleInterval, nullptr);
}

void TTimeChart::Detached() {
    ::KillTimer(Handle(), kSampleTimerId);
}

LRESULT TTimeChart::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = Handle();
    switch (msg) {
    case WM_ERASEBKGND:
        return 1; // the paint covers everything: erasing first would only flicker
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        AtExit end([hwnd, &ps] { ::EndPaint(hwnd, &ps); });
        if (!painting_)
            Paint(dc);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kSampleTimerId) {
            Tick();
            return 0;
        }
        break;
    default:
        break;
    }
    return CustomWindow::WindowProc(msg, wParam, lParam);
}

void TTimeChart::SetBorderStyle(TBorderStyle style) {
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    ApplyBorder();
}

void TTimeChart::SetCtl3D(bool on) {
    if (on == ctl3D_)
        return;
    ctl3D_ = on;
    ApplyBorder();
}

void TTimeChart::ApplyBorder() {
    if (!Handle())
        return;
    LONG style = ::GetWindowLongW(Handle(), GWL_STYLE);
    LONG exStyle = ::GetWindowLongW(Handle(), GWL_EXSTYLE);
    LONG newStyle = style & ~WS_BORDER;
    LONG newExStyle = exStyle & ~WS_EX_CLIENTEDGE;
    // Every system this runs on draws the 3-D look as a sunken client edge.
    if (borderStyle_ == bsSingle) {
        if (ctl3D_)
            newExStyle |= WS_EX_CLIENTEDGE;
        else
            newStyle |= WS_BORDER;
    }
    if (newStyle == style && newExStyle == exStyle)
        return;
    ::SetWindowLongW(Handle(), GWL_STYLE, newStyle);
    ::SetWindowLongW(Handle(), GWL_EXSTYLE, newExStyle);
    ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TTimeChart::SetColor(TColor color) {
    if (color == color_)
        return;
    color_ = color;
    if (Handle())
        ::InvalidateRect(Handle(), nullptr, FALSE);
}

void TTimeChart::SetGridColor(TColor color) {
    gridColor_ = color;
    ReDraw();
}

void TTimeChart::SetGridType(TGridType type) {
    gridType_ = type;
    ReDraw();
}

void TTimeChart::SetGridWidth(std::uint8_t width) {
    // A spacing of 0 has no meaning and would never end the grid.
    gridWidth_ = std::max<std::uint8_t>(width, 1);
    ReDraw();
}

void TTimeChart::SetIncrementGrid(std::uint8_t increment) {
    incrementGrid_ = std::max<std::uint8_t>(increment, 1);
    ReDraw();
}

void TTimeChart::SetScavangeAt(std::uint32_t count) {
    scavangeAt_ = std::max<std::uint32_t>(count, 1);
}

void TTimeChart::SetDesignedSpacing(int gridWidth, int increment, std::uint32_t samples) {
    auto byte = [](int pixels) { return static_cast<std::uint8_t>(std::clamp(pixels, 1, UINT8_MAX)); };
    SetGridWidth(byte(widgets::ScalePixels(gridWidth)));
    SetIncrementGrid(byte(widgets::ScalePixels(increment)));
    RECT client{};
    if (Handle())
        ::GetClientRect(Handle(), &client);
    SetScavangeAt(std::max(samples, SamplesAcross(client.right - client.left, incrementGrid_)));
}

void TTimeChart::ReDraw() {
    if (!Handle())
        return;
    widgets::WindowDc dc(Handle());
    if (dc.Get())
        Paint(dc.Get());
}

void TTimeChart::Clear() {
    line1_.clear();
    line2_.clear();
}

float TTimeChart::MaxSample() const {
    float highest = 0;
    for (const auto* line : {&line1_, &line2_})
        for (float sample : *line)
            if (sample > highest)
                highest = sample;
    return highest;
}

void TTimeChart::Tick() {
    if (OnGridDraw)
        OnGridDraw(*this);
    TrimToNewest(line1_, scavangeAt_);
    TrimToNewest(line2_, scavangeAt_);
    line1_.push_back(GridValue);
    line2_.push_back(GridValue2);
    gridPhase_ = NextGridPhase(gridPhase_, incrementGrid_, gridWidth_);
    if (Enabled())
        ReDraw();
}

void TTimeChart::Paint(HDC target) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return;
    painting_ = true;
    AtExit notPainting([this] { painting_ = false; });
    // Drawn off screen and copied in one block, so the chart never flickers.
    platform::UniqueMemoryDc surface(::CreateCompatibleDC(target));
    platform::UniqueGdiObject bitmap(::CreateCompatibleBitmap(target, width, height));
    if (!surface || !bitmap)
        return;
    widgets::Selection selected(surface.Get(), bitmap.Get());
    // Whatever was drawn reaches the window, even when drawing fails part way.
    AtExit copy([&] { ::BitBlt(target, 0, 0, width, height, surface.Get(), 0, 0, SRCCOPY); });
    Render(surface.Get(), width, height);
}

void TTimeChart::Render(HDC dc, int width, int height) const {
    if (width <= 0 || height <= 0)
        return;
    widgets::SavedDc saved(dc);
    platform::UniqueGdiObject background(::CreateSolidBrush(ColorToRgb(color_)));
    RECT all{0, 0, width, height};
    ::FillRect(dc, &all, static_cast<HBRUSH>(background.Get()));

    if (ShowGrid) {
        platform::UniqueGdiObject pen = SolidPen(gridColor_);
        widgets::Selection selected(dc, pen.Get());
        GridLines grid = GridLinesFor(width, height, gridWidth_, gridPhase_);
        for (int x : grid.columns) {
            ::MoveToEx(dc, x, 0, nullptr);
            ::LineTo(dc, x, height);
        }
        for (int y : grid.rows) {
            ::MoveToEx(dc, 0, y, nullptr);
            ::LineTo(dc, width, y);
        }
    }
    // Line 1 last, so it lies on top.
    if (DrawOptions.Contains(goLine2))
        DrawLine(dc, line2_, Line2Color, width, height);
    if (DrawOptions.Contains(goLine1))
        DrawLine(dc, line1_, Line1Color, width, height);
    if (GridLegend)
        DrawLegend(dc, height);
}

void TTimeChart::DrawLine(HDC dc, const std::deque<float>& samples, TColor color, int width,
                          int height) const {
    std::vector<Segment> segments = LineSegments(samples, gridType_, GridMax, width, height, incrementGrid_);
    if (segments.empty())
        return;
    platform::UniqueGdiObject pen = SolidPen(color);
    widgets::Selection selected(dc, pen.Get());
    for (const Segment& s : segments) {
        ::MoveToEx(dc, s.x1, s.y1, nullptr);
        ::LineTo(dc, s.x2, s.y2);
    }
}

void TTimeChart::DrawLegend(HDC dc, int height) const {
    LOGFONTW description = font_.LogFont();
    platform::UniqueGdiObject font(::CreateFontIndirectW(&description));
    widgets::Selection selected(dc, font.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ColorToRgb(font_.Color()));
    // Placed at the resolution the font is drawn at.
    for (const LegendLabel& label :
         LegendLabels(gridType_, GridMax, GridLegendText, height, font_.Size(), font_.PixelsPerInch()))
        ::TextOutW(dc, label.x, label.y, label.text.c_str(), static_cast<int>(label.text.size()));
}

} // namespace tmchart
