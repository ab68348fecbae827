#pragma once
#include "platform/Handles.h"
#include "widgets/Control.h"

#include <functional>
#include <string>
#include <vector>

namespace widgets {

class Label : public Control {
public:
    using Control::Control;
    ~Label() override;
    // A mouse button pressed on the label: the button's down message
    // (WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, or the button's ..DBLCLK message for
    // the second press of a double click) and the MK_ key flags. Set it
    // before the form's window is made.
    std::function<void(UINT button, WPARAM keys)> OnMouseDown;

    // The label's text in the bold weight of its font.
    bool Bold() const { return bold_; }
    void SetBold(bool on);

protected:
    void Attached() override;
    void Detached() override;

private:
    void ApplyFont();
    bool bold_ = false;
    platform::UniqueGdiObject boldFont_;
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    bool subclassed_ = false;
};

// A group frame. Its contents are its siblings in the template; showing or hiding the
// group takes every control lying inside its frame along.
class GroupBox : public Control {
public:
    using Control::Control;
    void SetVisibleWithContents(bool on);
};

class Button : public Control {
public:
    using Control::Control;
    std::function<void()> OnClick;
    // Runs the click as the user's would: only when the button is enabled.
    void Click();

protected:
    bool HandleCommand(WORD code) override;
};

class CheckBox : public Button {
public:
    using Button::Button;
    bool Checked() const;
    void SetChecked(bool on);
};

// A static picture control showing an icon it does not own.
class Image : public Control {
public:
    using Control::Control;
    HICON Icon() const { return icon_; }
    void SetIcon(HICON icon);

protected:
    void Attached() override;

private:
    HICON icon_ = nullptr;
};

class ProgressBar : public Control {
public:
    using Control::Control;
    void SetRange(int minimum, int maximum);
    int Position() const;
    void SetPosition(int position);

protected:
    void Attached() override;

private:
    int min_ = 0, max_ = 100, position_ = 0;
};

// A drop-down list (pick only).
class ComboBox : public Control {
public:
    using Control::Control;
    std::function<void()> OnChange;

    void Clear();
    void Add(const std::wstring& text);
    int Count() const;
    std::wstring Item(int index) const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    std::wstring Text() const;

protected:
    bool HandleCommand(WORD code) override;
};

class PageControl;

// One page of a page control: a child dialog made from its own template, laid over the
// page control's display area.
class TabSheet : public Control {
public:
    TabSheet(PageControl& pages, int templateId, int pageIndex);
    int PageIndex() const { return pageIndex_; }
    RECT ClientBounds() const;

    // The page became the active one, or stopped being it.
    std::function<void()> OnShow;
    std::function<void()> OnHide;

private:
    friend class PageControl;
    static INT_PTR CALLBACK SheetProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Make(HWND parent);

    PageControl& pages_;
    int templateId_;
    int pageIndex_;
};

// A tab control whose tabs may take several rows; its sheets hold the page contents.
class PageControl : public Control {
public:
    using Control::Control;
    std::function<void()> OnChange;

    int ActivePageIndex() const { return active_; }
    void SetActivePage(const TabSheet& sheet) { SetActivePageIndex(sheet.PageIndex()); }
    void SetActivePageIndex(int index);
    int PageCount() const { return static_cast<int>(sheets_.size()); }
    std::wstring TabCaption(int index) const;

protected:
    void CreateChildren() override;
    void Attached() override;
    bool HandleNotify(NMHDR& header, LRESULT& result) override;

private:
    friend class TabSheet;
    void AddSheet(TabSheet* sheet) { sheets_.push_back(sheet); }
    void LayoutSheets();

    std::vector<TabSheet*> sheets_;
    int active_ = 0;
};

} // namespace widgets
