#include "frmTrcRt/TraceWindowRegistry.h"

#include <mutex>
#include <utility>
#include <vector>

namespace {

struct Entry {
    DWORD cookie;
    std::shared_ptr<trcrt::TraceChannel> channel;
};

// Never destroyed: a worker that outlived its bounded wait may still look here while
// the program ends.
std::mutex& Lock() {
    static auto* lock = new std::mutex;
    return *lock;
}
std::unique_ptr<std::vector<Entry>>& Entries() {
    static auto* entries = new std::unique_ptr<std::vector<Entry>>;
    return *entries;
}

} // namespace

bool TraceWindowRegistry::Add(DWORD cookie, std::shared_ptr<trcrt::TraceChannel> channel) {
    std::lock_guard<std::mutex> hold(Lock());
    auto& entries = Entries();
    if (!entries)
        entries = std::make_unique<std::vector<Entry>>();
    for (const Entry& entry : *entries)
        if (entry.cookie == cookie)
            return false;
    entries->push_back({cookie, std::move(channel)});
    return true;
}

void TraceWindowRegistry::Remove(const trcrt::TraceChannel* channel) {
    std::unique_ptr<std::vector<Entry>> gone; // freed outside the lock
    std::lock_guard<std::mutex> hold(Lock());
    auto& entries = Entries();
    if (!entries)
        return;
    for (auto i = entries->size(); i-- > 0;)
        if ((*entries)[i].channel.get() == channel)
            entries->erase(entries->begin() + static_cast<std::ptrdiff_t>(i));
    if (entries->empty())
        gone = std::move(entries);
}

std::shared_ptr<trcrt::TraceChannel> TraceWindowRegistry::Find(DWORD cookie) {
    std::lock_guard<std::mutex> hold(Lock());
    const auto& entries = Entries();
    std::shared_ptr<trcrt::TraceChannel> found;
    if (entries)
        for (const Entry& entry : *entries)
            if (entry.cookie == cookie)
                found = entry.channel;
    return found;
}

bool TraceWindowRegistry::Exists() {
    std::lock_guard<std::mutex> hold(Lock());
    return static_cast<bool>(Entries());
}
