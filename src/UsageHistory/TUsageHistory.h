#pragma once
#include "UsageHistory/HistoryFile.h"
#include "UsageHistory/Quota.h"
#include "UsageHistory/UsageBars.h"
#include "UsageHistory/resource.h"
#include "widgets/Colors.h"
#include "widgets/Controls.h"
#include "widgets/Edit.h"
#include "widgets/Form.h"
#include "widgets/ListView.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The usage history of one interface: its days, months or years in a list and a bar
// chart, its monthly limit and alerts, and the export of its days. A tool window of the
// status window; it shares the history and the limit with it, and keeps no reference
// into it.
class TUsageHistory : public widgets::Form {
public:
    static constexpr const wchar_t* kClassName = L"TUsageHistory";
    // Client size as designed at 96 pixels per inch, also the smallest the user may make it.
    static constexpr int kClientWidth = 540;
    static constexpr int kClientHeight = 423;
    // The list's columns at 96 pixels per inch, kept as "CHis0".."CHis3": wide enough for
    // a month's bytes counted one by one ("107,374,182,400 字节").
    static constexpr std::array<int, 4> kDefaultColumnWidths{80, 140, 140, 140};

    // What the status window hands over.
    struct Source {
        std::shared_ptr<usage::InterfaceHistory> History;
        std::shared_ptr<usage::QuotaSettings> Quota;
        std::wstring ConnectionName;
        std::wstring SettingsSubkey; // the status window's, from the root
        int OctetDisp = 0;
        widgets::TColor ReceivedColor = widgets::clLime;
        widgets::TColor SentColor = widgets::clYellow;
        widgets::TColor Background = widgets::clBlack;
        widgets::TColor TextColor = widgets::clLime;
        bool DropShadow = false;
    };

    explicit TUsageHistory(Source source);
    ~TUsageHistory() override;

    widgets::Label lbView{*this, IDC_HislbView};
    widgets::ComboBox cbView{*this, IDC_HiscbView};
    usage::TUsageBars Chart{*this, IDC_HisChart};
    widgets::ListView lvHistory{*this, IDC_HislvHistory};
    widgets::Label lbProblem{*this, IDC_HislbProblem};
    widgets::GroupBox gbQuota{*this, IDC_HisgbQuota};
    widgets::Label lbQuota{*this, IDC_HislbQuota};
    widgets::Edit edQuota{*this, IDC_HisedQuota};
    widgets::Label lbStartDay{*this, IDC_HislbStartDay};
    widgets::ComboBox cbStartDay{*this, IDC_HiscbStartDay};
    widgets::CheckBox cbAlert{*this, IDC_HiscbAlert};
    widgets::Label lbPeriod{*this, IDC_HislbPeriod};
    widgets::Button btnExport{*this, IDC_HisbtnExport};
    widgets::Button btnClose{*this, IDC_HisbtnClose};

    // The status window's tick: the rows again when the history or the day changed since
    // they were shown, or `force`.
    void Refresh(bool force = false);
    // The byte unit of the status window, which its options may change.
    void SetOctetDisp(int octetDisp);
    void SetConnectionName(const std::wstring& name);

    void FormShow();
    void cbViewChange();
    void lvHistoryColumnClick(int column);
    void edQuotaExit();
    void cbStartDayChange();
    void cbAlertClick();
    void btnExportClick();
    void FormClose();

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void FormCreate() override;
    void Layout();
    void FillRows();
    void ShowPeriod();
    void SortRows();
    void SaveQuota();
    void SaveColumns();
    usage::View CurrentView() const;
    usage::Date Today() const;

    Source source_;
    std::vector<usage::ViewRow> rows_;
    // What the shown rows were made from, to tell whether a tick changed anything.
    struct Shown {
        usage::Date today;
        std::size_t days = 0;
        std::uint64_t latestReceived = 0;
        std::uint64_t latestSent = 0;
        bool operator==(const Shown&) const = default;
    };
    std::optional<Shown> shown_;
    int sortColumn_ = 0;
    bool sortAscending_ = false;
    std::wstring quotaText_; // the limit the edit showed last, for a refused one
    bool closed_ = false;
};
