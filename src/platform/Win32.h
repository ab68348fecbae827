#pragma once
// One place that decides which Windows headers and API level the program sees.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
#include <windows.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
// The 64-bit interface table's records, which the program looks up at run time while it
// targets XP (the IP helper header brings them for Vista targets only).
#include <netioapi.h>
#include <shellapi.h>
#include <commctrl.h>
