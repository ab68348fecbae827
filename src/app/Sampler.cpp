#include "app/Sampler.h"
#include "app/Watched.h"
#include "platform/Buffers.h"
#include "platform/IpHelper.h"
#include "platform/Kernel.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>

namespace app {

bool Sampler::Stamp::Due(DWORD period) {
    const DWORD now = platform::kernel().GetTickCount();
    // Unsigned difference: right across the tick count's wrap.
    if (valid && now - at < period - period / 10)
        return false;
    at = now;
    valid = true;
    return true;
}

void Sampler::Stamp::Take() {
    at = platform::kernel().GetTickCount();
    valid = true;
}

std::optional<DWORD> Sampler::InterfaceCount() {
    if (countStamp_.Due(kTickPeriod)) {
        countFetch_ = ++fetches_;
        DWORD reported = 0;
        if (platform::ipHelper().GetNumberOfInterfaces(&reported) == NO_ERROR)
            count_ = reported;
        else
            count_.reset();
    }
    return count_;
}

const MIB_IFROW* Sampler::InterfaceRows::Find(DWORD index) const {
    for (std::size_t i = 0; i < count; ++i)
        if (rows[i].dwIndex == index)
            return &rows[i];
    return nullptr;
}

namespace {

const MIB_IF_ROW2* FindWide(const std::vector<MIB_IF_ROW2>& rows, DWORD index) {
    auto row = std::find_if(rows.begin(), rows.end(),
                            [index](const MIB_IF_ROW2& r) { return r.InterfaceIndex == index; });
    return row == rows.end() ? nullptr : &*row;
}

// What the 32-bit row holds beside its counters, as the 64-bit row tells it.
bool SameState(const MIB_IF_ROW2& a, const MIB_IF_ROW2& b) {
    return a.Type == b.Type && a.Mtu == b.Mtu && a.OperStatus == b.OperStatus &&
           a.AdminStatus == b.AdminStatus && a.MediaConnectState == b.MediaConnectState &&
           a.TransmitLinkSpeed == b.TransmitLinkSpeed && a.ReceiveLinkSpeed == b.ReceiveLinkSpeed &&
           a.PhysicalAddressLength == b.PhysicalAddressLength &&
           std::equal(a.PhysicalAddress, a.PhysicalAddress + sizeof a.PhysicalAddress, b.PhysicalAddress) &&
           std::equal(a.Description, a.Description + IF_MAX_STRING_SIZE + 1, b.Description);
}

} // namespace

bool Sampler::FetchNarrow() {
    // The block is kept between fetches so a table that keeps its size needs one call
    // and no allocation.
    auto call = [](BYTE* block, ULONG* size) {
        return platform::ipHelper().GetIfTable(reinterpret_cast<PMIB_IFTABLE>(block), size, TRUE);
    };
    return platform::FetchBlock(call, static_cast<ULONG>(table_.size()), table_) == NO_ERROR &&
           table_.size() >= offsetof(MIB_IFTABLE, table);
}

bool Sampler::FetchWide() {
    const platform::IpHelper& ip = platform::ipHelper();
    wideRows_.clear();
    if (!ip.GetIfTable2 || !ip.FreeMibTable)
        return false;
    PMIB_IF_TABLE2 table = nullptr;
    if (ip.GetIfTable2(&table) != NO_ERROR || !table)
        return false;
    // The system's table goes at once; the rows are copied.
    std::unique_ptr<MIB_IF_TABLE2, std::function<void(PVOID)>> owned(table, ip.FreeMibTable);
    wideRows_.assign(table->Table, table->Table + table->NumEntries);
    return true;
}

bool Sampler::NarrowIsStale() const {
    if (!tableFetched_ || periodsSinceNarrow_ >= kNarrowRefreshPeriods)
        return true;
    const InterfaceRows narrow = Rows();
    if (narrow.count != wideRows_.size() || wideAtNarrow_.size() != wideRows_.size())
        return true;
    for (std::size_t i = 0; i < narrow.count; ++i) {
        const MIB_IF_ROW2* now = FindWide(wideRows_, narrow.rows[i].dwIndex);
        const MIB_IF_ROW2* then = FindWide(wideAtNarrow_, narrow.rows[i].dwIndex);
        if (!now || !then || !SameState(*now, *then))
            return true;
    }
    return false;
}

void Sampler::TakeCountersFromWide() {
    auto* table = reinterpret_cast<MIB_IFTABLE*>(table_.data());
    const std::size_t count = Rows().count;
    for (std::size_t i = 0; i < count; ++i) {
        MIB_IFROW& row = table->table[i];
        const MIB_IF_ROW2* wide = FindWide(wideRows_, row.dwIndex);
        if (!wide)
            continue;
        row.dwInOctets = static_cast<DWORD>(wide->InOctets);
        row.dwInUcastPkts = static_cast<DWORD>(wide->InUcastPkts);
        row.dwInNUcastPkts = static_cast<DWORD>(wide->InNUcastPkts);
        row.dwInDiscards = static_cast<DWORD>(wide->InDiscards);
        row.dwInErrors = static_cast<DWORD>(wide->InErrors);
        row.dwInUnknownProtos = static_cast<DWORD>(wide->InUnknownProtos);
        row.dwOutOctets = static_cast<DWORD>(wide->OutOctets);
        row.dwOutUcastPkts = static_cast<DWORD>(wide->OutUcastPkts);
        row.dwOutNUcastPkts = static_cast<DWORD>(wide->OutNUcastPkts);
        row.dwOutDiscards = static_cast<DWORD>(wide->OutDiscards);
        row.dwOutErrors = static_cast<DWORD>(wide->OutErrors);
        row.dwOutQLen = static_cast<DWORD>(wide->OutQLen);
    }
}

void Sampler::RefreshTables(bool force) {
    if (force)
        tableStamp_.Take();
    else if (!tableStamp_.Due(kTickPeriod))
        return;
    tableFetch_ = ++fetches_;
    ++periodsSinceNarrow_;
    wideFetched_ = FetchWide();
    if (!wideFetched_) {
        tableFetched_ = FetchNarrow();
        return;
    }
    if (NarrowIsStale()) {
        tableFetched_ = FetchNarrow();
        wideAtNarrow_ = wideRows_;
        periodsSinceNarrow_ = 0;
    }
    if (tableFetched_)
        TakeCountersFromWide();
}

void Sampler::RefreshStale() {
    RefreshTables();
    // A failed fetch is never trusted to say an interface is not there.
    if (!tableFetched_ || tableFetch_ < countFetch_)
        RefreshTables(true);
    // The window takes its adapter record from the list: it must know the interface too.
    if (adapterFetch_ < countFetch_) {
        adapterStamp_.Take();
        FetchAdapters();
    }
}

bool Sampler::HasWideTable() {
    const platform::IpHelper& ip = platform::ipHelper();
    return ip.GetIfTable2 && ip.FreeMibTable;
}

void Sampler::PickWatched() {
    if (!wideFetched_)
        return;
    std::set<DWORD> withAddress;
    const AdapterBlock adapters = Adapters();
    if (adapters.answer == NO_ERROR)
        for (const IP_ADAPTER_INFO* adapter : platform::AdaptersIn(*adapters.block))
            for (const IP_ADDR_STRING* a : platform::AddressesIn(*adapters.block, *adapter)) {
                const char* text = a->IpAddress.String;
                if (text[0] && std::strncmp(text, "0.0.0.0", sizeof a->IpAddress.String) != 0)
                    withAddress.insert(adapter->Index);
            }
    std::vector<const MIB_IF_ROW2*> rows;
    for (const MIB_IF_ROW2& row : wideRows_)
        rows.push_back(&row);
    std::sort(rows.begin(), rows.end(), [](const MIB_IF_ROW2* a, const MIB_IF_ROW2* b) {
        return a->InterfaceIndex < b->InterfaceIndex;
    });
    for (const MIB_IF_ROW2* row : rows)
        if (std::find(watched_.begin(), watched_.end(), row->InterfaceIndex) == watched_.end() &&
            IsWatched(*row, withAddress.contains(row->InterfaceIndex)))
            watched_.push_back(row->InterfaceIndex);
}

std::optional<DWORD> Sampler::WatchedCount() {
    if (!HasWideTable()) {
        const std::optional<DWORD> reported = InterfaceCount();
        if (!reported || *reported == 0)
            return std::nullopt;
        return *reported - 1;
    }
    RefreshTables();
    // At the start a failed fetch is tried again at once: nothing else tells what to watch.
    if (!wideFetched_ && watched_.empty())
        RefreshTables(true);
    PickWatched();
    // Before the first table nothing is known; after it, what was picked stays.
    if (!wideFetched_ && watched_.empty())
        return std::nullopt;
    return static_cast<DWORD>(watched_.size());
}

std::optional<DWORD> Sampler::WatchedIndex(std::uint32_t ordinal) {
    if (!HasWideTable()) {
        RefreshStale();
        const InterfaceRows rows = Rows();
        if (ordinal >= rows.count)
            return std::nullopt;
        return rows.rows[ordinal].dwIndex;
    }
    if (ordinal == 0)
        return std::nullopt;
    if (ordinal > watched_.size())
        WatchedCount();
    if (ordinal > watched_.size())
        return std::nullopt;
    return watched_[ordinal - 1];
}

Sampler::InterfaceRows Sampler::Rows() const {
    if (!tableFetched_)
        return {};
    const auto* table = reinterpret_cast<const MIB_IFTABLE*>(table_.data());
    // Never trust the count beyond what the block really holds.
    std::size_t capacity = (table_.size() - offsetof(MIB_IFTABLE, table)) / sizeof(MIB_IFROW);
    return {table->table, std::min<std::size_t>(table->dwNumEntries, capacity), true};
}

const MIB_IFTABLE* Sampler::Table() const {
    return tableFetched_ ? reinterpret_cast<const MIB_IFTABLE*>(table_.data()) : nullptr;
}

Sampler::InterfaceRows Sampler::Interfaces() {
    RefreshTables();
    return Rows();
}

const MIB_IF_ROW2* Sampler::WideRow(DWORD index) {
    RefreshTables();
    return FindWide(wideRows_, index);
}

void Sampler::FetchAdapters() {
    adapterFetch_ = ++fetches_;
    // Asked for at its last size, so a machine with several adapters needs one call, not
    // two.
    auto call = [](BYTE* data, ULONG* size) {
        return platform::ipHelper().GetAdaptersInfo(reinterpret_cast<PIP_ADAPTER_INFO>(data), size);
    };
    ULONG lastSize =
        std::max(static_cast<ULONG>(adapters_.size()), static_cast<ULONG>(sizeof(IP_ADAPTER_INFO)));
    adapterAnswer_ = platform::FetchBlock(call, lastSize, adapters_);
}

Sampler::AdapterBlock Sampler::Adapters() {
    if (adapterStamp_.Due(kTickPeriod))
        FetchAdapters();
    return {adapterAnswer_, &adapters_};
}

Sampler::Statistics Sampler::ProtocolStatistics() {
    if (statisticsStamp_.Due(kStatisticsPeriod)) {
        const platform::IpHelper& ip = platform::ipHelper();
        // In this order; a record whose call fails is not handed out.
        statistics_.tcp = ip.GetTcpStatistics(&tcp_) == NO_ERROR ? &tcp_ : nullptr;
        statistics_.ip = ip.GetIpStatistics(&ip_) == NO_ERROR ? &ip_ : nullptr;
        statistics_.udp = ip.GetUdpStatistics(&udp_) == NO_ERROR ? &udp_ : nullptr;
        statistics_.icmp = ip.GetIcmpStatistics(&icmp_) == NO_ERROR ? &icmp_ : nullptr;
    }
    return statistics_;
}

} // namespace app
