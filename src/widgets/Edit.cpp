#include "widgets/Edit.h"
#include "widgets/Handler.h"

namespace widgets {

Edit::~Edit() {
    Detached();
}

void Edit::SetText(const std::wstring& text) {
    if (!Handle())
        return SetCaption(text);
    // The user may have typed since the last write: compare with what the field shows.
    if (text != Text())
        ::SetWindowTextW(Handle(), text.c_str());
}

void Edit::SetMaxLength(int characters) {
    maxLength_ = characters;
    if (Handle())
        ::SendMessageW(Handle(), EM_SETLIMITTEXT, static_cast<WPARAM>(characters), 0);
}

void Edit::SetReadOnly(bool on) {
    readOnly_ = on;
    if (Handle())
        ::SendMessageW(Handle(), EM_SETREADONLY, on ? TRUE : FALSE, 0);
}

void Edit::Focus() {
    if (Handle())
        ::SetFocus(Handle());
}

bool Edit::Focused() const {
    return Handle() && ::GetFocus() == Handle();
}

void Edit::Create(HWND parent, const RECT& bounds, DWORD style) {
    DWORD align = TextAlignment == Alignment::Center  ? ES_CENTER
                  : TextAlignment == Alignment::Right ? ES_RIGHT
                                                      : ES_LEFT;
    CreateChild(parent, L"EDIT", style | align | ES_AUTOHSCROLL | WS_TABSTOP, bounds, Caption());
}

void Edit::Attached() {
    if (maxLength_ > 0)
        SetMaxLength(maxLength_);
    if (readOnly_)
        SetReadOnly(true);
    if (!subclassed_)
        subclassed_ =
            ::SetWindowSubclass(Handle(), SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

void Edit::Detached() {
    if (subclassed_ && Handle())
        ::RemoveWindowSubclass(Handle(), SubclassProc, 1);
    subclassed_ = false;
}

bool Edit::HandleCommand(WORD code) {
    std::function<void()>* handler = nullptr;
    switch (code) {
    case EN_CHANGE:
        handler = &OnChange;
        break;
    case EN_SETFOCUS:
        handler = &OnEnter;
        break;
    case EN_KILLFOCUS:
        handler = &OnExit;
        break;
    default:
        return false;
    }
    if (*handler)
        (*handler)();
    return true;
}

LRESULT CALLBACK Edit::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                    DWORD_PTR self) {
    auto* edit = reinterpret_cast<Edit*>(self);
    bool swallow = false;
    RunHandler(L"Edit", msg, [&] {
        switch (msg) {
        case WM_CHAR: {
            auto key = static_cast<wchar_t>(wParam);
            swallow = !edit->KeyPress(key) || (edit->OnKeyPress && !edit->OnKeyPress(key));
            break;
        }
        case WM_LBUTTONDOWN:
            if (edit->OnClick)
                edit->OnClick();
            break;
        case WM_LBUTTONDBLCLK:
            if (edit->OnDblClick)
                edit->OnDblClick();
            break;
        default:
            break;
        }
    });
    return swallow ? 0 : ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

} // namespace widgets
