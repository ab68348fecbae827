#pragma once
#include "platform/Win32.h"

#include <functional>
#include <string>

namespace platform {

// The clipboard, for the copy commands of the tool windows.
struct Clipboard {
    std::function<BOOL(HWND)> OpenClipboard = ::OpenClipboard;
    std::function<BOOL()> EmptyClipboard = ::EmptyClipboard;
    // On success the system owns the memory handed over.
    std::function<HANDLE(UINT, HANDLE)> SetClipboardData = ::SetClipboardData;
    std::function<BOOL()> CloseClipboard = ::CloseClipboard;
};

Clipboard& clipboard();

// Replaces whatever the clipboard holds with the text. False when the clipboard could
// not be had (another program holds it) or took nothing.
bool SetClipboardText(HWND owner, const std::wstring& text);

} // namespace platform
