#pragma once
#include "platform/Win32.h"

#include <functional>
#include <string>
#include <vector>

namespace widgets {

class Control;
class Timer;
class TrayIcon;

// A top-level window made from a dialog template whose CLASS is the form's own window
// class (named after the form class, so other code can find it by name). Controls,
// timers and tray icons of the form register themselves and receive their messages.
class Form {
public:
    Form(const wchar_t* className, int templateId);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Makes the window from the template, hidden, owned by the hidden application
    // window unless an owner is given.
    void CreateHandle(HWND owner = nullptr);
    HWND Handle() const { return hwnd_; }
    const std::wstring& ClassName() const { return className_; }

    void Show();
    void Hide();
    bool Visible() const;
    void BringToFront();
    // Asks OnCloseQuery; hides the window when the close is allowed.
    void Close();
    void DestroyHandle();

    std::wstring Caption() const;
    void SetCaption(const std::wstring& text);
    void SetClientSize(int width, int height);
    SIZE ClientSize() const;
    void CenterOnScreen();
    void SetStayOnTop(bool on);
    bool StayOnTop() const;
    // The drop-shadow style of the form's window class, shared by every window of it.
    bool DropShadow() const;
    void SetDropShadow(bool on);

    std::function<void()> OnShow;
    std::function<void()> OnHide;
    std::function<void()> OnDestroy;
    std::function<void(bool& canClose)> OnCloseQuery;

    // Message dispatch for windows that belong to the form (its tab sheets).
    INT_PTR Dispatch(HWND from, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    // Messages a form handles itself; return true when handled and set result.
    virtual bool HandleMessage(UINT /*msg*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) {
        return false;
    }
    // Escape and the IDCANCEL command.
    virtual void EscapePressed() { Close(); }

private:
    friend class Control;
    friend class Timer;
    friend class TrayIcon;
    void RegisterControl(Control* c) { controls_.push_back(c); }
    void UnregisterControl(Control* c);
    void RegisterTimer(Timer* t) { timers_.push_back(t); }
    void UnregisterTimer(Timer* t);
    void RegisterTray(TrayIcon* t) { trays_.push_back(t); }
    void UnregisterTray(TrayIcon* t);
    UINT NextTimerId() { return nextTimerId_++; }

    void AttachControls();
    void DetachAll();
    Control* ControlByHandle(HWND h) const;
    Control* ControlById(int id) const;
    bool RouteHelp(const HELPINFO& info);
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    std::wstring className_;
    int templateId_;
    HWND hwnd_ = nullptr;
    std::wstring caption_;
    std::vector<Control*> controls_;
    std::vector<Timer*> timers_;
    std::vector<TrayIcon*> trays_;
    UINT nextTimerId_ = 100;
};

// Registers a dialog window class with the given name (idempotent).
void RegisterDialogClass(const wchar_t* className);

// Templates are laid out for a 12-pixel dialog font (6 x 12 pixel base units, one
// dialog unit = 1.5 pixels). Where the system maps the template's font onto another
// face with other metrics, this moves and sizes the dialog's direct children back to
// the designed pixel geometry.
void KeepDesignedGeometry(HWND dialog);

} // namespace widgets
