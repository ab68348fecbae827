// The usage page: download and upload rates of the last tick, their averages and
// maxima, and the chart of both.
#include "StatForm/StatsForm.h"
#include "StatForm/UsageRates.h"

namespace {

// The chart's place in its group box, in pixels.
constexpr int kChartLeft = 8;
constexpr int kChartTop = 16;
constexpr int kChartWidth = 279;
constexpr int kChartHeight = 89;
constexpr int kLegendFontHeight = -12; // 9 points
constexpr std::uint32_t kChartSamples = 138;
constexpr double kBytesPerKilobyte = 1024;

void ShowLine(tmchart::TTimeChart& chart, tmchart::TDrawOption line, bool shown) {
    if (shown)
        chart.DrawOptions.Include(line);
    else
        chart.DrawOptions.Exclude(line);
    chart.ReDraw();
}

} // namespace

void TStatsForm::CreateUsagePage() {
    UseChart.SetColor(tmchart::clBlack);
    UseChart.DrawOptions = {tmchart::goLine1, tmchart::goLine2};
    UseChart.SetEnabled(false);
    tmchart::TChartFont& font = UseChart.Font();
    font.SetName(L"宋体");
    font.SetHeight(kLegendFontHeight);
    font.SetStyle(tmchart::fsBold);
    font.SetColor(tmchart::clLime);
    font.SetCharset(DEFAULT_CHARSET);
    UseChart.SetGridColor(tmchart::clGreen);
    UseChart.GridLegend = true;
    UseChart.GridLegendText = L"kBps";
    UseChart.SetGridType(tmchart::gtFloat);
    UseChart.SetGridWidth(12);
    UseChart.SetIncrementGrid(2);
    UseChart.Line1Color = cbDLColor.DefaultColor();
    UseChart.Line2Color = cbULColor.DefaultColor();
    UseChart.SetScavangeAt(kChartSamples);
    UseChart.ShowGrid = true;
    RECT group = GroupBox4.Bounds();
    UseChart.SetBounds(group.left + kChartLeft, group.top + kChartTop, kChartWidth, kChartHeight);

    cbShowDL.SetChecked(true);
    cbShowUL.SetChecked(true);

    UseChart.HelpContext = 501;
    cbShowDL.HelpContext = 502;
    cbShowUL.HelpContext = 503;
    cbDLColor.HelpContext = 504;
    cbULColor.HelpContext = 505;

    tsUsage.OnShow = [this] { tsUsageShow(); };
    tsUsage.OnHide = [this] { tsUsageHide(); };
    cbShowDL.OnClick = [this] { cbShowDLClick(); };
    cbShowUL.OnClick = [this] { cbShowULClick(); };
    cbDLColor.OnChange = [this] { cbDLColorChange(); };
    cbULColor.OnChange = [this] { cbULColorChange(); };

    DownloadAverage = 0;
    UploadAverage = 0;
    DownloadSamples = 0;
    UploadSamples = 0;
    DownloadMax = 0;
    UploadMax = 0;
}

void TStatsForm::UpdateUsage() {
    DownloadAverage = usage::FoldAverage(DownloadAverage, DownloadSamples, ReceivedDelta);
    UploadAverage = usage::FoldAverage(UploadAverage, UploadSamples, SentDelta);
    if (DownloadSamples < usage::kMaxSamples)
        ++DownloadSamples;
    if (UploadSamples < usage::kMaxSamples)
        ++UploadSamples;

    lbDL.SetCaption(usage::RateText(ReceivedDelta));
    lbUL.SetCaption(usage::RateText(SentDelta));
    lbDLA.SetCaption(usage::RateText(DownloadAverage));
    lbULA.SetCaption(usage::RateText(UploadAverage));
    // The maxima as they stood before this tick.
    lbDLM.SetCaption(usage::RateText(DownloadMax));
    lbULM.SetCaption(usage::RateText(UploadMax));

    UseChart.GridValue = static_cast<float>(ReceivedDelta / kBytesPerKilobyte);
    UseChart.GridValue2 = static_cast<float>(SentDelta / kBytesPerKilobyte);

    if (ReceivedDelta > DownloadMax)
        DownloadMax = ReceivedDelta;
    if (SentDelta > UploadMax)
        UploadMax = SentDelta;

    // The top of the chart follows the highest rate it still shows.
    UseChart.GridMax = UseChart.MaxSample();
}

void TStatsForm::SetChartEnabled(bool on) {
    UseChart.SetEnabled(on);
}

void TStatsForm::ClearChart() {
    UseChart.Clear();
}

void TStatsForm::tsUsageShow() {
    SetChartEnabled(true);
}

void TStatsForm::tsUsageHide() {
    SetChartEnabled(false);
}

// The line follows its box rather than flipping, so it can never drift out of step.
void TStatsForm::cbShowDLClick() {
    ShowLine(UseChart, tmchart::goLine1, cbShowDL.Checked());
}

void TStatsForm::cbShowULClick() {
    ShowLine(UseChart, tmchart::goLine2, cbShowUL.Checked());
}

void TStatsForm::cbDLColorChange() {
    UseChart.Line1Color = cbDLColor.Selected();
    UseChart.ReDraw();
}

void TStatsForm::cbULColorChange() {
    UseChart.Line2Color = cbULColor.Selected();
    UseChart.ReDraw();
}
