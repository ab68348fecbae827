// The adapter details window: its rows (IPv6 ones included), the lease times in the
// machine's zone, copying a value, and the tray entries locked while it is open.
#include "DetailForm/NetDetail.h"
#include "WhileModal.h"
#include "support/FakePlatform.h"
#include "support/Windows.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using fake::FakeAdapter;
using ::testing::ElementsAre;

namespace {

std::vector<std::wstring> Names(const widgets::ListView& list) {
    std::vector<std::wstring> names;
    for (int row = 0; row < list.Count(); ++row)
        names.push_back(list.Text(row, 0));
    return names;
}

class NetDetail : public ::testing::Test {
protected:
    NetDetail() {
        index = fake.AddAdapter("veth");
        auto& adapter = fake.Adapter(index);
        adapter.addresses = {{"10.0.0.2", "255.255.255.0"}, {"10.0.1.2", "255.255.0.0"}};
        adapter.gateway = "10.0.0.1";
        adapter.dhcp = false;
        adapter.haveWins = true;
        adapter.primaryWins = "10.0.0.7";
        adapter.secondaryWins = "10.0.0.8";
        std::strcpy(fake.NetworkParams.HostName, "host1");
        std::strcpy(fake.NetworkParams.DomainName, "example.test");
        std::strcpy(fake.NetworkParams.DnsServerList.IpAddress.String, "10.0.0.53");
        fake.MoreDnsServers = {"10.0.0.54", "10.0.0.55"};
    }

    // Opens the window, runs `look` on it while it is open, and closes it.
    void WithDetails(std::function<void(TNetDetail&)> look) {
        bool seen = false;
        fake::WhenOpen<TNetDetail>(L"TNetDetail", [&](TNetDetail& detail) {
            seen = true;
            look(detail);
            detail.Button1.Click();
        });
        window->btnDetailsClick();
        EXPECT_TRUE(seen);
    }

    fake::FakePlatform fake;
    DWORD index = 0;
    std::unique_ptr<TStatsForm> window;
};

struct Local {
    WORD year, month, day, hour, minute;
    bool operator==(const Local&) const = default;
};

} // namespace

TEST_F(NetDetail, RowsInOrderForTwoAddressesThreeDnsServersWinsAndNoDhcp) {
    window = fake::BeginWindow();
    window->TrayIconClick();
    window->Timer2Timer();
    WithDetails([&](TNetDetail& detail) {
        EXPECT_THAT(Names(detail.ListView1),
                    ElementsAre(L"主机名称", L"域名称", L"", L"物理地址", L"IP 地址", L"子网掩码", L"IP 地址",
                                L"子网掩码", L"默认网关", L"DNS 服务器", L"", L"", L"主 WINS 服务器",
                                L"辅 WINS 服务器", L"Admin 状态"));
        const widgets::ListView& list = detail.ListView1;
        EXPECT_EQ(list.Text(0, 1), L"host1");
        EXPECT_EQ(list.Text(1, 1), L"example.test");
        // Six bytes of a six-byte address, not eight.
        EXPECT_EQ(list.Text(3, 1), L"12-13-14-15-16-17");
        EXPECT_EQ(list.Text(6, 1), L"10.0.1.2");
        EXPECT_EQ(list.Text(7, 1), L"255.255.0.0");
        EXPECT_EQ(list.Text(8, 1), L"10.0.0.1");
        EXPECT_EQ(list.Text(9, 1), L"10.0.0.53");
        EXPECT_EQ(list.Text(11, 1), L"10.0.0.55");
        EXPECT_EQ(list.Text(13, 1), L"10.0.0.8");
        EXPECT_EQ(list.Text(14, 1), L"真");
        EXPECT_EQ(detail.Caption(), L"网络连接详细信息");
    });
}

// An IPv6 address from its eight groups.
FakeAdapter::Ipv6 Six(std::array<WORD, 8> groups, ULONG zone = 0) {
    FakeAdapter::Ipv6 address;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        address.bytes[i * 2] = static_cast<BYTE>(groups[i] >> 8);
        address.bytes[i * 2 + 1] = static_cast<BYTE>(groups[i] & 0xFF);
    }
    address.zone = zone;
    return address;
}

TEST_F(NetDetail, TheAdaptersIpv6AddressesAndDnsServersFollowTheIpv4Ones) {
    auto& adapter = fake.Adapter(index);
    adapter.ipv6 = {Six({0x2001, 0xdb8, 0, 0, 0, 0, 0, 2}), Six({0xfe80, 0, 0, 0, 0, 0, 0, 1}, 7)};
    adapter.ipv6Dns = {Six({0x2001, 0xdb8, 0, 0, 0, 0, 0, 0x53})};
    const DWORD other = fake.AddAdapter("other");
    fake.Adapter(other).ipv6 = {Six({0x2001, 0xdb8, 1, 0, 0, 0, 0, 9})};
    fake.Adapter(other).ipv6Dns = {Six({0x2001, 0xdb8, 1, 0, 0, 0, 0, 0x53})};
    window = fake::BeginWindow();
    WithDetails([&](TNetDetail& detail) {
        EXPECT_THAT(Names(detail.ListView1),
                    ElementsAre(L"主机名称", L"域名称", L"", L"物理地址", L"IP 地址", L"子网掩码", L"IP 地址",
                                L"子网掩码", L"IPv6 地址", L"IPv6 地址", L"默认网关", L"DNS 服务器", L"", L"",
                                L"", L"主 WINS 服务器", L"辅 WINS 服务器", L"Admin 状态"));
        EXPECT_EQ(detail.ListView1.Text(8, 1), L"2001:db8::2");
        EXPECT_EQ(detail.ListView1.Text(9, 1), L"fe80::1%7");
        EXPECT_EQ(detail.ListView1.Text(13, 1), L"10.0.0.55");
        EXPECT_EQ(detail.ListView1.Text(14, 1), L"2001:db8::53");
    });
    EXPECT_EQ(fake.AdaptersAddressesCalls, 1);

    // A system without the list shows the rows as before.
    fake.WithdrawAdaptersAddresses();
    WithDetails([&](TNetDetail& detail) {
        auto names = Names(detail.ListView1);
        EXPECT_EQ(std::count(names.begin(), names.end(), L"IPv6 地址"), 0);
        EXPECT_EQ(names.size(), 15u);
    });
}

TEST_F(NetDetail, ADamagedAdapterListEndsTheWalkInsteadOfReadingPastIt) {
    fake.Adapter(index).ipv6 = {Six({0x2001, 0xdb8, 0, 0, 0, 0, 0, 2})};
    fake.Adapter(index).ipv6Dns = {Six({0x2001, 0xdb8, 0, 0, 0, 0, 0, 0x53})};
    std::vector<BYTE> block = FetchAdapterAddresses();
    ASSERT_FALSE(block.empty());
    auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(block.data());
    const std::string name = fake.Adapter(index).name;
    ASSERT_EQ(Ipv6Of(block, name).Addresses, std::vector<std::wstring>{L"2001:db8::2"});
    // A chain that loops on itself, a server outside the block, a socket address cut short.
    IP_ADAPTER_UNICAST_ADDRESS* last = adapter->FirstUnicastAddress;
    while (last->Next)
        last = last->Next;
    last->Next = adapter->FirstUnicastAddress;
    IP_ADAPTER_DNS_SERVER_ADDRESS outside{};
    adapter->FirstDnsServerAddress->Next = &outside;
    const AdapterIpv6 looped = Ipv6Of(block, name);
    EXPECT_LE(looped.Addresses.size(), block.size() / sizeof(IP_ADAPTER_UNICAST_ADDRESS) + 1);
    EXPECT_EQ(looped.DnsServers, std::vector<std::wstring>{L"2001:db8::53"});
    last->Address.iSockaddrLength = sizeof(sockaddr_in);
    EXPECT_TRUE(Ipv6Of(block, name).Addresses.empty());
    // A name that runs to the block's end is no name.
    block.back() = 'x';
    adapter->AdapterName = reinterpret_cast<char*>(&block.back());
    EXPECT_TRUE(Ipv6Of(block, "x").DnsServers.empty());
}

TEST_F(NetDetail, DhcpRowsOnlyWithDhcpAndTheAdminStateFalseWhenDown) {
    auto& adapter = fake.Adapter(index);
    adapter.dhcp = true;
    adapter.haveWins = false;
    adapter.dhcpServer = "10.0.0.9";
    adapter.leaseObtained = 1104386400;
    adapter.leaseExpires = 1104537600;
    fake.Row(index).dwAdminStatus = 0;
    fake.SetZoneHours(-5);
    window = fake::BeginWindow();
    WithDetails([&](TNetDetail& detail) {
        auto names = Names(detail.ListView1);
        auto at = std::find(names.begin(), names.end(), L"DHCP 服务器") - names.begin();
        ASSERT_LT(at + 3, detail.ListView1.Count());
        EXPECT_EQ(detail.ListView1.Text(static_cast<int>(at), 1), L"10.0.0.9");
        EXPECT_EQ(names[static_cast<std::size_t>(at) + 1], L"获得了租约");
        EXPECT_EQ(detail.ListView1.Text(static_cast<int>(at) + 2, 1),
                  LeaseTimeText(SYSTEMTIME{2004, 12, 5, 31, 19, 0, 0, 0}));
        EXPECT_EQ(names.back(), L"Admin 状态");
        EXPECT_EQ(detail.ListView1.Text(detail.ListView1.Count() - 1, 1), L"假");
        EXPECT_EQ(std::count(names.begin(), names.end(), L"主 WINS 服务器"), 0);
    });
}

TEST_F(NetDetail, TheTrayCannotEndOrHideTheProgramWhileTheWindowIsOpen) {
    window = fake::BeginWindow();
    WithDetails([&](TNetDetail&) {
        EXPECT_FALSE(window->Exit1.Enabled());
        EXPECT_FALSE(window->Hide1.Enabled());
    });
    EXPECT_TRUE(window->Exit1.Enabled());
    EXPECT_TRUE(window->Hide1.Enabled());
    EXPECT_EQ(fake::OpenForm<TNetDetail>(L"TNetDetail"), nullptr);
}

TEST_F(NetDetail, CopyPutsTheValueAloneAndNothingWithoutASelection) {
    window = fake::BeginWindow();
    WithDetails([&](TNetDetail& detail) {
        detail.Copy1Click();
        EXPECT_TRUE(fake.ClipboardTexts.empty());
        detail.ListView1.SetSelected(2, true);
        detail.Copy1Click();
        detail.ListView1.SetSelected(2, false);
        detail.ListView1.SetSelected(4, true);
        detail.Copy1Click();
    });
    EXPECT_THAT(fake.ClipboardTexts, ElementsAre(L"", L"10.0.0.2"));
}

TEST(LeaseTime, ShownInTheMachinesZoneWithTheTrueCalendarDate) {
    fake::FakeKernel kernel;
    struct Case {
        int zone;
        std::uint32_t seconds;
        Local shown;
    };
    const Case cases[] = {
        {-5, 1104386400, {2004, 12, 30, 1, 0}}, {-5, 1104537600, {2004, 12, 31, 19, 0}},
        {-5, 1109635200, {2005, 2, 28, 19, 0}}, {-5, 2444400, {1970, 1, 29, 2, 0}},
        {8, 1104537600, {2005, 1, 1, 8, 0}},    {8, 1078099199, {2004, 3, 1, 7, 59}},
        {0, 1078012800, {2004, 2, 29, 0, 0}},   {8, 4294967295u, {2106, 2, 7, 14, 28}},
    };
    for (const Case& c : cases) {
        kernel.SetZoneHours(c.zone);
        SYSTEMTIME t = LeaseLocalTime(c.seconds);
        EXPECT_EQ((Local{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute}),
                  (Local{c.shown.year, c.shown.month, c.shown.day, c.shown.hour, c.shown.minute}))
            << c.seconds << " at UTC" << c.zone;
    }
}

TEST(LeaseTime, MidnightShowsTheDateAlone) {
    SYSTEMTIME midnight{2005, 1, 6, 1, 0, 0, 0, 0};
    SYSTEMTIME morning{2005, 1, 6, 1, 6, 0, 0, 0};
    EXPECT_EQ(LeaseTimeText(midnight), platform::ShortDateText(midnight));
    EXPECT_EQ(LeaseTimeText(morning),
              platform::ShortDateText(morning) + L" " + platform::LongTimeText(morning));
}
