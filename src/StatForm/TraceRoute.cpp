// Trace route windows opened from the status window.
#include "StatForm/StatsForm.h"
#include "frmTrcRt/FrmTraceRt.h"
#include "kelvradll/ProbeLibrary.h"
#include "settings/DropShadow.h"

TFrmTraceRt& TStatsForm::OpenTraceRoute(DWORD targetAddress) {
    TFrmTraceRt& window = TraceWindows.Add<TFrmTraceRt>(*this);
    settings::ApplyDropShadow(window, DisplaySettings.DropShadow);
    window.TargetAddress = targetAddress;
    window.SetCaption(L"追踪路由到 " + kelvradll::DottedAddress(targetAddress) + L" 超过30跃点数.");
    window.SetStayOnTop(StayOnTop());
    window.Show();
    return window;
}

void TStatsForm::TraceRoute1Click() {
    // The menu entry is enabled for exactly one selected IPv4 row and a whole probe
    // library; a stale click does nothing.
    if (TraceRouteAvailable())
        OpenTraceRoute(SelectedRemoteAddress());
}
