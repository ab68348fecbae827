#pragma once
#include "platform/Win32.h"

#include <functional>

namespace platform {

// 100 %: the resolution layouts are designed at.
constexpr int kStandardPixelsPerInch = 96;

// The screen as layouts see it: its resolution and the system's metrics (the size the
// shell wants for small icons). Tests set 144 pixels per inch to lay windows out at 150 %.
struct Display {
    std::function<int()> PixelsPerInch = ScreenPixelsPerInch;
    std::function<int(int)> GetSystemMetrics = ::GetSystemMetrics;

    // Logical pixels per inch of the screen; 96 where the screen cannot be asked.
    static int ScreenPixelsPerInch();
};

Display& display();

} // namespace platform
