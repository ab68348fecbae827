// The usage history window: the rows of a view, their chart, the monthly limit and the
// export.
#include "UsageHistory/TUsageHistory.h"
#include "StatForm/Formats.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Kernel.h"
#include "settings/DropShadow.h"
#include "settings/RegistryAccessor.h"

#include <algorithm>
#include <utility>

namespace {

constexpr const wchar_t* kViewNames[] = {L"最近 31 天", L"最近 12 个月", L"历年"};
constexpr usage::View kViews[] = {usage::View::LastDays, usage::View::LastMonths, usage::View::Years};
constexpr const wchar_t* kQuotaRefused = L"请输入 0.01 到 1000000 之间的数值。";
constexpr int kLastStartDay = 28;

std::wstring ColumnValue(std::size_t column) {
    return L"CHis" + std::to_wstring(column);
}

wchar_t LocaleDecimal() {
    const std::wstring& decimal = formats::UserSeparators().Decimal;
    return decimal.empty() ? L'.' : decimal.front();
}

std::wstring Trimmed(const std::wstring& text) {
    const auto first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// A file name made of the connection's name: the characters no file name may hold become "_".
std::wstring ExportFileName(const std::wstring& connectionName) {
    std::wstring name = connectionName + L" 流量统计.csv";
    for (wchar_t& c : name)
        if (c < L' ' || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos)
            c = L'_';
    return name;
}

template <typename T> int Compare(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

TUsageHistory::TUsageHistory(Source source)
    : Form(kClassName, IDD_TUsageHistory, {kClientWidth, kClientHeight}), source_(std::move(source)) {
    OnShow = [this] { FormShow(); };
    OnCloseQuery = [this](bool&) { closed_ = true; };
    OnDestroy = [this] { FormClose(); };
    cbView.OnChange = [this] { cbViewChange(); };
    lvHistory.OnColumnClick = [this](int column) { lvHistoryColumnClick(column); };
    edQuota.OnExit = [this] { edQuotaExit(); };
    cbStartDay.OnChange = [this] { cbStartDayChange(); };
    cbAlert.OnClick = [this] { cbAlertClick(); };
    btnExport.OnClick = [this] { btnExportClick(); };
    btnClose.OnClick = [this] { Close(); };
    lvHistory.SetColumns({{L"日期", kDefaultColumnWidths[0]},
                          {L"接收", kDefaultColumnWidths[1]},
                          {L"发送", kDefaultColumnWidths[2]},
                          {L"合计", kDefaultColumnWidths[3]}});
    Chart.ReceivedColor = source_.ReceivedColor;
    Chart.SentColor = source_.SentColor;
    Chart.Background = source_.Background;
    Chart.TextColor = source_.TextColor;
}

TUsageHistory::~TUsageHistory() {
    DestroyHandle();
}

void TUsageHistory::FormCreate() {
    settings::ApplyDropShadow(*this, source_.DropShadow);
    SetConnectionName(source_.ConnectionName);
    for (const wchar_t* name : kViewNames)
        cbView.Add(name);
    cbView.SetItemIndex(0);
    for (int day = 1; day <= kLastStartDay; ++day)
        cbStartDay.Add(std::to_wstring(day));
    const usage::QuotaSettings& quota = *source_.Quota;
    cbStartDay.SetItemIndex(std::clamp(quota.StartDay, 1, kLastStartDay) - 1);
    quotaText_ = quota.LimitGB ? usage::LimitText(*quota.LimitGB, LocaleDecimal()) : L"";
    edQuota.SetText(quotaText_);
    cbAlert.SetChecked(quota.Alert);

    // The widths the user left, as at 96 pixels per inch; a bad one reads as absent.
    settings::RegistryAccessor registry;
    registry.OpenKey(source_.SettingsSubkey);
    for (std::size_t column = 0; column < kDefaultColumnWidths.size(); ++column)
        if (auto width = registry.ReadInteger(ColumnValue(column)); width && *width >= 0)
            lvHistory.SetColumnWidth(static_cast<int>(column), *width);
    Layout();
    CenterOnOwner();
}

void TUsageHistory::SetConnectionName(const std::wstring& name) {
    source_.ConnectionName = name;
    SetCaption(name + L" 流量统计");
}

void TUsageHistory::SetOctetDisp(int octetDisp) {
    if (octetDisp == source_.OctetDisp)
        return;
    source_.OctetDisp = octetDisp;
    shown_.reset();
}

void TUsageHistory::FormShow() {
    Refresh(true);
}

usage::View TUsageHistory::CurrentView() const {
    const int index = cbView.ItemIndex();
    return index >= 0 && index < static_cast<int>(std::size(kViews)) ? kViews[index] : usage::View::LastDays;
}

usage::Date TUsageHistory::Today() const {
    return usage::DateOfLocalTime(platform::kernel().Now());
}

void TUsageHistory::Refresh(bool force) {
    const std::vector<usage::DayRow>& days = source_.History->Data().Days();
    Shown now{Today(), days.size()};
    if (!days.empty()) {
        now.latestReceived = days.back().Bytes.Received;
        now.latestSent = days.back().Bytes.Sent;
    }
    const std::wstring problem = source_.History->Problem();
    if (problem != lbProblem.Caption())
        lbProblem.SetCaption(problem);
    lbProblem.SetVisible(!problem.empty());
    if (!force && shown_ == now)
        return;
    shown_ = now;
    FillRows();
    ShowPeriod();
}

void TUsageHistory::FillRows() {
    rows_ = usage::ViewRows(source_.History->Data(), CurrentView(), Today());
    const int unit = source_.OctetDisp;
    auto bytes = [unit](std::uint64_t value) {
        return formats::FormatBytes(unit, true, static_cast<std::int64_t>(value));
    };
    std::vector<widgets::ListView::Row> rows;
    rows.reserve(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const usage::ViewRow& row = rows_[i];
        rows.push_back({{row.Label, bytes(row.Bytes.Received), bytes(row.Bytes.Sent), bytes(row.Bytes.Sum())},
                        static_cast<LPARAM>(i)});
    }
    lvHistory.Assign(rows);
    SortRows();
    std::uint64_t top = 0;
    for (const usage::ViewRow& row : rows_)
        top = std::max({top, row.Bytes.Received, row.Bytes.Sent});
    Chart.SetRows(rows_, top ? bytes(top) : L"");
}

void TUsageHistory::ShowPeriod() {
    lbPeriod.SetCaption(
        usage::PeriodLine(*source_.Quota, source_.History->Data(), Today(), source_.OctetDisp));
}

void TUsageHistory::cbViewChange() {
    // A new view starts in its own order, newest first.
    sortColumn_ = 0;
    sortAscending_ = false;
    Refresh(true);
}

void TUsageHistory::lvHistoryColumnClick(int column) {
    if (column == sortColumn_) {
        sortAscending_ = !sortAscending_;
    } else {
        sortColumn_ = column;
        sortAscending_ = true;
    }
    SortRows();
}

void TUsageHistory::SortRows() {
    // Numbers as numbers, dates as dates; equal ones in the view's order.
    lvHistory.Sort([this](const widgets::ListView::Row& a, const widgets::ListView::Row& b) {
        const usage::ViewRow& x = rows_[static_cast<std::size_t>(a.data)];
        const usage::ViewRow& y = rows_[static_cast<std::size_t>(b.data)];
        int order = 0;
        switch (sortColumn_) {
        case 1:
            order = Compare(x.Bytes.Received, y.Bytes.Received);
            break;
        case 2:
            order = Compare(x.Bytes.Sent, y.Bytes.Sent);
            break;
        case 3:
            order = Compare(x.Bytes.Sum(), y.Bytes.Sum());
            break;
        default:
            // The rows come newest first: a later position is an earlier date.
            order = Compare(b.data, a.data);
            break;
        }
        return sortAscending_ ? order : -order;
    });
}

void TUsageHistory::edQuotaExit() {
    const std::wstring text = Trimmed(edQuota.Text());
    std::optional<double> limit;
    if (!text.empty()) {
        limit = usage::ParseQuotaGB(text, LocaleDecimal());
        if (!limit) {
            // A window on its way out takes the old value back without a word.
            if (!closed_)
                platform::dialogs().MessageBoxW(Handle(), kQuotaRefused, Caption().c_str(),
                                                MB_OK | MB_ICONWARNING);
            edQuota.SetText(quotaText_);
            return;
        }
    }
    usage::QuotaSettings& quota = *source_.Quota;
    quotaText_ = limit ? usage::LimitText(*limit, LocaleDecimal()) : L"";
    if (edQuota.Text() != quotaText_)
        edQuota.SetText(quotaText_);
    if (limit == quota.LimitGB)
        return;
    quota.LimitGB = limit;
    SaveQuota();
    ShowPeriod();
}

void TUsageHistory::cbStartDayChange() {
    const int day = cbStartDay.ItemIndex() + 1;
    if (day < 1 || day == source_.Quota->StartDay)
        return;
    source_.Quota->StartDay = day;
    SaveQuota();
    ShowPeriod();
}

void TUsageHistory::cbAlertClick() {
    if (cbAlert.Checked() == source_.Quota->Alert)
        return;
    source_.Quota->Alert = cbAlert.Checked();
    SaveQuota();
}

void TUsageHistory::SaveQuota() {
    settings::FirstFailure failure;
    settings::RegistryAccessor registry;
    if (failure.Note(source_.SettingsSubkey,
                     registry.CreateKey(source_.SettingsSubkey, settings::KeyAccess::Write)))
        usage::WriteLimit(registry, *source_.Quota, failure);
    failure.Report(L"the monthly limit of " + source_.ConnectionName);
}

void TUsageHistory::btnExportClick() {
    std::vector<wchar_t> file(1024, L'\0');
    const std::wstring suggested = ExportFileName(source_.ConnectionName);
    std::copy_n(suggested.begin(), std::min(suggested.size(), file.size() - 1), file.begin());
    static constexpr wchar_t kFilter[] = L"CSV 文件 (*.csv)\0*.csv\0所有文件 (*.*)\0*.*\0";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = kFilter;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = L"csv";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!platform::dialogs().GetSaveFileNameW(&dialog))
        return; // cancelled
    const std::wstring path(file.data());
    if (!platform::ReplaceFile(path, usage::ExportCsv(source_.History->Data()))) {
        const std::wstring text = L"无法保存文件:\n" + path;
        platform::dialogs().MessageBoxW(Handle(), text.c_str(), Caption().c_str(), MB_OK | MB_ICONERROR);
    }
}

void TUsageHistory::FormClose() {
    // Also when the status window takes it along: the edit that loses the focus on the
    // way out asks nobody.
    closed_ = true;
    SaveColumns();
}

void TUsageHistory::SaveColumns() {
    settings::FirstFailure failure;
    settings::RegistryAccessor registry;
    if (failure.Note(source_.SettingsSubkey,
                     registry.CreateKey(source_.SettingsSubkey, settings::KeyAccess::Write)))
        for (std::size_t column = 0; column < kDefaultColumnWidths.size(); ++column)
            failure.Note(
                ColumnValue(column),
                registry.WriteInteger(ColumnValue(column), lvHistory.ColumnWidth(static_cast<int>(column))));
    failure.Report(L"the usage history window's columns");
}

void TUsageHistory::Layout() {
    // Where the template puts the controls, in pixels at 96 per inch; the chart takes a
    // third of what the window grew by in height, the list the rest, and what lies below
    // the list keeps its distance from the bottom. Widths follow the window's width; the
    // close button keeps to the right. A combo box's height is its dropped list's.
    struct Place {
        widgets::Control& control;
        RECT designed; // left, top, width, height
        bool stretch;
        bool right;
    };
    const Place below[] = {
        {lbProblem, {9, 285, 522, 14}, true, false},    {gbQuota, {9, 300, 522, 84}, true, false},
        {lbQuota, {18, 323, 66, 14}, false, false},     {edQuota, {84, 320, 84, 20}, false, false},
        {lbStartDay, {183, 323, 45, 14}, false, false}, {cbStartDay, {228, 320, 54, 180}, false, false},
        {cbAlert, {294, 321, 150, 17}, false, false},   {lbPeriod, {18, 354, 504, 14}, true, false},
        {btnExport, {9, 393, 90, 21}, false, false},    {btnClose, {441, 393, 90, 21}, false, true},
    };
    using widgets::ScalePixels;
    const SIZE client = ClientSize();
    const int grownX = std::max(0, static_cast<int>(client.cx) - ScalePixels(kClientWidth));
    const int grownY = std::max(0, static_cast<int>(client.cy) - ScalePixels(kClientHeight));
    const int width = ScalePixels(522) + grownX;
    Chart.SetBounds(ScalePixels(9), ScalePixels(36), width, ScalePixels(108) + grownY / 3);
    lvHistory.SetBounds(ScalePixels(9), ScalePixels(150) + grownY / 3, width,
                        ScalePixels(132) + grownY - grownY / 3);
    for (const Place& place : below) {
        const RECT& d = place.designed;
        place.control.SetBounds(ScalePixels(d.left) + (place.right ? grownX : 0), ScalePixels(d.top) + grownY,
                                ScalePixels(d.right) + (place.stretch ? grownX : 0), ScalePixels(d.bottom));
    }
}

bool TUsageHistory::HandleMessage(UINT msg, WPARAM /*wParam*/, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        RECT frame{0, 0, widgets::ScalePixels(kClientWidth), widgets::ScalePixels(kClientHeight)};
        ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(Handle(), GWL_STYLE)), FALSE,
                             static_cast<DWORD>(::GetWindowLongW(Handle(), GWL_EXSTYLE)));
        limits->ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
        result = 0;
        return true;
    }
    case WM_SIZE:
        Layout();
        return false;
    default:
        return false;
    }
}
