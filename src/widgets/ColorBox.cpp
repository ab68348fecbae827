#include "widgets/ColorBox.h"
#include "platform/Dialogs.h"
#include "platform/Handles.h"
#include "widgets/Form.h"
#include "widgets/Gdi.h"

#include <iterator>
#include <vector>

namespace widgets {

namespace {

struct NamedColor {
    TColor Color;
    const wchar_t* Name;
};

constexpr NamedColor kNamedColors[] = {
    {clBlack, L"黑色"},  {clMaroon, L"栗色"},    {clGreen, L"绿色"},  {clOlive, L"橄榄色"},
    {clNavy, L"藏青色"}, {clPurple, L"紫色"},    {clTeal, L"蓝绿色"}, {clGray, L"灰色"},
    {clSilver, L"银色"}, {clRed, L"红色"},       {clLime, L"亮绿色"}, {clYellow, L"黄色"},
    {clBlue, L"蓝色"},   {clFuchsia, L"紫红色"}, {clAqua, L"水绿色"}, {clWhite, L"白色"},
};
constexpr int kItemCount = 1 + static_cast<int>(std::size(kNamedColors));
constexpr int kSwatchWidth = 22;
constexpr int kMargin = 2;

} // namespace

ColorBox::ColorBox(Form& owner, int id, TColor defaultColor)
    : Control(owner, id), default_(defaultColor), selected_(defaultColor) {
}

int ColorBox::Count() const {
    return Handle() ? static_cast<int>(::SendMessageW(Handle(), CB_GETCOUNT, 0, 0)) : 0;
}

int ColorBox::ItemIndex() const {
    return Handle() ? static_cast<int>(::SendMessageW(Handle(), CB_GETCURSEL, 0, 0)) : -1;
}

std::wstring ColorBox::ItemName(int index) const {
    if (index == kCustomIndex)
        return kCustomName;
    if (index < 1 || index >= kItemCount)
        return {};
    return kNamedColors[index - 1].Name;
}

TColor ColorBox::ItemColor(int index) const {
    if (index < 1 || index >= kItemCount)
        return custom_;
    return kNamedColors[index - 1].Color;
}

int ColorBox::IndexOf(TColor color) const {
    for (int i = 1; i < kItemCount; ++i)
        if (kNamedColors[i - 1].Color == color)
            return i;
    return kCustomIndex;
}

void ColorBox::SetSelected(TColor color) {
    selected_ = color;
    if (IndexOf(color) == kCustomIndex)
        custom_ = color;
    ShowSelection();
    if (OnChange)
        OnChange();
}

void ColorBox::Choose(int index) {
    if (index < 0 || index >= kItemCount)
        return;
    if (index == kCustomIndex) {
        if (!PickCustomColor()) {
            ShowSelection();
            return;
        }
        selected_ = custom_;
    } else {
        selected_ = kNamedColors[index - 1].Color;
    }
    ShowSelection();
    if (OnChange)
        OnChange();
}

void ColorBox::ShowSelection() {
    if (!Handle())
        return;
    // A custom colour that happens to have a name is shown as that name.
    ::SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(IndexOf(selected_)), 0);
    // The custom entry's swatch may have changed without its text.
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

bool ColorBox::PickCustomColor() {
    CHOOSECOLORW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Owner().Handle();
    dialog.rgbResult = ColorToRgb(custom_);
    dialog.lpCustColors = dialogColors_.data();
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!platform::dialogs().ChooseColorW(&dialog))
        return false;
    custom_ = dialog.rgbResult & 0x00FFFFFF;
    return true;
}

int ColorBox::ItemHeight() const {
    // The control's font plus a margin above and below the swatch.
    int textHeight = 12;
    if (HDC dc = ::GetDC(Handle())) {
        HGDIOBJ previous =
            ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(Handle(), WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        if (::GetTextMetricsW(dc, &metrics))
            textHeight = metrics.tmHeight;
        ::SelectObject(dc, previous);
        ::ReleaseDC(Handle(), dc);
    }
    return textHeight + 2 * kMargin;
}

void ColorBox::Attached() {
    HWND box = Handle();
    ::SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < kItemCount; ++i) {
        std::wstring name = ItemName(i);
        ::SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    // The measure requests of the control's creation come before the form can answer
    // them: the heights are set here instead.
    int height = ItemHeight();
    ::SendMessageW(box, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);
    ::SendMessageW(box, CB_SETITEMHEIGHT, 0, height);
    ShowSelection();
}

bool ColorBox::HandleCommand(WORD code) {
    // Systems differ in the order of these notifications; a choice is made once, when
    // the item shown differs from the one chosen.
    const int shown = ItemIndex();
    const bool changed = shown != IndexOf(selected_);
    switch (code) {
    case CBN_SELCHANGE:
        // While the list is open the user is only moving through it; the choice is
        // made when it closes.
        if (changed && !::SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0))
            Choose(shown);
        return true;
    case CBN_CLOSEUP:
        if (changed)
            Choose(shown);
        return true;
    case CBN_SELENDOK:
        // The custom entry chosen again: the user wants another custom colour.
        if (!changed && shown == kCustomIndex)
            Choose(shown);
        return true;
    default:
        return false;
    }
}

bool ColorBox::HandleDrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT area = item.rcItem;
    const bool highlighted = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(dc, &area, ::GetSysColorBrush(highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    int index = static_cast<int>(item.itemID);
    if (item.itemID != static_cast<UINT>(-1) && index < kItemCount) {
        SavedDc saved(dc);
        RECT swatch{area.left + kMargin, area.top + kMargin, area.left + kMargin + kSwatchWidth,
                    area.bottom - kMargin};
        platform::UniqueGdiObject brush(::CreateSolidBrush(ColorToRgb(ItemColor(index))));
        ::FillRect(dc, &swatch, static_cast<HBRUSH>(brush.Get()));
        ::FrameRect(dc, &swatch, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        int textColor = (item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT
                        : highlighted                   ? COLOR_HIGHLIGHTTEXT
                                                        : COLOR_WINDOWTEXT;
        ::SetTextColor(dc, ::GetSysColor(textColor));
        ::SetBkMode(dc, TRANSPARENT);
        std::wstring name = ItemName(index);
        RECT text{swatch.right + 2 * kMargin, area.top, area.right, area.bottom};
        ::DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &text,
                    DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    }
    if (item.itemState & ODS_FOCUS)
        ::DrawFocusRect(dc, &area);
    return true;
}

bool ColorBox::HandleMeasureItem(MEASUREITEMSTRUCT& item) {
    if (!Handle())
        return false;
    item.itemHeight = static_cast<UINT>(ItemHeight());
    return true;
}

} // namespace widgets
