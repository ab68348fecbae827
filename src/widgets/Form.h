#pragma once
#include "platform/Win32.h"
#include "widgets/Scale.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace widgets {

class Control;
class MailboxBase;
class Timer;
class ToolWindows;
class TrayIcon;

// A top-level window made from a dialog template whose CLASS is the form's own window
// class (named after the form class, so other code can find it by name). Controls,
// timers and tray icons of the form register themselves and receive their messages.
class Form {
public:
    // The client size is the designed one, in pixels at 96 pixels per inch, kept whatever
    // the dialog font's metrics (none given: the template's).
    Form(const wchar_t* className, int templateId, SIZE designedClientSize = {});
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Makes the window from the template, hidden and of the designed client size, then
    // runs FormCreate. A window opened from another names it as its owner; the program's
    // own top-level windows give none and are owned by the hidden application window.
    void CreateHandle(HWND owner = nullptr);
    HWND Handle() const { return hwnd_; }
    const std::wstring& ClassName() const { return className_; }

    void Show();
    void Hide();
    bool Visible() const;
    void BringToFront();
    // Asks OnCloseQuery; when the close is allowed, a modal form ends its ShowModal
    // with IDCANCEL, and any other hides (a tool window then goes: ToolWindows).
    void Close();
    void DestroyHandle();

    // Shows the form owned by `owner` (made now when it was not yet, given to it when it
    // was made for another), with the owner disabled, and returns once SetModalResult
    // was given a result other than 0 (IDCANCEL when the form was closed, its window
    // went, the owner has no window, or the program was asked to stop meanwhile). The
    // owner is enabled again before the form hides, so activation goes back to it.
    // Nothing handed to Application::DeleteLater is deleted while the modal loop runs.
    int ShowModal(Form& owner);
    void SetModalResult(int result);

    std::wstring Caption() const;
    void SetCaption(const std::wstring& text);
    // In pixels as designed at 96 pixels per inch: scaled to the screen's resolution.
    void SetClientSize(int width, int height);
    // The window's place and size on the screen, frame included.
    RECT Bounds() const;
    void SetBounds(int left, int top, int width, int height);
    SIZE ClientSize() const;
    void CenterOnScreen();
    // Centres the form over the window that owns it (over the screen when none does).
    void CenterOnOwner();
    void SetStayOnTop(bool on);
    bool StayOnTop() const;
    // The drop-shadow style of the form's window class, shared by every window of it;
    // set before the window exists, it is given when the window is made.
    bool DropShadow() const;
    void SetDropShadow(bool on);

    std::function<void()> OnShow;
    std::function<void()> OnHide;
    std::function<void()> OnDestroy;
    std::function<void(bool& canClose)> OnCloseQuery;

    // The form of a window of this process, or null for any other window.
    static Form* FromHandle(HWND hwnd);
    // The form of this process's shown top-level window of that class and caption (any
    // caption for null), or null. A closed window about to go is not open.
    static Form* FindOpen(const wchar_t* className, const wchar_t* caption);

    // Message dispatch for windows that belong to the form (its tab sheets), with the
    // dialog procedure's answer; called from inside a handler (RunHandler).
    INT_PTR Dispatch(HWND from, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    // Runs once the window exists, with its controls and its designed size.
    virtual void FormCreate() {}
    // Messages a form handles itself, before its controls see theirs; return true when
    // handled and set result.
    virtual bool HandleMessage(UINT /*msg*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) {
        return false;
    }
    // Escape and the IDCANCEL command.
    virtual void EscapePressed() { Close(); }

private:
    friend class Control;
    friend class MailboxBase;
    friend class Timer;
    friend class ToolWindows;
    friend class TrayIcon;
    struct ModalState {
        int result = 0;
        bool formGone = false;
    };
    void RegisterControl(Control* c) { controls_.push_back(c); }
    void UnregisterControl(Control* c);
    void RegisterTimer(Timer* t) { timers_.push_back(t); }
    void UnregisterTimer(Timer* t);
    void RegisterTray(TrayIcon* t) { trays_.push_back(t); }
    void UnregisterTray(TrayIcon* t);
    void RegisterMailbox(MailboxBase* m) { mailboxes_.push_back(m); }
    void UnregisterMailbox(MailboxBase* m);
    UINT NextTimerId() { return nextTimerId_++; }

    void AttachControls();
    void DetachAll();
    Control* ControlByHandle(HWND h) const;
    Control* ControlById(int id) const;
    // The control a message from a child is about, for the messages that go back to it.
    Control* ReflectionTarget(UINT msg, WPARAM wParam, LPARAM lParam) const;
    bool Route(HWND from, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void WindowCreated();
    void WindowDestroyed();
    void ApplyStayOnTop();
    bool RouteHelp(const HELPINFO& info);
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    std::wstring className_;
    int templateId_;
    SIZE designedClientSize_;
    HWND hwnd_ = nullptr;
    std::wstring caption_;
    std::vector<Control*> controls_;
    std::vector<Timer*> timers_;
    std::vector<TrayIcon*> trays_;
    std::vector<MailboxBase*> mailboxes_;
    UINT nextTimerId_ = 100;
    ModalState* modal_ = nullptr;
    bool stayOnTop_ = false;
    // The drop shadow asked for before the window existed.
    std::optional<bool> dropShadow_;
    // Set by the tool-window collection holding the form: an allowed close ends it.
    std::function<void()> release_;
};

// Registers a dialog window class with the given name (idempotent).
void RegisterDialogClass(const wchar_t* className);

// Templates are laid out for a 12-pixel dialog font (6 x 12 pixel base units, one
// dialog unit = 1.5 pixels) at 96 pixels per inch. Where the system maps the template's
// font onto another face with other metrics, or the screen has another resolution, this
// moves and sizes the dialog's direct children to the designed pixel geometry, scaled
// to the screen's resolution.
void KeepDesignedGeometry(HWND dialog);

} // namespace widgets
