#include "widgets/Failures.h"
#include "platform/Kernel.h"
#include "platform/Text.h"

#include <cwchar>
#include <exception>

namespace widgets {

void ReportFailure(const std::wstring& text) noexcept {
    try {
        platform::kernel().OutputDebugStringW((kFailurePrefix + text).c_str());
    } catch (...) {
        // Nowhere left to report to.
    }
}

std::wstring CurrentExceptionText() {
    try {
        throw;
    } catch (const std::exception& e) {
        return platform::FromAnsi(e.what(), CP_UTF8);
    } catch (...) {
        return L"unknown exception";
    }
}

void ReportHandlerFailure(const wchar_t* where, UINT message) noexcept {
    try {
        wchar_t number[16];
        std::swprintf(number, std::size(number), L"0x%04X", message);
        ReportFailure(std::wstring(L"handler of ") + where + L", message " + number + L": " +
                      CurrentExceptionText());
    } catch (...) {
        ReportFailure(L"handler failed");
    }
}

} // namespace widgets
