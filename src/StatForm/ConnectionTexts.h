#pragma once
// The texts of the connections list and the order its heading clicks give: pure, so the
// rules are tested without a window.
#include "StatForm/Owners.h"
#include "platform/Win32.h"
#include "widgets/ListView.h"

#include <cstdint>
#include <optional>
#include <string>

namespace connections {

// The list's column positions. The first five are the ones the list has always had (the
// plug-ins and the stored widths "CCon0" to "CCon4" know them); the owning process's id
// and image name follow.
enum Column : std::uint8_t {
    kLocalAddress,
    kLocalPort,
    kRemoteAddress,
    kRemotePort,
    kState,
    kProcessId,
    kProcessName,
    kColumnCount
};

// A row's data word: for an IPv4 row the remote address as the platform gave it (network
// order), which the trace route takes; for an IPv6 row this marker, the limited broadcast
// address that no TCP connection has. An IPv6 row's addresses are its cells' texts.
inline constexpr LPARAM kIpv6RowData = static_cast<LPARAM>(0xFFFFFFFFu);
inline bool IsIpv6Row(LPARAM data) {
    return data == kIpv6RowData;
}

// The port of a table field: its low 16 bits in network order; the upper half is not
// part of the port.
std::wstring PortText(DWORD field);

// The name of a connection state, or nothing for a value outside 1..12.
std::optional<std::wstring> StateName(DWORD state);

// The list's row of one table entry: the five texts and the remote address as its data.
widgets::ListView::Row ConnectionRow(const MIB_TCPROW& entry);
// The same with the owning process's id and name, from an IPv4 or an IPv6 entry. An
// IPv6 address reads as compressed text, a link-local one with its scope ("fe80::1%12").
widgets::ListView::Row ConnectionRow(const MIB_TCPROW_OWNER_PID& entry, const ProcessNames& owners);
widgets::ListView::Row ConnectionRow(const MIB_TCP6ROW_OWNER_PID& entry, const ProcessNames& owners);

// Ordinal comparison that folds only A..Z to lower case: negative, zero or positive.
int CompareText(const std::wstring& a, const std::wstring& b);

// The order of two rows by one column: ports by their numbers written with at least six
// digits, process ids with at least ten (so every id sorts as the number it is),
// everything else as text. Descending inverts the result.
int CompareRows(const widgets::ListView::Row& a, const widgets::ListView::Row& b, std::uint8_t column,
                bool ascending);

// Whether a cell still holds an address (and not a host name from a lookup): dotted
// IPv4, or IPv6 text (with a zone or an IPv4 tail where it has one).
bool IsDottedAddress(const std::wstring& text);
bool IsIpv6Address(const std::wstring& text);

} // namespace connections
