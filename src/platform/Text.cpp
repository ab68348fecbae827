#include "platform/Text.h"
#include "platform/Win32.h"

namespace platform {

std::string ToAnsi(const std::wstring& text, unsigned codePage) {
    if (text.empty())
        return {};
    int n = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                  nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                          nullptr);
    return out;
}

std::wstring FromAnsi(const std::string& text, unsigned codePage) {
    if (text.empty())
        return {};
    int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::wstring CutToBytes(const std::wstring& text, std::size_t maxBytes, unsigned codePage) {
    std::size_t bytes = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t units = (IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size()) ? 2 : 1;
        int n = ::WideCharToMultiByte(codePage, 0, text.data() + i, static_cast<int>(units), nullptr, 0,
                                      nullptr, nullptr);
        if (n <= 0)
            n = 1; // unmappable: it becomes one default character
        if (bytes + static_cast<std::size_t>(n) > maxBytes)
            break;
        bytes += static_cast<std::size_t>(n);
        i += units;
    }
    return text.substr(0, i);
}

} // namespace platform
