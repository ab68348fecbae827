#pragma once
// The byte counting of the status window, apart from any window: raw values, 32-bit wraps,
// 64-bit restarts, totals and deltas, the activity state and the tray tooltip's text.
#include "StatForm/Formats.h"

#include <cstdint>
#include <string>

namespace counting {

// What one update of one direction came to.
struct Tick {
    // What the interface has counted, wraps included (the reset base is not taken off).
    std::int64_t Count = 0;
    // The raw value differs from the previous one: the activity picture shows traffic.
    bool Moved = false;
    // The bytes counted since the previous update, none on the first sample. Neither the
    // reset button nor the hidden wrap correction changes them: what a history adds up.
    std::uint64_t Bytes = 0;
};

// The counting of one direction (sent or received) of the window's interface. It works on
// the window's figures of that direction, which the rest of the window reads and sets (the
// usage page takes the delta, the reset button moves the base, the hidden correction the
// wraps); the 64-bit bookkeeping is its own.
class Direction {
public:
    struct Figures {
        // The raw value of the previous update.
        std::uint32_t& PrevOctets;
        std::uint16_t& Wraps;
        const std::int64_t& BytesBase;
        // The total shown: counted minus the reset base.
        std::int64_t& Total;
        // The low 32 bits of the shown total's change: the usage page's bytes of the tick.
        std::uint32_t& Delta;
    };

    explicit Direction(Figures figures) : figures_(figures) {}
    Direction(const Direction&) = delete;
    Direction& operator=(const Direction&) = delete;

    // The 32-bit row: a raw value below the previous one has wrapped (or restarted, which
    // looks the same) and counts one more wrap.
    Tick Count32(std::uint32_t octets, std::uint32_t discards, bool firstSample);
    // The 64-bit row, whose counters do not wrap: a raw value below the previous one has
    // restarted with its interface, and what it had counted before stays in the total. The
    // wrap count is then only the hidden correction's.
    Tick Count64(std::uint64_t octets, std::uint64_t discards, bool firstSample);

private:
    Tick Show(std::int64_t count, bool moved, std::uint64_t bytes, bool firstSample);

    Figures figures_;
    std::uint64_t prevOctets64_ = 0;
    // The bytes counted before the interface's 64-bit counters last restarted.
    std::uint64_t beforeRestart_ = 0;
};

// The activity picture: 0 idle, 1 sending, 2 receiving, 3 both; 4 whenever the cable is
// unplugged, whatever the traffic.
std::uint8_t ActivityState(bool sentMoved, bool receivedMoved, bool mediaDisconnected);

// The lines of the tooltip that PopupDisplayType picks.
inline constexpr std::uint8_t kHintName = 8;
inline constexpr std::uint8_t kHintSpeed = 4;
inline constexpr std::uint8_t kHintTotals = 1;
inline constexpr std::uint8_t kHintAddress = 2;

// What the tray tooltip is made of.
struct HintFacts {
    // Windows 2000 and later, and Me, show the lines PopupDisplayType picks; older systems
    // the connection's name alone.
    bool Lines = false;
    std::uint8_t PopupDisplayType = 0;
    int OctetDisp = 0;
    bool MediaDisconnected = false;
    std::wstring ConnectionName;
    std::wstring Speed;
    std::int64_t SentTotal = 0;
    std::int64_t ReceivedTotal = 0;
    std::wstring Address;

    // The address is read from its list only for a tooltip that shows it.
    bool ShowsAddress() const {
        return Lines && !MediaDisconnected && (PopupDisplayType & kHintAddress) != 0;
    }
};

// The tray tooltip, cut to the 255 bytes the window allows it.
std::wstring TrayHint(const HintFacts& facts, const formats::NumberSeparators& separators);
std::wstring TrayHint(const HintFacts& facts);

} // namespace counting
