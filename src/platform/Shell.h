#pragma once
#include "platform/Win32.h"

#include <objbase.h>
#include <shlobj.h>

#include <functional>

namespace platform {

struct Shell {
    std::function<BOOL(DWORD, PNOTIFYICONDATAW)> Shell_NotifyIconW = ::Shell_NotifyIconW;
    std::function<HINSTANCE(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT)> ShellExecuteW = ::ShellExecuteW;
    std::function<BOOL(SHELLEXECUTEINFOW*)> ShellExecuteExW = ::ShellExecuteExW;
    std::function<HRESULT(HWND, int, PIDLIST_ABSOLUTE*)> SHGetSpecialFolderLocation =
        ::SHGetSpecialFolderLocation;
    std::function<void(LPVOID)> CoTaskMemFree = ::CoTaskMemFree;
};

Shell& shell();

// Opens a special folder of the shell (CSIDL_...) with a verb; the answer is the
// execution's hInstApp.
HINSTANCE OpenSpecialFolder(HWND window, int folder, LPCWSTR verb);

// The message the shell broadcasts when its taskbar was (re)created.
UINT TaskbarCreatedMessage();

// The message other programs (the installer) send a status window to stop the program.
UINT StopRequestMessage();

} // namespace platform
