#pragma once
#include "platform/Win32.h"

#include <cstdint>
#include <optional>
#include <string>

// The number texts of the status window, shared by the General page, the tray tooltip and
// balloons, and the usage page. Every function taking NumberSeparators is pure; the overloads
// without them use the user's locale.
namespace formats {

struct NumberSeparators {
    std::wstring Thousands = L",";
    std::wstring Decimal = L".";
};

// Asks the locale now (through the kernel binding); a failed query keeps the default.
NumberSeparators ReadUserSeparators();
// The user's separators, read once on first use.
const NumberSeparators& UserSeparators();

// Link speeds are 64-bit: links beyond 4,294,967,295 bit/s exist.
// Link speed for labels: "100.0 Mbps" above 1,000,000 bit/s, "10.0 kbps" from 10,000, else "9999 bps"
// (a speed of 0 reads " bps").
std::wstring LinkSpeedText(std::uint64_t bitsPerSecond, const NumberSeparators& separators);
std::wstring LinkSpeedText(std::uint64_t bitsPerSecond);

// Link speed for the status balloon: "连接于 1.0 Mbps" from 1,000,000 bit/s on.
std::wstring BalloonSpeedText(std::uint64_t bitsPerSecond, const NumberSeparators& separators);
std::wstring BalloonSpeedText(std::uint64_t bitsPerSecond);

// Packet count with thousands grouping, at least one digit.
std::wstring PacketCountText(std::uint32_t count, const NumberSeparators& separators);
std::wstring PacketCountText(std::uint32_t count);

// Byte count in the unit of the byte display mode ("OctetDisp"): 0 bytes, 1 KB, 2 MB, 3 GB,
// 4 picked per value (always with unit). Any other mode gives the empty text.
std::wstring FormatBytes(int mode, bool withUnit, std::int64_t value, const NumberSeparators& separators);
std::wstring FormatBytes(int mode, bool withUnit, std::int64_t value);

// The caption of the unit label for a byte display mode; nothing for an unknown mode, whose
// label keeps what it shows.
std::optional<std::wstring> ByteUnitCaption(int mode);

// Connection duration from the elapsed local time in days: "00:59", "01:01:01",
// "1 days 01:00". A negative elapsed time (clock set back) reads as zero.
std::wstring DurationText(double elapsedDays);

} // namespace formats
