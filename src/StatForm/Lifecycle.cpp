// The status window's life: creation, the start sequence, the two timers, showing,
// closing and destruction.
#include "StatForm/StatsForm.h"
#include "platform/Buffers.h"
#include "platform/Display.h"
#include "platform/IpHelper.h"
#include "platform/Kernel.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "res/resource.h"
#include "widgets/Application.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int kClientWidth = 338;
constexpr int kClientHeight = 319;
constexpr int kRelRenTextWidth = 317;
#ifndef _WIN64
static_assert(sizeof(FIXED_INFO) == 584);
#endif
} // namespace

TStatsForm::TStatsForm()
    : Form(L"TStatsForm", IDD_TStatsForm, {kClientWidth, kClientHeight}),
      ImageList1({IDI_ACT0, IDI_ACT1, IDI_ACT2, IDI_ACT3, IDI_ACT4, IDI_ACT5, IDI_ACT6, IDI_ACT7, IDI_ACT8},
                 widgets::ScalePixels(32)),
      ImageList2({IDI_TRAY0, IDI_TRAY1, IDI_TRAY2, IDI_TRAY3, IDI_TRAY4},
                 platform::display().GetSystemMetrics(SM_CXSMICON)),
      ilMenuImages({IDB_MENU_BALLOON, IDB_MENU_ABOUT, IDB_MENU_STATUS, IDB_MENU_NETCONN, IDB_MENU_MAPDRIVE,
                    IDB_MENU_EXPLORE, IDB_MENU_UNMAPDRIVE, IDB_MENU_UNPRINTER, IDB_MENU_PRINTER}) {
    WireEvents();
    CreateHandle();
}

TStatsForm::~TStatsForm() {
    DestroyHandle();
}

void TStatsForm::WireEvents() {
    OnShow = [this] { FormShow(); };
    OnHide = [this] { FormHide(); };
    OnCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };
    OnDestroy = [this] { FormDestroy(); };
    Button1.OnClick = [this] { Button1Click(); };
    Timer1.OnTimer = [this] { Timer1Timer(); };
    Timer2.OnTimer = [this] { Timer2Timer(); };
    TrayIcon.OnClick = [this] { TrayIconClick(); };
    TrayIcon.OnContextMenu = [this](POINT at) { PopupMenu1.Popup(at); };
    Hide1.OnClick = [this] { TrayIconClick(); };
    Exit1.OnClick = [this] { Exit1Click(); };
    miStatusBalloon.OnClick = [this] { miStatusBalloonClick(); };
    About1.OnClick = [this] { About1Click(); };
    OpenNetConnection1.OnClick = [this] { OpenNetConnection1Click(); };
    Support.AdapterOptions1.OnClick = [this] { AdapterOptions1Click(); };
    Support.UsageHistory1.OnClick = [this] { UsageHistory1Click(); };
    miStatusBalloon.SetPicture(ilMenuImages.Bitmap(0));
    About1.SetPicture(ilMenuImages.Bitmap(1));
    Hide1.SetPicture(ilMenuImages.Bitmap(2));
    OpenNetConnection1.SetPicture(ilMenuImages.Bitmap(3));
    Support.cbIP.OnChange = [this] { cbIPChange(); };
    General.Button3.OnClick = [this] { Button3Click(); };
    General.lbByteSent.OnMouseDown = [this](UINT button, WPARAM keys) { CorrectWraps(true, button, keys); };
    General.lbByteRecd.OnMouseDown = [this](UINT button, WPARAM keys) { CorrectWraps(false, button, keys); };
    Support.btnRel.OnClick = [this] { btnRelClick(); };
    Support.btnRen.OnClick = [this] { btnRenClick(); };
    Support.btnCommands.OnClick = [this] { btnCommandsClick(); };
    WireDetailTools();
    WireNetworkPage();

    General.GroupBox2.HelpContext = IDH_GroupBox2;
    General.GroupBox3.HelpContext = IDH_GroupBox3;
    Button1.HelpContext = IDH_Button1;
    Support.cbIP.HelpContext = IDH_cbIP;
    Support.btnDetails.HelpContext = IDH_btnDetails;
    Support.btnRel.HelpContext = IDH_btnRel;
    Support.btnRen.HelpContext = IDH_btnRen;
    Support.btnCommands.HelpContext = IDH_btnCommands;
    Details.Label33.SetBold(true);
    Details.lbTTL.SetBold(true);
    Network.cbNetworkList.HelpContext = IDH_cbNetworkList;
    Network.tbNetwork.HelpContext = IDH_tbNetwork;
}

void TStatsForm::FormCreate() {
    CenterOnScreen();
    // The registry accessor stands on the settings key since its construction.
    Support.lbRelRenText.SetCaption(L"");
    Support.lbRelRenText.SetVisible(false);
    Support.lbRelRenText.SetWidth(widgets::ScalePixels(kRelRenTextWidth));
    // Shown with the first plug-in command behind it; alone it would end the menu.
    Support.PlugSep.SetVisible(false);
    // Enabled once the window knows the adapter its history is kept under.
    Support.UsageHistory1.SetEnabled(false);
    SentWraps = 0;
    ReceivedWraps = 0;
    SentDelta = 0;
    ReceivedDelta = 0;
    CreateUsagePage();
    CreateConnectionsPage();
    FirstSample = true;
    TrayIcon.SetIcon(ImageList2.Icon(0));
}

void TStatsForm::TraceHook(const std::wstring& label) {
    // Only a debugger sees these; nothing is recorded.
    platform::kernel().OutputDebugStringW(label.c_str());
}

void TStatsForm::BeginForm(bool first) {
    const platform::WindowsVersion& os = platform::kernel().Version;

    TraceHook(L"TStatsForm.BeginForm  begin");
    SentBytesBase = 0;
    ReceivedBytesBase = 0;
    SentPacketsBase = 0;
    ReceivedPacketsBase = 0;

    if (os.IsWin9x())
        OpenNetConnection1.SetCaption(L"打开拨号网络连接");
    else if (os.IsXPOrLater())
        OpenNetConnection1.SetCaption(L"打开网络连接");

    TraceHook(L"TStatsForm.BeginForm  Start Initialization");
    StartTime = platform::kernel().Now();
    Support.SelectedAddressIndex = 0;
    Support.AddressList.clear();
    FirstUpdate = true;

    RefreshIfRow(true);
    StartForm();

    Closing = false;
    PageControl1.SetActivePage(tsGeneral);

    TraceHook(L"TStatsForm.BeginForm  Assign Labels ");
    AssignLabels();

    TraceHook(L"TStatsForm.BeginForm  GetAdapterNetworkName");
    TakeNames();
    widgets::Application::Instance().SetTitle(L"网络状态");

    UpdateGeneral();

    SelectAddress();

    std::wstring firstAddress = Support.cbIP.Text();
    BeganWithAddress = firstAddress != L"0.0.0.0" && !firstAddress.empty() && IpHelperSupported;

    widgets::Application::Instance().HelpFile = platform::ModuleFolder() + L"kelvra.chm";

    TraceHook(L"TStatsForm.BeginForm  SetupForWinVer");
    SetupForWinVer();

    TraceHook(L"TStatsForm.BeginForm  CheckFirstTime");
    if (first) {
        CheckFirstTime();
        // The question waits in a message loop, where the program may be told to stop:
        // the rest of the start would be for a window that is going.
        if (widgets::Application::Instance().Terminated())
            return;
    }

    TraceHook(L"TStatsForm.StartForm  Enable Timer1");
    Timer1.SetEnabled(true);
    TraceHook(L"TStatsForm.StartForm  Enable Timer2");
    Timer2.SetEnabled(true);

    TraceHook(L"TStatsForm.BeginForm  LoadSettings");
    LoadSettings();

    TraceHook(L"TStatsForm.BeginForm  LoadPlugins");
    LoadPlugins();

    SetStayOnTop(DisplaySettings.AoT);
    LayoutPages();
    StartHistory();
    Begun = true;

    TraceHook(L"TStatsForm.BeginForm  end");
}

void TStatsForm::TakeNames() {
    GetAdapterNetworkName();
    if (DialUpRecord)
        ConnectionName = platform::FromAnsi(DialUpRecord->szEntryName, CP_ACP);
    SetWindowTitle(ConnectionName);
}

void TStatsForm::TakeInterface() {
    // Counting starts here: what the interface counted before is no traffic of a tick.
    FirstSample = true;
    GetAdapterInfo();
    GetRasInformation();
    AssignLabels();
    TakeNames();
    // Loaded at the start under a name the window did not have yet; the name it showed
    // then is not the user's.
    DisplaySettings.AdapterName.clear();
    LoadSettings();
    StartHistory();
}

void TStatsForm::LayoutPages() {
    const int kStatusLineOffset = widgets::ScalePixels(14);
    const int kTreeTop = widgets::ScalePixels(36);
    const int kTreeShortening = widgets::ScalePixels(52);
    RECT support = tsSupport.ClientBounds();
    RECT nic = Support.lbNicName.Bounds();
    Support.lbNicName.SetBounds(nic.left, support.bottom - kStatusLineOffset, nic.right - nic.left,
                                nic.bottom - nic.top);
    RECT network = tsNetwork.ClientBounds();
    RECT stat = Network.lbNetStat.Bounds();
    Network.lbNetStat.SetBounds(stat.left, network.bottom - kStatusLineOffset, stat.right - stat.left,
                                stat.bottom - stat.top);
    // The tree stands 36 pixels below the page's top and is 52 pixels shorter than the
    // page, so it ends 16 pixels above its bottom, clear of the status line.
    RECT tree = Network.tbNetwork.Bounds();
    Network.tbNetwork.SetBounds(tree.left, network.top + kTreeTop, tree.right - tree.left,
                                std::max(0L, network.bottom - network.top - kTreeShortening));
}

void TStatsForm::StartForm() {
    TraceHook(L"TStatsForm.StartForm  begin");
    TraceHook(L"TStatsForm.StartForm  GetNetworkParams");
    std::memset(&NetworkParams, 0, sizeof NetworkParams);
    auto call = [](BYTE* block, ULONG* size) {
        return platform::ipHelper().GetNetworkParams(reinterpret_cast<PFIXED_INFO>(block), size);
    };
    DWORD answer = platform::FetchBlock(call, sizeof(FIXED_INFO), NetworkParamsBuffer);
    if (answer == ERROR_SUCCESS)
        std::memcpy(&NetworkParams, NetworkParamsBuffer.data(),
                    std::min(NetworkParamsBuffer.size(), sizeof NetworkParams));
    else if (answer != ERROR_NOT_SUPPORTED)
        NetworkParamsBuffer.clear();
    // On ERROR_NOT_SUPPORTED the buffer stays, zeroed, and NetworkParams with it.

    TraceHook(L"TStatsForm.StartForm  GetAdapterInfo");
    GetAdapterInfo();
    TraceHook(L"TStatsForm.StartForm  GetRasInformation");
    GetRasInformation();
    TraceHook(L"TStatsForm.StartForm  GetNetworkList");
    GetNetworkList();
    TraceHook(L"TStatsForm.StartForm  end");
}

void TStatsForm::SetupForWinVer() {
    const platform::WindowsVersion& os = platform::kernel().Version;
    bool supported = os.IsWin2000OrLater() || os.IsWinMe();
    OpenNetConnection1.SetEnabled(supported);
    miStatusBalloon.SetEnabled(supported);
}

void TStatsForm::Timer1Timer() {
    FetchStatistics();
}

void TStatsForm::FetchStatistics() {
    // The machine's figures, not the adapter's: one fetch serves every window. A record
    // whose fetch failed keeps what it held.
    const app::Sampler::Statistics stats = Samples->ProtocolStatistics();
    if (stats.tcp)
        TcpStats = *stats.tcp;
    if (stats.ip)
        IpStats = *stats.ip;
    if (stats.udp)
        UdpStats = *stats.udp;
    if (stats.icmp)
        IcmpStats = *stats.icmp;
}

void TStatsForm::Timer2Timer() {
    const bool wasBound = Bound;
    if (!RefreshIfRow(false))
        return; // the interface has gone, or is not there yet: the window keeps its values
    if (!wasBound)
        TakeInterface();
    UpdateGeneral();
    TickHistory();
    GetAdapterInfo();
    UpdateUsage();
    if (AddNewWindows)
        AddNewWindows();
    if (Visible()) {
        AssignLabels();
        SelectAddress();
    }
}

void TStatsForm::FormShow() {
    TraceHook(L"TStatsForm.FormShow  begin");
    SetChartEnabled(true);
    // The connections are read whenever their page comes into view, also with the window.
    if (PageControl1.ActivePageIndex() == tsConnect.PageIndex())
        tsConnectShow();
    TraceHook(L"TStatsForm.FormShow  end");
}

void TStatsForm::FormHide() {
    SetChartEnabled(false);
}

void TStatsForm::FormCloseQuery(bool& canClose) {
    if (!Closing) {
        canClose = false;
        Hide();
    }
}

void TStatsForm::Button1Click() {
    Close();
}

void TStatsForm::ShutDown() {
    Closing = true;
    FlushHistory();
    if (ShutDownAll)
        ShutDownAll();
}

bool TStatsForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case kShutDownMessage:
        // The stop request shares its number with WM_MEASUREITEM; a real measure
        // request always carries its record, a stop request carries nothing.
        if (lParam != 0)
            return false;
        ShutDown();
        result = 0;
        return true;
    case WM_QUERYENDSESSION: {
        Closing = true;
        FlushHistory();
        bool canClose = true;
        FormCloseQuery(canClose);
        // Settings are saved now, while the session still waits for the answer.
        if (ShutDownAll)
            ShutDownAll();
        result = canClose ? TRUE : FALSE;
        return true;
    }
    case WM_ENDSESSION:
        // The session ends without a stop of ours: what the history gained goes now.
        if (wParam)
            FlushHistory();
        return false;
    default:
        // The stop request of the installer and uninstaller: a message of its own name,
        // which every system carries between programs (0x2C cannot always be).
        if (msg != platform::StopRequestMessage())
            return false;
        ShutDown();
        result = 0;
        return true;
    }
}

void TStatsForm::FormDestroy() {
    FlushHistory();
    StopBrowses();
    ReleaseNodeResources();
    Timer2.SetEnabled(false);
    Timer1.SetEnabled(false);
    NetworkParamsBuffer.clear();
    NetworkParamsBuffer.shrink_to_fit();
    Support.AddressList.clear();
    DialUpRecord.reset();
    UnloadPlugins();
    Registry.CloseKey();
}

void TStatsForm::AlignClocks() {
    Timer1.Restart();
    Timer2.Restart();
    Usage.UseChart.RestartClock();
}

void TStatsForm::LockTrayMenu() {
    Exit1.SetEnabled(false);
    Hide1.SetEnabled(false);
}

void TStatsForm::UnlockTrayMenu() {
    Exit1.SetEnabled(true);
    Hide1.SetEnabled(true);
}
