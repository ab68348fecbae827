// The program entry and the growing set of status windows.
#include "DetailForm/NetDetail.h"
#include "WhileModal.h"
#include "app/Program.h"
#include "frmOptns/TFrmOptions.h"
#include "support/FakePlatform.h"
#include "widgets/Application.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <set>
#include <stdexcept>
#include <tuple>

namespace {

// What the program did to its windows.
struct Record {
    std::vector<std::uint32_t> saves;
    std::vector<std::uint32_t> firstRuns;
    int made = 0;
    // The windows ask the real first-run question.
    bool askFirstRun = false;
};

// A status window that records when the program saves it, and can be made to fail.
struct RecordingWindow : TStatsForm {
    explicit RecordingWindow(Record& record) : record_(record) { ++record.made; }
    void SaveSettings() override {
        record_.saves.push_back(Ordinal);
        if (FailSave)
            throw std::runtime_error("cannot save");
    }
    void CheckFirstTime() override {
        record_.firstRuns.push_back(Ordinal);
        if (record_.askFirstRun)
            TStatsForm::CheckFirstTime();
    }
    bool FailSave = false;
    Record& record_;
};

class Startup : public ::testing::Test {
protected:
    Startup() {
        // Fetches are shared within a period, as between windows whose timers run together.
        fake.TickStep = 0;
        program.MakeWindow = [this] { return std::make_unique<RecordingWindow>(record); };
    }
    RecordingWindow& Window(std::size_t i) {
        return static_cast<RecordingWindow&>(*program.WindowList.at(i));
    }
    // One tick of a window, a period after the last.
    void Tick(std::size_t i) {
        fake.TickCount += app::Sampler::kTickPeriod;
        Window(i).Timer2Timer();
    }

    fake::FakePlatform fake;
    Record record;
    Program program;
    std::vector<std::uint32_t>& saves = record.saves;
    std::vector<std::uint32_t>& firstRuns = record.firstRuns;
};

TEST_F(Startup, OneHiddenWindowPerAdapterNumberedInOrderAndOnlyTheFirstChecksTheFirstRun) {
    DWORD a = fake.AddAdapter("eth0");
    DWORD b = fake.AddAdapter("eth1");
    program.CreateWindows([this] { program.AddNewWindows(); });

    ASSERT_EQ(program.WindowList.size(), 2u);
    EXPECT_EQ(program.InterfaceCount, 2u);
    EXPECT_EQ(Window(0).Ordinal, 1u);
    EXPECT_EQ(Window(1).Ordinal, 2u);
    EXPECT_EQ(Window(0).InterfaceIndex, a);
    EXPECT_EQ(Window(1).InterfaceIndex, b);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_FALSE(Window(i).Visible());
        EXPECT_TRUE(Window(i).Timer1.Enabled());
        EXPECT_TRUE(Window(i).Timer2.Enabled());
        wchar_t cls[64] = {};
        ::GetClassNameW(Window(i).Handle(), cls, 64);
        EXPECT_STREQ(cls, L"TStatsForm");
    }
    EXPECT_EQ(firstRuns, std::vector<std::uint32_t>{1});
    EXPECT_TRUE(fake.MessageBoxes.empty());
}

TEST_F(Startup, OnlyTheLoopbackShowsTheErrorBoxAndEnds) {
    EXPECT_EQ(program.Run(), 0);
    ASSERT_EQ(fake.MessageBoxes.size(), 1u);
    EXPECT_EQ(fake.MessageBoxes[0].text, L"当前没有安装网络适配器.");
    EXPECT_EQ(fake.MessageBoxes[0].caption, L"启动错误");
    EXPECT_EQ(fake.MessageBoxes[0].type, static_cast<UINT>(MB_ICONERROR | MB_OK));
    EXPECT_TRUE(program.WindowList.empty());
    EXPECT_TRUE(widgets::Application::Instance().Terminated());
}

TEST_F(Startup, AFailedOrEmptyCountMakesNothingAndSaysNothing) {
    fake.AddAdapter();
    fake.NumberOfInterfacesError = ERROR_NOT_SUPPORTED;
    EXPECT_EQ(program.Run(), 0);
    EXPECT_TRUE(program.WindowList.empty());
    EXPECT_TRUE(fake.MessageBoxes.empty());

    fake.NumberOfInterfacesError = NO_ERROR;
    fake.Interfaces.clear();
    program.CreateWindows([] {});
    EXPECT_TRUE(program.WindowList.empty());
    EXPECT_TRUE(fake.MessageBoxes.empty());
}

TEST_F(Startup, ASecondInstanceEndsSilentlyAfterRecordingNothingButTheInstallPath) {
    fake.AddAdapter();
    fake.MutexAlreadyExists = true;
    EXPECT_EQ(program.Run(), 0);
    EXPECT_TRUE(program.WindowList.empty());
    EXPECT_TRUE(fake.MessageBoxes.empty());
    EXPECT_FALSE(widgets::Application::Instance().Terminated());
    settings::RegistryAccessor registry;
    EXPECT_TRUE(registry.ValueExists(L"InstallPath"));
}

TEST_F(Startup, InstallPathIsWrittenOnceAndNeverChanged) {
    Program::RecordInstallPath();
    settings::RegistryAccessor registry{settings::KeyAccess::ReadWrite};
    std::wstring first = registry.ReadString(L"InstallPath").value_or(L"");
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.back(), L'\\');

    registry.WriteString(L"InstallPath", L"C:\\Elsewhere\\");
    Program::RecordInstallPath();
    EXPECT_EQ(registry.ReadString(L"InstallPath"), L"C:\\Elsewhere\\");
}

TEST_F(Startup, AnInterfaceThatAppearsGetsTheNextOrdinalWithinOneTick) {
    fake.AddAdapter("eth0");
    fake.AddAdapter("eth1");
    program.CreateWindows([this] { program.AddNewWindows(); });
    ASSERT_EQ(program.WindowList.size(), 2u);

    DWORD ppp = fake.AddAdapter("ppp0", MIB_IF_TYPE_PPP);
    Tick(0);
    ASSERT_EQ(program.WindowList.size(), 3u);
    EXPECT_EQ(Window(2).Ordinal, 3u);
    EXPECT_EQ(Window(2).InterfaceIndex, ppp);
    EXPECT_FALSE(Window(2).Visible());
    EXPECT_TRUE(Window(2).Timer2.Enabled());
    EXPECT_EQ(firstRuns, std::vector<std::uint32_t>{1});
    EXPECT_EQ(program.InterfaceCount, 3u);

    // The new window says it is there with the status balloon: its name and speed.
    ASSERT_FALSE(fake.TrayCalls.empty());
    const fake::TrayCall& balloon = fake.TrayCalls.back();
    EXPECT_EQ(balloon.window, Window(2).Handle());
    EXPECT_EQ(balloon.infoTitle, Window(2).ConnectionName);
    EXPECT_EQ(balloon.info, L"连接于 100.0 Mbps");
}

TEST_F(Startup, AnInterfaceThatAppearsBetweenATicksTableAndCountIsBoundAtOnce) {
    fake.AddAdapter("eth0");
    program.CreateWindows([this] { program.AddNewWindows(); });
    DWORD ppp = 0;
    platform::ipHelper().GetNumberOfInterfaces =
        [this, &ppp, count = platform::ipHelper().GetNumberOfInterfaces](PDWORD n) {
            if (!ppp)
                ppp = fake.AddAdapter("ppp0", MIB_IF_TYPE_PPP);
            return count(n);
        };
    fake.DialUpConnections = {fake::MakeDialUp("ISP", "MODEM", "Modem")};
    Tick(0);
    ASSERT_EQ(program.WindowList.size(), 2u);
    TStatsForm& added = Window(1);
    EXPECT_EQ(added.InterfaceIndex, ppp);
    EXPECT_EQ(added.ConnectionName, L"ISP");
    EXPECT_EQ(fake.TrayCalls.back().infoTitle, L"ISP");

    fake.Row(ppp).dwInOctets += 5000;
    Tick(1);
    EXPECT_EQ(added.General.lbByteRecd.Caption(), L"5,000");
}

TEST_F(Startup, WindowsThatFindNoTableAtStartBindOnALaterTick) {
    struct Case {
        int failures; // table fetches that fail from the start on
        bool boundAtStart;
    } cases[] = {{1, true}, {1000, false}};
    for (const Case& c : cases) {
        fake::FakePlatform machine;
        machine.TickStep = 0;
        const DWORD eth0 = machine.AddAdapter("eth0");
        const DWORD eth1 = machine.AddAdapter("eth1");
        int failures = c.failures;
        platform::ipHelper().GetIfTable = [&failures, fetch = platform::ipHelper().GetIfTable](auto... args) {
            return failures-- > 0 ? static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY) : fetch(args...);
        };
        Program started;
        started.CreateWindows([&] { started.AddNewWindows(); });
        ASSERT_EQ(started.WindowList.size(), 2u);
        for (auto& window : started.WindowList)
            EXPECT_EQ(window->Bound, c.boundAtStart) << c.failures;

        failures = 0;
        machine.Row(eth1).dwOutOctets += 700;
        machine.TickCount += app::Sampler::kTickPeriod;
        for (auto& window : started.WindowList)
            window->Timer2Timer();
        const DWORD expected[] = {eth0, eth1};
        for (std::size_t i = 0; i < 2; ++i) {
            TStatsForm& window = *started.WindowList[i];
            EXPECT_EQ(window.InterfaceIndex, expected[i]) << c.failures;
            EXPECT_EQ(window.ConnectionName, L"Ethernet 适配器") << c.failures;
            EXPECT_NE(window.InterfaceName.find(L"FAKE-" + std::to_wstring(expected[i])), std::wstring::npos);
        }
        // Counting starts with the binding: what the interface counted before shows in the
        // totals, never as one tick's traffic.
        EXPECT_EQ(started.WindowList[1]->General.lbByteSent.Caption(), L"700");
        EXPECT_EQ(started.WindowList[1]->SentDelta, c.boundAtStart ? 700u : 0u);
    }
}

TEST_F(Startup, OnAWindows10LaptopTheConnectionsAUserHasGetWindowsAndAVpnOneWhenItConnects) {
    fake.Version() = {VER_PLATFORM_WIN32_NT, 10, 0};
    const fake::Windows10Laptop laptop = fake.ScriptWindows10Laptop();
    program.CreateWindows([this] { program.AddNewWindows(); });

    const DWORD atStart[] = {laptop.wifi, laptop.ethernet, laptop.bluetooth, laptop.virtualSwitch};
    ASSERT_EQ(program.WindowList.size(), std::size(atStart));
    std::set<HWND> withIcon;
    for (const fake::TrayCall& call : fake.TrayCalls)
        if (call.message == NIM_ADD)
            withIcon.insert(call.window);
    EXPECT_EQ(withIcon.size(), std::size(atStart));
    for (std::size_t i = 0; i < std::size(atStart); ++i) {
        EXPECT_EQ(Window(i).Ordinal, i + 1);
        EXPECT_EQ(Window(i).InterfaceIndex, atStart[i]);
        EXPECT_TRUE(withIcon.contains(Window(i).Handle())) << i;
    }
    // Plug-ins are still handed the system's whole table.
    EXPECT_EQ(program.Samples->Table()->dwNumEntries, fake.Interfaces.size());

    // The VPN connects: a window with the next ordinal, though its index is lower.
    fake.Row(laptop.vpn).dwOperStatus = MIB_IF_OPER_STATUS_OPERATIONAL;
    fake.Adapter(laptop.vpn).addresses = {{"10.8.0.6", "255.255.255.0"}};
    Tick(0);
    ASSERT_EQ(program.WindowList.size(), 5u);
    EXPECT_EQ(Window(4).Ordinal, 5u);
    EXPECT_EQ(Window(4).InterfaceIndex, laptop.vpn);
    EXPECT_EQ(fake.TrayCalls.back().window, Window(4).Handle());
    EXPECT_EQ(fake.TrayCalls.back().infoTitle, Window(4).ConnectionName);

    // Disconnected, it keeps its window, and nothing else comes.
    fake.Adapter(laptop.vpn).addresses = {{"0.0.0.0", "0.0.0.0"}};
    Tick(0);
    fake.Adapter(laptop.vpn).addresses = {{"10.8.0.7", "255.255.255.0"}};
    Tick(0);
    EXPECT_EQ(program.WindowList.size(), 5u);
}

TEST_F(Startup, TheCountNeverGoesDownAndIsComparedWithTheHighestSeen) {
    fake.AddAdapter("eth0");
    DWORD first = fake.AddAdapter("ppp0", MIB_IF_TYPE_PPP);
    program.CreateWindows([this] { program.AddNewWindows(); });
    ASSERT_EQ(program.WindowList.size(), 2u);

    // The dial-up link goes: its window stays.
    fake.RemoveInterface(first);
    Tick(0);
    EXPECT_EQ(program.WindowList.size(), 2u);
    EXPECT_EQ(program.InterfaceCount, 2u);

    // Another comes up: the count is back at the highest seen, no new window.
    fake.AddAdapter("ppp1", MIB_IF_TYPE_PPP);
    Tick(0);
    EXPECT_EQ(program.WindowList.size(), 2u);

    // One more exceeds it.
    fake.AddAdapter("ppp2", MIB_IF_TYPE_PPP);
    Tick(0);
    ASSERT_EQ(program.WindowList.size(), 3u);
    EXPECT_EQ(Window(2).Ordinal, 3u);
}

TEST_F(Startup, AFailedCountWhileRunningIsIgnored) {
    fake.AddAdapter();
    program.CreateWindows([this] { program.AddNewWindows(); });
    fake.AddAdapter();
    fake.NumberOfInterfacesError = ERROR_NOT_SUPPORTED;
    Tick(0);
    EXPECT_EQ(program.WindowList.size(), 1u);
    EXPECT_EQ(program.InterfaceCount, 1u);
}

TEST_F(Startup, NoWindowBeyondOrdinal255) {
    for (int i = 0; i < 300; ++i)
        fake.AddAdapter();
    // As if 253 windows were open already: making all of them would take long under Wine.
    program.InterfaceCount = 253;
    program.AddNewWindows();
    ASSERT_EQ(program.WindowList.size(), 2u);
    EXPECT_EQ(Window(0).Ordinal, 254u);
    EXPECT_EQ(Window(1).Ordinal, 255u);
    EXPECT_EQ(program.InterfaceCount, 255u);
    program.AddNewWindows();
    EXPECT_EQ(program.WindowList.size(), 2u);
}

TEST_F(Startup, StopSavesEveryWindowLastCreatedFirstEvenWhenOneFails) {
    for (int i = 0; i < 3; ++i)
        fake.AddAdapter();
    program.CreateWindows([this] { program.AddNewWindows(); });
    Window(1).FailSave = true;
    std::vector<HWND> handles;
    for (auto& w : program.WindowList)
        handles.push_back(w->Handle());

    program.ShutDownAll();

    EXPECT_EQ(saves, (std::vector<std::uint32_t>{3, 2, 1}));
    EXPECT_TRUE(program.WindowList.empty());
    for (HWND h : handles)
        EXPECT_FALSE(::IsWindow(h));
    EXPECT_TRUE(widgets::Application::Instance().Terminated());
}

TEST_F(Startup, TheStopMessageEndsTheProgramWithoutPullingTheWindowFromUnderItsHandler) {
    fake.AddAdapter();
    fake.AddAdapter();
    program.CreateWindows([this] { program.AddNewWindows(); });
    HWND first = Window(0).Handle();
    HWND second = Window(1).Handle();

    ::SendMessageW(second, kShutDownMessage, 0, 0);

    EXPECT_EQ(saves, (std::vector<std::uint32_t>{2, 1}));
    EXPECT_TRUE(program.WindowList.empty());
    EXPECT_TRUE(widgets::Application::Instance().Terminated());
    widgets::Application::Instance().ProcessMessages();
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_FALSE(::IsWindow(second));
}

TEST_F(Startup, AMeasureItemRequestIsNotAStopRequest) {
    fake.AddAdapter();
    program.CreateWindows([this] { program.AddNewWindows(); });
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    ::SendMessageW(Window(0).Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    EXPECT_EQ(program.WindowList.size(), 1u);
    EXPECT_TRUE(saves.empty());
}

TEST_F(Startup, TheEndOfTheSessionSavesEveryWindowBeforeAnswering) {
    fake.AddAdapter();
    fake.AddAdapter();
    program.CreateWindows([this] { program.AddNewWindows(); });
    Window(0).Hide();

    LRESULT answer = ::SendMessageW(Window(0).Handle(), WM_QUERYENDSESSION, 0, 0);

    EXPECT_EQ(answer, TRUE);
    EXPECT_EQ(saves, (std::vector<std::uint32_t>{2, 1}));
    EXPECT_TRUE(widgets::Application::Instance().Terminated());
}

TEST_F(Startup, ExitFromTheTrayMenuStopsTheProgram) {
    fake.AddAdapter();
    program.CreateWindows([this] { program.AddNewWindows(); });
    Window(0).Exit1.Click();
    EXPECT_EQ(saves, std::vector<std::uint32_t>{1});
    EXPECT_TRUE(program.WindowList.empty());
    EXPECT_TRUE(widgets::Application::Instance().Terminated());
}

// The three ways the program is told to stop from outside.
UINT StopMessage(int kind) {
    const UINT messages[] = {kShutDownMessage, WM_QUERYENDSESSION, platform::StopRequestMessage()};
    return messages[kind];
}

class StopDuringFirstRun : public Startup, public ::testing::WithParamInterface<int> {};

TEST_P(StopDuringFirstRun, MakesNoFurtherWindowAndDestroysTheFirst) {
    for (int i = 0; i < 3; ++i)
        fake.AddAdapter();
    record.askFirstRun = true;
    HWND asking = nullptr;
    platform::dialogs().MessageBoxW = [&](HWND owner, LPCWSTR, LPCWSTR, UINT) {
        asking = owner;
        ::SendMessageW(owner, StopMessage(GetParam()), 0, 0);
        return IDNO;
    };

    EXPECT_EQ(program.Run(), 0);

    EXPECT_EQ(record.made, 1);
    ASSERT_NE(asking, nullptr);
    EXPECT_FALSE(::IsWindow(asking));
    EXPECT_TRUE(program.WindowList.empty());
    // Its settings were never loaded: the stored ones stay as they are.
    EXPECT_TRUE(saves.empty());
}

INSTANTIATE_TEST_SUITE_P(EachStop, StopDuringFirstRun, ::testing::Values(0, 1, 2));

// The program told to stop (0x2C, the session's end) while a modal window of a status
// window is open: the details window or the options dialog.
class StopWhileModal : public Startup, public ::testing::WithParamInterface<std::tuple<int, bool>> {};

TEST_P(StopWhileModal, SavesEveryWindowAndEnds) {
    const auto [stop, options] = GetParam();
    fake.AddAdapter();
    fake.AddAdapter();
    const wchar_t* modalClass = options ? TFrmOptions::kClassName : L"TNetDetail";
    std::vector<HWND> handles;
    fake::FromTheLoop([&] {
        if (program.WindowList.size() < 2 || !Window(1).Begun)
            return false;
        for (auto& window : program.WindowList)
            handles.push_back(window->Handle());
        fake::WhenOpen<widgets::Form>(
            modalClass, [&](widgets::Form&) { ::SendMessageW(handles[0], StopMessage(stop), 0, 0); });
        // As a click would: the handler runs, and the windows stay, until it returns.
        widgets::Application::HandlerScope click;
        if (options)
            Window(0).AdapterOptions1Click();
        else
            Window(0).btnDetailsClick();
        return true;
    });

    EXPECT_EQ(program.Run(), 0);

    EXPECT_EQ(saves, (std::vector<std::uint32_t>{2, 1}));
    ASSERT_EQ(handles.size(), 2u);
    for (HWND h : handles)
        EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(widgets::Form::FindOpen(modalClass, nullptr), nullptr);
}

INSTANTIATE_TEST_SUITE_P(EachStopAndWindow, StopWhileModal,
                         ::testing::Combine(::testing::Values(0, 1), ::testing::Bool()));

} // namespace
