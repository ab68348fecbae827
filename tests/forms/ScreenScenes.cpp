// Scenes for pictures, not checks: each shows a window over the scripted platform and
// keeps it up for KELVRA_SHOW_SECONDS (default 15). Run one explicitly, for instance
//   tools/screenshot -- build/tests/form_tests.exe --gtest_also_run_disabled_tests
//       --gtest_filter=ScreenScenes.DISABLED_NetworkPage
#include "support/FakePlatform.h"
#include "support/Windows.h"
#include "widgets/Application.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

void KeepShowing() {
    const char* seconds = std::getenv("KELVRA_SHOW_SECONDS");
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds ? std::atoi(seconds) : 15);
    while (std::chrono::steady_clock::now() < until) {
        widgets::Application::Instance().ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

fake::NetEntry Entry(const std::wstring& remote, DWORD type, DWORD display, DWORD usage) {
    return {type, display, usage, remote, L"Microsoft Windows Network", std::nullopt};
}

} // namespace

TEST(ScreenScenes, DISABLED_NetworkPage) {
    fake::FakePlatform fake;
    fake.AddAdapter("Ethernet");
    const wchar_t* provider = L"Microsoft Windows Network";
    fake.Providers[WNNC_NET_LANMAN] = provider;
    fake.Containers[provider] = {
        NO_ERROR, NO_ERROR, {Entry(L"WORKGROUP", 0, RESOURCEDISPLAYTYPE_DOMAIN, RESOURCEUSAGE_CONTAINER)}};
    fake.Containers[L"WORKGROUP"] = {
        NO_ERROR,
        NO_ERROR,
        {Entry(L"\\\\PC1", 0, RESOURCEDISPLAYTYPE_SERVER, RESOURCEUSAGE_CONTAINER),
         Entry(L"\\\\PC2", 0, RESOURCEDISPLAYTYPE_SERVER, RESOURCEUSAGE_CONTAINER)}};
    fake.Containers[L"\\\\PC1"] = {
        NO_ERROR,
        NO_ERROR,
        {Entry(L"\\\\PC1\\docs", RESOURCETYPE_DISK, RESOURCEDISPLAYTYPE_SHARE, RESOURCEUSAGE_CONNECTABLE),
         Entry(L"\\\\PC1\\laser", RESOURCETYPE_PRINT, RESOURCEDISPLAYTYPE_SHARE, RESOURCEUSAGE_CONNECTABLE)}};
    fake.Containers[L"\\\\PC2"] = {
        NO_ERROR,
        NO_ERROR,
        {Entry(L"\\\\PC2\\data", RESOURCETYPE_DISK, RESOURCEDISPLAYTYPE_SHARE, RESOURCEUSAGE_CONNECTABLE)}};
    fake.Information[provider] = {NO_ERROR, static_cast<WORD>(WNNC_NET_LANMAN >> 16), NO_ERROR};

    auto window = fake::BeginWindow();
    window->Show();
    window->PageControl1.SetActivePage(window->tsNetwork);
    for (int i = 0; i < 400 && window->Network.TMyThread; ++i) {
        widgets::Application::Instance().ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    widgets::TreeView& tree = window->Network.tbNetwork;
    for (auto node : tree.Nodes())
        tree.Expand(node);
    for (auto node : tree.Nodes())
        if (tree.Text(node) == L"docs")
            tree.Select(node);
    KeepShowing();
}

TEST(ScreenScenes, DISABLED_ExamplePlugin) {
    fake::FakePlatform fake;
    DWORD index = fake.AddAdapter("Ethernet");
    fake.Adapter(index).addresses = {{"192.168.1.20", "255.255.255.0"}};
    fake.Adapter(index).gateway = "192.168.1.1";
    fake.Row(index).dwInOctets = 48213377;
    fake.Row(index).dwOutOctets = 5120344;
    fake.Row(index).dwInUcastPkts = 40211;
    fake.Row(index).dwOutUcastPkts = 18310;
    // The program's folder is the build folder, where Plugins\kv_example.dll is built.
    wchar_t path[MAX_PATH] = {};
    std::wstring tests(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
    tests = tests.substr(0, tests.find_last_of(L"\\/"));
    std::wstring program = tests.substr(0, tests.find_last_of(L"\\/") + 1) + L"kelvra.exe";
    platform::kernel().GetModuleFileNameW = [program](HMODULE, LPWSTR buffer, DWORD size) -> DWORD {
        if (program.size() >= size)
            return 0;
        std::wcscpy(buffer, program.c_str());
        return static_cast<DWORD>(program.size());
    };

    auto window = fake::BeginWindow();
    window->Timer2Timer();
    for (const auto& entry : window->Support.pmCommands.Entries())
        if (entry.runtime && entry.item)
            entry.item->Click();
    KeepShowing();
}
