#pragma once
#include "platform/Win32.h"

#include <cstdint>

namespace widgets {

// A toolkit colour: 0x00BBGGRR for an RGB colour; with the top byte 0xFF the low byte
// names a system colour (COLOR_WINDOW, ...), resolved when drawing.
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x00000000;
constexpr TColor clMaroon = 0x00000080;
constexpr TColor clGreen = 0x00008000;
constexpr TColor clOlive = 0x00008080;
constexpr TColor clNavy = 0x00800000;
constexpr TColor clPurple = 0x00800080;
constexpr TColor clTeal = 0x00808000;
constexpr TColor clGray = 0x00808080;
constexpr TColor clSilver = 0x00C0C0C0;
constexpr TColor clRed = 0x000000FF;
constexpr TColor clLime = 0x0000FF00;
constexpr TColor clYellow = 0x0000FFFF;
constexpr TColor clBlue = 0x00FF0000;
constexpr TColor clFuchsia = 0x00FF00FF;
constexpr TColor clAqua = 0x00FFFF00;
constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor kSystemColorFlag = 0xFF000000;
constexpr TColor clWindow = kSystemColorFlag | COLOR_WINDOW;

inline COLORREF ColorToRgb(TColor color) {
    if ((color & kSystemColorFlag) == kSystemColorFlag)
        return ::GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFF;
}

} // namespace widgets
