// The report list: rows with their cells and data words, sorting through a comparison
// that keeps the selection with its rows, heading clicks and the context menu.
#include "WidgetTestForms.h"
#include "widgets/ListView.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace widgets_test;
using ::testing::ElementsAre;
using Row = widgets::ListView::Row;

namespace {

int ByCell(const Row& a, const Row& b, std::size_t column) {
    return a.cells[column].compare(b.cells[column]);
}

std::vector<std::wstring> Column(const widgets::ListView& list, int column) {
    std::vector<std::wstring> texts;
    for (int row = 0; row < list.Count(); ++row)
        texts.push_back(list.Text(row, column));
    return texts;
}

struct ListFixture : ::testing::Test {
    TestForm form;
    widgets::ListView list{form, IDC_List};
    void SetUp() override {
        list.SetColumns({{L"Name", 60}, {L"Value", 40}, {L"Note", 30}});
        form.CreateHandle();
        list.Assign({{{L"b", L"2"}, 20}, {{L"a", L"1", L"x"}, 10}, {{L"c", L"3"}, 30}});
    }
};

} // namespace

TEST(SortedOrder, IsStableAndFollowsTheComparison) {
    const std::vector<Row> rows{{{L"b", L"1"}}, {{L"a", L"2"}}, {{L"b", L"3"}}, {{L"a", L"4"}}};
    EXPECT_THAT(widgets::SortedOrder(rows, [](const Row& a, const Row& b) { return ByCell(a, b, 0); }),
                ElementsAre(1, 3, 0, 2));
    EXPECT_THAT(widgets::SortedOrder(rows, [](const Row& a, const Row& b) { return -ByCell(a, b, 0); }),
                ElementsAre(0, 2, 1, 3));
    EXPECT_TRUE(widgets::SortedOrder({}, [](const Row&, const Row&) { return 0; }).empty());
}

TEST_F(ListFixture, HoldsColumnsRowsCellsAndDataWords) {
    EXPECT_EQ(list.ColumnCount(), 3);
    EXPECT_EQ(list.ColumnWidth(0), 60);
    list.SetColumnWidth(1, 77);
    EXPECT_EQ(list.ColumnWidth(1), 77);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_THAT(Column(list, 0), ElementsAre(L"b", L"a", L"c"));
    EXPECT_EQ(list.Text(1, 2), L"x");
    EXPECT_EQ(list.Text(0, 2), L"");
    EXPECT_EQ(list.Data(2), 30);

    const std::wstring longText(3000, L'n');
    list.SetText(0, 1, longText);
    EXPECT_EQ(list.Text(0, 1), longText);
    EXPECT_EQ(list.Add({{L"d"}, 40}), 3);
    EXPECT_EQ(list.RowAt(3).data, 40);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ListFixture, SortingMovesWholeRowsAndTheirSelection) {
    list.SetSelected(1, true); // "a"
    list.Sort([](const Row& a, const Row& b) { return ByCell(a, b, 0); });
    EXPECT_THAT(Column(list, 0), ElementsAre(L"a", L"b", L"c"));
    EXPECT_THAT(Column(list, 1), ElementsAre(L"1", L"2", L"3"));
    EXPECT_THAT(Column(list, 2), ElementsAre(L"x", L"", L""));
    EXPECT_EQ(list.Data(0), 10);
    EXPECT_EQ(list.SelectedCount(), 1);
    EXPECT_EQ(list.NextSelected(), 0);
    EXPECT_EQ(list.NextSelected(0), -1);

    list.Sort([](const Row& a, const Row& b) { return -ByCell(a, b, 1); });
    EXPECT_THAT(Column(list, 0), ElementsAre(L"c", L"b", L"a"));
    EXPECT_EQ(list.NextSelected(), 2);
}

TEST_F(ListFixture, HeadingClicksAndContextMenusReachTheirHandlers) {
    int clicked = -1;
    list.OnColumnClick = [&](int column) { clicked = column; };
    NMLISTVIEW click{};
    click.hdr = {list.Handle(), IDC_List, LVN_COLUMNCLICK};
    click.iSubItem = 2;
    ::SendMessageW(::GetParent(list.Handle()), WM_NOTIFY, IDC_List, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(clicked, 2);

    std::vector<POINT> asked;
    list.OnContextMenu = [&](POINT at) { asked.push_back(at); };
    ::SendMessageW(form.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list.Handle()),
                   MAKELPARAM(120, 80));
    ::SendMessageW(form.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list.Handle()), -1);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].x, 120);
    EXPECT_EQ(asked[0].y, 80);
    RECT bounds{};
    ::GetWindowRect(list.Handle(), &bounds);
    EXPECT_GE(asked[1].x, bounds.left); // from the keyboard: at the list
    EXPECT_GE(asked[1].y, bounds.top);
}
