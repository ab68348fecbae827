// The browse tree's context menu: explore, map a drive, connect a printer. Every
// platform call here fails silently.
#include "StatForm/StatsForm.h"
#include "platform/Shell.h"
#include "platform/Spooler.h"
#include "widgets/Application.h"

namespace {

constexpr wchar_t kExplorerPolicyKey[] =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr wchar_t kNoNetConnectDisconnect[] = L"NoNetConnectDisconnect";

} // namespace

void TStatsForm::NetworkPopupPopup() {
    NetworkPage& page = Network;
    bool policy = false;
    {
        // Policies are read-only to everybody: asking for more would lose the policy.
        settings::SettingsKeyReturn back(Registry);
        if (Registry.OpenKey(kExplorerPolicyKey, settings::KeyAccess::Read))
            policy = Registry.ReadBool(kNoNetConnectDisconnect).value_or(false);
    }
    if (policy) {
        page.MapNetworkDrive1.SetEnabled(false);
        page.ConnectPrinter1.SetEnabled(false);
        return;
    }
    if (DisplaySettings.IgnoreSystemPolicies)
        return;

    page.Explore1.SetEnabled(false);
    page.MapNetworkDrive1.SetEnabled(true);
    page.MapNetworkDrive1.SetVisible(false);
    page.ConnectPrinter1.SetEnabled(true);
    page.ConnectPrinter1.SetVisible(false);
    auto* resource = reinterpret_cast<const NodeResource*>(page.tbNetwork.Data(page.tbNetwork.Selected()));
    if (!resource)
        return;
    page.SelectedResource = resource;
    if (resource->dwType == RESOURCETYPE_DISK) {
        page.Explore1.SetEnabled(true);
        page.MapNetworkDrive1.SetVisible(true);
    } else if (resource->dwType == RESOURCETYPE_PRINT) {
        page.ConnectPrinter1.SetVisible(true);
    }
}

void TStatsForm::Explore1Click() {
    auto* resource =
        reinterpret_cast<const NodeResource*>(Network.tbNetwork.Data(Network.tbNetwork.Selected()));
    if (!resource || !resource->lpRemoteName)
        return;
    platform::shell().ShellExecuteW(widgets::Application::Instance().Handle(), L"open",
                                    resource->lpRemoteName->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TStatsForm::MapNetworkDrive1Click() {
    if (!Network.BrowseRoot)
        return;
    NETRESOURCEW record{};
    if (Network.SelectedResource)
        record = Network.SelectedResource->View();
    CONNECTDLGSTRUCTW dialog{};
    dialog.cbStructure = sizeof dialog;
    dialog.hwndOwner = widgets::Application::Instance().Handle();
    dialog.lpConnRes = Network.SelectedResource ? &record : nullptr;
    dialog.dwFlags = CONNDLG_USE_MRU | CONNDLG_NOT_PERSIST;
    dialog.dwDevNum = 0;
    platform::network().WNetConnectionDialog1W(&dialog);
}

void TStatsForm::ConnectPrinter1Click() {
    // The connection is the system's to keep; its handle is of no use here.
    if (HANDLE printer = platform::spooler().ConnectToPrinterDlg(Handle(), 0))
        platform::spooler().ClosePrinter(printer);
}
