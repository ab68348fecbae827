#include "widgets/Controls.h"
#include "widgets/Application.h"
#include "widgets/Form.h"
#include "widgets/Handler.h"

#include <vector>

namespace widgets {

Label::~Label() {
    Detached();
}

void Label::SetBold(bool on) {
    bold_ = on;
    ApplyFont();
}

void Label::ApplyFont() {
    if (!Handle())
        return;
    HWND parent = ::GetParent(Handle());
    // The page's font, which the label had before it was made bold.
    auto font = reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0));
    if (bold_) {
        LOGFONTW face{};
        if (!font || ::GetObjectW(font, sizeof face, &face) == 0)
            return;
        face.lfWeight = FW_BOLD;
        platform::UniqueGdiObject made(::CreateFontIndirectW(&face));
        if (!made)
            return;
        font = static_cast<HFONT>(made.Get());
        ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        boldFont_ = std::move(made);
    } else if (boldFont_) {
        ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        boldFont_.Reset();
    }
}

void Label::Attached() {
    ApplyFont();
    // Static controls tell their parent of nothing but left clicks: a label that wants
    // every button listens directly. Only such labels: a subclassed control costs a
    // little on every message it gets.
    if (OnMouseDown)
        subclassed_ =
            ::SetWindowSubclass(Handle(), SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

void Label::Detached() {
    if (subclassed_ && Handle())
        ::RemoveWindowSubclass(Handle(), SubclassProc, 1);
    subclassed_ = false;
}

LRESULT CALLBACK Label::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                     DWORD_PTR self) {
    if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_LBUTTONDBLCLK ||
        msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK) {
        auto* label = reinterpret_cast<Label*>(self);
        if (label->OnMouseDown)
            RunHandler(L"Label", msg, [&] { label->OnMouseDown(msg, wParam); });
    }
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

void GroupBox::SetVisibleWithContents(bool on) {
    HWND group = Handle();
    if (!group)
        return SetVisible(on);
    RECT frame{};
    ::GetWindowRect(group, &frame);
    for (HWND h = ::GetWindow(::GetParent(group), GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        RECT r{};
        ::GetWindowRect(h, &r);
        if (h != group && r.left >= frame.left && r.top >= frame.top && r.right <= frame.right &&
            r.bottom <= frame.bottom)
            ::ShowWindow(h, on ? SW_SHOWNA : SW_HIDE);
    }
    SetVisible(on);
}

void Button::Click() {
    if (Enabled() && OnClick)
        OnClick();
}

bool Button::HandleCommand(WORD code) {
    // Unhandled, a Cancel button does what Escape does.
    if (code != BN_CLICKED || !OnClick)
        return false;
    OnClick();
    return true;
}

bool CheckBox::Checked() const {
    return Handle() && ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool on) {
    if (Handle())
        ::SendMessageW(Handle(), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Image::SetIcon(HICON icon) {
    if (icon == icon_)
        return;
    icon_ = icon;
    if (Handle())
        ::SendMessageW(Handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
}

void Image::Attached() {
    if (icon_)
        ::SendMessageW(Handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
}

void ProgressBar::SetRange(int minimum, int maximum) {
    min_ = minimum;
    max_ = maximum;
    if (Handle())
        ::SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
}

int ProgressBar::Position() const {
    return position_;
}

void ProgressBar::SetPosition(int position) {
    position_ = position;
    if (Handle())
        ::SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void ProgressBar::Attached() {
    SetRange(min_, max_);
    SetPosition(position_);
}

void ComboBox::Clear() {
    if (Handle())
        ::SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
}

void ComboBox::Add(const std::wstring& text) {
    if (Handle())
        ::SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int ComboBox::Count() const {
    return Handle() ? static_cast<int>(::SendMessageW(Handle(), CB_GETCOUNT, 0, 0)) : 0;
}

std::wstring ComboBox::Item(int index) const {
    if (!Handle() || index < 0 || index >= Count())
        return {};
    auto n = ::SendMessageW(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(n) + 1);
    ::SendMessageW(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(buffer.data()));
    return std::wstring(buffer.data());
}

int ComboBox::ItemIndex() const {
    return Handle() ? static_cast<int>(::SendMessageW(Handle(), CB_GETCURSEL, 0, 0)) : -1;
}

void ComboBox::SetItemIndex(int index) {
    if (Handle())
        ::SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::wstring ComboBox::Text() const {
    return Item(ItemIndex());
}

bool ComboBox::HandleCommand(WORD code) {
    if (code != CBN_SELCHANGE)
        return false;
    if (OnChange)
        OnChange();
    return true;
}

TabSheet::TabSheet(PageControl& pages, int templateId, int pageIndex)
    : Control(pages.Owner(), templateId), pages_(pages), templateId_(templateId), pageIndex_(pageIndex) {
    pages_.AddSheet(this);
}

INT_PTR CALLBACK TabSheet::SheetProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TabSheet* sheet = nullptr;
    if (msg == WM_INITDIALOG) {
        sheet = reinterpret_cast<TabSheet*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(sheet));
        return FALSE;
    }
    sheet = reinterpret_cast<TabSheet*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!sheet)
        return FALSE;
    // The page's controls belong to the form: their messages go there.
    Form& form = sheet->Owner();
    INT_PTR answer = FALSE;
    RunHandler(form.ClassName().c_str(), msg, [&] { answer = form.Dispatch(hwnd, msg, wParam, lParam); });
    return answer;
}

void TabSheet::Make(HWND parent) {
    HWND h = ::CreateDialogParamW(Application::Instance().Module(), MAKEINTRESOURCEW(templateId_), parent,
                                  SheetProc, reinterpret_cast<LPARAM>(this));
    // The sheet's dialog id is its template id, so the form finds it like any control.
    if (h) {
        ::SetWindowLongPtrW(h, GWLP_ID, templateId_);
        KeepDesignedGeometry(h);
    }
}

RECT TabSheet::ClientBounds() const {
    RECT r{};
    if (Handle())
        ::GetClientRect(Handle(), &r);
    return r;
}

std::wstring PageControl::TabCaption(int index) const {
    if (index < 0 || index >= PageCount())
        return {};
    return sheets_[static_cast<std::size_t>(index)]->Caption();
}

void PageControl::CreateChildren() {
    HWND form = Owner().Handle();
    for (TabSheet* sheet : sheets_)
        sheet->Make(form);
}

void PageControl::Attached() {
    for (TabSheet* sheet : sheets_) {
        std::wstring caption = sheet->Caption();
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        ::SendMessageW(Handle(), TCM_INSERTITEMW, static_cast<WPARAM>(sheet->PageIndex()),
                       reinterpret_cast<LPARAM>(&item));
    }
    LayoutSheets();
    SetActivePageIndex(active_);
}

void PageControl::LayoutSheets() {
    RECT r = Bounds();
    ::SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    for (TabSheet* sheet : sheets_)
        if (HWND h = sheet->Handle())
            ::SetWindowPos(h, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
}

void PageControl::SetActivePageIndex(int index) {
    if (index < 0 || index >= PageCount())
        return;
    const int previous = active_;
    active_ = index;
    if (Handle())
        ::SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    for (TabSheet* sheet : sheets_)
        if (HWND h = sheet->Handle())
            ::ShowWindow(h, sheet->PageIndex() == index ? SW_SHOWNA : SW_HIDE);
    if (previous == index || !Handle())
        return;
    TabSheet& left = *sheets_[static_cast<std::size_t>(previous)];
    TabSheet& entered = *sheets_[static_cast<std::size_t>(index)];
    if (left.OnHide)
        left.OnHide();
    if (entered.OnShow)
        entered.OnShow();
}

bool PageControl::HandleNotify(NMHDR& header, LRESULT& /*result*/) {
    if (header.code != TCN_SELCHANGE)
        return false;
    SetActivePageIndex(static_cast<int>(::SendMessageW(Handle(), TCM_GETCURSEL, 0, 0)));
    if (OnChange)
        OnChange();
    return true;
}

} // namespace widgets
