// The small platform helpers every window relies on: byte cuts of texts, version
// predicates and the fetch of caller-sized blocks.
#include "platform/Buffers.h"
#include "platform/Kernel.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

using platform::CutToBytes;
using platform::WindowsVersion;

TEST(CutToBytes, CountsChineseAsTwoBytesAndNeverSplitsACharacter) {
    // "网络状态" is eight bytes in code page 936.
    EXPECT_EQ(CutToBytes(L"网络状态", 8), L"网络状态");
    EXPECT_EQ(CutToBytes(L"网络状态", 7), L"网络状");
    EXPECT_EQ(CutToBytes(L"a网络", 2), L"a");
    EXPECT_EQ(CutToBytes(L"abc", 0), L"");
    EXPECT_EQ(CutToBytes(L"", 10), L"");
}

TEST(CutToBytes, KeepsSurrogatePairsWhole) {
    std::wstring text = L"a\U0001F600b";
    std::wstring cut = CutToBytes(text, 2);
    ASSERT_FALSE(cut.empty());
    EXPECT_FALSE(IS_HIGH_SURROGATE(cut.back()));
}

TEST(CutToBytes, A127ByteTooltipOfMixedText) {
    std::wstring text;
    for (int i = 0; i < 100; ++i)
        text += L"发";
    std::wstring cut = CutToBytes(L"x" + text, 127);
    EXPECT_EQ(cut.size(), 64u); // one ASCII byte and 63 two-byte characters
    EXPECT_EQ(platform::ToAnsi(cut).size(), 127u);
}

TEST(AnsiConversion, RoundTripsThroughCodePage936) {
    std::wstring text = L"以太网 适配器";
    EXPECT_EQ(platform::FromAnsi(platform::ToAnsi(text)), text);
    EXPECT_EQ(platform::ToAnsi(L"状态").size(), 4u);
}

TEST(WindowsVersion, Predicates) {
    auto w98 = WindowsVersion::Windows98();
    EXPECT_TRUE(w98.IsWin9x());
    EXPECT_TRUE(w98.IsWin95Or98());
    EXPECT_FALSE(w98.IsWinMe());
    EXPECT_FALSE(w98.IsWin2000OrLater());

    auto me = WindowsVersion::WindowsMe();
    EXPECT_TRUE(me.IsWin9x());
    EXPECT_FALSE(me.IsWin95Or98());
    EXPECT_TRUE(me.IsWinMe());

    auto nt4 = WindowsVersion::NT4();
    EXPECT_TRUE(nt4.IsNT4());
    EXPECT_FALSE(nt4.IsWin2000OrLater());
    EXPECT_FALSE(nt4.IsWin9x());

    auto w2k = WindowsVersion::Windows2000();
    EXPECT_TRUE(w2k.IsWin2000OrLater());
    EXPECT_FALSE(w2k.IsXPOrLater());

    EXPECT_TRUE(WindowsVersion::WindowsXP().IsXPOrLater());
    EXPECT_TRUE((WindowsVersion{VER_PLATFORM_WIN32_NT, 6, 0}).IsXPOrLater());
}

TEST(LocalNow, IsADateTimeOfThisCentury) {
    double now = platform::LocalNow();
    EXPECT_GT(now, 36526.0); // 2000-01-01
    EXPECT_LT(now, 73051.0); // 2100-01-01
}

TEST(FetchBlock, GrowsToTheReportedSizeAndRetriesWhenTheTableGrowsMeanwhile) {
    ULONG tableSize = 100;
    int calls = 0;
    auto call = [&](BYTE* block, ULONG* size) -> DWORD {
        ++calls;
        if (calls == 2)
            tableSize = 200; // grew between the size query and the fetch
        if (!block || *size < tableSize) {
            *size = tableSize;
            return ERROR_INSUFFICIENT_BUFFER;
        }
        block[tableSize - 1] = 0x7F;
        return NO_ERROR;
    };
    std::vector<BYTE> block;
    EXPECT_EQ(platform::FetchBlock(call, 0, block), static_cast<DWORD>(NO_ERROR));
    EXPECT_EQ(calls, 3);
    ASSERT_EQ(block.size(), 200u);
    EXPECT_EQ(block[199], 0x7F);
}

TEST(FetchBlock, GivesUpOnASizeThatNeverFitsAndPassesOtherErrorsOn) {
    auto liar = [](BYTE*, ULONG* size) -> DWORD {
        *size = 10; // never grows, never fits
        return ERROR_BUFFER_OVERFLOW;
    };
    std::vector<BYTE> block;
    EXPECT_EQ(platform::FetchBlock(liar, 10, block), static_cast<DWORD>(ERROR_BUFFER_OVERFLOW));

    auto broken = [](BYTE*, ULONG*) -> DWORD { return ERROR_NOT_SUPPORTED; };
    EXPECT_EQ(platform::FetchBlock(broken, 0, block), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

TEST(AdapterChains, AreFollowedOnlyInsideTheirBlockAndNeverForEver) {
    std::vector<BYTE> block(2 * sizeof(IP_ADAPTER_INFO) + sizeof(IP_ADDR_STRING));
    auto* adapters = reinterpret_cast<IP_ADAPTER_INFO*>(block.data());
    auto* extra = reinterpret_cast<IP_ADDR_STRING*>(block.data() + 2 * sizeof(IP_ADAPTER_INFO));
    IP_ADAPTER_INFO outside{};
    // A loop is cut after as many records as the block could hold, and one more.
    const std::size_t adapterBound = block.size() / sizeof(IP_ADAPTER_INFO) + 1;
    const std::size_t addressBound = block.size() / sizeof(IP_ADDR_STRING) + 1;
    const struct {
        const char* name;
        IP_ADAPTER_INFO* nextAdapter;
        IP_ADDR_STRING* nextAddress;
        std::size_t adapters, addresses;
    } cases[] = {
        {"a whole chain", &adapters[1], extra, 2, 2},
        {"links out of the block", &outside, &outside.IpAddressList, 1, 1},
        {"loops", &adapters[0], &adapters[0].IpAddressList, adapterBound, addressBound},
    };
    for (const auto& c : cases) {
        adapters[0].Next = c.nextAdapter;
        adapters[0].IpAddressList.Next = c.nextAddress;
        EXPECT_EQ(platform::AdaptersIn(block).size(), c.adapters) << c.name;
        EXPECT_EQ(platform::AddressesIn(block, adapters[0]).size(), c.addresses) << c.name;
    }
}
