#include "frmARPlst/ArpText.h"

#include <array>
#include <cwchar>
#include <cwctype>

namespace arp {

namespace {
constexpr std::array<const wchar_t*, 4> kTypeNames{L"Other", L"Invalid", L"Dynamic", L"Static"};

// A whole number of decimal digits only, or 0.
DWORD PartNumber(const std::wstring& part) {
    if (part.empty())
        return 0;
    DWORD value = 0;
    for (wchar_t c : part) {
        if (c < L'0' || c > L'9')
            return 0;
        value = value * 10 + static_cast<DWORD>(c - L'0');
    }
    return value;
}
} // namespace

std::wstring TypeName(DWORD type) {
    return type >= 1 && type <= kTypeNames.size() ? kTypeNames[type - 1] : L"";
}

DWORD TypeNumber(const std::wstring& name) {
    for (std::size_t i = 0; i < kTypeNames.size(); ++i)
        if (::lstrcmpiW(name.c_str(), kTypeNames[i]) == 0)
            return static_cast<DWORD>(i + 1);
    return 0;
}

std::wstring PhysicalAddressText(const BYTE* bytes, DWORD length) {
    if (length == 0)
        return L"";
    std::wstring text;
    for (int i = 0; i < 6; ++i) {
        wchar_t pair[4];
        std::swprintf(pair, 4, L"%02X", bytes[i]);
        text += (i ? L"-" : L"") + std::wstring(pair);
    }
    return text;
}

DWORD DottedToAddress(const std::wstring& text) {
    DWORD address = 0;
    std::size_t start = 0;
    for (int part = 0; part < 4; ++part) {
        std::size_t dot = text.find(L'.', start);
        std::wstring piece = start > text.size() ? L"" : text.substr(start, dot - start);
        address |= (PartNumber(piece) & 0xFF) << (8 * part);
        start = dot == std::wstring::npos ? text.size() + 1 : dot + 1;
    }
    return address;
}

std::wstring AddressToDotted(DWORD address) {
    std::wstring text;
    for (int part = 0; part < 4; ++part)
        text += (part ? L"." : L"") + std::to_wstring((address >> (8 * part)) & 0xFF);
    return text;
}

std::wstring InterfaceHeader(const std::wstring& adapterAddress, DWORD interfaceIndex) {
    wchar_t index[16];
    std::swprintf(index, 16, L"%07X", static_cast<unsigned>(interfaceIndex));
    return L"地址 " + adapterAddress + L" 于界面 0x" + index;
}

} // namespace arp
