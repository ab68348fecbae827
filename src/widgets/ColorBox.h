#pragma once
#include "widgets/Colors.h"
#include "widgets/Control.h"

#include <array>
#include <functional>
#include <string>

namespace widgets {

// A drop-down list of colours, each item a swatch with its name: first a custom entry,
// whose colour the user picks with the system colour dialog, then the sixteen standard
// named colours. The template entry is a COMBOBOX with CBS_DROPDOWNLIST |
// CBS_OWNERDRAWFIXED | CBS_HASSTRINGS; the form hands it its draw and measure requests.
class ColorBox : public Control {
public:
    static constexpr int kCustomIndex = 0;
    static constexpr const wchar_t* kCustomName = L"自定义...";

    ColorBox(Form& owner, int id, TColor defaultColor);

    // Fired after every selection: by the user, or by SetSelected.
    std::function<void()> OnChange;

    TColor DefaultColor() const { return default_; }
    TColor Selected() const { return selected_; }
    // Selects the named item of this colour; any other colour becomes the custom entry's.
    void SetSelected(TColor color);
    // The custom entry's colour.
    TColor CustomColor() const { return custom_; }

    int Count() const;
    int ItemIndex() const;
    std::wstring ItemName(int index) const;
    TColor ItemColor(int index) const;

    // Chooses an item as the user does from the list: the custom entry asks for its
    // colour first, and a cancelled dialog leaves the selection as it was.
    void Choose(int index);

protected:
    void Attached() override;
    bool HandleCommand(WORD code) override;
    bool HandleDrawItem(const DRAWITEMSTRUCT& item) override;
    bool HandleMeasureItem(MEASUREITEMSTRUCT& item) override;

private:
    int IndexOf(TColor color) const;
    void ShowSelection();
    bool PickCustomColor();
    int ItemHeight() const;

    TColor default_;
    TColor selected_;
    TColor custom_ = clBlack;
    // The colours the user keeps in the colour dialog's custom row, for this box's life.
    std::array<COLORREF, 16> dialogColors_{};
};

} // namespace widgets
