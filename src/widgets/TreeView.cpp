#include "widgets/TreeView.h"

#include <cstring>

namespace widgets {

TreeView::~TreeView() {
    if (images_)
        ::ImageList_Destroy(images_);
}

void TreeView::SetImages(const ImageList& images) {
    if (images_)
        ::ImageList_Destroy(images_);
    images_ = nullptr;
    if (images.Count() == 0)
        return ApplyImages();
    ICONINFO info{};
    BITMAP bitmap{};
    int size = 16;
    if (::GetIconInfo(images.Icon(0), &info)) {
        if (::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap))
            size = bitmap.bmWidth;
        if (info.hbmColor)
            ::DeleteObject(info.hbmColor);
        if (info.hbmMask)
            ::DeleteObject(info.hbmMask);
    }
    images_ = ::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, images.Count(), 0);
    for (int i = 0; i < images.Count(); ++i)
        ::ImageList_AddIcon(images_, images.Icon(i));
    ApplyImages();
}

void TreeView::SetIndent(int pixels) {
    indent_ = pixels;
    if (Handle() && indent_ > 0)
        ::SendMessageW(Handle(), TVM_SETINDENT, static_cast<WPARAM>(indent_), 0);
}

void TreeView::ApplyImages() {
    if (Handle())
        ::SendMessageW(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
}

TreeView::Node TreeView::Add(Node parent, const std::wstring& text, int image, LPARAM data) {
    if (parent != kNone && !nodes_.count(parent))
        parent = kNone;
    Node node = next_++;
    Item& item = nodes_[node];
    item.parent = parent;
    item.text = text;
    item.image = image;
    item.data = data;
    (parent == kNone ? top_ : nodes_[parent].children).push_back(node);
    MakeNative(node);
    return node;
}

void TreeView::MakeNative(Node node) {
    if (!Handle())
        return;
    Item& item = nodes_.at(node);
    TVINSERTSTRUCTW insert{};
    insert.hParent = item.parent == kNone ? TVI_ROOT : nodes_.at(item.parent).native;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<wchar_t*>(item.text.c_str());
    // Without a picture of its own a node takes the tree's default, the first of its list
    // (-1 would make the tree ask back for one).
    insert.item.iImage = item.image < 0 ? 0 : item.image;
    insert.item.iSelectedImage = insert.item.iImage;
    insert.item.lParam = node;
    item.native = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(Handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TreeView::Clear() {
    if (Handle())
        ::SendMessageW(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    nodes_.clear();
    top_.clear();
    selected_ = kNone;
}

const TreeView::Item* TreeView::Find(Node node) const {
    auto it = nodes_.find(node);
    return it == nodes_.end() ? nullptr : &it->second;
}

void TreeView::CollectFrom(Node node, std::vector<Node>& out) const {
    out.push_back(node);
    for (Node child : nodes_.at(node).children)
        CollectFrom(child, out);
}

std::vector<TreeView::Node> TreeView::Nodes() const {
    std::vector<Node> out;
    for (Node node : top_)
        CollectFrom(node, out);
    return out;
}

std::vector<TreeView::Node> TreeView::Children(Node parent) const {
    if (parent == kNone)
        return top_;
    const Item* item = Find(parent);
    return item ? item->children : std::vector<Node>{};
}

TreeView::Node TreeView::Parent(Node node) const {
    const Item* item = Find(node);
    return item ? item->parent : kNone;
}

std::wstring TreeView::Text(Node node) const {
    const Item* item = Find(node);
    return item ? item->text : std::wstring();
}

int TreeView::Image(Node node) const {
    const Item* item = Find(node);
    return item ? item->image : kDefaultImage;
}

LPARAM TreeView::Data(Node node) const {
    const Item* item = Find(node);
    return item ? item->data : 0;
}

void TreeView::SetData(Node node, LPARAM data) {
    auto it = nodes_.find(node);
    if (it != nodes_.end())
        it->second.data = data;
}

TreeView::Node TreeView::Selected() const {
    if (!Handle())
        return selected_;
    auto native = reinterpret_cast<HTREEITEM>(::SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!native)
        return kNone;
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = native;
    ::SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return Find(static_cast<Node>(item.lParam)) ? static_cast<Node>(item.lParam) : kNone;
}

void TreeView::Select(Node node) {
    const Item* item = Find(node);
    selected_ = item ? node : kNone;
    if (Handle())
        ::SendMessageW(Handle(), TVM_SELECTITEM, TVGN_CARET,
                       reinterpret_cast<LPARAM>(item ? item->native : nullptr));
}

void TreeView::Expand(Node node) {
    const Item* item = Find(node);
    if (item && Handle())
        ::SendMessageW(Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item->native));
}

TreeView::Node TreeView::NodeAt(POINT client) const {
    if (!Handle())
        return kNone;
    TVHITTESTINFO hit{};
    hit.pt = client;
    auto native =
        reinterpret_cast<HTREEITEM>(::SendMessageW(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (!native || !(hit.flags & TVHT_ONITEM))
        return kNone;
    for (const auto& [node, item] : nodes_)
        if (item.native == native)
            return node;
    return kNone;
}

void TreeView::Attached() {
    ApplyImages();
    SetIndent(indent_);
    // Nodes added before the window existed: parents come before their children.
    for (Node node : Nodes())
        MakeNative(node);
    if (selected_ != kNone)
        Select(selected_);
}

void TreeView::Detached() {
    selected_ = Selected();
    for (auto& [node, item] : nodes_)
        item.native = nullptr;
}

bool TreeView::HandleNotify(NMHDR& header, LRESULT& result) {
    if (header.code != NM_CLICK && header.code != NM_RCLICK)
        return false;
    if (OnMouseDown) {
        POINT at{};
        ::GetCursorPos(&at);
        ::ScreenToClient(Handle(), &at);
        OnMouseDown(header.code == NM_RCLICK ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, at);
    }
    // Zero lets the tree go on: a right click then asks for the context menu.
    result = 0;
    return false;
}

POINT TreeView::ContextPoint() const {
    POINT at{};
    const Item* item = Find(Selected());
    RECT r{};
    if (item && item->native) {
        // The item goes in where the rectangle comes out.
        std::memcpy(&r, &item->native, sizeof item->native);
        if (::SendMessageW(Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)))
            at = {r.left, r.bottom};
    }
    ::ClientToScreen(Handle(), &at);
    return at;
}

} // namespace widgets
