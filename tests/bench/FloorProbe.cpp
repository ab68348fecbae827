// floor_probe: the least any interface monitor must ask of the platform, once a second: one
// sorted interface table and one adapter list, into blocks kept from one second to the
// next, and nothing else. tools/bench sets the program's CPU time beside this one's.
//
//   floor_probe SECONDS   SECONDS rounds; prints "started rows=R adapters=A" after the
//                         first round and "rounds=N" at the end
#include "platform/Buffers.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

constexpr DWORD kPeriodMs = 1000;

class Floor {
public:
    // Both fetches of one round; false when either fails.
    bool Round() {
        auto table = [](BYTE* data, ULONG* size) {
            return ::GetIfTable(reinterpret_cast<PMIB_IFTABLE>(data), size, TRUE);
        };
        auto adapters = [](BYTE* data, ULONG* size) {
            return ::GetAdaptersInfo(reinterpret_cast<PIP_ADAPTER_INFO>(data), size);
        };
        return Fetch(table, table_) && Fetch(adapters, adapters_);
    }

    DWORD Rows() const {
        return table_.size() < sizeof(DWORD)
                   ? 0
                   : reinterpret_cast<const MIB_IFTABLE*>(table_.data())->dwNumEntries;
    }

    int Adapters() const {
        int count = 0;
        if (!adapters_.empty())
            for (auto* a = reinterpret_cast<const IP_ADAPTER_INFO*>(adapters_.data()); a; a = a->Next)
                ++count;
        return count;
    }

private:
    // The block keeps its size between rounds, so a table that keeps its size costs one
    // call and no allocation.
    template <typename Call> static bool Fetch(Call call, std::vector<BYTE>& block) {
        DWORD answer = platform::FetchBlock(call, static_cast<ULONG>(block.size()), block);
        if (answer == ERROR_NO_DATA)
            block.clear();
        return answer == NO_ERROR || answer == ERROR_NO_DATA;
    }

    std::vector<BYTE> table_;
    std::vector<BYTE> adapters_;
};

int Run(int seconds) {
    Floor floor;
    const DWORD start = ::GetTickCount();
    int rounds = 0;
    for (; rounds < seconds; ++rounds) {
        if (!floor.Round()) {
            std::fprintf(stderr, "floor_probe: a fetch failed in round %d\n", rounds);
            return 1;
        }
        if (rounds == 0) {
            std::printf("started rows=%lu adapters=%d\n", floor.Rows(), floor.Adapters());
            std::fflush(stdout);
        }
        // Rounds keep to the clock, not to the time each one took; unsigned differences
        // survive the tick count's wrap.
        const DWORD due = static_cast<DWORD>(rounds + 1) * kPeriodMs;
        const DWORD elapsed = ::GetTickCount() - start;
        if (due > elapsed)
            ::Sleep(due - elapsed);
    }
    std::printf("rounds=%d\n", rounds);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    const int seconds = argc == 2 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 0;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: floor_probe SECONDS\n");
        return 2;
    }
    return Run(seconds);
}
