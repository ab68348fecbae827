#pragma once
#include "platform/Win32.h"

#include <functional>
#include <string>

namespace widgets {

class Form;

// One notification-area icon owned by a form. The icon is added when it becomes
// visible and removed when the form's window goes; image and tooltip changes reach the
// shell only when they change something.
class TrayIcon {
public:
    static constexpr std::size_t kTipBytes = 127;
    static constexpr std::size_t kBalloonTitleBytes = 63;
    static constexpr std::size_t kBalloonTextBytes = 255;
    // The message the shell sends to the owner form about the icon.
    static constexpr UINT kCallbackMessage = WM_APP + 0x100;

    explicit TrayIcon(Form& owner);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    bool Visible() const { return visible_; }
    void SetVisible(bool on);
    HICON Icon() const { return icon_; }
    void SetIcon(HICON icon);
    const std::wstring& Hint() const { return hint_; }
    void SetHint(const std::wstring& text);
    // Replaces any balloon still shown: first an empty one, then the new one.
    void ShowBalloon(const std::wstring& title, const std::wstring& text, UINT timeoutMs, DWORD infoFlags);

    std::function<void()> OnClick;
    // Right click, with the pointer position in screen coordinates.
    std::function<void(POINT)> OnContextMenu;

private:
    friend class Form;
    void HandleCallback(LPARAM event);
    void Readd();
    void Remove();
    NOTIFYICONDATAW Data(UINT flags) const;
    bool Notify(DWORD message, UINT flags);

    Form& owner_;
    HICON icon_ = nullptr;
    std::wstring hint_;
    bool visible_ = false;
};

} // namespace widgets
