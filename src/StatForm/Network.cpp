// The Network page: the providers, the browse worker and the tree it fills.
#include "StatForm/StatsForm.h"

#include <algorithm>

namespace {

constexpr wchar_t kNoProviderText[] = L"找不到网络信息。";
constexpr DWORD kProviderNameChars = 256;
constexpr int kTreeIndent = 19;

} // namespace

void TStatsForm::WireNetworkPage() {
    NetworkPage& page = Network;
    page.cbNetworkList.OnChange = [this] { cbNetworkListChange(); };
    tsNetwork.OnShow = [this] { tsNetworkShow(); };
    page.tbNetwork.SetImages(page.NetworkImageList);
    page.tbNetwork.SetIndent(kTreeIndent);
    page.tbNetwork.OnMouseDown = [this](UINT button, POINT at) { tbNetworkMouseDown(button, at); };
    page.tbNetwork.OnContextMenu = [this](POINT at) { Network.NetworkPopup.Popup(at); };
    page.NetworkPopup.OnPopup = [this] { NetworkPopupPopup(); };
    page.Explore1.OnClick = [this] { Explore1Click(); };
    page.MapNetworkDrive1.OnClick = [this] { MapNetworkDrive1Click(); };
    page.ConnectPrinter1.OnClick = [this] { ConnectPrinter1Click(); };
    page.Explore1.SetPicture(ilMenuImages.Bitmap(5));
    page.MapNetworkDrive1.SetPicture(ilMenuImages.Bitmap(4));
    page.ConnectPrinter1.SetPicture(ilMenuImages.Bitmap(8));
    page.ConnectPrinter1.SetVisible(false);
    page.lbNetStat.SetVisible(false);
    page.BrowseMail.OnReceive = [this](std::unique_ptr<BrowseLetter> letter) {
        ReceiveBrowse(std::move(letter));
    };
}

void TStatsForm::GetNetworkList() {
    widgets::ComboBox& list = Network.cbNetworkList;
    for (DWORD type : ProviderProbeTypes) {
        std::vector<wchar_t> name(kProviderNameChars);
        DWORD size = kProviderNameChars;
        if (platform::network().WNetGetProviderNameW(type, name.data(), &size) != NO_ERROR)
            continue;
        name.back() = L'\0';
        list.Add(name.data());
    }
    if (list.Count() == 0) {
        list.Add(kNoProviderText);
        list.SetItemIndex(0);
        list.SetEnabled(false);
    } else {
        list.SetItemIndex(0);
    }
}

void TStatsForm::cbNetworkListChange() {
    widgets::ComboBox& list = Network.cbNetworkList;
    // A list disabled for want of providers stays so: there is nothing else to pick.
    const bool wasEnabled = list.Enabled();
    list.SetEnabled(false);
    ReleaseNodeResources();
    Network.BrowseRoot = std::make_unique<NodeResource>(MakeBrowseRoot(list.Text()));
    StartBrowse();
    list.SetEnabled(wasEnabled);
}

void TStatsForm::tsNetworkShow() {
    // A browse under way fills the tree soon; starting another would only supersede it.
    if (Network.tbNetwork.Empty() && !(Network.TMyThread && Network.TMyThread->Running()))
        cbNetworkListChange();
}

void TStatsForm::StartBrowse() {
    NetworkPage& page = Network;
    if (!page.BrowseRoot)
        return;
    // The browse before goes on until it notices; what it still posts is dropped.
    if (page.TMyThread) {
        page.TMyThread->RequestStop();
        page.RetiredBrowses.push_back(std::move(page.TMyThread));
    }
    std::erase_if(page.RetiredBrowses, [](const auto& worker) { return !worker->Running(); });

    auto sender = page.BrowseMail.NewJob();
    // The worker works on copies: the binding as it is now and the root record.
    platform::Network net = platform::network();
    NodeResource root = *page.BrowseRoot;
    page.TMyThread = std::make_unique<widgets::Worker>();
    page.TMyThread->Start([net, root, sender](std::stop_token stop) {
        RunBrowse(
            net, root,
            [&sender](std::unique_ptr<BrowseLetter> letter) { return sender.Post(std::move(letter)); }, stop);
    });
}

void TStatsForm::ReceiveBrowse(std::unique_ptr<BrowseLetter> letter) {
    NetworkPage& page = Network;
    widgets::TreeView& tree = page.tbNetwork;
    std::visit(
        widgets::Overloaded{
            [&](const BrowseBegin& begin) {
                page.lbNetStat.SetCaption(begin.text);
                page.lbNetStat.SetVisible(true);
                tree.Clear();
                page.BrowseNodes.clear();
            },
            [&](const BrowseStatus& status) { page.lbNetStat.SetCaption(status.text); },
            [&](const BrowseHideStatus&) { page.lbNetStat.SetVisible(false); },
            [&](BrowseNode& node) {
                auto parent = page.BrowseNodes.find(node.parent);
                widgets::TreeView::Node under =
                    parent == page.BrowseNodes.end() ? widgets::TreeView::kNone : parent->second;
                LPARAM data = 0;
                if (node.resource) {
                    data = reinterpret_cast<LPARAM>(node.resource.get());
                    page.NodeResources.push_back(std::move(node.resource));
                }
                page.BrowseNodes[node.node] = tree.Add(under, node.text, node.image, data);
                // The provider's node opens as soon as it has something to show.
                if (under != widgets::TreeView::kNone && tree.Parent(under) == widgets::TreeView::kNone)
                    tree.Expand(under);
            },
            [&](const BrowseFinished&) {
                page.TMyThread.reset();
                std::erase_if(page.RetiredBrowses, [](const auto& worker) { return !worker->Running(); });
            }},
        *letter);
}

void TStatsForm::StopBrowses() {
    NetworkPage& page = Network;
    page.BrowseMail.CancelJob();
    page.TMyThread.reset();
    page.RetiredBrowses.clear();
}

void TStatsForm::tbNetworkMouseDown(UINT button, POINT at) {
    // A right click selects what it is on, so the context menu acts on that node.
    if (button != WM_RBUTTONDOWN)
        return;
    widgets::TreeView::Node node = Network.tbNetwork.NodeAt(at);
    if (node != widgets::TreeView::kNone)
        Network.tbNetwork.Select(node);
}

void TStatsForm::ReleaseNodeResources() {
    NetworkPage& page = Network;
    for (widgets::TreeView::Node node : page.tbNetwork.Nodes())
        if (page.tbNetwork.Data(node))
            page.tbNetwork.SetData(node, 0);
    page.NodeResources.clear();
    page.BrowseRoot.reset();
    page.SelectedResource = nullptr;
}
