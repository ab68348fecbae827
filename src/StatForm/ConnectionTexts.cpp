#include "StatForm/ConnectionTexts.h"
#include "kelvradll/ProbeLibrary.h"

#include <algorithm>
#include <array>

namespace connections {

namespace {

constexpr std::array<const wchar_t*, 12> kStateNames{
    L"CLOSED",    L"LISTEN",     L"SYN_SENT", L"SYN_RCVD", L"ESTABLISHED", L"FIN_WAIT1",
    L"FIN_WAIT2", L"CLOSE_WAIT", L"CLOSING",  L"LAST_ACK", L"TIME_WAIT",   L"DELETE_TCB"};

constexpr std::size_t kPortDigits = 6;

// A cell read as a whole number; what is not one counts as 0.
unsigned long long NumberOf(const std::wstring& text) {
    if (text.empty() || text.size() > 18)
        return 0;
    unsigned long long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return 0;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    return value;
}

std::wstring PaddedNumber(const std::wstring& text) {
    std::wstring digits = std::to_wstring(NumberOf(text));
    if (digits.size() < kPortDigits)
        digits.insert(0, kPortDigits - digits.size(), L'0');
    return digits;
}

wchar_t Folded(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

const std::wstring& Cell(const widgets::ListView::Row& row, std::size_t column) {
    static const std::wstring kEmpty;
    return column < row.cells.size() ? row.cells[column] : kEmpty;
}

} // namespace

std::wstring PortText(DWORD field) {
    const auto port = static_cast<unsigned>(((field & 0xFF) << 8) | ((field >> 8) & 0xFF));
    return std::to_wstring(port);
}

std::optional<std::wstring> StateName(DWORD state) {
    if (state < 1 || state > kStateNames.size())
        return std::nullopt;
    return kStateNames[state - 1];
}

widgets::ListView::Row ConnectionRow(const MIB_TCPROW& entry) {
    widgets::ListView::Row row;
    row.cells = {kelvradll::DottedAddress(entry.dwLocalAddr), PortText(entry.dwLocalPort),
                 kelvradll::DottedAddress(entry.dwRemoteAddr), PortText(entry.dwRemotePort)};
    if (std::optional<std::wstring> state = StateName(entry.dwState))
        row.cells.push_back(*state);
    row.data = static_cast<LPARAM>(entry.dwRemoteAddr);
    return row;
}

int CompareText(const std::wstring& a, const std::wstring& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const wchar_t x = Folded(a[i]);
        const wchar_t y = Folded(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int CompareRows(const widgets::ListView::Row& a, const widgets::ListView::Row& b, std::uint8_t column,
                bool ascending) {
    int result = 0;
    if (column == kLocalPort || column == kRemotePort)
        result = CompareText(PaddedNumber(Cell(a, column)), PaddedNumber(Cell(b, column)));
    else
        result = CompareText(Cell(a, column), Cell(b, column));
    return ascending ? result : -result;
}

bool IsDottedAddress(const std::wstring& text) {
    int parts = 0;
    std::size_t at = 0;
    while (parts < 4) {
        std::size_t digits = 0;
        unsigned value = 0;
        while (at < text.size() && text[at] >= L'0' && text[at] <= L'9' && digits < 3) {
            value = value * 10 + static_cast<unsigned>(text[at] - L'0');
            ++at;
            ++digits;
        }
        if (digits == 0 || value > 255)
            return false;
        ++parts;
        if (parts < 4) {
            if (at >= text.size() || text[at] != L'.')
                return false;
            ++at;
        }
    }
    return at == text.size();
}

} // namespace connections
