#pragma once
#include "widgets/Control.h"

#include <functional>
#include <string>

namespace widgets {

// A one-line text field.
class Edit : public Control {
public:
    enum class Alignment { Left, Center, Right };

    using Control::Control;
    ~Edit() override;

    std::wstring Text() const { return Caption(); }
    // Raises OnChange when the text really changes, as typing would.
    void SetText(const std::wstring& text);

    // At most this many characters (0: the system's limit), typed or pasted.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int characters);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);
    // The text's alignment; applies to a window made after it is set.
    Alignment TextAlignment = Alignment::Left;
    // Takes the keyboard focus.
    void Focus();
    bool Focused() const;

    std::function<void()> OnChange;
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void()> OnEnter;
    std::function<void()> OnExit;
    // A typed character (backspace included); false swallows it. Runs after KeyPress
    // has let it pass.
    std::function<bool(wchar_t key)> OnKeyPress;

    // Makes the field's window as a child of parent (see Control::CreateChild).
    void Create(HWND parent, const RECT& bounds, DWORD style = WS_VISIBLE);

protected:
    // The field's own key rule; the default lets everything pass.
    virtual bool KeyPress(wchar_t /*key*/) { return true; }
    void Attached() override;
    void Detached() override;
    bool HandleCommand(WORD code) override;

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    int maxLength_ = 0;
    bool readOnly_ = false;
    bool subclassed_ = false;
};

} // namespace widgets
