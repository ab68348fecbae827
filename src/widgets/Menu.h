#pragma once
#include "platform/Handles.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace widgets {

class PopupMenu;
class Form;

// One entry of a popup menu, bound by its command id to the menu's template.
class MenuItem {
public:
    MenuItem(PopupMenu& menu, UINT commandId);
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    UINT CommandId() const { return id_; }
    std::wstring Caption() const;
    void SetCaption(const std::wstring& text);
    bool Enabled() const;
    void SetEnabled(bool on);
    bool Visible() const;
    void SetVisible(bool on);
    bool Checked() const;
    void SetChecked(bool on);
    bool Default() const;
    void SetDefault(bool on);
    // A picture shown beside the caption (not owned).
    void SetPicture(HBITMAP picture);

    std::function<void()> OnClick;
    // As the user's choice would: only when enabled and visible.
    void Click();

private:
    PopupMenu& menu_;
    UINT id_;
};

// A popup menu whose entries come from a MENU resource (its first popup). Entry states
// are kept here and a native menu is built for every showing, so a hidden entry simply
// leaves the native menu and comes back at its place.
class PopupMenu {
public:
    // Command ids of run-time entries. Templates keep their ids below this range (the
    // constructor refuses one that does not), and the ids stay 16-bit like every
    // command id.
    static constexpr UINT kFirstRuntimeId = 0xC000;
    static constexpr UINT kLastRuntimeId = 0xDFFF;

    PopupMenu(Form& owner, int resourceId);
    ~PopupMenu();
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    // A run-time entry (a plug-in's command), placed after the entry `after` and
    // after the run-time entries already there, with a free id of the run-time range.
    // The menu owns it until Remove.
    MenuItem& Insert(UINT after, const std::wstring& caption);
    void Remove(MenuItem& item);

    // Runs before every showing: the place to set the entries' states.
    std::function<void()> OnPopup;
    // Shows the menu at a screen position and runs the chosen entry.
    void Popup(POINT at);
    // The native menu as it would be shown now (for inspection).
    platform::UniqueMenu BuildNative() const;

    struct Entry {
        UINT id = 0;
        bool separator = false;
        std::wstring caption;
        bool enabled = true;
        bool visible = true;
        bool checked = false;
        bool isDefault = false;
        HBITMAP picture = nullptr;
        MenuItem* item = nullptr;
        bool runtime = false;
    };
    const std::vector<Entry>& Entries() const { return entries_; }

private:
    friend class MenuItem;
    Entry& EntryFor(UINT id);
    const Entry& EntryFor(UINT id) const;

    Form& owner_;
    std::vector<Entry> entries_;
    std::vector<std::unique_ptr<MenuItem>> runtimeItems_;
};

} // namespace widgets
