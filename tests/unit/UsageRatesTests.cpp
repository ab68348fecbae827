// The usage page's rate texts and its running average.
#include "StatForm/UsageRates.h"

#include <gtest/gtest.h>

namespace {
const formats::NumberSeparators kComma;
}

TEST(UsageRates, RatesInKilobytesWithOneDecimalAndGrouping) {
    EXPECT_EQ(usage::RateText(0, kComma), L"0.0 k/秒");
    EXPECT_EQ(usage::RateText(1536, kComma), L"1.5 k/秒");
    EXPECT_EQ(usage::RateText(2'000'000, kComma), L"1,953.1 k/秒");
    EXPECT_EQ(usage::RateText(1'023'897, kComma), L"999.9 k/秒");
    EXPECT_EQ(usage::RateText(4294967295.0, kComma), L"4,194,304.0 k/秒");
    // 256 bytes are 0.25 k: a half goes away from zero.
    EXPECT_EQ(usage::RateText(256, kComma), L"0.3 k/秒");
    EXPECT_EQ(usage::RateText(255.5f, kComma), L"0.2 k/秒");
    formats::NumberSeparators german{L".", L","};
    EXPECT_EQ(usage::RateText(2'000'000, german), L"1.953,1 k/秒");
}

TEST(UsageRates, TheAverageIsAPlainMeanThenAMovingOne) {
    float average = 0;
    std::uint32_t samples = 0;
    for (std::uint32_t delta : {0u, 10240u, 10240u}) {
        average = usage::FoldAverage(average, samples, delta);
        ++samples;
    }
    EXPECT_FLOAT_EQ(average, 20480.0f / 3);
    EXPECT_EQ(usage::FoldAverage(1000.0f, 255, 1000 + 256), 1001.0f);
}
