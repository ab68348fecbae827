#pragma once
#include "platform/Win32.h"

#include <commdlg.h>

#include <functional>

namespace platform {

// Message boxes, the help file and the colour dialog: the user-facing system dialogs.
struct Dialogs {
    std::function<int(HWND, LPCWSTR, LPCWSTR, UINT)> MessageBoxW = ::MessageBoxW;
    std::function<BOOL(HWND, LPCWSTR, UINT, ULONG_PTR)> WinHelpW = ::WinHelpW;
    std::function<BOOL(LPCHOOSECOLORW)> ChooseColorW = ::ChooseColorW;
};

Dialogs& dialogs();

} // namespace platform
