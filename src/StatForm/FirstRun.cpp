// The first start for a user: the offer to switch off the system's own network icons
// in the notification area, since every interface has an icon of ours.
#include "StatForm/StatsForm.h"
#include "platform/Buffers.h"
#include "platform/Dialogs.h"
#include "platform/IpHelper.h"
#include "platform/Kernel.h"
#include "platform/Text.h"
#include "widgets/Application.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kFirstTime[] = L"FirstTime";
constexpr wchar_t kShowIcon[] = L"ShowIcon";
constexpr wchar_t kNetworkClassKey[] =
    L"\\System\\ControlSet001\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
constexpr wchar_t kStartupTitle[] = L"Startup";
constexpr wchar_t kStartupQuestion[] =
    L"Do you want to disable Windows from displaying built in network icons on the taskbar?\n\r\n\r"
    L"You must be logged in as an administrator.";

} // namespace

void TStatsForm::CheckFirstTime() {
    // Remembered before the offer, so an offer declined or cut short is not repeated.
    if (Registry.ReadBool(kFirstTime).value_or(false))
        return;
    Registry.WriteBool(kFirstTime, true);
    SetupFirstTime();
}

void TStatsForm::SetupFirstTime() {
    settings::SettingsKeyReturn back(Registry);
    if (!platform::kernel().Version.IsWin2000OrLater())
        return;
    widgets::Application::Instance().ProcessMessages();
    if (platform::dialogs().MessageBoxW(Handle(), kStartupQuestion, kStartupTitle,
                                        MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;

    auto& ip = platform::ipHelper();
    ULONG size = 0;
    ip.GetAdaptersInfo(nullptr, &size);
    std::vector<BYTE> block;
    auto call = [&ip](BYTE* data, ULONG* asked) {
        return ip.GetAdaptersInfo(reinterpret_cast<PIP_ADAPTER_INFO>(data), asked);
    };
    if (size == 0 || platform::FetchBlock(call, size, block) != ERROR_SUCCESS)
        return;
    for (auto* adapter = reinterpret_cast<const IP_ADAPTER_INFO*>(block.data()); adapter;
         adapter = adapter->Next) {
        const std::string id(adapter->AdapterName,
                             strnlen(adapter->AdapterName, sizeof adapter->AdapterName));
        Registry.SetRootKey(HKEY_LOCAL_MACHINE);
        Registry.SetAccess(KEY_WRITE);
        // Without the key or the rights to it the adapter keeps its icon.
        if (Registry.OpenKey(kNetworkClassKey + platform::FromAnsi(id, CP_ACP) + L"\\Connection", false))
            Registry.WriteBool(kShowIcon, false);
    }
}
