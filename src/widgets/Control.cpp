#include "widgets/Control.h"
#include "widgets/Application.h"
#include "widgets/Form.h"
#include "widgets/Tooltip.h"

#include <windowsx.h>

#include <vector>

namespace widgets {

Control::Control(Form& owner, int id) : owner_(owner), id_(id) {
    owner_.RegisterControl(this);
}

Control::~Control() {
    owner_.UnregisterControl(this);
}

void Control::Attach(HWND hwnd) {
    hwnd_ = hwnd;
    if (!hwnd_)
        return;
    if (captionSet_)
        ::SetWindowTextW(hwnd_, caption_.c_str());
    else
        caption_ = Caption();
    if (enabledSet_)
        ::EnableWindow(hwnd_, enabled_);
    if (visibleSet_)
        ::ShowWindow(hwnd_, visible_ ? SW_SHOWNA : SW_HIDE);
    if (!hint_.empty())
        ShowHint(hwnd_, hint_);
}

void Control::Detach() {
    if (hwnd_)
        Detached();
    hwnd_ = nullptr;
}

bool Control::HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_COMMAND:
        return HandleCommand(HIWORD(wParam));
    case WM_NOTIFY:
        return HandleNotify(*reinterpret_cast<NMHDR*>(lParam), result);
    case WM_DRAWITEM:
        result = TRUE;
        return HandleDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_MEASUREITEM:
        result = TRUE;
        return HandleMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_CONTEXTMENU: {
        if (!OnContextMenu)
            return false;
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (lParam == -1)
            at = ContextPoint();
        OnContextMenu(at);
        return true;
    }
    default:
        return false;
    }
}

POINT Control::ContextPoint() const {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    return {r.left, r.top};
}

namespace {
struct ChildSearch {
    int id;
    HWND found;
};
BOOL CALLBACK FindChildById(HWND h, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (::GetDlgCtrlID(h) == search->id) {
        search->found = h;
        return FALSE;
    }
    return TRUE;
}
BOOL CALLBACK NoteChildById(HWND h, LPARAM param) {
    reinterpret_cast<std::unordered_map<int, HWND>*>(param)->try_emplace(::GetDlgCtrlID(h), h);
    return TRUE;
}
} // namespace

HWND DescendantById(HWND root, int id) {
    ChildSearch search{id, nullptr};
    if (root)
        ::EnumChildWindows(root, FindChildById, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::unordered_map<int, HWND> DescendantsById(HWND root) {
    std::unordered_map<int, HWND> found;
    if (root)
        ::EnumChildWindows(root, NoteChildById, reinterpret_cast<LPARAM>(&found));
    return found;
}

void Control::CreateChild(HWND parent, const wchar_t* windowClass, DWORD style, const RECT& bounds,
                          const std::wstring& text) {
    if (hwnd_ || !parent)
        return;
    HWND made = ::CreateWindowExW(0, windowClass, text.c_str(), style | WS_CHILD, bounds.left, bounds.top,
                                  bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                                  Application::Instance().Module(), nullptr);
    if (made)
        Attach(made);
}

std::wstring WindowText(HWND hwnd) {
    int n = ::GetWindowTextLengthW(hwnd);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(n) + 1);
    int got = ::GetWindowTextW(hwnd, buffer.data(), n + 1);
    return std::wstring(buffer.data(), static_cast<std::size_t>(got));
}

std::wstring Control::Caption() const {
    if (hwnd_)
        caption_ = WindowText(hwnd_);
    return caption_;
}

void Control::SetCaption(const std::wstring& text) {
    // Tick handlers write the same texts every second: only a change reaches the window.
    if (captionSet_ && text == caption_)
        return;
    caption_ = text;
    captionSet_ = true;
    if (hwnd_)
        ::SetWindowTextW(hwnd_, caption_.c_str());
}

bool Control::Enabled() const {
    return hwnd_ ? ::IsWindowEnabled(hwnd_) != FALSE : enabled_;
}

void Control::SetEnabled(bool on) {
    enabled_ = on;
    enabledSet_ = true;
    if (hwnd_)
        ::EnableWindow(hwnd_, on);
}

bool Control::Visible() const {
    if (!hwnd_)
        return visible_;
    return (::GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Control::SetVisible(bool on) {
    visible_ = on;
    visibleSet_ = true;
    if (hwnd_)
        ::ShowWindow(hwnd_, on ? SW_SHOWNA : SW_HIDE);
}

void Control::SetHint(const std::wstring& text) {
    hint_ = text;
    if (hwnd_)
        ShowHint(hwnd_, hint_);
}

RECT Control::Bounds() const {
    RECT r{};
    if (!hwnd_)
        return r;
    ::GetWindowRect(hwnd_, &r);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Control::SetBounds(int left, int top, int width, int height) {
    if (hwnd_)
        ::SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::SetWidth(int width) {
    RECT r = Bounds();
    SetBounds(r.left, r.top, width, r.bottom - r.top);
}

void Control::SetFont(HFONT font) {
    if (hwnd_)
        ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

} // namespace widgets
