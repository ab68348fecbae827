#include "frmOptns/TFrmOptions.h"
#include "platform/Dialogs.h"
#include "platform/Kernel.h"
#include "settings/RunValue.h"
#include "settings/StoredFont.h"

#include <algorithm>
#include <cwctype>
#include <initializer_list>
#include <string>

namespace {

constexpr int kClientWidth = 365;
constexpr int kClientHeight = 342;
constexpr int kSampleWidth = 200;
constexpr int kSampleHeight = 49;
constexpr int kSampleGridWidth = 12;
constexpr int kSampleStep = 2;
constexpr std::uint32_t kSampleSamples = 100;
constexpr float kSampleLine1 = 85;
constexpr float kSampleLine2 = 25;
constexpr int kLegendFontHeight = -12; // 9 points

// The tray hint's parts as bits of PopupDisplayType.
constexpr std::uint8_t kHintName = 8;
constexpr std::uint8_t kHintSpeed = 4;
constexpr std::uint8_t kHintAddress = 2;
constexpr std::uint8_t kHintBytes = 1;

constexpr wchar_t kRunNotSet[] =
    L"无法设置系统启动时自动启动程序：写入启动项 (Run) 失败。\n\n其余选项已经保存。";
constexpr wchar_t kRunNotRemoved[] =
    L"无法取消系统启动时自动启动程序：没有删除 HKEY_LOCAL_MACHINE 下的启动项 (Run) 的权限。"
    L"请以管理员身份登录后再试。\n\n其余选项已经保存。";

// A name of nothing but spaces would leave the window titled by its suffix alone.
bool IsBlank(const std::wstring& text) {
    return std::all_of(text.begin(), text.end(),
                       [](wchar_t c) { return std::iswspace(c) || c == L'\u3000'; });
}

} // namespace

TFrmOptions::TFrmOptions(TDisplaySettings& settings)
    : Form(kClassName, IDD_TFrmOptions, {kClientWidth, kClientHeight}), Settings(settings) {
    WireEvents();
    DesignSampleChart();
}

TFrmOptions::~TFrmOptions() {
    DestroyHandle();
}

void TFrmOptions::FormCreate() {
    CenterOnOwner();
    RECT sample = SampleTC.Bounds();
    SampleTC.SetBounds(sample.left, sample.top, widgets::ScalePixels(kSampleWidth),
                       widgets::ScalePixels(kSampleHeight));
    SampleTC.SetDesignedSpacing(kSampleGridWidth, kSampleStep, kSampleSamples);
    cbGrid.SetChecked(true);
    cbGridLegend.SetChecked(true);
    Timer1.SetEnabled(true);
}

void TFrmOptions::WireEvents() {
    OnShow = [this] { FormShow(); };
    Timer1.OnTimer = [this] { Timer1Timer(); };
    cbGrid.OnClick = [this] { cbGridClick(); };
    cbGridLegend.OnClick = [this] { cbGridLegendClick(); };
    cbGridColor.OnChange = [this] { cbGridColorChange(); };
    cbGridBackColor.OnChange = [this] { cbGridBackColorChange(); };
    Button1.OnClick = [this] { Button1Click(); };
    Button2.OnClick = [this] { Button2Click(); };
    btnOK.OnClick = [this] { btnOKClick(); };
    btnCancel.OnClick = [this] { btnCancelClick(); };

    btnOK.HelpContext = IDH_OPT_btnOK;
    btnCancel.HelpContext = IDH_OPT_btnCancel;
    for (widgets::Control* c :
         std::initializer_list<widgets::Control*>{&gbTransfer, &rbByt, &rbKB, &rbMB, &rbGB, &rbDyn})
        c->HelpContext = IDH_OPT_gbTransfer;
    for (widgets::Control* c :
         std::initializer_list<widgets::Control*>{&gbPopup, &cbName, &cbSpeed, &cbIP, &cbBytes})
        c->HelpContext = IDH_OPT_gbPopup;
    Button2.HelpContext = IDH_OPT_Button2;
    cbAutoRun.HelpContext = IDH_OPT_cbAutoRun;
    cbGrid.HelpContext = IDH_OPT_cbGrid;
    cbGridColor.HelpContext = IDH_OPT_cbGridColor;
    cbGridBackColor.HelpContext = IDH_OPT_cbGridBackColor;
    cbGridLegend.HelpContext = IDH_OPT_cbGridLegend;
    Button1.HelpContext = IDH_OPT_Button1;
    cbDropDown.HelpContext = IDH_OPT_cbDropDown;
    cbAOT.HelpContext = IDH_OPT_cbAOT;
    edAdapterName.HelpContext = IDH_OPT_edAdapterName;
}

void TFrmOptions::DesignSampleChart() {
    SampleTC.SetColor(tmchart::clBlack);
    SampleTC.DrawOptions = {tmchart::goLine1, tmchart::goLine2};
    tmchart::TChartFont& font = SampleTC.Font();
    font.SetName(L"宋体");
    font.SetHeight(widgets::ScalePixels(kLegendFontHeight));
    font.SetStyle(tmchart::fsBold);
    font.SetColor(tmchart::clLime);
    SampleTC.SetGridColor(tmchart::clMaroon);
    SampleTC.GridLegend = true;
    SampleTC.SetGridType(tmchart::gtPercent);
    SampleTC.Line1Color = tmchart::clLime;
    SampleTC.Line2Color = tmchart::clYellow;
    SampleTC.ShowGrid = true;
}

void TFrmOptions::FormShow() {
    ResetRequested = false;
    FillFromRecord();
    PageControl1.SetActivePage(TabSheet1);
    const platform::WindowsVersion& os = platform::kernel().Version;
    // There the tray hint can show only the adapter's name.
    const bool popupChoice = !os.IsWin95Or98() && !os.IsNT4();
    for (widgets::Control* c :
         std::initializer_list<widgets::Control*>{&gbPopup, &cbName, &cbBytes, &cbSpeed, &cbIP})
        c->SetEnabled(popupChoice);
    if (!popupChoice) {
        cbName.SetChecked(true);
        cbSpeed.SetChecked(false);
        cbIP.SetChecked(false);
        cbBytes.SetChecked(false);
    }
}

void TFrmOptions::FillFromRecord() {
    // Any unit the buttons do not name shows as bytes.
    const std::size_t stored = Settings.OctetDisp;
    const std::size_t unit = stored < UnitButtons().size() ? stored : 0;
    for (std::size_t i = 0; i < UnitButtons().size(); ++i)
        UnitButtons()[i]->SetChecked(i == unit);
    edAdapterName.SetCaption(Settings.AdapterName);
    cbName.SetChecked((Settings.PopupDisplayType & kHintName) != 0);
    cbSpeed.SetChecked((Settings.PopupDisplayType & kHintSpeed) != 0);
    cbIP.SetChecked((Settings.PopupDisplayType & kHintAddress) != 0);
    cbBytes.SetChecked((Settings.PopupDisplayType & kHintBytes) != 0);
    RunAtStart = settings::RunValueExists();
    cbAutoRun.SetChecked(RunAtStart);
    cbAOT.SetChecked(Settings.AoT);
    const bool xp = platform::kernel().Version.IsXPOrLater();
    cbDropDown.SetEnabled(xp);
    cbDropDown.SetChecked(xp && Settings.DropShadow);
}

void TFrmOptions::StoreIntoRecord() {
    Settings.OctetDisp = 0;
    for (std::size_t i = 1; i < UnitButtons().size(); ++i)
        if (UnitButtons()[i]->Checked()) {
            Settings.OctetDisp = static_cast<std::uint8_t>(i);
            break;
        }
    if (std::wstring name = edAdapterName.Caption(); name != Settings.AdapterName && !IsBlank(name))
        Settings.AdapterName = name;
    Settings.PopupDisplayType =
        static_cast<std::uint8_t>((cbName.Checked() ? kHintName : 0) | (cbSpeed.Checked() ? kHintSpeed : 0) |
                                  (cbIP.Checked() ? kHintAddress : 0) | (cbBytes.Checked() ? kHintBytes : 0));
    Settings.AoT = cbAOT.Checked();
    Settings.DropShadow = cbDropDown.Checked();
    // Last, so that a refused Run key leaves every other choice stored.
    StoreRunValue();
}

void TFrmOptions::StoreRunValue() {
    // Only a change is written: a box left as it was asks nothing of the registry.
    const bool on = cbAutoRun.Checked();
    if (on == RunAtStart)
        return;
    if (settings::SetRunValue(on, platform::ModuleFileName()))
        return;
    RunAtStart = settings::RunValueExists();
    cbAutoRun.SetChecked(RunAtStart);
    platform::dialogs().MessageBoxW(Handle(), on ? kRunNotSet : kRunNotRemoved, L"选项",
                                    MB_ICONERROR | MB_OK);
}

void TFrmOptions::Timer1Timer() {
    SampleTC.GridValue = kSampleLine1;
    SampleTC.GridValue2 = kSampleLine2;
}

void TFrmOptions::cbGridClick() {
    SampleTC.ShowGrid = cbGrid.Checked();
}

void TFrmOptions::cbGridLegendClick() {
    SampleTC.GridLegend = cbGridLegend.Checked();
}

void TFrmOptions::cbGridColorChange() {
    SampleTC.SetGridColor(cbGridColor.Selected());
}

void TFrmOptions::cbGridBackColorChange() {
    SampleTC.SetColor(cbGridBackColor.Selected());
}

void TFrmOptions::Button1Click() {
    LOGFONTW font = SampleTC.Font().LogFont();
    CHOOSEFONTW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.lpLogFont = &font;
    // The sizes the settings keep: any other would be dropped at the next start.
    dialog.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT | CF_LIMITSIZE;
    dialog.nSizeMin = settings::TStoredFont::kMinPoints;
    dialog.nSizeMax = settings::TStoredFont::kMaxPoints;
    dialog.rgbColors = static_cast<COLORREF>(SampleTC.Font().Color());
    if (!platform::dialogs().ChooseFontW(&dialog))
        return;
    SampleTC.Font().SetLogFont(font);
    SampleTC.Font().SetColor(static_cast<tmchart::TColor>(dialog.rgbColors));
    SampleTC.ReDraw();
}

void TFrmOptions::Button2Click() {
    ResetRequested = true;
}

void TFrmOptions::btnOKClick() {
    StoreIntoRecord();
    SetModalResult(IDOK);
}

void TFrmOptions::btnCancelClick() {
    SetModalResult(IDCANCEL);
}
