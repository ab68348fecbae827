#include "DetailForm/AdapterIpv6.h"
#include "StatForm/Ipv6Text.h"
#include "platform/Buffers.h"
#include "platform/IpHelper.h"

#include <cstring>

namespace {

// The size the platform's documentation advises to begin with: most lists fit at once.
constexpr ULONG kFirstSize = 15000;
constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_FRIENDLY_NAME;

class Block {
public:
    explicit Block(const std::vector<BYTE>& block)
        : begin_(block.data()), end_(block.data() + block.size()) {}

    bool Holds(const void* at, std::size_t size) const {
        const auto* b = static_cast<const BYTE*>(at);
        return at && b >= begin_ && size <= static_cast<std::size_t>(end_ - b);
    }

    // The records of a chain from its first, while each lies whole inside the block.
    template <typename T> std::vector<const T*> Chain(const T* first) const {
        std::vector<const T*> chain;
        const std::size_t steps = static_cast<std::size_t>(end_ - begin_) / sizeof(T) + 1;
        for (const T* record = first; Holds(record, sizeof(T)) && chain.size() < steps; record = record->Next)
            chain.push_back(record);
        return chain;
    }

    // A NUL-terminated text inside the block; nothing when it runs past its end.
    bool Text(const char* at, std::string& text) const {
        if (!Holds(at, 1))
            return false;
        const std::size_t room = static_cast<std::size_t>(end_ - reinterpret_cast<const BYTE*>(at));
        const std::size_t length = strnlen(at, room);
        if (length == room)
            return false;
        text.assign(at, length);
        return true;
    }

    // The IPv6 socket address a record points to, when it is one and lies inside the block.
    const sockaddr_in6* Ipv6(const SOCKET_ADDRESS& address) const {
        if (address.iSockaddrLength < static_cast<INT>(sizeof(sockaddr_in6)) ||
            !Holds(address.lpSockaddr, sizeof(sockaddr_in6)) || address.lpSockaddr->sa_family != AF_INET6)
            return nullptr;
        return reinterpret_cast<const sockaddr_in6*>(address.lpSockaddr);
    }

private:
    const BYTE* begin_;
    const BYTE* end_;
};

bool IsLinkLocal(const IN6_ADDR& address) {
    return address.s6_addr[0] == 0xFE && (address.s6_addr[1] & 0xC0) == 0x80;
}

std::wstring Text(const sockaddr_in6& address, ULONG zone) {
    return addresses::Ipv6Text(address.sin6_addr.s6_addr, IsLinkLocal(address.sin6_addr) ? zone : 0);
}

} // namespace

std::vector<BYTE> FetchAdapterAddresses() {
    const auto& fetch = platform::ipHelper().GetAdaptersAddresses;
    std::vector<BYTE> block;
    if (!fetch)
        return block;
    const DWORD answer = platform::FetchBlock(
        [&](BYTE* data, ULONG* size) {
            return fetch(AF_UNSPEC, kFlags, nullptr, reinterpret_cast<PIP_ADAPTER_ADDRESSES>(data), size);
        },
        kFirstSize, block);
    if (answer != NO_ERROR)
        block.clear();
    return block;
}

AdapterIpv6 Ipv6Of(const std::vector<BYTE>& data, const std::string& adapterName) {
    AdapterIpv6 found;
    const Block block(data);
    for (const IP_ADAPTER_ADDRESSES* adapter :
         block.Chain(reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(data.data()))) {
        std::string name;
        if (!block.Text(adapter->AdapterName, name) || name != adapterName)
            continue;
        // A link-local address without its own scope takes the adapter's IPv6 index.
        for (const auto* unicast : block.Chain(adapter->FirstUnicastAddress))
            if (const sockaddr_in6* address = block.Ipv6(unicast->Address))
                found.Addresses.push_back(
                    Text(*address, address->sin6_scope_id ? address->sin6_scope_id : adapter->Ipv6IfIndex));
        for (const auto* server : block.Chain(adapter->FirstDnsServerAddress))
            if (const sockaddr_in6* address = block.Ipv6(server->Address))
                found.DnsServers.push_back(Text(*address, address->sin6_scope_id));
        break;
    }
    return found;
}
