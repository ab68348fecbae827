#pragma once
#include <cstdint>
#include <string>

// The display settings of one status window, named after their registry values.
struct TDisplaySettings {
    std::uint8_t OctetDisp = 0;
    std::uint8_t PopupDisplayType = 13;
    bool AoT = false;
    std::wstring AdapterName;
    bool IgnoreSystemPolicies = false;
    bool DropShadow = false;
};
