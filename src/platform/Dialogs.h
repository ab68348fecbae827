#pragma once
#include "platform/Win32.h"

#include <functional>

namespace platform {

// Message boxes and the help file: the user-facing system dialogs.
struct Dialogs {
    std::function<int(HWND, LPCWSTR, LPCWSTR, UINT)> MessageBoxW = ::MessageBoxW;
    std::function<BOOL(HWND, LPCWSTR, UINT, ULONG_PTR)> WinHelpW = ::WinHelpW;
};

Dialogs& dialogs();

} // namespace platform
