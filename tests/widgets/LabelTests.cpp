// Labels in the bold weight of their page's font.
#include "WidgetTestForms.h"
#include "widgets/Controls.h"

#include <gtest/gtest.h>

using namespace widgets_test;

namespace {

LONG Weight(const widgets::Label& label) {
    LOGFONTW face{};
    auto font = reinterpret_cast<HFONT>(::SendMessageW(label.Handle(), WM_GETFONT, 0, 0));
    return font && ::GetObjectW(font, sizeof face, &face) ? face.lfWeight : -1;
}

} // namespace

TEST(Label, BoldBeforeAndAfterTheWindowExistsAndBackToTheFormsFont) {
    TestForm form;
    widgets::Label label{form, IDC_Label};
    label.SetBold(true);
    form.CreateHandle();
    EXPECT_GE(Weight(label), FW_BOLD);
    label.SetBold(false);
    EXPECT_LT(Weight(label), FW_BOLD);
    EXPECT_EQ(::SendMessageW(label.Handle(), WM_GETFONT, 0, 0),
              ::SendMessageW(form.Handle(), WM_GETFONT, 0, 0));
    label.SetBold(true);
    EXPECT_GE(Weight(label), FW_BOLD);
}
