#include "UsageHistory/UsageBars.h"
#include "platform/Handles.h"
#include "widgets/Gdi.h"
#include "widgets/Scale.h"

#include <algorithm>

namespace usage {

namespace {

// Painted whole by the chart itself; a new size paints again.
const widgets::CustomWindow::WindowClass kWindowClass{TUsageBars::kClassName, CS_HREDRAW | CS_VREDRAW};
// At 96 pixels per inch: the margin around the bars, the room above them for the
// scale's text, and the gap between two rows' pairs of bars.
constexpr int kMargin = 4;
constexpr int kTextRoom = 14;
constexpr int kPairGap = 2;

void FillBox(HDC dc, int left, int top, int right, int bottom, widgets::TColor color) {
    platform::UniqueGdiObject brush(::CreateSolidBrush(widgets::ColorToRgb(color)));
    RECT box{left, top, right, bottom};
    ::FillRect(dc, &box, static_cast<HBRUSH>(brush.Get()));
}

} // namespace

int BarHeight(std::uint64_t value, std::uint64_t top, int height) {
    if (value == 0 || top == 0 || height <= 0)
        return 0;
    const double share = static_cast<double>(std::min(value, top)) / static_cast<double>(top);
    return std::max(1, static_cast<int>(share * height + 0.5));
}

TUsageBars::TUsageBars(widgets::Form& owner, int id) : widgets::CustomWindow(owner, id, kWindowClass) {
}

TUsageBars::~TUsageBars() {
    DestroyHandle();
}

void TUsageBars::SetRows(const std::vector<ViewRow>& rows, std::wstring topText) {
    bars_.clear();
    top_ = 0;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        bars_.push_back(row->Bytes);
        top_ = std::max({top_, row->Bytes.Received, row->Bytes.Sent});
    }
    topText_ = std::move(topText);
    if (Handle())
        ::InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT TUsageBars::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1; // the paint covers everything
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(Handle(), &ps);
        RECT client{};
        ::GetClientRect(Handle(), &client);
        const int width = client.right, height = client.bottom;
        // Drawn off screen and copied in one block, so it never flickers.
        platform::UniqueMemoryDc surface(::CreateCompatibleDC(dc));
        platform::UniqueGdiObject bitmap(
            ::CreateCompatibleBitmap(dc, std::max(width, 1), std::max(height, 1)));
        if (surface && bitmap) {
            widgets::Selection selected(surface.Get(), bitmap.Get());
            Render(surface.Get(), width, height);
            ::BitBlt(dc, 0, 0, width, height, surface.Get(), 0, 0, SRCCOPY);
        }
        ::EndPaint(Handle(), &ps);
        return 0;
    }
    default:
        return CustomWindow::WindowProc(msg, wParam, lParam);
    }
}

void TUsageBars::Render(HDC dc, int width, int height) const {
    if (width <= 0 || height <= 0)
        return;
    widgets::SavedDc saved(dc);
    FillBox(dc, 0, 0, width, height, Background);

    const int margin = widgets::ScalePixels(kMargin);
    const int textRoom = widgets::ScalePixels(kTextRoom);
    const int bottom = height - margin;
    const int barsHeight = bottom - margin - textRoom;
    if (!topText_.empty()) {
        HGDIOBJ font =
            Handle() ? reinterpret_cast<HGDIOBJ>(::SendMessageW(::GetParent(Handle()), WM_GETFONT, 0, 0))
                     : nullptr;
        if (!font)
            font = ::GetStockObject(DEFAULT_GUI_FONT);
        widgets::Selection selected(dc, font);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, widgets::ColorToRgb(TextColor));
        RECT text{margin, margin / 2, width - margin, margin + textRoom};
        ::DrawTextW(dc, topText_.c_str(), static_cast<int>(topText_.size()), &text,
                    DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (bars_.empty() || barsHeight <= 0)
        return;
    // The line at the scale's top.
    FillBox(dc, margin, bottom - barsHeight, width - margin, bottom - barsHeight + 1, TextColor);

    const int count = static_cast<int>(bars_.size());
    const int gap = widgets::ScalePixels(kPairGap);
    const int room = width - 2 * margin;
    for (int i = 0; i < count; ++i) {
        const int left = margin + room * i / count;
        const int right = margin + room * (i + 1) / count - gap;
        const int middle = left + std::max(right - left, 2) / 2;
        const Totals& bytes = bars_[static_cast<std::size_t>(i)];
        FillBox(dc, left, bottom - BarHeight(bytes.Received, top_, barsHeight), middle, bottom,
                ReceivedColor);
        FillBox(dc, middle, bottom - BarHeight(bytes.Sent, top_, barsHeight), std::max(right, middle + 1),
                bottom, SentColor);
    }
}

} // namespace usage
