/* The probe library's interface: trace route and address-to-name lookups.
   Shared, unchanged, by the library (kelvra.dll) and by every program that loads it.
   All functions and the hop callback use the stdcall convention; the records keep the
   32-bit layouts below on every compiler. */
#ifndef KVPROBE_H
#define KVPROBE_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define KVPROBE_LIBRARY_NAME "kelvra.dll"

/* Filled by the caller. */
typedef struct TraceRequest {
    DWORD size;      /* 36 */
    char target[16]; /* dotted address, NUL-terminated */
    BYTE maxHops;    /* 30 */
    BYTE reserved[3];
    DWORD hopTimeoutMs; /* waiting time for each hop's answer, 2000 */
    DWORD packetSize;   /* bytes of data in each echo request, 16 */
    DWORD cookie;       /* handed back in every hop report */
} TraceRequest;

#define KVPROBE_NO_ANSWER 0xFFFFFFFFu

/* One per hop, handed to the callback during TraceRoute. */
typedef struct HopReport {
    BYTE hop;         /* 1 for the first router */
    char address[16]; /* dotted address of the hop, NUL-terminated; empty without answer */
    BYTE reserved1[3];
    DWORD timeMs; /* round trip, or KVPROBE_NO_ANSWER */
    DWORD status; /* the echo's IP status (not read by callers) */
    DWORD cookie; /* the request's */
} HopReport;

/* Owned by the library; callers read only the first byte. */
typedef struct TraceResult {
    BYTE lastHop; /* the last hop probed */
    BYTE reached; /* 1 when the target answered */
    BYTE reserved[2];
    DWORD status; /* TraceRoute's result */
} TraceResult;

/* Zero-filled by the caller. */
typedef struct LookupRequest {
    DWORD size;         /* 280 */
    DWORD reserved;     /* 0 */
    char address[16];   /* dotted address, NUL-terminated */
    char hostName[256]; /* written by the library, NUL-terminated */
} LookupRequest;

/* TraceRoute's results. */
#define KVPROBE_OK 0u
#define KVPROBE_BAD_TARGET 6u
#define KVPROBE_FAILED 1u

/* Writing -1 into *stop ends the trace after this hop. */
typedef void(WINAPI* HopCallback)(const HopReport* report, LONG* stop);

typedef DWORD(WINAPI* TraceRouteFunction)(const TraceRequest* request, TraceResult** result,
                                          HopCallback callback);
typedef void(WINAPI* FreeTraceRtFunction)(TraceResult** result);
/* 0 when a host name was written into request->hostName. */
typedef DWORD(WINAPI* GetDNSLookupFunction)(LookupRequest* request);
/* The host name of an address text of either family ("192.168.0.1", "2001:db8::1",
   "fe80::1%12"), written NUL-terminated into hostName, which holds capacity characters.
   0 when a name was written. */
typedef DWORD(WINAPI* GetDNSLookupWFunction)(const wchar_t* address, wchar_t* hostName, DWORD capacity);

#ifdef __cplusplus
}
#endif

#if defined(__cplusplus) && !defined(_WIN64)
#include <cstddef>
static_assert(sizeof(TraceRequest) == 36, "TraceRequest layout");
static_assert(offsetof(TraceRequest, target) == 4 && offsetof(TraceRequest, maxHops) == 20 &&
                  offsetof(TraceRequest, hopTimeoutMs) == 24 && offsetof(TraceRequest, packetSize) == 28 &&
                  offsetof(TraceRequest, cookie) == 32,
              "TraceRequest layout");
static_assert(sizeof(HopReport) == 32, "HopReport layout");
static_assert(offsetof(HopReport, address) == 1 && offsetof(HopReport, timeMs) == 20 &&
                  offsetof(HopReport, cookie) == 28,
              "HopReport layout");
static_assert(offsetof(TraceResult, lastHop) == 0, "TraceResult layout");
static_assert(sizeof(LookupRequest) == 280, "LookupRequest layout");
static_assert(offsetof(LookupRequest, address) == 8 && offsetof(LookupRequest, hostName) == 24,
              "LookupRequest layout");
#endif

#endif
