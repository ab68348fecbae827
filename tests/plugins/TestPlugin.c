/* A plug-in for the host's tests, built in several variants: its caption, its flags,
 * whether it declines, overfills its caption or lacks Execute come from definitions.
 * Two extra exports let a test see what the host handed it. */
#include "kvPlug/kvplug.h"

#include <string.h>

static KvPlugDataCallback ask;
static HWND lastWindow;

__declspec(dllexport) DWORD WINAPI GetDisplayName(DWORD size, char* buffer) {
#if defined(DECLINE)
    (void)size;
    (void)buffer;
    return 1;
#elif defined(NO_NUL)
    memset(buffer, 'x', size & 0xFFFF);
    return 0;
#elif defined(ANSI_CAPTION)
    /* "Café" as a plug-in writes it: in the ANSI code page of the system it runs on. */
    WideCharToMultiByte(CP_ACP, 0, L"Caf\u00e9", -1, buffer, (int)(size & 0xFFFF), NULL, NULL);
    return 0;
#else
    static const char caption[] = CAPTION;
    (void)size;
    memcpy(buffer, caption, sizeof caption);
    return 0;
#endif
}

__declspec(dllexport) DWORD WINAPI CallbackRequest(KvPlugDataCallback callback) {
    ask = callback;
    return 0;
}

__declspec(dllexport) DWORD WINAPI GetFlags(void) {
    return FLAGS;
}

#ifndef NO_EXECUTE
__declspec(dllexport) DWORD WINAPI Execute(HWND window) {
    lastWindow = window;
    return 0;
}
#endif

__declspec(dllexport) HWND WINAPI LastWindow(void) {
    return lastWindow;
}

__declspec(dllexport) DWORD WINAPI Ask(DWORD code, KvPlugValue* value) {
    return ask ? ask(code, value) : 0xFFFFFFFFu;
}
