// The usage page: rates, averages and maxima over ticks, the chart they feed, and the
// line and colour controls as the user works them.
#include "StatForm/StatsForm.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Counts the pixels of one colour that a window shows now.
int CountShown(HWND window, widgets::TColor color) {
    RECT client{};
    ::GetClientRect(window, &client);
    HDC screen = ::GetDC(window);
    int n = 0;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            n += ::GetPixel(screen, x, y) == color;
    ::ReleaseDC(window, screen);
    return n;
}

class Usage : public ::testing::Test {
protected:
    Usage() {
        index = fake.AddAdapter("eth0");
        window = std::make_unique<TStatsForm>();
        window->Ordinal = 1;
        window->BeginForm(false);
    }

    // One sampling tick's worth of the page, with the deltas the General page found.
    void Update(std::uint32_t received, std::uint32_t sent) {
        window->ReceivedDelta = received;
        window->SentDelta = sent;
        window->UpdateUsage();
    }
    // The chart's own clock, after the page's update.
    void UpdateAndSample(std::uint32_t received, std::uint32_t sent, int times = 1) {
        for (int i = 0; i < times; ++i) {
            Update(received, sent);
            window->Usage.UseChart.Tick();
        }
    }
    void ShowUsagePage() {
        window->Show();
        window->PageControl1.SetActivePage(window->tsUsage);
    }
    // The user's click on a check box, through the page to the form.
    static void Click(widgets::CheckBox& box) { ::SendMessageW(box.Handle(), BM_CLICK, 0, 0); }
    int Shown(widgets::TColor color) { return CountShown(window->Usage.UseChart.Handle(), color); }

    fake::FakePlatform fake;
    DWORD index = 0;
    std::unique_ptr<TStatsForm> window;
};

TEST_F(Usage, ASteadyRateShowsAtOnceTheAverageApproachesAndTheMaximumLagsOneTick) {
    Update(0, 0); // the first tick after the start has nothing to tell
    for (widgets::Label* label : {&window->Usage.lbDL, &window->Usage.lbDLA, &window->Usage.lbDLM})
        EXPECT_EQ(label->Caption(), L"0.0 k/秒");
    Update(10240, 1536);
    EXPECT_EQ(window->Usage.lbDL.Caption(), L"10.0 k/秒");
    EXPECT_EQ(window->Usage.lbUL.Caption(), L"1.5 k/秒");
    EXPECT_EQ(window->Usage.lbDLA.Caption(), L"5.0 k/秒");
    EXPECT_EQ(window->Usage.lbDLM.Caption(), L"0.0 k/秒");
    EXPECT_EQ(window->Usage.UseChart.GridValue, 10.0f);
    EXPECT_EQ(window->Usage.UseChart.GridValue2, 1.5f);
    Update(10240, 1536);
    EXPECT_EQ(window->Usage.lbDLA.Caption(), L"6.7 k/秒");
    EXPECT_EQ(window->Usage.lbDLM.Caption(), L"10.0 k/秒");
    EXPECT_EQ(window->Usage.lbULM.Caption(), L"1.5 k/秒");
}

TEST_F(Usage, ATickWithoutTheInterfaceLeavesThePageAlone) {
    fake.Row(index).dwInOctets += 10240;
    window->Timer2Timer();
    auto shown = [this] {
        std::vector<std::wstring> texts;
        for (widgets::Label* label : {&window->Usage.lbDL, &window->Usage.lbDLA, &window->Usage.lbDLM})
            texts.push_back(label->Caption());
        return std::make_tuple(texts, window->Usage.DownloadSamples, window->Usage.DownloadAverage);
    };
    const auto before = shown();
    ASSERT_EQ(std::get<0>(before)[0], L"10.0 k/秒");
    fake.RemoveInterface(index);
    window->Timer2Timer();
    EXPECT_EQ(shown(), before);
}

TEST_F(Usage, CountsStopAt255AndTheAverageTurnsIntoAMovingOne) {
    for (int i = 0; i < 300; ++i)
        Update(0, 2048);
    EXPECT_EQ(window->Usage.DownloadSamples, 255u);
    EXPECT_EQ(window->Usage.UploadSamples, 255u);
    EXPECT_EQ(window->Usage.UploadAverage, 2048.0f);
    // A new tick now weighs 1/256, however long the window has run.
    Update(256 * 1024, 2048);
    EXPECT_EQ(window->Usage.DownloadAverage, 1024.0f);
    EXPECT_EQ(window->Usage.DownloadSamples, 255u);
}

TEST_F(Usage, TheTopOfTheChartIsTheHighestRateItHolds) {
    UpdateAndSample(0, 0, 3);
    EXPECT_EQ(window->Usage.UseChart.GridMax, 0.0f);
    UpdateAndSample(20480, 3072);
    UpdateAndSample(1024, 0);
    EXPECT_EQ(window->Usage.UseChart.GridMax, 20.0f);
    // The reset button empties the chart but keeps the rates' history.
    window->General.Button3.Click();
    EXPECT_TRUE(window->Usage.UseChart.SampleLine1().empty());
    EXPECT_EQ(window->Usage.DownloadMax, 20480u);
    Update(1024, 0);
    EXPECT_EQ(window->Usage.UseChart.GridMax, 0.0f);
}

TEST_F(Usage, TheChartDrawsWhileTheWindowIsShownAndOnItsPage) {
    tmchart::TTimeChart& chart = window->Usage.UseChart;
    window->Show();
    EXPECT_TRUE(chart.Enabled());
    window->PageControl1.SetActivePage(window->tsUsage);
    EXPECT_TRUE(chart.Enabled());
    window->PageControl1.SetActivePage(window->tsGeneral);
    EXPECT_FALSE(chart.Enabled());
    window->PageControl1.SetActivePage(window->tsUsage);
    EXPECT_TRUE(chart.Enabled());
    window->Hide();
    EXPECT_FALSE(chart.Enabled());
    // Hidden, the page still counts.
    Update(4096, 0);
    EXPECT_EQ(window->Usage.lbDL.Caption(), L"4.0 k/秒");
}

TEST_F(Usage, AHiddenLineKeepsItsHistoryAndShowsItAllWhenBack) {
    ShowUsagePage();
    UpdateAndSample(1024, 2048, 5);
    ASSERT_GT(Shown(widgets::clYellow), 0);

    Click(window->Usage.cbShowUL);
    EXPECT_FALSE(window->Usage.cbShowUL.Checked());
    EXPECT_EQ(Shown(widgets::clYellow), 0) << "hidden at once";
    UpdateAndSample(1024, 2048, 5);
    EXPECT_EQ(window->Usage.UseChart.SampleLine2().size(), 10u);

    Click(window->Usage.cbShowUL);
    // Ten samples of a flat line: nine segments of two pixels, the newest end just
    // beyond the right edge.
    EXPECT_EQ(Shown(widgets::clYellow), 17);
}

TEST_F(Usage, ANewColourRepaintsTheLineAtOnce) {
    window->Usage.UseChart.GridLegend = false; // its text is lime as well
    ShowUsagePage();
    UpdateAndSample(1024, 0, 4);
    int lime = Shown(widgets::clLime);
    ASSERT_GT(lime, 0);

    window->Usage.cbDLColor.SetSelected(widgets::clRed);
    EXPECT_EQ(window->Usage.UseChart.Line1Color, widgets::clRed);
    EXPECT_EQ(Shown(widgets::clRed), lime);
    EXPECT_EQ(Shown(widgets::clLime), 0);
}

TEST_F(Usage, TheUsersChoiceReachesTheChartAndTheCustomEntryAsksForItsColour) {
    widgets::ColorBox& box = window->Usage.cbDLColor;
    ASSERT_EQ(box.Count(), 17);
    int red = 1;
    while (red < box.Count() && box.ItemColor(red) != widgets::clRed)
        ++red;
    // As the list tells the page when the user picks an item.
    ::SendMessageW(box.Handle(), CB_SETCURSEL, static_cast<WPARAM>(red), 0);
    ::SendMessageW(::GetParent(box.Handle()), WM_COMMAND, MAKEWPARAM(box.Id(), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(box.Handle()));
    EXPECT_EQ(window->Usage.UseChart.Line1Color, widgets::clRed);

    BOOL accept = FALSE;
    platform::dialogs().ChooseColorW = [&](LPCHOOSECOLORW dialog) {
        dialog->rgbResult = RGB(1, 2, 3);
        return accept;
    };
    box.Choose(widgets::ColorBox::kCustomIndex);
    EXPECT_EQ(window->Usage.UseChart.Line1Color, widgets::clRed) << "cancelled";
    EXPECT_EQ(box.ItemIndex(), red);
    accept = TRUE;
    box.Choose(widgets::ColorBox::kCustomIndex);
    EXPECT_EQ(window->Usage.UseChart.Line1Color, RGB(1, 2, 3));
    EXPECT_EQ(box.ItemIndex(), widgets::ColorBox::kCustomIndex);
}

TEST_F(Usage, TheBoxDrawsItsSwatchAndAPageMeasureRequestIsNoStopRequest) {
    int stops = 0;
    window->ShutDownAll = [&] { ++stops; };
    ShowUsagePage();
    window->Usage.cbDLColor.SetSelected(widgets::clBlue);
    ::UpdateWindow(window->Usage.cbDLColor.Handle());
    EXPECT_GT(CountShown(window->Usage.cbDLColor.Handle(), widgets::clBlue), 20);

    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_COMBOBOX;
    measure.CtlID = IDC_cbDLColor;
    HWND page = ::GetParent(window->Usage.cbDLColor.Handle());
    ::SendMessageW(page, WM_MEASUREITEM, IDC_cbDLColor, reinterpret_cast<LPARAM>(&measure));
    EXPECT_GT(measure.itemHeight, 8u);
    EXPECT_EQ(stops, 0);
    ::SendMessageW(window->Handle(), WM_MEASUREITEM, 0, 0);
    EXPECT_EQ(stops, 1);
}

} // namespace
