// The address field: typing through its octets, leaving them, its value and its layout.
#include "IPEdit/IPEdit.h"
#include "IPEdit/OctetText.h"
#include "NoFailures.h"
#include "WidgetTestResources.h"
#include "widgets/Form.h"

#include <gtest/gtest.h>

using namespace widgets_test;

namespace {

struct AddressForm : widgets::Form {
    AddressForm() : Form(L"TWidgetEditForm", IDD_EditForm) {}
    ~AddressForm() override { DestroyHandle(); }
    TIPEdit address{*this, IDC_IPEdit};
};

struct IPEditTest : ::testing::Test {
    fake::FakePlatform fake;
    AddressForm form;
    TIPEdit& ip = form.address;
    void SetUp() override {
        form.CreateHandle();
        form.Show();
    }
    void TearDown() override { EXPECT_TRUE(NoFailureReported(fake)); }
    // Keys typed into the field that has the focus, as the keyboard would.
    void Type(const std::wstring& keys) {
        for (wchar_t key : keys)
            ::SendMessageW(::GetFocus(), WM_CHAR, key, 0);
    }
    void Enter(int octet) {
        ip.Octet(octet).Focus();
        ::SendMessageW(ip.Octet(octet).Handle(), EM_SETSEL, 0, -1);
    }
    RECT Outer() const {
        RECT r{};
        ::GetWindowRect(ip.Handle(), &r);
        return r;
    }
};

} // namespace

TEST(OctetText, LeavingAFieldReducesItsNumberOrEmptiesIt) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"007", L"7"}, {L"256", L"0"}, {L"300", L"44"}, {L"255", L"255"},
        {L"", L""},     {L"ab", L""},   {L"1a", L""},    {L"99999999999", L"255"},
    };
    for (auto [typed, shown] : cases)
        EXPECT_EQ(ipedit::LeftOctet(typed), shown) << typed;
}

TEST(OctetText, WritingTheWholeFieldTakesLeadingDigitsOfUpToFourParts) {
    auto parts = ipedit::OctetsFromText(L"  10.x7.300  ");
    EXPECT_EQ(parts[0], L"10");
    EXPECT_EQ(parts[1], L"0");
    EXPECT_EQ(parts[2], L"44");
    EXPECT_FALSE(parts[3].has_value());
    parts = ipedit::OctetsFromText(L"1.2.3.4.5");
    EXPECT_EQ(parts[3], L"4");
}

TEST_F(IPEditTest, ThreeDotsShowAndEveryOctetStartsAtZero) {
    EXPECT_EQ(ip.Text(), L"0.0.0.0");
    EXPECT_TRUE(ip.ValidIP());
    EXPECT_TRUE(ip.Dot(2).Visible());
    EXPECT_FALSE(ip.Dot(3).Visible());
}

TEST_F(IPEditTest, ADotEndsAnOctetAndMovesOnWithoutBeingInserted) {
    ip.Octet(0).SetText(L"");
    ip.Octet(0).Focus();
    Type(L"192.");
    EXPECT_EQ(ip.Octet(0).Text(), L"192");
    EXPECT_EQ(::GetFocus(), ip.Octet(1).Handle());
    EXPECT_EQ(ip.Text(), L"192.0.0.0");
}

TEST_F(IPEditTest, ADotInTheLastOctetChangesNothing) {
    Enter(3);
    Type(L"7.");
    EXPECT_EQ(ip.Text(), L"0.0.0.7");
    EXPECT_EQ(::GetFocus(), ip.Octet(3).Handle());
}

TEST_F(IPEditTest, ThreeDigitsDoNotMoveOnAndLettersAreRefused) {
    Enter(1);
    Type(L"1x2-3");
    EXPECT_EQ(ip.Octet(1).Text(), L"123");
    EXPECT_EQ(::GetFocus(), ip.Octet(1).Handle());
}

TEST_F(IPEditTest, LeavingAnOctetWithThreeHundredShows44) {
    Enter(2);
    Type(L"300");
    EXPECT_FALSE(ip.ValidIP());
    ip.Octet(3).Focus();
    EXPECT_EQ(ip.Octet(2).Text(), L"44");
    EXPECT_TRUE(ip.ValidIP());
}

TEST_F(IPEditTest, AnOctetEmptiedByBackspaceIsNoAddressAndStaysEmptyWhenLeft) {
    int changes = 0;
    ip.OnChange = [&] { ++changes; };
    Enter(1);
    Type(L"\b");
    EXPECT_EQ(ip.Octet(1).Text(), L"");
    EXPECT_FALSE(ip.ValidIP());
    EXPECT_EQ(changes, 1);
    ip.Octet(2).Focus();
    EXPECT_EQ(ip.Octet(1).Text(), L"");
    EXPECT_FALSE(ip.ValidIP());
}

TEST_F(IPEditTest, ValueIsTheFirstOctetMostSignificantBothWays) {
    ip.SetText(L"192.168.0.1");
    EXPECT_EQ(ip.Value(), 3232235521u);
    ip.SetValue(0);
    ip.SetValue(3232235521u);
    EXPECT_EQ(ip.Text(), L"192.168.0.1");
    // Octets without a part keep their texts.
    ip.SetText(L"10.1");
    EXPECT_EQ(ip.Text(), L"10.1.0.1");
}

TEST_F(IPEditTest, AClickRightAfterTheDotJumpIsNotReported) {
    int clicks = 0;
    ip.OnClick = [&] { ++clicks; };
    Enter(0);
    Type(L".");
    ::SendMessageW(ip.Octet(1).Handle(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ::SendMessageW(ip.Octet(1).Handle(), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(clicks, 0);
    ::SendMessageW(ip.Octet(1).Handle(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ::SendMessageW(ip.Octet(1).Handle(), WM_LBUTTONUP, 0, 0);
    ::SendMessageW(ip.Dot(0).Handle(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(clicks, 2);
}

TEST_F(IPEditTest, DisablingTheFieldDisablesEveryPart) {
    ip.SetEnabled(false);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(ip.Octet(i).Enabled()) << i;
    EXPECT_FALSE(ip.Dot(0).Enabled());
    ip.SetEnabled(true);
    EXPECT_TRUE(ip.Octet(3).Enabled());
}

TEST_F(IPEditTest, ATinyPanelGrowsUntilFourOctetsFitSideBySide) {
    ::SetWindowPos(ip.Handle(), nullptr, 0, 0, 10, 4, SWP_NOMOVE | SWP_NOZORDER);
    RECT outer = Outer();
    EXPECT_GT(outer.right - outer.left, 10);
    EXPECT_GT(outer.bottom - outer.top, 4);
    for (int i = 0; i < 3; ++i) {
        RECT a = ip.Octet(i).Bounds(), b = ip.Octet(i + 1).Bounds();
        EXPECT_GT(a.right - a.left, 0) << i;
        EXPECT_LE(a.right, b.left) << i;
    }
    RECT client{};
    ::GetClientRect(ip.Handle(), &client);
    EXPECT_LE(ip.Octet(3).Bounds().right, client.right + 2);
}

TEST_F(IPEditTest, AWidePanelSharesItsWidthEquallyAndCentresTheOctets) {
    ::SetWindowPos(ip.Handle(), nullptr, 0, 0, 200, 30, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    ::GetClientRect(ip.Handle(), &client);
    RECT first = ip.Octet(0).Bounds(), last = ip.Octet(3).Bounds();
    EXPECT_EQ(first.right - first.left, last.right - last.left);
    EXPECT_EQ(first.left, 0);
    EXPECT_NEAR(first.top, client.bottom - first.bottom, 1);
    EXPECT_GT(last.right, client.right * 3 / 4);
}
