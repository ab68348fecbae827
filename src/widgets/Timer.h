#pragma once
#include "platform/Win32.h"

#include <functional>

namespace widgets {

class Form;

// A window timer of its owner form. It may be enabled before the form's window exists;
// it starts when the window does, and stops when the window is destroyed.
class Timer {
public:
    Timer(Form& owner, UINT intervalMs);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    UINT Interval() const { return interval_; }
    void SetInterval(UINT ms);
    // A running timer counts its period from now on.
    void Restart();

    std::function<void()> OnTimer;

private:
    friend class Form;
    UINT_PTR TimerId() const { return id_; }
    void Apply();
    void Kill();
    void Fire() {
        if (enabled_ && OnTimer)
            OnTimer();
    }

    Form& owner_;
    UINT_PTR id_;
    UINT interval_;
    bool enabled_ = false;
    bool running_ = false;
};

} // namespace widgets
