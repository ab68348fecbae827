// The General page and the tooltip over a few sampling ticks.
#include "support/FakePlatform.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

class GeneralPage : public ::testing::Test {
protected:
    GeneralPage() {
        index = fake.AddAdapter("eth0");
        fake.Adapter(index).addresses = {{"192.168.0.5", "255.255.255.0"}};
        Row().dwOutOctets = 1000;
        Row().dwInOctets = 5000;
        Row().dwOutUcastPkts = 10;
        Row().dwInUcastPkts = 20;
    }
    MIB_IFROW& Row() { return fake.Row(index); }
    void Tick() { window->Timer2Timer(); }
    void Begin() { window = fake::BeginWindow(); }
    HICON TrayImage(int state) const { return window->ImageList2.Icon(state); }

    fake::FakePlatform fake;
    DWORD index = 0;
    std::unique_ptr<TStatsForm> window;
};

TEST_F(GeneralPage, ANewHiddenWindowShowsTheInterfacesCountsAndUpdatesOnTheFirstTick) {
    Begin();
    EXPECT_FALSE(window->Visible());
    EXPECT_EQ(window->General.lbByteSent.Caption(), L"1,000");
    EXPECT_EQ(window->General.lbByteRecd.Caption(), L"5,000");
    EXPECT_EQ(window->General.lbSpeed.Caption(), L"100.0 Mbps");
    EXPECT_EQ(window->General.lbStatus.Caption(), L"已连接");
    EXPECT_EQ(window->General.lbPackSent.Caption(), L"10");

    Row().dwOutOctets += 1536;
    Row().dwInOctets += 10240;
    Row().dwOutUcastPkts += 2;
    Row().dwInUcastPkts += 7;
    Tick();
    EXPECT_EQ(window->General.lbByteSent.Caption(), L"2,536");
    EXPECT_EQ(window->General.lbByteRecd.Caption(), L"15,240");
    EXPECT_EQ(window->General.lbPackSent.Caption(), L"12");
    EXPECT_EQ(window->General.lbPackRecd.Caption(), L"27");
    EXPECT_EQ(window->SentDelta, 1536u);
    EXPECT_EQ(window->ReceivedDelta, 10240u);
    EXPECT_EQ(window->General.Label15.Caption(), L"字节");
}

TEST_F(GeneralPage, PacketsLeaveOutDiscardsErrorsAndUnknownProtocols) {
    Row().dwOutNUcastPkts = 5;
    Row().dwOutDiscards = 1;
    Row().dwOutErrors = 2;
    Row().dwInNUcastPkts = 4;
    Row().dwInDiscards = 1;
    Row().dwInErrors = 1;
    Row().dwInUnknownProtos = 2;
    Begin();
    EXPECT_EQ(window->SentPackets, 10u + 5 - 1 - 2);
    EXPECT_EQ(window->ReceivedPackets, 20u + 4 - 1 - 1 - 2);
}

TEST_F(GeneralPage, A32BitWrapCountsOnce) {
    Row().dwOutOctets = 4294967000u;
    Begin();
    Row().dwOutOctets = 500;
    Tick();
    EXPECT_EQ(window->SentWraps, 1);
    EXPECT_EQ(window->SentDelta, 796u);
    EXPECT_EQ(window->SentTotal, 4294967296LL + 500);
    EXPECT_EQ(window->General.lbByteSent.Caption(), L"4,294,967,796");
}

TEST_F(GeneralPage, ResetShowsZeroAtOnceAndCountsOnFromThere) {
    Begin();
    Row().dwOutOctets += 4000;
    Row().dwInOctets += 9000;
    Row().dwOutUcastPkts += 4;
    Tick();
    window->General.Button3.Click();
    EXPECT_EQ(window->General.lbByteSent.Caption(), L"0");
    EXPECT_EQ(window->General.lbByteRecd.Caption(), L"0");
    EXPECT_EQ(window->General.lbPackSent.Caption(), L"0");
    EXPECT_EQ(window->General.lbPackRecd.Caption(), L"0");
    Row().dwOutOctets += 100;
    Tick();
    EXPECT_EQ(window->General.lbByteSent.Caption(), L"100");
    window->RestoreTotals();
    EXPECT_EQ(window->General.lbByteSent.Caption(), L"5,100"); // everything the interface counted
}

TEST_F(GeneralPage, CtrlShiftClicksCorrectTheWrapCounts) {
    Begin();
    auto click = [&](widgets::Label& label, UINT message, WPARAM keys) {
        ::SendMessageW(label.Handle(), message, keys, 0);
    };
    click(window->General.lbByteRecd, WM_LBUTTONDOWN, MK_CONTROL | MK_SHIFT | MK_LBUTTON);
    EXPECT_EQ(window->ReceivedWraps, 1);
    Tick();
    EXPECT_EQ(window->ReceivedTotal, 4294967296LL + 5000);
    click(window->General.lbByteRecd, WM_MBUTTONDOWN, MK_CONTROL | MK_SHIFT | MK_MBUTTON);
    EXPECT_EQ(window->ReceivedWraps, 0);

    click(window->General.lbByteSent, WM_LBUTTONDOWN, MK_CONTROL | MK_LBUTTON); // Shift missing
    EXPECT_EQ(window->SentWraps, 0);
    click(window->General.lbByteSent, WM_MBUTTONDOWN,
          MK_CONTROL | MK_SHIFT | MK_MBUTTON); // nothing on this side
    EXPECT_EQ(window->SentWraps, 0);
    click(window->General.lbByteSent, WM_LBUTTONDOWN, MK_CONTROL | MK_SHIFT | MK_LBUTTON);
    click(window->General.lbByteSent, WM_LBUTTONDOWN, MK_CONTROL | MK_SHIFT | MK_LBUTTON);
    click(window->General.lbByteSent, WM_RBUTTONDOWN, MK_CONTROL | MK_SHIFT | MK_RBUTTON);
    EXPECT_EQ(window->SentWraps, 1);

    // The counts are 16 bits wide and wrap themselves.
    click(window->General.lbByteSent, WM_RBUTTONDOWN, MK_CONTROL | MK_SHIFT | MK_RBUTTON);
    click(window->General.lbByteSent, WM_RBUTTONDOWN, MK_CONTROL | MK_SHIFT | MK_RBUTTON);
    EXPECT_EQ(window->SentWraps, 65535);
    Tick();
    EXPECT_EQ(window->SentTotal, 65535LL * 4294967296LL + 1000);

    // A quick pair: the second press arrives as a double click and counts all the same.
    click(window->General.lbByteSent, WM_LBUTTONDOWN, MK_CONTROL | MK_SHIFT | MK_LBUTTON);
    click(window->General.lbByteSent, WM_LBUTTONDBLCLK, MK_CONTROL | MK_SHIFT | MK_LBUTTON);
    Tick();
    EXPECT_EQ(window->SentTotal, 1LL * 4294967296LL + 1000);
    for (auto [down, pair, key] : {std::tuple{WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, MK_RBUTTON},
                                   std::tuple{WM_MBUTTONDOWN, WM_MBUTTONDBLCLK, MK_MBUTTON}}) {
        window->ReceivedWraps = 2;
        click(window->General.lbByteRecd, down, MK_CONTROL | MK_SHIFT | key);
        click(window->General.lbByteRecd, pair, MK_CONTROL | MK_SHIFT | key);
        EXPECT_EQ(window->ReceivedWraps, 0) << pair;
    }
}

TEST_F(GeneralPage, ActivityPicksTheTrayImageAndTheFirstUpdateKeepsIt) {
    Begin();
    EXPECT_EQ(window->TrayIcon.Icon(), TrayImage(0));
    EXPECT_EQ(window->General.Image2.Icon(), window->ImageList1.Icon(0));
    Tick();
    EXPECT_EQ(window->TrayIcon.Icon(), TrayImage(0));
    Row().dwOutOctets += 1;
    Tick();
    EXPECT_EQ(window->TrayIcon.Icon(), TrayImage(1));
    Row().dwInOctets += 1;
    Tick();
    EXPECT_EQ(window->TrayIcon.Icon(), TrayImage(2));
    Row().dwInOctets += 1;
    Row().dwOutOctets += 1;
    Tick();
    EXPECT_EQ(window->TrayIcon.Icon(), TrayImage(3));
    EXPECT_EQ(window->General.Image2.Icon(), window->ImageList1.Icon(3));
}

TEST_F(GeneralPage, AnUnpluggedCableOnXP) {
    Begin();
    Row().dwOperStatus = 2;
    Row().dwOutOctets += 10;
    Tick();
    EXPECT_EQ(window->General.lbStatus.Caption(), L"已断开连接");
    EXPECT_EQ(window->Support.lbStatus2.Caption(), L"已断开连接");
    EXPECT_EQ(window->TrayIcon.Icon(), TrayImage(4));
    EXPECT_EQ(window->General.Image2.Icon(), window->ImageList1.Icon(4));
    EXPECT_EQ(window->TrayIcon.Hint(), window->ConnectionName + L"\n\r网络电缆未插好。");

    Row().dwOperStatus = 0;
    Tick();
    EXPECT_EQ(window->General.lbStatus.Caption(), L"已断开连接");
    EXPECT_EQ(window->Support.lbStatus2.Caption(), L"无操作");
}

TEST_F(GeneralPage, StatusTextsOnOlderSystemsAndForDialUp) {
    fake.Version() = platform::WindowsVersion::Windows98();
    Row().dwOperStatus = 1;
    Begin();
    EXPECT_EQ(window->General.lbStatus.Caption(), L"已连接");
    Row().dwOperStatus = 0;
    Tick();
    EXPECT_EQ(window->General.lbStatus.Caption(), L"已断开连接");
    Row().dwOperStatus = 5; // beyond the old table
    Tick();
    EXPECT_EQ(window->General.lbStatus.Caption(), L"未知");
    EXPECT_EQ(window->TrayIcon.Hint(), window->ConnectionName);

    fake::FakePlatform dialUp;
    DWORD ppp = dialUp.AddAdapter("WAN", MIB_IF_TYPE_PPP);
    dialUp.Row(ppp).dwOperStatus = 3;
    dialUp.Row(ppp).dwOutOctets = 100; // a counter at zero hides the first change
    dialUp.Row(ppp).dwInOctets = 100;
    auto w = fake::BeginWindow();
    EXPECT_EQ(w->General.lbStatus.Caption(), L"正在连接");
    EXPECT_EQ(w->IconOffset, 4);
    dialUp.Row(ppp).dwOutOctets += 5;
    dialUp.Row(ppp).dwInOctets += 5;
    w->Timer2Timer();
    EXPECT_EQ(w->General.Image2.Icon(), w->ImageList1.Icon(7));
    EXPECT_EQ(w->TrayIcon.Icon(), w->ImageList2.Icon(3));
}

TEST_F(GeneralPage, TheTooltipFollowsTheDisplayBits) {
    Begin();
    const std::wstring name = window->ConnectionName;
    struct Case {
        std::uint8_t bits;
        std::wstring hint;
    } cases[] = {
        {13, name + L"\n\r速度: 100.0 Mbps\n\r发送: 1,000 字节\n\r收到: 5,000 字节"},
        {8, name},
        {4, L"速度: 100.0 Mbps"},
        {1, L"发送: 1,000 字节\n\r收到: 5,000 字节"},
        {2, L"IP: 192.168.0.5"},
        {10, name + L"\n\rIP: 192.168.0.5"},
        {0, L""},
    };
    for (const Case& c : cases) {
        window->DisplaySettings.PopupDisplayType = c.bits;
        window->UpdateGeneral();
        EXPECT_EQ(window->TrayIcon.Hint(), c.hint) << int(c.bits);
    }
}

TEST_F(GeneralPage, ALongTooltipIsCutAt127BytesWithoutSplittingACharacter) {
    DWORD index2 = fake.AddAdapter();
    (void)index2;
    Begin();
    window->ConnectionName = std::wstring(70, L'连');
    window->DisplaySettings.PopupDisplayType = 8;
    window->UpdateGeneral();
    EXPECT_EQ(window->TrayIcon.Hint(), std::wstring(63, L'连'));
    window->ConnectionName = L"x" + std::wstring(70, L'连');
    window->UpdateGeneral();
    EXPECT_EQ(window->TrayIcon.Hint(), L"x" + std::wstring(63, L'连'));
}

TEST_F(GeneralPage, UnitsFollowTheByteDisplay) {
    Begin();
    Row().dwOutOctets = 1536;
    Tick();
    window->DisplaySettings.OctetDisp = 1;
    window->UpdateGeneral();
    EXPECT_EQ(window->General.lbByteSent.Caption(), L"1.5");
    EXPECT_EQ(window->General.Label15.Caption(), L"千字节");
    EXPECT_NE(window->TrayIcon.Hint().find(L"发送: 1.5 KB"), std::wstring::npos);
    window->DisplaySettings.OctetDisp = 4;
    window->UpdateGeneral();
    EXPECT_EQ(window->General.Label15.Caption(), L"动态");
    window->DisplaySettings.OctetDisp = 9;
    window->UpdateGeneral();
    EXPECT_EQ(window->General.Label15.Caption(), L"动态"); // an unknown unit leaves the caption
    EXPECT_EQ(window->General.lbByteSent.Caption(), L"");
}

TEST_F(GeneralPage, AVanishedInterfaceKeepsItsLastValues) {
    Begin();
    Row().dwOutOctets = 2048;
    Tick();
    const std::wstring hint = window->TrayIcon.Hint();
    fake.RemoveInterface(index);
    Tick();
    Tick();
    EXPECT_EQ(window->General.lbByteSent.Caption(), L"2,048");
    EXPECT_EQ(window->TrayIcon.Hint(), hint);
}

TEST_F(GeneralPage, TheTooltipsAddressIsTheFirstWhicheverIsSelected) {
    fake.Adapter(index).addresses = {{"192.168.0.5", "255.255.255.0"}, {"10.1.1.1", "255.0.0.0"}};
    Begin();
    window->DisplaySettings.PopupDisplayType = 2;
    window->Support.cbIP.SetItemIndex(1);
    window->cbIPChange();
    window->UpdateGeneral();
    EXPECT_EQ(window->Support.Label6.Caption(), L"255.0.0.0");
    EXPECT_EQ(window->TrayIcon.Hint(), L"IP: 192.168.0.5");
}

TEST_F(GeneralPage, ADialUpLinkOnWindows98ShowsItsDurationOnceItIsUp) {
    fake.Version() = platform::WindowsVersion::Windows98();
    DWORD ppp = fake.AddAdapter("WAN", MIB_IF_TYPE_PPP);
    fake.RemoveInterface(index);
    auto w = fake::BeginWindow();
    w->TrayIconClick();
    // Status 1 is "connected" for a network adapter on this system, not for a dial-up link.
    fake.Row(ppp).dwOperStatus = 1;
    fake.Now += 59.0 / 86400.0;
    w->Timer2Timer();
    EXPECT_EQ(w->General.lbDuration.Caption(), L"");
    fake.Row(ppp).dwOperStatus = 3;
    w->Timer2Timer();
    EXPECT_EQ(w->General.lbDuration.Caption(), L"00:59");
}

TEST_F(GeneralPage, TheDurationCountsFromTheStartWhileConnected) {
    Begin();
    window->TrayIconClick(); // the page fill runs while the window is shown
    fake.Now += 3661.0 / 86400.0;
    Tick();
    EXPECT_EQ(window->General.lbDuration.Caption(), L"01:01:01");
    Row().dwOperStatus = 2;
    Tick();
    EXPECT_EQ(window->General.lbDuration.Caption(), L"");
    Row().dwOperStatus = 5;
    fake.Now = window->StartTime - 1.0; // the clock was set back
    Tick();
    EXPECT_EQ(window->General.lbDuration.Caption(), L"00:00");
}

TEST_F(GeneralPage, AnUnchangedTickSendsNothingToTheTray) {
    Begin();
    Tick();
    std::size_t calls = fake.TrayCalls.size();
    Tick();
    Tick();
    EXPECT_EQ(fake.TrayCalls.size(), calls);
}

} // namespace
