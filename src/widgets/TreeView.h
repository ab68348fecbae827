#pragma once
#include "widgets/Control.h"
#include "widgets/ImageList.h"

#include <commctrl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace widgets {

// A tree of the form's template over a node model: the model holds every node's text,
// picture and data word, and the native tree mirrors it while the window exists.
// Nodes are named by ids that stay valid until Clear.
class TreeView : public Control {
public:
    using Node = int;
    static constexpr Node kNone = 0;
    // A node without a picture of its own shows the tree's default one, the first of
    // its list.
    static constexpr int kDefaultImage = -1;

    using Control::Control;
    ~TreeView() override;

    // The pictures of the nodes (copied into the tree's own list).
    void SetImages(const ImageList& images);
    void SetIndent(int pixels);
    int Indent() const { return indent_; }

    // Adds a node as the last child of parent (kNone: at the top level).
    Node Add(Node parent, const std::wstring& text, int image = kDefaultImage, LPARAM data = 0);
    void Clear();
    int Count() const { return static_cast<int>(nodes_.size()); }
    bool Empty() const { return nodes_.empty(); }

    // Every node in tree order: a node before its children, children in their order.
    std::vector<Node> Nodes() const;
    std::vector<Node> Children(Node parent) const;
    Node Parent(Node node) const;
    std::wstring Text(Node node) const;
    int Image(Node node) const;
    LPARAM Data(Node node) const;
    void SetData(Node node, LPARAM data);

    Node Selected() const;
    void Select(Node node);
    void Expand(Node node);
    // The node at a point of the tree's client area, or kNone.
    Node NodeAt(POINT client) const;

    // A mouse button went down on the tree (WM_LBUTTONDOWN or WM_RBUTTONDOWN), at a
    // point of its client area; it comes before the context menu of a right click.
    std::function<void(UINT button, POINT client)> OnMouseDown;

protected:
    void Attached() override;
    void Detached() override;
    bool HandleNotify(NMHDR& header, LRESULT& result) override;
    POINT ContextPoint() const override;

private:
    struct Item {
        Node parent = kNone;
        std::wstring text;
        int image = kDefaultImage;
        LPARAM data = 0;
        std::vector<Node> children;
        HTREEITEM native = nullptr;
    };
    const Item* Find(Node node) const;
    void MakeNative(Node node);
    void ApplyImages();
    void CollectFrom(Node node, std::vector<Node>& out) const;

    std::map<Node, Item> nodes_;
    std::vector<Node> top_;
    Node next_ = 1;
    Node selected_ = kNone;
    int indent_ = 0;
    HIMAGELIST images_ = nullptr;
};

} // namespace widgets
