#pragma once
#include "platform/Win32.h"

namespace widgets {

// Every pixel figure of a layout is designed at 96 pixels per inch and reaches the
// screen through these, so a window looks the same at 96, 144 and 192 but larger.

// The screen's logical pixels per inch; 96 where it cannot be asked.
int ScreenPixelsPerInch();

// A length designed in pixels at 96 pixels per inch, in pixels of the given resolution
// (the same at 96; half as much again at 144), rounded to the nearest pixel.
int ScalePixels(int designed, int pixelsPerInch);
// The same at the screen's resolution.
int ScalePixels(int designed);

// A length on the screen as designed at 96 pixels per inch: what is kept between runs, so
// that a stored width means the same after the screen's scale changed. Undoes ScalePixels
// exactly at 96 pixels per inch and above.
int DesignedPixels(int onScreen);

} // namespace widgets
