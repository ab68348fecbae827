#include "platform/Clipboard.h"

#include <cstring>

namespace platform {

namespace {
// Global memory that is ours until the clipboard takes it.
class GlobalText {
public:
    explicit GlobalText(const std::wstring& text) {
        const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
        memory_ = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (void* at = memory_ ? ::GlobalLock(memory_) : nullptr) {
            std::memcpy(at, text.c_str(), bytes);
            ::GlobalUnlock(memory_);
        } else {
            Free();
        }
    }
    ~GlobalText() { Free(); }
    GlobalText(const GlobalText&) = delete;
    GlobalText& operator=(const GlobalText&) = delete;
    HGLOBAL Get() const { return memory_; }
    void Release() { memory_ = nullptr; }

private:
    void Free() {
        if (memory_)
            ::GlobalFree(memory_);
        memory_ = nullptr;
    }
    HGLOBAL memory_ = nullptr;
};
} // namespace

Clipboard& clipboard() {
    static Clipboard binding;
    return binding;
}

bool SetClipboardText(HWND owner, const std::wstring& text) {
    GlobalText memory(text);
    Clipboard& board = clipboard();
    if (!memory.Get() || !board.OpenClipboard(owner))
        return false;
    bool taken = false;
    if (board.EmptyClipboard() && board.SetClipboardData(CF_UNICODETEXT, memory.Get())) {
        memory.Release();
        taken = true;
    }
    board.CloseClipboard();
    return taken;
}

} // namespace platform
