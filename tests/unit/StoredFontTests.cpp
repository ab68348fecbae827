// The "GridFont" record: its bytes, the cut of long face names, and how a font is
// rebuilt from it.
#include "settings/StoredFont.h"

#include <gtest/gtest.h>

using settings::TStoredFont;

namespace {

std::uint32_t At32(const std::vector<std::uint8_t>& block, std::size_t at) {
    return block[at] | block[at + 1] << 8 | block[at + 2] << 16 |
           static_cast<std::uint32_t>(block[at + 3]) << 24;
}

tmchart::TChartFont Font96() {
    tmchart::TChartFont font(96);
    font.SetSize(8);
    return font;
}

} // namespace

TEST(StoredFont, EveryFieldSitsAtItsOffset) {
    tmchart::TChartFont font = Font96();
    font.SetCharset(134);
    font.SetColor(0x00FF00);
    font.SetName(L"宋体");
    font.SetPitch(tmchart::fpFixed);
    font.SetSize(9);
    font.SetStyle(tmchart::fsBold | tmchart::fsStrikeOut);
    std::vector<std::uint8_t> block = TStoredFont::FromFont(font).Encode();
    ASSERT_EQ(block.size(), 280u);
    EXPECT_EQ(block[0], 134);
    EXPECT_EQ(At32(block, 4), 0x00FF00u);
    EXPECT_EQ(static_cast<std::int32_t>(At32(block, 8)), -12);
    EXPECT_EQ(block[12], 4);
    EXPECT_EQ(std::string(block.begin() + 13, block.begin() + 17), "\xCB\xCE\xCC\xE5");
    EXPECT_EQ(block[17], 0);
    EXPECT_EQ(block[268], 2);
    EXPECT_EQ(At32(block, 272), 9u);
    EXPECT_EQ(block[276], 9);
    for (std::size_t padding : {1u, 2u, 3u, 269u, 270u, 271u, 277u, 278u, 279u})
        EXPECT_EQ(block[padding], 0) << padding;
}

TEST(StoredFont, OnlyA280ByteBlockIsARecord) {
    EXPECT_FALSE(TStoredFont::Decode(std::vector<std::uint8_t>(279)));
    EXPECT_FALSE(TStoredFont::Decode(std::vector<std::uint8_t>(281)));
    EXPECT_FALSE(TStoredFont::Decode({}));
    TStoredFont sane;
    sane.Height = -11;
    sane.Size = 8;
    std::vector<std::uint8_t> block = sane.Encode();
    block[12] = 10; // a length beyond the name: it ends at its first NUL
    block[13] = 'A';
    ASSERT_TRUE(TStoredFont::Decode(block));
    EXPECT_EQ(TStoredFont::Decode(block)->Name, "A");
}

TEST(StoredFont, LongFaceNamesAreCutTo255BytesNeverInsideACharacter) {
    tmchart::TChartFont font = Font96();
    font.SetName(std::wstring(300, L'a'));
    EXPECT_EQ(TStoredFont::FromFont(font).Encode()[12], 255);
    // Two bytes a character: 127 of them fill 254 bytes, a 128th would split.
    font.SetName(std::wstring(200, L'宋'));
    std::vector<std::uint8_t> block = TStoredFont::FromFont(font).Encode();
    EXPECT_EQ(block[12], 254);
    tmchart::TChartFont back = Font96();
    TStoredFont::Decode(block)->ApplyTo(back);
    EXPECT_EQ(back.Name(), std::wstring(127, L'宋'));
}

TEST(StoredFont, AFontOfAnAbsurdSizeIsNoRecord) {
    struct Case {
        std::int32_t size, height;
        bool kept;
    } cases[] = {{8, -11, true},         {6, -8, true},    {72, -96, true}, {-9, 12, true},
                 {5, -7, false},         {73, -97, false}, {0, -11, false}, {20000, -26667, false},
                 {-20000, 26667, false}, {8, 3, false},    {8, 0, false},   {INT32_MIN, -11, false}};
    for (const Case& c : cases) {
        TStoredFont record;
        record.Size = c.size;
        record.Height = c.height;
        EXPECT_EQ(TStoredFont::Decode(record.Encode()).has_value(), c.kept) << c.size << " " << c.height;
    }
}

TEST(StoredFont, TheSizeSetLastDecidesTheHeight) {
    TStoredFont record;
    record.Height = -40;
    record.Size = 9;
    record.Name = "Tahoma";
    record.Color = 0x123456;
    record.Pitch = 7;    // unknown: the default pitch
    record.Style = 0xF3; // unknown bits dropped
    tmchart::TChartFont font = Font96();
    TStoredFont::Decode(record.Encode())->ApplyTo(font);
    EXPECT_EQ(font.Height(), -12);
    EXPECT_EQ(font.Name(), L"Tahoma");
    EXPECT_EQ(font.Color(), 0x123456u);
    EXPECT_EQ(font.Pitch(), tmchart::fpDefault);
    EXPECT_EQ(font.Style(), tmchart::fsBold | tmchart::fsItalic);
}
