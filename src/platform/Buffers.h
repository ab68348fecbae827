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

} // namespace platform
