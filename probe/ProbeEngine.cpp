#include "ProbeEngine.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <vector>

namespace kvprobe {

namespace {

constexpr BYTE kDefaultMaxHops = 30;
constexpr DWORD kDefaultTimeoutMs = 2000;
constexpr DWORD kDefaultPacketSize = 16;
// Keeps a bad request from asking for a huge echo or an endless wait.
constexpr DWORD kMaxPacketSize = 1024;
constexpr DWORD kMaxTimeoutMs = 60000;
constexpr LONG kStopTrace = -1;

// Statuses after which nothing further along the route can answer.
bool EndsRoute(IP_STATUS status) {
    switch (status) {
    case IP_DEST_NET_UNREACHABLE:
    case IP_DEST_HOST_UNREACHABLE:
    case IP_DEST_PROT_UNREACHABLE:
    case IP_DEST_PORT_UNREACHABLE:
    case IP_BAD_DESTINATION:
        return true;
    default:
        return false;
    }
}

void EnsureWinsock() {
    static std::once_flag started;
    std::call_once(started, [] {
        WSADATA data{};
        ::WSAStartup(MAKEWORD(2, 2), &data);
    });
}

class IcmpHandle {
public:
    IcmpHandle() : handle_(seam().IcmpCreateFile()) {}
    ~IcmpHandle() {
        if (Valid())
            seam().IcmpCloseHandle(handle_);
    }
    IcmpHandle(const IcmpHandle&) = delete;
    IcmpHandle& operator=(const IcmpHandle&) = delete;
    bool Valid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

TraceResult* NewResult(BYTE lastHop, bool reached, DWORD status) {
    auto* block = new TraceResult{};
    block->lastHop = lastHop;
    block->reached = reached ? 1 : 0;
    block->status = status;
    return block;
}

// The host name of a socket address through getnameinfo; 0 and a non-empty name, or the
// failure.
DWORD NameOf(const sockaddr* where, int length, std::string& host) {
    EnsureWinsock();
    char name[NI_MAXHOST] = {};
    const int failed = seam().getnameinfo(where, length, name, sizeof name, nullptr, 0, NI_NAMEREQD);
    if (failed != 0)
        return static_cast<DWORD>(failed);
    name[sizeof name - 1] = '\0';
    host = name;
    return host.empty() ? static_cast<DWORD>(WSAHOST_NOT_FOUND) : 0;
}

} // namespace

Seam& seam() {
    static Seam binding;
    return binding;
}

std::optional<IPAddr> ParseDotted(const char* text, std::size_t capacity) {
    if (!text)
        return std::nullopt;
    const std::size_t length = strnlen(text, capacity);
    if (length == capacity)
        return std::nullopt; // not terminated within its field
    unsigned char bytes[4] = {};
    std::size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (at >= length || text[at] != '.')
                return std::nullopt;
            ++at;
        }
        unsigned value = 0;
        std::size_t digits = 0;
        while (at < length && text[at] >= '0' && text[at] <= '9' && digits < 3) {
            value = value * 10 + static_cast<unsigned>(text[at] - '0');
            ++at;
            ++digits;
        }
        if (digits == 0 || value > 255)
            return std::nullopt;
        bytes[part] = static_cast<unsigned char>(value);
    }
    if (at != length)
        return std::nullopt;
    IPAddr address = 0;
    std::memcpy(&address, bytes, sizeof address);
    return address;
}

std::string DottedText(IPAddr address) {
    unsigned char bytes[4];
    std::memcpy(bytes, &address, sizeof bytes);
    return std::to_string(bytes[0]) + '.' + std::to_string(bytes[1]) + '.' + std::to_string(bytes[2]) + '.' +
           std::to_string(bytes[3]);
}

DWORD Trace(const TraceRequest* request, TraceResult** result, HopCallback callback) {
    if (!result)
        return KVPROBE_FAILED;
    *result = nullptr;
    if (!request || request->size < sizeof(TraceRequest))
        return KVPROBE_FAILED;
    const std::optional<IPAddr> target = ParseDotted(request->target, sizeof request->target);
    if (!target || *target == INADDR_ANY || *target == INADDR_NONE)
        return KVPROBE_BAD_TARGET;

    const BYTE maxHops = request->maxHops ? request->maxHops : kDefaultMaxHops;
    const DWORD timeout =
        std::min(request->hopTimeoutMs ? request->hopTimeoutMs : kDefaultTimeoutMs, kMaxTimeoutMs);
    const DWORD packetSize =
        std::min(request->packetSize ? request->packetSize : kDefaultPacketSize, kMaxPacketSize);

    IcmpHandle icmp;
    if (!icmp.Valid()) {
        *result = NewResult(0, false, KVPROBE_FAILED);
        return KVPROBE_FAILED;
    }
    std::vector<BYTE> data(packetSize, 'a');
    // Room for one reply carrying our data back, its ICMP error payload and the
    // status block the call may append.
    std::vector<BYTE> reply(sizeof(ICMP_ECHO_REPLY) + packetSize + 8 + 64);

    LONG stop = 0;
    BYTE hop = 0;
    bool reached = false;
    DWORD status = KVPROBE_OK;
    while (hop < maxHops && stop != kStopTrace && !reached) {
        ++hop;
        IP_OPTION_INFORMATION options{};
        options.Ttl = hop;
        std::fill(reply.begin(), reply.end(), BYTE{0});
        const DWORD answers = seam().IcmpSendEcho2(icmp.Get(), nullptr, nullptr, nullptr, *target,
                                                   data.data(), static_cast<WORD>(data.size()), &options,
                                                   reply.data(), static_cast<DWORD>(reply.size()), timeout);
        HopReport report{};
        report.hop = hop;
        report.cookie = request->cookie;
        bool endsRoute = false;
        const auto* echo = reinterpret_cast<const ICMP_ECHO_REPLY*>(reply.data());
        // Some systems count a router's error reply as no echo, but still fill it in.
        const bool answered = answers > 0 || echo->Address != 0;
        if (!answered) {
            const DWORD error = seam().GetLastError();
            if (error != IP_REQ_TIMED_OUT && error != ERROR_TIMEOUT) {
                status = KVPROBE_FAILED; // cannot send at all (no route, no rights)
                break;
            }
            report.timeMs = KVPROBE_NO_ANSWER;
            report.status = IP_REQ_TIMED_OUT;
        } else {
            const std::string from = DottedText(echo->Address);
            std::memcpy(report.address, from.c_str(), from.size() + 1);
            report.timeMs = echo->RoundTripTime;
            report.status = echo->Status;
            reached = echo->Status == IP_SUCCESS;
            endsRoute = EndsRoute(echo->Status);
        }
        if (callback)
            callback(&report, &stop);
        if (endsRoute)
            break;
    }
    *result = NewResult(hop, reached, status);
    return status;
}

void FreeResult(TraceResult** result) {
    if (!result || !*result)
        return;
    delete *result;
    *result = nullptr;
}

DWORD Lookup(LookupRequest* request) {
    if (!request || request->size < sizeof(LookupRequest))
        return WSAEINVAL;
    request->hostName[0] = '\0';
    const std::optional<IPAddr> address = ParseDotted(request->address, sizeof request->address);
    if (!address)
        return WSAEINVAL;
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = *address;
    std::string host;
    const DWORD failed = NameOf(reinterpret_cast<const sockaddr*>(&where), sizeof where, host);
    if (failed != 0)
        return failed;
    const std::size_t length = std::min(host.size(), sizeof request->hostName - 1);
    std::memcpy(request->hostName, host.data(), length);
    request->hostName[length] = '\0';
    return 0;
}

std::optional<std::array<BYTE, 16>> ParseIpv6(std::string_view text) {
    std::vector<WORD> head; // the groups before "::", or all of them without one
    std::vector<WORD> tail; // the groups after "::"
    bool gap = false;
    std::size_t at = 0;
    if (text.substr(0, 2) == "::") {
        gap = true;
        at = 2;
    }
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(':', at), text.size());
        const std::string_view piece = text.substr(at, end - at);
        std::vector<WORD>& groups = gap ? tail : head;
        if (piece.find('.') != std::string_view::npos) {
            // The dotted tail holds the last two groups and ends the text.
            const std::string dotted(piece);
            const std::optional<IPAddr> v4 =
                end == text.size() ? ParseDotted(dotted.c_str(), dotted.size() + 1) : std::nullopt;
            if (!v4)
                return std::nullopt;
            BYTE bytes[4];
            std::memcpy(bytes, &*v4, sizeof bytes);
            groups.push_back(static_cast<WORD>(bytes[0] << 8 | bytes[1]));
            groups.push_back(static_cast<WORD>(bytes[2] << 8 | bytes[3]));
        } else {
            if (piece.empty() || piece.size() > 4)
                return std::nullopt;
            unsigned value = 0;
            for (char c : piece) {
                const int digit = c >= '0' && c <= '9'   ? c - '0'
                                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                         : -1;
                if (digit < 0)
                    return std::nullopt;
                value = value * 16 + static_cast<unsigned>(digit);
            }
            groups.push_back(static_cast<WORD>(value));
        }
        if (head.size() + tail.size() > 8)
            return std::nullopt;
        if (end == text.size())
            break;
        if (end + 1 < text.size() && text[end + 1] == ':') {
            if (gap)
                return std::nullopt; // a second "::"
            gap = true;
            at = end + 2;
        } else {
            at = end + 1;
            if (at == text.size())
                return std::nullopt; // a single ':' at the end
        }
    }
    const std::size_t count = head.size() + tail.size();
    if (gap ? count > 7 : count != 8)
        return std::nullopt;
    std::array<BYTE, 16> bytes{};
    auto put = [&bytes](std::size_t group, WORD value) {
        bytes[group * 2] = static_cast<BYTE>(value >> 8);
        bytes[group * 2 + 1] = static_cast<BYTE>(value & 0xFF);
    };
    for (std::size_t i = 0; i < head.size(); ++i)
        put(i, head[i]);
    for (std::size_t i = 0; i < tail.size(); ++i)
        put(8 - tail.size() + i, tail[i]);
    return bytes;
}

std::optional<SocketAddress> ParseAddress(const wchar_t* text) {
    if (!text)
        return std::nullopt;
    const std::size_t length = wcsnlen(text, kMaxAddressText + 1);
    if (length == 0 || length > kMaxAddressText)
        return std::nullopt;
    // Address texts are plain ASCII; anything else is no address.
    std::string narrow;
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] <= L' ' || text[i] > L'~')
            return std::nullopt;
        narrow += static_cast<char>(text[i]);
    }
    SocketAddress result;
    if (narrow.find(':') == std::string::npos) {
        const std::optional<IPAddr> v4 = ParseDotted(narrow.c_str(), narrow.size() + 1);
        if (!v4)
            return std::nullopt;
        auto* in = reinterpret_cast<sockaddr_in*>(&result.storage);
        in->sin_family = AF_INET;
        in->sin_addr.s_addr = *v4;
        result.length = sizeof(sockaddr_in);
        return result;
    }
    const std::size_t percent = narrow.find('%');
    ULONG zone = 0;
    if (percent != std::string::npos) {
        const std::string_view digits = std::string_view(narrow).substr(percent + 1);
        if (digits.empty() || digits.size() > 10)
            return std::nullopt;
        ULONGLONG value = 0;
        for (char c : digits) {
            if (c < '0' || c > '9')
                return std::nullopt;
            value = value * 10 + static_cast<ULONGLONG>(c - '0');
        }
        if (value > 0xFFFFFFFFULL)
            return std::nullopt;
        zone = static_cast<ULONG>(value);
    }
    const std::optional<std::array<BYTE, 16>> v6 = ParseIpv6(std::string_view(narrow).substr(0, percent));
    if (!v6)
        return std::nullopt;
    auto* in6 = reinterpret_cast<sockaddr_in6*>(&result.storage);
    in6->sin6_family = AF_INET6;
    std::memcpy(&in6->sin6_addr, v6->data(), v6->size());
    in6->sin6_scope_id = zone;
    result.length = sizeof(sockaddr_in6);
    return result;
}

DWORD LookupWide(const wchar_t* address, wchar_t* hostName, DWORD capacity) {
    if (!hostName || capacity == 0)
        return WSAEINVAL;
    hostName[0] = L'\0';
    const std::optional<SocketAddress> where = ParseAddress(address);
    if (!where)
        return WSAEINVAL;
    std::string host;
    const DWORD failed = NameOf(reinterpret_cast<const sockaddr*>(&where->storage), where->length, host);
    if (failed != 0)
        return failed;
    const int needed =
        ::MultiByteToWideChar(CP_ACP, 0, host.data(), static_cast<int>(host.size()), nullptr, 0);
    if (needed <= 0)
        return WSAHOST_NOT_FOUND;
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, host.data(), static_cast<int>(host.size()), wide.data(), needed);
    std::size_t length = std::min<std::size_t>(wide.size(), capacity - 1);
    // Never half a character: a cut before a low surrogate drops its high one too.
    if (length > 0 && length < wide.size() && IS_HIGH_SURROGATE(wide[length - 1]))
        --length;
    std::memcpy(hostName, wide.data(), length * sizeof(wchar_t));
    hostName[length] = L'\0';
    return 0;
}

} // namespace kvprobe
