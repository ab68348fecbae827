#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

namespace widgets {

// One worker thread of a window (trace route, network browse), told to stop through
// its stop token. Stop waits for it with a bound, so a window never hangs on a worker
// stuck in a system call: an overrunning worker is left to finish on its own, and
// reported. Its body must therefore hold only what it owns or shares (copies, a
// mailbox sender), never a reference into its window.
class Worker {
public:
    static constexpr std::chrono::milliseconds kStopBound{2000};

    Worker() = default;
    ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Runs body on a new thread, after stopping the one before.
    void Start(std::function<void(std::stop_token)> body);
    bool Running() const;
    // Asks the worker to stop without waiting for it.
    void RequestStop();
    // Waits at most `bound` for the body to end, without asking it to stop. True when
    // it has ended (or none was started).
    bool WaitDone(std::chrono::milliseconds bound) const;
    // Asks the worker to stop and waits at most `bound` for it. False when it did not
    // end in time (it is left running, detached). An exception that ended the body is
    // reported here, on the caller's thread.
    bool Stop(std::chrono::milliseconds bound = kStopBound);

private:
    struct State {
        std::mutex lock;
        std::condition_variable ended;
        bool finished = false;
        std::wstring failure;
    };

    std::shared_ptr<State> state_;
    std::jthread thread_;
};

} // namespace widgets
