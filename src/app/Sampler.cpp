#include "app/Sampler.h"
#include "platform/Buffers.h"
#include "platform/IpHelper.h"
#include "platform/Kernel.h"

#include <algorithm>
#include <memory>

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

std::optional<DWORD> Sampler::InterfaceCount() {
    if (countStamp_.Due(kTickPeriod)) {
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

Sampler::InterfaceRows Sampler::Interfaces() {
    if (tableStamp_.Due(kTickPeriod)) {
        // The block is kept between fetches so a table that keeps its size needs one
        // call and no allocation.
        auto call = [](BYTE* block, ULONG* size) {
            return platform::ipHelper().GetIfTable(reinterpret_cast<PMIB_IFTABLE>(block), size, TRUE);
        };
        tableFetched_ = platform::FetchBlock(call, static_cast<ULONG>(table_.size()), table_) == NO_ERROR &&
                        table_.size() >= offsetof(MIB_IFTABLE, table);
    }
    if (!tableFetched_)
        return {};
    const auto* table = reinterpret_cast<const MIB_IFTABLE*>(table_.data());
    // Never trust the count beyond what the block really holds.
    std::size_t capacity = (table_.size() - offsetof(MIB_IFTABLE, table)) / sizeof(MIB_IFROW);
    return {table->table, std::min<std::size_t>(table->dwNumEntries, capacity), true};
}

const MIB_IF_ROW2* Sampler::WideRow(DWORD index) {
    const platform::IpHelper& ip = platform::ipHelper();
    if (!ip.GetIfTable2 || !ip.FreeMibTable)
        return nullptr;
    if (wideStamp_.Due(kTickPeriod)) {
        wideRows_.clear();
        PMIB_IF_TABLE2 table = nullptr;
        if (ip.GetIfTable2(&table) == NO_ERROR && table) {
            // The system's table goes at once; the rows are copied.
            std::unique_ptr<MIB_IF_TABLE2, std::function<void(PVOID)>> owned(table, ip.FreeMibTable);
            wideRows_.assign(table->Table, table->Table + table->NumEntries);
        }
    }
    auto row = std::find_if(wideRows_.begin(), wideRows_.end(),
                            [index](const MIB_IF_ROW2& r) { return r.InterfaceIndex == index; });
    return row == wideRows_.end() ? nullptr : &*row;
}

Sampler::AdapterBlock Sampler::Adapters() {
    if (adapterStamp_.Due(kTickPeriod)) {
        // Asked for at its last size, so a machine with several adapters needs one call,
        // not two.
        auto call = [](BYTE* data, ULONG* size) {
            return platform::ipHelper().GetAdaptersInfo(reinterpret_cast<PIP_ADAPTER_INFO>(data), size);
        };
        ULONG lastSize =
            std::max(static_cast<ULONG>(adapters_.size()), static_cast<ULONG>(sizeof(IP_ADAPTER_INFO)));
        adapterAnswer_ = platform::FetchBlock(call, lastSize, adapters_);
    }
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
