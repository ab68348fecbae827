#pragma once
#include "platform/Win32.h"

#include <string>

namespace widgets {

// Every failure the toolkit catches is written to the kernel binding's trace output
// under this prefix, so a test can assert that nothing failed.
inline constexpr const wchar_t* kFailurePrefix = L"kelvra failure: ";

// Writes one failure line. Never throws.
void ReportFailure(const std::wstring& text) noexcept;

// Inside a catch block: what the exception being handled says.
std::wstring CurrentExceptionText();

// Reports the exception being handled as a failed handler of `where` for `message`.
void ReportHandlerFailure(const wchar_t* where, UINT message) noexcept;

// Runs one handler of a window procedure. An exception never unwinds through the
// system's frames: the handler is abandoned, reported, and false returned.
template <typename F> bool Guarded(const wchar_t* where, UINT message, F&& handler) noexcept {
    try {
        handler();
        return true;
    } catch (...) {
        ReportHandlerFailure(where, message);
        return false;
    }
}

} // namespace widgets
