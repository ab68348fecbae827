// The ARP table window over a scripted cache: its header and rows, adding through the
// dialog, removing, flushing, and its life beside the status window.
#include "WhileModal.h"
#include "frmARP/AddARP.h"
#include "frmARPlst/ArpList.h"
#include "frmARPlst/ArpText.h"
#include "support/FakePlatform.h"
#include "support/Windows.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <stdexcept>

using ::testing::ElementsAre;

namespace {

MIB_IPNETROW Entry(DWORD index, std::array<BYTE, 4> address, std::array<BYTE, 6> mac, DWORD type,
                   DWORD macLength = 6) {
    MIB_IPNETROW row{};
    row.dwIndex = index;
    std::memcpy(&row.dwAddr, address.data(), 4);
    std::memcpy(row.bPhysAddr, mac.data(), mac.size());
    row.dwPhysAddrLen = macLength;
    row.dwType = type;
    return row;
}

std::vector<std::wstring> Column(const widgets::ListView& list, int column) {
    std::vector<std::wstring> texts;
    for (int row = 0; row < list.Count(); ++row)
        texts.push_back(list.Text(row, column));
    return texts;
}

class ArpList : public ::testing::Test {
protected:
    ArpList() {
        index = fake.AddAdapter("veth");
        fake.Adapter(index).addresses = {{"192.168.0.5", "255.255.255.0"}};
        fake.ArpTable = {
            Entry(index, {192, 168, 0, 9}, {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF}, 3),
            Entry(7, {10, 0, 0, 1}, {0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}, 4),
            Entry(index, {192, 168, 0, 77}, {}, 2, 0),
        };
    }
    TArpListForm& Open() {
        window = fake::BeginWindow();
        window->ConnectionName = L"本地连接";
        window->AddARPEntry1Click();
        TArpListForm* form = window->ToolForms.Find<TArpListForm>();
        if (!form)
            throw std::runtime_error("no ARP window");
        return *form;
    }
    // Answers the add dialog as the user would: address texts, a type position (or
    // the one it shows with), then OK.
    void AddThroughDialog(const std::wstring& physical, const std::wstring& address, int typePosition = -1) {
        bool answered = false;
        fake::WhenOpen<TAddARP>(L"TAddARP", [&](TAddARP& dialog) {
            EXPECT_EQ(dialog.cbType.Text(), L"动态");
            EXPECT_FALSE(dialog.btnOK.Enabled());
            dialog.Edit1.SetText(physical);
            dialog.IPEdit1.SetText(address);
            if (typePosition >= 0) {
                dialog.cbType.SetItemIndex(typePosition);
                dialog.CheckOK();
            }
            answered = dialog.btnOK.Enabled();
            dialog.btnOK.Click();
            if (!answered)
                dialog.btnCancel.Click();
        });
        form->Button1Click();
        EXPECT_TRUE(answered);
    }

    fake::FakePlatform fake;
    DWORD index = 0;
    std::unique_ptr<TStatsForm> window;
    TArpListForm* form = nullptr;
};

} // namespace

TEST(ArpText, TypeNamesBothWaysAndAnUnknownName) {
    const std::pair<DWORD, const wchar_t*> names[] = {
        {1, L"Other"}, {2, L"Invalid"}, {3, L"Dynamic"}, {4, L"Static"}};
    for (auto [type, name] : names) {
        EXPECT_EQ(arp::TypeName(type), name);
        EXPECT_EQ(arp::TypeNumber(name), type);
    }
    EXPECT_EQ(arp::TypeNumber(L"sTaTiC"), 4u);
    EXPECT_EQ(arp::TypeNumber(L"Permanent"), 0u);
    EXPECT_EQ(arp::TypeName(9), L"");
}

TEST(ArpText, DottedCaptionsReadBackWithNonNumbersAsZero) {
    const std::pair<const wchar_t*, std::array<BYTE, 4>> cases[] = {{L"192.168.0.9", {192, 168, 0, 9}},
                                                                    {L"10.x.3.4", {10, 0, 3, 4}},
                                                                    {L"1.2", {1, 2, 0, 0}},
                                                                    {L"", {0, 0, 0, 0}}};
    for (auto [text, bytes] : cases) {
        DWORD address = arp::DottedToAddress(text);
        EXPECT_EQ(std::memcmp(&address, bytes.data(), 4), 0) << text;
    }
    EXPECT_EQ(arp::AddressToDotted(arp::DottedToAddress(L"172.16.254.3")), L"172.16.254.3");
}

TEST(ArpText, PhysicalAddressAndHeader) {
    const BYTE mac[8] = {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF, 0x12, 0x34};
    EXPECT_EQ(arp::PhysicalAddressText(mac, 6), L"00-0C-29-AB-CD-EF");
    EXPECT_EQ(arp::PhysicalAddressText(mac, 8), L"00-0C-29-AB-CD-EF");
    EXPECT_EQ(arp::PhysicalAddressText(mac, 0), L"");
    EXPECT_EQ(arp::InterfaceHeader(L"192.168.0.5", 2), L"地址 192.168.0.5 于界面 0x0000002");
    EXPECT_EQ(arp::InterfaceHeader(L"0.0.0.0", 0xABCDEF12), L"地址 0.0.0.0 于界面 0xABCDEF12");
}

TEST(AddArpResults, SixteenHexCharactersHighHalfFirstAndTypesByPosition) {
    auto bytes = TAddARP::HexBytes(L"000c29ABCDEF0000");
    ASSERT_TRUE(bytes);
    EXPECT_THAT(*bytes, ElementsAre(0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF, 0x00, 0x00));
    EXPECT_FALSE(TAddARP::HexBytes(L"000C29ABCDEF"));
    EXPECT_FALSE(TAddARP::HexBytes(L"000C29ABCDEF00-0"));
    EXPECT_FALSE(TAddARP::HexBytes(L"000C29ABCDEF000g"));
    EXPECT_EQ(TAddARP::TypeAt(0), 4u);
    EXPECT_EQ(TAddARP::TypeAt(1), 3u);
    EXPECT_EQ(TAddARP::TypeAt(2), 2u);
    EXPECT_EQ(TAddARP::TypeAt(3), 1u);
}

TEST_F(ArpList, ShowsTheHeaderAndEveryInterfacesRowsSortedByAddress) {
    form = &Open();
    EXPECT_EQ(form->Caption(), L"地址解析协议(ARP)");
    EXPECT_EQ(form->lbInterface.Caption(), L"地址 192.168.0.5 于界面 0x0000002");
    EXPECT_THAT(Column(form->ARPList, 0), ElementsAre(L"10.0.0.1", L"192.168.0.9", L"192.168.0.77"));
    EXPECT_THAT(Column(form->ARPList, 1), ElementsAre(L"AA-BB-CC-DD-EE-FF", L"00-0C-29-AB-CD-EF", L""));
    EXPECT_THAT(Column(form->ARPList, 2), ElementsAre(L"Static", L"Dynamic", L"Invalid"));
    // Asked once for the size with room for one row, then with the size it gave.
    ASSERT_GE(fake.ArpTableSizesAsked.size(), 2u);
    EXPECT_EQ(fake.ArpTableSizesAsked[0], 28u);
}

TEST_F(ArpList, AFailingOrEmptyTableLeavesTheListEmpty) {
    fake.ArpTableError = ERROR_NOT_SUPPORTED;
    form = &Open();
    EXPECT_EQ(form->ARPList.Count(), 0);
    fake.ArpTableError = NO_ERROR;
    fake.ArpTable.clear();
    form->FillArpList();
    EXPECT_EQ(form->ARPList.Count(), 0);
}

TEST_F(ArpList, AddingWithTheTypeShownCreatesADynamicEntryAndReadsTheListAgain) {
    form = &Open();
    std::size_t reads = fake.ArpTableSizesAsked.size();
    AddThroughDialog(L"000C29ABCDEF0000", L"192.168.0.20");
    ASSERT_EQ(fake.CreatedArpEntries.size(), 1u);
    const MIB_IPNETROW& made = fake.CreatedArpEntries[0];
    EXPECT_EQ(made.dwIndex, index);
    EXPECT_EQ(made.dwType, 3u);
    EXPECT_EQ(made.dwPhysAddrLen, 6u);
    EXPECT_EQ(arp::AddressToDotted(made.dwAddr), L"192.168.0.20");
    EXPECT_THAT(made.bPhysAddr, ElementsAre(0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF, 0x00, 0x00));
    EXPECT_GT(fake.ArpTableSizesAsked.size(), reads);
    EXPECT_TRUE(fake.MessageBoxes.empty());
}

TEST_F(ArpList, AnAddThePlatformRefusesShowsTheErrorAndLeavesTheList) {
    fake.CreateArpAnswer = ERROR_ACCESS_DENIED;
    form = &Open();
    std::size_t reads = fake.ArpTableSizesAsked.size();
    AddThroughDialog(L"0123456789abcdef", L"10.1.2.3", 0);
    ASSERT_EQ(fake.CreatedArpEntries.size(), 1u);
    EXPECT_EQ(fake.CreatedArpEntries[0].dwType, 4u);
    ASSERT_EQ(fake.MessageBoxes.size(), 1u);
    EXPECT_EQ(fake.MessageBoxes[0].text, L"为适配器添加项目到 ARP 表时发生错误\n\r本地连接");
    EXPECT_EQ(fake.MessageBoxes[0].caption, L"Error");
    EXPECT_EQ(fake.MessageBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(fake.ArpTableSizesAsked.size(), reads);
}

TEST_F(ArpList, TheDialogWaitsForAFullAddressAndAValidIp) {
    form = &Open();
    bool checked = false;
    fake::WhenOpen<TAddARP>(L"TAddARP", [&](TAddARP& dialog) {
        EXPECT_EQ(dialog.IPEdit1.Text(), L"0.0.0.0");
        dialog.Edit1.SetText(L"000C29ABCDEF");
        EXPECT_FALSE(dialog.btnOK.Enabled());
        dialog.Edit1.SetText(L"000C29ABCDEF0000");
        EXPECT_TRUE(dialog.btnOK.Enabled());
        dialog.IPEdit1.Octet(2).SetText(L"");
        EXPECT_FALSE(dialog.btnOK.Enabled());
        checked = true;
        dialog.btnCancel.Click();
    });
    form->Button1Click();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(fake.CreatedArpEntries.empty());
}

TEST_F(ArpList, F1OrTheHelpButtonOnAPartOfTheAddressOpensTheAddressTopic) {
    form = &Open();
    fake::WhenOpen<TAddARP>(L"TAddARP", [&](TAddARP& dialog) {
        TIPEdit& address = dialog.IPEdit1;
        // What the system makes of F1 for the window with the focus (WM_KEYF1).
        constexpr UINT kF1Pressed = 0x004D;
        ::SendMessageW(address.Octet(2).Handle(), kF1Pressed, 0, 0);
        // The help button's click on an octet and on a dot.
        for (HWND part : {address.Octet(0).Handle(), address.Dot(1).Handle()}) {
            HELPINFO info{sizeof info, HELPINFO_WINDOW, address.Id(), part, 0, {0, 0}};
            ::SendMessageW(part, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        }
        dialog.btnCancel.Click();
    });
    form->Button1Click();
    ASSERT_EQ(fake.HelpCalls.size(), 3u);
    for (const auto& call : fake.HelpCalls)
        EXPECT_EQ(call.data, 802u);
}

TEST_F(ArpList, RemovingTheSelectedRowPassesItsAddressAndTypeBack) {
    form = &Open();
    form->Button2Click();
    EXPECT_TRUE(fake.DeletedArpEntries.empty());
    form->ARPList.SetSelected(0, true);
    form->Button2Click();
    ASSERT_EQ(fake.DeletedArpEntries.size(), 1u);
    const MIB_IPNETROW& removed = fake.DeletedArpEntries[0];
    EXPECT_EQ(removed.dwIndex, index);
    EXPECT_EQ(removed.dwType, 4u);
    EXPECT_EQ(removed.dwPhysAddrLen, 6u);
    EXPECT_EQ(arp::AddressToDotted(removed.dwAddr), L"10.0.0.1");
}

TEST_F(ArpList, FlushingLeavesTheOldRowsInView) {
    form = &Open();
    fake.ArpTable.clear();
    form->btnClearARPClick();
    EXPECT_THAT(fake.FlushedInterfaces, ElementsAre(index));
    EXPECT_EQ(fake.FakeLibrariesLoaded, 1);
    EXPECT_EQ(fake.FakeLibrariesFreed, 1);
    EXPECT_EQ(form->ARPList.Count(), 3);
}

TEST_F(ArpList, WithoutTheFlushExportTheButtonDoesNothing) {
    fake.OfferLibrary(L"iphlpapi.dll", {});
    form = &Open();
    form->btnClearARPClick();
    EXPECT_TRUE(fake.FlushedInterfaces.empty());
    EXPECT_EQ(fake.FakeLibrariesFreed, fake.FakeLibrariesLoaded);
}

TEST_F(ArpList, TheFlushButtonNeedsWindows2000) {
    fake.Version() = platform::WindowsVersion::Windows98();
    EXPECT_FALSE(Open().btnClearARP.Enabled());
    window.reset();
    fake.Version() = platform::WindowsVersion::Windows2000();
    EXPECT_TRUE(Open().btnClearARP.Enabled());
}

TEST_F(ArpList, OneWindowForTheProgramClosedForGoodAndGoneWithItsStatusWindow) {
    form = &Open();
    window->AddARPEntry1Click();
    EXPECT_EQ(window->ToolForms.Count(), 1u);
    // Also from another status window's menu.
    fake.AddAdapter("veth2");
    auto other = fake::BeginWindow(2);
    other->AddARPEntry1Click();
    EXPECT_EQ(other->ToolForms.Count(), 0u);
    EXPECT_TRUE(form->Visible());
    form->Button4Click();
    EXPECT_EQ(window->ToolForms.Count(), 0u);

    form = &Open();
    HWND hwnd = form->Handle();
    ASSERT_TRUE(::IsWindow(hwnd));
    EXPECT_EQ(::GetWindow(hwnd, GW_OWNER), window->Handle());
    window.reset();
    EXPECT_FALSE(::IsWindow(hwnd));
}
