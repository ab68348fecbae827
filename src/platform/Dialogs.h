#pragma once
#include "platform/Win32.h"

#include <commdlg.h>

#include <functional>

namespace platform {

// The compiled help's viewer, from the help control library loaded on first use; no
// window when the library is missing.
HWND HtmlHelpFromLibrary(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data);

// Message boxes, the help file and the colour, font and save dialogs: the user-facing
// system dialogs.
struct Dialogs {
    std::function<int(HWND, LPCWSTR, LPCWSTR, UINT)> MessageBoxW = ::MessageBoxW;
    std::function<HWND(HWND, LPCWSTR, UINT, DWORD_PTR)> HtmlHelpW = HtmlHelpFromLibrary;
    std::function<BOOL(LPCHOOSECOLORW)> ChooseColorW = ::ChooseColorW;
    std::function<BOOL(LPCHOOSEFONTW)> ChooseFontW = ::ChooseFontW;
    std::function<BOOL(LPOPENFILENAMEW)> GetSaveFileNameW = ::GetSaveFileNameW;
};

Dialogs& dialogs();

} // namespace platform
