// Messages from a child go back to the control that owns it, and the dialog's caller
// gets the control's answer by the dialog procedure's rules.
#include "WidgetTestForms.h"
#include "widgets/Control.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace widgets_test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// Answers every message reflected to it with Answer.
class Reflector : public widgets::Control {
public:
    using Control::Control;
    std::vector<UINT> Got;
    LRESULT Answer = 0;

protected:
    bool HandleReflected(UINT msg, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& result) override {
        Got.push_back(msg);
        result = Answer;
        return true;
    }
};

} // namespace

TEST(Reflection, AChildsMessagesReachItsControlAndItsAnswerReachesTheCaller) {
    TestForm form;
    Reflector label{form, IDC_Label};
    form.CreateHandle();
    HWND dialog = form.Handle();
    HWND child = label.Handle();
    auto childParam = reinterpret_cast<LPARAM>(child);

    NMHDR header{child, IDC_Label, NM_CLICK};
    DRAWITEMSTRUCT draw{ODT_STATIC, IDC_Label, 0, ODA_DRAWENTIRE, 0, child, nullptr, {}, 0};
    MEASUREITEMSTRUCT measure{ODT_LISTBOX, IDC_Label, 0, 0, 0, 0};
    COMPAREITEMSTRUCT compare{ODT_LISTBOX, IDC_Label, child, 0, 0, 1, 0, 0};
    auto brush = reinterpret_cast<LRESULT>(::GetStockObject(GRAY_BRUSH));
    struct Case {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT answer;
    };
    const Case cases[] = {
        // Answered as the dialog procedure's return value:
        {WM_CTLCOLORSTATIC, 0, childParam, brush},
        {WM_CTLCOLORBTN, 0, childParam, brush},
        {WM_COMPAREITEM, IDC_Label, reinterpret_cast<LPARAM>(&compare), -1},
        {WM_VKEYTOITEM, VK_DOWN, childParam, -2},
        {WM_CHARTOITEM, 'a', childParam, 3},
        // Answered through DWLP_MSGRESULT:
        {WM_NOTIFY, IDC_Label, reinterpret_cast<LPARAM>(&header), 1234},
        {WM_COMMAND, MAKEWPARAM(IDC_Label, STN_CLICKED), childParam, 0},
        {WM_HSCROLL, SB_LINEDOWN, childParam, 0},
        {WM_VSCROLL, SB_LINEUP, childParam, 0},
        {WM_DRAWITEM, IDC_Label, reinterpret_cast<LPARAM>(&draw), TRUE},
        {WM_MEASUREITEM, IDC_Label, reinterpret_cast<LPARAM>(&measure), TRUE},
    };
    for (const Case& c : cases) {
        label.Answer = c.answer;
        label.Got.clear();
        // A stale result that a wrong rule would hand back instead.
        ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0x5A5A);
        EXPECT_EQ(::SendMessageW(dialog, c.msg, c.wParam, c.lParam), c.answer)
            << "message 0x" << std::hex << c.msg;
        EXPECT_THAT(label.Got, ElementsAre(c.msg)) << "message 0x" << std::hex << c.msg;
    }
}

TEST(Reflection, TheFormSeesAMeasureRequestWithoutItsRecordFirst) {
    // The status window's stop request is WM_MEASUREITEM with no record.
    TestForm form;
    Reflector label{form, IDC_Label};
    bool stopSeen = false;
    form.OnMessage = [&](UINT msg, WPARAM, LPARAM lParam, LRESULT&) {
        stopSeen = stopSeen || (msg == WM_MEASUREITEM && lParam == 0);
        return stopSeen;
    };
    form.CreateHandle();
    ::SendMessageW(form.Handle(), WM_MEASUREITEM, 0, 0);
    EXPECT_TRUE(stopSeen);
    EXPECT_THAT(label.Got, IsEmpty());
}
