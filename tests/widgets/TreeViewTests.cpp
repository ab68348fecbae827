// The tree over its node model: order, data words, pictures, selection and hit tests,
// and nodes made before the window exists.
#include "WidgetTestForms.h"
#include "widgets/TreeView.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace widgets_test;
using ::testing::ElementsAre;
using Node = widgets::TreeView::Node;

namespace {

std::vector<std::wstring> Texts(const widgets::TreeView& tree, const std::vector<Node>& nodes) {
    std::vector<std::wstring> texts;
    for (Node node : nodes)
        texts.push_back(tree.Text(node));
    return texts;
}

// What the native tree shows: each item's text, picture and depth, in tree order.
struct NativeItem {
    std::wstring text;
    int image;
    int depth;
    bool operator==(const NativeItem&) const = default;
};

void CollectNative(HWND tree, HTREEITEM item, int depth, std::vector<NativeItem>& out) {
    for (; item; item = TreeView_GetNextSibling(tree, item)) {
        wchar_t text[64] = {};
        TVITEMW info{};
        info.mask = TVIF_TEXT | TVIF_IMAGE;
        info.hItem = item;
        info.pszText = text;
        info.cchTextMax = 64;
        TreeView_GetItem(tree, &info);
        out.push_back({text, info.iImage, depth});
        CollectNative(tree, TreeView_GetChild(tree, item), depth + 1, out);
    }
}

std::vector<NativeItem> Native(const widgets::TreeView& tree) {
    std::vector<NativeItem> out;
    CollectNative(tree.Handle(), TreeView_GetRoot(tree.Handle()), 0, out);
    return out;
}

struct TreeFixture : ::testing::Test {
    TestForm form;
    widgets::TreeView tree{form, IDC_Tree};
};

} // namespace

TEST_F(TreeFixture, ChildrenFollowTheirParentInTheOrderAdded) {
    form.CreateHandle();
    Node net = tree.Add(widgets::TreeView::kNone, L"net", 0);
    Node a = tree.Add(net, L"a", 1, 10);
    Node other = tree.Add(widgets::TreeView::kNone, L"other");
    Node a1 = tree.Add(a, L"a1", 3, 11);
    Node b = tree.Add(net, L"b", 2);

    EXPECT_THAT(Texts(tree, tree.Nodes()), ElementsAre(L"net", L"a", L"a1", L"b", L"other"));
    EXPECT_THAT(tree.Children(net), ElementsAre(a, b));
    EXPECT_EQ(tree.Parent(a1), a);
    EXPECT_EQ(tree.Parent(other), widgets::TreeView::kNone);
    EXPECT_EQ(tree.Data(a1), 11);
    EXPECT_EQ(tree.Image(b), 2);
    EXPECT_THAT(Native(tree),
                ElementsAre(NativeItem{L"net", 0, 0}, NativeItem{L"a", 1, 1}, NativeItem{L"a1", 3, 2},
                            NativeItem{L"b", 2, 1}, NativeItem{L"other", 0, 0}));

    tree.SetData(a1, 0);
    EXPECT_EQ(tree.Data(a1), 0);
    tree.Clear();
    EXPECT_TRUE(tree.Empty());
    EXPECT_TRUE(Native(tree).empty());
    EXPECT_EQ(tree.Text(a), L""); // a cleared node names nothing
}

TEST_F(TreeFixture, NodesMadeBeforeTheWindowAppearWithIt) {
    Node top = tree.Add(widgets::TreeView::kNone, L"top", 5);
    tree.Add(top, L"child", 4);
    tree.Select(top);
    tree.SetIndent(19);
    form.CreateHandle();
    EXPECT_THAT(Native(tree), ElementsAre(NativeItem{L"top", 5, 0}, NativeItem{L"child", 4, 1}));
    EXPECT_EQ(tree.Selected(), top);
    EXPECT_EQ(TreeView_GetIndent(tree.Handle()), 19u);
}

TEST_F(TreeFixture, ARightClickPointFindsItsNodeAndSelectionFollows) {
    widgets::ImageList images({}, 16);
    tree.SetImages(images);
    form.CreateHandle();
    form.Show();
    Node first = tree.Add(widgets::TreeView::kNone, L"first");
    Node second = tree.Add(widgets::TreeView::kNone, L"second");
    EXPECT_EQ(tree.Selected(), widgets::TreeView::kNone);

    RECT r{};
    HTREEITEM native = TreeView_GetNextSibling(tree.Handle(), TreeView_GetRoot(tree.Handle()));
    ASSERT_TRUE(TreeView_GetItemRect(tree.Handle(), native, &r, TRUE));
    EXPECT_EQ(tree.NodeAt({r.left + 2, (r.top + r.bottom) / 2}), second);
    EXPECT_EQ(tree.NodeAt({r.left + 2, r.bottom + 200}), widgets::TreeView::kNone);

    tree.Select(second);
    EXPECT_EQ(tree.Selected(), second);
    tree.Select(first);
    EXPECT_EQ(tree.Selected(), first);
}
