#pragma once
// The texts of the connections list and the order its heading clicks give: pure, so the
// rules are tested without a window.
#include "platform/Win32.h"
#include "widgets/ListView.h"

#include <cstdint>
#include <optional>
#include <string>

namespace connections {

// The list's column positions.
enum Column : std::uint8_t { kLocalAddress, kLocalPort, kRemoteAddress, kRemotePort, kState, kColumnCount };

// The port of a table field: its low 16 bits in network order; the upper half is not
// part of the port.
std::wstring PortText(DWORD field);

// The name of a connection state, or nothing for a value outside 1..12.
std::optional<std::wstring> StateName(DWORD state);

// The list's row of one table entry: the five texts and the remote address as its data.
widgets::ListView::Row ConnectionRow(const MIB_TCPROW& entry);

// Ordinal comparison that folds only A..Z to lower case: negative, zero or positive.
int CompareText(const std::wstring& a, const std::wstring& b);

// The order of two rows by one column: ports by their numbers written with at least
// six digits, everything else as text. Descending inverts the result.
int CompareRows(const widgets::ListView::Row& a, const widgets::ListView::Row& b, std::uint8_t column,
                bool ascending);

// Whether a cell still holds a dotted address (and not a host name from a lookup).
bool IsDottedAddress(const std::wstring& text);

} // namespace connections
