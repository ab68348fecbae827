// The options dialog on its own, and the adapter options command that opens it and
// applies what was confirmed.
#include "AboutForm/TfrmAbout.h"
#include "frmOptns/TFrmOptions.h"
#include "WhileModal.h"
#include "platform/Handles.h"
#include "platform/Kernel.h"
#include "settings/RunValue.h"
#include "support/FakePlatform.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace {

const std::wstring kConnectionKey =
    L"System\\ControlSet001\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";

platform::UniqueKey MachineKey(const std::wstring& path) {
    HKEY h = nullptr;
    ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
    return platform::UniqueKey(h);
}

std::optional<std::wstring> ReadText(HKEY key, const wchar_t* name) {
    wchar_t text[512] = {};
    DWORD size = sizeof text, type = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    return std::wstring(text);
}

void WriteText(HKEY key, const wchar_t* name, const std::wstring& text) {
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// Runs an action on the open options dialog from inside its modal loop; the action
// ends the dialog.
void WhenOptionsOpen(std::function<void(TFrmOptions&)> action) {
    fake::WhenOpen<TFrmOptions>(TFrmOptions::kClassName, std::move(action));
}

platform::UniqueKey UserKey(const std::wstring& path) {
    HKEY h = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
    return platform::UniqueKey(h);
}

// Every case runs for an administrator on XP and for a standard user on Vista.
class OptionsDialog : public ::testing::TestWithParam<fake::Rights> {
protected:
    OptionsDialog() {
        index = fake.AddAdapter("eth0");
        run = MachineKey(settings::kRunKey);
        userRun = UserKey(settings::kRunKey);
    }
    bool StandardUser() const { return GetParam() == fake::Rights::StandardUser; }

    // The dialog over a record, shown as its opener shows it.
    std::unique_ptr<TFrmOptions> Open(TDisplaySettings& record) {
        auto dialog = std::make_unique<TFrmOptions>(record);
        dialog->CreateHandle();
        dialog->FormShow();
        return dialog;
    }

    std::optional<std::wstring> RunValue() const { return ReadText(run.Get(), settings::kRunValue); }
    std::optional<std::wstring> UserRunValue() const { return ReadText(userRun.Get(), settings::kRunValue); }

    fake::FakePlatform fake{GetParam()};
    DWORD index = 0;
    platform::UniqueKey run;
    platform::UniqueKey userRun;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Rights, OptionsDialog, ::testing::ValuesIn(fake::kEveryRights),
                         ::testing::PrintToStringParamName());

TEST_P(OptionsDialog, ConfirmingUntouchedKeepsTheRecordForEveryUnit) {
    for (std::uint8_t unit = 0; unit <= 4; ++unit) {
        TDisplaySettings record{unit, 6, true, L"本地连接", true, true};
        const TDisplaySettings before = record;
        auto dialog = Open(record);
        dialog->btnOKClick();
        EXPECT_EQ(record.OctetDisp, before.OctetDisp);
        EXPECT_EQ(record.PopupDisplayType, before.PopupDisplayType);
        EXPECT_EQ(record.AoT, before.AoT);
        EXPECT_EQ(record.AdapterName, before.AdapterName);
        EXPECT_EQ(record.IgnoreSystemPolicies, before.IgnoreSystemPolicies);
        EXPECT_EQ(record.DropShadow, before.DropShadow);
    }
}

TEST_P(OptionsDialog, AnUnknownUnitShowsBytesAndIsStoredAsBytes) {
    TDisplaySettings record;
    record.OctetDisp = 7;
    auto dialog = Open(record);
    EXPECT_TRUE(dialog->rbByt.Checked());
    for (auto* other : {&dialog->rbKB, &dialog->rbMB, &dialog->rbGB, &dialog->rbDyn})
        EXPECT_FALSE(other->Checked());
    dialog->btnOKClick();
    EXPECT_EQ(record.OctetDisp, 0);
}

TEST_P(OptionsDialog, WhereTheHintShowsOnlyTheNameItsChoiceIsFixed) {
    const struct {
        platform::WindowsVersion os;
        bool choice;
    } systems[] = {{platform::WindowsVersion::Windows98(), false},
                   {platform::WindowsVersion::NT4(), false},
                   {platform::WindowsVersion::WindowsMe(), true},
                   {platform::WindowsVersion::WindowsXP(), true}};
    for (const auto& system : systems) {
        fake.Version() = system.os;
        TDisplaySettings record;
        record.PopupDisplayType = 5;
        auto dialog = Open(record);
        EXPECT_EQ(dialog->gbPopup.Enabled(), system.choice);
        EXPECT_EQ(dialog->cbSpeed.Enabled(), system.choice);
        dialog->btnOKClick();
        EXPECT_EQ(record.PopupDisplayType, system.choice ? 5 : 8)
            << system.os.Major << "." << system.os.Minor;
    }
}

TEST_P(OptionsDialog, TheDropShadowIsOfferedFromXPOn) {
    TDisplaySettings record;
    record.DropShadow = true;
    fake.Version() = platform::WindowsVersion::Windows2000();
    auto dialog = Open(record);
    EXPECT_FALSE(dialog->cbDropDown.Enabled());
    EXPECT_FALSE(dialog->cbDropDown.Checked());
    fake.Version() = platform::WindowsVersion::WindowsXP();
    dialog = Open(record);
    EXPECT_TRUE(dialog->cbDropDown.Enabled());
    EXPECT_TRUE(dialog->cbDropDown.Checked());
}

TEST_P(OptionsDialog, TheRunValueGoesWhereTheUserMayWriteItAndOnlyAChangeIsWritten) {
    TDisplaySettings record;
    auto dialog = Open(record);
    EXPECT_FALSE(dialog->cbAutoRun.Checked());
    dialog->cbAutoRun.SetChecked(true);
    dialog->btnOKClick();
    const std::optional<std::wstring> program = platform::ModuleFileName();
    EXPECT_EQ(RunValue(), StandardUser() ? std::nullopt : program);
    EXPECT_EQ(UserRunValue(), StandardUser() ? program : std::nullopt);

    // Either key ticks the box; confirming it untouched writes nothing.
    for (HKEY key : {run.Get(), userRun.Get()}) {
        ::RegDeleteValueW(run.Get(), settings::kRunValue);
        ::RegDeleteValueW(userRun.Get(), settings::kRunValue);
        WriteText(key, settings::kRunValue, L"C:\\old\\kelvra.exe");
        dialog = Open(record);
        EXPECT_TRUE(dialog->cbAutoRun.Checked());
        dialog->btnOKClick();
        EXPECT_EQ(ReadText(key, settings::kRunValue), L"C:\\old\\kelvra.exe");
    }

    dialog = Open(record);
    dialog->cbAutoRun.SetChecked(false);
    dialog->btnOKClick();
    EXPECT_EQ(RunValue(), std::nullopt);
    EXPECT_EQ(UserRunValue(), std::nullopt);
    EXPECT_TRUE(fake.MessageBoxes.empty());
}

TEST_P(OptionsDialog, AChangeThatCannotBeMadeIsReportedOnceWithTheBoxAsItIs) {
    const struct {
        const char* what;
        bool machineHolds;
        bool refuseUserKey;
        bool tick;
    } cases[] = {{"an administrator's value a standard user cannot remove", true, false, false},
                 {"no Run key the user may write", false, true, true}};
    // Neither user may write the machine's key here.
    fake.Registry.ReadOnly(HKEY_LOCAL_MACHINE);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake.MessageBoxes.clear();
        ::RegDeleteValueW(run.Get(), settings::kRunValue);
        if (c.machineHolds)
            WriteText(run.Get(), settings::kRunValue, L"C:\\kelvra\\kelvra.exe");
        if (c.refuseUserKey)
            fake.Registry.RefuseKey(HKEY_CURRENT_USER, settings::kRunKey);
        TDisplaySettings record;
        auto dialog = Open(record);
        dialog->cbAutoRun.SetChecked(c.tick);
        dialog->cbAOT.SetChecked(true);
        dialog->rbMB.SetChecked(true);
        dialog->rbByt.SetChecked(false);
        dialog->btnOKClick();
        ASSERT_EQ(fake.MessageBoxes.size(), 1u);
        EXPECT_EQ(fake.MessageBoxes[0].type & MB_ICONERROR, static_cast<UINT>(MB_ICONERROR));
        EXPECT_EQ(dialog->cbAutoRun.Checked(), c.machineHolds);
        EXPECT_TRUE(record.AoT);
        EXPECT_EQ(record.OctetDisp, 2);

        // Confirmed again as it shows, there is nothing to tell.
        dialog = Open(record);
        dialog->btnOKClick();
        EXPECT_EQ(fake.MessageBoxes.size(), 1u);
    }
}

TEST_P(OptionsDialog, ThePreviewDrawsItsTwoLinesAt85And25Percent) {
    TDisplaySettings record;
    auto dialog = Open(record);
    EXPECT_EQ(dialog->SampleTC.Bounds().right - dialog->SampleTC.Bounds().left, 200);
    EXPECT_EQ(dialog->SampleTC.Bounds().bottom - dialog->SampleTC.Bounds().top, 49);
    dialog->Timer1Timer();
    dialog->SampleTC.Tick();
    ASSERT_FALSE(dialog->SampleTC.SampleLine1().empty());
    EXPECT_EQ(dialog->SampleTC.SampleLine1().back(), 85.0f);
    EXPECT_EQ(dialog->SampleTC.SampleLine2().back(), 25.0f);
}

namespace {

class AdapterOptions : public OptionsDialog {
protected:
    AdapterOptions() { window = fake::BeginWindow(); }
    std::unique_ptr<TStatsForm> window;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Rights, AdapterOptions, ::testing::ValuesIn(fake::kEveryRights),
                         ::testing::PrintToStringParamName());

TEST_P(AdapterOptions, CancellingChangesNothingAndTheTrayMenuIsLockedMeanwhile) {
    const TDisplaySettings before = window->DisplaySettings;
    const tmchart::TChartFont font = window->Usage.UseChart.Font();
    bool lockedMeanwhile = false;
    WhenOptionsOpen([&](TFrmOptions& d) {
        lockedMeanwhile = !window->Exit1.Enabled() && !window->Hide1.Enabled();
        d.rbKB.SetChecked(true);
        d.edAdapterName.SetCaption(L"新名称");
        d.cbAOT.SetChecked(true);
        d.cbAutoRun.SetChecked(true);
        d.cbGrid.SetChecked(false);
        d.cbGrid.Click();
        platform::dialogs().ChooseFontW = [](LPCHOOSEFONTW choice) {
            std::wcscpy(choice->lpLogFont->lfFaceName, L"Arial");
            choice->lpLogFont->lfHeight = -20;
            return TRUE;
        };
        d.Button1.Click();
        EXPECT_EQ(d.SampleTC.Font().Name(), L"Arial");
        d.Button2.Click();
        d.btnCancel.Click();
    });
    window->AdapterOptions1Click();
    EXPECT_TRUE(lockedMeanwhile);
    EXPECT_TRUE(window->Exit1.Enabled());
    EXPECT_TRUE(window->Hide1.Enabled());
    EXPECT_EQ(window->DisplaySettings.OctetDisp, before.OctetDisp);
    EXPECT_EQ(window->DisplaySettings.AdapterName, before.AdapterName);
    EXPECT_FALSE(window->DisplaySettings.AoT);
    EXPECT_FALSE(window->StayOnTop());
    EXPECT_TRUE(window->Usage.UseChart.ShowGrid);
    EXPECT_EQ(window->Usage.UseChart.Font(), font);
    EXPECT_EQ(RunValue(), std::nullopt);
    EXPECT_EQ(widgets::Form::FindOpen(TFrmOptions::kClassName, L"选项"), nullptr);
}

TEST_P(AdapterOptions, RestoringTheTotalsShowsThemAtOnceWhenConfirmed) {
    fake.Row(index).dwOutOctets = 5000;
    window->Timer2Timer();
    const std::wstring full = window->General.lbByteSent.Caption();
    window->General.Button3.Click();
    ASSERT_NE(window->General.lbByteSent.Caption(), full);

    WhenOptionsOpen([](TFrmOptions& d) {
        d.Button2.Click();
        d.btnCancel.Click();
    });
    window->AdapterOptions1Click();
    EXPECT_NE(window->General.lbByteSent.Caption(), full);

    WhenOptionsOpen([](TFrmOptions& d) {
        d.Button2.Click();
        d.btnOK.Click();
    });
    window->AdapterOptions1Click();
    EXPECT_EQ(window->General.lbByteSent.Caption(), full);
}

TEST_P(AdapterOptions, TheChartTakesTheConfirmedLookAndTheUnitShowsAtOnce) {
    fake.Row(index).dwOutOctets = 5 * 1024 * 1024;
    window->Timer2Timer();
    WhenOptionsOpen([](TFrmOptions& d) {
        EXPECT_TRUE(d.cbGrid.Checked());
        d.cbGrid.SetChecked(false); // as the user's click
        d.cbGrid.Click();
        d.cbGridColor.SetSelected(widgets::clRed);
        d.rbByt.SetChecked(false);
        d.rbMB.SetChecked(true);
        d.btnOK.Click();
    });
    window->AdapterOptions1Click();
    EXPECT_FALSE(window->Usage.UseChart.ShowGrid);
    EXPECT_EQ(window->Usage.UseChart.GridColor(), widgets::clRed);
    EXPECT_EQ(window->DisplaySettings.OctetDisp, 2);
    EXPECT_EQ(window->General.Label15.Caption(), L"兆(M)");
}

TEST_P(AdapterOptions, TheConnectionIsRenamedOnlyWhenTheUserChangedTheName) {
    platform::UniqueKey connection =
        MachineKey(kConnectionKey + L"{FAKE-" + std::to_wstring(index) + L"}\\Connection");
    WriteText(connection.Get(), L"Name", L"本地连接");
    window = fake::BeginWindow();
    ASSERT_EQ(window->ConnectionName, L"本地连接");
    WriteText(connection.Get(), L"Name", L"别人改的");

    // Untouched, or emptied, the name stays as it is, in the system and in the title.
    for (const wchar_t* typed : {L"本地连接", L"", L"  "}) {
        WhenOptionsOpen([typed](TFrmOptions& d) {
            d.edAdapterName.SetCaption(typed);
            d.btnOK.Click();
        });
        window->AdapterOptions1Click();
        EXPECT_EQ(ReadText(connection.Get(), L"Name"), L"别人改的");
        EXPECT_EQ(window->Caption(), L"本地连接 状态");
        EXPECT_EQ(window->DisplaySettings.AdapterName, L"本地连接");
    }
    EXPECT_TRUE(fake.MessageBoxes.empty());

    // A standard user is told once, and sees the name the system kept.
    const std::wstring kept = StandardUser() ? L"别人改的" : L"办公室";
    for (int confirmation = 0; confirmation < 2; ++confirmation) {
        WhenOptionsOpen([confirmation](TFrmOptions& d) {
            if (confirmation == 0)
                d.edAdapterName.SetCaption(L"办公室");
            d.btnOK.Click();
        });
        window->AdapterOptions1Click();
    }
    EXPECT_EQ(ReadText(connection.Get(), L"Name"), kept);
    EXPECT_EQ(window->Caption(), kept + L" 状态");
    EXPECT_EQ(fake.MessageBoxes.size(), StandardUser() ? 1u : 0u);
    EXPECT_EQ(window->Registry.RootKey(), HKEY_CURRENT_USER);
}

TEST_P(AdapterOptions, ALegendFontChosenWithinTheKeptSizesReachesTheChartAndOutlivesARestart) {
    CHOOSEFONTW asked{};
    WhenOptionsOpen([&asked](TFrmOptions& d) {
        platform::dialogs().ChooseFontW = [&asked](LPCHOOSEFONTW choice) {
            asked = *choice;
            std::wcscpy(choice->lpLogFont->lfFaceName, L"Arial");
            choice->lpLogFont->lfHeight = -20;
            return TRUE;
        };
        d.Button1.Click();
        d.btnOK.Click();
    });
    window->AdapterOptions1Click();
    EXPECT_TRUE(asked.Flags & CF_LIMITSIZE);
    EXPECT_EQ(asked.nSizeMin, 6);
    EXPECT_EQ(asked.nSizeMax, 72);
    const tmchart::TChartFont chosen = window->Usage.UseChart.Font();
    EXPECT_EQ(chosen.Name(), L"Arial");

    window->SaveSettings();
    window = fake::BeginWindow();
    EXPECT_EQ(window->Usage.UseChart.Font().Name(), L"Arial");
    EXPECT_EQ(window->Usage.UseChart.Font().Size(), chosen.Size());
}

TEST_P(AdapterOptions, StayOnTopAndTheShadowTakeEffectAtOnceAndToolWindowsOpenedLaterFollow) {
    WhenOptionsOpen([](TFrmOptions& d) {
        d.cbAOT.SetChecked(true);
        d.cbDropDown.SetChecked(true);
        d.btnOK.Click();
    });
    window->AdapterOptions1Click();
    EXPECT_TRUE(window->DisplaySettings.AoT);
    EXPECT_TRUE(window->StayOnTop());
    EXPECT_TRUE(window->DropShadow());

    window->About1Click();
    widgets::Form* about = widgets::Form::FindOpen(TfrmAbout::kClassName, TfrmAbout::kCaption);
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->StayOnTop());

    WhenOptionsOpen([](TFrmOptions& d) {
        d.cbDropDown.SetChecked(false);
        d.btnOK.Click();
    });
    window->AdapterOptions1Click();
    EXPECT_FALSE(window->DropShadow());
}
