// The Details page: the machine's TCP/IP statistics as the last two-second fetch left them.
#include "support/FakePlatform.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

namespace {

class DetailsLabels : public ::testing::Test {
protected:
    DetailsLabels() {
        fake.AddAdapter("eth0");
        window = fake::BeginWindow();
        window->TrayIconClick(); // the page is written only while the window shows
    }
    std::vector<std::wstring> Shown() const {
        const ::DetailsPage& d = window->Details;
        return {d.lbActCon.Caption(), d.lbPasCon.Caption(), d.lbCon.Caption(),      d.lbReset.Caption(),
                d.lbFailed.Caption(), d.lbTTL.Caption(),    d.lbDatagram.Caption(), d.lbDGError.Caption()};
    }

    fake::FakePlatform fake;
    std::unique_ptr<TStatsForm> window;
};

TEST_F(DetailsLabels, ZerosUntilAFetchHasBeenFollowedByATickThenTheMachinesFigures) {
    fake.TcpStats.dwActiveOpens = 3'000'000'000u; // unsigned: ten digits, no sign
    fake.TcpStats.dwPassiveOpens = 12;
    fake.TcpStats.dwCurrEstab = 4;
    fake.TcpStats.dwEstabResets = 1;
    fake.TcpStats.dwAttemptFails = 2;
    fake.IpStats.dwDefaultTTL = 64;
    fake.IpStats.dwInReceives = 1234567;
    fake.IpStats.dwInHdrErrors = 4'294'967'295u; // the error sum wraps in 32 bits
    fake.IpStats.dwInAddrErrors = 2;
    window->Timer2Timer();
    EXPECT_EQ(Shown(), std::vector<std::wstring>(8, L"0"));

    window->Timer1Timer();
    EXPECT_EQ(Shown(), std::vector<std::wstring>(8, L"0")) << "written at the next sampling tick";
    window->Timer2Timer();
    EXPECT_EQ(Shown(),
              (std::vector<std::wstring>{L"3000000000", L"12", L"4", L"1", L"2", L"64", L"1234567", L"1"}));

    // A failed fetch keeps the figures; a hidden window fetches but writes nothing.
    fake.StatisticsError = ERROR_NOT_SUPPORTED;
    window->Timer1Timer();
    fake.StatisticsError = NO_ERROR;
    window->Timer2Timer();
    EXPECT_EQ(Shown()[2], L"4");
    window->Hide();
    fake.TcpStats.dwCurrEstab = 9;
    window->Timer1Timer();
    window->Timer2Timer();
    EXPECT_EQ(window->TcpStats.dwCurrEstab, 9u);
    EXPECT_EQ(Shown()[2], L"4");
}

TEST_F(DetailsLabels, TheGroupAndTheTtlLine) {
    const ::DetailsPage& d = window->Details;
    EXPECT_EQ(d.GroupBox5.Caption(), L"TCP/IP 详细资料");
    EXPECT_EQ(d.Label27.Caption(), L"活动连接:");
    EXPECT_EQ(d.Label33.Caption(), L"默认 TTL:");
    EXPECT_EQ(d.Label36.Caption(), L"含有错误:");
    for (const widgets::Label* label : {&d.Label33, &d.lbTTL, &d.Label35}) {
        LOGFONTW face{};
        auto font = reinterpret_cast<HFONT>(::SendMessageW(label->Handle(), WM_GETFONT, 0, 0));
        ASSERT_NE(::GetObjectW(font, sizeof face, &face), 0);
        EXPECT_EQ(face.lfWeight >= FW_BOLD, label != &d.Label35) << label->Id();
    }
    // The connection counters stand left of the IP ones.
    EXPECT_LT(d.lbCon.Bounds().right, d.Label33.Bounds().left);
    EXPECT_EQ(d.lbReset.Bounds().top, d.lbFailed.Bounds().top);
}

} // namespace
