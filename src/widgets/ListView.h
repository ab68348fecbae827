#pragma once
#include "widgets/Control.h"

#include <functional>
#include <string>
#include <vector>

namespace widgets {

// A report-view list of the form's template: rows of text cells under column headings,
// each row with an attached data word.
class ListView : public Control {
public:
    struct Column {
        std::wstring heading;
        int width = 50;
    };
    struct Row {
        std::vector<std::wstring> cells; // the caption first
        LPARAM data = 0;
    };
    // Negative, zero or positive for a before, equal to or after b.
    using Comparison = std::function<int(const Row& a, const Row& b)>;

    using Control::Control;

    // The columns, made when the window exists (set before, or replaced after).
    // Every width here, set or read, is as designed at 96 pixels per inch and shows
    // scaled to the screen's resolution, so a width kept between runs (a default or one
    // the user dragged) keeps its share of the list at any scale.
    void SetColumns(std::vector<Column> columns);
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    // Whole-row selection (on unless set otherwise before the window exists).
    bool RowSelect = true;

    int Count() const;
    void Clear();
    // Appends a row; returns its position.
    int Add(const Row& row);
    // Replaces every row at once, drawing once.
    void Assign(const std::vector<Row>& rows);
    Row RowAt(int row) const;
    std::vector<Row> Rows() const;
    std::wstring Text(int row, int column) const;
    void SetText(int row, int column, const std::wstring& text);
    LPARAM Data(int row) const;

    int SelectedCount() const;
    // The first selected row after `after` (-1: from the start), or -1 when none.
    int NextSelected(int after = -1) const;
    void SetSelected(int row, bool on);
    // The row with the focus, where a keyboard context menu opens.
    int FocusedRow() const;

    // Orders the rows by the comparison (equal rows keep their order); the selection
    // and the focus move with their rows.
    void Sort(const Comparison& compare);

    // A heading was clicked.
    std::function<void(int column)> OnColumnClick;

protected:
    void Attached() override;
    bool HandleNotify(NMHDR& header, LRESULT& result) override;
    POINT ContextPoint() const override;

private:
    void MakeColumns();
    void Store(int row, const Row& content, bool insert);
    struct RowState {
        bool selected = false;
        bool focused = false;
    };

    std::vector<Column> columns_;
};

// The stable order of rows under a comparison: positions into rows, first to last.
std::vector<int> SortedOrder(const std::vector<ListView::Row>& rows, const ListView::Comparison& compare);

} // namespace widgets
