#pragma once
#include "widgets/Control.h"

namespace widgets {

// A control whose window is of one of our own window classes (the time chart, the
// address edit, the link label). The class is registered by the first object made;
// every window of every such class runs through one window procedure, which hands
// the messages to the object bound to the window.
//
// A window made by Create is bound from WM_NCCREATE on, so the object sees its
// creation; a window a dialog template made is bound when its form attaches the
// control. Either is unbound in WM_NCDESTROY, or when the object goes first.
class CustomWindow : public Control {
public:
    struct WindowClass {
        const wchar_t* name; // static text
        UINT style = 0;
        LPCWSTR cursor = IDC_ARROW;
        HBRUSH background = nullptr;
    };

    CustomWindow(Form& owner, int id, const WindowClass& windowClass);
    ~CustomWindow() override;

    // Makes the window as a child of parent, for a control no template places. The
    // window goes with the object.
    void Create(HWND parent, const RECT& bounds, DWORD style = WS_CHILD | WS_VISIBLE, DWORD exStyle = 0);
    // Destroys a window made by Create, or unbinds a template's window. Derived classes
    // call it in their destructor, while their own handlers still exist.
    void DestroyHandle();

    const wchar_t* WindowClassName() const { return className_; }

    // Registers the class (idempotent).
    static void Register(const WindowClass& windowClass);

protected:
    // The window's messages; the default is the system's.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hwnd) override;
    void Detach() override;

private:
    static LRESULT CALLBACK Trampoline(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Bind(HWND hwnd);

    const wchar_t* className_;
    bool ownsWindow_ = false;
};

} // namespace widgets
