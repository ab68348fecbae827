#include "widgets/ListView.h"
#include "widgets/Scale.h"

#include <algorithm>
#include <numeric>

namespace widgets {

namespace {

// Stops the list from drawing until it goes, then draws it once.
class RedrawPause {
public:
    explicit RedrawPause(HWND list) : list_(list) { ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0); }
    ~RedrawPause() {
        ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(list_, nullptr, TRUE);
    }
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;

private:
    HWND list_;
};

LVITEMW TextItem(int row, int column, const std::wstring& text) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    return item;
}

} // namespace

std::vector<int> SortedOrder(const std::vector<ListView::Row>& rows, const ListView::Comparison& compare) {
    std::vector<int> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return compare(rows[static_cast<std::size_t>(a)], rows[static_cast<std::size_t>(b)]) < 0;
    });
    return order;
}

void ListView::SetColumns(std::vector<Column> columns) {
    columns_ = std::move(columns);
    if (Handle())
        MakeColumns();
}

void ListView::MakeColumns() {
    while (::SendMessageW(Handle(), LVM_DELETECOLUMN, 0, 0))
        ;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(columns_[i].heading.c_str());
        column.cx = ScalePixels(columns_[i].width);
        column.iSubItem = static_cast<int>(i);
        ::SendMessageW(Handle(), LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void ListView::Attached() {
    if (RowSelect)
        ::SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    MakeColumns();
}

int ListView::ColumnWidth(int column) const {
    if (column < 0 || column >= ColumnCount())
        return 0;
    if (Handle())
        return DesignedPixels(static_cast<int>(::SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, column, 0)));
    return columns_[static_cast<std::size_t>(column)].width;
}

void ListView::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= ColumnCount())
        return;
    columns_[static_cast<std::size_t>(column)].width = width;
    if (Handle())
        ::SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, column, MAKELPARAM(ScalePixels(width), 0));
}

int ListView::Count() const {
    return Handle() ? static_cast<int>(::SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0)) : 0;
}

void ListView::Clear() {
    if (Handle())
        ::SendMessageW(Handle(), LVM_DELETEALLITEMS, 0, 0);
}

void ListView::Store(int row, const Row& content, bool insert) {
    static const std::wstring kEmpty;
    const std::wstring& caption = content.cells.empty() ? kEmpty : content.cells.front();
    LVITEMW item = TextItem(row, 0, caption);
    item.mask |= LVIF_PARAM;
    item.lParam = content.data;
    if (insert)
        ::SendMessageW(Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    else
        ::SendMessageW(Handle(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    const std::size_t cells = std::max(content.cells.size(), columns_.size());
    for (std::size_t column = 1; column < cells; ++column) {
        // A freshly inserted row has no text in its other cells.
        const bool given = column < content.cells.size();
        if (insert && !given)
            continue;
        SetText(row, static_cast<int>(column), given ? content.cells[column] : kEmpty);
    }
}

int ListView::Add(const Row& row) {
    if (!Handle())
        return -1;
    int at = Count();
    Store(at, row, true);
    return at;
}

void ListView::Assign(const std::vector<Row>& rows) {
    if (!Handle())
        return;
    RedrawPause pause(Handle());
    Clear();
    ::SendMessageW(Handle(), LVM_SETITEMCOUNT, rows.size(), 0);
    for (std::size_t i = 0; i < rows.size(); ++i)
        Store(static_cast<int>(i), rows[i], true);
}

std::wstring ListView::Text(int row, int column) const {
    if (!Handle())
        return {};
    std::vector<wchar_t> buffer(64);
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        auto got = static_cast<std::size_t>(
            ::SendMessageW(Handle(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
        // A text that filled the buffer may have been cut.
        if (got + 1 < buffer.size())
            return std::wstring(buffer.data(), got);
        buffer.resize(buffer.size() * 4);
    }
}

void ListView::SetText(int row, int column, const std::wstring& text) {
    if (!Handle())
        return;
    LVITEMW item = TextItem(row, column, text);
    ::SendMessageW(Handle(), LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

LPARAM ListView::Data(int row) const {
    if (!Handle())
        return 0;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return ::SendMessageW(Handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

ListView::Row ListView::RowAt(int row) const {
    Row content;
    const int columns = std::max(ColumnCount(), 1);
    content.cells.reserve(static_cast<std::size_t>(columns));
    for (int column = 0; column < columns; ++column)
        content.cells.push_back(Text(row, column));
    content.data = Data(row);
    return content;
}

std::vector<ListView::Row> ListView::Rows() const {
    std::vector<Row> rows;
    const int count = Count();
    rows.reserve(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row)
        rows.push_back(RowAt(row));
    return rows;
}

int ListView::SelectedCount() const {
    return Handle() ? static_cast<int>(::SendMessageW(Handle(), LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
}

int ListView::NextSelected(int after) const {
    if (!Handle())
        return -1;
    return static_cast<int>(
        ::SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(after), MAKELPARAM(LVNI_SELECTED, 0)));
}

int ListView::FocusedRow() const {
    if (!Handle())
        return -1;
    return static_cast<int>(
        ::SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)));
}

void ListView::SetSelected(int row, bool on) {
    if (!Handle())
        return;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = on ? LVIS_SELECTED : 0;
    ::SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void ListView::Sort(const Comparison& compare) {
    if (!Handle())
        return;
    const std::vector<Row> rows = Rows();
    const std::vector<int> order = SortedOrder(rows, compare);
    std::vector<RowState> states(rows.size());
    for (int row = NextSelected(); row >= 0; row = NextSelected(row))
        states[static_cast<std::size_t>(row)].selected = true;
    if (int focused = FocusedRow(); focused >= 0)
        states[static_cast<std::size_t>(focused)].focused = true;

    RedrawPause pause(Handle());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const auto from = static_cast<std::size_t>(order[i]);
        if (from == i)
            continue;
        Store(static_cast<int>(i), rows[from], false);
    }
    for (std::size_t i = 0; i < order.size(); ++i) {
        const RowState& state = states[static_cast<std::size_t>(order[i])];
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = (state.selected ? LVIS_SELECTED : 0u) | (state.focused ? LVIS_FOCUSED : 0u);
        ::SendMessageW(Handle(), LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&item));
    }
}

bool ListView::HandleNotify(NMHDR& header, LRESULT& /*result*/) {
    if (header.code != LVN_COLUMNCLICK || !OnColumnClick)
        return false;
    OnColumnClick(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
    return true;
}

POINT ListView::ContextPoint() const {
    int row = FocusedRow();
    RECT r{LVIR_BOUNDS};
    if (row < 0 ||
        !::SendMessageW(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)))
        return Control::ContextPoint();
    POINT at{r.left, r.bottom};
    ::ClientToScreen(Handle(), &at);
    return at;
}

} // namespace widgets
