/* A probe library for the tests, a real file named like the one beside the program:
 * whole, its trace reports one hop and then goes on probing without heeding a stop (a
 * hop that never answers); built with NO_LOOKUP it lacks GetDNSLookup. */
#include "kvprobe.h"

#include <string.h>

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
