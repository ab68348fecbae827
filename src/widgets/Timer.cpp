#include "widgets/Timer.h"
#include "widgets/Form.h"

namespace widgets {

Timer::Timer(Form& owner, UINT intervalMs) : owner_(owner), id_(owner.NextTimerId()), interval_(intervalMs) {
    owner_.RegisterTimer(this);
}

Timer::~Timer() {
    Kill();
    owner_.UnregisterTimer(this);
}

void Timer::SetEnabled(bool on) {
    enabled_ = on;
    Apply();
}

void Timer::SetInterval(UINT ms) {
    interval_ = ms;
    if (running_)
        Kill();
    Apply();
}

void Timer::Restart() {
    // Setting a timer again under its id replaces it.
    if (running_)
        running_ = ::SetTimer(owner_.Handle(), id_, interval_, nullptr) != 0;
}

void Timer::Apply() {
    HWND h = owner_.Handle();
    if (enabled_ && h && !running_)
        running_ = ::SetTimer(h, id_, interval_, nullptr) != 0;
    else if (!enabled_)
        Kill();
}

void Timer::Kill() {
    if (running_ && owner_.Handle())
        ::KillTimer(owner_.Handle(), id_);
    running_ = false;
}

} // namespace widgets
