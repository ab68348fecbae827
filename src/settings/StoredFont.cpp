#include "settings/StoredFont.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace settings {

namespace {

// Offsets of the record's fields; the bytes between them are padding.
constexpr std::size_t kCharsetAt = 0;
constexpr std::size_t kColorAt = 4;
constexpr std::size_t kHeightAt = 8;
constexpr std::size_t kNameAt = 12;
constexpr std::size_t kPitchAt = 268;
constexpr std::size_t kSizeAt = 272;
constexpr std::size_t kStyleAt = 276;
// A legend font outside these bounds is no font anyone chose: at 20,000 points showing
// the chart would take most of the address space.
constexpr std::int32_t kMinPoints = TStoredFont::kMinPoints;
constexpr std::int32_t kMaxPoints = TStoredFont::kMaxPoints;
constexpr std::int32_t kMinPixels = 4;
constexpr std::uint8_t kKnownStyles =
    tmchart::fsBold | tmchart::fsItalic | tmchart::fsUnderline | tmchart::fsStrikeOut;

void Put32(std::vector<std::uint8_t>& block, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        block[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t Get32(const std::vector<std::uint8_t>& block, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(block[at + i]) << (8 * i);
    return value;
}

} // namespace

TStoredFont TStoredFont::FromFont(const tmchart::TChartFont& font) {
    TStoredFont record;
    record.Charset = font.Charset();
    record.Color = font.Color();
    record.Height = font.Height();
    record.Name = platform::ToAnsi(platform::CutToBytes(font.Name(), kNameBytes));
    record.Pitch = static_cast<std::uint8_t>(font.Pitch());
    record.Size = font.Size();
    record.Style = font.Style();
    return record;
}

void TStoredFont::ApplyTo(tmchart::TChartFont& font) const {
    font.SetCharset(Charset);
    font.SetColor(Color);
    font.SetHeight(Height);
    font.SetName(platform::FromAnsi(Name));
    // A pitch the font does not know is the default one.
    font.SetPitch(Pitch <= tmchart::fpFixed ? static_cast<tmchart::TFontPitch>(Pitch) : tmchart::fpDefault);
    font.SetSize(Size);
    font.SetStyle(static_cast<tmchart::TFontStyles>(Style & kKnownStyles));
}

std::vector<std::uint8_t> TStoredFont::Encode() const {
    std::vector<std::uint8_t> block(kSize, 0);
    block[kCharsetAt] = Charset;
    Put32(block, kColorAt, Color);
    Put32(block, kHeightAt, static_cast<std::uint32_t>(Height));
    std::size_t length = std::min(Name.size(), kNameBytes);
    block[kNameAt] = static_cast<std::uint8_t>(length);
    std::memcpy(block.data() + kNameAt + 1, Name.data(), length);
    block[kPitchAt] = Pitch;
    Put32(block, kSizeAt, static_cast<std::uint32_t>(Size));
    block[kStyleAt] = Style;
    return block;
}

std::optional<TStoredFont> TStoredFont::Decode(const std::vector<std::uint8_t>& block) {
    if (block.size() != kSize)
        return std::nullopt;
    TStoredFont record;
    record.Charset = block[kCharsetAt];
    record.Color = Get32(block, kColorAt);
    record.Height = static_cast<std::int32_t>(Get32(block, kHeightAt));
    // The length byte can say no more than the 255 bytes that follow it.
    std::size_t length = block[kNameAt];
    record.Name.assign(reinterpret_cast<const char*>(block.data() + kNameAt + 1), length);
    // Face names end at their first NUL, whatever the length byte says.
    if (auto nul = record.Name.find('\0'); nul != std::string::npos)
        record.Name.resize(nul);
    record.Pitch = block[kPitchAt];
    record.Size = static_cast<std::int32_t>(Get32(block, kSizeAt));
    record.Style = block[kStyleAt];
    // Negative sizes and heights count the other way round (cell against character).
    const std::int64_t points = std::abs(static_cast<std::int64_t>(record.Size));
    const std::int64_t pixels = std::abs(static_cast<std::int64_t>(record.Height));
    if (points < kMinPoints || points > kMaxPoints || pixels < kMinPixels)
        return std::nullopt;
    return record;
}

} // namespace settings
