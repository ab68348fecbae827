#pragma once
#include "platform/Win32.h"

#include <functional>
#include <vector>

namespace platform {

// Calls a platform function that fills a caller-sized block: first with initialSize
// bytes, then with the size the function asked for. A table that grows between the
// size query and the fetch asks again; that is retried a few times, never trusted
// blindly. Returns the last answer; on success `block` holds the data.
DWORD FetchBlock(const std::function<DWORD(BYTE*, ULONG*)>& call, ULONG initialSize,
                 std::vector<BYTE>& block);

// The adapters in a block that GetAdaptersInfo filled, and the addresses of one of them.
// A chain is followed only inside the block and for no more steps than the block could
// hold, so a damaged link ends the walk instead of reading past the block.
std::vector<const IP_ADAPTER_INFO*> AdaptersIn(const std::vector<BYTE>& block);
std::vector<const IP_ADDR_STRING*> AddressesIn(const std::vector<BYTE>& block,
                                               const IP_ADAPTER_INFO& adapter);

} // namespace platform
