// The text of IPv6 addresses.
#include "StatForm/Ipv6Text.h"

#include <gtest/gtest.h>

namespace {

addresses::Ipv6Bytes Groups(std::initializer_list<std::uint16_t> groups) {
    addresses::Ipv6Bytes bytes{};
    std::size_t i = 0;
    for (std::uint16_t group : groups) {
        bytes[i++] = static_cast<std::uint8_t>(group >> 8);
        bytes[i++] = static_cast<std::uint8_t>(group & 0xFF);
    }
    return bytes;
}

} // namespace

TEST(Ipv6Text, CompressesAsPeopleWriteIt) {
    const struct {
        addresses::Ipv6Bytes bytes;
        std::uint32_t zone;
        const wchar_t* text;
    } cases[] = {
        {Groups({0x2001, 0xdb8, 0, 0, 0, 0, 0, 1}), 0, L"2001:db8::1"},
        {Groups({0, 0, 0, 0, 0, 0, 0, 1}), 0, L"::1"},
        {Groups({0, 0, 0, 0, 0, 0, 0, 0}), 0, L"::"},
        {Groups({0xfe80, 0, 0, 0, 0, 0, 0, 1}), 12, L"fe80::1%12"},
        // Leading zeros go, letters are lower case.
        {Groups({0x2001, 0x0db8, 0x00AB, 0xCDEF, 1, 2, 3, 4}), 0, L"2001:db8:ab:cdef:1:2:3:4"},
        // A single zero group stays a zero.
        {Groups({0x2001, 0xdb8, 0, 1, 1, 1, 1, 1}), 0, L"2001:db8:0:1:1:1:1:1"},
        // The longest run wins; of equal runs the first.
        {Groups({0x2001, 0, 0, 1, 0, 0, 0, 1}), 0, L"2001:0:0:1::1"},
        {Groups({0x2001, 0xdb8, 0, 0, 1, 0, 0, 1}), 0, L"2001:db8::1:0:0:1"},
        // Runs at either end.
        {Groups({0, 0, 0x2001, 1, 1, 1, 1, 1}), 0, L"::2001:1:1:1:1:1"},
        {Groups({1, 1, 1, 1, 1, 1, 0, 0}), 0, L"1:1:1:1:1:1::"},
        // An IPv4-mapped address keeps its dotted tail.
        {Groups({0, 0, 0, 0, 0, 0xffff, 0xc000, 0x0201}), 0, L"::ffff:192.0.2.1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(addresses::Ipv6Text(c.bytes, c.zone), c.text) << c.text;
    const addresses::Ipv6Bytes loopback = Groups({0, 0, 0, 0, 0, 0, 0, 1});
    EXPECT_EQ(addresses::Ipv6Text(loopback.data(), 3), L"::1%3");
}
