#pragma once
#include "platform/Win32.h"

#include <functional>
#include <string>
#include <unordered_map>

namespace widgets {

class Form;

// The text of any window.
std::wstring WindowText(HWND hwnd);
// The first window below root, at any depth, with the control id.
HWND DescendantById(HWND root, int id);
// The same for every id below root, in one walk of the window tree.
std::unordered_map<int, HWND> DescendantsById(HWND root);

// A control of a form's dialog template, found by its id once the form's window exists.
// Properties set before that are applied when the control is attached.
class Control {
public:
    Control(Form& owner, int id);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    int Id() const { return id_; }
    HWND Handle() const { return hwnd_; }
    Form& Owner() const { return owner_; }

    std::wstring Caption() const;
    void SetCaption(const std::wstring& text);
    bool Enabled() const;
    void SetEnabled(bool on);
    bool Visible() const;
    void SetVisible(bool on);

    // Geometry in pixels, relative to the control's parent window.
    RECT Bounds() const;
    void SetBounds(int left, int top, int width, int height);
    void SetWidth(int width);

    // Makes the control's window of a system class as a child of parent, for a control
    // that no template places (the parts of a composite control). Made from a control's
    // CreateChildren, it is attached with the form's other controls.
    void CreateChild(HWND parent, const wchar_t* windowClass, DWORD style, const RECT& bounds,
                     const std::wstring& text = L"");
    // Draws the control's text in this font, which the caller keeps alive.
    void SetFont(HFONT font);

    int HelpContext = 0;

    // The text a tooltip shows while the pointer rests on the control; none when empty.
    const std::wstring& Hint() const { return hint_; }
    void SetHint(const std::wstring& text);

    // The user asked for the control's context menu: a right click or the menu key, at
    // a screen position (for the key, the control's ContextPoint).
    std::function<void(POINT at)> OnContextMenu;

protected:
    friend class Form;
    // Called once the window exists; derived controls apply their pending state.
    virtual void Attached() {}
    // Called before controls are attached: a control that makes windows of its own
    // (a page control's sheets) makes them here.
    virtual void CreateChildren() {}
    // A message the parent got from or about this control's window: WM_COMMAND,
    // WM_NOTIFY, WM_CONTEXTMENU, WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM,
    // WM_HSCROLL, WM_VSCROLL, WM_VKEYTOITEM, WM_CHARTOITEM. True when handled, with the
    // answer in result; the form returns it by the dialog rules. The default hands the
    // first four to the handlers below.
    virtual bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual bool HandleCommand(WORD /*code*/) { return false; }
    virtual bool HandleNotify(NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
    // Owner-drawn controls paint and size their items here.
    virtual bool HandleDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    virtual bool HandleMeasureItem(MEASUREITEMSTRUCT& /*item*/) { return false; }
    virtual void Detached() {}
    // Where a context menu asked for from the keyboard opens: the control's top left.
    virtual POINT ContextPoint() const;
    // Binding to a window; a control that makes its own window binds it itself.
    virtual void Attach(HWND hwnd);
    virtual void Detach();
    // Only the handle, none of the pending state: for a window still being made.
    void SetHandle(HWND hwnd) { hwnd_ = hwnd; }

private:
    Form& owner_;
    int id_;
    HWND hwnd_ = nullptr;
    // State kept while the window does not exist, and mirrored after.
    mutable std::wstring caption_;
    bool captionSet_ = false;
    bool enabled_ = true;
    bool enabledSet_ = false;
    bool visible_ = true;
    bool visibleSet_ = false;
    std::wstring hint_;
};

} // namespace widgets
