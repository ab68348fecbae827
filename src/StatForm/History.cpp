// The status window's usage history: counting each tick's bytes into it, the monthly
// limit's alerts on the tray icon, and the history window.
#include "StatForm/StatsForm.h"
#include "UsageHistory/TUsageHistory.h"
#include "platform/Kernel.h"

namespace {
constexpr UINT kAlertMilliseconds = 10000;

usage::Date Today() {
    return usage::DateOfLocalTime(platform::kernel().Now());
}
} // namespace

void TStatsForm::StartHistory() {
    // The file is named after the adapter: without one there is nothing to keep it under.
    if (History || AdapterId.empty())
        return;
    History = std::make_shared<usage::InterfaceHistory>(usage::HistoryFolder(), AdapterId, ConnectionName);
    History->Load();
    Support.UsageHistory1.SetEnabled(true);
}

void TStatsForm::TickHistory() {
    StartHistory(); // an adapter found after the start
    if (!History)
        return;
    History->Tick(TickReceivedBytes, TickSentBytes);
    CheckQuotaAlert();
    if (auto* window = HistoryWindows.Find<TUsageHistory>()) {
        window->SetOctetDisp(DisplaySettings.OctetDisp);
        window->Refresh();
    }
}

void TStatsForm::CheckQuotaAlert() {
    const usage::Date today = Today();
    const int level = usage::DueAlert(*Quota, History->Data(), today);
    // Without its icon the balloon has nowhere to show: it waits for the icon.
    if (level == 0 || !TrayIcon.Visible())
        return;
    TrayIcon.ShowBalloon(ConnectionName, usage::AlertText(level), kAlertMilliseconds, NIIF_WARNING);
    Quota->AlertedStart = usage::PeriodOf(today, Quota->StartDay).Start;
    Quota->AlertedLevel = level;

    // Remembered across starts, so that a period warns once at each level.
    settings::SettingsKeyReturn back(Registry);
    settings::FirstFailure failure;
    Registry.SetRootKey(HKEY_CURRENT_USER);
    const std::wstring subkey = settings::WindowSubkeyPath(InterfaceName);
    if (failure.Note(subkey, Registry.CreateKey(subkey, settings::KeyAccess::Write)))
        usage::WriteAlerted(Registry, *Quota, failure);
    failure.Report(L"the limit's alerts of " + ConnectionName);
}

void TStatsForm::FlushHistory() {
    if (!History)
        return;
    // What came since the last tick counts too: one more sample of the row, counted but
    // not shown, before the file is written.
    if (Bound && !FirstSample) {
        Samples->Resample();
        if (RefreshIfRow(false)) {
            CountBytes();
            History->Tick(TickReceivedBytes, TickSentBytes);
        }
    }
    History->Flush();
}

void TStatsForm::RenameHistory() {
    if (History)
        History->Rename(ConnectionName);
    if (auto* window = HistoryWindows.Find<TUsageHistory>())
        window->SetConnectionName(ConnectionName);
}

void TStatsForm::UsageHistory1Click() {
    if (!History)
        return;
    // One history window a status window: a second choice brings it forward.
    if (auto* open = HistoryWindows.Find<TUsageHistory>()) {
        open->Show();
        open->BringToFront();
        return;
    }
    TUsageHistory::Source source{History,
                                 Quota,
                                 ConnectionName,
                                 settings::WindowSubkeyPath(InterfaceName),
                                 DisplaySettings.OctetDisp,
                                 Usage.cbDLColor.Selected(),
                                 Usage.cbULColor.Selected(),
                                 Usage.UseChart.Color(),
                                 Usage.UseChart.Font().Color(),
                                 DisplaySettings.DropShadow};
    TUsageHistory& window = HistoryWindows.Add<TUsageHistory>(std::move(source));
    window.SetStayOnTop(StayOnTop());
    window.CreateHandle(Handle());
    window.Show();
}
