#pragma once
#include "UsageHistory/History.h"
#include "widgets/Colors.h"
#include "widgets/CustomWindow.h"

#include <cstdint>
#include <string>
#include <vector>

namespace usage {

// The bar chart above the history window's list: for every shown row, oldest on the
// left, a received and a sent bar side by side, scaled so that the largest value
// reaches the top, whose text stands in the top left corner.
class TUsageBars : public widgets::CustomWindow {
public:
    static constexpr const wchar_t* kClassName = L"TUsageBars";

    TUsageBars(widgets::Form& owner, int id);
    ~TUsageBars() override;

    // The rows as the list shows them first (newest first), and the scale's text.
    void SetRows(const std::vector<ViewRow>& rows, std::wstring topText);
    std::uint64_t Top() const { return top_; }

    widgets::TColor Background = widgets::clBlack;
    widgets::TColor TextColor = widgets::clLime;
    widgets::TColor ReceivedColor = widgets::clLime;
    widgets::TColor SentColor = widgets::clYellow;

    // Draws the chart as it is now onto dc, a surface of width x height pixels.
    void Render(HDC dc, int width, int height) const;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    std::vector<Totals> bars_; // oldest first
    std::uint64_t top_ = 0;
    std::wstring topText_;
};

// The height in pixels of a bar of `value` where `top` fills `height`: a value above
// nothing shows at least one pixel, so a day of a few bytes beside one of gigabytes
// still shows.
int BarHeight(std::uint64_t value, std::uint64_t top, int height);

} // namespace usage
