// The connection name, the interface name and the dial-up record of a window.
#include "support/FakePlatform.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kConnectionKeys =
    L"System\\ControlSet001\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";

void StoreConnectionName(const std::string& adapterName, const std::wstring& name) {
    std::wstring key =
        kConnectionKeys + std::wstring(adapterName.begin(), adapterName.end()) + L"\\Connection";
    HKEY h = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                                nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(h, L"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                     static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(h);
}

// Every case runs for an administrator on XP and for a standard user on Vista, who may
// read the connection's name but not change it.
class Naming : public ::testing::TestWithParam<fake::Rights> {
protected:
    bool StandardUser() const { return GetParam() == fake::Rights::StandardUser; }
    fake::FakePlatform fake{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Rights, Naming, ::testing::ValuesIn(fake::kEveryRights),
                         ::testing::PrintToStringParamName());

TEST_P(Naming, TheConnectionKeyNamesTheWindow) {
    DWORD index = fake.AddAdapter("Fast NIC");
    StoreConnectionName(fake.Adapter(index).name, L"本地连接");
    auto window = fake::BeginWindow();
    EXPECT_EQ(window->ConnectionName, L"本地连接");
    EXPECT_EQ(window->Caption(), L"本地连接 状态");
    EXPECT_EQ(window->AdapterId, L"{FAKE-2}");
    EXPECT_EQ(window->InterfaceName, L"\\DEVICE\\TCPIP_{FAKE-2}");
    EXPECT_EQ(window->Registry.CurrentPath(), L"\\Software\\Quorvel Software\\Tarvelo");
    EXPECT_EQ(window->Registry.RootKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(window->Registry.Access(), static_cast<REGSAM>(KEY_READ));
}

TEST_P(Naming, WithoutAConnectionKeyTheTypeGivesTheName) {
    struct Case {
        UINT type;
        const wchar_t* name;
    } cases[] = {{MIB_IF_TYPE_ETHERNET, L"Ethernet 适配器"},
                 {MIB_IF_TYPE_TOKENRING, L"Token Ring 适配器"},
                 {MIB_IF_TYPE_PPP, L"PPP 适配器"},
                 {71, L"Adapter"}};
    for (const Case& c : cases) {
        fake::FakePlatform machine;
        machine.AddAdapter("nic", c.type);
        auto window = fake::BeginWindow();
        EXPECT_EQ(window->ConnectionName, c.name);
    }
}

TEST_P(Naming, NT4CallsEveryAdapterTheSameAndNumbersTheSubkeys) {
    fake.Version() = platform::WindowsVersion::NT4();
    fake.AddAdapter("nic", 71);
    fake.AddAdapter("nic2");
    auto first = fake::BeginWindow(1);
    auto second = fake::BeginWindow(2);
    EXPECT_EQ(first->ConnectionName, L"以太网适配器");
    EXPECT_EQ(second->ConnectionName, L"以太网适配器");
    EXPECT_EQ(first->InterfaceName, L"0001");
    EXPECT_EQ(second->InterfaceName, L"0002");
}

TEST_P(Naming, QuestionMarkEmptyOrFailedInterfaceNamesFallBackToTheIndex) {
    DWORD index = fake.AddAdapter();
    fake.InterfaceNames = {{index, L"?????"}};
    EXPECT_EQ(fake::BeginWindow()->InterfaceName, std::to_wstring(index));

    fake.InterfaceNames = {{index, L""}};
    EXPECT_EQ(fake::BeginWindow()->InterfaceName, std::to_wstring(index));

    fake.InterfaceNames = {{index + 7, L"\\DEVICE\\OTHER"}};
    EXPECT_EQ(fake::BeginWindow()->InterfaceName, std::to_wstring(index));

    fake.InterfaceNames = {{index, L"\\DEVICE\\TCPIP_{X}"}};
    fake.InterfaceInfoError = ERROR_NOT_SUPPORTED;
    EXPECT_EQ(fake::BeginWindow()->InterfaceName, std::to_wstring(index));

    fake.InterfaceInfoSizeAnswer = ERROR_NOT_SUPPORTED;
    EXPECT_EQ(fake::BeginWindow()->InterfaceName, std::to_wstring(index));
}

TEST_P(Naming, OneDialUpConnectionOverAPppAdapterNamesTheWindowAndItsDevice) {
    fake.AddAdapter("WAN Miniport", MIB_IF_TYPE_PPP);
    fake.DialUpConnections = {fake::MakeDialUp("ISP E", "MODEM", "Standard 56K Modem")};
    auto window = fake::BeginWindow();
    ASSERT_TRUE(window->DialUpRecord.has_value());
    EXPECT_STREQ(window->DialUpRecord->szDeviceType, "Modem");
    EXPECT_EQ(window->ConnectionName, L"ISP E");
    EXPECT_EQ(window->Caption(), L"ISP E 状态");
    window->AssignLabels();
    EXPECT_EQ(window->Support.Label18.Caption(), L"Modem");
    EXPECT_EQ(window->Support.lbNicName.Caption(), L"Standard 56K Modem");
}

TEST_P(Naming, DeviceTypesAreNormalisedLetterByLetter) {
    fake.AddAdapter("WAN", MIB_IF_TYPE_PPP);
    fake.DialUpConnections = {fake::MakeDialUp("E", "VPN", "Tunnel")};
    EXPECT_STREQ(fake::BeginWindow()->DialUpRecord->szDeviceType, "Vpn");
    fake.DialUpConnections = {fake::MakeDialUp("E", "", "Tunnel")};
    EXPECT_STREQ(fake::BeginWindow()->DialUpRecord->szDeviceType, "");
}

TEST_P(Naming, NoDialUpTextsForTwoConnectionsASlipAdapterOrAMissingLibrary) {
    fake.AddAdapter("WAN", MIB_IF_TYPE_PPP);
    fake.DialUpConnections = {fake::MakeDialUp("A", "MODEM", "m1"), fake::MakeDialUp("B", "ISDN", "m2")};
    EXPECT_FALSE(fake::BeginWindow()->DialUpRecord.has_value());

    fake::FakePlatform slip;
    slip.AddAdapter("SLIP", MIB_IF_TYPE_SLIP);
    slip.DialUpConnections = {fake::MakeDialUp("A", "MODEM", "m1")};
    EXPECT_FALSE(fake::BeginWindow()->DialUpRecord.has_value());

    fake::FakePlatform missing;
    missing.AddAdapter("WAN", MIB_IF_TYPE_PPP);
    platform::dialUp().RasEnumConnectionsA = nullptr;
    auto window = fake::BeginWindow();
    EXPECT_FALSE(window->DialUpRecord.has_value());
    EXPECT_EQ(window->ConnectionName, L"PPP 适配器");
}

TEST_P(Naming, RenameWritesTheConnectionsNameOrSaysWhyNotAndShowsTheStoredName) {
    DWORD index = fake.AddAdapter();
    StoreConnectionName(fake.Adapter(index).name, L"旧名称");
    auto window = fake::BeginWindow();
    window->ConnectionName = L"用户输入";
    window->SetWindowTitle(window->ConnectionName);

    window->RenameConnection(L"新名称");

    settings::RegistryAccessor reader;
    reader.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reader.OpenKey(L"\\" + kConnectionKeys + L"{FAKE-2}\\Connection"));
    EXPECT_EQ(reader.ReadString(L"Name"), StandardUser() ? L"旧名称" : L"新名称");
    if (StandardUser()) {
        ASSERT_EQ(fake.MessageBoxes.size(), 1u);
        EXPECT_EQ(fake.MessageBoxes[0].text, L"Insufficient privledges or error writing to the Registry.");
        EXPECT_EQ(fake.MessageBoxes[0].caption, L"Error updating Name");
        EXPECT_EQ(fake.MessageBoxes[0].type, static_cast<UINT>(MB_ICONERROR | MB_OK));
        EXPECT_EQ(window->ConnectionName, L"旧名称");
        EXPECT_EQ(window->Caption(), L"旧名称 状态");
    } else {
        EXPECT_TRUE(fake.MessageBoxes.empty());
    }
    EXPECT_EQ(window->Registry.CurrentPath(), L"\\Software\\Quorvel Software\\Tarvelo");
    EXPECT_EQ(window->Registry.Access(), static_cast<REGSAM>(KEY_READ));
}

TEST_P(Naming, RenamingAnAdapterWithoutAConnectionKeyDoesNothing) {
    fake.AddAdapter();
    auto window = fake::BeginWindow();
    window->RenameConnection(L"新名称");
    EXPECT_TRUE(fake.MessageBoxes.empty());
    settings::RegistryAccessor reader;
    reader.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reader.KeyExists(L"\\" + kConnectionKeys + L"{FAKE-2}\\Connection"));
}

} // namespace
