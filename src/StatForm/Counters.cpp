// The interface's row and the counters of the General page.
#include "StatForm/StatsForm.h"
#include "platform/Buffers.h"
#include "platform/IpHelper.h"

#include <algorithm>
#include <cstring>

bool TStatsForm::RefreshIfRow(bool bind) {
    // The table block is kept between ticks so the fetch neither allocates nor needs
    // a size query while the table keeps its size.
    auto call = [](BYTE* block, ULONG* size) {
        return platform::ipHelper().GetIfTable(reinterpret_cast<PMIB_IFTABLE>(block), size, TRUE);
    };
    ULONG lastSize = static_cast<ULONG>(InterfaceTable.size());
    if (platform::FetchBlock(call, lastSize, InterfaceTable) != NO_ERROR ||
        InterfaceTable.size() < sizeof(DWORD))
        return false;

    const auto* table = reinterpret_cast<const MIB_IFTABLE*>(InterfaceTable.data());
    // Never trust the count beyond what the block really holds.
    std::size_t capacity = (InterfaceTable.size() - offsetof(MIB_IFTABLE, table)) / sizeof(MIB_IFROW);
    std::size_t count = std::min<std::size_t>(table->dwNumEntries, capacity);

    if (bind) {
        // Position 0, the lowest index, is the loopback interface's.
        if (Ordinal >= count)
            return false;
        InterfaceIndex = table->table[Ordinal].dwIndex;
        FriendlyIndex = platform::ipHelper().GetFriendlyIfIndex(InterfaceIndex);
        Bound = true;
    }
    if (!Bound)
        return false;

    for (std::size_t i = 0; i < count; ++i)
        if (table->table[i].dwIndex == InterfaceIndex) {
            std::memcpy(&IfRow, &table->table[i], sizeof IfRow);
            return true;
        }
    return false;
}
