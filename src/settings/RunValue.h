#pragma once
#include "platform/Win32.h"

#include <string>

namespace settings {

// The value under HKEY_LOCAL_MACHINE's Run key that starts the program with the system.
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValue[] = L"Tarvelo";

// Whether the value is there; a Run key that cannot be opened counts as no value.
bool RunValueExists();

// Writes the value with the program's path, or deletes it when it exists. The key is
// never created. The answer is the registry's status of the first step that failed.
LSTATUS SetRunValue(bool on, const std::wstring& program);

} // namespace settings
