// Every window at the screen's resolution: the same look as at 96 pixels per inch, only
// larger. Its size, its controls, its lists' columns, its charts, its fonts and pictures
// scale by it, and the tray icon is loaded at the size the shell asks for.
#include "AboutForm/TfrmAbout.h"
#include "DetailForm/NetDetail.h"
#include "forms/Surface.h"
#include "forms/WhileModal.h"
#include "frmARPlst/ArpList.h"
#include "frmOptns/TFrmOptions.h"
#include "frmTrcRt/FrmTraceRt.h"
#include "support/FakePlatform.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

namespace {

constexpr tmchart::TColor kLineColor = 0x000000FF;

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

// Every shown descendant of `parent` lies within its parent's client area (a list's own
// header is the list's business).
void ExpectInsideParents(HWND parent, const std::string& form) {
    RECT client{};
    ::GetClientRect(parent, &client);
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
        const bool shown = (::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0;
        EXPECT_TRUE(!shown ||
                    (r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom))
            << form << ": control " << ::GetDlgCtrlID(child) << " (" << ClassOf(child) << ") at " << r.left
            << "," << r.top << "-" << r.right << "," << r.bottom << " outside " << client.right << "x"
            << client.bottom;
        if (ClassOf(child) != "SysListView32")
            ExpectInsideParents(child, form);
    }
}

// What does not depend on the resolution when a window only grows with it: shares of
// one length in another.
using Shares = std::map<std::string, double>;

void AddColumnShares(Shares& shares, const std::string& list, const widgets::ListView& view) {
    RECT client{};
    ::GetClientRect(view.Handle(), &client);
    for (int column = 0; column < view.ColumnCount(); ++column)
        shares[list + " column " + std::to_string(column)] =
            static_cast<double>(::SendMessageW(view.Handle(), LVM_GETCOLUMNWIDTH, column, 0)) / client.right;
}

double Width(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r.right - r.left;
}

// A chart that has sampled for longer than it keeps: its line reaches the left edge,
// and the legend lies wholly inside it (a surface larger than the chart shows anything
// drawn beyond it).
void ExpectFullChart(tmchart::TTimeChart& chart, const std::string& name) {
    RECT client{};
    ::GetClientRect(chart.Handle(), &client);
    const int width = client.right, height = client.bottom;
    chart.DrawOptions = {tmchart::goLine1};
    chart.Line1Color = kLineColor;
    chart.ShowGrid = false;
    chart.GridLegend = true;
    chart.GridMax = 100;
    for (int tick = 0; tick < 500; ++tick) {
        chart.GridValue = 50;
        chart.Tick();
    }
    constexpr int kBeyond = 40;
    fake::Surface surface(width + kBeyond, height + kBeyond);
    chart.Render(surface.Dc(), width, height);
    EXPECT_GT(surface.Count(kLineColor, 0, 0, 1, height), 0)
        << name << ": the line stops short of the left edge";
    const tmchart::TColor legend = chart.Font().Color();
    const int inside = surface.Count(legend, 0, 0, width, height);
    EXPECT_GT(inside, 0) << name << ": no legend";
    EXPECT_EQ(surface.Count(legend), inside) << name << ": the legend runs over the edge";
}

HICON IconOf(HWND image) {
    return reinterpret_cast<HICON>(::SendMessageW(image, STM_GETICON, 0, 0));
}

int FontHeight(HWND control) {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

// Opens every window of the program at the resolution, checks what must hold at any,
// and returns the shares to compare with 96 pixels per inch.
Shares LookAtEveryWindow(int pixelsPerInch) {
    fake::FakePlatform fake;
    fake.PixelsPerInch = pixelsPerInch;
    fake.AddAdapter("eth0");
    Shares shares;
    const double inches = pixelsPerInch / 96.0;

    // A first run: nothing stored yet.
    auto window = fake::BeginWindow();
    ExpectInsideParents(window->Handle(), "status window");
    AddColumnShares(shares, "connections", window->Connections.lvConnections);
    ExpectFullChart(window->Usage.UseChart, "usage chart");
    window->SetActivityImage(0);
    shares["activity picture"] =
        IconWidth(IconOf(window->General.Image2.Handle())) / Width(window->General.Image2.Handle());

    TDisplaySettings record;
    TFrmOptions options(record);
    options.CreateHandle(window->Handle());
    ExpectInsideParents(options.Handle(), "options");
    shares["options preview"] = Width(options.SampleTC.Handle()) / options.ClientSize().cx;
    shares["options preview font"] = -options.SampleTC.Font().Height() / inches;
    ExpectFullChart(options.SampleTC, "options preview");

    window->About1Click();
    auto* about =
        dynamic_cast<TfrmAbout*>(widgets::Form::FindOpen(TfrmAbout::kClassName, TfrmAbout::kCaption));
    if (about) {
        ExpectInsideParents(about->Handle(), "about box");
        shares["about name font"] = -FontHeight(about->Label1.Handle()) / inches;
        shares["about icon"] = IconWidth(IconOf(about->Image1.Handle())) / inches;
    } else {
        ADD_FAILURE() << "no about box";
    }

    // Made, not shown: it traces nothing.
    TFrmTraceRt trace(*window);
    ExpectInsideParents(trace.Handle(), "trace route");
    AddColumnShares(shares, "trace route", trace.RouteList);

    window->AddARPEntry1Click();
    if (auto* arp = window->ToolForms.Find<TArpListForm>()) {
        ExpectInsideParents(arp->Handle(), "ARP table");
        AddColumnShares(shares, "ARP table", arp->ARPList);
    } else {
        ADD_FAILURE() << "no ARP window";
    }

    fake::WhenOpen<TNetDetail>(L"TNetDetail", [&](TNetDetail& details) {
        ExpectInsideParents(details.Handle(), "details");
        AddColumnShares(shares, "details", details.ListView1);
        details.Button1.Click();
    });
    window->btnDetailsClick();
    return shares;
}

TEST(Scaling, EveryWindowLooksAsAt96PixelsPerInchOnlyLarger) {
    const Shares designed = LookAtEveryWindow(96);
    for (int pixelsPerInch : {144, 192}) {
        SCOPED_TRACE(pixelsPerInch);
        const Shares scaled = LookAtEveryWindow(pixelsPerInch);
        ASSERT_EQ(scaled.size(), designed.size());
        for (const auto& [what, share] : designed)
            EXPECT_NEAR(scaled.at(what), share, share * 0.03) << what;
    }
}

TEST(Scaling, AStoredColumnWidthMeansTheSameAtEveryResolution) {
    // Dragged at 150 %, the column comes back as wide at 150 % and two thirds as wide at 100 %.
    fake::FakePlatform fake;
    fake.AddAdapter("eth0");
    fake.PixelsPerInch = 144;
    auto width = [](TStatsForm& window) {
        return ::SendMessageW(window.Connections.lvConnections.Handle(), LVM_GETCOLUMNWIDTH, 3, 0);
    };
    {
        auto window = fake::BeginWindow();
        ::SendMessageW(window->Connections.lvConnections.Handle(), LVM_SETCOLUMNWIDTH, 3, MAKELPARAM(117, 0));
        window->SaveSettings();
    }
    EXPECT_EQ(width(*fake::BeginWindow()), 117);
    fake.PixelsPerInch = 96;
    EXPECT_EQ(width(*fake::BeginWindow()), 78);
}

TEST(Scaling, TheStatusWindowFollowsTheResolutionAndTheShellsIconSize) {
    const struct {
        int pixelsPerInch;
        int smallIcon;
        SIZE client;
        SIZE chart;
        int legendHeight;
    } cases[] = {
        {96, 16, {338, 319}, {279, 89}, -12},
        {144, 24, {507, 479}, {419, 134}, -18},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pixelsPerInch);
        fake::FakePlatform fake;
        fake.PixelsPerInch = c.pixelsPerInch;
        fake.SmallIconSize = c.smallIcon;
        fake.AddAdapter("eth0");
        auto window = fake::BeginWindow();

        SIZE client = window->ClientSize();
        EXPECT_EQ(client.cx, c.client.cx);
        EXPECT_EQ(client.cy, c.client.cy);
        RECT chart = window->Usage.UseChart.Bounds();
        EXPECT_EQ(chart.right - chart.left, c.chart.cx);
        EXPECT_EQ(chart.bottom - chart.top, c.chart.cy);
        EXPECT_EQ(window->Usage.UseChart.Font().Height(), c.legendHeight);

        auto added = std::find_if(fake.TrayCalls.begin(), fake.TrayCalls.end(),
                                  [](const fake::TrayCall& call) { return call.message == NIM_ADD; });
        ASSERT_NE(added, fake.TrayCalls.end());
        EXPECT_EQ(IconWidth(added->icon), c.smallIcon);
    }
}

} // namespace
