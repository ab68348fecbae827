#pragma once
#include "platform/Win32.h"

#include <string>

namespace widgets {

class Control;

// The hints of a form's controls, shown as tooltips: one tooltip window per top-level
// window, made with its first hinted control and destroyed with it (it owns the tooltip).
// An empty hint takes the control's tooltip away.
void ShowHint(HWND control, const std::wstring& hint);

// The text the tooltip shows over a control; empty when it shows none.
std::wstring TooltipText(const Control& control);

} // namespace widgets
