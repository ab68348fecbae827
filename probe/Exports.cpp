// The library's exports (stdcall); kelvra.def exports them undecorated, and only so.
#include "ProbeEngine.h"

extern "C" {

DWORD WINAPI TraceRoute(const TraceRequest* request, TraceResult** result, HopCallback callback) {
    try {
        return kvprobe::Trace(request, result, callback);
    } catch (...) {
        return KVPROBE_FAILED;
    }
}

void WINAPI FreeTraceRt(TraceResult** result) {
    kvprobe::FreeResult(result);
}

DWORD WINAPI GetDNSLookup(LookupRequest* request) {
    try {
        return kvprobe::Lookup(request);
    } catch (...) {
        return WSANO_RECOVERY;
    }
}

DWORD WINAPI GetDNSLookupW(const wchar_t* address, wchar_t* hostName, DWORD capacity) {
    try {
        return kvprobe::LookupWide(address, hostName, capacity);
    } catch (...) {
        return WSANO_RECOVERY;
    }
}
}
