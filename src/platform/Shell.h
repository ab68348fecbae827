#pragma once
#include "platform/Win32.h"

#include <functional>

namespace platform {

struct Shell {
    std::function<BOOL(DWORD, PNOTIFYICONDATAW)> Shell_NotifyIconW = ::Shell_NotifyIconW;
    std::function<HINSTANCE(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT)> ShellExecuteW = ::ShellExecuteW;
};

Shell& shell();

// The message the shell broadcasts when its taskbar was (re)created.
UINT TaskbarCreatedMessage();

} // namespace platform
