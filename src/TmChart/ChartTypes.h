#pragma once
#include "platform/Win32.h"

#include <cstdint>
#include <initializer_list>

namespace tmchart {

// A toolkit colour: 0x00BBGGRR for an RGB colour; with the top byte 0xFF the low byte
// names a system colour (COLOR_WINDOW, ...), resolved when drawing.
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x00000000;
constexpr TColor clMaroon = 0x00000080;
constexpr TColor clGreen = 0x00008000;
constexpr TColor clLime = 0x0000FF00;
constexpr TColor clYellow = 0x0000FFFF;
constexpr TColor kSystemColorFlag = 0xFF000000;
constexpr TColor clWindow = kSystemColorFlag | COLOR_WINDOW;

inline COLORREF ColorToRgb(TColor color) {
    if ((color & kSystemColorFlag) == kSystemColorFlag)
        return ::GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFF;
}

enum TGridType { gtPercent, gtFloat };
enum TBorderStyle { bsNone, bsSingle };
enum TDrawOption { goLine1, goLine2 };

// The set of lines a chart draws.
class TDrawOptions {
public:
    constexpr TDrawOptions() = default;
    constexpr TDrawOptions(std::initializer_list<TDrawOption> options) {
        for (TDrawOption o : options)
            Include(o);
    }
    constexpr bool Contains(TDrawOption o) const { return (bits_ & Bit(o)) != 0; }
    constexpr void Include(TDrawOption o) { bits_ = static_cast<std::uint8_t>(bits_ | Bit(o)); }
    constexpr void Exclude(TDrawOption o) { bits_ = static_cast<std::uint8_t>(bits_ & ~Bit(o)); }
    constexpr void Toggle(TDrawOption o) { bits_ = static_cast<std::uint8_t>(bits_ ^ Bit(o)); }
    constexpr bool operator==(const TDrawOptions&) const = default;

private:
    static constexpr std::uint8_t Bit(TDrawOption o) { return static_cast<std::uint8_t>(1u << o); }
    std::uint8_t bits_ = 0;
};

} // namespace tmchart
