#pragma once
// The network neighbourhood's browse: what a browse worker produces, and the pure rules
// it follows (names, pictures, type and status texts).
#include "platform/Network.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <variant>

// A deep copy of one network resource record; the browse tree's leaves carry one each.
struct NodeResource {
    DWORD dwScope = 0;
    DWORD dwType = 0;
    DWORD dwDisplayType = 0;
    DWORD dwUsage = 0;
    std::optional<std::wstring> lpLocalName;
    std::optional<std::wstring> lpRemoteName;
    std::optional<std::wstring> lpComment;
    std::optional<std::wstring> lpProvider;

    static NodeResource CopyOf(const NETRESOURCEW& entry);
    // The record in the platform's layout, pointing into this copy.
    NETRESOURCEW View() const;
};

// The record a browse starts from: the whole network of one provider.
NodeResource MakeBrowseRoot(const std::wstring& provider);

enum class NamePart { Before, After };
// One component of a resource name: the leading pair of backslashes goes, then the
// text before or after the first backslash left (all of it when none is left).
std::wstring ShortResourceName(const wchar_t* text, NamePart part);

// The network types whose providers are looked for, in order.
extern const std::array<DWORD, 44> ProviderProbeTypes;
// The name of a network type by the high word of its constant; null when unknown.
const wchar_t* NetworkTypeName(WORD key);
// The texts of the information branch's two children.
std::wstring NetworkTypeText(WORD netType);
std::wstring NetworkStatusText(DWORD status);

// Pictures of the browse tree, by their place in its image list.
enum BrowseImage : int {
    kImageNetwork = 0,
    kImageDomain = 1,
    kImageServer = 2,
    kImageShare = 3,
    kImagePrinter = 4,
    kImageInformation = 5,
};

inline constexpr wchar_t kSearchingText[] = L"正在搜索网络...";
inline constexpr wchar_t kNoNetworkText[] = L"网络不可用。";
inline constexpr wchar_t kInformationText[] = L"网络信息";

// The things a browse tells its window, in the order they happen.
struct BrowseBegin { // show the status line with this text, empty the tree
    std::wstring text;
};
struct BrowseStatus { // the status line's text
    std::wstring text;
};
struct BrowseHideStatus {}; // the walk is over
struct BrowseNode {         // a node below `parent` (0: the top level)
    int node = 0;
    int parent = 0;
    std::wstring text;
    int image = -1;
    std::unique_ptr<NodeResource> resource;
};
struct BrowseFinished {}; // the worker is done
using BrowseLetter = std::variant<BrowseBegin, BrowseStatus, BrowseHideStatus, BrowseNode, BrowseFinished>;

// Where a browse's letters go; false when refused (the browse was superseded).
using BrowsePost = std::function<bool(std::unique_ptr<BrowseLetter>)>;

// The whole browse of one provider's network, through the given binding; it ends
// early when a letter is refused or a stop is asked for.
void RunBrowse(const platform::Network& net, const NodeResource& root, const BrowsePost& post,
               std::stop_token stop);
