#pragma once
// The controls and state of the status window's pages, one object a page. The window
// owns one of each; its operations (StatsForm.h) read and write them by these names.
#include "StatForm/NetworkBrowse.h"
#include "StatForm/resource.h"
#include "res/resource.h"
#include "TmChart/TimeChart.h"
#include "settings/Settings.h"
#include "widgets/ColorBox.h"
#include "widgets/Controls.h"
#include "widgets/Form.h"
#include "widgets/ListView.h"
#include "widgets/ImageList.h"
#include "widgets/Mailbox.h"
#include "widgets/Menu.h"
#include "widgets/TreeView.h"
#include "widgets/Worker.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// One address of the adapter as the Support page lists it.
struct TIPAddressNode {
    std::wstring Address;
    std::wstring Mask;
};

// Connection state, duration, speed, and the bytes and packets of both directions.
struct GeneralPage {
    explicit GeneralPage(widgets::Form& owner) : Owner(owner) {}
    widgets::Form& Owner;

    widgets::GroupBox GroupBox2{Owner, IDC_GroupBox2};
    widgets::Label lbStatus{Owner, IDC_lbStatus};
    widgets::Label lbDuration{Owner, IDC_lbDuration};
    widgets::Label lbSpeed{Owner, IDC_lbSpeed};
    widgets::GroupBox GroupBox3{Owner, IDC_GroupBox3};
    widgets::Label Label15{Owner, IDC_Label15};
    widgets::Label lbByteSent{Owner, IDC_lbByteSent};
    widgets::Label lbByteRecd{Owner, IDC_lbByteRecd};
    widgets::Label lbPackSent{Owner, IDC_lbPackSent};
    widgets::Label lbPackRecd{Owner, IDC_lbPackRecd};
    widgets::Image Image2{Owner, IDC_Image2};
    widgets::Button Button3{Owner, IDC_Button3};
};

// The adapter's IP configuration, release and renew, and the extra commands.
struct SupportPage {
    explicit SupportPage(widgets::Form& owner) : Owner(owner) {}
    widgets::Form& Owner;

    widgets::GroupBox GroupBox1{Owner, IDC_GroupBox1};
    widgets::ComboBox cbIP{Owner, IDC_cbIP};
    widgets::Label Label6{Owner, IDC_Label6};
    widgets::Label Label4{Owner, IDC_Label4};
    widgets::Label lbStatus2{Owner, IDC_lbStatus2};
    widgets::Label Label18{Owner, IDC_Label18};
    widgets::Label Label7{Owner, IDC_Label7};
    widgets::Label Label9{Owner, IDC_Label9};
    widgets::Label Label10{Owner, IDC_Label10};
    widgets::Button btnDetails{Owner, IDC_btnDetails};
    widgets::Button btnRel{Owner, IDC_btnRel};
    widgets::Button btnRen{Owner, IDC_btnRen};
    widgets::Button btnCommands{Owner, IDC_btnCommands};
    widgets::Label lbNicName{Owner, IDC_lbNicName};
    widgets::Label lbRelRenText{Owner, IDC_lbRelRenText};
    widgets::Label lbNT{Owner, IDC_lbNT};

    // The extra commands behind btnCommands.
    widgets::PopupMenu pmCommands{Owner, IDM_pmCommands};
    widgets::MenuItem AddARPEntry1{pmCommands, IDM_AddARPEntry1};
    widgets::MenuItem AdapterOptions1{pmCommands, IDM_AdapterOptions1};
    widgets::MenuItem UsageHistory1{pmCommands, IDM_UsageHistory1};
    widgets::MenuItem PlugSep{pmCommands, IDM_PlugSep};

    std::vector<TIPAddressNode> AddressList;
    std::uint8_t SelectedAddressIndex = 0;
};

// The machine's TCP/IP statistics: connections on the left, IP on the right.
struct DetailsPage {
    explicit DetailsPage(widgets::Form& owner) : Owner(owner) {}
    widgets::Form& Owner;

    widgets::GroupBox GroupBox5{Owner, IDC_GroupBox5};
    widgets::Label Label27{Owner, IDC_Label27};
    widgets::Label lbActCon{Owner, IDC_lbActCon};
    widgets::Label Label29{Owner, IDC_Label29};
    widgets::Label lbPasCon{Owner, IDC_lbPasCon};
    widgets::Label Label30{Owner, IDC_Label30};
    widgets::Label lbCon{Owner, IDC_lbCon};
    widgets::Label Label31{Owner, IDC_Label31};
    widgets::Label lbReset{Owner, IDC_lbReset};
    widgets::Label Label32{Owner, IDC_Label32};
    widgets::Label lbFailed{Owner, IDC_lbFailed};
    widgets::Label Label33{Owner, IDC_Label33};
    widgets::Label lbTTL{Owner, IDC_lbTTL};
    widgets::Label Label35{Owner, IDC_Label35};
    widgets::Label lbDatagram{Owner, IDC_lbDatagram};
    widgets::Label Label36{Owner, IDC_Label36};
    widgets::Label lbDGError{Owner, IDC_lbDGError};
};

// The network neighbourhood's browse tree and the actions on its shares.
struct NetworkPage {
    explicit NetworkPage(widgets::Form& owner) : Owner(owner) {}
    widgets::Form& Owner;

    widgets::ComboBox cbNetworkList{Owner, IDC_cbNetworkList};
    widgets::TreeView tbNetwork{Owner, IDC_tbNetwork};
    widgets::Label lbNetStat{Owner, IDC_lbNetStat};
    widgets::ImageList NetworkImageList{{IDI_NET0, IDI_NET1, IDI_NET2, IDI_NET3, IDI_NET4, IDI_NET5}, 16};

    widgets::PopupMenu NetworkPopup{Owner, IDM_NetworkPopup};
    widgets::MenuItem Explore1{NetworkPopup, IDM_Explore1};
    widgets::MenuItem N4{NetworkPopup, IDM_N5};
    widgets::MenuItem MapNetworkDrive1{NetworkPopup, IDM_MapNetworkDrive1};
    widgets::MenuItem ConnectPrinter1{NetworkPopup, IDM_ConnectPrinter1};

    // The record the current browse started from; none before the first browse.
    std::unique_ptr<NodeResource> BrowseRoot;
    // The records the leaves carry (their data words point here).
    std::vector<std::unique_ptr<NodeResource>> NodeResources;
    // The leaf's record taken when NetworkPopup last opened.
    const NodeResource* SelectedResource = nullptr;

    // The browse worker and what it posts. A superseded browse is told to stop and
    // waits among the retired until it has; its letters are dropped by generation.
    widgets::Mailbox<BrowseLetter> BrowseMail{Owner};
    std::unique_ptr<widgets::Worker> TMyThread;
    std::vector<std::unique_ptr<widgets::Worker>> RetiredBrowses;
    // The worker's node numbers and the tree's nodes they became.
    std::map<int, widgets::TreeView::Node> BrowseNodes;
};

// The chart of the download and upload rates, with their current, average and highest.
struct UsagePage {
    explicit UsagePage(widgets::Form& owner) : Owner(owner) {}
    widgets::Form& Owner;

    widgets::GroupBox GroupBox4{Owner, IDC_GroupBox4};
    tmchart::TTimeChart UseChart{Owner, IDC_UseChart};
    widgets::Label lbDL{Owner, IDC_lbDL};
    widgets::Label lbUL{Owner, IDC_lbUL};
    widgets::Label lbDLA{Owner, IDC_lbDLA};
    widgets::Label lbULA{Owner, IDC_lbULA};
    widgets::Label lbDLM{Owner, IDC_lbDLM};
    widgets::Label lbULM{Owner, IDC_lbULM};
    widgets::CheckBox cbShowDL{Owner, IDC_cbShowDL};
    widgets::CheckBox cbShowUL{Owner, IDC_cbShowUL};
    widgets::ColorBox cbDLColor{Owner, IDC_cbDLColor, widgets::clLime};
    widgets::ColorBox cbULColor{Owner, IDC_cbULColor, widgets::clYellow};

    // Rates in bytes per tick; never reset while the window lives.
    float DownloadAverage = 0;
    float UploadAverage = 0;
    std::uint32_t DownloadSamples = 0;
    std::uint32_t UploadSamples = 0;
    std::uint32_t DownloadMax = 0;
    std::uint32_t UploadMax = 0;
};

// The machine's TCP connections.
struct ConnectionsPage {
    explicit ConnectionsPage(widgets::Form& owner) : Owner(owner) {}
    widgets::Form& Owner;

    widgets::ListView lvConnections{Owner, IDC_lvConnections};
    widgets::PopupMenu PopupMenu2{Owner, IDM_PopupMenu2};
    widgets::MenuItem LookupIP1{PopupMenu2, IDM_LookupIP1};
    widgets::MenuItem TraceRoute1{PopupMenu2, IDM_TraceRoute1};
    widgets::MenuItem N4{PopupMenu2, IDM_N4};
    widgets::MenuItem ReverseLookupIPs1{PopupMenu2, IDM_ReverseLookupIPs1};

    // Widths of the list's seven columns, kept between runs.
    std::array<int, 7> ConnectionColumnWidths = settings::kDefaultConnectionColumnWidths;
    // The column last clicked and its direction; both start at zero.
    std::uint8_t SortColumn = 0;
    bool SortAscending = false;
    // Cleared for good by the NT-only notice.
    bool LookupsAllowed = true;
    // Changes whenever the rows are replaced or reordered, or a lookup command starts: a
    // running lookup command that sees it change ends without touching a row.
    std::uint32_t LookupGeneration = 0;
};
