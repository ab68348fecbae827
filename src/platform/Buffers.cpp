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

} // namespace platform
