// Address lookups on the connections list: each row's local and remote address, IPv4 or
// IPv6, replaced by its host name where the probe library finds one. They run on the
// window's thread, which handles its messages between two lookups.
#include "StatForm/ConnectionTexts.h"
#include "StatForm/StatsForm.h"
#include "kelvradll/ProbeLibrary.h"
#include "widgets/Application.h"

namespace {

// Which rows a command looks up, and the next one after a row.
enum class RowChoice { Selected, All };

int FirstRow(const widgets::ListView& list, RowChoice choice) {
    if (choice == RowChoice::Selected)
        return list.NextSelected();
    return list.Count() > 0 ? 0 : -1;
}

int NextRow(const widgets::ListView& list, RowChoice choice, int row) {
    if (choice == RowChoice::Selected)
        return list.NextSelected(row);
    return row + 1 < list.Count() ? row + 1 : -1;
}

class AddressLookup {
public:
    AddressLookup(TStatsForm& window, RowChoice choice) : window_(window), choice_(choice) {}

    void Run() {
        ConnectionsPage& page = window_.Connections;
        widgets::ListView& list = page.lvConnections;
        generation_ = ++page.LookupGeneration;
        const int rows = choice_ == RowChoice::Selected ? list.SelectedCount() : list.Count();
        window_.MainProg.SetRange(0, 2 * rows);
        window_.MainProg.SetPosition(0);
        window_.MainProg.SetVisible(true);
        int row = FirstRow(list, choice_);
        for (int i = 0; i < rows && row >= 0; ++i) {
            if (!LookUpCell(row, connections::kLocalAddress) || !LookUpCell(row, connections::kRemoteAddress))
                break;
            row = NextRow(list, choice_, row);
        }
        // A command that superseded this one ran to its end inside our message handling,
        // so the bar is free either way.
        window_.MainProg.SetVisible(false);
    }

private:
    // One step of the bar, the window's messages, then one cell. False once the command
    // has been superseded (a rebuild, a sort, another command): its rows may be gone or
    // moved, so it ends there; the names it already wrote move with their rows.
    bool LookUpCell(int row, int column) {
        window_.MainProg.SetPosition(window_.MainProg.Position() + 1);
        widgets::Application::Instance().ProcessMessages();
        if (!StillCurrent())
            return false;
        widgets::ListView& list = window_.Connections.lvConnections;
        const std::wstring text = list.Text(row, column);
        // A cell named by an earlier lookup is left as it is; an IPv6 address is looked
        // up only by a library with the wide lookup.
        const kelvradll::ProbeLibrary& probe = kelvradll::probeLibrary();
        const bool address = connections::IsDottedAddress(text)
                                 ? static_cast<bool>(probe.GetDNSLookup)
                                 : connections::IsIpv6Address(text) && static_cast<bool>(probe.GetDNSLookupW);
        if (!address)
            return true;
        const std::wstring name = kelvradll::LookUpHostName(text);
        if (!StillCurrent())
            return false;
        if (!name.empty())
            list.SetText(row, column, name);
        return true;
    }

    bool StillCurrent() const {
        return window_.Connections.LookupGeneration == generation_ && !window_.Closing && window_.Handle() &&
               !widgets::Application::Instance().Terminated();
    }

    TStatsForm& window_;
    RowChoice choice_;
    std::uint32_t generation_ = 0;
};

// A library that can look up at least one family.
bool CanLookUp() {
    const kelvradll::ProbeLibrary& probe = kelvradll::probeLibrary();
    return probe.GetDNSLookup || probe.GetDNSLookupW;
}

} // namespace

void TStatsForm::LookupIP1Click() {
    if (!CanLookUp())
        return;
    AddressLookup(*this, RowChoice::Selected).Run();
}

void TStatsForm::ReverseLookupIPs1Click() {
    if (!CanLookUp())
        return;
    AddressLookup(*this, RowChoice::All).Run();
}
