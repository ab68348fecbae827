// The byte counting of one direction over a few updates, the activity state and the tooltip.
#include "StatForm/Counting.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr std::int64_t k4GiB = 4294967296LL;
constexpr std::int64_t kGiB = 1073741824LL;

// The window's figures of one direction, as the counting sees them.
struct Figures {
    std::uint32_t prev = 0;
    std::uint16_t wraps = 0;
    std::int64_t base = 0;
    std::int64_t total = 0;
    std::uint32_t delta = 0;
    counting::Direction direction{{prev, wraps, base, total, delta}};
};

// One update: what happened before it (the reset button, the hidden correction), the raw
// counters, and what it came to.
struct Step {
    bool reset;
    int correction;
    std::uint64_t octets;
    std::uint64_t discards;
    std::int64_t count;
    bool moved;
    std::int64_t total;
    std::uint32_t delta;
    std::uint64_t bytes;
};

struct Updates {
    const char* name;
    bool wide;
    std::vector<Step> steps;
};

} // namespace

TEST(Counting, WrapsRestartsResetsAndTheBytesOfEachTick) {
    const Updates runs[] = {
        {"a 32-bit wrap",
         false,
         {{false, 0, 4294967000u, 0, 4294967000LL, false, 4294967000LL, 0, 0},
          {false, 0, 500, 0, k4GiB + 500, true, k4GiB + 500, 796, 796},
          {false, 0, 500, 0, k4GiB + 500, false, k4GiB + 500, 0, 0}}},
        {"discards come off; a counter from 0 shows no activity on its first change",
         false,
         {{false, 0, 0, 0, 0, false, 0, 0, 0},
          {false, 0, 1000, 10, 990, false, 990, 990, 990},
          {false, 0, 1500, 10, 1490, true, 1490, 500, 500}}},
        {"the reset and the hidden correction move the total, not the tick's bytes",
         false,
         {{false, 0, 1000, 0, 1000, false, 1000, 0, 0},
          {true, 0, 1000, 0, 1000, false, 0, static_cast<std::uint32_t>(-1000), 0},
          {false, 0, 1500, 0, 1500, true, 500, 500, 500},
          {false, 1, 1700, 0, k4GiB + 1700, true, k4GiB + 700, 200, 200},
          {false, -1, 1700, 0, 1700, false, 700, 0, 0}}},
        {"a 64-bit restart keeps what was counted; a jump past 32 bits counts whole",
         true,
         {{false, 0, 10 * kGiB, 0, 10 * kGiB, false, 10 * kGiB, 0, 0},
          {false, 0, 300, 0, 10 * kGiB + 300, true, 10 * kGiB + 300, 300, 300},
          {false, 0, 5 * kGiB + 300, 0, 15 * kGiB + 300, true, 15 * kGiB + 300, kGiB, 5 * kGiB},
          {false, 1, 5 * kGiB + 500, 100, 15 * kGiB + 400 + k4GiB, true, 15 * kGiB + 400 + k4GiB, 100, 100}}},
    };
    for (const Updates& run : runs) {
        Figures figures;
        for (std::size_t i = 0; i < run.steps.size(); ++i) {
            const Step& step = run.steps[i];
            if (step.reset)
                figures.base += figures.total;
            figures.wraps = static_cast<std::uint16_t>(figures.wraps + step.correction);
            const bool first = i == 0;
            const counting::Tick tick =
                run.wide ? figures.direction.Count64(step.octets, step.discards, first)
                         : figures.direction.Count32(static_cast<std::uint32_t>(step.octets),
                                                     static_cast<std::uint32_t>(step.discards), first);
            SCOPED_TRACE(testing::Message() << run.name << ", update " << i);
            EXPECT_EQ(tick.Count, step.count);
            EXPECT_EQ(tick.Moved, step.moved);
            EXPECT_EQ(figures.total, step.total);
            EXPECT_EQ(figures.delta, step.delta);
            EXPECT_EQ(tick.Bytes, step.bytes);
        }
    }
}

TEST(Counting, TheActivityState) {
    struct Case {
        bool sent, received, unplugged;
        std::uint8_t state;
    } cases[] = {{false, false, false, 0}, {true, false, false, 1}, {false, true, false, 2},
                 {true, true, false, 3},   {false, false, true, 4}, {true, true, true, 4}};
    for (const Case& c : cases)
        EXPECT_EQ(counting::ActivityState(c.sent, c.received, c.unplugged), c.state)
            << c.sent << c.received << c.unplugged;
}

TEST(Counting, TheTooltipsLines) {
    const std::wstring name = L"本地连接";
    const std::wstring longName(200, L'连');
    struct Case {
        bool lines;
        std::uint8_t bits;
        bool unplugged;
        std::wstring connection;
        std::wstring hint;
        bool showsAddress;
    } cases[] = {
        {true, 13, false, name, name + L"\n\r速度: 100.0 Mbps\n\r发送: 1,000 字节\n\r收到: 5,000 字节",
         false},
        {true, 10, false, name, name + L"\n\rIP: 192.168.0.5", true},
        {true, 0, false, name, L"", false},
        {false, 15, false, name, name, false},
        {true, 15, true, name, name + L"\n\r网络电缆未插好。", false},
        // 255 bytes at most, never half a character.
        {true, 8, false, L"x" + longName, L"x" + std::wstring(127, L'连'), false},
    };
    for (const Case& c : cases) {
        counting::HintFacts facts{.Lines = c.lines,
                                  .PopupDisplayType = c.bits,
                                  .OctetDisp = 0,
                                  .MediaDisconnected = c.unplugged,
                                  .ConnectionName = c.connection,
                                  .Speed = L"100.0 Mbps",
                                  .SentTotal = 1000,
                                  .ReceivedTotal = 5000,
                                  .Address = L"192.168.0.5"};
        EXPECT_EQ(counting::TrayHint(facts, formats::NumberSeparators{}), c.hint) << int(c.bits);
        EXPECT_EQ(facts.ShowsAddress(), c.showsAddress) << int(c.bits);
    }
}
