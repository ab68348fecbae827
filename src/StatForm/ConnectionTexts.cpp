#include "StatForm/ConnectionTexts.h"
#include "StatForm/Ipv6Text.h"
#include "kelvradll/ProbeLibrary.h"

#include <algorithm>
#include <array>

namespace connections {

namespace {

constexpr std::array<const wchar_t*, 12> kStateNames{
    L"CLOSED",    L"LISTEN",     L"SYN_SENT", L"SYN_RCVD", L"ESTABLISHED", L"FIN_WAIT1",
    L"FIN_WAIT2", L"CLOSE_WAIT", L"CLOSING",  L"LAST_ACK", L"TIME_WAIT",   L"DELETE_TCB"};

constexpr std::size_t kPortDigits = 6;
// A process id is a 32-bit number: ten digits hold every one.
constexpr std::size_t kProcessIdDigits = 10;

wchar_t Folded(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

int CompareTextOf(const std::wstring& a, const std::wstring& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const wchar_t x = Folded(a[i]);
        const wchar_t y = Folded(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

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

std::wstring PaddedNumber(unsigned long long value, std::size_t width) {
    std::wstring digits = std::to_wstring(value);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), L'0');
    return digits;
}

// Two cells in the order of their numbers written with at least `width` digits, compared
// as text. Numbers that fit the width give texts of one length, whose order is the
// numbers' own: compared as numbers, the sort makes no text for each comparison.
int ComparePadded(const std::wstring& a, const std::wstring& b, std::size_t width) {
    unsigned long long limit = 1;
    for (std::size_t i = 0; i < width; ++i)
        limit *= 10;
    const unsigned long long x = NumberOf(a);
    const unsigned long long y = NumberOf(b);
    if (x < limit && y < limit)
        return x == y ? 0 : (x < y ? -1 : 1);
    return CompareTextOf(PaddedNumber(x, width), PaddedNumber(y, width));
}

// An IPv6 address of a table entry; only a link-local address names its scope (the
// interface it is reached through).
std::wstring Ipv6AddressText(const UCHAR* bytes, DWORD scope) {
    const bool linkLocal = bytes[0] == 0xFE && (bytes[1] & 0xC0) == 0x80;
    return addresses::Ipv6Text(bytes, linkLocal ? scope : 0);
}

// The owner's id and name after the state (an empty state cell where it has no name).
void AddOwner(widgets::ListView::Row& row, DWORD id, const ProcessNames& owners) {
    row.cells.resize(kProcessId);
    row.cells.push_back(std::to_wstring(id));
    row.cells.push_back(owners.NameOf(id));
}

bool IsHexDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

bool IsLetterOrDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (Folded(c) >= L'a' && Folded(c) <= L'z');
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

widgets::ListView::Row ConnectionRow(const MIB_TCPROW_OWNER_PID& entry, const ProcessNames& owners) {
    widgets::ListView::Row row = ConnectionRow(MIB_TCPROW{entry.dwState, entry.dwLocalAddr, entry.dwLocalPort,
                                                          entry.dwRemoteAddr, entry.dwRemotePort});
    AddOwner(row, entry.dwOwningPid, owners);
    return row;
}

widgets::ListView::Row ConnectionRow(const MIB_TCP6ROW_OWNER_PID& entry, const ProcessNames& owners) {
    widgets::ListView::Row row;
    row.cells = {Ipv6AddressText(entry.ucLocalAddr, entry.dwLocalScopeId), PortText(entry.dwLocalPort),
                 Ipv6AddressText(entry.ucRemoteAddr, entry.dwRemoteScopeId), PortText(entry.dwRemotePort)};
    if (std::optional<std::wstring> state = StateName(entry.dwState))
        row.cells.push_back(*state);
    row.data = kIpv6RowData;
    AddOwner(row, entry.dwOwningPid, owners);
    return row;
}

int CompareText(const std::wstring& a, const std::wstring& b) {
    return CompareTextOf(a, b);
}

int CompareRows(const widgets::ListView::Row& a, const widgets::ListView::Row& b, std::uint8_t column,
                bool ascending) {
    int result = 0;
    if (column == kLocalPort || column == kRemotePort)
        result = ComparePadded(Cell(a, column), Cell(b, column), kPortDigits);
    else if (column == kProcessId)
        result = ComparePadded(Cell(a, column), Cell(b, column), kProcessIdDigits);
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

bool IsIpv6Address(const std::wstring& text) {
    // The zone: one or more letters or digits after a '%' (Windows writes a number).
    std::size_t end = text.find(L'%');
    if (end != std::wstring::npos) {
        if (end + 1 == text.size())
            return false;
        for (std::size_t i = end + 1; i < text.size(); ++i)
            if (!IsLetterOrDigit(text[i]))
                return false;
    } else {
        end = text.size();
    }
    const std::wstring address = text.substr(0, end);
    if (address.size() < 2)
        return false;
    // A dotted tail stands for the last two groups.
    std::size_t groups = 0;
    std::size_t tailGroups = 0;
    std::wstring head = address;
    if (const std::size_t colon = address.rfind(L':');
        colon != std::wstring::npos && address.find(L'.', colon) != std::wstring::npos) {
        if (!IsDottedAddress(address.substr(colon + 1)))
            return false;
        head = address.substr(0, colon + 1);
        tailGroups = 2;
        // The colon before the tail is a separator, unless it closes a "::".
        if (!head.ends_with(L"::"))
            head.pop_back();
    }
    bool compressed = false;
    std::size_t at = 0;
    if (head.starts_with(L"::")) {
        compressed = true;
        at = 2;
    }
    while (at < head.size()) {
        std::size_t digits = 0;
        while (at < head.size() && IsHexDigit(head[at]) && digits < 5) {
            ++at;
            ++digits;
        }
        if (digits == 0 || digits > 4)
            return false;
        ++groups;
        if (at == head.size())
            break;
        if (head[at] != L':')
            return false;
        ++at;
        if (at < head.size() && head[at] == L':') {
            if (compressed)
                return false; // one "::" only
            compressed = true;
            ++at;
        } else if (at == head.size()) {
            return false; // a single colon at the end
        }
    }
    groups += tailGroups;
    return compressed ? groups < 8 : groups == 8;
}

} // namespace connections
