// A window's settings in the registry: what a first run leaves, what comes back after a
// restart, per system, per window, and what bad stored values do.
#include "StatForm/StatsForm.h"
#include "app/Program.h"
#include "platform/Handles.h"
#include "settings/StoredFont.h"
#include "support/FakePlatform.h"
#include "widgets/Failures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::wstring kSettings = L"Software\\Quorvel Software\\Tarvelo";

// Reads and writes of the scratch registry, apart from the program's accessor.
struct Key {
    explicit Key(const std::wstring& path, bool create = false) {
        HKEY h = nullptr;
        if (create)
            ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                              nullptr);
        else
            ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &h);
        key.Reset(h);
    }
    bool Exists() const { return static_cast<bool>(key); }
    // The value's bytes when it exists with this type.
    std::optional<std::vector<BYTE>> Read(const wchar_t* name, DWORD type) const {
        std::vector<BYTE> data(1024);
        DWORD size = static_cast<DWORD>(data.size()), stored = 0;
        if (!key ||
            ::RegQueryValueExW(key.Get(), name, nullptr, &stored, data.data(), &size) != ERROR_SUCCESS ||
            stored != type)
            return std::nullopt;
        data.resize(size);
        return data;
    }
    std::optional<DWORD> Dword(const wchar_t* name) const {
        auto data = Read(name, REG_DWORD);
        return data ? std::optional<DWORD>(*reinterpret_cast<const DWORD*>(data->data())) : std::nullopt;
    }
    void Set(const wchar_t* name, DWORD type, const void* data, std::size_t size) {
        ::RegSetValueExW(key.Get(), name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
    }
    void Set(const wchar_t* name, DWORD value) { Set(name, REG_DWORD, &value, sizeof value); }
    void Set(const wchar_t* name, const std::wstring& text) {
        Set(name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }
    void Set(const wchar_t* name, const std::vector<BYTE>& data) {
        Set(name, REG_BINARY, data.data(), data.size());
    }
    platform::UniqueKey key;
};

// Every case runs for an administrator on XP and for a standard user on Vista: the
// settings live with the user, who may write them.
class Settings : public ::testing::TestWithParam<fake::Rights> {
protected:
    Settings() { index = fake.AddAdapter("eth0"); }

    std::unique_ptr<TStatsForm> Begin(std::uint32_t ordinal = 1) {
        auto window = std::make_unique<TStatsForm>();
        window->Ordinal = ordinal;
        window->BeginForm(false);
        return window;
    }
    // The subkey of the first adapter's window, from its interface name.
    std::wstring Subkey() const {
        return kSettings + L"\\DEVICE\\TCPIP_{FAKE-" + std::to_wstring(index) + L"}";
    }
    static void ExpectOnTheSettingsKey(const TStatsForm& window) {
        EXPECT_EQ(window.Registry.RootKey(), HKEY_CURRENT_USER);
        EXPECT_EQ(window.Registry.Access(), static_cast<REGSAM>(KEY_READ));
        EXPECT_EQ(window.Registry.CurrentPath(), L"\\" + kSettings);
    }

    fake::FakePlatform fake{GetParam()};
    DWORD index = 0;
};

INSTANTIATE_TEST_SUITE_P(Rights, Settings, ::testing::ValuesIn(fake::kEveryRights),
                         ::testing::PrintToStringParamName());

TEST_P(Settings, AFirstRunShowsTheDefaultsAndLeavesEveryValueAtExit) {
    auto window = Begin();
    EXPECT_FALSE(Key(Subkey()).Exists()) << "reading makes no key";
    EXPECT_EQ(window->Usage.UseChart.Line1Color, widgets::clLime);
    EXPECT_EQ(window->Usage.UseChart.Line2Color, widgets::clYellow);
    EXPECT_EQ(window->Usage.UseChart.Color(), widgets::clBlack);
    EXPECT_EQ(window->Usage.UseChart.GridColor(), widgets::clGreen);
    EXPECT_TRUE(window->Usage.UseChart.GridLegend);
    EXPECT_EQ(window->DisplaySettings.AdapterName, window->ConnectionName);
    window->SaveSettings();
    ExpectOnTheSettingsKey(*window);

    Key key(Subkey());
    const wchar_t* names[] = {L"DownloadLineColor",
                              L"UploadLineColor",
                              L"DownloadLine",
                              L"UploadLine",
                              L"ShowGrid",
                              L"ShowLegend",
                              L"GridColor",
                              L"GridBackColor",
                              L"CCon0",
                              L"CCon1",
                              L"CCon2",
                              L"CCon3",
                              L"CCon4",
                              L"CCon5",
                              L"CCon6",
                              L"AoT",
                              L"DropShadow",
                              L"OctetDisp",
                              L"PopupDisplayType"};
    const DWORD values[] = {0x00FF00, 0x00FFFF, 1,   1,  1,   1, 0x008000, 0, 80, 50,
                            80,       50,       103, 55, 110, 0, 0,        0, 13};
    for (std::size_t i = 0; i < std::size(names); ++i)
        EXPECT_EQ(key.Dword(names[i]), values[i]) << names[i];
    auto font =
        settings::TStoredFont::Decode(key.Read(L"GridFont", REG_BINARY).value_or(std::vector<BYTE>{}));
    ASSERT_TRUE(font);
    EXPECT_EQ(font->Name, "\xCB\xCE\xCC\xE5"); // "宋体" in code page 936
    EXPECT_EQ(font->Height, -12);
    EXPECT_EQ(font->Size, 9);
    EXPECT_EQ(font->Style, tmchart::fsBold);
    EXPECT_EQ(font->Color, widgets::clLime);
    EXPECT_EQ(font->Charset, DEFAULT_CHARSET);
    EXPECT_FALSE(key.Read(L"AdapterName", REG_SZ)) << "the connection key holds it on this system";
    EXPECT_FALSE(key.Dword(L"IgnoreSystemPolicies"));
}

TEST_P(Settings, WhatTheUserChoseComesBackAfterARestart) {
    {
        auto window = Begin();
        window->Usage.cbDLColor.SetSelected(widgets::clRed);
        window->Usage.cbULColor.SetSelected(0x00123456); // no name: the custom entry
        ::SendMessageW(window->Usage.cbShowDL.Handle(), BM_CLICK, 0, 0);
        window->Usage.UseChart.ShowGrid = false;
        window->Usage.UseChart.SetGridColor(widgets::clGray);
        window->Usage.UseChart.SetColor(widgets::clNavy);
        window->Usage.UseChart.Font().SetName(L"Tahoma");
        window->Usage.UseChart.Font().SetSize(11);
        for (int column = 0; column < 7; ++column)
            window->Connections.lvConnections.SetColumnWidth(column, column + 1);
        window->DisplaySettings.OctetDisp = 2;
        window->DisplaySettings.PopupDisplayType = 6;
        window->DisplaySettings.AoT = true;
        window->SaveSettings();
    }
    auto window = Begin();
    EXPECT_EQ(window->Usage.UseChart.Line1Color, widgets::clRed);
    EXPECT_EQ(window->Usage.cbULColor.Selected(), 0x00123456u);
    EXPECT_EQ(window->Usage.cbULColor.ItemIndex(), widgets::ColorBox::kCustomIndex);
    EXPECT_EQ(window->Usage.UseChart.Line2Color, 0x00123456u);
    EXPECT_FALSE(window->Usage.cbShowDL.Checked());
    EXPECT_FALSE(window->Usage.UseChart.DrawOptions.Contains(tmchart::goLine1));
    EXPECT_TRUE(window->Usage.UseChart.DrawOptions.Contains(tmchart::goLine2));
    EXPECT_FALSE(window->Usage.UseChart.ShowGrid);
    EXPECT_EQ(window->Usage.UseChart.GridColor(), widgets::clGray);
    EXPECT_EQ(window->Usage.UseChart.Color(), widgets::clNavy);
    EXPECT_EQ(window->Usage.UseChart.Font().Name(), L"Tahoma");
    EXPECT_EQ(window->Usage.UseChart.Font().Size(), 11);
    EXPECT_EQ(window->Connections.ConnectionColumnWidths, (std::array<int, 7>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(window->Connections.lvConnections.ColumnWidth(4), 5);
    EXPECT_EQ(window->DisplaySettings.OctetDisp, 2);
    EXPECT_EQ(window->DisplaySettings.PopupDisplayType, 6);
    EXPECT_TRUE(window->DisplaySettings.AoT);
    ExpectOnTheSettingsKey(*window);
}

TEST_P(Settings, TheProgramStopSavesEveryWindowInItsOwnSubkey) {
    DWORD second = fake.AddAdapter("eth1");
    Program program;
    program.CreateWindows([] {});
    ASSERT_EQ(program.WindowList.size(), 2u);
    program.WindowList[1]->Usage.cbDLColor.SetSelected(widgets::clRed);
    program.ShutDownAll();

    EXPECT_EQ(Key(Subkey()).Dword(L"DownloadLineColor"), widgets::clLime);
    std::wstring other = kSettings + L"\\DEVICE\\TCPIP_{FAKE-" + std::to_wstring(second) + L"}";
    EXPECT_EQ(Key(other).Dword(L"DownloadLineColor"), widgets::clRed);
}

TEST_P(Settings, ABackslashLeadsANestedPathAndAnyOtherNameGetsOne) {
    EXPECT_EQ(settings::WindowSubkeyPath(L"\\DEVICE\\TCPIP_{A}"), L"\\" + kSettings + L"\\DEVICE\\TCPIP_{A}");
    EXPECT_EQ(settings::WindowSubkeyPath(L"7"), L"\\" + kSettings + L"\\7");
}

TEST_P(Settings, OnNt4TheSubkeysAreTheWindowNumbers) {
    fake.Version() = platform::WindowsVersion::NT4();
    fake.AddAdapter("eth1");
    Program program;
    program.CreateWindows([] {});
    program.ShutDownAll();
    for (const wchar_t* name : {L"0001", L"0002"}) {
        Key key(kSettings + L"\\" + name);
        EXPECT_TRUE(key.Dword(L"DownloadLineColor")) << name;
        EXPECT_TRUE(key.Read(L"AdapterName", REG_SZ)) << name;
        EXPECT_FALSE(key.Dword(L"PopupDisplayType")) << name;
    }
}

TEST_P(Settings, Windows98IgnoresTheStoredHintChoiceAndKeepsTheAdapterName) {
    fake.Version() = platform::WindowsVersion::Windows98();
    Key key(Subkey(), true);
    key.Set(L"PopupDisplayType", 1);
    key.Set(L"AdapterName", std::wstring(L"我的网卡"));
    auto window = Begin();
    EXPECT_EQ(window->DisplaySettings.PopupDisplayType, 13);
    EXPECT_EQ(window->ConnectionName, L"我的网卡");
    EXPECT_EQ(window->Caption(), L"我的网卡 状态");
    window->SaveSettings();
    EXPECT_EQ(key.Dword(L"PopupDisplayType"), 1u) << "never written on this system";

    // Elsewhere the stored name gives way to the connection's own.
    fake.Version() = platform::WindowsVersion::Windows2000();
    auto other = Begin();
    EXPECT_NE(other->ConnectionName, L"我的网卡");
    EXPECT_EQ(other->DisplaySettings.AdapterName, other->ConnectionName);
    EXPECT_EQ(other->DisplaySettings.PopupDisplayType, 1);
}

TEST_P(Settings, WindowsMeKeepsBothTheHintChoiceAndTheAdapterName) {
    fake.Version() = platform::WindowsVersion::WindowsMe();
    Key key(Subkey(), true);
    key.Set(L"PopupDisplayType", 1);
    key.Set(L"AdapterName", std::wstring(L"我的网卡"));
    auto window = Begin();
    EXPECT_EQ(window->DisplaySettings.PopupDisplayType, 1);
    EXPECT_EQ(window->ConnectionName, L"我的网卡");
    window->DisplaySettings.PopupDisplayType = 3;
    window->SaveSettings();
    EXPECT_EQ(key.Dword(L"PopupDisplayType"), 3u);
}

TEST_P(Settings, IgnoreSystemPoliciesIsReadAndNeverWrittenAndTheShadowComesFromXpOn) {
    Key key(Subkey(), true);
    key.Set(L"IgnoreSystemPolicies", 1);
    key.Set(L"DropShadow", 1);
    fake.Version() = platform::WindowsVersion::Windows2000();
    auto window = Begin();
    EXPECT_TRUE(window->DisplaySettings.IgnoreSystemPolicies);
    EXPECT_TRUE(window->DisplaySettings.DropShadow);
    EXPECT_FALSE(window->DropShadow());
    window->DisplaySettings.IgnoreSystemPolicies = false;
    window->SaveSettings();
    EXPECT_EQ(key.Dword(L"IgnoreSystemPolicies"), 1u);

    fake.Version() = platform::WindowsVersion::WindowsXP();
    window->LoadSettings();
    EXPECT_TRUE(window->DropShadow());
    key.Set(L"DropShadow", 0);
    window->LoadSettings();
    EXPECT_FALSE(window->DropShadow());
}

TEST_P(Settings, BadValuesCountAsAbsentAndTheRestStillLoads) {
    Key key(Subkey(), true);
    key.Set(L"DownloadLineColor", std::wstring(L"red"));     // another type
    key.Set(L"UploadLineColor", 0x00FF0000);                 // good: blue
    key.Set(L"DownloadLine", std::vector<BYTE>{0, 0, 0, 0}); // another type
    key.Set(L"GridFont", std::vector<BYTE>(279, 0));         // another length
    key.Set(L"GridColor", 0x00C0C0C0);                       // good: silver
    key.Set(L"OctetDisp", 9);
    key.Set(L"PopupDisplayType", 300);
    key.Set(L"CCon2", static_cast<DWORD>(-5));
    key.Set(L"CCon3", 77);
    auto window = Begin();
    EXPECT_EQ(window->Usage.UseChart.Line1Color, widgets::clLime);
    EXPECT_EQ(window->Usage.UseChart.Line2Color, widgets::clBlue);
    EXPECT_TRUE(window->Usage.cbShowDL.Checked());
    EXPECT_EQ(window->Usage.UseChart.Font().Name(), L"宋体");
    EXPECT_EQ(window->Usage.UseChart.GridColor(), widgets::clSilver);
    EXPECT_EQ(window->DisplaySettings.OctetDisp, 0);
    EXPECT_EQ(window->DisplaySettings.PopupDisplayType, 13);
    EXPECT_EQ(window->Connections.ConnectionColumnWidths, (std::array<int, 7>{80, 50, 80, 77, 103, 55, 110}));

    // A font of no size, or of an absurd one, is no font: the legend keeps its own.
    const int legendSize = window->Usage.UseChart.Font().Size();
    for (std::int32_t size : {0, 20000}) {
        settings::TStoredFont font;
        font.Name = "Tahoma";
        font.Size = size;
        font.Height = -size * 4 / 3;
        key.Set(L"GridFont", font.Encode());
        window->LoadSettings();
        EXPECT_EQ(window->Usage.UseChart.Font().Size(), legendSize) << size;
        EXPECT_EQ(window->Usage.UseChart.Font().Name(), L"宋体") << size;
    }
    window->Show();
    window->PageControl1.SetActivePage(window->tsUsage);
    window->Usage.UseChart.GridMax = 10;
    window->Usage.UseChart.ReDraw();
}

TEST_P(Settings, ASubkeyThatCannotBeMadeLeavesTheDefaultsAndTheSettingsKeyAlone) {
    // A volatile key cannot hold a lasting one.
    fake.InterfaceNames = {{index, L"\\Volatile\\eth0"}};
    {
        Key settingsKey(kSettings, true);
        settingsKey.Set(L"DownloadLineColor", widgets::clRed);
        HKEY h = nullptr;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, (kSettings + L"\\Volatile").c_str(), 0, nullptr,
                          REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &h, nullptr);
        platform::UniqueKey closer(h);
    }
    auto window = Begin();
    EXPECT_FALSE(Key(kSettings + L"\\Volatile\\eth0").Exists());
    EXPECT_EQ(window->Usage.UseChart.Line1Color, widgets::clLime) << "not the settings key's value";
    EXPECT_EQ(window->DisplaySettings.AdapterName, window->ConnectionName);
    ExpectOnTheSettingsKey(*window);
    window->SaveSettings();
    ExpectOnTheSettingsKey(*window);
    // Said once, for the key, not for each of its values.
    EXPECT_EQ(
        std::count_if(fake.DebugOutput.begin(), fake.DebugOutput.end(),
                      [](const std::wstring& line) { return line.starts_with(widgets::kFailurePrefix); }),
        1);
    Key settingsKey(kSettings);
    EXPECT_FALSE(settingsKey.Read(L"GridFont", REG_BINARY));
    EXPECT_EQ(settingsKey.Dword(L"DownloadLineColor"), widgets::clRed);
}

TEST_P(Settings, TheAccessorIsBackOnTheSettingsKeyAfterEveryExcursion) {
    auto window = Begin(); // reads the connection key of HKEY_LOCAL_MACHINE, which is missing
    ExpectOnTheSettingsKey(*window);
    window->RenameConnection(L"x"); // a missing key on HKEY_LOCAL_MACHINE
    ExpectOnTheSettingsKey(*window);
    window->Registry.SetRootKey(HKEY_LOCAL_MACHINE);
    window->Registry.OpenKey(L"\\Software\\Nowhere");
    window->SaveSettings();
    ExpectOnTheSettingsKey(*window);
    EXPECT_TRUE(Key(Subkey()).Dword(L"OctetDisp")) << "saved under the user's key, with write access";
}

} // namespace
