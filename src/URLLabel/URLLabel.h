#pragma once
#include "platform/Handles.h"
#include "widgets/Colors.h"
#include "widgets/CustomWindow.h"

#include <string>

// A label that is a link: underlined, coloured by the pointer's state, and opening its
// URL (or, without one, its caption) through the shell when a click is released on it.
// Placed by a template entry of the class kClassName, or made with Create.
class TURLLabel : public widgets::CustomWindow {
public:
    static constexpr const wchar_t* kClassName = L"TURLLabel";

    TURLLabel(widgets::Form& owner, int id);
    ~TURLLabel() override;

    std::wstring URL;
    widgets::TColor ColorNormal = widgets::clBlue;
    widgets::TColor ColorMoveOver = widgets::clBlue;
    widgets::TColor ColorClick = widgets::clRed;

    // The colour the caption is drawn in now.
    widgets::TColor FontColor() const { return fontColor_; }
    bool Pressed() const { return pressed_; }

protected:
    void Attached() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void SetFontColor(widgets::TColor color);
    void MouseDown();
    void MouseMove(int x, int y);
    void MouseLeave();
    void MouseUp(int x, int y);
    bool Inside(int x, int y) const;
    void Open() const;
    void Paint();

    widgets::TColor fontColor_ = widgets::clBlue;
    bool pressed_ = false;
    bool pointerInside_ = false;
    platform::UniqueGdiObject font_;
};
