#include "StatForm/Ipv6Text.h"

#include <algorithm>
#include <cwchar>

namespace addresses {

namespace {

constexpr std::size_t kGroups = 8;

// Where the longest run of at least two zero groups starts, and its length (0 for none).
std::pair<std::size_t, std::size_t> LongestZeroRun(const std::array<std::uint16_t, kGroups>& groups) {
    std::size_t bestStart = 0;
    std::size_t bestLength = 0;
    for (std::size_t i = 0; i < kGroups;) {
        if (groups[i] != 0) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < kGroups && groups[end] == 0)
            ++end;
        if (end - i > bestLength) {
            bestStart = i;
            bestLength = end - i;
        }
        i = end;
    }
    return {bestStart, bestLength >= 2 ? bestLength : 0};
}

bool IsIpv4Mapped(const Ipv6Bytes& bytes) {
    return std::all_of(bytes.begin(), bytes.begin() + 10, [](std::uint8_t b) { return b == 0; }) &&
           bytes[10] == 0xFF && bytes[11] == 0xFF;
}

} // namespace

std::wstring Ipv6Text(const Ipv6Bytes& bytes, std::uint32_t zone) {
    wchar_t part[24];
    std::wstring text;
    if (IsIpv4Mapped(bytes)) {
        std::swprintf(part, std::size(part), L"::ffff:%u.%u.%u.%u", bytes[12], bytes[13], bytes[14],
                      bytes[15]);
        text = part;
    } else {
        std::array<std::uint16_t, kGroups> groups{};
        for (std::size_t i = 0; i < kGroups; ++i)
            groups[i] = static_cast<std::uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
        const auto [runStart, runLength] = LongestZeroRun(groups);
        for (std::size_t i = 0; i < kGroups;) {
            if (runLength != 0 && i == runStart) {
                text += L"::";
                i += runLength;
                continue;
            }
            if (!text.empty() && text.back() != L':')
                text += L':';
            std::swprintf(part, std::size(part), L"%x", groups[i]);
            text += part;
            ++i;
        }
    }
    if (zone != 0) {
        std::swprintf(part, std::size(part), L"%%%u", zone);
        text += part;
    }
    return text;
}

std::wstring Ipv6Text(const unsigned char* bytes, std::uint32_t zone) {
    Ipv6Bytes copy{};
    std::copy(bytes, bytes + copy.size(), copy.begin());
    return Ipv6Text(copy, zone);
}

} // namespace addresses
