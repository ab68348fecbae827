#include "URLLabel/URLLabel.h"
#include "platform/Shell.h"
#include "widgets/Form.h"

#include <windowsx.h>

namespace {
const widgets::CustomWindow::WindowClass kWindowClass{TURLLabel::kClassName, 0, IDC_HAND, nullptr};
} // namespace

TURLLabel::TURLLabel(widgets::Form& owner, int id) : CustomWindow(owner, id, kWindowClass) {
}

TURLLabel::~TURLLabel() {
    DestroyHandle();
}

void TURLLabel::Attached() {
    if (Caption().empty())
        SetCaption(L"Click me!");
    fontColor_ = ColorNormal;
}

void TURLLabel::SetFontColor(widgets::TColor color) {
    if (fontColor_ == color)
        return;
    fontColor_ = color;
    if (Handle())
        ::InvalidateRect(Handle(), nullptr, TRUE);
}

bool TURLLabel::Inside(int x, int y) const {
    RECT r{};
    ::GetClientRect(Handle(), &r);
    return x >= 0 && y >= 0 && x <= r.right && y <= r.bottom;
}

void TURLLabel::MouseDown() {
    pressed_ = true;
    // Held, so the release is ours wherever it happens.
    ::SetCapture(Handle());
    SetFontColor(ColorClick);
}

void TURLLabel::MouseMove(int x, int y) {
    const bool inside = Inside(x, y);
    if (inside == pointerInside_)
        return;
    pointerInside_ = inside;
    if (!inside) {
        MouseLeave();
        return;
    }
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
    ::TrackMouseEvent(&track);
    SetFontColor(pressed_ ? ColorClick : ColorMoveOver);
}

void TURLLabel::MouseLeave() {
    pointerInside_ = false;
    SetFontColor(ColorNormal);
}

void TURLLabel::MouseUp(int x, int y) {
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (::GetCapture() == Handle())
        ::ReleaseCapture();
    if (!Inside(x, y)) {
        SetFontColor(ColorNormal);
        return;
    }
    if (wasPressed)
        Open();
    SetFontColor(ColorMoveOver);
}

void TURLLabel::Open() const {
    const std::wstring target = URL.empty() ? Caption() : URL;
    platform::shell().ShellExecuteW(Owner().Handle(), L"open", target.c_str(), nullptr, nullptr, SW_SHOW);
}

void TURLLabel::Paint() {
    PAINTSTRUCT ps{};
    HDC dc = ::BeginPaint(Handle(), &ps);
    RECT r{};
    ::GetClientRect(Handle(), &r);
    HWND parent = ::GetParent(Handle());
    // The parent's background and font, underlined.
    HBRUSH background = reinterpret_cast<HBRUSH>(::SendMessageW(
        parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Handle())));
    ::FillRect(dc, &r, background ? background : ::GetSysColorBrush(COLOR_BTNFACE));
    if (!font_) {
        LOGFONTW lf{};
        auto parentFont = reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0));
        if (!parentFont || !::GetObjectW(parentFont, sizeof lf, &lf))
            ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
        lf.lfUnderline = TRUE;
        font_.Reset(::CreateFontIndirectW(&lf));
    }
    HGDIOBJ old = ::SelectObject(dc, font_.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, static_cast<COLORREF>(fontColor_));
    const std::wstring text = Caption();
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::EndPaint(Handle(), &ps);
}

LRESULT TURLLabel::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_LBUTTONDOWN:
        MouseDown();
        return 0;
    case WM_MOUSEMOVE:
        MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSELEAVE:
        // While held, the capture reports the pointer's moves outside.
        if (!pressed_)
            MouseLeave();
        return 0;
    case WM_LBUTTONUP:
        MouseUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != Handle())
            pressed_ = false;
        return 0;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTEXT: {
        LRESULT result = CustomWindow::WindowProc(msg, wParam, lParam);
        ::InvalidateRect(Handle(), nullptr, TRUE);
        return result;
    }
    default:
        return CustomWindow::WindowProc(msg, wParam, lParam);
    }
}
