#include "widgets/Scale.h"
#include "platform/Display.h"

namespace widgets {

int ScreenPixelsPerInch() {
    const int ppi = platform::display().PixelsPerInch();
    return ppi > 0 ? ppi : platform::kStandardPixelsPerInch;
}

int ScalePixels(int designed, int pixelsPerInch) {
    return ::MulDiv(designed, pixelsPerInch > 0 ? pixelsPerInch : platform::kStandardPixelsPerInch,
                    platform::kStandardPixelsPerInch);
}

int ScalePixels(int designed) {
    return ScalePixels(designed, ScreenPixelsPerInch());
}

int DesignedPixels(int onScreen) {
    return ::MulDiv(onScreen, platform::kStandardPixelsPerInch, ScreenPixelsPerInch());
}

} // namespace widgets
