// The Support page's windows: the adapter details and the ARP table.
#include "DetailForm/NetDetail.h"
#include "StatForm/StatsForm.h"
#include "frmARPlst/ArpList.h"
#include "platform/Text.h"
#include "settings/DropShadow.h"

#include <cstring>

void TStatsForm::WireDetailTools() {
    Support.btnDetails.OnClick = [this] { btnDetailsClick(); };
    Support.AddARPEntry1.OnClick = [this] { AddARPEntry1Click(); };
}

void TStatsForm::btnDetailsClick() {
    // The tray must not end or hide the program under the modal window; whatever
    // happens while it is built or shown, the entries come back.
    struct TrayLock {
        TStatsForm& form;
        explicit TrayLock(TStatsForm& f) : form(f) { form.LockTrayMenu(); }
        ~TrayLock() { form.UnlockTrayMenu(); }
        TrayLock(const TrayLock&) = delete;
        TrayLock& operator=(const TrayLock&) = delete;
    } lock(*this);

    // The IPv6 side is read afresh for each showing, once.
    const char* name = AdapterInfo.AdapterName;
    const AdapterIpv6 ipv6 =
        Ipv6Of(FetchAdapterAddresses(), std::string(name, strnlen(name, sizeof AdapterInfo.AdapterName)));
    const DetailSources sources{NetworkParams, NetworkParamsBuffer,      AdapterInfo,
                                IfRow,         Support.Label4.Caption(), ipv6};
    TNetDetail detail(DetailRows(sources));
    detail.SetStayOnTop(StayOnTop());
    settings::ApplyDropShadow(detail, DisplaySettings.DropShadow);
    detail.ShowModal(*this);
}

void TStatsForm::AddARPEntry1Click() {
    // One ARP table window for the whole program, whichever status window opened it.
    if (widgets::Form* open = widgets::Form::FindOpen(TArpListForm::kClassName, nullptr)) {
        open->BringToFront();
        return;
    }
    const char* first = AdapterInfo.IpAddressList.IpAddress.String;
    std::string address(first, strnlen(first, sizeof AdapterInfo.IpAddressList.IpAddress.String));
    TArpListForm::Adapter adapter{InterfaceIndex,
                                  address.empty() ? L"0.0.0.0" : platform::FromAnsi(address, CP_ACP),
                                  ConnectionName, DisplaySettings.DropShadow};
    TArpListForm& form = ToolForms.Add<TArpListForm>(std::move(adapter));
    form.SetStayOnTop(StayOnTop());
    form.CreateHandle(Handle());
    form.Show();
}
