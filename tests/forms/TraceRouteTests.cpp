// Trace route windows over a scripted probe library: what each window lists, that two
// traces at once keep apart, closing during a trace, the failures, the stored layout,
// the copy commands and a trace that is still running when the program ends, also one
// stuck in the library past its stop bound.
#include "StatForm/StatsForm.h"
#include "frmTrcRt/FrmTraceRt.h"
#include "support/FakePlatform.h"
#include "support/Override.h"
#include "support/Windows.h"
#include "widgets/Application.h"
#include "widgets/Failures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Cells = std::vector<std::wstring>;

struct Hop {
    BYTE hop;
    std::string address;
    DWORD time;
};

// What the scripted library does for one target.
struct Plan {
    std::vector<Hop> hops;
    DWORD status = KVPROBE_OK;
    int lastHop = -1;    // the result block's first byte; -1: no block
    int holdBefore = -1; // waits for Release() before reporting this hop
    int pauseMs = 0;     // "probing" time before every hop
};

class ScriptedProbe {
public:
    ScriptedProbe() {
        binding_->TraceRoute = [this](const TraceRequest* request, TraceResult** result,
                                      HopCallback callback) { return Trace(request, result, callback); };
        binding_->FreeTraceRt = [this](TraceResult** result) {
            std::lock_guard<std::mutex> hold(lock_);
            ++frees;
            delete *result;
            *result = nullptr;
        };
        binding_->GetDNSLookup = [this](LookupRequest* request) -> DWORD {
            std::lock_guard<std::mutex> hold(lock_);
            lookups.emplace_back(request->address);
            auto found = names.find(request->address);
            if (found == names.end())
                return WSAHOST_NOT_FOUND;
            std::strncpy(request->hostName, found->second.c_str(), sizeof request->hostName - 1);
            return 0;
        };
    }
    ~ScriptedProbe() { Release(); }

    void Release() {
        std::lock_guard<std::mutex> hold(lock_);
        released_ = true;
        gate_.notify_all();
    }
    void WithoutLibrary() { *binding_ = kelvradll::ProbeLibrary{}; }

    std::map<std::string, Plan> plans;
    std::map<std::string, std::string> names;
    // Recorded; read once the traces have ended.
    std::vector<TraceRequest> requests;
    std::vector<std::string> lookups;
    std::map<std::string, int> stoppedAt; // target: the hop after which -1 was written
    int frees = 0;

private:
    DWORD Trace(const TraceRequest* request, TraceResult** result, HopCallback callback) {
        Plan plan;
        {
            std::lock_guard<std::mutex> hold(lock_);
            requests.push_back(*request);
            plan = plans[request->target];
        }
        LONG stop = 0;
        for (std::size_t i = 0; i < plan.hops.size() && stop != -1; ++i) {
            if (static_cast<int>(i) == plan.holdBefore) {
                std::unique_lock<std::mutex> hold(lock_);
                gate_.wait_for(hold, std::chrono::seconds(10), [this] { return released_; });
            }
            if (plan.pauseMs)
                std::this_thread::sleep_for(std::chrono::milliseconds(plan.pauseMs));
            HopReport report{};
            report.hop = plan.hops[i].hop;
            std::strncpy(report.address, plan.hops[i].address.c_str(), sizeof report.address - 1);
            report.timeMs = plan.hops[i].time;
            report.cookie = request->cookie;
            callback(&report, &stop);
            if (stop == -1) {
                std::lock_guard<std::mutex> hold(lock_);
                stoppedAt[request->target] = report.hop;
            }
        }
        *result = nullptr;
        if (plan.lastHop >= 0) {
            *result = new TraceResult{};
            (*result)->lastHop = static_cast<BYTE>(plan.lastHop);
        }
        return plan.status;
    }

    fake::BindingOverride<kelvradll::ProbeLibrary> binding_{kelvradll::probeLibrary()};
    std::mutex lock_;
    std::condition_variable gate_;
    bool released_ = false;
};

DWORD Address(BYTE a, BYTE b, BYTE c, BYTE d) {
    const BYTE bytes[4] = {a, b, c, d};
    DWORD word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Handles the window thread's messages until done() holds, five seconds at most.
bool PumpUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        widgets::Application::Instance().ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::vector<Cells> RowsOf(const TFrmTraceRt& window) {
    std::vector<Cells> rows;
    for (const auto& row : window.RouteList.Rows())
        rows.push_back(row.cells);
    return rows;
}

class TraceRoute : public ::testing::Test {
protected:
    TraceRoute() {
        fake.AddAdapter("eth0");
        status = fake::BeginWindow();
    }
    ~TraceRoute() override {
        probe.Release();
        status.reset();
        widgets::Application::Instance().ProcessMessages();
        EXPECT_FALSE(TraceWindowRegistry::Exists());
    }

    TFrmTraceRt& Open(DWORD target) { return status->OpenTraceRoute(target); }
    bool Ended(const TFrmTraceRt& window) {
        return PumpUntil([&] { return window.TraceFinished; });
    }
    bool Gone() {
        return PumpUntil([&] { return status->TraceWindows.Count() == 0; });
    }
    std::vector<std::wstring> Failures() const {
        std::vector<std::wstring> failures;
        for (const std::wstring& line : fake.DebugOutput)
            if (line.starts_with(widgets::kFailurePrefix))
                failures.push_back(line);
        return failures;
    }

    fake::FakePlatform fake;
    ScriptedProbe probe;
    std::unique_ptr<TStatsForm> status;
};

TEST_F(TraceRoute, ListsEveryHopWithTimeAddressAndName) {
    probe.plans["10.201.2.2"] = {
        {{1, "10.201.1.1", 0}, {2, "", KVPROBE_NO_ANSWER}, {3, "10.201.2.2", 12345}}};
    probe.names["10.201.1.1"] = "router.test";
    TFrmTraceRt& window = Open(Address(10, 201, 2, 2));

    EXPECT_EQ(window.Caption(), L"追踪路由到 10.201.2.2 超过30跃点数.");
    EXPECT_EQ(::GetWindow(window.Handle(), GW_OWNER), status->Handle());
    ASSERT_TRUE(Ended(window));
    EXPECT_EQ(RowsOf(window), (std::vector<Cells>{{L"1", L"0 ms", L"10.201.1.1", L"router.test"},
                                                  {L"2", L"*", L"", L"请求超时。"},
                                                  {L"3", L"12345 ms", L"10.201.2.2", L""}}));
    // An unanswered hop is not looked up.
    EXPECT_EQ(probe.lookups, (std::vector<std::string>{"10.201.1.1", "10.201.2.2"}));
    ASSERT_EQ(probe.requests.size(), 1u);
    const TraceRequest& request = probe.requests[0];
    EXPECT_EQ(request.size, 36u);
    EXPECT_STREQ(request.target, "10.201.2.2");
    EXPECT_EQ(request.maxHops, 30);
    EXPECT_EQ(request.hopTimeoutMs, 2000u);
    EXPECT_EQ(request.packetSize, 16u);
    EXPECT_EQ(request.cookie, window.TraceCookie);
    EXPECT_EQ(probe.frees, 1);

    EXPECT_TRUE(window.Timer1.Enabled());
    window.Timer1Timer();
    EXPECT_EQ(window.Caption(), L"追踪完成");
    EXPECT_FALSE(window.Timer1.Enabled());
    // A finished trace closes at once.
    window.Close();
    EXPECT_TRUE(Gone());
    EXPECT_TRUE(Failures().empty());
}

TEST_F(TraceRoute, TwoWindowsTracingAtOnceReceiveOnlyTheirOwnHops) {
    probe.plans["10.0.0.1"] = {{{1, "10.1.0.1", 1}, {2, "10.1.0.2", 2}, {3, "10.0.0.1", 3}}, 0, -1, 1};
    probe.plans["10.0.0.2"] = {{{1, "10.2.0.1", 4}, {2, "10.2.0.2", 5}, {3, "10.0.0.2", 6}}, 0, -1, 1};
    TFrmTraceRt& first = Open(Address(10, 0, 0, 1));
    TFrmTraceRt& second = Open(Address(10, 0, 0, 2));
    // Both are between their first and second hop now.
    ASSERT_TRUE(PumpUntil([&] { return first.RouteList.Count() == 1 && second.RouteList.Count() == 1; }));
    EXPECT_NE(first.TraceCookie, second.TraceCookie);
    probe.Release();
    ASSERT_TRUE(Ended(first));
    ASSERT_TRUE(Ended(second));

    auto addresses = [](const TFrmTraceRt& window) {
        std::vector<std::wstring> seen;
        for (const Cells& row : RowsOf(window))
            seen.push_back(row[2]);
        return seen;
    };
    EXPECT_EQ(addresses(first), (std::vector<std::wstring>{L"10.1.0.1", L"10.1.0.2", L"10.0.0.1"}));
    EXPECT_EQ(addresses(second), (std::vector<std::wstring>{L"10.2.0.1", L"10.2.0.2", L"10.0.0.2"}));
}

TEST_F(TraceRoute, ClosingDuringATraceStopsItAtTheNextHopAndAddsNothingMore) {
    probe.plans["10.0.0.9"] = {{{1, "10.9.0.1", 1}, {2, "10.9.0.2", 2}, {3, "10.0.0.9", 3}}, 0, -1, 1};
    TFrmTraceRt& window = Open(Address(10, 0, 0, 9));
    ASSERT_TRUE(PumpUntil([&] { return window.RouteList.Count() == 1; }));

    window.Close();
    EXPECT_EQ(window.Caption(), L"关闭中...");
    EXPECT_TRUE(window.CloseRequested);
    EXPECT_EQ(status->TraceWindows.Count(), 1u); // refused while the trace runs

    probe.Release();
    ASSERT_TRUE(Gone());
    EXPECT_EQ(probe.stoppedAt["10.0.0.9"], 2);
    EXPECT_EQ(probe.lookups, (std::vector<std::string>{"10.9.0.1"}));
    EXPECT_EQ(probe.frees, 1);
    EXPECT_TRUE(Failures().empty());
}

TEST_F(TraceRoute, FailuresShowTheirTexts) {
    struct Case {
        const char* what;
        DWORD status;
        int lastHop;
        bool library;
        Cells lastRow;
    };
    const std::vector<Case> cases = {
        {"failed after hop 5", 1, 5, true, {L"5", L"*", L"", L"请求失败。"}},
        {"failed without a result block", 87, -1, true, {L"", L"*", L"", L"请求失败。"}},
        {"no library", 0, -1, false, {L"", L"*", L"", L"请求失败。"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedProbe scripted;
        scripted.plans["10.0.0.5"] = {{{1, "10.5.0.1", 1}}, c.status, c.lastHop};
        if (!c.library)
            scripted.WithoutLibrary();
        TFrmTraceRt& window = Open(Address(10, 0, 0, 5));
        ASSERT_TRUE(Ended(window));
        std::vector<Cells> rows = RowsOf(window);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.back(), c.lastRow);
        EXPECT_EQ(rows.size(), c.library ? 2u : 1u); // the rows received stay
        window.Close();
        ASSERT_TRUE(Gone());
    }
    EXPECT_TRUE(fake.MessageBoxes.empty());
}

TEST_F(TraceRoute, AnInvalidTargetIsToldInABoxOwnedByTheWindowWhichThenCloses) {
    probe.plans["0.0.0.0"] = {{}, KVPROBE_BAD_TARGET, -1};
    TFrmTraceRt& window = Open(0);
    const HWND handle = window.Handle();
    ASSERT_TRUE(Gone());
    ASSERT_EQ(fake.MessageBoxes.size(), 1u);
    const fake::MessageBoxCall& box = fake.MessageBoxes[0];
    EXPECT_EQ(box.owner, handle);
    EXPECT_EQ(box.text, L"此 IP 地址无效。");
    EXPECT_EQ(box.caption, L"追溯路由失败");
    EXPECT_EQ(box.type, static_cast<UINT>(MB_ICONEXCLAMATION | MB_OK));
}

TEST_F(TraceRoute, StoredLayoutIsAppliedValueByValueAndSavedWhole) {
    {
        settings::RegistryAccessor stored{settings::KeyAccess::ReadWrite};
        stored.WriteInteger(L"CTrc1", 77);
        stored.WriteInteger(L"CTrc3", 300);
        stored.WriteInteger(L"CTrcTop", 40);
        stored.WriteInteger(L"CTrcWidth", 100); // below the window's minimum
    }
    probe.plans["10.0.0.3"] = {{{1, "10.0.0.3", 1}}};
    const RECT owner = status->Bounds();
    TFrmTraceRt& window = Open(Address(10, 0, 0, 3));

    EXPECT_EQ(window.RouteList.ColumnWidth(0), 50);
    EXPECT_EQ(window.RouteList.ColumnWidth(1), 77);
    EXPECT_EQ(window.RouteList.ColumnWidth(2), 100);
    EXPECT_EQ(window.RouteList.ColumnWidth(3), 300);
    const RECT bounds = window.Bounds();
    EXPECT_EQ(bounds.left, (owner.left + (owner.right - owner.left)) / 2 - 222);
    EXPECT_EQ(bounds.top, 40);
    EXPECT_EQ(bounds.right - bounds.left, 445);
    EXPECT_EQ(bounds.bottom - bounds.top, 280);

    ASSERT_TRUE(Ended(window));
    window.RouteList.SetColumnWidth(0, 61);
    window.SetBounds(30, 50, 500, 300);
    window.Close();
    ASSERT_TRUE(Gone());
    settings::RegistryAccessor saved;
    const std::vector<std::pair<const wchar_t*, int>> expected = {
        {L"CTrc0", 61},    {L"CTrc1", 77},   {L"CTrc2", 100},     {L"CTrc3", 300},
        {L"CTrcLeft", 30}, {L"CTrcTop", 50}, {L"CTrcWidth", 500}, {L"CTrcHeight", 300}};
    for (const auto& [name, value] : expected)
        EXPECT_EQ(saved.ReadInteger(name), value) << name;
    EXPECT_TRUE(Failures().empty());
}

TEST_F(TraceRoute, ALayoutThatCannotBeSavedIsReportedOnce) {
    fake.Registry.ReadOnly(HKEY_CURRENT_USER, L"Software\\Quorvel Software\\Tarvelo");
    probe.plans["10.0.0.3"] = {{{1, "10.0.0.3", 1}}};
    TFrmTraceRt& window = Open(Address(10, 0, 0, 3));
    ASSERT_TRUE(Ended(window));
    window.Close();
    ASSERT_TRUE(Gone());
    const std::vector<std::wstring> failures = Failures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find(L"the trace route window's layout"), std::wstring::npos) << failures[0];
}

TEST_F(TraceRoute, CopiesOneRowOrAllRows) {
    probe.plans["10.0.0.4"] = {{{1, "10.4.0.1", 7}, {2, "", KVPROBE_NO_ANSWER}}};
    TFrmTraceRt& window = Open(Address(10, 0, 0, 4));
    ASSERT_TRUE(Ended(window));

    window.Copy1Click(); // nothing selected: nothing copied
    EXPECT_TRUE(fake.ClipboardTexts.empty());
    window.RouteList.SetSelected(1, true);
    window.Copy1.Click();
    window.CopyAll1.Click();
    EXPECT_EQ(
        fake.ClipboardTexts,
        (std::vector<std::wstring>{L"2\t*\t\t请求超时。", L"1\t7 ms\t10.4.0.1\t\r\n2\t*\t\t请求超时。\r\n"}));
    EXPECT_EQ(fake.ClipboardOpen, 0);
}

TEST_F(TraceRoute, ARunningTraceIsStoppedWhenTheProgramEnds) {
    Plan slow;
    slow.pauseMs = 200;
    for (BYTE hop = 1; hop <= 30; ++hop)
        slow.hops.push_back({hop, "10.7.0." + std::to_string(hop), 1});
    probe.plans["10.0.0.7"] = slow;
    TFrmTraceRt& window = Open(Address(10, 0, 0, 7));
    ASSERT_TRUE(PumpUntil([&] { return window.RouteList.Count() >= 1; }));

    status.reset();
    widgets::Application::Instance().ProcessMessages();
    // Stopped at its next hop, well within the bound (an overrun is reported).
    EXPECT_GE(probe.stoppedAt["10.0.0.7"], 2);
    EXPECT_LT(probe.stoppedAt["10.0.0.7"], 30);
    EXPECT_EQ(probe.frees, 1);
    EXPECT_TRUE(Failures().empty());
}

// A real probe library whose trace never heeds the stop: the window goes past the stop
// bound, the program ends with the worker still inside the library, and the process
// ends cleanly, the library loaded to the last (checked after the static teardown).
TEST(TraceRouteDeathTest, TheProgramEndsWhileATraceOverrunsItsStopBound) {
    EXPECT_EXIT(
        {
            fake::FakePlatform fake;
            fake.AddAdapter("eth0");
            fake.UseProgramFolder(L"probe_home\\");
            std::atexit([] {
                if (!::GetModuleHandleW((fake::TestFolder() + L"probe_home\\kelvra.dll").c_str()))
                    std::_Exit(3);
            });
            auto status = fake::BeginWindow();
            TFrmTraceRt& window = status->OpenTraceRoute(Address(10, 0, 0, 9));
            if (!PumpUntil([&] { return window.RouteList.Count() >= 1; }))
                std::_Exit(2);
            status.reset();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
