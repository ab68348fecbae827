// history_bench: what the usage history costs with ten years of daily rows: reading the
// file and filling the views when the history window opens, the text and the write of
// the minute (through the real file binding, in a temporary folder), and a tick.
//
//   history_bench [YEARS]             (default 10)
#include "UsageHistory/HistoryFile.h"
#include "platform/Files.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

double Milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The median of a few runs of the work, in milliseconds.
double Median(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(Milliseconds(work));
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[static_cast<std::size_t>(runs / 2)];
}

// CPU milliseconds (user and kernel) this thread has used.
double ThreadCpu() {
    FILETIME created, exited, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e4;
    };
    return ms(kernel) + ms(user);
}

usage::History Years(int years, const usage::Date& today) {
    usage::History history;
    const std::int32_t last = usage::DayNumber(today);
    for (std::int32_t day = last - years * 365 + 1; day <= last; ++day)
        history.Add(usage::FromDayNumber(day),
                    3'000'000'000ull + static_cast<std::uint64_t>(day % 977) * 1'048'576,
                    250'000'000ull + static_cast<std::uint64_t>(day % 331) * 65'536);
    return history;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int years = argc > 1 ? std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 10;
    const usage::Date today{2026, 12, 9};
    const usage::History history = Years(years, today);
    const std::string text = usage::FileText(history, L"本地连接");

    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"kelvra-history-bench-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    if (!platform::CreateFolders(folder) || !platform::ReplaceFile(folder + L"bench.csv", text)) {
        std::fprintf(stderr, "history_bench: cannot write in %ls\n", folder.c_str());
        return 1;
    }

    std::size_t shown = 0;
    const double parse = Median(21, [&] { shown += usage::ParseFileText(text)->Days().size(); });
    const double load = Median(21, [&] {
        usage::InterfaceHistory file(folder, L"bench", L"本地连接");
        file.Load();
        shown += usage::ViewRows(file.Data(), usage::View::Years, today).size();
    });
    const double yearsView =
        Median(101, [&] { shown += usage::ViewRows(history, usage::View::Years, today).size(); });
    const double daysView =
        Median(101, [&] { shown += usage::ViewRows(history, usage::View::LastDays, today).size(); });
    const double monthsView =
        Median(101, [&] { shown += usage::ViewRows(history, usage::View::LastMonths, today).size(); });
    const double fileText = Median(101, [&] { shown += usage::FileText(history, L"本地连接").size(); });

    // The write of the minute: the text and the replacement, CPU and wall time.
    constexpr int kWrites = 500;
    const double cpuBefore = ThreadCpu();
    const double writeWall = Milliseconds([&] {
        for (int i = 0; i < kWrites; ++i)
            platform::ReplaceFile(folder + L"bench.csv", usage::FileText(history, L"本地连接"));
    });
    const double writeCpu = (ThreadCpu() - cpuBefore) / kWrites;

    // A tick on an empty history and on the long one: the same cost when it is O(1).
    constexpr int kTicks = 200000;
    auto tickCost = [&](bool full) {
        if (full)
            platform::ReplaceFile(folder + L"tick.csv", text);
        else
            ::DeleteFileW((folder + L"tick.csv").c_str());
        usage::InterfaceHistory file(folder, L"tick", L"本地连接");
        file.Load();
        return Milliseconds([&] {
                   for (int i = 0; i < kTicks; ++i)
                       file.Tick(1500, 200);
               }) *
               1000.0 / kTicks;
    };
    const double tickShort = tickCost(false);
    const double tickLong = tickCost(true);

    ::DeleteFileW((folder + L"bench.csv").c_str());
    ::DeleteFileW((folder + L"tick.csv").c_str());
    ::RemoveDirectoryW(folder.c_str());
    std::printf(
        "history years=%d rows=%zu file_kb=%.0f parse_ms=%.2f load_and_years_ms=%.2f years_view_ms=%.3f "
        "days_view_ms=%.3f months_view_ms=%.3f file_text_ms=%.3f write_cpu_ms=%.3f write_wall_ms=%.3f "
        "tick_us_empty=%.3f tick_us_full=%.3f (%zu)\n",
        years, history.Days().size(), static_cast<double>(text.size()) / 1024, parse, load, yearsView,
        daysView, monthsView, fileText, writeCpu, writeWall / kWrites, tickShort, tickLong, shown % 10);
    return 0;
}
