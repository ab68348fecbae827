// The Support page: addresses, gateway, DHCP, type, release and renew.
#include "support/FakePlatform.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

namespace {

class SupportPage : public ::testing::Test {
protected:
    SupportPage() { index = fake.AddAdapter("  Intel(R) PRO/1000\t "); }
    fake::FakeAdapter& Adapter() { return fake.Adapter(index); }
    void ShowAndTick() {
        window->TrayIconClick();
        window->Timer2Timer();
    }

    fake::FakePlatform fake;
    DWORD index = 0;
    std::unique_ptr<TStatsForm> window;
};

TEST_F(SupportPage, OneUnsetAddressIsListedWithItsMask) {
    window = fake::BeginWindow();
    ASSERT_EQ(window->Support.cbIP.Count(), 1);
    EXPECT_EQ(window->Support.cbIP.Item(0), L"0.0.0.0");
    EXPECT_EQ(window->Support.cbIP.ItemIndex(), 0);
    EXPECT_EQ(window->Support.Label6.Caption(), L"0.0.0.0");
    EXPECT_EQ(window->Support.lbNicName.Caption(), L"Intel(R) PRO/1000");
    EXPECT_EQ(window->Support.Label18.Caption(), L"以太网");
    EXPECT_EQ(window->Support.lbStatus2.Caption(), L"操作");
}

TEST_F(SupportPage, ThreeAddressesInChainOrderAndAChoiceThatSurvivesTheRefresh) {
    Adapter().addresses = {
        {"10.0.0.1", "255.0.0.0"}, {"10.0.1.1", "255.255.0.0"}, {"10.0.2.1", "255.255.255.0"}};
    Adapter().gateway = "10.0.0.254";
    window = fake::BeginWindow();
    ASSERT_EQ(window->Support.cbIP.Count(), 3);
    EXPECT_EQ(window->Support.cbIP.Item(2), L"10.0.2.1");
    EXPECT_EQ(window->Support.Label4.Caption(), L"10.0.0.254");

    window->Support.cbIP.SetItemIndex(2);
    window->cbIPChange();
    EXPECT_EQ(window->Support.Label6.Caption(), L"255.255.255.0");
    ShowAndTick();
    EXPECT_EQ(window->Support.cbIP.ItemIndex(), 2);
    EXPECT_EQ(window->Support.Label6.Caption(), L"255.255.255.0");

    // Fewer addresses than the choice: the last one that is left.
    Adapter().addresses.resize(2);
    window->Timer2Timer();
    EXPECT_EQ(window->Support.cbIP.ItemIndex(), 1);
    EXPECT_EQ(window->Support.Label6.Caption(), L"255.255.0.0");
    EXPECT_EQ(window->Support.SelectedAddressIndex, 1);
}

TEST_F(SupportPage, ARefreshWithTheSameAddressesLeavesTheListAlone) {
    Adapter().addresses = {{"10.0.0.1", "255.0.0.0"}, {"10.0.1.1", "255.255.0.0"}};
    window = fake::BeginWindow();
    // A mark on the item shows whether the list was rebuilt under a user who has it open.
    ::SendMessageW(window->Support.cbIP.Handle(), CB_SETITEMDATA, 1, 42);
    ShowAndTick();
    EXPECT_EQ(::SendMessageW(window->Support.cbIP.Handle(), CB_GETITEMDATA, 1, 0), 42);
    Adapter().addresses[1].first = "10.0.1.2";
    window->Timer2Timer();
    EXPECT_EQ(window->Support.cbIP.Item(1), L"10.0.1.2");
    EXPECT_NE(::SendMessageW(window->Support.cbIP.Handle(), CB_GETITEMDATA, 1, 0), 42);
}

TEST_F(SupportPage, DhcpOnAndOff) {
    Adapter().dhcp = false;
    window = fake::BeginWindow();
    EXPECT_EQ(window->Support.Label7.Caption(), L"否");
    EXPECT_FALSE(window->Support.btnRel.Visible());
    EXPECT_FALSE(window->Support.btnRen.Visible());
    EXPECT_FALSE(window->Support.Label10.Visible());

    Adapter().dhcp = true;
    Adapter().dhcpServer = "10.0.0.53";
    ShowAndTick();
    EXPECT_EQ(window->Support.Label7.Caption(), L"是");
    EXPECT_TRUE(window->Support.btnRel.Visible());
    EXPECT_TRUE(window->Support.btnRen.Visible());
    EXPECT_TRUE(window->Support.Label9.Visible());
    EXPECT_TRUE(window->Support.Label10.Visible());
    EXPECT_EQ(window->Support.Label10.Caption(), L"10.0.0.53");

    // Off again: the buttons go, but the server's line stays as it was.
    Adapter().dhcp = false;
    window->Timer2Timer();
    EXPECT_EQ(window->Support.Label7.Caption(), L"否");
    EXPECT_FALSE(window->Support.btnRel.Visible());
    EXPECT_TRUE(window->Support.Label9.Visible());
    EXPECT_TRUE(window->Support.Label10.Visible());
}

TEST_F(SupportPage, AHiddenWindowRefreshesItsRecordButNotThePage) {
    window = fake::BeginWindow();
    Adapter().addresses = {{"10.9.9.9", "255.0.0.0"}};
    window->Timer2Timer();
    EXPECT_EQ(std::string(window->AdapterInfo.IpAddressList.IpAddress.String), "10.9.9.9");
    EXPECT_EQ(window->Support.cbIP.Item(0), L"0.0.0.0");
}

TEST_F(SupportPage, TypeNamesAndTheIconOffset) {
    struct Case {
        UINT type;
        const wchar_t* name;
        int offset;
    } cases[] = {{6, L"以太网", 0},
                 {24, L"Software Loopback", 0},
                 {144, L"IEEE1394/FireWire", 0},
                 {23, L"PPP", 4},
                 {28, L"SLIP", 4},
                 {1, L"其他", 0},
                 {145, L"未知 (145)", 0}};
    window = fake::BeginWindow();
    for (const Case& c : cases) {
        Adapter().type = c.type;
        window->GetAdapterInfo();
        window->AssignLabels();
        EXPECT_EQ(window->Support.Label18.Caption(), c.name);
        EXPECT_EQ(window->IconOffset, c.offset);
    }
}

TEST_F(SupportPage, BeforeAnyRecordThePageShowsOneEmptyAddress) {
    fake.Adapters.clear();
    window = fake::BeginWindow();
    ASSERT_EQ(window->Support.cbIP.Count(), 1);
    EXPECT_EQ(window->Support.cbIP.Item(0), L"");
    EXPECT_EQ(window->Support.Label7.Caption(), L"否");
    EXPECT_EQ(window->Support.Label18.Caption(), L"");
    EXPECT_EQ(window->Support.Label4.Caption(), L"");
}

TEST_F(SupportPage, TheWindowKeepsItsOwnCopyOfTheAddresses) {
    Adapter().addresses = {{"10.0.0.1", "255.0.0.0"}, {"10.0.1.1", "255.255.0.0"}};
    window = fake::BeginWindow();
    const IP_ADDR_STRING* second = window->AdapterInfo.IpAddressList.Next;
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second, &window->AddressChain[1]);
    EXPECT_STREQ(second->IpAddress.String, "10.0.1.1");
    EXPECT_EQ(second->Next, nullptr);
    EXPECT_EQ(window->AdapterInfo.Next, nullptr);
}

TEST_F(SupportPage, ReleaseAndRenewPassTheInterfaceAndClearTheProgressText) {
    window = fake::BeginWindow();
    window->Support.btnRel.Click();
    window->Support.btnRen.Click();
    ASSERT_EQ(fake.AddressRequests.size(), 2u);
    EXPECT_TRUE(fake.AddressRequests[0].release);
    EXPECT_FALSE(fake.AddressRequests[1].release);
    EXPECT_EQ(fake.AddressRequests[0].index, index);
    EXPECT_EQ(fake.AddressRequests[1].name, window->InterfaceName);
    EXPECT_FALSE(window->Support.lbRelRenText.Visible());
    EXPECT_EQ(window->Support.lbRelRenText.Caption(), L"");
}

TEST_F(SupportPage, ALongInterfaceNameIsCutForReleaseAndRenew) {
    fake.InterfaceNames = {{index, std::wstring(200, L'n')}};
    window = fake::BeginWindow();
    window->Support.btnRel.Click();
    ASSERT_EQ(fake.AddressRequests.size(), 1u);
    EXPECT_EQ(fake.AddressRequests[0].name, std::wstring(126, L'n'));
}

TEST_F(SupportPage, SystemsWithoutTheHelperShowTheNtOnlyNotice) {
    fake.AdaptersInfoError = ERROR_NOT_SUPPORTED;
    window = fake::BeginWindow();
    EXPECT_FALSE(window->IpHelperSupported);
    EXPECT_TRUE(window->Support.lbNT.Visible());
    EXPECT_EQ(window->Support.lbNT.Caption(), L"此支持页面仅可在 Windows NT 操作系统中使用。");
    EXPECT_FALSE(window->Support.GroupBox1.Visible());
    EXPECT_FALSE(window->Support.cbIP.Visible());
    EXPECT_FALSE(window->Support.btnRel.Visible());
    EXPECT_FALSE(window->Support.lbNicName.Visible());
    EXPECT_TRUE(window->Support.btnCommands.Visible());
}

TEST_F(SupportPage, TheExtraCommandsMenu) {
    window = fake::BeginWindow();
    platform::UniqueMenu menu = window->Support.pmCommands.BuildNative();
    // Without plug-ins the menu ends in its last command, not in their separator.
    ASSERT_EQ(::GetMenuItemCount(menu.Get()), 4);
    wchar_t text[64] = {};
    ::GetMenuStringW(menu.Get(), 0, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"修改 ARP 表");
    ::GetMenuStringW(menu.Get(), 2, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"适配器选项");
    ::GetMenuStringW(menu.Get(), 3, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"流量统计...");
    EXPECT_EQ(window->Support.btnCommands.Caption(), L"附加选项");
}

} // namespace
