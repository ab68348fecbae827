#include "settings/Settings.h"
#include "settings/RegistryAccessor.h"

namespace settings {

std::wstring WindowSubkeyPath(const std::wstring& interfaceName) {
    if (!interfaceName.empty() && interfaceName.front() == L'\\')
        return kSettingsKey + interfaceName;
    return std::wstring(kSettingsKey) + L"\\" + interfaceName;
}

} // namespace settings
