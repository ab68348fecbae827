// The tray icon: when it shows, its balloons, and what a click does.
#include "StatForm/Formats.h"
#include "StatForm/StatsForm.h"
#include "widgets/Application.h"

namespace {
constexpr UINT kBalloonMilliseconds = 10000;
}

void TStatsForm::TrayPresenceRule() {
    const std::wstring first = Support.cbIP.Item(0);
    bool noAddress =
        Support.cbIP.Count() == 1 && (first == L"0.0.0.0" || (first.empty() && IpHelperSupported));
    if (noAddress) {
        if (!BeganWithAddress)
            TrayIcon.SetVisible(true);
        return;
    }
    if (TrayIcon.Visible())
        return;
    TrayIcon.SetVisible(true);
    TrayIcon.ShowBalloon(AdapterId, formats::BalloonSpeedText(LinkSpeed()), kBalloonMilliseconds, NIIF_INFO);
}

void TStatsForm::miStatusBalloonClick() {
    TrayIcon.ShowBalloon(ConnectionName, formats::BalloonSpeedText(LinkSpeed()), kBalloonMilliseconds,
                         NIIF_INFO);
}

void TStatsForm::TrayIconClick() {
    if (!Visible()) {
        PageControl1.SetActivePage(tsGeneral);
        CenterOnScreen();
        Show();
    } else {
        // Hiding and showing again brings the window to the front.
        Hide();
        Show();
    }
    BringToFront();
    widgets::Application::Instance().HideTaskbarButton();
}

void TStatsForm::Exit1Click() {
    if (ShutDownAll)
        ShutDownAll();
}
