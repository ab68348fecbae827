#pragma once
#include "frmTrcRt/TraceWindowRegistry.h"
#include "frmTrcRt/resource.h"
#include "settings/RegistryAccessor.h"
#include "widgets/Form.h"
#include "widgets/ListView.h"
#include "widgets/Mailbox.h"
#include "widgets/Menu.h"
#include "widgets/Timer.h"
#include "widgets/Worker.h"

#include <chrono>
#include <memory>
#include <string>

// The worker of a trace route window: runs the probe library's trace and looks up the
// name of every hop. It holds only the trace's channel, never the window.
class TTRThread {
public:
    static void Run(std::stop_token stop, std::shared_ptr<trcrt::TraceChannel> channel, std::string target,
                    DWORD cookie);
    // The library's hop callback, on the worker thread.
    static void WINAPI HopCallback(const HopReport* report, LONG* stop);
};

// The route to one address, traced once, hop by hop.
class TFrmTraceRt : public widgets::Form {
public:
    // Outer size as designed at 96 pixels per inch, and the smallest the user may make it.
    static constexpr int kWidth = 445;
    static constexpr int kHeight = 280;
    // How long the window's end waits for a running trace (one hop's answer and lookup).
    static constexpr std::chrono::milliseconds kTraceStopBound{3000};

    // Made hidden, owned by `owner` and placed by its bounds; no reference is kept.
    explicit TFrmTraceRt(widgets::Form& owner);
    ~TFrmTraceRt() override;

    widgets::ListView RouteList{*this, IDC_RouteList};
    widgets::Timer Timer1{*this, 500};
    widgets::PopupMenu TrcRtPopup{*this, IDM_TrcRtPopup};
    widgets::MenuItem Copy1{TrcRtPopup, IDM_Copy1};
    widgets::MenuItem CopyAll1{TrcRtPopup, IDM_CopyAll1};

    DWORD TargetAddress = 0;
    bool CloseRequested = false;
    bool TraceFinished = true;
    widgets::Worker TraceWorker;
    DWORD TraceCookie = 0;

    void FormShow();
    void RestoreLayout();
    void StartTrace();
    void Timer1Timer();
    void FormCloseQuery(bool& canClose);
    void FormClose();
    void SaveLayout();
    void Copy1Click();
    void CopyAll1Click();

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void FormCreate() override;
    void Receive(std::unique_ptr<trcrt::TraceLetter> letter);
    void TraceEnded(const trcrt::TraceEnd& end);
    void StopWorker();

    widgets::Mailbox<trcrt::TraceLetter> Results{*this};
    std::shared_ptr<trcrt::TraceChannel> channel_ = std::make_shared<trcrt::TraceChannel>();
    settings::RegistryAccessor registry_;
    RECT ownerBounds_{}; // where the window was opened from, for its first place
    bool started_ = false;
    bool closed_ = false;
};
