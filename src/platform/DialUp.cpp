#include "platform/DialUp.h"
#include "platform/Kernel.h"

namespace platform {

DialUp& dialUp() {
    static UniqueModule library(kernel().LoadLibraryW(L"rasapi32.dll"));
    static DialUp binding = [] {
        DialUp b;
        using EnumConnections = DWORD(WINAPI*)(RasConnRecord*, LPDWORD, LPDWORD);
        if (library)
            if (FARPROC entry = kernel().GetProcAddress(library.Get(), "RasEnumConnectionsA"))
                b.RasEnumConnectionsA = reinterpret_cast<EnumConnections>(reinterpret_cast<void*>(entry));
        return b;
    }();
    return binding;
}

} // namespace platform
