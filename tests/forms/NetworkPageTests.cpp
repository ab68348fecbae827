// The Network page: providers, the browse of a scripted neighbourhood into the tree,
// superseded browses, and the context menu's actions.
#include "StatForm/NetworkBrowse.h"
#include "settings/RegistryAccessor.h"
#include "support/FakePlatform.h"
#include "support/Windows.h"
#include "widgets/Application.h"
#include "widgets/Mailbox.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

using ::testing::ElementsAre;
using Node = widgets::TreeView::Node;

namespace {

constexpr wchar_t kLanProvider[] = L"Microsoft Windows Network";
constexpr wchar_t kOtherProvider[] = L"Other Network";

fake::NetEntry Container(const std::wstring& remote, DWORD displayType) {
    return {RESOURCETYPE_ANY, displayType, RESOURCEUSAGE_CONTAINER, remote, kLanProvider, std::nullopt};
}
fake::NetEntry Share(const std::wstring& remote, DWORD type) {
    return {type, RESOURCEDISPLAYTYPE_SHARE, RESOURCEUSAGE_CONNECTABLE, remote, kLanProvider, L"note"};
}

// One provider with the workgroup WORKGROUP: PC1 shares docs (disk) and laser (printer),
// PC2 shares data.
void ScriptWorkgroup(fake::FakeNetwork& net) {
    net.Providers[WNNC_NET_LANMAN] = kLanProvider;
    net.Containers[kLanProvider] = {
        NO_ERROR, NO_ERROR, {Container(L"WORKGROUP", RESOURCEDISPLAYTYPE_DOMAIN)}};
    net.Containers[L"WORKGROUP"] = {NO_ERROR,
                                    NO_ERROR,
                                    {Container(L"\\\\PC1", RESOURCEDISPLAYTYPE_SERVER),
                                     Container(L"\\\\PC2", RESOURCEDISPLAYTYPE_SERVER)}};
    net.Containers[L"\\\\PC1"] = {
        NO_ERROR,
        NO_ERROR,
        {Share(L"\\\\PC1\\docs", RESOURCETYPE_DISK), Share(L"\\\\PC1\\laser", RESOURCETYPE_PRINT)}};
    net.Containers[L"\\\\PC2"] = {NO_ERROR, NO_ERROR, {Share(L"\\\\PC2\\data", RESOURCETYPE_DISK)}};
    net.Information[kLanProvider] = {NO_ERROR, static_cast<WORD>(WNNC_NET_LANMAN >> 16), NO_ERROR};
}

// What a node shows: its text, picture and depth, in tree order.
struct Shown {
    std::wstring text;
    int image;
    int depth;
    bool operator==(const Shown&) const = default;
    friend void PrintTo(const Shown& s, std::ostream* os) {
        *os << std::string(s.text.begin(), s.text.end()) << "/" << s.image << "/" << s.depth;
    }
};

std::vector<Shown> ShownTree(const widgets::TreeView& tree) {
    std::vector<Shown> out;
    for (Node node : tree.Nodes()) {
        int depth = 0;
        for (Node up = tree.Parent(node); up != widgets::TreeView::kNone; up = tree.Parent(up))
            ++depth;
        out.push_back({tree.Text(node), tree.Image(node), depth});
    }
    return out;
}

const std::vector<Shown> kWorkgroupTree{{kLanProvider, -1, 0},
                                        {L"WORKGROUP", 1, 1},
                                        {L"PC1", 2, 2},
                                        {L"PC1", 2, 3},
                                        {L"docs", 3, 4},
                                        {L"laser", 4, 4},
                                        {L"PC2", 2, 3},
                                        {L"data", 3, 4},
                                        {L"网络信息", 5, 1},
                                        {L"网络类型: LAN Manager", 5, 2},
                                        {L"网络类型: 网络允许正常。", 5, 2}};

// The node reached by following texts from the top.
Node Path(const widgets::TreeView& tree, std::initializer_list<std::wstring> texts) {
    Node at = widgets::TreeView::kNone;
    for (const std::wstring& text : texts) {
        Node found = widgets::TreeView::kNone;
        for (Node child : tree.Children(at))
            if (tree.Text(child) == text) {
                found = child;
                break;
            }
        if (found == widgets::TreeView::kNone)
            return found;
        at = found;
    }
    return at;
}

class NetworkPageTest : public ::testing::Test {
protected:
    NetworkPageTest() { fake.AddAdapter("Ethernet"); }

    // Shows the page as the user would and waits for the browse to end.
    void ShowAndBrowse() {
        window->PageControl1.SetActivePage(window->tsNetwork);
        ASSERT_TRUE(WaitForBrowse());
    }
    // The browse's worker done, then everything it posted taken: its last letter ends it.
    bool WaitForBrowse() {
        if (const widgets::Worker* worker = window->Network.TMyThread.get())
            if (!worker->WaitDone(kLongest))
                return false;
        TakeLetters();
        return !window->Network.TMyThread;
    }
    // The window takes every letter that waits in its mailbox (each one posted wakes it).
    void TakeLetters() {
        do
            widgets::Application::Instance().ProcessMessages();
        while (window->Network.BrowseMail.Waiting() > 0);
    }
    static constexpr std::chrono::seconds kLongest{10};
    const widgets::TreeView& Tree() const { return window->Network.tbNetwork; }
    void OpenPopupOn(std::initializer_list<std::wstring> path) {
        Node node = Path(Tree(), path);
        ASSERT_NE(node, widgets::TreeView::kNone);
        window->Network.tbNetwork.Select(node);
        window->NetworkPopupPopup();
    }
    struct MenuState {
        bool exploreEnabled, exploreVisible, mapEnabled, mapVisible, printerEnabled, printerVisible;
        bool operator==(const MenuState&) const = default;
    };
    MenuState Menu() const {
        const NetworkPage& page = window->Network;
        return {page.Explore1.Enabled(),         page.Explore1.Visible(),
                page.MapNetworkDrive1.Enabled(), page.MapNetworkDrive1.Visible(),
                page.ConnectPrinter1.Enabled(),  page.ConnectPrinter1.Visible()};
    }

    fake::FakePlatform fake;
    std::unique_ptr<TStatsForm> window;
};

} // namespace

TEST(ShortResourceName, KeepsOneComponentOfAName) {
    struct Case {
        const wchar_t* text;
        const wchar_t* before;
        const wchar_t* after;
    };
    const Case cases[] = {
        {L"\\\\PC1\\docs", L"PC1", L"docs"},
        {L"\\\\PC1", L"PC1", L"PC1"},
        {L"WORKGROUP", L"WORKGROUP", L"WORKGROUP"},
        {nullptr, L"", L""},
        {L"a\\\\b\\c", L"ab", L"c"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShortResourceName(c.text, NamePart::Before), c.before);
        EXPECT_EQ(ShortResourceName(c.text, NamePart::After), c.after);
    }
}

TEST(NetworkTypes, NamesByKeyAndTheProbeOrder) {
    EXPECT_STREQ(NetworkTypeName(0x0001), L"Microsoft Network");
    EXPECT_STREQ(NetworkTypeName(0x0027), L"3 in 1");
    EXPECT_EQ(NetworkTypeName(0x0028), nullptr);
    EXPECT_STREQ(NetworkTypeName(0x0029), L"Extend Net");
    EXPECT_STREQ(NetworkTypeName(0x0036), L"Terminal Server");
    EXPECT_STREQ(NetworkTypeName(0xFFFF), L"Manager");
    EXPECT_EQ(NetworkTypeName(0x0037), nullptr);
    EXPECT_EQ(NetworkTypeText(0x0028), L"网络类型: 未知网络类型");

    EXPECT_EQ(ProviderProbeTypes.front(), WNNC_NET_MSNET);
    EXPECT_EQ(ProviderProbeTypes[28], 0x001Du << 16);
    EXPECT_EQ(ProviderProbeTypes[29], 0x0020u << 16);
    EXPECT_EQ(ProviderProbeTypes[37], 0x0029u << 16);
    EXPECT_EQ(ProviderProbeTypes[38], 0x0030u << 16);
    EXPECT_EQ(ProviderProbeTypes[42], 0x0034u << 16);
    EXPECT_EQ(ProviderProbeTypes.back(), WNNC_CRED_MANAGER);
}

TEST(BrowsePlan, TheWorkgroupExampleAsLetters) {
    fake::FakeNetwork net;
    ScriptWorkgroup(net);
    enum class K { Begin, Status, HideStatus, Node, Finished };
    struct Planned {
        K kind;
        std::wstring text;
        int node = 0, parent = 0, image = -1;
        std::optional<std::wstring> remote;
        bool operator==(const Planned&) const = default;
    };
    std::vector<Planned> plan;
    BrowsePost post = [&plan](std::unique_ptr<BrowseLetter> l) {
        plan.push_back(std::visit(
            widgets::Overloaded{[](const BrowseBegin& b) {
                                    return Planned{K::Begin, b.text};
                                },
                                [](const BrowseStatus& s) {
                                    return Planned{K::Status, s.text};
                                },
                                [](const BrowseHideStatus&) { return Planned{K::HideStatus}; },
                                [](const BrowseNode& n) {
                                    std::optional<std::wstring> remote;
                                    if (n.resource)
                                        remote = n.resource->lpRemoteName.value_or(L"?");
                                    return Planned{K::Node, n.text, n.node, n.parent, n.image, remote};
                                },
                                [](const BrowseFinished&) { return Planned{K::Finished}; }},
            *l));
        return true;
    };
    RunBrowse(platform::network(), MakeBrowseRoot(kLanProvider), post, std::stop_token());

    EXPECT_THAT(
        plan,
        ElementsAre(
            Planned{K::Begin, L"正在搜索网络...", 0, 0, -1, {}}, Planned{K::Node, kLanProvider, 1, 0, -1, {}},
            Planned{K::Node, L"WORKGROUP", 2, 1, 1, {}}, Planned{K::Node, L"PC1", 3, 2, 2, {}},
            Planned{K::Node, L"PC1", 4, 3, 2, {}}, Planned{K::Node, L"docs", 5, 4, 3, L"\\\\PC1\\docs"},
            Planned{K::Node, L"laser", 6, 4, 4, L"\\\\PC1\\laser"}, Planned{K::Node, L"PC2", 7, 3, 2, {}},
            Planned{K::Node, L"data", 8, 7, 3, L"\\\\PC2\\data"}, Planned{K::HideStatus, L"", 0, 0, -1, {}},
            Planned{K::Node, L"网络信息", 9, 1, 5, {}},
            Planned{K::Node, L"网络类型: LAN Manager", 10, 9, 5, {}},
            Planned{K::Node, L"网络类型: 网络允许正常。", 11, 9, 5, {}},
            Planned{K::Finished, L"", 0, 0, -1, {}}));
    EXPECT_EQ(net.OpenEnumerations(), 4);
    EXPECT_EQ(net.ClosedEnumerations(), 4);
}

TEST_F(NetworkPageTest, TheWorkgroupBecomesATreeWhoseLeavesCarryTheirRecords) {
    ScriptWorkgroup(fake);
    window = fake::BeginWindow();
    EXPECT_TRUE(Tree().Empty()); // nothing is browsed before the page shows
    EXPECT_EQ(fake.OpenEnumerations(), 0);
    ASSERT_EQ(window->Network.cbNetworkList.Count(), 1);
    EXPECT_EQ(window->Network.cbNetworkList.Text(), kLanProvider);

    ShowAndBrowse();
    EXPECT_EQ(ShownTree(Tree()), kWorkgroupTree);
    EXPECT_FALSE(window->Network.lbNetStat.Visible());
    EXPECT_TRUE(window->Network.cbNetworkList.Enabled());

    auto* docs = reinterpret_cast<const NodeResource*>(
        Tree().Data(Path(Tree(), {kLanProvider, L"WORKGROUP", L"PC1", L"PC1", L"docs"})));
    ASSERT_NE(docs, nullptr);
    EXPECT_EQ(docs->lpRemoteName, L"\\\\PC1\\docs");
    EXPECT_EQ(docs->lpComment, L"note");
    EXPECT_EQ(docs->lpProvider, kLanProvider);
    EXPECT_EQ(docs->lpLocalName, std::nullopt);
    EXPECT_EQ(docs->dwType, static_cast<DWORD>(RESOURCETYPE_DISK));
    EXPECT_EQ(Tree().Data(Path(Tree(), {kLanProvider, L"WORKGROUP", L"PC1"})), 0);

    // Showing the page again, with a tree there, browses nothing.
    int opened = fake.OpenEnumerations();
    window->PageControl1.SetActivePage(window->tsGeneral);
    window->PageControl1.SetActivePage(window->tsNetwork);
    EXPECT_FALSE(window->Network.TMyThread);
    TakeLetters();
    EXPECT_EQ(fake.OpenEnumerations(), opened);
    EXPECT_EQ(ShownTree(Tree()), kWorkgroupTree);
}

TEST_F(NetworkPageTest, AnEmptyContainerAddsNoNode) {
    ScriptWorkgroup(fake);
    fake.Containers[L"\\\\PC2"].entries.clear();
    window = fake::BeginWindow();
    ShowAndBrowse();
    Node computers = Path(Tree(), {kLanProvider, L"WORKGROUP", L"PC1"});
    ASSERT_NE(computers, widgets::TreeView::kNone);
    ASSERT_EQ(Tree().Children(computers).size(), 1u);
    EXPECT_EQ(Tree().Text(Tree().Children(computers)[0]), L"PC1");
}

TEST_F(NetworkPageTest, TheInformationBranchForKnownAndUnknownTypesAndStatuses) {
    struct Case {
        std::optional<fake::NetInformation> info;
        std::vector<std::wstring> texts; // empty: no branch
    };
    const Case cases[] = {
        {fake::NetInformation{NO_ERROR, 0xFFFF, ERROR_BUSY},
         {L"网络信息", L"网络类型: Manager", L"网络类型: 网络忙。"}},
        {fake::NetInformation{NO_ERROR, 0x0028, ERROR_NO_NETWORK},
         {L"网络信息", L"网络类型: 未知网络类型", L"网络类型: 网络不可用。"}},
        {fake::NetInformation{NO_ERROR, 0x0001, 5},
         {L"网络信息", L"网络类型: Microsoft Network", L"网络类型: "}},
        {fake::NetInformation{ERROR_NO_NETWORK, 0x0001, NO_ERROR}, {}},
        {std::nullopt, {}},
    };
    ScriptWorkgroup(fake);
    for (const Case& c : cases) {
        fake.Information.clear();
        if (c.info)
            fake.Information[kLanProvider] = *c.info;
        window = fake::BeginWindow();
        ShowAndBrowse();
        std::vector<std::wstring> texts;
        if (Node branch = Path(Tree(), {kLanProvider, L"网络信息"})) {
            texts.push_back(Tree().Text(branch));
            for (Node child : Tree().Children(branch))
                texts.push_back(Tree().Text(child));
        }
        EXPECT_EQ(texts, c.texts);
        window.reset();
    }
}

TEST_F(NetworkPageTest, WithoutAProviderTheListSaysSoAndStaysDisabled) {
    window = fake::BeginWindow();
    ASSERT_EQ(window->Network.cbNetworkList.Count(), 1);
    EXPECT_EQ(window->Network.cbNetworkList.Text(), L"找不到网络信息。");
    EXPECT_FALSE(window->Network.cbNetworkList.Enabled());

    ShowAndBrowse();
    EXPECT_THAT(ShownTree(Tree()), ElementsAre(Shown{L"找不到网络信息。", -1, 0}));
    EXPECT_FALSE(window->Network.cbNetworkList.Enabled());
    EXPECT_FALSE(window->Network.lbNetStat.Visible());
}

TEST_F(NetworkPageTest, AFailingEnumerationShowsItsTextWhileTheBrowseGoesOn) {
    ScriptWorkgroup(fake);
    fake.Containers[kLanProvider].entries = {Container(L"WORKGROUP", RESOURCEDISPLAYTYPE_DOMAIN),
                                             Container(L"OTHER", RESOURCEDISPLAYTYPE_DOMAIN),
                                             Container(L"THIRD", RESOURCEDISPLAYTYPE_DOMAIN)};
    fake.Containers[L"WORKGROUP"].openError = ERROR_NO_NETWORK;
    fake.Containers[L"OTHER"].openError = ERROR_EXTENDED_ERROR;
    fake.Containers[L"THIRD"] = {};
    fake.LastErrorText = L"服务器没有响应";
    window = fake::BeginWindow();

    fake.Hold(L"OTHER");
    window->PageControl1.SetActivePage(window->tsNetwork);
    ASSERT_TRUE(fake.WaitForHolds(1));
    TakeLetters();
    EXPECT_TRUE(window->Network.lbNetStat.Visible());
    EXPECT_EQ(window->Network.lbNetStat.Caption(), L"网络不可用。");

    fake.Hold(L"THIRD");
    ASSERT_TRUE(fake.WaitForHolds(2));
    TakeLetters();
    EXPECT_EQ(window->Network.lbNetStat.Caption(), L"服务器没有响应");
    fake.Release();
    ASSERT_TRUE(WaitForBrowse());

    EXPECT_FALSE(window->Network.lbNetStat.Visible());
    Node level = Path(Tree(), {kLanProvider, L"WORKGROUP"});
    ASSERT_NE(level, widgets::TreeView::kNone);
    EXPECT_TRUE(Tree().Children(level).empty());
}

TEST_F(NetworkPageTest, ASecondBrowseSupersedesTheOneStillRunning) {
    ScriptWorkgroup(fake);
    fake.Providers[WNNC_NET_NETWARE] = kOtherProvider;
    fake.Containers[kOtherProvider] = {NO_ERROR, NO_ERROR, {Share(L"\\\\SRV\\pub", RESOURCETYPE_DISK)}};
    window = fake::BeginWindow();
    ASSERT_EQ(window->Network.cbNetworkList.Count(), 2);

    fake.Hold(L"\\\\PC1");
    window->PageControl1.SetActivePage(window->tsNetwork);
    ASSERT_TRUE(fake.WaitForHolds(1));
    TakeLetters(); // the first browse's first nodes reach the tree

    window->Network.cbNetworkList.SetItemIndex(1);
    window->cbNetworkListChange();
    ASSERT_TRUE(WaitForBrowse());
    fake.Release();
    for (const auto& retired : window->Network.RetiredBrowses)
        ASSERT_TRUE(retired->WaitDone(kLongest));
    TakeLetters();

    EXPECT_THAT(ShownTree(Tree()),
                ElementsAre(Shown{kOtherProvider, -1, 0}, Shown{L"SRV", 2, 1}, Shown{L"pub", 3, 2}));
    EXPECT_EQ(window->Network.NodeResources.size(), 1u);
    EXPECT_EQ(window->Network.BrowseRoot->lpProvider, kOtherProvider);
}

TEST_F(NetworkPageTest, ADiskShareOffersExploreAndMapDrive) {
    ScriptWorkgroup(fake);
    window = fake::BeginWindow();
    ShowAndBrowse();
    OpenPopupOn({kLanProvider, L"WORKGROUP", L"PC1", L"PC1", L"docs"});
    EXPECT_EQ(Menu(), (MenuState{true, true, true, true, true, false}));
    // Explore, map and connect show pictures 5, 4 and 8 of the menu images.
    const auto& entries = window->Network.NetworkPopup.Entries();
    for (auto [entry, picture] : {std::pair{0u, 5}, std::pair{2u, 4}, std::pair{3u, 8}}) {
        EXPECT_NE(entries.at(entry).picture, nullptr) << entry;
        EXPECT_EQ(entries.at(entry).picture, window->ilMenuImages.Bitmap(picture)) << entry;
    }

    window->Explore1Click();
    HWND app = widgets::Application::Instance().Handle();
    ASSERT_EQ(fake.ShellExecutes.size(), 1u);
    EXPECT_EQ(fake.ShellExecutes[0].owner, app);
    EXPECT_EQ(fake.ShellExecutes[0].verb, L"open");
    EXPECT_EQ(fake.ShellExecutes[0].file, L"\\\\PC1\\docs");

    window->MapNetworkDrive1Click();
    ASSERT_EQ(fake.ConnectDialogs.size(), 1u);
    const fake::ConnectDialogCall& dialog = fake.ConnectDialogs[0];
    EXPECT_EQ(dialog.size, sizeof(CONNECTDLGSTRUCTW)) << "20 bytes on 32-bit Windows";
    EXPECT_EQ(dialog.owner, app);
    EXPECT_EQ(dialog.flags, static_cast<DWORD>(CONNDLG_USE_MRU | CONNDLG_NOT_PERSIST));
    EXPECT_EQ(dialog.devNum, 0u);
    EXPECT_EQ(dialog.remote, L"\\\\PC1\\docs");
}

TEST_F(NetworkPageTest, APrinterShareOffersConnectPrinterWhoseHandleIsClosedAtOnce) {
    ScriptWorkgroup(fake);
    window = fake::BeginWindow();
    ShowAndBrowse();
    OpenPopupOn({kLanProvider, L"WORKGROUP", L"PC1", L"PC1", L"laser"});
    EXPECT_EQ(Menu(), (MenuState{false, true, true, false, true, true}));

    window->ConnectPrinter1Click(); // cancelled: nothing to close
    EXPECT_TRUE(fake.ClosedPrinters.empty());
    fake.PrinterAnswer = reinterpret_cast<HANDLE>(0x4321);
    window->ConnectPrinter1Click();
    EXPECT_EQ(fake.PrinterDialogs, 2);
    EXPECT_THAT(fake.ClosedPrinters, ElementsAre(reinterpret_cast<HANDLE>(0x4321)));
}

TEST_F(NetworkPageTest, ALevelNodeOffersOnlyADisabledExplore) {
    ScriptWorkgroup(fake);
    window = fake::BeginWindow();
    window->MapNetworkDrive1Click(); // before any browse: nothing
    EXPECT_TRUE(fake.ConnectDialogs.empty());
    ShowAndBrowse();
    OpenPopupOn({kLanProvider, L"WORKGROUP"});
    EXPECT_EQ(Menu(), (MenuState{false, true, true, false, true, false}));
    window->Explore1Click();
    EXPECT_TRUE(fake.ShellExecutes.empty());
}

TEST_F(NetworkPageTest, ThePolicyDisablesMapAndPrinterWhateverTheSetting) {
    ScriptWorkgroup(fake);
    {
        settings::RegistryAccessor policy;
        ASSERT_TRUE(policy.CreateKey(L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer"));
        ASSERT_TRUE(policy.WriteInteger(L"NoNetConnectDisconnect", 1));
    }
    // The second round as a standard user, to whom the policy is read-only.
    for (bool standardUser : {false, true}) {
        if (standardUser)
            fake.BecomeStandardUser();
        for (bool ignore : {false, true}) {
            window = fake::BeginWindow();
            window->DisplaySettings.IgnoreSystemPolicies = ignore;
            ShowAndBrowse();
            OpenPopupOn({kLanProvider, L"WORKGROUP", L"PC1", L"PC1", L"laser"});
            EXPECT_EQ(Menu(), (MenuState{true, true, false, true, false, false})) << ignore << standardUser;
            EXPECT_EQ(window->Registry.CurrentPath(), settings::kSettingsKey);
            window.reset();
        }
    }
}

TEST_F(NetworkPageTest, WithThePolicyOffAndIgnoredTheMenuKeepsItsState) {
    ScriptWorkgroup(fake);
    window = fake::BeginWindow();
    window->DisplaySettings.IgnoreSystemPolicies = true;
    ShowAndBrowse();
    OpenPopupOn({kLanProvider, L"WORKGROUP", L"PC1", L"PC1", L"laser"});
    EXPECT_EQ(Menu(), (MenuState{true, true, true, true, true, false}));
    EXPECT_EQ(window->Network.SelectedResource, nullptr);
}
