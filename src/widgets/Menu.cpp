#include "widgets/Menu.h"
#include "widgets/Application.h"
#include "widgets/Form.h"

#include <algorithm>
#include <stdexcept>

namespace widgets {

MenuItem::MenuItem(PopupMenu& menu, UINT commandId) : menu_(menu), id_(commandId) {
    menu_.EntryFor(id_).item = this;
}

std::wstring MenuItem::Caption() const {
    return menu_.EntryFor(id_).caption;
}
void MenuItem::SetCaption(const std::wstring& text) {
    menu_.EntryFor(id_).caption = text;
}
bool MenuItem::Enabled() const {
    return menu_.EntryFor(id_).enabled;
}
void MenuItem::SetEnabled(bool on) {
    menu_.EntryFor(id_).enabled = on;
}
bool MenuItem::Visible() const {
    return menu_.EntryFor(id_).visible;
}
void MenuItem::SetVisible(bool on) {
    menu_.EntryFor(id_).visible = on;
}
bool MenuItem::Checked() const {
    return menu_.EntryFor(id_).checked;
}
void MenuItem::SetChecked(bool on) {
    menu_.EntryFor(id_).checked = on;
}
bool MenuItem::Default() const {
    return menu_.EntryFor(id_).isDefault;
}
void MenuItem::SetDefault(bool on) {
    menu_.EntryFor(id_).isDefault = on;
}
void MenuItem::SetPicture(HBITMAP picture) {
    menu_.EntryFor(id_).picture = picture;
}

void MenuItem::Click() {
    if (!Enabled() || !Visible() || !OnClick)
        return;
    // A copy: the handler may remove its own entry.
    std::function<void()> handler = OnClick;
    handler();
}

PopupMenu::PopupMenu(Form& owner, int resourceId) : owner_(owner) {
    platform::UniqueMenu bar(::LoadMenuW(Application::Instance().Module(), MAKEINTRESOURCEW(resourceId)));
    HMENU popup = bar ? ::GetSubMenu(bar.Get(), 0) : nullptr;
    int count = popup ? ::GetMenuItemCount(popup) : 0;
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = static_cast<UINT>(std::size(text));
        ::GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &info);
        if (info.wID >= kFirstRuntimeId && info.wID <= kLastRuntimeId)
            throw std::logic_error("menu template uses a run-time command id");
        Entry e;
        e.id = info.wID;
        e.separator = (info.fType & MFT_SEPARATOR) != 0;
        e.caption = text;
        e.enabled = (info.fState & MFS_DISABLED) == 0;
        e.checked = (info.fState & MFS_CHECKED) != 0;
        e.isDefault = (info.fState & MFS_DEFAULT) != 0;
        entries_.push_back(std::move(e));
    }
}

PopupMenu::~PopupMenu() = default;

MenuItem& PopupMenu::Insert(UINT after, const std::wstring& caption) {
    UINT id = kFirstRuntimeId;
    while (std::any_of(entries_.begin(), entries_.end(), [id](const Entry& e) { return e.id == id; }))
        if (++id > kLastRuntimeId)
            throw std::length_error("no run-time command id left");
    auto at =
        std::find_if(entries_.begin(), entries_.end(), [after](const Entry& e) { return e.id == after; });
    if (at == entries_.end())
        throw std::logic_error("menu entry missing from its template");
    at = std::find_if(at + 1, entries_.end(), [](const Entry& e) { return !e.runtime; });
    Entry e;
    e.id = id;
    e.caption = caption;
    e.runtime = true;
    entries_.insert(at, std::move(e));
    runtimeItems_.push_back(std::make_unique<MenuItem>(*this, id));
    return *runtimeItems_.back();
}

void PopupMenu::Remove(MenuItem& item) {
    auto owned = std::find_if(runtimeItems_.begin(), runtimeItems_.end(),
                              [&item](const std::unique_ptr<MenuItem>& p) { return p.get() == &item; });
    if (owned == runtimeItems_.end())
        return;
    UINT id = item.CommandId();
    std::erase_if(entries_, [id](const Entry& e) { return e.id == id; });
    runtimeItems_.erase(owned);
}

PopupMenu::Entry& PopupMenu::EntryFor(UINT id) {
    auto it = std::find_if(entries_.begin(), entries_.end(), [id](const Entry& e) { return e.id == id; });
    if (it == entries_.end())
        throw std::logic_error("menu entry missing from its template");
    return *it;
}

const PopupMenu::Entry& PopupMenu::EntryFor(UINT id) const {
    return const_cast<PopupMenu*>(this)->EntryFor(id);
}

platform::UniqueMenu PopupMenu::BuildNative() const {
    platform::UniqueMenu menu(::CreatePopupMenu());
    UINT position = 0;
    for (const Entry& e : entries_) {
        if (!e.visible)
            continue;
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE;
        info.wID = e.id;
        if (e.separator) {
            info.fType = MFT_SEPARATOR;
        } else {
            info.fMask |= MIIM_STRING;
            info.dwTypeData = const_cast<wchar_t*>(e.caption.c_str());
            info.fState = (e.enabled ? MFS_ENABLED : MFS_DISABLED) | (e.checked ? MFS_CHECKED : 0u) |
                          (e.isDefault ? MFS_DEFAULT : 0u);
            if (e.picture) {
                info.fMask |= MIIM_BITMAP;
                info.hbmpItem = e.picture;
            }
        }
        ::InsertMenuItemW(menu.Get(), position++, TRUE, &info);
    }
    return menu;
}

void PopupMenu::Popup(POINT at) {
    if (OnPopup)
        OnPopup();
    platform::UniqueMenu menu = BuildNative();
    HWND owner = owner_.Handle();
    // Without the foreground the menu of a tray icon would not close on a click elsewhere.
    ::SetForegroundWindow(owner);
    UINT chosen = static_cast<UINT>(::TrackPopupMenuEx(
        menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, owner, nullptr));
    ::PostMessageW(owner, WM_NULL, 0, 0);
    if (chosen == 0)
        return;
    for (Entry& e : entries_)
        if (e.id == chosen && e.item) {
            e.item->Click();
            break;
        }
}

} // namespace widgets
