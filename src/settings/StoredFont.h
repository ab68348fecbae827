#pragma once
#include "TmChart/ChartFont.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace settings {

// The font record of the "GridFont" value: 280 little-endian bytes, the face name as a
// length byte and up to 255 bytes in the system code page.
struct TStoredFont {
    static constexpr std::size_t kSize = 280;
    static constexpr std::size_t kNameBytes = 255;
    // The sizes a record may carry, in points.
    static constexpr int kMinPoints = 6;
    static constexpr int kMaxPoints = 72;

    std::uint8_t Charset = DEFAULT_CHARSET;
    std::uint32_t Color = 0;
    std::int32_t Height = 0;
    std::string Name; // bytes, at most kNameBytes
    std::uint8_t Pitch = 0;
    std::int32_t Size = 0;
    std::uint8_t Style = 0;

    // The record of a font; a face name too long is cut, never inside a character.
    static TStoredFont FromFont(const tmchart::TChartFont& font);
    // Sets the font's properties in the order charset, colour, height, name, pitch,
    // size, style, so the size decides the height.
    void ApplyTo(tmchart::TChartFont& font) const;

    std::vector<std::uint8_t> Encode() const;
    // Nothing for a block of another length, or for a font of an absurd size (outside the
    // points above, or less than 4 pixels high).
    static std::optional<TStoredFont> Decode(const std::vector<std::uint8_t>& block);
};

} // namespace settings
