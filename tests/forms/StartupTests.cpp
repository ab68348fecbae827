// The program entry and the growing set of status windows.
#include "app/Program.h"
#include "support/FakePlatform.h"
#include "widgets/Application.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// A status window that records when the program saves it, and can be made to fail.
struct RecordingWindow : TStatsForm {
    RecordingWindow(std::vector<std::uint32_t>& saves, std::vector<std::uint32_t>& firstRuns)
        : saves_(saves), firstRuns_(firstRuns) {}
    void SaveSettings() override {
        saves_.push_back(Ordinal);
        if (FailSave)
            throw std::runtime_error("cannot save");
    }
    void CheckFirstTime() override { firstRuns_.push_back(Ordinal); }
    bool FailSave = false;
    std::vector<std::uint32_t>& saves_;
    std::vector<std::uint32_t>& firstRuns_;
};

class Startup : public ::testing::Test {
protected:
    Startup() {
        program.MakeWindow = [this] { return std::make_unique<RecordingWindow>(saves, firstRuns); };
    }
    RecordingWindow& Window(std::size_t i) {
        return static_cast<RecordingWindow&>(*program.WindowList.at(i));
    }
    void Tick(std::size_t i) { Window(i).Timer2Timer(); }

    fake::FakePlatform fake;
    Program program;
    std::vector<std::uint32_t> saves;
    std::vector<std::uint32_t> firstRuns;
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

} // namespace
