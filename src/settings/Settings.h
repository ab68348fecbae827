#pragma once
#include "widgets/Colors.h"

#include <array>
#include <cstdint>
#include <string>

namespace settings {

// The settings subkey of a status window, from the root. A name that begins with a
// backslash (as the system's own interface names do) follows the settings key as it
// is, and its further backslashes nest; any other name follows one backslash.
std::wstring WindowSubkeyPath(const std::wstring& interfaceName);

// What a window shows when its subkey lacks a value.
inline constexpr widgets::TColor kDefaultDownloadLineColor = widgets::clLime;
inline constexpr widgets::TColor kDefaultUploadLineColor = widgets::clYellow;
inline constexpr widgets::TColor kDefaultGridColor = widgets::clGreen;
inline constexpr widgets::TColor kDefaultGridBackColor = widgets::clBlack;
inline constexpr std::array<int, 7> kDefaultConnectionColumnWidths{80, 50, 80, 50, 103, 55, 110};
inline constexpr std::uint8_t kDefaultPopupDisplayType = 13;
// The byte units run from 0 (bytes) to 4 (picked by size); the tray hint's parts are
// the bits 1, 2, 4 and 8.
inline constexpr int kLastOctetDisp = 4;
inline constexpr int kAllPopupParts = 15;

} // namespace settings
