// The commands of the tray menu and the extra-commands menu that open the options
// dialog, the about box and the system's network connections.
#include "AboutForm/TfrmAbout.h"
#include "StatForm/StatsForm.h"
#include "frmOptns/TFrmOptions.h"
#include "platform/Kernel.h"
#include "platform/Shell.h"
#include "settings/DropShadow.h"

#include <memory>

namespace {

// Destroys the dialog, then gives the tray menu back, however the command ends.
class OptionsSession {
public:
    OptionsSession(TStatsForm& window, std::unique_ptr<TFrmOptions>& dialog)
        : window_(window), dialog_(dialog) {
        window_.LockTrayMenu();
    }
    ~OptionsSession() {
        dialog_.reset();
        window_.UnlockTrayMenu();
    }
    OptionsSession(const OptionsSession&) = delete;
    OptionsSession& operator=(const OptionsSession&) = delete;

private:
    TStatsForm& window_;
    std::unique_ptr<TFrmOptions>& dialog_;
};

} // namespace

void TStatsForm::AdapterOptions1Click() {
    const platform::WindowsVersion& os = platform::kernel().Version;
    tmchart::TTimeChart& chart = Usage.UseChart;

    auto dialog = std::make_unique<TFrmOptions>(DisplaySettings);
    dialog->CreateHandle(Handle());
    if (os.IsXPOrLater())
        settings::ApplyDropShadow(*dialog, DisplaySettings.DropShadow);
    dialog->SampleTC.SetFont(chart.Font());
    dialog->cbGrid.SetChecked(chart.ShowGrid);
    dialog->cbGridClick();
    dialog->cbGridLegend.SetChecked(chart.GridLegend);
    dialog->cbGridLegendClick();
    dialog->cbGridColor.SetSelected(chart.GridColor());
    dialog->cbGridBackColor.SetSelected(chart.Color());
    dialog->SetStayOnTop(StayOnTop());

    OptionsSession session(*this, dialog);
    if (dialog->ShowModal(*this) != IDOK)
        return;

    chart.ShowGrid = dialog->cbGrid.Checked();
    chart.GridLegend = dialog->cbGridLegend.Checked();
    chart.SetFont(dialog->SampleTC.Font());
    chart.SetGridColor(dialog->cbGridColor.Selected());
    chart.SetColor(dialog->cbGridBackColor.Selected());
    // Renaming the system's connection takes an administrator: it is asked for only
    // when the user changed the name.
    if (DisplaySettings.AdapterName != ConnectionName) {
        ConnectionName = DisplaySettings.AdapterName;
        SetWindowTitle(ConnectionName);
        if (os.IsWin2000OrLater()) {
            RenameConnection(ConnectionName);
            // A refused rename brought the stored name back; the record follows it.
            DisplaySettings.AdapterName = ConnectionName;
        }
    }
    SetStayOnTop(DisplaySettings.AoT);
    if (os.IsXPOrLater())
        settings::ApplyDropShadow(*this, DisplaySettings.DropShadow);
    if (dialog->ResetRequested)
        RestoreTotals(); // also refreshes the General page
    else
        UpdateGeneral();
}

void TStatsForm::About1Click() {
    // One box for the whole program, whichever window opened it.
    if (widgets::Form* open = widgets::Form::FindOpen(TfrmAbout::kClassName, TfrmAbout::kCaption)) {
        open->Show();
        open->BringToFront();
        return;
    }
    TfrmAbout& box = AboutBoxes.Add<TfrmAbout>();
    box.CreateHandle(Handle());
    box.CenterOnScreen();
    if (platform::kernel().Version.IsXPOrLater())
        settings::ApplyDropShadow(box, DisplaySettings.DropShadow);
    box.SetStayOnTop(StayOnTop());
    box.Show();
}

void TStatsForm::OpenNetConnection1Click() {
    platform::OpenSpecialFolder(Handle(), CSIDL_CONNECTIONS, L"open");
}
