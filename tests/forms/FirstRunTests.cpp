// The first start for a user: the offer to switch off the system's own network icons.
#include "platform/Handles.h"
#include "support/FakePlatform.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

namespace {

const std::wstring kSettings = L"Software\\Quorvel Software\\Tarvelo";
const std::wstring kNetwork =
    L"System\\ControlSet001\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";

platform::UniqueKey OpenKey(HKEY root, const std::wstring& path, bool create) {
    HKEY h = nullptr;
    if (create)
        ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
    else
        ::RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS, &h);
    return platform::UniqueKey(h);
}

std::optional<DWORD> ReadDword(HKEY root, const std::wstring& path, const wchar_t* name) {
    platform::UniqueKey key = OpenKey(root, path, false);
    DWORD value = 0, size = sizeof value, type = 0;
    if (!key || ::RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                    ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

// Every case runs for an administrator on XP and for a standard user on Vista, where
// the question is never asked.
class FirstRun : public ::testing::TestWithParam<fake::Rights> {
protected:
    FirstRun() {
        first = fake.AddAdapter("eth0");
        second = fake.AddAdapter("eth1");
        third = fake.AddAdapter("eth2");
        // The second adapter has no connection key.
        for (DWORD index : {first, third})
            OpenKey(HKEY_LOCAL_MACHINE, Connection(index), true);
        fake.MessageBoxAnswer = IDYES;
    }
    static std::wstring Connection(DWORD index) {
        return kNetwork + L"{FAKE-" + std::to_wstring(index) + L"}\\Connection";
    }
    std::optional<DWORD> ShowIcon(DWORD index) const {
        return ReadDword(HKEY_LOCAL_MACHINE, Connection(index), L"ShowIcon");
    }
    std::optional<DWORD> FirstTime() const { return ReadDword(HKEY_CURRENT_USER, kSettings, L"FirstTime"); }
    // The program's start: the first window runs the check.
    void Start() { window = fake::BeginWindow(1, true); }
    std::size_t Questions() const {
        std::size_t asked = 0;
        for (const auto& box : fake.MessageBoxes)
            asked += box.caption == L"Startup";
        return asked;
    }

    // How many times the question comes in a number of offers.
    std::size_t Asked(std::size_t offers) const {
        return GetParam() == fake::Rights::StandardUser ? 0 : offers;
    }
    std::optional<DWORD> Hidden() const {
        return GetParam() == fake::Rights::StandardUser ? std::nullopt : std::optional<DWORD>(0);
    }

    fake::FakePlatform fake{GetParam()};
    DWORD first = 0, second = 0, third = 0;
    std::unique_ptr<TStatsForm> window;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Rights, FirstRun, ::testing::ValuesIn(fake::kEveryRights),
                         ::testing::PrintToStringParamName());

TEST_P(FirstRun, OnXPTheQuestionComesOnceAndYesHidesTheIconOfEveryAdapterWithAKey) {
    Start();
    ASSERT_EQ(Questions(), Asked(1));
    if (Questions() > 0) {
        const auto& box = fake.MessageBoxes.front();
        EXPECT_EQ(box.text, L"Do you want to disable Windows from displaying built in network icons on the "
                            L"taskbar?\n\r\n\rYou must be logged in as an administrator.");
        EXPECT_EQ(box.type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    }
    EXPECT_EQ(ShowIcon(first), Hidden());
    EXPECT_EQ(ShowIcon(third), Hidden());
    // The adapter without a key is skipped, and no key is made for it.
    EXPECT_FALSE(OpenKey(HKEY_LOCAL_MACHINE, Connection(second), false));
    EXPECT_EQ(FirstTime(), 1u);

    Start();
    EXPECT_EQ(Questions(), Asked(1));
}

TEST_P(FirstRun, NoWritesNothingBelowTheMachineKey) {
    fake.MessageBoxAnswer = IDNO;
    Start();
    EXPECT_EQ(Questions(), Asked(1));
    EXPECT_EQ(ShowIcon(first), std::nullopt);
    EXPECT_EQ(ShowIcon(third), std::nullopt);
    EXPECT_EQ(FirstTime(), 1u);
}

TEST_P(FirstRun, BeforeWindows2000NothingIsAskedButTheOfferCountsAsMade) {
    for (auto os : {platform::WindowsVersion::Windows98(), platform::WindowsVersion::NT4()}) {
        fake.Version() = os;
        ::RegDeleteValueW(OpenKey(HKEY_CURRENT_USER, kSettings, true).Get(), L"FirstTime");
        Start();
        EXPECT_EQ(Questions(), 0u);
        EXPECT_EQ(FirstTime(), 1u);
        EXPECT_EQ(ShowIcon(first), std::nullopt);
    }
}

TEST_P(FirstRun, SetBackToZeroByHandItAsksAgain) {
    Start();
    platform::UniqueKey settings = OpenKey(HKEY_CURRENT_USER, kSettings, false);
    DWORD zero = 0;
    ::RegSetValueExW(settings.Get(), L"FirstTime", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero),
                     sizeof zero);
    Start();
    EXPECT_EQ(Questions(), Asked(2));
}

TEST_P(FirstRun, WithoutTheRightsNothingIsWrittenAndNothingMoreIsSaid) {
    const struct {
        const char* what;
        bool refuseSettings; // else the machine's keys are read-only
        std::size_t questions;
    } cases[] = {{"a user who is no administrator on XP", false, 1},
                 {"a settings key the user may not read", true, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake::FakePlatform machine;
        const DWORD only = machine.AddAdapter("eth0");
        OpenKey(HKEY_LOCAL_MACHINE, Connection(only), true);
        machine.MessageBoxAnswer = IDYES;
        if (c.refuseSettings) {
            OpenKey(HKEY_CURRENT_USER, kSettings, true);
            machine.Registry.RefuseKey(HKEY_CURRENT_USER, kSettings);
        } else {
            machine.Registry.ReadOnly(HKEY_LOCAL_MACHINE);
        }
        Start();
        EXPECT_EQ(machine.MessageBoxes.size(), c.questions);
        EXPECT_EQ(ShowIcon(only), std::nullopt);
        EXPECT_EQ(FirstTime(), c.refuseSettings ? std::nullopt : std::optional<DWORD>(1));
        window.reset();
    }
}

TEST_P(FirstRun, OnlyTheFirstWindowAsksAndTheWindowReadsItsOwnKeyAfterwards) {
    window = fake::BeginWindow(2, false);
    EXPECT_EQ(Questions(), 0u);

    // The same value in the user's and the machine's window key: the user's counts.
    const std::wstring subkey = kSettings + L"\\DEVICE\\TCPIP_{FAKE-" + std::to_wstring(first) + L"}";
    for (auto [root, unit] :
         {std::pair{HKEY_CURRENT_USER, DWORD{3}}, std::pair{HKEY_LOCAL_MACHINE, DWORD{1}}}) {
        platform::UniqueKey key = OpenKey(root, subkey, true);
        ::RegSetValueExW(key.Get(), L"OctetDisp", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&unit),
                         sizeof unit);
    }
    Start();
    EXPECT_EQ(window->DisplaySettings.OctetDisp, 3);
    EXPECT_EQ(window->Registry.RootKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(window->Registry.Access(), static_cast<REGSAM>(KEY_READ));
    EXPECT_EQ(window->Registry.CurrentPath(), L"\\" + kSettings);
    EXPECT_EQ(window->Registry.ReadBool(L"FirstTime"), true);
}
