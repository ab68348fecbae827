// The window's plug-ins: their commands in the "附加选项" menu and what the data
// callback hands them while this window is the latest.
#include "StatForm/StatsForm.h"
#include "platform/Kernel.h"
#include "platform/Text.h"
#include "res/resource.h"
#include "widgets/Application.h"

namespace {

constexpr UINT kPluginCodePage = 936;

template <typename T> KvPlugValue AddressOf(const T* data) {
    return reinterpret_cast<KvPlugValue>(data);
}

// The window's name as a plug-in reads it: 8-bit text kept in place, or nothing.
KvPlugValue TextFor(const std::wstring& name, std::string& kept) {
    std::string text = platform::ToAnsi(name, kPluginCodePage);
    if (text != kept)
        kept = std::move(text);
    return kept.empty() ? 0 : AddressOf(kept.c_str());
}

} // namespace

void TStatsForm::LoadPlugins() {
    std::vector<kvplug::AcceptedPlugin> accepted = Plugins.Load(platform::ModuleFolder() + L"Plugins\\");
    UINT after = IDM_PlugSep;
    for (std::size_t position = 0; position < accepted.size(); ++position) {
        const kvplug::AcceptedPlugin& plugin = accepted[position];
        Support.PlugSep.SetVisible(true);
        widgets::MenuItem& item = Support.pmCommands.Insert(after, plugin.caption);
        item.SetEnabled(plugin.flags & KVPLUG_ENABLED);
        item.SetVisible(plugin.flags & KVPLUG_VISIBLE);
        item.SetChecked(plugin.flags & KVPLUG_CHECKED);
        item.OnClick = [this, position] { PluginClick(position); };
        PluginItems.push_back(&item);
    }
}

void TStatsForm::UnloadPlugins() {
    for (widgets::MenuItem* item : PluginItems)
        Support.pmCommands.Remove(*item);
    PluginItems.clear();
    Support.PlugSep.SetVisible(false);
    Plugins.Unload();
}

void TStatsForm::PluginClick(std::size_t tag) {
    Plugins.Execute(tag, Handle());
}

bool TStatsForm::AnswerPlugin(DWORD code, KvPlugValue& value) {
    switch (code) {
    case KVPLUG_APP_ICON:
        value =
            AddressOf(::LoadIconW(widgets::Application::Instance().Module(), MAKEINTRESOURCEW(IDI_KELVRA)));
        return true;
    case KVPLUG_WINDOW_OBJECT:
        value = AddressOf(this);
        return true;
    case KVPLUG_NETWORK_PARAMS:
        value =
            NetworkParamsBuffer.empty() ? AddressOf(&NetworkParams) : AddressOf(NetworkParamsBuffer.data());
        return true;
    case KVPLUG_ADAPTER_INFO:
        value = AddressOf(&AdapterInfo);
        return true;
    case KVPLUG_TCP_STATS:
        value = AddressOf(&TcpStats);
        return true;
    case KVPLUG_IP_STATS:
        value = AddressOf(&IpStats);
        return true;
    case KVPLUG_UDP_STATS:
        value = AddressOf(&UdpStats);
        return true;
    case KVPLUG_ICMP_STATS:
        value = AddressOf(&IcmpStats);
        return true;
    case KVPLUG_INTERFACE_TABLE:
        // The shared sampler keeps the block until its next fetch replaces it.
        value = AddressOf(Samples ? Samples->Table() : nullptr);
        return true;
    case KVPLUG_IF_ROW:
        value = AddressOf(&IfRow);
        return true;
    case KVPLUG_INTERFACE_INDEX:
        value = AddressOf(&InterfaceIndex);
        return true;
    case KVPLUG_INTERFACE_NAME:
        value = TextFor(InterfaceName, PluginInterfaceName);
        return true;
    case KVPLUG_CONNECTION_NAME:
        value = TextFor(ConnectionName, PluginConnectionName);
        return true;
    case KVPLUG_WINDOW_HANDLE:
        value = AddressOf(Handle());
        return true;
    default:
        return false;
    }
}
