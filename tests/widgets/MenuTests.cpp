// Run-time menu entries: where they go, what they show, and their command ids.
#include "WidgetTestForms.h"
#include "widgets/Menu.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using namespace widgets_test;
using ::testing::ElementsAre;
using widgets::PopupMenu;

namespace {

// The native menu as text: "-" for a separator, states in brackets.
std::vector<std::wstring> Shown(const PopupMenu& menu) {
    platform::UniqueMenu native = menu.BuildNative();
    std::vector<std::wstring> shown;
    for (int i = 0; i < ::GetMenuItemCount(native.Get()); ++i) {
        wchar_t text[64] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 64;
        ::GetMenuItemInfoW(native.Get(), static_cast<UINT>(i), TRUE, &info);
        std::wstring line = (info.fType & MFT_SEPARATOR) ? L"-" : text;
        if (info.fState & MFS_DISABLED)
            line += L" [disabled]";
        if (info.fState & MFS_CHECKED)
            line += L" [checked]";
        shown.push_back(line);
    }
    return shown;
}

} // namespace

TEST(RuntimeMenuEntries, GoAfterTheirAnchorInOrderWithTheirStatesAndCanBeRemoved) {
    TestForm form;
    PopupMenu menu{form, IDM_TestMenu};
    widgets::MenuItem& a = menu.Insert(IDM_PlugSep, L"Plug A");
    widgets::MenuItem& b = menu.Insert(IDM_PlugSep, L"Plug B");
    widgets::MenuItem& c = menu.Insert(IDM_PlugSep, L"Plug C");
    b.SetEnabled(false);
    b.SetChecked(true);
    c.SetVisible(false);
    int clicks = 0;
    a.OnClick = [&] { ++clicks; };
    EXPECT_THAT(Shown(menu), ElementsAre(L"First", L"-", L"Plug A", L"Plug B [disabled] [checked]", L"Last"));

    for (const widgets::MenuItem* item : {&a, &b, &c}) {
        EXPECT_GE(item->CommandId(), PopupMenu::kFirstRuntimeId);
        EXPECT_LE(item->CommandId(), PopupMenu::kLastRuntimeId);
    }
    EXPECT_NE(a.CommandId(), b.CommandId());
    EXPECT_NE(b.CommandId(), c.CommandId());

    a.Click();
    b.Click(); // disabled: nothing
    EXPECT_EQ(clicks, 1);

    const UINT freed = a.CommandId();
    menu.Remove(a);
    c.SetVisible(true);
    EXPECT_THAT(Shown(menu), ElementsAre(L"First", L"-", L"Plug B [disabled] [checked]", L"Plug C", L"Last"));
    // A removed entry's id is free again.
    EXPECT_EQ(menu.Insert(IDM_First, L"Again").CommandId(), freed);
}

TEST(RuntimeMenuEntries, ATemplateUsingTheirRangeIsRefused) {
    TestForm form;
    EXPECT_THROW(PopupMenu(form, IDM_ClashingMenu), std::logic_error);
}
