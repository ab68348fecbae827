#pragma once
// The probe library's work, apart from its exports: trace route by ICMP echo requests of
// rising TTL and address-to-name lookups. Every system call goes through Seam, which the
// library's own tests replace with a scripted network.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include "kvprobe.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

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
// The sixteen bytes of an IPv6 address text: groups of one to four hexadecimal digits, at
// most one "::", an optional dotted IPv4 tail; no zone.
std::optional<std::array<BYTE, 16>> ParseIpv6(std::string_view text);
// An address text of either family as the socket address a lookup takes: dotted IPv4, or
// IPv6 with an optional decimal zone ("fe80::1%12"). At most kMaxAddressText characters.
struct SocketAddress {
    sockaddr_storage storage{};
    int length = 0;
};
constexpr std::size_t kMaxAddressText = 64;
std::optional<SocketAddress> ParseAddress(const wchar_t* text);

DWORD Trace(const TraceRequest* request, TraceResult** result, HopCallback callback);
void FreeResult(TraceResult** result);
DWORD Lookup(LookupRequest* request);
// GetDNSLookupW: the name of an address text of either family, NUL-terminated and cut to
// capacity characters. Non-zero, with an empty name where there is room for one, when the
// arguments are unusable, the text is no address or no name was found.
DWORD LookupWide(const wchar_t* address, wchar_t* hostName, DWORD capacity);

} // namespace kvprobe
