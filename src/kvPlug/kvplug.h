/* The plug-in protocol: what a "Plugins\kv_*.dll" library exports and what the host
 * offers it. Plain C, so a plug-in can be written in anything that makes a 32-bit
 * Windows library. Every function uses the standard (stdcall) calling convention. */
#ifndef KVPLUG_H
#define KVPLUG_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The version of the protocol, the text code 65535 answers. */
#define KVPLUG_VERSION "1.22"

/* The caption buffer the host hands to GetDisplayName: zero-filled, at most 254
 * characters of text in the system's ANSI code page and a NUL. */
#define KVPLUG_CAPTION_SIZE 255

/* GetFlags bits; the others carry no meaning. */
#define KVPLUG_ENABLED 0x0001u
#define KVPLUG_VISIBLE 0x0002u
#define KVPLUG_CHECKED 0x0100u

/* PluginDataCallback's answers. */
#define KVPLUG_OK 0u
#define KVPLUG_UNKNOWN_CODE 8233u

/* PluginDataCallback's request codes and what the value slot receives. Addresses point
 * at the monitored window's own data: read in place, never free or change. */
enum KvPlugCode {
    KVPLUG_NOTHING = 0,          /* 0 */
    KVPLUG_APP_ICON = 1,         /* the application icon (HICON) */
    KVPLUG_WINDOW_OBJECT = 2,    /* the status window object, opaque */
    KVPLUG_NETWORK_PARAMS = 3,   /* FIXED_INFO with its chained DNS entries */
    KVPLUG_ADAPTER_INFO = 4,     /* IP_ADAPTER_INFO, 640 bytes */
    KVPLUG_TCP_STATS = 5,        /* MIB_TCPSTATS */
    KVPLUG_IP_STATS = 6,         /* MIB_IPSTATS */
    KVPLUG_UDP_STATS = 7,        /* MIB_UDPSTATS */
    KVPLUG_ICMP_STATS = 8,       /* MIB_ICMP */
    KVPLUG_INTERFACE_TABLE = 9,  /* MIB_IFTABLE of the latest sample */
    KVPLUG_IF_ROW = 10,          /* MIB_IFROW, 860 bytes */
    KVPLUG_INTERFACE_INDEX = 11, /* DWORD interface index, then the friendly index */
    KVPLUG_INTERFACE_NAME = 12,  /* NUL-terminated code page 936 text, or 0 when empty */
    KVPLUG_CONNECTION_NAME = 13, /* NUL-terminated code page 936 text, or 0 when empty */
    KVPLUG_WINDOW_HANDLE = 14,   /* the status window (HWND) */
    KVPLUG_VERSION_TEXT = 0xFFFF /* the text KVPLUG_VERSION */
};

/* The value slot is one 32-bit word in the 32-bit protocol; as wide as an address, so
 * the addresses it carries survive a wider build. */
typedef UINT_PTR KvPlugValue;

typedef DWORD(WINAPI* KvPlugDataCallback)(DWORD code, KvPlugValue* value);

/* The exports, looked up by these names. */
typedef DWORD(WINAPI* KvPlugGetDisplayName)(DWORD size, char* buffer); /* 0 accepts */
typedef DWORD(WINAPI* KvPlugCallbackRequest)(KvPlugDataCallback callback);
typedef DWORD(WINAPI* KvPlugGetFlags)(void);
typedef DWORD(WINAPI* KvPlugExecute)(HWND window);

#ifdef __cplusplus
}
#endif

#endif
