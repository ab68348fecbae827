#pragma once
// The probe library's work, apart from its exports: trace route by ICMP echo requests of
// rising TTL and address-to-name lookups. Every system call goes through Seam, which the
// library's own tests replace with a scripted network.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include "kvprobe.h"

#include <optional>
#include <string>

namespace kvprobe {

// The completion routine's type as this system header declares IcmpSendEcho2.
#ifdef PIO_APC_ROUTINE_DEFINED
using IcmpApcRoutine = PIO_APC_ROUTINE;
#else
using IcmpApcRoutine = FARPROC;
#endif
using IcmpSendEcho2Function = DWORD(WINAPI*)(HANDLE, HANDLE, IcmpApcRoutine, PVOID, IPAddr, LPVOID, WORD,
                                             PIP_OPTION_INFORMATION, LPVOID, DWORD, DWORD);

struct Seam {
    decltype(&::IcmpCreateFile) IcmpCreateFile = ::IcmpCreateFile;
    decltype(&::IcmpCloseHandle) IcmpCloseHandle = ::IcmpCloseHandle;
    IcmpSendEcho2Function IcmpSendEcho2 = ::IcmpSendEcho2;
    decltype(&::GetLastError) GetLastError = ::GetLastError;
    decltype(&::getnameinfo) getnameinfo = ::getnameinfo;
};

// The process-wide seam. Replaced only by tests, before any call runs.
Seam& seam();

// A dotted address of exactly four decimal numbers 0..255, as the network-order word.
std::optional<IPAddr> ParseDotted(const char* text, std::size_t capacity);
std::string DottedText(IPAddr address);

DWORD Trace(const TraceRequest* request, TraceResult** result, HopCallback callback);
void FreeResult(TraceResult** result);
DWORD Lookup(LookupRequest* request);

} // namespace kvprobe
