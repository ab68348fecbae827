#include "widgets/Form.h"
#include "platform/Dialogs.h"
#include "platform/Display.h"
#include "platform/Shell.h"
#include "widgets/Application.h"
#include "widgets/Control.h"
#include "widgets/Handler.h"
#include "widgets/Mailbox.h"
#include "widgets/Timer.h"
#include "widgets/TrayIcon.h"

#include <htmlhelp.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace widgets {

namespace {
// A dialog procedure answers these with its return value, and every other message it
// handled through DWLP_MSGRESULT.
bool AnswersDirectly(UINT msg) {
    return (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) || msg == WM_COMPAREITEM ||
           msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM || msg == WM_QUERYDRAGICON || msg == WM_INITDIALOG;
}
} // namespace

void RegisterDialogClass(const wchar_t* className) {
    HINSTANCE module = Application::Instance().Module();
    WNDCLASSEXW existing{sizeof existing};
    if (::GetClassInfoExW(module, className, &existing))
        return;
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = ::DefDlgProcW;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = module;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = ::LoadIconW(module, MAKEINTRESOURCEW(1));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    ::RegisterClassExW(&wc);
}

void KeepDesignedGeometry(HWND dialog) {
    // Pixels per 4 horizontal and per 8 vertical dialog units, times 96 pixels per inch:
    // kept unrounded, so 125 % places every control as exactly as 150 % does.
    const int ppi = ScreenPixelsPerInch();
    const int wantedX = 6 * ppi;
    const int wantedY = 12 * ppi;
    RECT units{0, 0, 4, 8};
    if (!::MapDialogRect(dialog, &units) || units.right <= 0 || units.bottom <= 0)
        return;
    const LONG actualX = units.right * platform::kStandardPixelsPerInch;
    const LONG actualY = units.bottom * platform::kStandardPixelsPerInch;
    if (actualX == wantedX && actualY == wantedY)
        return;
    auto scale = [](LONG v, int wanted, LONG actual) {
        return static_cast<int>(::MulDiv(v, wanted, actual));
    };
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
        int left = scale(r.left, wantedX, actualX);
        int top = scale(r.top, wantedY, actualY);
        int width = scale(r.right - r.left, wantedX, actualX);
        int height = scale(r.bottom - r.top, wantedY, actualY);
        // A combo box is sized by its dropped list, not by the part that shows.
        wchar_t cls[16] = {};
        ::GetClassNameW(child, cls, 16);
        RECT dropped{};
        if (::lstrcmpiW(cls, L"ComboBox") == 0 &&
            ::SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)))
            height = scale(dropped.bottom - dropped.top, wantedY, actualY);
        ::SetWindowPos(child, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

Form::Form(const wchar_t* className, int templateId, SIZE designedClientSize)
    : className_(className), templateId_(templateId), designedClientSize_(designedClientSize) {
}

Form::~Form() {
    // Derived forms destroy their window in their own destructor, while their handlers
    // can still run; this is the last resort for a form that never did.
    OnShow = nullptr;
    OnHide = nullptr;
    OnDestroy = nullptr;
    OnCloseQuery = nullptr;
    release_ = nullptr;
    if (modal_)
        modal_->formGone = true;
    DestroyHandle();
}

void Form::CreateHandle(HWND owner) {
    if (hwnd_)
        return;
    RegisterDialogClass(className_.c_str());
    if (!owner)
        owner = Application::Instance().Handle();
    ::CreateDialogParamW(Application::Instance().Module(), MAKEINTRESOURCEW(templateId_), owner, DialogProc,
                         reinterpret_cast<LPARAM>(this));
    if (!hwnd_)
        return;
    if (designedClientSize_.cx > 0 && designedClientSize_.cy > 0)
        SetClientSize(designedClientSize_.cx, designedClientSize_.cy);
    FormCreate();
}

void Form::DestroyHandle() {
    if (hwnd_)
        ::DestroyWindow(hwnd_);
}

void Form::UnregisterControl(Control* c) {
    std::erase(controls_, c);
}
void Form::UnregisterTimer(Timer* t) {
    std::erase(timers_, t);
}
void Form::UnregisterTray(TrayIcon* t) {
    std::erase(trays_, t);
}
void Form::UnregisterMailbox(MailboxBase* m) {
    std::erase(mailboxes_, m);
}

void Form::AttachControls() {
    // Copies: creating children may register further controls.
    std::vector<Control*> all = controls_;
    for (Control* c : all)
        c->CreateChildren();
    // One walk of the window tree for all: a walk per control asks the window manager
    // about every window again, a round trip each under Wine.
    const std::unordered_map<int, HWND> windows = DescendantsById(hwnd_);
    for (Control* c : controls_) {
        // A control made already (the part of a composite) keeps its window.
        auto found = windows.find(c->Id());
        c->Attach(c->Handle() ? c->Handle() : found != windows.end() ? found->second : nullptr);
    }
    // Only once every control has its window: some look at their siblings.
    for (Control* c : controls_)
        if (c->Handle())
            c->Attached();
    for (Timer* t : timers_)
        t->Apply();
}

void Form::DetachAll() {
    for (Control* c : controls_)
        c->Detach();
}

Control* Form::ControlByHandle(HWND h) const {
    if (!h)
        return nullptr;
    auto it = std::find_if(controls_.begin(), controls_.end(), [h](Control* c) { return c->Handle() == h; });
    return it == controls_.end() ? nullptr : *it;
}

Control* Form::ControlById(int id) const {
    auto it = std::find_if(controls_.begin(), controls_.end(), [id](Control* c) { return c->Id() == id; });
    return it == controls_.end() ? nullptr : *it;
}

bool Form::RouteHelp(const HELPINFO& info) {
    if (info.iContextType != HELPINFO_WINDOW)
        return false;
    // A part of a composite control (an octet of the address field) has the help of the
    // control it belongs to: the window asked about, or the nearest one around it.
    for (auto h = static_cast<HWND>(info.hItemHandle); h && h != hwnd_; h = ::GetParent(h)) {
        Control* c = ControlByHandle(h);
        if (c && c->HelpContext != 0) {
            const std::wstring& file = Application::Instance().HelpFile;
            platform::dialogs().HtmlHelpW(hwnd_, file.c_str(), HH_HELP_CONTEXT,
                                          static_cast<DWORD_PTR>(c->HelpContext));
            break;
        }
        if (!(::GetWindowLongW(h, GWL_STYLE) & WS_CHILD))
            break; // past the form: its parent would be an owner
    }
    return true;
}

Control* Form::ReflectionTarget(UINT msg, WPARAM wParam, LPARAM lParam) const {
    switch (msg) {
    case WM_CONTEXTMENU: // the window clicked, or the one with the focus
        return ControlByHandle(reinterpret_cast<HWND>(wParam));
    case WM_COMMAND: // lParam 0: a menu or an accelerator
    case WM_HSCROLL: // lParam 0: the window's own scroll bar
    case WM_VSCROLL:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return ControlByHandle(reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY:
        return ControlByHandle(reinterpret_cast<const NMHDR*>(lParam)->hwndFrom);
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? ControlByHandle(item->hwndItem) : nullptr;
    }
    case WM_MEASUREITEM: {
        // Sent while the control is being made, before it has a handle: found by its id.
        // Without its record this is no measure request (the status window's stop request).
        const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? ControlById(static_cast<int>(item->CtlID)) : nullptr;
    }
    case WM_COMPAREITEM:
        return ControlByHandle(reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem);
    default:
        if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC)
            return ControlByHandle(reinterpret_cast<HWND>(lParam));
        return nullptr;
    }
}

INT_PTR CALLBACK Form::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Form* form = nullptr;
    if (msg == WM_INITDIALOG) {
        form = reinterpret_cast<Form*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(form));
        form->hwnd_ = hwnd;
    } else {
        form = reinterpret_cast<Form*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!form)
        return FALSE;
    INT_PTR answer = FALSE;
    RunHandler(form->className_.c_str(), msg, [&] { answer = form->Dispatch(hwnd, msg, wParam, lParam); });
    return answer;
}

INT_PTR Form::Dispatch(HWND from, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!Route(from, msg, wParam, lParam, result))
        return FALSE;
    if (AnswersDirectly(msg))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(from, DWLP_MSGRESULT, result);
    return TRUE;
}

void Form::WindowCreated() {
    caption_ = Caption();
    KeepDesignedGeometry(hwnd_);
    AttachControls();
    if (stayOnTop_)
        ApplyStayOnTop();
    if (dropShadow_)
        SetDropShadow(*std::exchange(dropShadow_, std::nullopt));
}

void Form::WindowDestroyed() {
    DetachAll();
    for (MailboxBase* m : mailboxes_)
        m->WindowGone();
    hwnd_ = nullptr;
}

bool Form::Route(HWND from, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const bool own = from == hwnd_;
    if (own) {
        switch (msg) {
        case WM_INITDIALOG:
            WindowCreated();
            break;
        case WM_DESTROY:
            if (OnDestroy)
                OnDestroy();
            for (Timer* t : timers_)
                t->Kill();
            for (TrayIcon* t : trays_)
                t->Remove();
            break;
        case WM_NCDESTROY:
            WindowDestroyed();
            break;
        default:
            break;
        }
        if (HandleMessage(msg, wParam, lParam, result))
            return true;
    }
    if (Control* c = ReflectionTarget(msg, wParam, lParam))
        if (c->HandleReflected(msg, wParam, lParam, result))
            return true;

    switch (msg) {
    case WM_COMMAND:
        // Escape, or a Cancel button no handler took.
        if (LOWORD(wParam) == IDCANCEL) {
            EscapePressed();
            return true;
        }
        return false;
    case WM_TIMER:
        for (Timer* t : timers_)
            if (t->TimerId() == wParam) {
                t->Fire();
                return true;
            }
        return false;
    case WM_CLOSE:
        if (!own)
            return false;
        Close();
        return true;
    case WM_SHOWWINDOW:
        if (own) {
            if (wParam && OnShow)
                OnShow();
            else if (!wParam && OnHide)
                OnHide();
        }
        return false;
    case WM_HELP:
        return RouteHelp(*reinterpret_cast<HELPINFO*>(lParam));
    case kMailMessage:
        if (!own)
            return false;
        // Indexed: a handler may open another mailbox.
        for (std::size_t i = 0; i < mailboxes_.size(); ++i)
            mailboxes_[i]->Drain();
        return true;
    case TrayIcon::kCallbackMessage:
        if (trays_.empty())
            return false;
        trays_.front()->HandleCallback(lParam);
        return true;
    default:
        if (msg == platform::TaskbarCreatedMessage() && own)
            for (TrayIcon* t : trays_)
                t->Readd();
        return false;
    }
}

int Form::ShowModal(Form& ownerForm) {
    // Already showing modally further down the stack; or no window to belong to, which
    // would leave the hidden application window the owner of a window the user waits on.
    HWND owner = ownerForm.Handle();
    if (modal_ || !owner || &ownerForm == this)
        return IDCANCEL;
    CreateHandle(owner);
    if (!hwnd_)
        return IDCANCEL;
    if (::GetWindow(hwnd_, GW_OWNER) != owner)
        ::SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    // EnableWindow answers whether the window was disabled before.
    const bool ownerWasEnabled = !::EnableWindow(owner, FALSE);
    ModalState state;
    modal_ = &state;
    Show();
    Application& app = Application::Instance();
    {
        // Whatever a handler queues for deletion waits until this loop is left.
        Application::HandlerScope holdDeletes;
        while (state.result == 0 && !state.formGone && hwnd_ && !app.Terminated())
            if (!app.HandleOneMessage())
                break;
    }
    if (ownerWasEnabled && ::IsWindow(owner))
        ::EnableWindow(owner, TRUE);
    if (!state.formGone) {
        modal_ = nullptr;
        Hide();
    }
    return state.result != 0 ? state.result : IDCANCEL;
}

void Form::SetModalResult(int result) {
    if (modal_ && result != 0)
        modal_->result = result;
}

void Form::Show() {
    if (!hwnd_)
        return;
    ::ShowWindow(hwnd_, SW_SHOW);
    if (stayOnTop_)
        ApplyStayOnTop();
}

void Form::Hide() {
    if (hwnd_)
        ::ShowWindow(hwnd_, SW_HIDE);
}

bool Form::Visible() const {
    return hwnd_ && (::GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Form::BringToFront() {
    if (!hwnd_)
        return;
    ::SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(hwnd_);
}

void Form::Close() {
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(canClose);
    if (!canClose)
        return;
    if (modal_) {
        SetModalResult(IDCANCEL);
        return;
    }
    Hide();
    // Last: the release may delete the form.
    if (release_)
        std::exchange(release_, nullptr)();
}

std::wstring Form::Caption() const {
    return hwnd_ ? WindowText(hwnd_) : caption_;
}

void Form::SetCaption(const std::wstring& text) {
    caption_ = text;
    if (hwnd_)
        ::SetWindowTextW(hwnd_, text.c_str());
}

void Form::SetClientSize(int width, int height) {
    if (!hwnd_)
        return;
    RECT r{0, 0, ScalePixels(width), ScalePixels(height)};
    ::AdjustWindowRectEx(&r, static_cast<DWORD>(::GetWindowLongW(hwnd_, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongW(hwnd_, GWL_EXSTYLE)));
    ::SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Form::Bounds() const {
    RECT r{};
    if (hwnd_)
        ::GetWindowRect(hwnd_, &r);
    return r;
}

void Form::SetBounds(int left, int top, int width, int height) {
    if (hwnd_)
        ::SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE Form::ClientSize() const {
    RECT r{};
    if (hwnd_)
        ::GetClientRect(hwnd_, &r);
    return {r.right - r.left, r.bottom - r.top};
}

void Form::CenterOnScreen() {
    if (!hwnd_)
        return;
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    int left = ::GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
    int top = ::GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
    ::SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::CenterOnOwner() {
    HWND owner = hwnd_ ? ::GetWindow(hwnd_, GW_OWNER) : nullptr;
    if (!owner || owner == Application::Instance().Handle()) {
        CenterOnScreen();
        return;
    }
    RECT mine{}, theirs{};
    ::GetWindowRect(hwnd_, &mine);
    ::GetWindowRect(owner, &theirs);
    int left = theirs.left + ((theirs.right - theirs.left) - (mine.right - mine.left)) / 2;
    int top = theirs.top + ((theirs.bottom - theirs.top) - (mine.bottom - mine.top)) / 2;
    ::SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Form* Form::FromHandle(HWND hwnd) {
    DWORD process = 0;
    if (!hwnd || !::GetWindowThreadProcessId(hwnd, &process) || process != ::GetCurrentProcessId())
        return nullptr;
    if (::GetWindowLongPtrW(hwnd, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&Form::DialogProc))
        return nullptr;
    return reinterpret_cast<Form*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
}

Form* Form::FindOpen(const wchar_t* className, const wchar_t* caption) {
    // Another program on the desktop may have a window of the same class and caption
    // listed before ours: look past it.
    for (HWND hwnd = ::FindWindowExW(nullptr, nullptr, className, caption); hwnd;
         hwnd = ::FindWindowExW(nullptr, hwnd, className, caption)) {
        Form* form = FromHandle(hwnd);
        if (form && form->Visible())
            return form;
    }
    return nullptr;
}

void Form::SetStayOnTop(bool on) {
    stayOnTop_ = on;
    ApplyStayOnTop();
}

bool Form::StayOnTop() const {
    return stayOnTop_;
}

void Form::ApplyStayOnTop() {
    // Kept as well as applied: a hidden window may not take the z-order (Wine ignores it),
    // so each showing applies the choice again.
    if (hwnd_)
        ::SetWindowPos(hwnd_, stayOnTop_ ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool Form::DropShadow() const {
    if (!hwnd_)
        return dropShadow_.value_or(false);
    return (::GetClassLongW(hwnd_, GCL_STYLE) & CS_DROPSHADOW) != 0;
}

void Form::SetDropShadow(bool on) {
    if (!hwnd_) {
        dropShadow_ = on;
        return;
    }
    if (DropShadow() == on)
        return;
    DWORD style = ::GetClassLongW(hwnd_, GCL_STYLE);
    style = on ? (style | CS_DROPSHADOW) : (style & ~static_cast<DWORD>(CS_DROPSHADOW));
    ::SetClassLongW(hwnd_, GCL_STYLE, static_cast<LONG>(style));
}

} // namespace widgets
