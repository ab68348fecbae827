#pragma once
#include "platform/Win32.h"

#include "kvprobe.h"

#include <functional>
#include <string>

namespace kelvradll {

// The probe library beside the program, loaded by its full path when first needed (never
// from the search path, so no other file of that name is ever run). A missing library or
// export leaves every function empty: the commands that need it stay disabled.
struct ProbeLibrary {
    std::function<DWORD(const TraceRequest*, TraceResult**, HopCallback)> TraceRoute;
    std::function<void(TraceResult**)> FreeTraceRt;
    std::function<DWORD(LookupRequest*)> GetDNSLookup;
    // Looks up addresses of both families; a library without it looks up IPv4 only.
    std::function<DWORD(const wchar_t*, wchar_t*, DWORD)> GetDNSLookupW;

    bool Loaded() const { return TraceRoute && FreeTraceRt && GetDNSLookup; }
};

// The process-wide binding, loaded at its first use.
ProbeLibrary& probeLibrary();
// Loads the library beside the program through the kernel binding; once it has every
// export it stays loaded for the rest of the process.
ProbeLibrary LoadProbeLibrary();

// The host name of a dotted address through GetDNSLookup, or the empty text when the
// library has none (or is missing). Text that does not fit the request's address field
// (a host name from an earlier lookup) is not sent and gives the empty text.
std::wstring LookUpHostName(const std::wstring& address);
// The same through a copy of the binding (a worker's, taken when its job started).
std::wstring LookUpHostName(const ProbeLibrary& probe, const std::wstring& address);

// The 32-bit address value as the platform stores it (network order), first byte first:
// the bytes 192, 168, 0, 1 give "192.168.0.1".
std::wstring DottedAddress(DWORD address);

} // namespace kelvradll
