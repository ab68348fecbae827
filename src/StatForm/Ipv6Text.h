#pragma once
// The text of an IPv6 address as people read and type it: lower-case hexadecimal groups
// without leading zeros, the longest run of two or more zero groups written "::" (the
// first of equally long runs), an IPv4-mapped address with its dotted tail, and the zone
// ("%12") where the address has one.
#include <array>
#include <cstdint>
#include <string>

namespace addresses {

using Ipv6Bytes = std::array<std::uint8_t, 16>;

// The address's sixteen bytes in network order; a zone of 0 is not written.
std::wstring Ipv6Text(const Ipv6Bytes& bytes, std::uint32_t zone = 0);

// The same from the first sixteen bytes of a buffer (a table row's address field).
std::wstring Ipv6Text(const unsigned char* bytes, std::uint32_t zone = 0);

} // namespace addresses
