#pragma once
#include "platform/Win32.h"

#include <functional>

namespace platform {

struct Shell {
    std::function<BOOL(DWORD, PNOTIFYICONDATAW)> Shell_NotifyIconW = ::Shell_NotifyIconW;
};

Shell& shell();

// The message the shell broadcasts when its taskbar was (re)created.
UINT TaskbarCreatedMessage();

// The message other programs (the installer) send a status window to stop the program.
UINT StopRequestMessage();

} // namespace platform
