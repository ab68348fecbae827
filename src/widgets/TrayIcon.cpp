#include "widgets/TrayIcon.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "widgets/Form.h"

#include <cwchar>

namespace widgets {

namespace {
constexpr UINT kTrayId = 1;

void CopyText(wchar_t* dest, std::size_t capacity, const std::wstring& text) {
    std::size_t n = std::min(text.size(), capacity - 1);
    std::wmemcpy(dest, text.data(), n);
    dest[n] = L'\0';
}
} // namespace

TrayIcon::TrayIcon(Form& owner) : owner_(owner) {
    owner_.RegisterTray(this);
}

TrayIcon::~TrayIcon() {
    Remove();
    owner_.UnregisterTray(this);
}

NOTIFYICONDATAW TrayIcon::Data(UINT flags) const {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = owner_.Handle();
    data.uID = kTrayId;
    data.uFlags = flags;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon_;
    CopyText(data.szTip, std::size(data.szTip), platform::CutToBytes(hint_, kTipBytes));
    return data;
}

bool TrayIcon::Notify(DWORD message, UINT flags) {
    NOTIFYICONDATAW data = Data(flags);
    return platform::shell().Shell_NotifyIconW(message, &data) != FALSE;
}

void TrayIcon::SetVisible(bool on) {
    if (on == visible_)
        return;
    visible_ = on;
    if (on)
        Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    else
        Remove();
}

void TrayIcon::SetIcon(HICON icon) {
    if (icon == icon_)
        return;
    icon_ = icon;
    if (visible_)
        Notify(NIM_MODIFY, NIF_ICON);
}

void TrayIcon::SetHint(const std::wstring& text) {
    std::wstring cut = platform::CutToBytes(text, kTipBytes);
    if (cut == hint_)
        return;
    hint_ = std::move(cut);
    if (visible_)
        Notify(NIM_MODIFY, NIF_TIP);
}

void TrayIcon::ShowBalloon(const std::wstring& title, const std::wstring& text, UINT timeoutMs,
                           DWORD infoFlags) {
    if (!visible_)
        return;
    NOTIFYICONDATAW clear = Data(NIF_INFO);
    platform::shell().Shell_NotifyIconW(NIM_MODIFY, &clear);

    NOTIFYICONDATAW data = Data(NIF_INFO);
    CopyText(data.szInfo, std::size(data.szInfo), platform::CutToBytes(text, kBalloonTextBytes));
    CopyText(data.szInfoTitle, std::size(data.szInfoTitle), platform::CutToBytes(title, kBalloonTitleBytes));
    data.uTimeout = timeoutMs;
    data.dwInfoFlags = infoFlags;
    platform::shell().Shell_NotifyIconW(NIM_MODIFY, &data);
}

void TrayIcon::HandleCallback(LPARAM event) {
    switch (LOWORD(event)) {
    case WM_LBUTTONUP:
        if (OnClick)
            OnClick();
        break;
    case WM_RBUTTONUP:
        if (OnContextMenu) {
            POINT p{};
            ::GetCursorPos(&p);
            OnContextMenu(p);
        }
        break;
    default:
        break;
    }
}

void TrayIcon::Readd() {
    if (!visible_)
        return;
    // The shell may still know the icon; adding it again would then fail.
    Notify(NIM_DELETE, 0);
    Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
}

void TrayIcon::Remove() {
    if (visible_ && owner_.Handle())
        Notify(NIM_DELETE, 0);
}

} // namespace widgets
