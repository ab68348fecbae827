#include "settings/RunValue.h"
#include "platform/Handles.h"
#include "platform/Registry.h"

namespace settings {

namespace {
LSTATUS OpenRunKey(REGSAM access, platform::UniqueKey& key) {
    HKEY opened = nullptr;
    LSTATUS status = platform::registry().RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, access, &opened);
    if (status == ERROR_SUCCESS)
        key.Reset(opened);
    return status;
}

bool ValueExists(HKEY key) {
    return platform::registry().RegQueryValueExW(key, kRunValue, nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}
} // namespace

bool RunValueExists() {
    platform::UniqueKey key;
    return OpenRunKey(KEY_QUERY_VALUE, key) == ERROR_SUCCESS && ValueExists(key.Get());
}

LSTATUS SetRunValue(bool on, const std::wstring& program) {
    platform::UniqueKey key;
    if (LSTATUS status = OpenRunKey(KEY_QUERY_VALUE | KEY_SET_VALUE, key); status != ERROR_SUCCESS)
        return status;
    auto& reg = platform::registry();
    if (on)
        return reg.RegSetValueExW(key.Get(), kRunValue, 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(program.c_str()),
                                  static_cast<DWORD>((program.size() + 1) * sizeof(wchar_t)));
    if (!ValueExists(key.Get()))
        return ERROR_SUCCESS;
    return reg.RegDeleteValueW(key.Get(), kRunValue);
}

} // namespace settings
