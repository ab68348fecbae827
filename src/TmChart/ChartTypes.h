#pragma once
#include "widgets/Colors.h"

#include <cstdint>
#include <initializer_list>

namespace tmchart {

// The chart speaks the toolkit's colours.
using widgets::clBlack;
using widgets::clGreen;
using widgets::clLime;
using widgets::clMaroon;
using widgets::clWindow;
using widgets::clYellow;
using widgets::ColorToRgb;
using widgets::kSystemColorFlag;
using widgets::TColor;

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
