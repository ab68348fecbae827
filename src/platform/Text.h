#pragma once
#include <cstddef>
#include <string>

namespace platform {

// Code page of the program's user-interface texts wherever a length is counted in bytes.
constexpr unsigned kUiCodePage = 936;

std::string ToAnsi(const std::wstring& text, unsigned codePage = kUiCodePage);
std::wstring FromAnsi(const std::string& text, unsigned codePage = kUiCodePage);

// The longest prefix of text whose encoding in codePage takes at most maxBytes bytes.
// Never cuts inside a character (a surrogate pair or a double-byte character).
std::wstring CutToBytes(const std::wstring& text, std::size_t maxBytes, unsigned codePage = kUiCodePage);

} // namespace platform
