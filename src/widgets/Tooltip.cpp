#include "widgets/Tooltip.h"
#include "widgets/Application.h"
#include "widgets/Control.h"

#include <commctrl.h>

#include <iterator>

namespace widgets {

namespace {

// The top-level window keeps its tooltip in a property named by an atom: a property
// named by a string would take a reference on its atom at every window and never give
// it back when the window goes without removing it.
LPCWSTR TooltipProperty() {
    static const ATOM atom = ::GlobalAddAtomW(L"KelvraTooltip");
    return MAKEINTATOM(atom);
}

HWND TooltipOf(HWND control, bool make) {
    HWND top = ::GetAncestor(control, GA_ROOT);
    auto tooltip = static_cast<HWND>(::GetPropW(top, TooltipProperty()));
    if (tooltip || !make)
        return tooltip;
    tooltip = ::CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, top, nullptr, Application::Instance().Module(), nullptr);
    if (tooltip)
        ::SetPropW(top, TooltipProperty(), tooltip);
    return tooltip;
}

TTTOOLINFOW ToolOf(HWND control) {
    TTTOOLINFOW tool{};
    // The size every version of the common controls understands.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = ::GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    return tool;
}

} // namespace

void ShowHint(HWND control, const std::wstring& hint) {
    HWND tooltip = control ? TooltipOf(control, !hint.empty()) : nullptr;
    if (!tooltip)
        return;
    TTTOOLINFOW tool = ToolOf(control);
    ::SendMessageW(tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (hint.empty())
        return;
    tool.lpszText = const_cast<wchar_t*>(hint.c_str());
    ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::wstring TooltipText(const Control& control) {
    HWND tooltip = control.Handle() ? TooltipOf(control.Handle(), false) : nullptr;
    if (!tooltip)
        return {};
    wchar_t text[256] = {};
    TTTOOLINFOW tool = ToolOf(control.Handle());
    tool.lpszText = text;
    ::SendMessageW(tooltip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    return text;
}

} // namespace widgets
