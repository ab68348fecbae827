/* A probe library for the tests, a real file named like the one beside the program:
 * whole, its trace reports one hop and then goes on probing without heeding a stop (a
 * hop that never answers); built with NO_LOOKUP it lacks GetDNSLookup, built with
 * NO_WIDE_LOOKUP it lacks GetDNSLookupW (a library of an earlier release).
 * GetDNSLookup finds no name. GetDNSLookupW names the addresses of 2001:db8::/32 after
 * their text, ':' and '%' made '-', followed by ".v6.test" ("2001:db8::1" is
 * "2001-db8--1.v6.test"), cut to the capacity; every other text has no name (11001). */
#include "kvprobe.h"

#include <string.h>
#include <wchar.h>

__declspec(dllexport) DWORD WINAPI
    TraceRoute(const TraceRequest* request, TraceResult** result, HopCallback callback) {
    HopReport report;
    LONG stop = 0;
    const DWORD start = GetTickCount();
    memset(&report, 0, sizeof report);
    report.hop = 1;
    memcpy(report.address, "10.9.0.1", sizeof "10.9.0.1");
    report.timeMs = 1;
    report.cookie = request->cookie;
    callback(&report, &stop);
    /* Bounded all the same, so a process left behind still ends. */
    while (GetTickCount() - start < 30000)
        Sleep(1);
    *result = NULL;
    return KVPROBE_FAILED;
}

__declspec(dllexport) void WINAPI FreeTraceRt(TraceResult** result) {
    *result = NULL;
}

#ifndef NO_LOOKUP
__declspec(dllexport) DWORD WINAPI GetDNSLookup(LookupRequest* request) {
    (void)request;
    return 1;
}
#endif

#ifndef NO_WIDE_LOOKUP
__declspec(dllexport) DWORD WINAPI GetDNSLookupW(const wchar_t* address, wchar_t* hostName, DWORD capacity) {
    static const wchar_t prefix[] = L"2001:db8:";
    static const wchar_t suffix[] = L".v6.test";
    wchar_t name[128];
    DWORD length = 0;
    DWORD i;
    if (!address || !hostName || capacity == 0)
        return ERROR_INVALID_PARAMETER;
    hostName[0] = 0;
    if (wcsncmp(address, prefix, wcslen(prefix)) != 0 || wcslen(address) > 64)
        return 11001;
    for (i = 0; address[i]; ++i)
        name[length++] = address[i] == L':' || address[i] == L'%' ? L'-' : address[i];
    for (i = 0; suffix[i]; ++i)
        name[length++] = suffix[i];
    if (length > capacity - 1)
        length = capacity - 1;
    memcpy(hostName, name, length * sizeof(wchar_t));
    hostName[length] = 0;
    return 0;
}
#endif
