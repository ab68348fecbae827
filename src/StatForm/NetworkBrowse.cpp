#include "StatForm/NetworkBrowse.h"

#include <utility>
#include <vector>

namespace {

std::optional<std::wstring> CopyText(const wchar_t* text) {
    return text ? std::optional<std::wstring>(text) : std::nullopt;
}

LPWSTR PointInto(const std::optional<std::wstring>& text) {
    return text ? const_cast<wchar_t*>(text->c_str()) : nullptr;
}

struct TypeName {
    WORD key;
    const wchar_t* name;
};

// Keys 0x0001-0x0027, 0x0029-0x0036 and 0xFFFF, in order.
constexpr TypeName kNetworkTypeNames[] = {
    {0x0001, L"Microsoft Network"},
    {0x0002, L"LAN Manager"},
    {0x0003, L"Novell Netware"},
    {0x0004, L"Vines"},
    {0x0005, L"10Net"},
    {0x0006, L"Locus"},
    {0x0007, L"Sun PC NFS"},
    {0x0008, L"LanStep"},
    {0x0009, L"9 Tiles"},
    {0x000A, L"Lantastic"},
    {0x000B, L"AS/400"},
    {0x000C, L"FTP NFS"},
    {0x000D, L"PathWorks"},
    {0x000E, L"LifeNet"},
    {0x000F, L"PowerLAN"},
    {0x0010, L"BWNFS"},
    {0x0011, L"Cogent"},
    {0x0012, L"Farallon"},
    {0x0013, L"Appletalk"},
    {0x0014, L"Intergraph"},
    {0x0015, L"Symfonet"},
    {0x0016, L"Clearcase"},
    {0x0017, L"Frontier"},
    {0x0018, L"BMC"},
    {0x0019, L"DCE"},
    {0x001A, L"Avid"},
    {0x001B, L"Docuspace"},
    {0x001C, L"Mangosoft"},
    {0x001D, L"SerNet"},
    {0x001E, L"RiverFront 1"},
    {0x001F, L"RiverFront 2"},
    {0x0020, L"Decorb"},
    {0x0021, L"Protstor"},
    {0x0022, L"FJ Redir"},
    {0x0023, L"Distinct"},
    {0x0024, L"Twins"},
    {0x0025, L"RDR 2 Sample"},
    {0x0026, L"CSC"},
    {0x0027, L"3 in 1"},
    {0x0029, L"Extend Net"},
    {0x002A, L"STAC"},
    {0x002B, L"FoxBat"},
    {0x002C, L"Yahoo"},
    {0x002D, L"Exifs"},
    {0x002E, L"Dav"},
    {0x002F, L"Knoware"},
    {0x0030, L"Object Dire"},
    {0x0031, L"MAS Fax"},
    {0x0032, L"HOB NFS"},
    {0x0033, L"Shiva"},
    {0x0034, L"IBMAL"},
    {0x0035, L"Lock"},
    {0x0036, L"Terminal Server"},
    {0xFFFF, L"Manager"},
};
static_assert(std::size(kNetworkTypeNames) == 54);

constexpr std::array<DWORD, 44> MakeProbeTypes() {
    std::array<DWORD, 44> types{};
    std::size_t n = 0;
    for (DWORD key = 0x0001; key <= 0x001D; ++key)
        types[n++] = key << 16;
    for (DWORD key = 0x0020; key <= 0x0027; ++key)
        types[n++] = key << 16;
    types[n++] = 0x0029u << 16;
    for (DWORD key = 0x0030; key <= 0x0034; ++key)
        types[n++] = key << 16;
    types[n++] = WNNC_CRED_MANAGER;
    return types;
}

// The resource types and usages a level asks for.
constexpr DWORD kEnumUsage = RESOURCEUSAGE_CONNECTABLE | RESOURCEUSAGE_CONTAINER | RESOURCEUSAGE_ATTACHED;
constexpr DWORD kBatchEntries = 512;
constexpr DWORD kBatchBytes = 16384;
constexpr DWORD kErrorTextChars = 256;

class Browse {
public:
    Browse(const platform::Network& net, const BrowsePost& post, std::stop_token stop)
        : net_(net), post_(post), stop_(std::move(stop)) {}

    bool Going() const { return going_ && !stop_.stop_requested(); }

    void Send(BrowseLetter letter) {
        if (going_ && !post_(std::make_unique<BrowseLetter>(std::move(letter))))
            going_ = false;
    }

    int AddNode(int parent, std::wstring text, int image, std::unique_ptr<NodeResource> resource = nullptr) {
        Send(BrowseNode{++lastNode_, parent, std::move(text), image, std::move(resource)});
        return lastNode_;
    }

    void EnumerateLevel(const NETRESOURCEW* resource, int parent) {
        if (!Going())
            return;
        HANDLE opened = nullptr;
        DWORD answer = net_.WNetOpenEnumW(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, kEnumUsage,
                                          const_cast<LPNETRESOURCEW>(resource), &opened);
        if (answer != NO_ERROR) {
            if (answer == ERROR_NO_NETWORK) {
                Send(BrowseStatus{kNoNetworkText});
            } else {
                DWORD code = 0;
                std::vector<wchar_t> text(kErrorTextChars), provider(kErrorTextChars);
                net_.WNetGetLastErrorW(&code, text.data(), kErrorTextChars, provider.data(), kErrorTextChars);
                text.back() = L'\0';
                Send(BrowseStatus{text.data()});
            }
            return;
        }
        platform::UniqueEnum level(net_, opened);
        // One batch only: what the provider would hand out in later calls is not read.
        // NETRESOURCEW records hold pointers: an aligned buffer keeps them readable.
        std::vector<std::uint64_t> buffer(kBatchBytes / sizeof(std::uint64_t));
        DWORD count = kBatchEntries;
        DWORD size = kBatchBytes;
        if (net_.WNetEnumResourceW(level.Get(), &count, buffer.data(), &size) != NO_ERROR)
            return;
        count = std::min<DWORD>(count, kBatchBytes / sizeof(NETRESOURCEW));
        const auto* entries = reinterpret_cast<const NETRESOURCEW*>(buffer.data());
        if (count == 0)
            return;

        // Everything of the batch hangs below one node named after its first entry.
        const NETRESOURCEW& first = entries[0];
        int levelNode = parent;
        const wchar_t* name = first.lpRemoteName ? first.lpRemoteName : first.lpProvider;
        if (name)
            levelNode =
                AddNode(parent, ShortResourceName(name, NamePart::Before), LevelImage(first.dwDisplayType));
        for (DWORD i = 0; i < count && Going(); ++i) {
            const NETRESOURCEW& entry = entries[i];
            if (entry.dwUsage & RESOURCEUSAGE_CONTAINER) {
                EnumerateLevel(&entry, levelNode);
                continue;
            }
            AddNode(levelNode, ShortResourceName(entry.lpRemoteName, NamePart::After), LeafImage(entry),
                    std::make_unique<NodeResource>(NodeResource::CopyOf(entry)));
        }
    }

    void Information(const std::wstring& provider, int root) {
        NETINFOSTRUCT info{};
        info.cbStructure = sizeof info;
        if (net_.WNetGetNetworkInformationW(provider.c_str(), &info) != NO_ERROR)
            return;
        int branch = AddNode(root, kInformationText, kImageInformation);
        AddNode(branch, NetworkTypeText(info.wNetType), kImageInformation);
        AddNode(branch, NetworkStatusText(info.dwStatus), kImageInformation);
    }

private:
    static int LevelImage(DWORD displayType) {
        switch (displayType) {
        case RESOURCEDISPLAYTYPE_NETWORK:
            return kImageNetwork;
        case RESOURCEDISPLAYTYPE_DOMAIN:
            return kImageDomain;
        case RESOURCEDISPLAYTYPE_SERVER:
        case RESOURCEDISPLAYTYPE_SHARE:
            return kImageServer;
        default:
            return -1;
        }
    }
    static int LeafImage(const NETRESOURCEW& entry) {
        if ((entry.dwDisplayType & 3) != 3)
            return -1;
        return (entry.dwType & RESOURCETYPE_PRINT) ? kImagePrinter : kImageShare;
    }

    const platform::Network& net_;
    const BrowsePost& post_;
    std::stop_token stop_;
    bool going_ = true;
    int lastNode_ = 0;
};

} // namespace

static_assert(sizeof(void*) != 4 || sizeof(NETINFOSTRUCT) == 32,
              "the information call is handed a 32-byte record");

const std::array<DWORD, 44> ProviderProbeTypes = MakeProbeTypes();

NodeResource NodeResource::CopyOf(const NETRESOURCEW& entry) {
    NodeResource copy;
    copy.dwScope = entry.dwScope;
    copy.dwType = entry.dwType;
    copy.dwDisplayType = entry.dwDisplayType;
    copy.dwUsage = entry.dwUsage;
    copy.lpLocalName = CopyText(entry.lpLocalName);
    copy.lpRemoteName = CopyText(entry.lpRemoteName);
    copy.lpComment = CopyText(entry.lpComment);
    copy.lpProvider = CopyText(entry.lpProvider);
    return copy;
}

NETRESOURCEW NodeResource::View() const {
    NETRESOURCEW record{};
    record.dwScope = dwScope;
    record.dwType = dwType;
    record.dwDisplayType = dwDisplayType;
    record.dwUsage = dwUsage;
    record.lpLocalName = PointInto(lpLocalName);
    record.lpRemoteName = PointInto(lpRemoteName);
    record.lpComment = PointInto(lpComment);
    record.lpProvider = PointInto(lpProvider);
    return record;
}

NodeResource MakeBrowseRoot(const std::wstring& provider) {
    NodeResource root;
    root.dwScope = RESOURCE_GLOBALNET;
    root.dwType = RESOURCETYPE_ANY;
    root.dwDisplayType = RESOURCEDISPLAYTYPE_NETWORK;
    root.dwUsage = RESOURCEUSAGE_CONTAINER;
    root.lpProvider = provider;
    return root;
}

std::wstring ShortResourceName(const wchar_t* text, NamePart part) {
    std::wstring name = text ? text : L"";
    auto pair = name.find(L"\\\\");
    if (pair != std::wstring::npos)
        name.erase(pair, 2);
    auto slash = name.find(L'\\');
    if (slash == std::wstring::npos)
        return name;
    return part == NamePart::After ? name.substr(slash + 1) : name.substr(0, slash);
}

const wchar_t* NetworkTypeName(WORD key) {
    for (const TypeName& row : kNetworkTypeNames)
        if (row.key == key)
            return row.name;
    return nullptr;
}

std::wstring NetworkTypeText(WORD netType) {
    const wchar_t* name = NetworkTypeName(netType);
    return std::wstring(L"网络类型: ") + (name ? name : L"未知网络类型");
}

std::wstring NetworkStatusText(DWORD status) {
    std::wstring text = L"网络类型: ";
    switch (status) {
    case NO_ERROR:
        return text + L"网络允许正常。";
    case ERROR_NO_NETWORK:
        return text + L"网络不可用。";
    case ERROR_BUSY:
        return text + L"网络忙。";
    default:
        return text;
    }
}

void RunBrowse(const platform::Network& net, const NodeResource& root, const BrowsePost& post,
               std::stop_token stop) {
    Browse browse(net, post, std::move(stop));
    browse.Send(BrowseBegin{kSearchingText});
    const std::wstring provider = root.lpProvider.value_or(L"");
    int rootNode = browse.AddNode(0, ShortResourceName(provider.c_str(), NamePart::Before), -1);
    NETRESOURCEW record = root.View();
    browse.EnumerateLevel(&record, rootNode);
    browse.Send(BrowseHideStatus{});
    if (browse.Going())
        browse.Information(provider, rootNode);
    browse.Send(BrowseFinished{});
}
