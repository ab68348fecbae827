// The status window at the screen's resolution: its size, the chart and its legend
// font scale by it, and the tray icon is loaded at the size the shell asks for.
#include "support/FakePlatform.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

TEST(Scaling, TheStatusWindowFollowsTheResolutionAndTheShellsIconSize) {
    const struct {
        int pixelsPerInch;
        int smallIcon;
        SIZE client;
        SIZE chart;
        int legendHeight;
    } cases[] = {
        {96, 16, {338, 319}, {279, 89}, -12},
        {144, 24, {507, 479}, {419, 134}, -18},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pixelsPerInch);
        fake::FakePlatform fake;
        fake.PixelsPerInch = c.pixelsPerInch;
        fake.SmallIconSize = c.smallIcon;
        fake.AddAdapter("eth0");
        auto window = fake::BeginWindow();

        SIZE client = window->ClientSize();
        EXPECT_EQ(client.cx, c.client.cx);
        EXPECT_EQ(client.cy, c.client.cy);
        RECT chart = window->Usage.UseChart.Bounds();
        EXPECT_EQ(chart.right - chart.left, c.chart.cx);
        EXPECT_EQ(chart.bottom - chart.top, c.chart.cy);
        EXPECT_EQ(window->Usage.UseChart.Font().Height(), c.legendHeight);

        auto added = std::find_if(fake.TrayCalls.begin(), fake.TrayCalls.end(),
                                  [](const fake::TrayCall& call) { return call.message == NIM_ADD; });
        ASSERT_NE(added, fake.TrayCalls.end());
        EXPECT_EQ(IconWidth(added->icon), c.smallIcon);
    }
}

} // namespace
