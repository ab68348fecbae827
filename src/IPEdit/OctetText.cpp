#include "IPEdit/OctetText.h"

#include <cwctype>

namespace ipedit {

namespace {
constexpr std::uint32_t kSaturated = 1000000;

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// The number of the leading digits, modulo 256.
std::uint32_t LeadingOctet(const std::wstring& part) {
    std::uint32_t value = 0;
    for (wchar_t c : part) {
        if (!IsDigit(c))
            break;
        value = (value * 10 + static_cast<std::uint32_t>(c - L'0')) % 256;
    }
    return value;
}
} // namespace

std::optional<std::uint32_t> WholeNumber(const std::wstring& text) {
    if (text.empty())
        return std::nullopt;
    std::uint32_t value = 0;
    for (wchar_t c : text) {
        if (!IsDigit(c))
            return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - L'0');
        if (value > kSaturated)
            value = kSaturated;
    }
    return value;
}

std::wstring LeftOctet(const std::wstring& text) {
    if (!WholeNumber(text))
        return L"";
    return std::to_wstring(LeadingOctet(text));
}

std::array<std::optional<std::wstring>, 4> OctetsFromText(const std::wstring& text) {
    auto first = text.find_first_not_of(L" \t\r\n");
    auto last = text.find_last_not_of(L" \t\r\n");
    std::wstring rest = first == std::wstring::npos ? L"." : text.substr(first, last - first + 1) + L".";
    std::array<std::optional<std::wstring>, 4> octets;
    for (auto& octet : octets) {
        auto dot = rest.find(L'.');
        if (dot == std::wstring::npos)
            break;
        octet = std::to_wstring(LeadingOctet(rest.substr(0, dot)));
        rest.erase(0, dot + 1);
    }
    return octets;
}

} // namespace ipedit
