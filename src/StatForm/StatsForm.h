#pragma once
#include "app/Sampler.h"
#include "kvPlug/PluginHost.h"
#include "platform/DialUp.h"
#include "platform/Win32.h"
#include "StatForm/Counting.h"
#include "StatForm/Pages.h"
#include "StatForm/resource.h"
#include "settings/DisplaySettings.h"
#include "settings/RegistryAccessor.h"
#include "settings/Settings.h"
#include "TmChart/TimeChart.h"
#include "UsageHistory/HistoryFile.h"
#include "UsageHistory/Quota.h"
#include "widgets/ColorBox.h"
#include "widgets/Controls.h"
#include "widgets/Form.h"
#include "widgets/ImageList.h"
#include "widgets/Menu.h"
#include "widgets/Timer.h"
#include "widgets/ToolWindows.h"
#include "widgets/TrayIcon.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class TFrmTraceRt;

// The status window of one network interface: it owns everything about that
// interface for the whole life of the program.
class TStatsForm : public widgets::Form {
public:
    TStatsForm();
    ~TStatsForm() override;

    // --- Program-wide links -------------------------------------------------------
    std::uint32_t Ordinal = 0;
    std::function<void()> ShutDownAll;
    std::function<void()> AddNewWindows;
    bool Closing = false;
    // The start sequence ran to its end: the window's settings are loaded.
    bool Begun = false;
    // Where the window's ticks get the machine's figures: the program's shared sampler,
    // or one of its own for a window made alone.
    std::shared_ptr<app::Sampler> Samples = std::make_shared<app::Sampler>();

    // --- The interface -----------------------------------------------------------
    // InterfaceIndex and FriendlyIndex stay side by side: the plug-in data callback
    // hands out the address of the first as the pair.
    DWORD InterfaceIndex = 0;
    DWORD FriendlyIndex = 0;
    bool Bound = false;

    std::wstring InterfaceName;
    std::wstring AdapterId;
    std::wstring ConnectionName;
    std::optional<platform::RasConnRecord> DialUpRecord;

    FIXED_INFO NetworkParams{};
    std::vector<BYTE> NetworkParamsBuffer;
    IP_ADAPTER_INFO AdapterInfo{};
    // The window's own copy of the adapter's address chain; AdapterInfo links into it.
    std::vector<IP_ADDR_STRING> AddressChain;
    bool IpHelperSupported = true;

    MIB_TCPSTATS TcpStats{};
    MIB_IPSTATS IpStats{};
    MIB_UDPSTATS UdpStats{};
    MIB_ICMP IcmpStats{};

    MIB_IFROW IfRow{};
    // Where the system has the 64-bit interface table, the window's row of it: the byte
    // totals come from its counters, which do not wrap. Decided when the window binds.
    bool WideCounting = false;
    MIB_IF_ROW2 WideRow{};

    // --- Counters ------------------------------------------------------------------
    std::uint32_t PrevSentOctets = 0;
    std::uint32_t PrevReceivedOctets = 0;
    std::uint16_t SentWraps = 0;
    std::uint16_t ReceivedWraps = 0;
    std::int64_t SentTotal = 0;
    std::int64_t ReceivedTotal = 0;
    std::uint32_t SentPackets = 0;
    std::uint32_t ReceivedPackets = 0;
    std::int64_t SentBytesBase = 0;
    std::int64_t ReceivedBytesBase = 0;
    std::uint32_t SentPacketsBase = 0;
    std::uint32_t ReceivedPacketsBase = 0;
    std::uint32_t SentDelta = 0;
    std::uint32_t ReceivedDelta = 0;
    // The counting of each direction (Counting.h), over the figures above.
    counting::Direction SentCounting{{PrevSentOctets, SentWraps, SentBytesBase, SentTotal, SentDelta}};
    counting::Direction ReceivedCounting{
        {PrevReceivedOctets, ReceivedWraps, ReceivedBytesBase, ReceivedTotal, ReceivedDelta}};
    // The bytes the interface counted in the latest tick (none on the first): what the
    // usage history adds up. The reset button leaves them alone.
    std::uint64_t TickReceivedBytes = 0;
    std::uint64_t TickSentBytes = 0;
    double StartTime = 0;
    bool FirstUpdate = false;
    bool FirstSample = false;
    bool MediaDisconnected = false;
    std::uint8_t IconOffset = 0;
    bool BeganWithAddress = false;
    std::uint8_t ActivityState = 0;

    TDisplaySettings DisplaySettings;
    settings::RegistryAccessor Registry;

    // --- Controls ------------------------------------------------------------------
    widgets::PageControl PageControl1{*this, IDC_PageControl1};
    widgets::TabSheet tsGeneral{PageControl1, IDD_tsGeneral, 0};
    widgets::TabSheet tsSupport{PageControl1, IDD_tsSupport, 1};
    widgets::TabSheet tsDetails{PageControl1, IDD_tsDetails, 2};
    widgets::TabSheet tsNetwork{PageControl1, IDD_tsNetwork, 3};
    widgets::TabSheet tsUsage{PageControl1, IDD_tsUsage, 4};
    widgets::TabSheet tsConnect{PageControl1, IDD_tsConnect, 5};
    widgets::Button Button1{*this, IDC_Button1};
    widgets::ProgressBar MainProg{*this, IDC_MainProg};

    GeneralPage General{*this};
    SupportPage Support{*this};
    DetailsPage Details{*this};
    NetworkPage Network{*this};
    UsagePage Usage{*this};
    ConnectionsPage Connections{*this};

    widgets::Timer Timer1{*this, 2000};
    widgets::Timer Timer2{*this, 1000};

    // Tray icon and its menu
    widgets::TrayIcon TrayIcon{*this};
    widgets::PopupMenu PopupMenu1{*this, IDM_PopupMenu1};
    widgets::MenuItem miStatusBalloon{PopupMenu1, IDM_miStatusBalloon};
    widgets::MenuItem About1{PopupMenu1, IDM_About1};
    widgets::MenuItem Exit1{PopupMenu1, IDM_Exit1};
    widgets::MenuItem N2{PopupMenu1, IDM_N2};
    widgets::MenuItem Hide1{PopupMenu1, IDM_Hide1};
    widgets::MenuItem N1{PopupMenu1, IDM_N1};
    widgets::MenuItem OpenNetConnection1{PopupMenu1, IDM_OpenNetConnection1};

    widgets::ImageList ImageList1;    // activity pictures, 32 x 32 at 96 pixels per inch
    widgets::ImageList ImageList2;    // 16 x 16 tray icons
    widgets::BitmapList ilMenuImages; // pictures of the tray menu and the browse tree's menu

    // The tool windows it opened; they go with it at the latest.
    widgets::ToolWindows ToolForms;

    // --- Lifecycle -----------------------------------------------------------------
    void BeginForm(bool first);
    void StartForm();
    void SetupForWinVer();
    void Timer1Timer();
    void Timer2Timer();
    void FormShow();
    void FormHide();
    void FormCloseQuery(bool& canClose);
    void Button1Click();
    void ShutDown();
    void FormDestroy();
    // Starts the window's clocks afresh, so that the clocks of windows aligned together
    // run in step and wake the program once a period, not once a window.
    void AlignClocks();
    void LockTrayMenu();
    void UnlockTrayMenu();
    virtual void TraceHook(const std::wstring& label);

    // --- Names -------------------------------------------------------------------
    // The connection's name and the window's title, from the stored name or the dial-up
    // connection that stands in for the adapter.
    void TakeNames();
    void GetAdapterNetworkName();
    void GetRasInformation();
    void SetWindowTitle(const std::wstring& name);
    void RenameConnection(const std::wstring& newName);

    // --- Counters and the General page ------------------------------------------
    bool RefreshIfRow(bool bind);
    // Finds the window's interface; a window that cannot yet tries again on its ticks.
    bool BindInterface();
    // What the start sequence took from the interface, for a window that found it later.
    void TakeInterface();
    // Counts the row's bytes of both directions (sent, received) without showing them.
    std::pair<counting::Tick, counting::Tick> CountBytes();
    void UpdateGeneral();
    bool IsConnected() const;
    // The link speed in bit/s: the 64-bit figure where it says more than dwSpeed can.
    std::uint64_t LinkSpeed() const;
    void ShowDuration();
    void SetActivityImage(int state);
    void Button3Click();
    void RestoreTotals();
    // The hidden Ctrl+Shift click on a byte label that corrects its wrap count.
    void CorrectWraps(bool sentSide, UINT button, WPARAM keys);

    // --- Support page ---------------------------------------------------------------
    void GetAdapterInfo();
    void AssignLabels();
    void SelectAddress();
    void cbIPChange();
    void btnRelClick();
    void btnRenClick();
    void btnCommandsClick();
    void ShowNtOnlyNotice();
    // The details window and the ARP table (DetailTools.cpp).
    void WireDetailTools();
    void btnDetailsClick();
    void AddARPEntry1Click();

    // --- Tray ----------------------------------------------------------------------
    void TrayPresenceRule();

    // --- Operations of the other concerns, called from the lifecycle ------------
    void ClearChart();
    void ShowStatistics();
    void DisableLookups();
    void UpdateUsage();
    void SetChartEnabled(bool on);
    // Usage page: its design state and handlers (Usage.cpp).
    void CreateUsagePage();
    void tsUsageShow();
    void tsUsageHide();
    void cbShowDLClick();
    void cbShowULClick();
    void cbDLColorChange();
    void cbULColorChange();
    // Connections page (Connections.cpp) and the address lookups on it (Lookups.cpp).
    void CreateConnectionsPage();
    void tsConnectShow();
    void lvConnectionsColumnClick(int column);
    int lvConnectionsCompare(const widgets::ListView::Row& a, const widgets::ListView::Row& b) const;
    void PopupMenu2Popup();
    // The attached remote-address word of the selected row (the first, if several).
    DWORD SelectedRemoteAddress() const;
    // One IPv4 row selected and a whole probe library: what the trace route needs.
    bool TraceRouteAvailable() const;
    void TraceRoute1Click();
    void LookupIP1Click();
    void ReverseLookupIPs1Click();
    // Network page: browse tree and its actions (Network.cpp, NetworkActions.cpp).
    void WireNetworkPage();
    void GetNetworkList();
    void cbNetworkListChange();
    void tsNetworkShow();
    void StartBrowse();
    void ReceiveBrowse(std::unique_ptr<BrowseLetter> letter);
    void StopBrowses();
    void tbNetworkMouseDown(UINT button, POINT at);
    void ReleaseNodeResources();
    void NetworkPopupPopup();
    void Explore1Click();
    void MapNetworkDrive1Click();
    void ConnectPrinter1Click();
    virtual void CheckFirstTime();
    virtual void LoadSettings();
    virtual void SaveSettings();
    void LoadPlugins();
    void UnloadPlugins();
    // Plug-ins (Plugins.cpp): the command of the plug-in at a position of PluginList,
    // and the answers of the data callback while this window is the latest.
    void PluginClick(std::size_t tag);
    bool AnswerPlugin(DWORD code, KvPlugValue& value);
    kvplug::PluginHost Plugins;
    std::vector<widgets::MenuItem*> PluginItems;
    std::string PluginInterfaceName;
    std::string PluginConnectionName;
    kvplug::LatestWindow PluginAnswer{
        [this](DWORD code, KvPlugValue& value) { return AnswerPlugin(code, value); }};
    void FetchStatistics();
    void TrayIconClick();
    void miStatusBalloonClick();
    void Exit1Click();

    // --- Trace route (TraceRoute.cpp) ---------------------------------------------
    // The trace route windows opened from this window, which go with it at the latest.
    widgets::ToolWindows TraceWindows;
    // Opens a trace route window to the address (network order) and starts its trace.
    TFrmTraceRt& OpenTraceRoute(DWORD targetAddress);
    // --- Options, about box and first run ------------------------------------------
    void AdapterOptions1Click();
    void About1Click();
    void OpenNetConnection1Click();
    void SetupFirstTime();
    // The about box while it is open.
    widgets::ToolWindows AboutBoxes;

    // --- Usage history and the monthly limit (History.cpp) -------------------------
    // The interface's history, from when the window knows its adapter, and the limit read
    // with the settings; both shared with the history window.
    std::shared_ptr<usage::InterfaceHistory> History;
    std::shared_ptr<usage::QuotaSettings> Quota = std::make_shared<usage::QuotaSettings>();
    // The history window while it is open.
    widgets::ToolWindows HistoryWindows;
    void StartHistory();
    // A tick's bytes to the history, then the limit's alerts and the open history window.
    void TickHistory();
    void CheckQuotaAlert();
    // Writes what the history gained since its last write (every stop).
    void FlushHistory();
    void RenameHistory();
    void UsageHistory1Click();

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void EscapePressed() override { Button1Click(); }

private:
    std::wstring ConnectionKey() const;
    void WriteSettings(settings::FirstFailure& failure);
    std::wstring FindInterfaceName() const;
    void ReleaseOrRenew(const wchar_t* progressText, bool release);
    void FormCreate() override;
    void WireEvents();
    void LayoutPages();
};

// The stop request that other programs send to a status window.
inline constexpr UINT kShutDownMessage = 0x2C;
