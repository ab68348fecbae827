#pragma once
// Which trace belongs to which window: hop reports carry only their trace's cookie.
#include "frmTrcRt/TraceTexts.h"
#include "kelvradll/ProbeLibrary.h"
#include "widgets/Mailbox.h"

#include <atomic>
#include <memory>
#include <optional>
#include <stop_token>
#include <variant>

namespace trcrt {

// What the worker hands its window: a hop's row, or the end of the trace.
struct TraceHop {
    Cells cells;
};
struct TraceEnd {
    DWORD status = KVPROBE_FAILED;
    std::optional<BYTE> lastHop; // from the library's result, when it gave one
};
using TraceLetter = std::variant<TraceHop, TraceEnd>;

// What a trace window shares with its worker. The worker never touches the window: it
// reads these flags and posts letters, which are dropped once the window has gone.
struct TraceChannel {
    std::atomic<bool> CloseRequested{false};
    // Later reports of this trace are ignored (set by the worker).
    std::atomic<bool> IgnoreHops{false};
    widgets::Mailbox<TraceLetter>::Sender Sender;
    kelvradll::ProbeLibrary Probe; // the binding as the trace started
    std::stop_token Stop;          // the worker's; written and read on its thread only
};

} // namespace trcrt

// One per process, shared by the window thread and every trace worker, behind a lock.
// It exists while it has entries.
class TraceWindowRegistry {
public:
    // Adds the entry unless the cookie is taken already; true when added.
    static bool Add(DWORD cookie, std::shared_ptr<trcrt::TraceChannel> channel);
    // Removes every entry of the channel, last to first.
    static void Remove(const trcrt::TraceChannel* channel);
    // The channel of the last entry with this cookie, or none.
    static std::shared_ptr<trcrt::TraceChannel> Find(DWORD cookie);
    static bool Exists();
};
