#pragma once
#include "settings/RegistryAccessor.h"

#include <string>

namespace settings {

// The value that starts the program with the system: in the machine's Run key where
// the user may write it, otherwise in the user's own.
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValue[] = L"Tarvelo";

// Whether either Run key holds the value; a key that cannot be read holds none.
bool RunValueExists();

// Writes the value with the program's path, or deletes it from both keys. The machine's
// key is never created, the user's only to write the value. The answer is the first
// step that failed: the value is then as RunValueExists says.
RegStatus SetRunValue(bool on, const std::wstring& program);

} // namespace settings
