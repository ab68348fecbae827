#include "platform/Clipboard.h"

#include "platform/Handles.h"

#include <cstring>

namespace platform {

Clipboard& clipboard() {
    static Clipboard binding;
    return binding;
}

namespace {
// The clipboard is opened for one call and closed on every path.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() {
        if (open_)
            ::CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return open_; }

private:
    bool open_;
};

struct GlobalTraits {
    using Type = HGLOBAL;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::GlobalFree(h); }
};
} // namespace

bool PutClipboardText(HWND owner, const std::wstring& text) {
    OpenedClipboard opened(owner);
    if (!opened || !::EmptyClipboard())
        return false;
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueHandle<GlobalTraits> memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return false;
    void* target = ::GlobalLock(memory.Get());
    if (!target)
        return false;
    std::memcpy(target, text.c_str(), bytes);
    ::GlobalUnlock(memory.Get());
    // Once placed, the memory belongs to the clipboard.
    if (!::SetClipboardData(CF_UNICODETEXT, memory.Get()))
        return false;
    memory.Release();
    return true;
}

} // namespace platform
