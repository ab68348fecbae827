// What the windows share of the machine's figures, and the 64-bit byte totals.
#include "app/Program.h"
#include "support/FakePlatform.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t kGiB = 1LL << 30;

class Sampling : public ::testing::Test {
protected:
    Sampling() {
        fake.TickStep = 0; // the clock moves only where a test moves it
        for (const char* name : {"eth0", "eth1", "eth2"})
            fake.AddAdapter(name);
        program.CreateWindows([this] { program.AddNewWindows(); });
    }
    void TickAll() {
        for (auto& w : program.WindowList)
            w->Timer2Timer();
    }
    struct Calls {
        int count, table, adapters, statistics;
        bool operator==(const Calls&) const = default;
    };
    Calls Counted() const {
        return {fake.NumberOfInterfacesCalls, fake.IfTableCalls, fake.AdaptersInfoCalls,
                fake.StatisticsCalls};
    }

    fake::FakePlatform fake;
    Program program;
};

TEST_F(Sampling, WindowsTickingWithinOnePeriodShareOneFetchOfEachFigure) {
    ASSERT_EQ(program.WindowList.size(), 3u);
    fake.TickCount += 1000;
    const Calls before = Counted();
    TickAll();
    for (auto& w : program.WindowList)
        w->Timer1Timer();
    // One count, one table, one adapter list and the four statistics records, whatever
    // the number of windows.
    EXPECT_EQ(Counted(),
              (Calls{before.count + 1, before.table + 1, before.adapters + 1, before.statistics + 4}));

    // Timers a little apart: still one fetch per period, and the next period fetches anew.
    fake.TickCount += 400;
    TickAll();
    EXPECT_EQ(fake.IfTableCalls, before.table + 1);
    fake.TickCount += 600;
    TickAll();
    EXPECT_EQ(fake.IfTableCalls, before.table + 2);
}

TEST_F(Sampling, EveryWindowSeesTheSharedFetchAndKeepsItsOwnCopy) {
    fake.TickCount += 1000;
    for (std::size_t i = 0; i < 3; ++i)
        fake.Row(program.WindowList[i]->InterfaceIndex).dwOutOctets = 1000 * (i + 1);
    TickAll();
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(program.WindowList[i]->IfRow.dwOutOctets, 1000 * (i + 1));

    // A record whose fetch fails keeps what the window held.
    fake.TcpStats.dwCurrEstab = 7;
    fake.TickCount += 2000;
    program.WindowList[0]->Timer1Timer();
    fake.TcpStats.dwCurrEstab = 9;
    fake.StatisticsError = ERROR_NOT_SUPPORTED;
    fake.TickCount += 2000;
    program.WindowList[0]->Timer1Timer();
    EXPECT_EQ(program.WindowList[0]->TcpStats.dwCurrEstab, 7u);
}

TEST_F(Sampling, NewInterfacesAreCountedOncePerPeriodForTheWholeProgram) {
    fake.AddAdapter("eth3");
    fake.TickCount += 1000;
    const int before = fake.NumberOfInterfacesCalls;
    TickAll();
    EXPECT_EQ(fake.NumberOfInterfacesCalls, before + 1);
    EXPECT_EQ(program.WindowList.size(), 4u);
}

TEST_F(Sampling, WithThe64BitTableThe32BitOneIsFetchedOnlyWhenItsStateChanges) {
    fake.Offer64BitTable();
    TStatsForm& first = *program.WindowList[0];
    const DWORD index = first.InterfaceIndex;
    auto period = [&] {
        fake.TickCount += 1000;
        TickAll();
    };
    period(); // the first period with the 64-bit table takes both
    const int narrow = fake.IfTableCalls;
    const int wide = fake.IfTable2Calls;

    // Traffic alone: the 64-bit table's counters, cut to 32 bits, are the row's.
    fake.Row(index).dwOutUcastPkts += 3;
    fake.Wide(index).OutOctets = (5LL << 30) + 17;
    period();
    EXPECT_EQ(fake.IfTableCalls, narrow);
    EXPECT_EQ(fake.IfTable2Calls, wide + 1);
    EXPECT_EQ(first.IfRow.dwOutOctets, static_cast<DWORD>((5LL << 30) + 17));
    EXPECT_EQ(first.IfRow.dwOutUcastPkts, fake.Row(index).dwOutUcastPkts);

    // A cable pulled: the 32-bit row's status comes fresh in the same period.
    fake.Row(index).dwOperStatus = MIB_IF_OPER_STATUS_DISCONNECTED;
    period();
    EXPECT_EQ(fake.IfTableCalls, narrow + 1);
    EXPECT_EQ(first.General.lbStatus.Caption(), L"已断开连接");

    // And now and then whatever happens, for what the 64-bit rows cannot tell.
    for (int i = 0; i < app::Sampler::kNarrowRefreshPeriods; ++i)
        period();
    EXPECT_EQ(fake.IfTableCalls, narrow + 2);
}

// The 64-bit table against the 32-bit counting, one window.
class WideCounters : public ::testing::Test {
protected:
    void Begin(bool wide) {
        index = fake.AddAdapter("eth0");
        fake.Row(index).dwOutOctets = 1000;
        fake.Row(index).dwInOctets = 2000;
        if (wide)
            fake.Offer64BitTable();
        window = fake::BeginWindow();
    }
    void Tick() { window->Timer2Timer(); }
    fake::WideCounters& Wide() { return fake.Wide(index); }

    fake::FakePlatform fake;
    DWORD index = 0;
    std::unique_ptr<TStatsForm> window;
};

TEST_F(WideCounters, FiveGibibytesBetweenTwoSamplesAreCountedWhole) {
    Begin(true);
    ASSERT_TRUE(window->WideCounting);
    Wide().OutOctets += 5 * kGiB;
    Wide().InOctets += 6 * kGiB + 7;
    fake.Row(index).dwOutOctets += 5 * kGiB; // the 32-bit row sees only 1 GiB of it
    Tick();
    EXPECT_EQ(window->SentTotal, 1000 + 5 * kGiB);
    EXPECT_EQ(window->ReceivedTotal, 2000 + 6 * kGiB + 7);
    EXPECT_EQ(window->General.lbByteSent.Caption(), L"5,368,710,120");
    EXPECT_EQ(window->SentDelta, static_cast<std::uint32_t>(5 * kGiB));
    EXPECT_EQ(window->SentWraps, 0);

    // Without the 64-bit table the same jump is short by 4 GiB: the reason for it.
    fake::FakePlatform old;
    DWORD i = old.AddAdapter("eth0");
    old.Row(i).dwOutOctets = 1000;
    auto w = fake::BeginWindow();
    EXPECT_FALSE(w->WideCounting);
    old.Row(i).dwOutOctets += 5 * kGiB;
    w->Timer2Timer();
    EXPECT_EQ(w->SentTotal, 1000 + kGiB);
}

TEST_F(WideCounters, ARestartKeepsWhatWasCountedAndAddsNoWrap) {
    Begin(true);
    Wide().OutOctets = 10 * kGiB;
    Tick();
    Wide().OutOctets = 300; // the interface came back with fresh counters
    Tick();
    EXPECT_EQ(window->SentTotal, 10 * kGiB + 300);
    EXPECT_EQ(window->SentDelta, 300u);
    Wide().OutOctets = 800;
    Tick();
    EXPECT_EQ(window->SentTotal, 10 * kGiB + 800);
    EXPECT_EQ(window->SentWraps, 0);
}

TEST_F(WideCounters, TheHiddenCorrectionStillMovesATotalBy4GiB) {
    Begin(true);
    window->CorrectWraps(false, WM_LBUTTONDOWN, MK_CONTROL | MK_SHIFT);
    Tick();
    EXPECT_EQ(window->ReceivedTotal, 2000 + 4 * kGiB);
    window->CorrectWraps(false, WM_MBUTTONDOWN, MK_CONTROL | MK_SHIFT);
    Tick();
    EXPECT_EQ(window->ReceivedTotal, 2000);
}

TEST_F(WideCounters, ATickWithoutThe64BitRowCountsNothing) {
    Begin(true);
    Wide().OutOctets += 5000;
    fake.IfTableError = ERROR_NOT_ENOUGH_MEMORY;
    Tick();
    fake.IfTableError = NO_ERROR;
    EXPECT_EQ(window->SentTotal, 1000);
    Tick();
    EXPECT_EQ(window->SentTotal, 6000);
}

TEST_F(WideCounters, LinksFasterThan32BitsShowTheir64BitSpeed) {
    struct Case {
        bool wide;
        ULONG64 speed;
        const wchar_t* label;
        const wchar_t* balloon;
    } cases[] = {
        {false, 10'000'000'000ULL, L"1410.1 Mbps", L"连接于 1410.1 Mbps"},
        {true, 10'000'000'000ULL, L"10000.0 Mbps", L"连接于 10000.0 Mbps"},
        {true, 40'000'000'000ULL, L"40000.0 Mbps", L"连接于 40000.0 Mbps"},
        // A driver that does not know its speed says so with all bits set.
        {true, ~0ULL, L"1410.1 Mbps", L"连接于 1410.1 Mbps"},
    };
    for (const Case& c : cases) {
        fake::FakePlatform machine;
        DWORD i = machine.AddAdapter("eth0");
        machine.Row(i).dwSpeed = static_cast<DWORD>(10'000'000'000ULL);
        if (c.wide) {
            machine.Offer64BitTable();
            machine.Wide(i).TransmitLinkSpeed = c.speed;
            machine.Wide(i).ReceiveLinkSpeed = c.speed;
        }
        auto w = fake::BeginWindow();
        EXPECT_EQ(w->General.lbSpeed.Caption(), c.label) << c.speed;
        w->miStatusBalloonClick();
        ASSERT_FALSE(machine.TrayCalls.empty());
        EXPECT_EQ(machine.TrayCalls.back().info, c.balloon) << c.speed;
    }
}

} // namespace
