#include "ProbeEngine.h"

#include <algorithm>
#include <cstring>
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
    EnsureWinsock();
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = *address;
    char host[NI_MAXHOST] = {};
    const int failed = seam().getnameinfo(reinterpret_cast<const sockaddr*>(&where), sizeof where, host,
                                          sizeof host, nullptr, 0, NI_NAMEREQD);
    if (failed != 0)
        return static_cast<DWORD>(failed);
    host[sizeof host - 1] = '\0';
    const std::size_t length = std::min(std::strlen(host), sizeof request->hostName - 1);
    if (length == 0)
        return WSAHOST_NOT_FOUND;
    std::memcpy(request->hostName, host, length);
    request->hostName[length] = '\0';
    return 0;
}

} // namespace kvprobe
