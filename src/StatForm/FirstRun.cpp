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
    const settings::Stored<bool> done = Registry.ReadBool(kFirstTime);
    // A value we may not read could not be remembered either: the offer would come at
    // every start.
    if (done.Refused() || done.value_or(false))
        return;
    // Remembered before the offer, so an offer declined or cut short is not repeated.
    settings::FirstFailure failure;
    {
        settings::SettingsKeyReturn back(Registry);
        if (failure.Note(settings::kSettingsKey, Registry.ReturnToSettingsKey(settings::KeyAccess::Write)))
            failure.Note(kFirstTime, Registry.WriteBool(kFirstTime, true));
    }
    failure.Report(L"the first start");
    if (!failure.Failed())
        SetupFirstTime();
}

void TStatsForm::SetupFirstTime() {
    const platform::WindowsVersion& os = platform::kernel().Version;
    // Before 2000 there is no such icon; from Vista on the system shows one icon for
    // all connections, and "ShowIcon" does nothing.
    if (!os.IsWin2000OrLater() || os.IsVistaOrLater())
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
    settings::SettingsKeyReturn back(Registry);
    settings::FirstFailure failure;
    for (const IP_ADAPTER_INFO* adapter : platform::AdaptersIn(block)) {
        const std::string id(adapter->AdapterName,
                             strnlen(adapter->AdapterName, sizeof adapter->AdapterName));
        const std::wstring key = kNetworkClassKey + platform::FromAnsi(id, CP_ACP) + L"\\Connection";
        Registry.SetRootKey(HKEY_LOCAL_MACHINE);
        // An adapter without the key keeps its icon; one we may not write is reported
        // (the question said that it takes an administrator).
        if (const settings::RegStatus opened = Registry.OpenKey(key, settings::KeyAccess::Write))
            failure.Note(key + L"\\" + kShowIcon, Registry.WriteBool(kShowIcon, false));
        else if (!opened.Missing())
            failure.Note(key, opened);
    }
    failure.Report(L"the first start");
}
