// The trace route window and its worker.
#include "frmTrcRt/FrmTraceRt.h"
#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "platform/Kernel.h"
#include "platform/Text.h"

#include <array>
#include <cstring>
#include <mutex>
#include <random>

namespace {

constexpr BYTE kMaxHops = 30;
constexpr DWORD kHopTimeoutMs = 2000;
constexpr DWORD kPacketSize = 16;
constexpr LONG kStopTrace = -1;

constexpr std::array<const wchar_t*, 4> kColumnValues = {L"CTrc0", L"CTrc1", L"CTrc2", L"CTrc3"};

// Drawn from a generator seeded once: windows opened within one clock tick must not
// share a cookie.
DWORD DrawCookie() {
    static std::mutex lock;
    static std::mt19937 generator(std::random_device{}() ^ platform::kernel().GetTickCount());
    std::lock_guard<std::mutex> hold(lock);
    return static_cast<DWORD>(generator());
}

// Text of a fixed-size field of the library's records, which may lack its terminator.
std::wstring FieldText(const char* field, std::size_t capacity) {
    return platform::FromAnsi(std::string(field, strnlen(field, capacity)));
}

// Whether the trace is to end: the user closes its window, or the program ends.
bool Ending(const trcrt::TraceChannel& channel) {
    return channel.CloseRequested || channel.Stop.stop_requested();
}

} // namespace

// --- Worker -------------------------------------------------------------------------

void TTRThread::Run(std::stop_token stop, std::shared_ptr<trcrt::TraceChannel> channel, std::string target,
                    DWORD cookie) {
    channel->Stop = stop;
    TraceRequest request{};
    request.size = sizeof request;
    std::strncpy(request.target, target.c_str(), sizeof request.target - 1);
    request.maxHops = kMaxHops;
    request.hopTimeoutMs = kHopTimeoutMs;
    request.packetSize = kPacketSize;
    request.cookie = cookie;

    const kelvradll::ProbeLibrary& probe = channel->Probe;
    TraceResult* result = nullptr;
    trcrt::TraceEnd end;
    try {
        end.status = probe.TraceRoute(&request, &result, &TTRThread::HopCallback);
    } catch (...) {
        end.status = KVPROBE_FAILED; // a missing library, or a failure inside it
    }
    if (result)
        end.lastHop = result->lastHop;
    try {
        if (probe.FreeTraceRt)
            probe.FreeTraceRt(&result);
    } catch (...) {
    }
    channel->IgnoreHops = true;
    channel->Sender.Post(std::make_unique<trcrt::TraceLetter>(std::move(end)));
}

void WINAPI TTRThread::HopCallback(const HopReport* report, LONG* stop) {
    if (!report || !stop)
        return;
    std::shared_ptr<trcrt::TraceChannel> channel = TraceWindowRegistry::Find(report->cookie);
    if (!channel || channel->IgnoreHops)
        return;
    if (!Ending(*channel)) {
        const std::wstring address = FieldText(report->address, sizeof report->address);
        std::wstring host;
        if (report->timeMs != KVPROBE_NO_ANSWER && !address.empty())
            host = kelvradll::LookUpHostName(channel->Probe, address);
        channel->Sender.Post(std::make_unique<trcrt::TraceLetter>(
            trcrt::TraceHop{trcrt::HopCells(report->hop, report->timeMs, address, host)}));
    }
    // Asked again after the lookup, which may have taken a while.
    if (Ending(*channel)) {
        *stop = kStopTrace;
        channel->IgnoreHops = true;
    }
}

// --- Window -------------------------------------------------------------------------

TFrmTraceRt::TFrmTraceRt(widgets::Form& owner) : Form(L"TFrmTraceRt", IDD_TFrmTraceRt) {
    OnShow = [this] { FormShow(); };
    OnCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };
    OnDestroy = [this] { FormClose(); };
    Timer1.OnTimer = [this] { Timer1Timer(); };
    Copy1.OnClick = [this] { Copy1Click(); };
    CopyAll1.OnClick = [this] { CopyAll1Click(); };
    RouteList.OnContextMenu = [this](POINT at) { TrcRtPopup.Popup(at); };
    Results.OnReceive = [this](std::unique_ptr<trcrt::TraceLetter> letter) { Receive(std::move(letter)); };
    RouteList.SetColumns({{L"跃点数", 50}, {L"速度", 50}, {L"IP 地址", 100}, {L"DNS 地址", 225}});
    ownerBounds_ = owner.Bounds();
    CreateHandle(owner.Handle());
}

TFrmTraceRt::~TFrmTraceRt() {
    StopWorker();
    DestroyHandle();
    TraceWindowRegistry::Remove(channel_.get());
}

void TFrmTraceRt::FormCreate() {
    const RECT& ownerBounds = ownerBounds_;
    // Half the sum of the owner's left and width (not its centre), as the window has
    // always been placed.
    const int left =
        (ownerBounds.left + (ownerBounds.right - ownerBounds.left)) / 2 - widgets::ScalePixels(222);
    const int top =
        (ownerBounds.top + (ownerBounds.bottom - ownerBounds.top)) / 2 - widgets::ScalePixels(140);
    SetBounds(left, top, widgets::ScalePixels(kWidth), widgets::ScalePixels(kHeight));
    TraceFinished = true;
    CloseRequested = false;
}

void TFrmTraceRt::FormShow() {
    if (started_)
        return; // a window traces once
    started_ = true;
    RestoreLayout();
    StartTrace();
}

// The place is kept in screen pixels; the size, like the columns' widths, as at 96 pixels
// per inch, so the window still fits its columns when the screen's scale has changed.
void TFrmTraceRt::RestoreLayout() {
    RECT bounds = Bounds();
    int left = bounds.left, top = bounds.top;
    int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    if (auto v = registry_.ReadInteger(L"CTrcLeft"))
        left = *v;
    if (auto v = registry_.ReadInteger(L"CTrcTop"))
        top = *v;
    if (auto v = registry_.ReadInteger(L"CTrcWidth"))
        width = widgets::ScalePixels(*v);
    if (auto v = registry_.ReadInteger(L"CTrcHeight"))
        height = widgets::ScalePixels(*v);
    SetBounds(left, top, width, height);
    for (int column = 0; column < static_cast<int>(kColumnValues.size()); ++column)
        if (auto v = registry_.ReadInteger(kColumnValues[static_cast<std::size_t>(column)]))
            RouteList.SetColumnWidth(column, *v);
}

void TFrmTraceRt::StartTrace() {
    TraceFinished = false;
    channel_->Probe = kelvradll::probeLibrary();
    channel_->Sender = Results.NewJob();
    do
        TraceCookie = DrawCookie();
    while (!TraceWindowRegistry::Add(TraceCookie, channel_));
    const std::string target = platform::ToAnsi(kelvradll::DottedAddress(TargetAddress));
    TraceWorker.Start([channel = channel_, target, cookie = TraceCookie](std::stop_token stop) {
        TTRThread::Run(stop, channel, target, cookie);
    });
}

void TFrmTraceRt::Receive(std::unique_ptr<trcrt::TraceLetter> letter) {
    std::visit(widgets::Overloaded{[this](const trcrt::TraceHop& hop) {
                                       if (!TraceFinished)
                                           RouteList.Add({hop.cells, 0});
                                   },
                                   [this](const trcrt::TraceEnd& end) { TraceEnded(end); }},
               *letter);
}

void TFrmTraceRt::TraceEnded(const trcrt::TraceEnd& end) {
    TraceFinished = true;
    if (end.status == KVPROBE_BAD_TARGET) {
        platform::dialogs().MessageBoxW(Handle(), L"此 IP 地址无效。", L"追溯路由失败",
                                        MB_ICONEXCLAMATION | MB_OK);
        Close();
        return;
    }
    if (end.status != KVPROBE_OK)
        RouteList.Add({trcrt::FailureCells(end.lastHop ? &*end.lastHop : nullptr), 0});
    Timer1.SetEnabled(true);
    if (CloseRequested)
        Close();
}

void TFrmTraceRt::Timer1Timer() {
    SetCaption(L"追踪完成");
    Timer1.SetEnabled(false);
}

void TFrmTraceRt::FormCloseQuery(bool& canClose) {
    SetCaption(L"关闭中...");
    CloseRequested = true;
    channel_->CloseRequested = true;
    canClose = TraceFinished;
}

void TFrmTraceRt::StopWorker() {
    channel_->CloseRequested = true;
    TraceWorker.Stop(kTraceStopBound);
}

void TFrmTraceRt::FormClose() {
    if (closed_)
        return;
    closed_ = true;
    // The window goes with a trace still running only when its owner goes (the program
    // ends): that trace is told to stop, and waited for with a bound.
    StopWorker();
    TraceWindowRegistry::Remove(channel_.get());
    SaveLayout();
}

void TFrmTraceRt::SaveLayout() {
    settings::FirstFailure failure;
    if (failure.Note(settings::kSettingsKey, registry_.ReturnToSettingsKey(settings::KeyAccess::Write))) {
        auto write = [&](const wchar_t* name, int value) {
            failure.Note(name, registry_.WriteInteger(name, value));
        };
        for (int column = 0; column < static_cast<int>(kColumnValues.size()); ++column)
            write(kColumnValues[static_cast<std::size_t>(column)], RouteList.ColumnWidth(column));
        const RECT bounds = Bounds();
        write(L"CTrcLeft", bounds.left);
        write(L"CTrcTop", bounds.top);
        write(L"CTrcWidth", widgets::DesignedPixels(bounds.right - bounds.left));
        write(L"CTrcHeight", widgets::DesignedPixels(bounds.bottom - bounds.top));
    }
    failure.Report(L"the trace route window's layout");
}

void TFrmTraceRt::Copy1Click() {
    const int row = RouteList.NextSelected();
    if (row < 0)
        return; // nothing selected: the clipboard keeps what it has
    platform::SetClipboardText(Handle(), trcrt::RowText(RouteList.RowAt(row).cells));
}

void TFrmTraceRt::CopyAll1Click() {
    if (RouteList.Count() == 0)
        return;
    std::vector<trcrt::Cells> rows;
    for (const auto& row : RouteList.Rows())
        rows.push_back(row.cells);
    platform::SetClipboardText(Handle(), trcrt::AllRowsText(rows));
}

bool TFrmTraceRt::HandleMessage(UINT msg, WPARAM /*wParam*/, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = {widgets::ScalePixels(kWidth), widgets::ScalePixels(kHeight)};
        result = 0;
        return true;
    }
    case WM_SIZE: {
        // The list fills the window.
        const SIZE client = ClientSize();
        RouteList.SetBounds(0, 0, client.cx, client.cy);
        return false;
    }
    default:
        return false;
    }
}
