#include "settings/DropShadow.h"
#include "platform/Kernel.h"

namespace settings {

void ApplyDropShadow(widgets::Form& form, bool on) {
    if (platform::kernel().Version.IsXPOrLater())
        form.SetDropShadow(on);
}

} // namespace settings
