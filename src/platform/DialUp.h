#pragma once
#include "platform/Win32.h"

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
