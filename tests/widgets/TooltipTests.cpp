// Hints shown as tooltips: set before or after the window exists, changed, taken away,
// and one tooltip window for all the controls of a form.
#include "WidgetTestForms.h"
#include "widgets/Controls.h"
#include "widgets/Tooltip.h"

#include <gtest/gtest.h>

#include <commctrl.h>

using namespace widgets_test;

TEST(Tooltip, HintsShowOverTheirControlsThroughOneTooltipOfTheForm) {
    TestForm form;
    widgets::Label label{form, IDC_Label};
    widgets::Button button{form, IDC_Button};
    button.SetHint(L"关闭窗口");
    EXPECT_EQ(widgets::TooltipText(button), L""); // no window yet
    form.CreateHandle();
    EXPECT_EQ(widgets::TooltipText(button), L"关闭窗口");
    EXPECT_EQ(widgets::TooltipText(label), L"");

    label.SetHint(L"Label");
    button.SetHint(L"Button");
    EXPECT_EQ(widgets::TooltipText(label), L"Label");
    EXPECT_EQ(widgets::TooltipText(button), L"Button");
    // Both in the one tooltip window the form owns.
    HWND tooltip = nullptr;
    do
        tooltip = ::FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr);
    while (tooltip && ::GetWindow(tooltip, GW_OWNER) != form.Handle());
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 2);

    label.SetHint(L"");
    EXPECT_EQ(widgets::TooltipText(label), L"");
    EXPECT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
}
