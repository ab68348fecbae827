#include "widgets/Worker.h"
#include "widgets/Failures.h"

#include <utility>

namespace widgets {

Worker::~Worker() {
    Stop();
}

void Worker::Start(std::function<void(std::stop_token)> body) {
    Stop();
    auto state = std::make_shared<State>();
    state_ = state;
    // The thread shares its state and owns its body: neither goes with this object.
    thread_ = std::jthread([state, body = std::move(body)](std::stop_token stop) {
        std::wstring failure;
        try {
            body(stop);
        } catch (...) {
            failure = CurrentExceptionText();
        }
        std::lock_guard<std::mutex> hold(state->lock);
        state->finished = true;
        state->failure = std::move(failure);
        state->ended.notify_all();
    });
}

bool Worker::Running() const {
    if (!state_)
        return false;
    std::lock_guard<std::mutex> hold(state_->lock);
    return !state_->finished;
}

bool Worker::WaitDone(std::chrono::milliseconds bound) const {
    std::shared_ptr<State> state = state_;
    if (!state)
        return true;
    std::unique_lock<std::mutex> hold(state->lock);
    return state->ended.wait_for(hold, bound, [&state] { return state->finished; });
}

void Worker::RequestStop() {
    if (thread_.joinable())
        thread_.request_stop();
}

bool Worker::Stop(std::chrono::milliseconds bound) {
    if (!thread_.joinable())
        return true;
    thread_.request_stop();
    std::shared_ptr<State> state = std::exchange(state_, nullptr);
    bool finished = false;
    std::wstring failure;
    {
        std::unique_lock<std::mutex> hold(state->lock);
        finished = state->ended.wait_for(hold, bound, [&state] { return state->finished; });
        failure = state->failure;
    }
    if (finished) {
        thread_.join();
    } else {
        thread_.detach();
        ReportFailure(L"worker did not stop within " + std::to_wstring(bound.count()) +
                      L" ms; it is left to finish on its own");
    }
    if (!failure.empty())
        ReportFailure(L"worker failed: " + failure);
    return finished;
}

} // namespace widgets
