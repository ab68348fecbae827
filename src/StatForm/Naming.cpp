// The window's names: the connection's display name, the interface's own name and the
// dial-up connection that may stand in for the adapter.
#include "StatForm/StatsForm.h"
#include "platform/Buffers.h"
#include "platform/Dialogs.h"
#include "platform/IpHelper.h"
#include "platform/Kernel.h"
#include "platform/Text.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

constexpr wchar_t kNetworkClassKey[] =
    L"\\System\\ControlSet001\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
constexpr DWORD kRasRecordSize = sizeof(platform::RasConnRecord);
constexpr DWORD kAdapterTypePpp = MIB_IF_TYPE_PPP;

std::wstring TypeName(UINT type) {
    switch (type) {
    case MIB_IF_TYPE_OTHER:
        return L"Other";
    case MIB_IF_TYPE_ETHERNET:
        return L"Ethernet";
    case MIB_IF_TYPE_TOKENRING:
        return L"Token Ring";
    case MIB_IF_TYPE_FDDI:
        return L"FDDI";
    case MIB_IF_TYPE_PPP:
        return L"PPP";
    case MIB_IF_TYPE_LOOPBACK:
        return L"Loopback";
    case MIB_IF_TYPE_SLIP:
        return L"SLIP";
    default:
        return {};
    }
}

// "MODEM" reads "Modem": the first character as it is, the rest in lower case.
void NormaliseDeviceType(char* text) {
    if (!text[0])
        return;
    for (char* c = text + 1; *c; ++c)
        if (*c >= 'A' && *c <= 'Z')
            *c = static_cast<char>(*c - 'A' + 'a');
}

} // namespace

std::wstring TStatsForm::ConnectionKey() const {
    return kNetworkClassKey + AdapterId + L"\\Connection";
}

void TStatsForm::GetAdapterNetworkName() {
    const platform::WindowsVersion& os = platform::kernel().Version;
    {
        settings::SettingsKeyReturn back(Registry);
        Registry.SetRootKey(HKEY_LOCAL_MACHINE);
        settings::Stored<std::wstring> stored;
        if (Registry.OpenKey(ConnectionKey(), settings::KeyAccess::Read))
            stored = Registry.ReadString(L"Name");
        if (stored) {
            ConnectionName = *stored;
        } else {
            if (std::wstring name = TypeName(AdapterInfo.Type); !name.empty())
                ConnectionName = name;
            if (os.IsNT4())
                ConnectionName = L"以太网适配器";
            else if (ConnectionName.empty())
                ConnectionName = L"Adapter";
            else
                ConnectionName += L" 适配器";
        }
    }
    InterfaceName = FindInterfaceName();
}

std::wstring TStatsForm::FindInterfaceName() const {
    if (platform::kernel().Version.IsNT4()) {
        wchar_t number[16];
        std::swprintf(number, std::size(number), L"%04u", static_cast<unsigned>(Ordinal));
        return number;
    }
    const std::wstring byIndex = std::to_wstring(InterfaceIndex);
    auto& ip = platform::ipHelper();
    ULONG size = 0;
    // Only a size answer promises a list; anything else keeps the name we have.
    if (ip.GetInterfaceInfo(nullptr, &size) != ERROR_INSUFFICIENT_BUFFER)
        return InterfaceName.empty() ? byIndex : InterfaceName;
    std::vector<BYTE> block;
    auto call = [&ip](BYTE* data, ULONG* asked) {
        return ip.GetInterfaceInfo(reinterpret_cast<PIP_INTERFACE_INFO>(data), asked);
    };
    if (platform::FetchBlock(call, size, block) != NO_ERROR)
        return byIndex;

    std::wstring name;
    if (block.size() >= offsetof(IP_INTERFACE_INFO, Adapter)) {
        const auto* info = reinterpret_cast<const IP_INTERFACE_INFO*>(block.data());
        std::size_t capacity =
            (block.size() - offsetof(IP_INTERFACE_INFO, Adapter)) / sizeof(IP_ADAPTER_INDEX_MAP);
        std::size_t count =
            std::min<std::size_t>(static_cast<std::size_t>(std::max(info->NumAdapters, 0L)), capacity);
        for (std::size_t i = 0; i < count; ++i) {
            const IP_ADAPTER_INDEX_MAP& entry = info->Adapter[i];
            if (entry.Index == InterfaceIndex)
                name.assign(entry.Name, wcsnlen(entry.Name, MAX_ADAPTER_NAME));
        }
    }
    // A name the system could not tell (empty, or "?" for characters it could not
    // convert) would make a useless settings key: the index stands in.
    if (name.empty() || name.front() == L'?')
        name = byIndex;
    return name;
}

void TStatsForm::GetRasInformation() {
    const auto& enumConnections = platform::dialUp().RasEnumConnectionsA;
    if (!enumConnections)
        return;
    std::vector<BYTE> block(kRasRecordSize, 0);
    auto call = [&](DWORD& bytes, DWORD& connections) {
        reinterpret_cast<platform::RasConnRecord*>(block.data())->dwSize = kRasRecordSize;
        bytes = static_cast<DWORD>(block.size());
        connections = 0;
        return enumConnections(reinterpret_cast<platform::RasConnRecord*>(block.data()), &bytes,
                               &connections);
    };
    DWORD bytes = 0, connections = 0;
    DWORD answer = call(bytes, connections);
    if (answer == ERROR_BUFFER_TOO_SMALL) {
        block.assign(std::max(bytes, kRasRecordSize), 0);
        answer = call(bytes, connections);
    }
    if (answer != NO_ERROR || connections != 1 || AdapterInfo.Type != kAdapterTypePpp)
        return;
    platform::RasConnRecord record;
    std::memcpy(&record, block.data(), sizeof record);
    // Texts from outside end where their fields end.
    record.szEntryName[sizeof record.szEntryName - 1] = '\0';
    record.szDeviceType[sizeof record.szDeviceType - 1] = '\0';
    record.szDeviceName[sizeof record.szDeviceName - 1] = '\0';
    record.szPhonebook[sizeof record.szPhonebook - 1] = '\0';
    NormaliseDeviceType(record.szDeviceType);
    DialUpRecord = record;
}

void TStatsForm::SetWindowTitle(const std::wstring& name) {
    SetCaption(name + L" 状态");
    RenameHistory();
}

void TStatsForm::RenameConnection(const std::wstring& newName) {
    settings::SettingsKeyReturn back(Registry);
    Registry.SetRootKey(HKEY_LOCAL_MACHINE);
    const settings::RegStatus opened = Registry.OpenKey(ConnectionKey(), settings::KeyAccess::Write);
    if (opened.Missing())
        return; // no connection of the system's to rename
    if (opened && Registry.WriteString(L"Name", newName))
        return;
    platform::dialogs().MessageBoxW(Handle(), L"Insufficient privledges or error writing to the Registry.",
                                    L"Error updating Name", MB_ICONERROR | MB_OK);
    // Show the name that is really stored; a key opened for writing cannot be read.
    if (Registry.OpenKey(ConnectionKey(), settings::KeyAccess::Read))
        if (auto stored = Registry.ReadString(L"Name")) {
            ConnectionName = *stored;
            SetWindowTitle(ConnectionName);
        }
}
