// The Support page: the adapter record, its IP configuration, release and renew.
#include "StatForm/InterfaceTypes.h"
#include "StatForm/StatsForm.h"
#include "platform/Buffers.h"
#include "platform/IpHelper.h"
#include "platform/Text.h"
#include "widgets/Application.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

namespace {

#ifndef _WIN64
static_assert(sizeof(IP_ADAPTER_INFO) == 640);
#endif
// Release and renew take at most this many characters of the interface name.
constexpr std::size_t kIndexMapNameChars = 126;

// A fixed-size text field of a platform record, up to its terminator or its end.
template <std::size_t N> std::wstring FieldText(const char (&field)[N]) {
    return platform::FromAnsi(std::string(field, strnlen(field, N)), CP_ACP);
}

std::wstring Trimmed(const std::wstring& text) {
    auto keep = [](wchar_t c) { return !std::iswspace(c) && !std::iswcntrl(c); };
    auto first = std::find_if(text.begin(), text.end(), keep);
    auto last = std::find_if(text.rbegin(), text.rend(), keep).base();
    return first < last ? std::wstring(first, last) : std::wstring();
}

} // namespace

void TStatsForm::GetAdapterInfo() {
    const app::Sampler::AdapterBlock adapters = Samples->Adapters();
    if (adapters.answer == ERROR_NOT_SUPPORTED) {
        ShowNtOnlyNotice();
        return;
    }
    if (adapters.answer != NO_ERROR)
        return;
    const std::vector<BYTE>& block = *adapters.block;

    const std::vector<const IP_ADAPTER_INFO*> entries = platform::AdaptersIn(block);
    const auto found = std::find_if(entries.begin(), entries.end(), [&](const IP_ADAPTER_INFO* entry) {
        return entry->Index == InterfaceIndex;
    });
    if (found == entries.end())
        return;
    const IP_ADAPTER_INFO* entry = *found;

    std::memcpy(&AdapterInfo, entry, sizeof AdapterInfo);
    AdapterInfo.AdapterName[sizeof AdapterInfo.AdapterName - 1] = '\0';
    AdapterInfo.Description[sizeof AdapterInfo.Description - 1] = '\0';

    // The window keeps its own copy of the address chain; nothing may point into the
    // block, which the next fetch reuses.
    AddressChain.clear();
    for (const IP_ADDR_STRING* a : platform::AddressesIn(block, *entry))
        AddressChain.push_back(*a);
    for (std::size_t i = 0; i < AddressChain.size(); ++i) {
        IP_ADDR_STRING& a = AddressChain[i];
        a.IpAddress.String[sizeof a.IpAddress.String - 1] = '\0';
        a.IpMask.String[sizeof a.IpMask.String - 1] = '\0';
        a.Next = i + 1 < AddressChain.size() ? &AddressChain[i + 1] : nullptr;
    }
    AdapterInfo.IpAddressList = AddressChain.front();
    AdapterInfo.Next = nullptr;
    AdapterInfo.CurrentIpAddress = nullptr;
    AdapterInfo.GatewayList.Next = nullptr;
    AdapterInfo.DhcpServer.Next = nullptr;
    AdapterInfo.PrimaryWinsServer.Next = nullptr;
    AdapterInfo.SecondaryWinsServer.Next = nullptr;

    AdapterId = FieldText(AdapterInfo.AdapterName);
    IconOffset = (AdapterInfo.Type == MIB_IF_TYPE_PPP || AdapterInfo.Type == MIB_IF_TYPE_SLIP) ? 4 : 0;
}

void TStatsForm::AssignLabels() {
    Support.AddressList.clear();
    // The first entry of the chain always exists, even when empty.
    for (const IP_ADDR_STRING* a = &AdapterInfo.IpAddressList; a; a = a->Next)
        Support.AddressList.push_back({FieldText(a->IpAddress.String), FieldText(a->IpMask.String)});
    // Refilled only when the addresses changed: a list the user has dropped down
    // would otherwise close under the pointer every second.
    bool same = Support.cbIP.Count() == static_cast<int>(Support.AddressList.size());
    for (std::size_t i = 0; same && i < Support.AddressList.size(); ++i)
        same = Support.cbIP.Item(static_cast<int>(i)) == Support.AddressList[i].Address;
    if (!same) {
        Support.cbIP.Clear();
        for (const TIPAddressNode& node : Support.AddressList)
            Support.cbIP.Add(node.Address);
    }
    TrayPresenceRule();

    Support.Label6.SetCaption(L"");
    Support.Label4.SetCaption(FieldText(AdapterInfo.GatewayList.IpAddress.String));
    if (AdapterInfo.DhcpEnabled) {
        Support.Label7.SetCaption(L"是");
        Support.btnRen.SetVisible(true);
        Support.btnRel.SetVisible(true);
        Support.Label9.SetVisible(true);
        Support.Label10.SetVisible(true);
        Support.Label10.SetCaption(FieldText(AdapterInfo.DhcpServer.IpAddress.String));
    } else {
        Support.Label7.SetCaption(L"否");
        Support.btnRen.SetVisible(false);
        Support.btnRel.SetVisible(false);
    }
    Support.Label18.SetCaption(InterfaceTypeName(AdapterInfo.Type));
    Support.lbNicName.SetCaption(Trimmed(FieldText(AdapterInfo.Description)));
    if (DialUpRecord) {
        Support.lbNicName.SetCaption(FieldText(DialUpRecord->szDeviceName));
        Support.Label18.SetCaption(FieldText(DialUpRecord->szDeviceType));
    }
    ShowDuration();
    ShowStatistics();
}

void TStatsForm::SelectAddress() {
    // After a refresh the list may be shorter than the remembered choice: take the last.
    int count = Support.cbIP.Count();
    int choice = std::min<int>(Support.SelectedAddressIndex, std::max(count - 1, 0));
    if (Support.cbIP.ItemIndex() != choice)
        Support.cbIP.SetItemIndex(choice);
    cbIPChange();
}

void TStatsForm::cbIPChange() {
    int chosen = Support.cbIP.ItemIndex();
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= Support.AddressList.size())
        return;
    Support.Label6.SetCaption(Support.AddressList[static_cast<std::size_t>(chosen)].Mask);
    Support.SelectedAddressIndex = static_cast<std::uint8_t>(chosen);
}

void TStatsForm::ReleaseOrRenew(const wchar_t* progressText, bool release) {
    IP_ADAPTER_INDEX_MAP map;
    std::memset(&map, 0, sizeof map);
    map.Index = InterfaceIndex;
    std::wstring name = InterfaceName.substr(0, kIndexMapNameChars);
    std::wmemcpy(map.Name, name.c_str(), name.size());

    Support.lbRelRenText.SetCaption(progressText);
    Support.lbRelRenText.SetVisible(true);
    widgets::Application::Instance().ProcessMessages();
    auto& ip = platform::ipHelper();
    // The result is not shown: the next tick shows what the adapter has now.
    if (release)
        ip.IpReleaseAddress(&map);
    else
        ip.IpRenewAddress(&map);
    Support.lbRelRenText.SetCaption(L"");
    Support.lbRelRenText.SetVisible(false);
}

void TStatsForm::btnRelClick() {
    ReleaseOrRenew(L"正在释放 IP...", true);
}

void TStatsForm::btnRenClick() {
    ReleaseOrRenew(L"正在更新 IP...", false);
}

void TStatsForm::btnCommandsClick() {
    RECT r{};
    ::GetWindowRect(Support.btnCommands.Handle(), &r);
    Support.pmCommands.Popup({r.left, r.bottom});
}

void TStatsForm::ShowNtOnlyNotice() {
    Support.GroupBox1.SetVisibleWithContents(false);
    Support.btnRel.SetVisible(false);
    Support.btnRen.SetVisible(false);
    Support.lbNicName.SetVisible(false);
    Support.lbRelRenText.SetVisible(false);
    Support.lbNT.SetCaption(L"此支持页面仅可在 Windows NT 操作系统中使用。");
    Support.lbNT.SetVisible(true);
    IpHelperSupported = false;
    DisableLookups();
}
