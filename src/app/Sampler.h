#pragma once
#include "platform/Win32.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace app {

// The machine-wide figures every status window reads on its ticks: the interface count,
// the interface table (and the 64-bit one where the system has it), the adapter list and
// the TCP/IP statistics. Each is fetched at most once per period and handed to every
// window that asks within it, so a tick's platform calls do not grow with the number of
// windows. The windows copy what they need; nothing here is kept past the next fetch.
class Sampler {
public:
    Sampler() = default;
    // What it hands out points into itself.
    Sampler(const Sampler&) = delete;
    Sampler& operator=(const Sampler&) = delete;

    // The sampling tick's period and the statistics timer's, in milliseconds.
    static constexpr DWORD kTickPeriod = 1000;
    static constexpr DWORD kStatisticsPeriod = 2000;
    static constexpr int kNarrowRefreshPeriods = 10;

    // GetNumberOfInterfaces, or nothing when the query failed.
    std::optional<DWORD> InterfaceCount();

    // The interface table sorted by index; empty when the fetch failed. Where the system
    // has the 64-bit table, that one is fetched every period and the 32-bit table only
    // when the 64-bit rows say something it holds has changed (or every
    // kNarrowRefreshPeriods periods): its counters are the 64-bit ones cut to 32 bits,
    // as the system itself cuts them, so one table fetch a period serves both.
    struct InterfaceRows {
        const MIB_IFROW* rows = nullptr;
        std::size_t count = 0;
        bool fetched = false;
        const MIB_IFROW* Find(DWORD index) const;
    };
    InterfaceRows Interfaces();
    // The latest interface table as fetched, without fetching; null before the first.
    // It stays in place until the next fetch replaces it.
    const MIB_IFTABLE* Table() const;

    // The 64-bit row of an interface, or null where the system has no 64-bit table,
    // its fetch failed, or it has no row for the index.
    const MIB_IF_ROW2* WideRow(DWORD index);

    // The adapter list as GetAdaptersInfo filled it, with its answer.
    struct AdapterBlock {
        DWORD answer = ERROR_NO_DATA;
        const std::vector<BYTE>* block = nullptr;
    };
    AdapterBlock Adapters();

    // The machine's protocol statistics. A record whose last fetch failed is null: the
    // caller keeps what it had.
    struct Statistics {
        const MIB_TCPSTATS* tcp = nullptr;
        const MIB_IPSTATS* ip = nullptr;
        const MIB_UDPSTATS* udp = nullptr;
        const MIB_ICMP* icmp = nullptr;
    };
    Statistics ProtocolStatistics();

private:
    // When a figure was last fetched; it is fresh for most of a period, so that windows
    // whose timers run a little apart share one fetch, while no window ever sees the
    // same fetch on two of its own ticks.
    struct Stamp {
        DWORD at = 0;
        bool valid = false;
        bool Due(DWORD period);
    };

    Stamp countStamp_;
    std::optional<DWORD> count_;

    Stamp tableStamp_;
    std::vector<BYTE> table_;
    bool tableFetched_ = false;
    std::vector<MIB_IF_ROW2> wideRows_;
    // The 64-bit rows as they were when the 32-bit table was last fetched.
    std::vector<MIB_IF_ROW2> wideAtNarrow_;
    int periodsSinceNarrow_ = 0;

    void RefreshTables();
    InterfaceRows Rows() const;
    bool FetchNarrow();
    bool FetchWide();
    bool NarrowIsStale() const;
    void TakeCountersFromWide();
    Stamp adapterStamp_;
    std::vector<BYTE> adapters_;
    DWORD adapterAnswer_ = ERROR_NO_DATA;

    Stamp statisticsStamp_;
    MIB_TCPSTATS tcp_{};
    MIB_IPSTATS ip_{};
    MIB_UDPSTATS udp_{};
    MIB_ICMP icmp_{};
    Statistics statistics_;
};

} // namespace app
