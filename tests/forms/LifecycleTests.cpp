// One status window's start sequence, timers, showing, closing and tray menu.
#include "StatForm/StatsForm.h"
#include "support/FakePlatform.h"
#include "widgets/Application.h"

#include <gtest/gtest.h>
#include <htmlhelp.h>

#include <algorithm>
#include <cstring>

namespace {

class Lifecycle : public ::testing::Test {
protected:
    Lifecycle() { index = fake.AddAdapter("eth0"); }

    std::unique_ptr<TStatsForm> Begin() {
        auto window = std::make_unique<TStatsForm>();
        window->Ordinal = 1;
        window->ShutDownAll = [this] { ++shutDowns; };
        window->BeginForm(true);
        return window;
    }

    fake::FakePlatform fake;
    DWORD index = 0;
    int shutDowns = 0;
};

TEST_F(Lifecycle, TheStartSequenceRunsEveryStepInOrder) {
    auto window = Begin();
    const std::vector<std::wstring> expected = {
        L"TStatsForm.BeginForm  begin",
        L"TStatsForm.BeginForm  Start Initialization",
        L"TStatsForm.StartForm  begin",
        L"TStatsForm.StartForm  GetNetworkParams",
        L"TStatsForm.StartForm  GetAdapterInfo",
        L"TStatsForm.StartForm  GetRasInformation",
        L"TStatsForm.StartForm  GetNetworkList",
        L"TStatsForm.StartForm  end",
        L"TStatsForm.BeginForm  Assign Labels ",
        L"TStatsForm.BeginForm  GetAdapterNetworkName",
        L"TStatsForm.BeginForm  SetupForWinVer",
        L"TStatsForm.BeginForm  CheckFirstTime",
        L"TStatsForm.StartForm  Enable Timer1",
        L"TStatsForm.StartForm  Enable Timer2",
        L"TStatsForm.BeginForm  LoadSettings",
        L"TStatsForm.BeginForm  LoadPlugins",
        L"TStatsForm.BeginForm  end",
    };
    EXPECT_EQ(fake.DebugOutput, expected);
    EXPECT_EQ(window->InterfaceIndex, index);
    EXPECT_EQ(window->StartTime, fake.Now);
    EXPECT_FALSE(window->Visible());
    EXPECT_FALSE(window->Closing);
    EXPECT_EQ(window->PageControl1.ActivePageIndex(), 0);
    EXPECT_EQ(widgets::Application::Instance().Title(), L"网络状态");
    const std::wstring& help = widgets::Application::Instance().HelpFile;
    EXPECT_TRUE(help.ends_with(L"\\kelvra.chm")) << help.c_str();
}

TEST_F(Lifecycle, TheWindowHasSixPagesInOrderAndItsClientSize) {
    auto window = Begin();
    const wchar_t* captions[] = {L"常规", L"支持", L"详细资料", L"网络", L"网络使用", L"连接"};
    ASSERT_EQ(window->PageControl1.PageCount(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(window->PageControl1.TabCaption(i), captions[i]);
        wchar_t tab[32] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = tab;
        item.cchTextMax = 32;
        ::SendMessageW(window->PageControl1.Handle(), TCM_GETITEMW, static_cast<WPARAM>(i),
                       reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(tab, captions[i]);
    }
    // A fixed dialog frame with the system menu and the title bar's help button.
    LONG style = ::GetWindowLongW(window->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(::GetWindowLongW(window->Handle(), GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
    // Laid out in pixels as designed (a dialog unit is 1.5 pixels), whichever face
    // stands in for the dialog font: "关闭(&C)" at 171, 194 units, 50 x 14 units.
    RECT close = window->Button1.Bounds();
    EXPECT_NEAR(close.left, 256, 1);
    EXPECT_NEAR(close.top, 291, 1);
    EXPECT_NEAR(close.right - close.left, 75, 1);
    EXPECT_NEAR(close.bottom - close.top, 21, 1);
    SIZE client = window->ClientSize();
    EXPECT_EQ(client.cx, 338);
    EXPECT_EQ(client.cy, 319);
    EXPECT_EQ(window->Button1.Caption(), L"关闭(&C)");
    EXPECT_EQ(window->General.Button3.Caption(), L"重置(&R)");
    EXPECT_EQ(window->General.Label15.Caption(), L"字节");
    EXPECT_FALSE(window->MainProg.Visible());
}

TEST_F(Lifecycle, PageLayoutPutsTheStatusLinesNearTheBottom) {
    auto window = Begin();
    RECT support = window->tsSupport.ClientBounds();
    EXPECT_EQ(window->Support.lbNicName.Bounds().top, support.bottom - 14);
    RECT network = window->tsNetwork.ClientBounds();
    EXPECT_EQ(window->Network.lbNetStat.Bounds().top, network.bottom - 14);
    RECT tree = window->Network.tbNetwork.Bounds();
    EXPECT_EQ(tree.top, network.top + 36);
    EXPECT_EQ(tree.bottom - tree.top, network.bottom - network.top - 52);
}

TEST_F(Lifecycle, NetworkParametersByTheThreeAnswers) {
    std::strcpy(fake.NetworkParams.HostName, "host");
    {
        auto window = Begin();
        EXPECT_STREQ(window->NetworkParams.HostName, "host");
        EXPECT_GE(window->NetworkParamsBuffer.size(), sizeof(FIXED_INFO));
    }
    fake.NetworkParamsAnswer = ERROR_BUFFER_OVERFLOW;
    {
        auto window = Begin();
        EXPECT_STREQ(window->NetworkParams.HostName, "host");
        EXPECT_EQ(window->NetworkParamsBuffer.size(), sizeof(FIXED_INFO) + sizeof(IP_ADDR_STRING));
    }
    fake.NetworkParamsAnswer = ERROR_NOT_SUPPORTED;
    {
        auto window = Begin();
        EXPECT_STREQ(window->NetworkParams.HostName, "");
        EXPECT_TRUE(std::all_of(window->NetworkParamsBuffer.begin(), window->NetworkParamsBuffer.end(),
                                [](BYTE b) { return b == 0; }));
    }
    fake.NetworkParamsAnswer = ERROR_NO_DATA;
    {
        auto window = Begin();
        EXPECT_STREQ(window->NetworkParams.HostName, "");
    }
}

struct VersionCase {
    platform::WindowsVersion version;
    const wchar_t* caption;
    bool enabled;
};

TEST_F(Lifecycle, TrayEntriesFollowTheWindowsVersion) {
    const VersionCase cases[] = {
        {platform::WindowsVersion::Windows98(), L"打开拨号网络连接", false},
        {platform::WindowsVersion::WindowsMe(), L"打开拨号网络连接", true},
        {platform::WindowsVersion::NT4(), L"打开网络连接", false},
        {platform::WindowsVersion::Windows2000(), L"打开网络连接", true},
        {platform::WindowsVersion::WindowsXP(), L"打开网络连接", true},
    };
    for (const VersionCase& c : cases) {
        fake.Version() = c.version;
        auto window = Begin();
        EXPECT_EQ(window->OpenNetConnection1.Caption(), c.caption);
        EXPECT_EQ(window->OpenNetConnection1.Enabled(), c.enabled);
        EXPECT_EQ(window->miStatusBalloon.Enabled(), c.enabled);
    }
}

TEST_F(Lifecycle, TheTrayMenuHasItsEntriesInOrderWithStatusAsDefault) {
    auto window = Begin();
    platform::UniqueMenu menu = window->PopupMenu1.BuildNative();
    const wchar_t* captions[] = {L"显示状态提示", L"关于...", L"退出(&X)",    nullptr,
                                 L"状态",         nullptr,    L"打开网络连接"};
    ASSERT_EQ(::GetMenuItemCount(menu.Get()), 7);
    for (int i = 0; i < 7; ++i) {
        wchar_t text[64] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_STATE;
        info.dwTypeData = text;
        info.cch = 64;
        ::GetMenuItemInfoW(menu.Get(), static_cast<UINT>(i), TRUE, &info);
        if (captions[i])
            EXPECT_STREQ(text, captions[i]);
        else
            EXPECT_TRUE(info.fType & MFT_SEPARATOR);
        EXPECT_EQ((info.fState & MFS_DEFAULT) != 0, i == 4);
    }
    // Pictures 0 to 3 of the menu images beside the balloon, about, status and
    // network-connections entries; none beside "退出(&X)".
    const int pictures[] = {0, 1, -1, -1, 2, -1, 3};
    for (int i = 0; i < 7; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_BITMAP;
        ::GetMenuItemInfoW(menu.Get(), static_cast<UINT>(i), TRUE, &info);
        HBITMAP expected = pictures[i] < 0 ? nullptr : window->ilMenuImages.Bitmap(pictures[i]);
        EXPECT_EQ(info.hbmpItem, expected) << i;
        if (pictures[i] >= 0) {
            EXPECT_NE(expected, nullptr);
        }
    }
}

TEST_F(Lifecycle, AHiddenMenuEntryLeavesTheMenuAndComesBackInItsPlace) {
    auto window = Begin();
    window->About1.SetVisible(false);
    EXPECT_EQ(::GetMenuItemCount(window->PopupMenu1.BuildNative().Get()), 6);
    window->About1.SetVisible(true);
    platform::UniqueMenu menu = window->PopupMenu1.BuildNative();
    EXPECT_EQ(::GetMenuItemID(menu.Get(), 1), window->About1.CommandId());
}

TEST_F(Lifecycle, CloseEscapeAndTheTitleBarOnlyHide) {
    auto window = Begin();
    window->TrayIconClick();
    ASSERT_TRUE(window->Visible());
    window->Button1.Click();
    EXPECT_FALSE(window->Visible());
    EXPECT_TRUE(::IsWindow(window->Handle()));
    EXPECT_TRUE(window->Timer2.Enabled());

    window->TrayIconClick();
    MSG escape{window->Button1.Handle(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_TRUE(::IsDialogMessageW(window->Handle(), &escape));
    EXPECT_FALSE(window->Visible());

    window->TrayIconClick();
    ::SendMessageW(window->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(window->Visible());
    ::SendMessageW(window->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(window->Visible());
    EXPECT_EQ(shutDowns, 0);
}

TEST_F(Lifecycle, AClosingWindowAllowsTheClose) {
    auto window = Begin();
    bool canClose = true;
    window->FormCloseQuery(canClose);
    EXPECT_FALSE(canClose);
    window->Closing = true;
    canClose = true;
    window->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
}

TEST_F(Lifecycle, TheStatusEntryShowsTheWindowCentredOnTheGeneralPageAndNeverHidesIt) {
    auto window = Begin();
    window->PageControl1.SetActivePage(window->tsUsage);
    window->Hide1.Click();
    ASSERT_TRUE(window->Visible());
    EXPECT_EQ(window->PageControl1.ActivePageIndex(), 0);
    RECT r{};
    ::GetWindowRect(window->Handle(), &r);
    EXPECT_EQ(r.left, ::GetSystemMetrics(SM_CXSCREEN) / 2 - (r.right - r.left) / 2);
    EXPECT_EQ(r.top, ::GetSystemMetrics(SM_CYSCREEN) / 2 - (r.bottom - r.top) / 2);

    window->PageControl1.SetActivePage(window->tsUsage);
    window->Hide1.Click();
    EXPECT_TRUE(window->Visible());
    EXPECT_EQ(window->PageControl1.ActivePageIndex(), 4); // already shown: only brought forward
}

TEST_F(Lifecycle, ALockedTrayMenuCannotStopTheProgramOrToggleTheWindow) {
    auto window = Begin();
    window->LockTrayMenu();
    EXPECT_FALSE(window->Exit1.Enabled());
    EXPECT_FALSE(window->Hide1.Enabled());
    window->Exit1.Click();
    window->Hide1.Click();
    EXPECT_EQ(shutDowns, 0);
    EXPECT_FALSE(window->Visible());
    window->UnlockTrayMenu();
    window->Exit1.Click();
    EXPECT_EQ(shutDowns, 1);
}

TEST_F(Lifecycle, BothStopMessagesSetClosingAndStop) {
    for (UINT stop : {kShutDownMessage, platform::StopRequestMessage()}) {
        shutDowns = 0;
        auto window = Begin();
        ::SendMessageW(window->Handle(), stop, 0, 0);
        EXPECT_TRUE(window->Closing) << stop;
        EXPECT_EQ(shutDowns, 1) << stop;
    }
}

TEST_F(Lifecycle, HelpOpensTheHelpFileAtTheControlsNumber) {
    auto window = Begin();
    struct Case {
        widgets::Control& control;
        ULONG_PTR topic;
    } cases[] = {{window->General.GroupBox2, 101},
                 {window->Button1, 103},
                 {window->Support.cbIP, 201},
                 {window->Support.btnRen, 204},
                 {window->Network.tbNetwork, 402}};
    for (const Case& c : cases) {
        HELPINFO info{sizeof info, HELPINFO_WINDOW, c.control.Id(), c.control.Handle(), 0, {0, 0}};
        ::SendMessageW(window->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    }
    HELPINFO none{
        sizeof none, HELPINFO_WINDOW, window->General.lbStatus.Id(), window->General.lbStatus.Handle(),
        0,           {0, 0}};
    ::SendMessageW(window->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&none));

    ASSERT_EQ(fake.HelpCalls.size(), 5u);
    EXPECT_EQ(fake.HelpCalls[2].data, 201u);
    EXPECT_EQ(fake.HelpCalls[4].data, 402u);
    EXPECT_EQ(fake.HelpCalls[0].command, static_cast<UINT>(HH_HELP_CONTEXT));
    EXPECT_TRUE(fake.HelpCalls[0].file.ends_with(L"kelvra.chm"));
}

TEST_F(Lifecycle, TheTickRunsItsStepsInOrder) {
    fake.Adapter(index).addresses = {{"10.1.1.1", "255.0.0.0"}};
    auto window = Begin();
    window->TrayIconClick();
    // Between the previous tick and this one: traffic, a new address, and the adapter
    // turned out to be a dial-up link.
    fake.Row(index).dwInOctets += 10240;
    fake.Adapter(index).addresses = {{"10.2.2.2", "255.0.0.0"}};
    fake.Adapter(index).type = MIB_IF_TYPE_PPP;
    struct Seen {
        std::wstring status, received, rate, listed;
        UINT type = 0;
    } seen;
    window->AddNewWindows = [&] {
        seen = {window->General.lbStatus.Caption(), window->General.lbByteRecd.Caption(),
                window->Usage.lbDL.Caption(), window->Support.cbIP.Item(0), window->AdapterInfo.Type};
    };
    window->Timer2Timer();
    // The counters came first, still under the old record's type; then the record; then
    // the usage rates; new windows; and only then the page, with the new address.
    EXPECT_EQ(seen.status, L"已连接");
    EXPECT_EQ(seen.received, L"10,240");
    EXPECT_EQ(seen.type, static_cast<UINT>(MIB_IF_TYPE_PPP));
    EXPECT_EQ(seen.rate, L"10.0 k/秒");
    EXPECT_EQ(seen.listed, L"10.1.1.1");
    EXPECT_EQ(window->Support.cbIP.Item(0), L"10.2.2.2");
}

TEST_F(Lifecycle, AVanishedInterfaceEndsTheTickAtOnce) {
    auto window = Begin();
    int added = 0;
    window->AddNewWindows = [&] { ++added; };
    window->Timer2Timer();
    EXPECT_EQ(added, 1);
    fake.RemoveInterface(index);
    window->Timer2Timer();
    EXPECT_EQ(added, 1);
    fake.IfTableError = ERROR_NOT_SUPPORTED;
    window->Timer2Timer();
    EXPECT_EQ(added, 1);
}

TEST_F(Lifecycle, AWindowBeyondTheTableBindsOnceItsInterfaceIsThereAndTakesItsNames) {
    auto window = std::make_unique<TStatsForm>();
    window->Ordinal = 3;
    window->BeginForm(false);
    EXPECT_FALSE(window->Bound);
    EXPECT_EQ(window->ConnectionName, L"Adapter");
    int added = 0;
    window->AddNewWindows = [&] { ++added; };
    window->Timer2Timer();
    EXPECT_EQ(added, 0);

    // A dial-up link comes up: the window finds it on its next tick.
    fake.AddAdapter("eth1");
    const DWORD ppp = fake.AddAdapter("ppp0", MIB_IF_TYPE_PPP);
    fake.DialUpConnections = {fake::MakeDialUp("ISP", "MODEM", "Modem")};
    fake.Row(ppp).dwOutOctets = 4000;
    window->Timer2Timer();
    EXPECT_TRUE(window->Bound);
    EXPECT_EQ(window->InterfaceIndex, ppp);
    EXPECT_EQ(window->ConnectionName, L"ISP");
    EXPECT_EQ(window->Caption(), L"ISP 状态");
    ASSERT_TRUE(window->DialUpRecord);
    EXPECT_EQ(window->General.lbByteSent.Caption(), L"4,000");
    EXPECT_EQ(window->SentDelta, 0u);
    EXPECT_EQ(added, 1);
}

TEST_F(Lifecycle, DestructionStopsBothTimersAndReleasesWhatTheWindowHolds) {
    auto window = Begin();
    HWND h = window->Handle();
    window->DestroyHandle();
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_FALSE(window->Timer1.Enabled());
    EXPECT_FALSE(window->Timer2.Enabled());
    EXPECT_TRUE(window->NetworkParamsBuffer.empty());
    EXPECT_FALSE(window->Registry.HasCurrentKey());
}

} // namespace
