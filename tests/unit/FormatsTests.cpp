// The number texts of the status window: link speeds, packet and byte counts, durations.
#include "StatForm/Formats.h"
#include "platform/Kernel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using formats::NumberSeparators;

namespace {

const NumberSeparators kEnglish{L",", L"."};
const NumberSeparators kGerman{L".", L","};

struct SpeedCase {
    DWORD Speed;
    const wchar_t* Label;
    const wchar_t* Balloon;
};

struct BytesCase {
    int Mode;
    std::int64_t Value;
    const wchar_t* Plain;
    const wchar_t* WithUnit;
};

double Days(double seconds) {
    return seconds / 86'400.0;
}

// Answers the locale queries with fixed texts for the life of the object.
class PinnedLocale {
public:
    PinnedLocale(const wchar_t* thousands, const wchar_t* decimal)
        : saved_(platform::kernel().GetLocaleInfoW) {
        platform::kernel().GetLocaleInfoW = [=](LCID, LCTYPE type, LPWSTR buffer, int size) {
            const wchar_t* text = type == LOCALE_STHOUSAND  ? thousands
                                  : type == LOCALE_SDECIMAL ? decimal
                                                            : nullptr;
            if (text == nullptr)
                return 0;
            int needed = static_cast<int>(std::wcslen(text)) + 1;
            if (size == 0)
                return needed;
            if (size < needed)
                return 0;
            std::wcscpy(buffer, text);
            return needed;
        };
    }
    ~PinnedLocale() { platform::kernel().GetLocaleInfoW = saved_; }

private:
    std::function<int(LCID, LCTYPE, LPWSTR, int)> saved_;
};

} // namespace

TEST(Formats, LinkSpeedOnLabelsAndBalloons) {
    const SpeedCase cases[] = {
        {100'000'000, L"100.0 Mbps", L"连接于 100.0 Mbps"},
        {1'000'000'000, L"1000.0 Mbps", L"连接于 1000.0 Mbps"}, // no grouping
        {4'294'967'295, L"4295.0 Mbps", L"连接于 4295.0 Mbps"},
        {1'000'001, L"1.0 Mbps", L"连接于 1.0 Mbps"},
        {1'000'000, L"1000.0 kbps", L"连接于 1.0 Mbps"}, // the two boundaries differ here only
        {1'250'000, L"1.3 Mbps", L"连接于 1.3 Mbps"},    // half away from zero, not to even
        {999'999, L"1000.0 kbps", L"连接于 1000.0 kbps"},
        {15'050, L"15.1 kbps", L"连接于 15.1 kbps"},
        {10'000, L"10.0 kbps", L"连接于 10.0 kbps"},
        {9'999, L"9999 bps", L"连接于 9999 bps"},
        {1, L"1 bps", L"连接于 1 bps"},
        {0, L" bps", L"连接于  bps"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formats::LinkSpeedText(c.Speed, kEnglish), c.Label) << c.Speed;
        EXPECT_EQ(formats::BalloonSpeedText(c.Speed, kEnglish), c.Balloon) << c.Speed;
    }
    EXPECT_EQ(formats::LinkSpeedText(100'000'000, kGerman), L"100,0 Mbps");
    EXPECT_EQ(formats::BalloonSpeedText(54'000, kGerman), L"连接于 54,0 kbps");
}

TEST(Formats, PacketCountsGroupByTheLocaleSeparator) {
    EXPECT_EQ(formats::PacketCountText(0, kEnglish), L"0");
    EXPECT_EQ(formats::PacketCountText(999, kEnglish), L"999");
    EXPECT_EQ(formats::PacketCountText(1'000, kEnglish), L"1,000");
    EXPECT_EQ(formats::PacketCountText(123'456, kEnglish), L"123,456");
    EXPECT_EQ(formats::PacketCountText(4'294'967'295, kEnglish), L"4,294,967,295");
    EXPECT_EQ(formats::PacketCountText(4'294'967'295, kGerman), L"4.294.967.295");
    EXPECT_EQ(formats::PacketCountText(1'234'567, {L"", L"."}), L"1234567");
    EXPECT_EQ(formats::PacketCountText(1'234, {L"\u00a0", L","}), L"1\u00a0234");
}

TEST(Formats, BytesInTheFixedUnits) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    const BytesCase cases[] = {
        {0, 0, L"0", L"0 字节"},
        {0, 1'023'999, L"1,023,999", L"1,023,999 字节"},
        {0, kMax, L"9,223,372,036,854,775,807", L"9,223,372,036,854,775,807 字节"},
        {0, kMin, L"-9,223,372,036,854,775,808", L"-9,223,372,036,854,775,808 字节"},
        {0, -5, L"-5", L"-5 字节"},
        {1, 1'536, L"1.5", L"1.5 KB"},
        {1, 1'048'576, L"1,024", L"1,024 KB"},
        {1, 1'280, L"1.3", L"1.3 KB"}, // 1.25: half away from zero
        {1, 1'023, L"1", L"1 KB"},     // 0.999 rounds up to a whole unit
        {1, 51, L"0", L"0 KB"},
        {1, 52, L"0.1", L"0.1 KB"},
        {1, -1'536, L"-1.5", L"-1.5 KB"},
        {1, -1, L"0", L"0 KB"}, // no "-0"
        {2, 1'048'576, L"1", L"1 MB"},
        {2, 1'572'864, L"1.5", L"1.5 MB"},
        {3, 2'415'919'104, L"2.25", L"2.25 GB"},
        {3, 1'610'612'736, L"1.5", L"1.5 GB"}, // trailing zero dropped
        {3, 134'217'728, L"0.13", L"0.13 GB"}, // 0.125
        {3, 5'368'709, L"0", L"0 GB"},
        {3, 5'368'710, L"0.01", L"0.01 GB"},
        {3, kMax, L"8,589,934,592", L"8,589,934,592 GB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formats::FormatBytes(c.Mode, false, c.Value, kEnglish), c.Plain)
            << c.Mode << " " << c.Value;
        EXPECT_EQ(formats::FormatBytes(c.Mode, true, c.Value, kEnglish), c.WithUnit)
            << c.Mode << " " << c.Value;
    }
    EXPECT_EQ(formats::FormatBytes(0, false, 1'023'999, kGerman), L"1.023.999");
    EXPECT_EQ(formats::FormatBytes(1, false, 1'536, kGerman), L"1,5");
    EXPECT_EQ(formats::FormatBytes(3, true, 2'415'919'104, kGerman), L"2,25 GB");
}

TEST(Formats, BytesInTheAutomaticUnitAlwaysCarryTheUnit) {
    const BytesCase cases[] = {
        {4, 0, L"0 字节", L"0 字节"},
        {4, 1'023'999, L"1,023,999 字节", L"1,023,999 字节"},
        {4, 1'024'000, L"1,000 KB", L"1,000 KB"},
        {4, 20'971'519, L"20,480 KB", L"20,480 KB"},
        {4, 20'971'520, L"20 MB", L"20 MB"},
        {4, 1'063'004'404, L"1,013.8 MB", L"1,013.8 MB"},
        {4, 1'063'004'405, L"0.99 GB", L"0.99 GB"},
        {4, 2'415'919'104, L"2.25 GB", L"2.25 GB"},
        {4, -5'000'000, L"-5,000,000 字节", L"-5,000,000 字节"}, // negatives stay in bytes
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formats::FormatBytes(c.Mode, false, c.Value, kEnglish), c.Plain) << c.Value;
        EXPECT_EQ(formats::FormatBytes(c.Mode, true, c.Value, kEnglish), c.WithUnit) << c.Value;
    }
    EXPECT_EQ(formats::FormatBytes(4, false, 1'024'000, kGerman), L"1.000 KB");
}

TEST(Formats, UnknownModeGivesNoTextAndKeepsTheCaption) {
    for (int mode : {-1, 5, 255}) {
        EXPECT_EQ(formats::FormatBytes(mode, true, 1'536, kEnglish), L"") << mode;
        EXPECT_FALSE(formats::ByteUnitCaption(mode).has_value()) << mode;
    }
    const wchar_t* captions[] = {L"字节", L"千字节", L"兆(M)", L"Gigabytes", L"动态"};
    for (int mode = 0; mode < 5; ++mode)
        EXPECT_EQ(formats::ByteUnitCaption(mode), captions[mode]) << mode;
}

TEST(Formats, Durations) {
    struct Case {
        double Seconds;
        const wchar_t* Text;
    };
    const Case cases[] = {
        {0, L"00:00"},
        {59, L"00:59"},
        {3'661, L"01:01:01"},
        {86'399, L"23:59:59"},
        {86'460, L"1 days 01:00"}, // a zero hour is left out
        {90'061, L"1 days 01:01:01"},
        {2 * 86'400, L"2 days 00:00"}, // the first day of 1900
        {60 * 86'400 - 1, L"59 days 23:59:59"},
        {60 * 86'400, L"60 days 00:00"},
        // From March on the month term is the month's length times the month count:
        // day 61 is 1900-03-01 = 2 x 28 days + 2 days.
        {61 * 86'400, L"58 days 00:00"},
        // Day 100 is 1900-04-09: 3 x 31 days + 10 days, plus 1:01:01.
        {100 * 86'400 + 3'661, L"103 days 01:01:01"},
        // 1908-01-01: 8 x 31,557,600 + 2 days = 70,176 hours, kept in 16 bits: 4,640.
        {2'923 * 86'400, L"193 days 08:00:00"},
    };
    const double start = 45'000.5;
    for (const auto& c : cases) {
        EXPECT_EQ(formats::DurationText(Days(c.Seconds)), c.Text) << c.Seconds;
        // As the window computes it: two nearby date-times subtracted.
        EXPECT_EQ(formats::DurationText((start + Days(c.Seconds)) - start), c.Text) << c.Seconds;
    }
}

TEST(Formats, DurationOfAClockSetBackOrOutOfRange) {
    EXPECT_EQ(formats::DurationText(Days(-1)), L"00:00");
    EXPECT_EQ(formats::DurationText(-3.0), L"00:00");
    EXPECT_EQ(formats::DurationText(std::nan("")), L"00:00");
    EXPECT_EQ(formats::DurationText(1e300), formats::DurationText(2'958'465.0));
}

TEST(Formats, SeparatorsComeFromTheUserLocale) {
    {
        PinnedLocale locale(L".", L",");
        auto separators = formats::ReadUserSeparators();
        EXPECT_EQ(separators.Thousands, L".");
        EXPECT_EQ(separators.Decimal, L",");
    }
    {
        PinnedLocale locale(L"", L""); // no grouping is allowed, no decimal mark is not
        auto separators = formats::ReadUserSeparators();
        EXPECT_EQ(separators.Thousands, L"");
        EXPECT_EQ(separators.Decimal, L".");
    }
    {
        PinnedLocale locale(nullptr, nullptr); // the query fails
        auto separators = formats::ReadUserSeparators();
        EXPECT_EQ(separators.Thousands, L",");
        EXPECT_EQ(separators.Decimal, L".");
    }
    const auto user = formats::ReadUserSeparators();
    EXPECT_EQ(formats::FormatBytes(3, true, 2'415'919'104),
              formats::FormatBytes(3, true, 2'415'919'104, user));
    EXPECT_EQ(formats::PacketCountText(1'234'567), formats::PacketCountText(1'234'567, user));
    EXPECT_EQ(formats::LinkSpeedText(100'000'000), formats::LinkSpeedText(100'000'000, user));
    EXPECT_EQ(formats::BalloonSpeedText(1'000'000), formats::BalloonSpeedText(1'000'000, user));
}
