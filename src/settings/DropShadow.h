#pragma once
#include "widgets/Form.h"

namespace settings {

// Gives the form's window class the drop shadow, or takes it away, by the "DropShadow"
// setting. Only Windows XP and later know the style; elsewhere nothing changes.
void ApplyDropShadow(widgets::Form& form, bool on);

} // namespace settings
