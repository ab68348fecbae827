// A failing handler is abandoned and reported; the program goes on.
#include "NoFailures.h"
#include "WidgetTestForms.h"
#include "widgets/Controls.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace widgets_test;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(Failures, AnExceptionInAHandlerStopsInItsWindowProcedureAndIsReported) {
    fake::FakePlatform fake;
    TestForm form;
    widgets::Button button{form, IDC_Button};
    widgets::Label label{form, IDC_Label};
    Probe probe{form, IDC_Probe};
    button.OnClick = [] { throw std::runtime_error("click failed"); };
    label.OnMouseDown = [](UINT, WPARAM) { throw std::runtime_error("press failed"); };
    probe.OnWindowMessage = [](UINT msg) {
        if (msg == WM_APP)
            throw std::runtime_error("probe failed");
    };
    form.CreateHandle();
    EXPECT_TRUE(NoFailureReported(fake));

    // The form's dialog procedure, a subclassed control, a window of our own class.
    ::SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(IDC_Button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(button.Handle()));
    ::SendMessageW(label.Handle(), WM_LBUTTONDOWN, 0, 0);
    ::SendMessageW(probe.Handle(), WM_APP, 0, 0);

    EXPECT_THAT(
        ReportedFailures(fake),
        ElementsAre(AllOf(HasSubstr(L"TWidgetTestForm"), HasSubstr(L"0x0111"), HasSubstr(L"click failed")),
                    AllOf(HasSubstr(L"Label"), HasSubstr(L"press failed")),
                    AllOf(HasSubstr(L"TWidgetProbe"), HasSubstr(L"probe failed"))));
    EXPECT_FALSE(NoFailureReported(fake));
    // Still answering.
    ::SetWindowTextW(form.Handle(), L"alive");
    EXPECT_EQ(form.Caption(), L"alive");
}
