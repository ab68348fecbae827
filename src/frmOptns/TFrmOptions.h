#pragma once
#include "frmOptns/resource.h"
#include "settings/DisplaySettings.h"
#include "TmChart/TimeChart.h"
#include "widgets/ColorBox.h"
#include "widgets/Controls.h"
#include "widgets/Form.h"
#include "widgets/Timer.h"

#include <array>
#include <functional>

// The modal dialog in which the user changes one status window's settings. It edits the
// window's display settings in place when confirmed; the chart's look stays in its own
// controls for the opening command to read back.
class TFrmOptions : public widgets::Form {
public:
    static constexpr const wchar_t* kClassName = L"TFrmOptions";

    explicit TFrmOptions(TDisplaySettings& settings);
    ~TFrmOptions() override;

    TDisplaySettings& Settings;
    bool ResetRequested = false;
    // Whether a Run key held the value when the dialog was filled.
    bool RunAtStart = false;

    widgets::PageControl PageControl1{*this, IDC_OPT_OptionsPages};
    widgets::TabSheet TabSheet1{PageControl1, IDD_TabSheet1, 0};
    widgets::TabSheet TabSheet2{PageControl1, IDD_TabSheet2, 1};
    widgets::TabSheet TabSheet3{PageControl1, IDD_TabSheet3, 2};
    widgets::Button btnOK{*this, IDC_OPT_btnOK};
    widgets::Button btnCancel{*this, IDC_OPT_btnCancel};

    widgets::GroupBox gbTransfer{*this, IDC_OPT_gbTransfer};
    widgets::CheckBox rbByt{*this, IDC_OPT_rbByt};
    widgets::CheckBox rbKB{*this, IDC_OPT_rbKB};
    widgets::CheckBox rbMB{*this, IDC_OPT_rbMB};
    widgets::CheckBox rbGB{*this, IDC_OPT_rbGB};
    widgets::CheckBox rbDyn{*this, IDC_OPT_rbDyn};
    widgets::GroupBox gbPopup{*this, IDC_OPT_gbPopup};
    widgets::CheckBox cbName{*this, IDC_OPT_cbName};
    widgets::CheckBox cbSpeed{*this, IDC_OPT_cbSpeed};
    widgets::CheckBox cbIP{*this, IDC_OPT_cbIP};
    widgets::CheckBox cbBytes{*this, IDC_OPT_cbBytes};
    widgets::Button Button2{*this, IDC_OPT_Button2};
    widgets::CheckBox cbAutoRun{*this, IDC_OPT_cbAutoRun};

    tmchart::TTimeChart SampleTC{*this, IDC_OPT_SampleTC};
    widgets::CheckBox cbGrid{*this, IDC_OPT_cbGrid};
    widgets::Label Label2{*this, IDC_OPT_Label2};
    widgets::ColorBox cbGridColor{*this, IDC_OPT_cbGridColor, widgets::clGreen};
    widgets::Label Label3{*this, IDC_OPT_Label3};
    widgets::ColorBox cbGridBackColor{*this, IDC_OPT_cbGridBackColor, widgets::clBlack};
    widgets::CheckBox cbGridLegend{*this, IDC_OPT_cbGridLegend};
    widgets::Button Button1{*this, IDC_OPT_Button1};

    widgets::CheckBox cbDropDown{*this, IDC_OPT_cbDropDown};
    widgets::CheckBox cbAOT{*this, IDC_OPT_cbAOT};
    widgets::Label Label1{*this, IDC_OPT_Label1};
    // A plain edit box.
    widgets::Control edAdapterName{*this, IDC_OPT_edAdapterName};

    widgets::Timer Timer1{*this, 1000};

    void FormCreate() override;
    void FormShow();
    void Timer1Timer();
    void cbGridClick();
    void cbGridLegendClick();
    void cbGridColorChange();
    void cbGridBackColorChange();
    void Button1Click();
    void Button2Click();
    void btnOKClick();
    void btnCancelClick();

    // The byte-unit radio buttons in the order of their values.
    std::array<widgets::CheckBox*, 5> UnitButtons() { return {&rbByt, &rbKB, &rbMB, &rbGB, &rbDyn}; }

private:
    void WireEvents();
    void DesignSampleChart();
    void FillFromRecord();
    void StoreIntoRecord();
    void StoreRunValue();
};
