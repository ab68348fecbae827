#pragma once
#include "platform/Win32.h"

#include <winspool.h>

#include <functional>

namespace platform {

// The print spooler: the connect-printer dialog and the handle it hands back.
struct Spooler {
    std::function<HANDLE(HWND, DWORD)> ConnectToPrinterDlg = ::ConnectToPrinterDlg;
    std::function<BOOL(HANDLE)> ClosePrinter = ::ClosePrinter;
};

Spooler& spooler();

} // namespace platform
