#pragma once
#include "platform/Win32.h"

#include <raserror.h>

namespace platform {

// The dial-up connection record in its 32-bit layout of 692 bytes, as the dial-up
// library fills it when asked with dwSize 692.
struct RasConnRecord {
    DWORD dwSize;
    HANDLE hrasconn;
    CHAR szEntryName[257];
    CHAR szDeviceType[17];
    CHAR szDeviceName[129];
    CHAR szPhonebook[260];
    DWORD dwSubEntry;
    GUID guidEntry;
};
#ifndef _WIN64
static_assert(sizeof(RasConnRecord) == 692);
#endif

} // namespace platform

#include <functional>

namespace platform {

// The dial-up library, loaded by name when first needed; a missing library or entry
// point leaves the function empty.
struct DialUp {
    std::function<DWORD(RasConnRecord*, LPDWORD, LPDWORD)> RasEnumConnectionsA;
};

DialUp& dialUp();

} // namespace platform
