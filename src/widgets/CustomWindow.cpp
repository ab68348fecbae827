#include "widgets/CustomWindow.h"
#include "widgets/Application.h"
#include "widgets/Handler.h"

#include <utility>

namespace widgets {

namespace {
// The object whose Create is running on this thread: only its own creation parameter
// is taken for an object, never a template's creation data.
thread_local CustomWindow* creating = nullptr;
} // namespace

void CustomWindow::Register(const WindowClass& windowClass) {
    HINSTANCE module = Application::Instance().Module();
    WNDCLASSEXW existing{sizeof existing};
    if (::GetClassInfoExW(module, windowClass.name, &existing))
        return;
    WNDCLASSEXW wc{sizeof wc};
    wc.style = windowClass.style;
    wc.lpfnWndProc = Trampoline;
    wc.hInstance = module;
    wc.hCursor = windowClass.cursor ? ::LoadCursorW(nullptr, windowClass.cursor) : nullptr;
    wc.hbrBackground = windowClass.background;
    wc.lpszClassName = windowClass.name;
    ::RegisterClassExW(&wc);
}

CustomWindow::CustomWindow(Form& owner, int id, const WindowClass& windowClass)
    : Control(owner, id), className_(windowClass.name) {
    // Controls are members of their forms, so this runs before any template is used.
    Register(windowClass);
}

CustomWindow::~CustomWindow() {
    DestroyHandle();
}

void CustomWindow::Create(HWND parent, const RECT& bounds, DWORD style, DWORD exStyle) {
    if (Handle())
        return;
    CustomWindow* outer = std::exchange(creating, this);
    HWND hwnd = ::CreateWindowExW(exStyle, className_, L"", style, bounds.left, bounds.top,
                                  bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id())),
                                  Application::Instance().Module(), this);
    creating = outer;
    if (!hwnd)
        return;
    ownsWindow_ = true;
    Attach(hwnd);
    Attached();
}

void CustomWindow::DestroyHandle() {
    if (!Handle())
        return;
    if (ownsWindow_)
        ::DestroyWindow(Handle()); // its last message unbinds it
    else
        Detach();
}

void CustomWindow::Bind(HWND hwnd) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetHandle(hwnd);
}

void CustomWindow::Attach(HWND hwnd) {
    if (hwnd)
        Bind(hwnd);
    Control::Attach(hwnd);
}

void CustomWindow::Detach() {
    HWND hwnd = Handle();
    Control::Detach();
    if (hwnd)
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    ownsWindow_ = false;
}

LRESULT CustomWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(Handle(), msg, wParam, lParam);
}

LRESULT CALLBACK CustomWindow::Trampoline(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (creating && create->lpCreateParams == creating)
            creating->Bind(hwnd);
    }
    auto* self = reinterpret_cast<CustomWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || self->Handle() != hwnd)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    LRESULT result = 0;
    if (!RunHandler(self->className_, msg, [&] { result = self->WindowProc(msg, wParam, lParam); }))
        result = ::DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY)
        self->Detach();
    return result;
}

} // namespace widgets
