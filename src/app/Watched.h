#pragma once
#include "platform/Win32.h"

namespace app {

// Whether the program gives an interface a window, from its row of the 64-bit interface
// table and whether it has an IPv4 address. From Vista on the table also lists what no
// user calls a connection: the filter layers stacked on each adapter (which repeat the
// adapter's type and physical address, so only their flag tells them apart), WAN
// miniports, tunnels, the kernel debug adapter, virtual adapters of the system. The
// loopback and filter layers never; an adapter with hardware or a connector always,
// connected or not; anything else once it has an address (a virtual switch, a VPN that
// has connected).
bool IsWatched(const MIB_IF_ROW2& row, bool hasIPv4Address);

} // namespace app
