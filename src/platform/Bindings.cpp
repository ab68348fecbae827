#include "platform/Dialogs.h"
#include "platform/Display.h"
#include "platform/IpHelper.h"
#include "platform/Kernel.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Handles.h"

namespace platform {

FARPROC IpHelper::LookUpExport(const char* name) {
    HMODULE library = ::GetModuleHandleW(L"iphlpapi.dll");
    return library ? ::GetProcAddress(library, name) : nullptr;
}

IpHelper& ipHelper() {
    static IpHelper binding;
    return binding;
}

Registry& registry() {
    static Registry binding;
    return binding;
}

void RegKeyTraits::Close(HKEY h) {
    registry().RegCloseKey(h);
}

Shell& shell() {
    static Shell binding;
    return binding;
}

UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

HWND HtmlHelpFromLibrary(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data) {
    using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    // Loaded once and never freed: the viewer's windows run in the library until the
    // process ends.
    static HMODULE library = nullptr;
    static HtmlHelpProc proc = nullptr;
    if (!proc) {
        if (!library)
            library = kernel().LoadLibraryW(L"hhctrl.ocx");
        if (library)
            proc = reinterpret_cast<HtmlHelpProc>(
                reinterpret_cast<void*>(kernel().GetProcAddress(library, "HtmlHelpW")));
    }
    return proc ? proc(caller, file, command, data) : nullptr;
}

UINT StopRequestMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TarveloStop");
    return message;
}

Display& display() {
    static Display binding;
    return binding;
}

int Display::ScreenPixelsPerInch() {
    HDC screen = ::GetDC(nullptr);
    int value = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return value > 0 ? value : kStandardPixelsPerInch;
}

Dialogs& dialogs() {
    static Dialogs binding;
    return binding;
}

} // namespace platform
