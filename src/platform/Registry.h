#pragma once
#include "platform/Win32.h"

#include <functional>

namespace platform {

struct Registry {
    std::function<LSTATUS(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY)> RegOpenKeyExW = ::RegOpenKeyExW;
    std::function<LSTATUS(HKEY, LPCWSTR, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD)>
        RegCreateKeyExW = ::RegCreateKeyExW;
    std::function<LSTATUS(HKEY)> RegCloseKey = ::RegCloseKey;
    std::function<LSTATUS(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD)> RegQueryValueExW =
        ::RegQueryValueExW;
    std::function<LSTATUS(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD)> RegSetValueExW = ::RegSetValueExW;
    std::function<LSTATUS(HKEY, LPCWSTR)> RegDeleteValueW = ::RegDeleteValueW;
};

Registry& registry();

} // namespace platform
