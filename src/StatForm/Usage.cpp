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
constexpr int kGridWidth = 12;
constexpr int kSampleStep = 2;
constexpr int kLegendFontPoints = 9; // 12 pixels at 96 pixels per inch
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
    Usage.UseChart.SetColor(tmchart::clBlack);
    Usage.UseChart.DrawOptions = {tmchart::goLine1, tmchart::goLine2};
    Usage.UseChart.SetEnabled(false);
    tmchart::TChartFont& font = Usage.UseChart.Font();
    font.SetName(L"宋体");
    font.SetSize(kLegendFontPoints);
    font.SetStyle(tmchart::fsBold);
    font.SetColor(tmchart::clLime);
    font.SetCharset(DEFAULT_CHARSET);
    Usage.UseChart.SetGridColor(tmchart::clGreen);
    Usage.UseChart.GridLegend = true;
    Usage.UseChart.GridLegendText = L"kBps";
    Usage.UseChart.SetGridType(tmchart::gtFloat);
    Usage.UseChart.Line1Color = Usage.cbDLColor.DefaultColor();
    Usage.UseChart.Line2Color = Usage.cbULColor.DefaultColor();
    Usage.UseChart.ShowGrid = true;
    RECT group = Usage.GroupBox4.Bounds();
    Usage.UseChart.SetBounds(group.left + widgets::ScalePixels(kChartLeft),
                             group.top + widgets::ScalePixels(kChartTop), widgets::ScalePixels(kChartWidth),
                             widgets::ScalePixels(kChartHeight));
    // Once the chart has its size, which the history has to span.
    Usage.UseChart.SetDesignedSpacing(kGridWidth, kSampleStep, kChartSamples);

    Usage.cbShowDL.SetChecked(true);
    Usage.cbShowUL.SetChecked(true);

    Usage.UseChart.HelpContext = IDH_UseChart;
    Usage.cbShowDL.HelpContext = IDH_cbShowDL;
    Usage.cbShowUL.HelpContext = IDH_cbShowUL;
    Usage.cbDLColor.HelpContext = IDH_cbDLColor;
    Usage.cbULColor.HelpContext = IDH_cbULColor;

    tsUsage.OnShow = [this] { tsUsageShow(); };
    tsUsage.OnHide = [this] { tsUsageHide(); };
    Usage.cbShowDL.OnClick = [this] { cbShowDLClick(); };
    Usage.cbShowUL.OnClick = [this] { cbShowULClick(); };
    Usage.cbDLColor.OnChange = [this] { cbDLColorChange(); };
    Usage.cbULColor.OnChange = [this] { cbULColorChange(); };

    Usage.DownloadAverage = 0;
    Usage.UploadAverage = 0;
    Usage.DownloadSamples = 0;
    Usage.UploadSamples = 0;
    Usage.DownloadMax = 0;
    Usage.UploadMax = 0;
}

void TStatsForm::UpdateUsage() {
    Usage.DownloadAverage = usage::FoldAverage(Usage.DownloadAverage, Usage.DownloadSamples, ReceivedDelta);
    Usage.UploadAverage = usage::FoldAverage(Usage.UploadAverage, Usage.UploadSamples, SentDelta);
    if (Usage.DownloadSamples < usage::kMaxSamples)
        ++Usage.DownloadSamples;
    if (Usage.UploadSamples < usage::kMaxSamples)
        ++Usage.UploadSamples;

    Usage.lbDL.SetCaption(usage::RateText(ReceivedDelta));
    Usage.lbUL.SetCaption(usage::RateText(SentDelta));
    Usage.lbDLA.SetCaption(usage::RateText(Usage.DownloadAverage));
    Usage.lbULA.SetCaption(usage::RateText(Usage.UploadAverage));
    // The maxima as they stood before this tick.
    Usage.lbDLM.SetCaption(usage::RateText(Usage.DownloadMax));
    Usage.lbULM.SetCaption(usage::RateText(Usage.UploadMax));

    Usage.UseChart.GridValue = static_cast<float>(ReceivedDelta / kBytesPerKilobyte);
    Usage.UseChart.GridValue2 = static_cast<float>(SentDelta / kBytesPerKilobyte);

    if (ReceivedDelta > Usage.DownloadMax)
        Usage.DownloadMax = ReceivedDelta;
    if (SentDelta > Usage.UploadMax)
        Usage.UploadMax = SentDelta;

    // The top of the chart follows the highest rate it still shows.
    Usage.UseChart.GridMax = Usage.UseChart.MaxSample();
}

void TStatsForm::SetChartEnabled(bool on) {
    Usage.UseChart.SetEnabled(on);
}

void TStatsForm::ClearChart() {
    Usage.UseChart.Clear();
}

void TStatsForm::tsUsageShow() {
    SetChartEnabled(true);
}

void TStatsForm::tsUsageHide() {
    SetChartEnabled(false);
}

// The line follows its box rather than flipping, so it can never drift out of step.
void TStatsForm::cbShowDLClick() {
    ShowLine(Usage.UseChart, tmchart::goLine1, Usage.cbShowDL.Checked());
}

void TStatsForm::cbShowULClick() {
    ShowLine(Usage.UseChart, tmchart::goLine2, Usage.cbShowUL.Checked());
}

void TStatsForm::cbDLColorChange() {
    Usage.UseChart.Line1Color = Usage.cbDLColor.Selected();
    Usage.UseChart.ReDraw();
}

void TStatsForm::cbULColorChange() {
    Usage.UseChart.Line2Color = Usage.cbULColor.Selected();
    Usage.UseChart.ReDraw();
}
