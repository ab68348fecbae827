#pragma once
#include "platform/Win32.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace app {

// The machine-wide figures every status window reads on its ticks: the interface count,
// the interface table (and the 64-bit one where the system has it), the adapter list and
// the TCP/IP statistics. Each is fetched at most once per period and handed to every
// window that asks within it, so a tick's platform calls do not grow with the number of
// windows. The windows copy what they need; nothing here is kept past the next fetch but
// the list of watched interfaces, which only grows.
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

    // How many interfaces have a window. Without the 64-bit table (before Vista) every
    // interface but the loopback: the count GetNumberOfInterfaces reports, less one.
    // With it, those IsWatched picks, numbered in index order as they are first picked;
    // one picked stays picked, so the number never goes down. Nothing when it cannot be
    // told (a failed query or table fetch).
    std::optional<DWORD> WatchedCount();
    // The index of the interface that the window of an ordinal (1, 2, ...) watches, read
    // from a table no older than the count that announced the window: without the 64-bit
    // table the row at that position of the sorted table (position 0 is the loopback's).
    // Nothing while no such table has the interface.
    std::optional<DWORD> WatchedIndex(std::uint32_t ordinal);

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
    // Fetches the tables now, however recent the last fetch: a window's last sample at a stop.
    void Resample() { RefreshTables(true); }
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
        void Take();
    };
    // Fetches are numbered, so a table can be told older or newer than a count.
    std::uint64_t fetches_ = 0;
    std::uint64_t countFetch_ = 0;
    std::uint64_t tableFetch_ = 0;
    std::uint64_t adapterFetch_ = 0;

    Stamp countStamp_;
    std::optional<DWORD> count_;

    Stamp tableStamp_;
    std::vector<BYTE> table_;
    bool tableFetched_ = false;
    std::vector<MIB_IF_ROW2> wideRows_;
    // The 64-bit rows as they were when the 32-bit table was last fetched.
    std::vector<MIB_IF_ROW2> wideAtNarrow_;
    int periodsSinceNarrow_ = 0;

    void RefreshTables(bool force = false);
    // Fetches the tables and the adapter list again unless their last fetches came after
    // the count (and the table's succeeded).
    void RefreshStale();
    InterfaceRows Rows() const;
    bool FetchNarrow();
    bool FetchWide();
    bool NarrowIsStale() const;
    void TakeCountersFromWide();
    static bool HasWideTable();
    bool wideFetched_ = false;
    // The watched interfaces' indices; position k - 1 is ordinal k's.
    std::vector<DWORD> watched_;
    void PickWatched();

    Stamp adapterStamp_;
    std::vector<BYTE> adapters_;
    DWORD adapterAnswer_ = ERROR_NO_DATA;
    void FetchAdapters();

    Stamp statisticsStamp_;
    MIB_TCPSTATS tcp_{};
    MIB_IPSTATS ip_{};
    MIB_UDPSTATS udp_{};
    MIB_ICMP icmp_{};
    Statistics statistics_;
};

} // namespace app
