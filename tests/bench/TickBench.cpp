// tick_bench: what the once-a-second sampling tick of the status windows costs, over the
// scripted platform and over the real one, and what a resting program burns per minute.
//
//   tick_bench ticks                  one tick per window, for 1, 8 and 32 windows
//   tick_bench pieces                 only the parts of UpdateGeneral that go to Wine
//   tick_bench rest SECONDS [COUNT]   COUNT windows (8) on their real timers for SECONDS;
//                                     prints "measuring" and "measured" around the interval
//
// Windows over the real platform are bound to the machine's links in turn (window i to
// position 1 + i mod (rows - 1)), since a machine has fewer links than 32.
#include "StatForm/StatsForm.h"
#include "app/Program.h"
#include "platform/Buffers.h"
#include "platform/IpHelper.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "StatForm/Formats.h"
#include "support/FakePlatform.h"
#include "widgets/Application.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {
std::atomic<long long> gAllocations{0};
}

// Every allocation of the C++ heap is counted, to see what a tick allocates. The
// operators stay out of line: inlined, GCC takes free() for a mismatch with new.
__attribute__((noinline)) void* operator new(std::size_t size) {
    ++gAllocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
__attribute__((noinline)) void operator delete(void* p) noexcept {
    std::free(p);
}
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using Windows = std::vector<std::unique_ptr<TStatsForm>>;

constexpr int kFakeWindowTicks = 4000;
constexpr int kRealWindowTicks = 600;
constexpr int kRestWindows = 8;
constexpr DWORD kObserverMilliseconds = 3000;
const int kWindowCounts[] = {1, 8, 32};

double Micros() {
    static const double ticksPerMicro = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1e6;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMicro;
}

// Durations in microseconds, kept in a block reserved beforehand so that recording one
// allocates nothing; calls beyond its capacity are counted but not kept.
class Samples {
public:
    explicit Samples(std::size_t capacity = 1 << 16) { values_.reserve(capacity); }
    void Add(double us) {
        if (values_.size() < values_.capacity())
            values_.push_back(us);
        ++count_;
    }
    void Clear() {
        values_.clear();
        count_ = 0;
        allocations = 0;
    }
    long long Count() const { return count_; }
    double Quantile(double q) const {
        if (values_.empty())
            return 0;
        std::vector<double> sorted = values_;
        auto at = sorted.begin() + static_cast<std::ptrdiff_t>(q * static_cast<double>(sorted.size() - 1));
        std::nth_element(sorted.begin(), at, sorted.end());
        return *at;
    }
    double Median() const { return Quantile(0.5); }

    long long allocations = 0; // made inside the measured calls

private:
    std::vector<double> values_;
    long long count_ = 0;
};

// Times the platform calls a tick makes, through the seam, for as long as it lives.
class Probes {
public:
    static constexpr int kCount = 4;
    static constexpr const char* kNames[kCount] = {"GetIfTable", "GetAdaptersInfo", "GetNumberOfInterfaces",
                                                   "Shell_NotifyIconW"};
    Samples calls[kCount];

    Probes() : savedIp_(platform::ipHelper()), savedShell_(platform::shell()) {
        auto& ip = platform::ipHelper();
        Wrap(ip.GetIfTable, calls[0]);
        Wrap(ip.GetAdaptersInfo, calls[1]);
        Wrap(ip.GetNumberOfInterfaces, calls[2]);
        Wrap(platform::shell().Shell_NotifyIconW, calls[3]);
    }
    ~Probes() {
        platform::ipHelper() = savedIp_;
        platform::shell() = savedShell_;
    }
    Probes(const Probes&) = delete;
    Probes& operator=(const Probes&) = delete;

    void Clear() {
        for (Samples& s : calls)
            s.Clear();
    }

private:
    template <typename R, typename... A> static void Wrap(std::function<R(A...)>& binding, Samples& samples) {
        std::function<R(A...)> inner = binding;
        binding = [inner, &samples](A... args) -> R {
            long long allocationsBefore = gAllocations;
            double t0 = Micros();
            R answer = inner(args...);
            samples.Add(Micros() - t0);
            samples.allocations += gAllocations - allocationsBefore;
            return answer;
        };
    }

    platform::IpHelper savedIp_;
    platform::Shell savedShell_;
};

struct TickResult {
    std::string platformName;
    int windows = 0;
    double median = 0;
    double p90 = 0;
    static constexpr int kSteps = 4;
    double steps[kSteps] = {};
    double stepAllocations[kSteps] = {};
    double allocations = 0;         // per window-tick, all of them
    double platformAllocations = 0; // per window-tick, inside the platform calls
    double callMedian[Probes::kCount] = {};
    double callsPerTick[Probes::kCount] = {};
};

constexpr const char* kStepNames[TickResult::kSteps] = {"RefreshIfRow", "UpdateGeneral", "GetAdapterInfo",
                                                        "AddNewWindows"};

// The rows of the platform's interface table, the loopback's included.
std::size_t InterfaceRows() {
    std::vector<BYTE> block;
    auto call = [](BYTE* data, ULONG* size) {
        return platform::ipHelper().GetIfTable(reinterpret_cast<PMIB_IFTABLE>(data), size, TRUE);
    };
    if (platform::FetchBlock(call, 0, block) != NO_ERROR || block.size() < sizeof(DWORD))
        return 0;
    return reinterpret_cast<const MIB_IFTABLE*>(block.data())->dwNumEntries;
}

// Windows begun as the program begins them, with their timers stopped: the bench drives
// the ticks. AddNewWindows is the program's own, which on every tick asks for the number
// of interfaces and finds nothing new.
Windows MakeWindows(int count, const std::function<std::uint32_t(int)>& ordinalOf, Program& program) {
    Windows windows;
    for (int i = 0; i < count; ++i) {
        auto window = std::make_unique<TStatsForm>();
        window->Ordinal = ordinalOf(i);
        window->AddNewWindows = [&program] { program.AddNewWindows(); };
        window->BeginForm(false);
        if (!window->Bound)
            std::fprintf(stderr, "tick_bench: window %d did not bind to position %u\n", i,
                         static_cast<unsigned>(window->Ordinal));
        window->Timer1.SetEnabled(false);
        window->Timer2.SetEnabled(false);
        windows.push_back(std::move(window));
    }
    return windows;
}

TickResult Measure(const std::string& platformName, Windows& windows, Probes& probes,
                   const std::function<void()>& beforeRound, int windowTicks) {
    auto& app = widgets::Application::Instance();
    const int n = static_cast<int>(windows.size());
    const int rounds = std::max(1, (windowTicks + n - 1) / n);
    TickResult result;
    result.platformName = platformName;
    result.windows = n;

    // One round first: the first tick after the start sequence is not a typical one.
    beforeRound();
    for (auto& w : windows)
        w->Timer2Timer();
    app.ProcessMessages();
    probes.Clear();

    Samples ticks(static_cast<std::size_t>(rounds * n));
    long long allocations = 0;
    for (int r = 0; r < rounds; ++r) {
        beforeRound();
        app.ProcessMessages();
        long long before = gAllocations;
        for (auto& w : windows) {
            double t0 = Micros();
            w->Timer2Timer();
            ticks.Add(Micros() - t0);
        }
        allocations += gAllocations - before;
    }
    const double windowTickCount = static_cast<double>(rounds) * n;
    result.median = ticks.Median();
    result.p90 = ticks.Quantile(0.9);
    result.allocations = static_cast<double>(allocations) / windowTickCount;
    long long platformAllocations = 0;
    for (int c = 0; c < Probes::kCount; ++c) {
        result.callMedian[c] = probes.calls[c].Median();
        result.callsPerTick[c] = static_cast<double>(probes.calls[c].Count()) / windowTickCount;
        platformAllocations += probes.calls[c].allocations;
    }
    result.platformAllocations = static_cast<double>(platformAllocations) / windowTickCount;

    // The same ticks once more, step by step as Timer2Timer takes them (the usage page
    // and the hidden window's Support page do nothing at rest).
    Samples steps[TickResult::kSteps];
    auto step = [&steps](int index, const std::function<void()>& run) {
        long long allocationsBefore = gAllocations;
        double t0 = Micros();
        run();
        steps[index].Add(Micros() - t0);
        steps[index].allocations += gAllocations - allocationsBefore;
    };
    for (int r = 0; r < rounds; ++r) {
        beforeRound();
        app.ProcessMessages();
        for (auto& w : windows) {
            TStatsForm& window = *w;
            bool found = false;
            step(0, [&] { found = window.RefreshIfRow(false); });
            step(1, [&] {
                if (found)
                    window.UpdateGeneral();
            });
            step(2, [&] { window.GetAdapterInfo(); });
            step(3, [&] { window.AddNewWindows(); });
        }
    }
    for (int s = 0; s < TickResult::kSteps; ++s) {
        result.steps[s] = steps[s].Median();
        result.stepAllocations[s] = static_cast<double>(steps[s].allocations) / windowTickCount;
    }
    return result;
}

// The scripted machine: `count` Ethernet adapters with an address each, a tray that
// accepts everything and records nothing. A busy link moves its counters every round,
// so every tick rewrites the labels and the tooltip.
TickResult FakeTicks(int count, bool busy) {
    fake::FakePlatform fake;
    for (int i = 0; i < count; ++i) {
        DWORD index = fake.AddAdapter("veth" + std::to_string(i));
        fake.Adapter(index).addresses = {{"192.168.1." + std::to_string(i + 2), "255.255.255.0"}};
    }
    platform::shell().Shell_NotifyIconW = [](DWORD, PNOTIFYICONDATAW) { return TRUE; };
    Probes probes;
    Program program;
    program.InterfaceCount = Program::kMaxWindows;
    Windows windows = MakeWindows(
        count, [](int i) { return static_cast<std::uint32_t>(i + 1); }, program);
    auto advance = [&fake, busy] {
        if (!busy)
            return;
        for (MIB_IFROW& row : fake.Interfaces) {
            row.dwOutOctets += 1500;
            row.dwInOctets += 3000;
            row.dwOutUcastPkts += 1;
            row.dwInUcastPkts += 2;
        }
    };
    return Measure(busy ? "fake, busy" : "fake, idle", windows, probes, advance, kFakeWindowTicks);
}

std::function<std::uint32_t(int)> RealPositions() {
    std::size_t rows = InterfaceRows();
    std::uint32_t links = rows > 1 ? static_cast<std::uint32_t>(rows - 1) : 1;
    return [links](int i) { return 1 + static_cast<std::uint32_t>(i) % links; };
}

TickResult RealTicks(int count) {
    Probes probes;
    Program program;
    program.InterfaceCount = Program::kMaxWindows;
    Windows windows = MakeWindows(count, RealPositions(), program);
    return Measure(
        "real (Wine)", windows, probes, [] {}, kRealWindowTicks);
}

void PrintTicks(const std::vector<TickResult>& results) {
    std::printf(
        "One sampling tick (Timer2Timer), microseconds per window-tick, and C++ heap allocations per\n"
        "window-tick (in brackets: made inside the platform calls, i.e. by the fake itself)\n");
    std::printf("%-12s %7s %9s %8s %14s\n", "platform", "windows", "median", "p90", "allocs/tick");
    for (const TickResult& r : results)
        std::printf("%-12s %7d %9.1f %8.1f %7.1f (%4.1f)\n", r.platformName.c_str(), r.windows, r.median,
                    r.p90, r.allocations, r.platformAllocations);

    std::printf("\nThe tick's steps taken one by one: median microseconds [allocations per tick]\n");
    std::printf("%-12s %7s", "platform", "windows");
    for (const char* name : kStepNames)
        std::printf(" %22s", name);
    std::printf("\n");
    for (const TickResult& r : results) {
        std::printf("%-12s %7d", r.platformName.c_str(), r.windows);
        for (int s = 0; s < TickResult::kSteps; ++s)
            std::printf(" %14.1f [%5.1f]", r.steps[s], r.stepAllocations[s]);
        std::printf("\n");
    }

    std::printf("\nPlatform calls: median microseconds per call x calls per window-tick\n");

    std::printf("%-12s %7s", "platform", "windows");
    for (const char* name : Probes::kNames)
        std::printf(" %24s", name);
    std::printf("\n");
    for (const TickResult& r : results) {
        std::printf("%-12s %7d", r.platformName.c_str(), r.windows);
        for (int c = 0; c < Probes::kCount; ++c)
            std::printf(" %15.1f x %6.2f", r.callMedian[c], r.callsPerTick[c]);
        std::printf("\n");
    }
    std::fflush(stdout);
}

LRESULT CALLBACK PassOn(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

// Parts of UpdateGeneral that go to Wine outside the IP helper, on one window over the
// real platform. Headless, the tray refuses every call, so its figure is the refusal's.
// Two bare static controls beside the labels show what the labels' subclassing adds.
void PrintPieces() {
    constexpr int kRepeats = 2000;
    Program program;
    program.InterfaceCount = Program::kMaxWindows;
    Windows windows = MakeWindows(1, RealPositions(), program);
    TStatsForm& w = *windows.front();
    const std::wstring tip =
        w.ConnectionName + L"\n\r速度: 100.0 Mbps\n\r发送: 1,234,567 字节\n\r收到: 7,654,321 字节";
    std::wstring sink;
    auto bareStatic = [&w] {
        return ::CreateWindowExW(0, L"STATIC", L"100.0 Mbps", WS_CHILD | SS_LEFT, 0, 0, 80, 13, w.Handle(),
                                 nullptr, nullptr, nullptr);
    };
    HWND plain = bareStatic();
    HWND subclassed = bareStatic();
    ::SetWindowSubclass(subclassed, PassOn, 1, 0);
    wchar_t text[64];
    struct Piece {
        const char* name;
        std::function<void(int)> run;
    };
    const Piece pieces[] = {
        {"read a label (lbSpeed.Caption)", [&](int) { sink = w.General.lbSpeed.Caption(); }},
        {"read a bare static control", [&](int) { ::GetWindowTextW(plain, text, 64); }},
        {"read a bare static control, subclassed", [&](int) { ::GetWindowTextW(subclassed, text, 64); }},
        {"write a label with a new text",
         [&](int i) { w.General.lbPackSent.SetCaption(i % 2 ? L"1,234" : L"1,235"); }},
        {"cut the 4-line tooltip to 255 bytes", [&](int) { sink = platform::CutToBytes(tip, 255); }},
        {"FormatBytes of 1,234,567 bytes", [&](int) { sink = formats::FormatBytes(0, false, 1234567); }},
        {"change the activity picture", [&](int i) { w.SetActivityImage(i % 2); }},
        {"change the tray tooltip", [&](int i) { w.TrayIcon.SetHint(i % 2 ? L"a" : L"b"); }},
    };
    std::printf(
        "\nPieces of UpdateGeneral over the real platform: median microseconds [allocations per call]\n");
    for (const Piece& piece : pieces) {
        Samples samples(kRepeats);
        for (int i = 0; i < kRepeats; ++i) {
            long long allocationsBefore = gAllocations;
            double t0 = Micros();
            piece.run(i);
            samples.Add(Micros() - t0);
            samples.allocations += gAllocations - allocationsBefore;
        }
        std::printf("  %-40s %8.1f [%4.1f]\n", piece.name, samples.Median(),
                    static_cast<double>(samples.allocations) / kRepeats);
    }
    std::fflush(stdout);
}

int Ticks() {
    std::vector<TickResult> results;
    for (bool busy : {false, true})
        for (int n : kWindowCounts)
            results.push_back(FakeTicks(n, busy));
    for (int n : kWindowCounts)
        results.push_back(RealTicks(n));
    PrintTicks(results);
    PrintPieces();
    return 0;
}

double Milliseconds(const FILETIME& t) {
    ULARGE_INTEGER v;
    v.LowPart = t.dwLowDateTime;
    v.HighPart = t.dwHighDateTime;
    return static_cast<double>(v.QuadPart) / 1e4;
}

void CALLBACK EndLoop(HWND, UINT, UINT_PTR, DWORD) {
    widgets::Application::Instance().Terminate();
}

// The program at rest: its windows hidden, their own timers ticking, the message loop
// running, for `seconds`.
int Rest(double seconds, int count) {
    Probes probes; // its count of table fetches is the count of ticks
    Program program;
    program.InterfaceCount = Program::kMaxWindows;
    Windows windows = MakeWindows(count, RealPositions(), program);

    // Around the interval the process sits still for a while, so that an outside observer
    // reading the Wine processes' counters on "measuring" and "measured" reads them at
    // the interval's ends, not a moment into it.
    auto announce = [](const char* line) {
        std::printf("%s\n", line);
        std::fflush(stdout);
        ::Sleep(kObserverMilliseconds);
    };
    announce("measuring");
    FILETIME created, ended, kernel0, user0, kernel1, user1;
    HANDLE self = ::GetCurrentProcess();
    ::GetProcessTimes(self, &created, &ended, &kernel0, &user0);
    probes.Clear();
    // The timers start with the interval, or every window would tick at once on entry.
    for (auto& w : windows) {
        w->Timer1.SetEnabled(true);
        w->Timer2.SetEnabled(true);
    }
    double t0 = Micros();
    UINT_PTR stop = ::SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000), EndLoop);
    widgets::Application::Instance().Run();
    ::KillTimer(nullptr, stop);
    double elapsed = (Micros() - t0) / 1e6;
    ::GetProcessTimes(self, &created, &ended, &kernel1, &user1);
    announce("measured");

    double user = Milliseconds(user1) - Milliseconds(user0);
    double kernel = Milliseconds(kernel1) - Milliseconds(kernel0);
    double perMinute = 60.0 / elapsed;
    std::printf("rest windows=%d seconds=%.1f ticks=%lld cpu_ms=%.1f user_ms=%.1f kernel_ms=%.1f "
                "cpu_ms_per_minute=%.1f\n",
                count, elapsed, probes.calls[0].Count(), user + kernel, user, kernel,
                (user + kernel) * perMinute);
    std::fflush(stdout);
    return 0;
}

int Usage() {
    std::fprintf(stderr, "usage: tick_bench ticks | pieces | rest SECONDS [WINDOWS]\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc == 2 && std::wcscmp(argv[1], L"ticks") == 0)
        return Ticks();
    if (argc == 2 && std::wcscmp(argv[1], L"pieces") == 0) {
        PrintPieces();
        return 0;
    }
    if ((argc == 3 || argc == 4) && std::wcscmp(argv[1], L"rest") == 0) {
        double seconds = std::wcstod(argv[2], nullptr);
        int count = argc == 4 ? static_cast<int>(std::wcstol(argv[3], nullptr, 10)) : kRestWindows;
        if (seconds <= 0 || count <= 0)
            return Usage();
        return Rest(seconds, count);
    }
    return Usage();
}
