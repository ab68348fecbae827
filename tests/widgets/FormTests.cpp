// Modal forms and tool windows that go when they are closed.
#include "NoFailures.h"
#include "WidgetTestForms.h"
#include "widgets/Application.h"
#include "widgets/Controls.h"
#include "widgets/ToolWindows.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

using namespace widgets_test;
using ::testing::ElementsAre;

namespace {

constexpr UINT kShowDialog = WM_APP + 1;
constexpr UINT kAct = WM_APP + 2;

class ModalForm : public ::testing::Test {
protected:
    ModalForm() {
        owner.CreateHandle();
        owner.Show();
        // Made as a top-level window: showing it modally names the window it belongs to.
        dialog.CreateHandle();
    }
    ~ModalForm() override { EXPECT_TRUE(NoFailureReported(fake)); }

    // Runs action from the dialog's modal loop.
    void WhenShown(std::function<void()> action) {
        dialog.OnMessage = [action](UINT msg, WPARAM, LPARAM, LRESULT&) {
            if (msg != kAct)
                return false;
            action();
            return true;
        };
        ::PostMessageW(dialog.Handle(), kAct, 0, 0);
    }

    // Shows the dialog from inside a handler of its owner, as a menu command does.
    int ShowFromOwnersHandler() {
        int result = 0;
        owner.OnMessage = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
            if (msg != kShowDialog)
                return false;
            result = dialog.ShowModal(owner);
            return true;
        };
        ::SendMessageW(owner.Handle(), kShowDialog, 0, 0);
        return result;
    }

    bool OwnerEnabled() const { return ::IsWindowEnabled(owner.Handle()) != FALSE; }

    fake::FakePlatform fake;
    TestForm owner;
    TestForm dialog;
};

} // namespace

TEST_F(ModalForm, ReturnsItsResultOwnedAndWithTheOwnerDisabledMeanwhileAndEnabledBeforeItHides) {
    bool ownedMeanwhile = false;
    bool ownerEnabledMeanwhile = true;
    bool ownerEnabledAtHide = false;
    WhenShown([&] {
        ownedMeanwhile = ::GetWindow(dialog.Handle(), GW_OWNER) == owner.Handle();
        ownerEnabledMeanwhile = OwnerEnabled();
        dialog.SetModalResult(42);
    });
    dialog.OnHide = [&] { ownerEnabledAtHide = OwnerEnabled(); };
    EXPECT_EQ(ShowFromOwnersHandler(), 42);
    EXPECT_TRUE(ownedMeanwhile);
    EXPECT_FALSE(ownerEnabledMeanwhile);
    EXPECT_TRUE(ownerEnabledAtHide);
    EXPECT_FALSE(dialog.Visible());
}

TEST_F(ModalForm, ClosingItOrEscapeEndsItWithCancel) {
    const std::pair<UINT, WPARAM> closes[] = {{WM_CLOSE, 0}, {WM_COMMAND, IDCANCEL}};
    for (auto [msg, wParam] : closes) {
        ::PostMessageW(dialog.Handle(), msg, wParam, 0);
        EXPECT_EQ(ShowFromOwnersHandler(), IDCANCEL) << "message " << msg;
        EXPECT_TRUE(OwnerEnabled());
    }
}

TEST_F(ModalForm, AStopRequestMeanwhileEndsIt) {
    WhenShown([] { widgets::Application::Instance().Terminate(); });
    EXPECT_EQ(ShowFromOwnersHandler(), IDCANCEL);
    EXPECT_TRUE(OwnerEnabled());
    EXPECT_TRUE(widgets::Application::Instance().Terminated());
}

namespace {

class ToolForm : public TestForm {
public:
    explicit ToolForm(int& deleted) : deleted_(deleted) {}
    ~ToolForm() override { ++deleted_; }
    widgets::Button Button{*this, IDC_Button};

private:
    int& deleted_;
};

class OtherToolForm : public TestForm {};

} // namespace

TEST(ToolWindows, AClosedOneGoesOnceControlIsBackInTheMessageLoop) {
    fake::FakePlatform fake;
    int deleted = 0;
    widgets::ToolWindows tools;
    std::vector<widgets::Form*> closed;
    tools.OnClosed = [&](widgets::Form& form) { closed.push_back(&form); };
    ToolForm& tool = tools.Add<ToolForm>(deleted);
    tool.CreateHandle();
    tool.Show();
    HWND hwnd = tool.Handle();
    bool intactAfterClose = false;
    tool.Button.OnClick = [&] {
        tool.Close();
        intactAfterClose = deleted == 0 && ::IsWindow(hwnd) && !tool.Visible();
    };
    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_Button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(tool.Button.Handle()));

    EXPECT_TRUE(intactAfterClose);
    EXPECT_THAT(closed, ElementsAre(&tool));
    EXPECT_EQ(tools.Count(), 0u);
    widgets::Application::Instance().ProcessMessages();
    EXPECT_EQ(deleted, 1);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_TRUE(NoFailureReported(fake));
}

TEST(ToolWindows, OneOfAKindIsFoundAndWhatIsLeftGoesWithTheCollection) {
    fake::FakePlatform fake;
    int deleted = 0;
    HWND hwnd = nullptr;
    {
        widgets::ToolWindows tools;
        ToolForm& tool = tools.Add<ToolForm>(deleted);
        tool.CreateHandle();
        hwnd = tool.Handle();
        EXPECT_EQ(tools.Find<ToolForm>(), &tool);
        EXPECT_EQ(tools.Find<OtherToolForm>(), nullptr);
    }
    EXPECT_EQ(deleted, 1);
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(FormLookup, FindsOnlyThisProgramsShownFormsByClassAndCaption) {
    fake::FakePlatform fake;
    TestForm form;
    form.CreateHandle();
    form.SetCaption(L"lookup");
    EXPECT_EQ(widgets::Form::FindOpen(L"TWidgetTestForm", L"lookup"), nullptr); // not shown yet
    form.Show();
    EXPECT_EQ(widgets::Form::FindOpen(L"TWidgetTestForm", L"lookup"), &form);
    EXPECT_EQ(widgets::Form::FindOpen(L"TWidgetTestForm", nullptr), &form);
    EXPECT_EQ(widgets::Form::FindOpen(L"TWidgetTestForm", L"another"), nullptr);
    // A window of our process that is no form.
    HWND plain = ::CreateWindowExW(0, L"Static", L"lookup", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                   nullptr);
    EXPECT_EQ(widgets::Form::FromHandle(plain), nullptr);
    ::DestroyWindow(plain);
    form.DestroyHandle();
    EXPECT_EQ(widgets::Form::FindOpen(L"TWidgetTestForm", L"lookup"), nullptr);
}

TEST(FormLookup, AFormCentresOverItsOwner) {
    fake::FakePlatform fake;
    TestForm owner;
    TestForm dialog;
    owner.CreateHandle();
    ::SetWindowPos(owner.Handle(), nullptr, 100, 80, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    dialog.CreateHandle(owner.Handle());
    ::SetWindowPos(dialog.Handle(), nullptr, 0, 0, 200, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    dialog.CenterOnOwner();
    RECT r{};
    ::GetWindowRect(dialog.Handle(), &r);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 180);
}
