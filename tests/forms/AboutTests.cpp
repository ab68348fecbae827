// The about box from the tray menu, its links, and the tray's network connections entry.
#include "AboutForm/TfrmAbout.h"
#include "support/FakePlatform.h"
#include "widgets/Application.h"
#include "widgets/Tooltip.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

namespace {

class AboutBox : public ::testing::Test {
protected:
    AboutBox() {
        fake.AddAdapter("eth0");
        window = fake::BeginWindow();
    }
    static TfrmAbout* OpenBox() {
        return dynamic_cast<TfrmAbout*>(widgets::Form::FindOpen(TfrmAbout::kClassName, TfrmAbout::kCaption));
    }

    fake::FakePlatform fake;
    std::unique_ptr<TStatsForm> window;
};

} // namespace

TEST_F(AboutBox, ASecondClickBringsTheOpenBoxForwardInsteadOfASecond) {
    window->About1.Click();
    TfrmAbout* box = OpenBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->Visible());
    EXPECT_EQ(box->Label6.Caption(), L"1.22");
    EXPECT_EQ(widgets::TooltipText(box->Button1), L"关闭窗口");
    EXPECT_EQ(box->ClientSize().cx, 430);
    EXPECT_EQ(box->ClientSize().cy, 163);

    window->About1.Click();
    EXPECT_EQ(window->AboutBoxes.Count(), 1u);
    // Also from another window's menu.
    fake.AddAdapter("eth1");
    auto other = fake::BeginWindow(2);
    other->About1.Click();
    EXPECT_EQ(OpenBox(), box);
    EXPECT_TRUE(box->Visible());
    EXPECT_EQ(window->AboutBoxes.Count() + other->AboutBoxes.Count(), 1u);
}

TEST_F(AboutBox, ItsButtonClosesAndEndsItSoTheNextClickOpensANewOne) {
    window->About1.Click();
    ASSERT_NE(OpenBox(), nullptr);
    // As the user's click: through the box's own message handling.
    TfrmAbout* box = OpenBox();
    ::SendMessageW(box->Handle(), WM_COMMAND, MAKEWPARAM(IDC_AboutButton1, BN_CLICKED),
                   reinterpret_cast<LPARAM>(box->Button1.Handle()));
    widgets::Application::Instance().ProcessMessages();
    EXPECT_EQ(OpenBox(), nullptr);
    EXPECT_EQ(window->AboutBoxes.Count(), 0u);
    window->About1.Click();
    EXPECT_NE(OpenBox(), nullptr);
}

TEST_F(AboutBox, TheMakersLinksOpenTheirAddressesThroughTheShell) {
    window->About1.Click();
    TfrmAbout* box = OpenBox();
    ASSERT_NE(box, nullptr);
    for (TURLLabel* link : {&box->URLLabel1, &box->URLLabel4}) {
        ::SendMessageW(link->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::SendMessageW(link->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    ASSERT_EQ(fake.ShellExecutes.size(), 2u);
    EXPECT_EQ(fake.ShellExecutes[0].file, L"https://www.quorvel.example/");
    EXPECT_EQ(fake.ShellExecutes[0].owner, box->Handle());
    EXPECT_EQ(fake.ShellExecutes[1].file, L"mailto:support@quorvel.example");
}

TEST_F(AboutBox, TheTrayEntryOpensTheNetworkConnectionsFolder) {
    window->OpenNetConnection1.Click();
    ASSERT_EQ(fake.OpenedFolders.size(), 1u);
    EXPECT_EQ(fake.OpenedFolders[0].first, CSIDL_CONNECTIONS);
    EXPECT_EQ(fake.OpenedFolders[0].second, L"open");
}
