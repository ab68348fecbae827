#pragma once
// The texts of the address field's four octets: what a typed or pasted octet means.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace ipedit {

// The number an octet text stands for when it is all decimal digits (at least one);
// values beyond what an octet could ever hold saturate rather than wrap.
std::optional<std::uint32_t> WholeNumber(const std::wstring& text);

// What an octet field shows once the user leaves it: its number modulo 256 without
// leading zeros. A field with no number in it (emptied, or pasted letters) is left
// empty, so the address stays visibly incomplete instead of turning into a made-up 0.
std::wstring LeftOctet(const std::wstring& text);

// The octet texts that writing `text` to the whole field gives: trimmed, split at the
// dots, each part's leading digits modulo 256 (no digits: 0), at most four parts.
// Octets without a part keep their texts (nullopt).
std::array<std::optional<std::wstring>, 4> OctetsFromText(const std::wstring& text);

} // namespace ipedit
