// The link label: its colours under the pointer, and what a click opens.
#include "NoFailures.h"
#include "URLLabel/URLLabel.h"
#include "WidgetTestForms.h"

#include <gtest/gtest.h>

using namespace widgets_test;

namespace {

class Link : public ::testing::Test {
protected:
    Link() {
        host.CreateHandle();
        link.Create(host.Handle(), RECT{0, 0, 80, 16});
        link.URL = L"https://www.quorvel.example/";
    }
    ~Link() override { EXPECT_TRUE(NoFailureReported(fake)); }
    void Send(UINT msg, int x, int y) {
        ::SendMessageW(link.Handle(), msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                       MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }

    fake::FakePlatform fake;
    TestForm host;
    TURLLabel link{host, 4711};
};

} // namespace

TEST_F(Link, StartsBlueWithItsPlaceholderCaption) {
    EXPECT_EQ(link.Caption(), L"Click me!");
    EXPECT_EQ(link.FontColor(), widgets::clBlue);
    EXPECT_EQ(link.ColorClick, widgets::clRed);
}

TEST_F(Link, AClickReleasedOnItOpensTheLinkAndShowsTheHoverColour) {
    link.ColorMoveOver = widgets::clGreen;
    Send(WM_LBUTTONDOWN, 5, 5);
    EXPECT_EQ(link.FontColor(), widgets::clRed);
    Send(WM_LBUTTONUP, 5, 5);
    ASSERT_EQ(fake.ShellExecutes.size(), 1u);
    EXPECT_EQ(fake.ShellExecutes[0].verb, L"open");
    EXPECT_EQ(fake.ShellExecutes[0].file, L"https://www.quorvel.example/");
    EXPECT_EQ(fake.ShellExecutes[0].show, SW_SHOW);
    EXPECT_EQ(link.FontColor(), widgets::clGreen);
    EXPECT_FALSE(link.Pressed());
}

TEST_F(Link, PressedMovedOffAndReleasedOutsideOpensNothing) {
    link.ColorMoveOver = widgets::clGreen;
    link.ColorNormal = widgets::clNavy;
    Send(WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(link.FontColor(), widgets::clGreen);
    Send(WM_LBUTTONDOWN, 5, 5);
    Send(WM_MOUSEMOVE, 300, 5);
    EXPECT_EQ(link.FontColor(), widgets::clNavy);
    Send(WM_LBUTTONUP, -4, 5);
    EXPECT_TRUE(fake.ShellExecutes.empty());
    EXPECT_EQ(link.FontColor(), widgets::clNavy);
    EXPECT_FALSE(link.Pressed());
}

TEST_F(Link, AReleaseWithoutAPressOpensNothing) {
    Send(WM_LBUTTONUP, 5, 5);
    EXPECT_TRUE(fake.ShellExecutes.empty());
}

TEST_F(Link, WithoutAnAddressItOpensItsCaption) {
    link.URL.clear();
    link.SetCaption(L"support@quorvel.example");
    Send(WM_LBUTTONDOWN, 5, 5);
    Send(WM_LBUTTONUP, 5, 5);
    ASSERT_EQ(fake.ShellExecutes.size(), 1u);
    EXPECT_EQ(fake.ShellExecutes[0].file, L"support@quorvel.example");
}
