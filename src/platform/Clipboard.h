#pragma once
#include "platform/Win32.h"

#include <functional>
#include <string>

namespace platform {

// Puts a plain text on the clipboard, in place of whatever it held; false when the
// clipboard could not be had.
bool PutClipboardText(HWND owner, const std::wstring& text);

struct Clipboard {
    std::function<bool(HWND, const std::wstring&)> SetText = PutClipboardText;
};

Clipboard& clipboard();

} // namespace platform
