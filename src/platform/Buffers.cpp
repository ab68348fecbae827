#include "platform/Buffers.h"

namespace platform {

DWORD FetchBlock(const std::function<DWORD(BYTE*, ULONG*)>& call, ULONG initialSize,
                 std::vector<BYTE>& block) {
    constexpr int kAttempts = 4;
    ULONG size = initialSize;
    DWORD answer = ERROR_INSUFFICIENT_BUFFER;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        block.assign(size, 0);
        ULONG asked = size;
        answer = call(block.empty() ? nullptr : block.data(), &asked);
        if (answer != ERROR_INSUFFICIENT_BUFFER && answer != ERROR_BUFFER_OVERFLOW)
            break;
        if (asked <= size)
            break; // a size that does not grow would loop forever
        size = asked;
    }
    return answer;
}

namespace {

// The records of one chain of type T, from its first, while each lies whole inside the block.
template <typename T> std::vector<const T*> ChainIn(const std::vector<BYTE>& block, const T* first) {
    const BYTE* begin = block.data();
    const BYTE* end = begin + block.size();
    auto inside = [&](const T* record) {
        const auto* b = reinterpret_cast<const BYTE*>(record);
        return b >= begin && b + sizeof(T) <= end;
    };
    std::vector<const T*> chain;
    const std::size_t steps = block.size() / sizeof(T) + 1;
    for (const T* record = first; record && inside(record) && chain.size() < steps; record = record->Next)
        chain.push_back(record);
    return chain;
}

} // namespace

std::vector<const IP_ADAPTER_INFO*> AdaptersIn(const std::vector<BYTE>& block) {
    return ChainIn(block, reinterpret_cast<const IP_ADAPTER_INFO*>(block.data()));
}

std::vector<const IP_ADDR_STRING*> AddressesIn(const std::vector<BYTE>& block,
                                               const IP_ADAPTER_INFO& adapter) {
    return ChainIn(block, &adapter.IpAddressList);
}

} // namespace platform
