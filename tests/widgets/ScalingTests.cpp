// Forms laid out at the screen's resolution: the designed pixel geometry at 96 pixels
// per inch, half as much again at 144.
#include "NoFailures.h"
#include "WidgetTestForms.h"
#include "widgets/ListView.h"

#include <gtest/gtest.h>

#include <vector>

using namespace widgets_test;

namespace {

struct Layout {
    SIZE client;
    std::vector<RECT> children;
};

Layout LayOut(int pixelsPerInch) {
    fake::FakePlatform fake;
    fake.PixelsPerInch = pixelsPerInch;
    TestForm form;
    form.CreateHandle();
    form.SetClientSize(200, 100);
    Layout layout{form.ClientSize(), {}};
    for (HWND child = ::GetWindow(form.Handle(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(HWND_DESKTOP, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
        layout.children.push_back(r);
    }
    EXPECT_TRUE(NoFailureReported(fake));
    return layout;
}

TEST(Scaling, At96PixelsPerInchTheDesignedGeometryStands) {
    Layout layout = LayOut(96);
    EXPECT_EQ(layout.client.cx, 200);
    EXPECT_EQ(layout.client.cy, 100);
    // The button: 4, 16, 50 x 14 dialog units at 1.5 pixels each.
    ASSERT_GE(layout.children.size(), 2u);
    const RECT& button = layout.children[1];
    EXPECT_EQ(button.left, 6);
    EXPECT_EQ(button.top, 24);
    // Sizes went through the dialog manager's rounding first.
    EXPECT_NEAR(button.right - button.left, 75, 1);
    EXPECT_NEAR(button.bottom - button.top, 21, 1);
}

TEST(Scaling, At144PixelsPerInchEveryLengthIsHalfAsMuchAgain) {
    Layout designed = LayOut(96);
    Layout scaled = LayOut(144);
    EXPECT_EQ(scaled.client.cx, 300);
    EXPECT_EQ(scaled.client.cy, 150);
    ASSERT_EQ(scaled.children.size(), designed.children.size());
    for (std::size_t i = 0; i < designed.children.size(); ++i) {
        const RECT& d = designed.children[i];
        const RECT& s = scaled.children[i];
        // 1.5 times the designed length, give or take the roundings on both sides.
        EXPECT_NEAR(s.left, d.left * 1.5, 2) << "child " << i;
        EXPECT_NEAR(s.top, d.top * 1.5, 2) << "child " << i;
        EXPECT_NEAR(s.right - s.left, (d.right - d.left) * 1.5, 2) << "child " << i;
        EXPECT_NEAR(s.bottom - s.top, (d.bottom - d.top) * 1.5, 2) << "child " << i;
    }
}

TEST(Scaling, DesignedLengthsFollowTheResolution) {
    fake::FakePlatform fake;
    const struct {
        int pixelsPerInch;
        int designed;
        int expected;
    } cases[] = {{96, 14, 14}, {120, 14, 18}, {144, 14, 21}, {192, 279, 558}, {0, 14, 14}};
    for (const auto& c : cases) {
        fake.PixelsPerInch = c.pixelsPerInch;
        EXPECT_EQ(widgets::ScalePixels(c.designed), c.expected) << c.pixelsPerInch;
        // What is kept between runs comes back as it was designed.
        EXPECT_EQ(widgets::DesignedPixels(c.expected), c.designed) << c.pixelsPerInch;
    }
}

TEST(Scaling, ListColumnWidthsAreDesignedWidthsShownScaled) {
    fake::FakePlatform fake;
    fake.PixelsPerInch = 144;
    TestForm form;
    widgets::ListView list{form, IDC_List};
    list.SetColumns({{L"Name", 60}, {L"Value", 41}});
    form.CreateHandle();
    auto shown = [&list](int column) {
        return ::SendMessageW(list.Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0);
    };
    EXPECT_EQ(shown(0), 90);
    EXPECT_EQ(shown(1), 62);
    EXPECT_EQ(list.ColumnWidth(1), 41);
    // A width kept from another run, shown as wide for this screen; one the user dragged
    // is read back as it would be at 96 pixels per inch.
    list.SetColumnWidth(1, 70);
    EXPECT_EQ(shown(1), 105);
    ::SendMessageW(list.Handle(), LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(120, 0));
    EXPECT_EQ(list.ColumnWidth(0), 80);
    EXPECT_TRUE(NoFailureReported(fake));
}

} // namespace
