#include "support/FakeClipboard.h"

namespace fake {

FakeClipboard::FakeClipboard() {
    binding_->OpenClipboard = [this](HWND) -> BOOL {
        if (ClipboardBusy)
            return FALSE;
        ++ClipboardOpen;
        return TRUE;
    };
    binding_->EmptyClipboard = [this]() -> BOOL { return ClipboardOpen > 0; };
    binding_->CloseClipboard = [this]() -> BOOL {
        --ClipboardOpen;
        return TRUE;
    };
    binding_->SetClipboardData = [this](UINT format, HANDLE data) -> HANDLE {
        if (ClipboardOpen <= 0 || format != CF_UNICODETEXT)
            return nullptr;
        // Taken as the system would take it: the memory is ours to free now.
        if (const auto* text = static_cast<const wchar_t*>(::GlobalLock(data))) {
            ClipboardTexts.emplace_back(text);
            ::GlobalUnlock(data);
        }
        ::GlobalFree(data);
        return data;
    };
}

} // namespace fake
