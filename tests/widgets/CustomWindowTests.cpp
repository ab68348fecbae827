// Windows of our own classes: which object a window's messages reach, and when.
#include "WidgetTestForms.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

using namespace widgets_test;
using ::testing::ElementsAre;

TEST(CustomWindow, AWindowItMakesReachesItFromNcCreateToNcDestroy) {
    TestForm host;
    Probe probe{host, 1};
    host.CreateHandle();
    probe.Create(host.Handle(), RECT{0, 0, 40, 20});
    HWND hwnd = probe.Handle();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(probe.HandleAtCreate, hwnd);
    ::SendMessageW(hwnd, WM_APP, 0, 0);
    ::DestroyWindow(hwnd);
    EXPECT_THAT(probe.Got, ElementsAre(WM_NCCREATE, WM_CREATE, WM_APP, WM_NCDESTROY));
    EXPECT_EQ(probe.Handle(), nullptr);
}

TEST(CustomWindow, ATemplatesWindowIsBoundWhenItsControlAttachesAndOutlivesIt) {
    TestForm form;
    auto probe = std::make_unique<Probe>(form, IDC_Probe);
    form.CreateHandle();
    HWND hwnd = ::GetDlgItem(form.Handle(), IDC_Probe);
    ASSERT_EQ(probe->Handle(), hwnd);
    ::SendMessageW(hwnd, WM_APP, 0, 0);
    // Its creation went by before the form could bind it.
    EXPECT_THAT(probe->Got, ElementsAre(WM_APP));

    // The object may go first: the window carries on as a plain window.
    probe.reset();
    ::SetWindowTextW(hwnd, L"still here");
    wchar_t text[16] = {};
    ::GetWindowTextW(hwnd, text, 16);
    EXPECT_STREQ(text, L"still here");
}
