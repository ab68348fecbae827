#pragma once
// Acts on a modal form from inside its loop: the action runs once, from a timer of the
// thread, as soon as the loop handles messages and the form is shown.
#include "widgets/Form.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace fake {

// The form object behind an open window of a form class of this program.
template <typename F> F* OpenForm(const wchar_t* className) {
    return dynamic_cast<F*>(widgets::Form::FindOpen(className, nullptr));
}

// The pending step answers false while its form is not open yet.
inline std::function<bool()>& PendingModalStep() {
    static std::function<bool()> step;
    return step;
}

inline void CALLBACK RunModalStep(HWND, UINT, UINT_PTR id, DWORD) {
    auto& pending = PendingModalStep();
    if (!pending) {
        ::KillTimer(nullptr, id);
        return;
    }
    // Taken before it runs: the action may open the next modal form and arm a new step.
    auto step = std::move(pending);
    pending = nullptr;
    if (!step()) {
        pending = std::move(step); // not shown yet: the timer comes again
        return;
    }
    ::KillTimer(nullptr, id);
    // An action that failed before closing its form would leave the loop running for
    // good: close the form, so that the test ends and shows the failure instead of hanging.
    if (::testing::Test::HasFailure()) {
        if (HWND active = ::GetActiveWindow())
            ::PostMessageW(active, WM_CLOSE, 0, 0);
    }
}

// Runs `step` from the thread's message loop, again on each pass until it answers true.
inline void FromTheLoop(std::function<bool()> step) {
    PendingModalStep() = std::move(step);
    ::SetTimer(nullptr, 0, 1, RunModalStep);
}

template <typename F> void WhenOpen(const wchar_t* className, std::function<void(F&)> action) {
    FromTheLoop([className, action = std::move(action)] {
        F* form = OpenForm<F>(className);
        if (form)
            action(*form);
        return form != nullptr;
    });
}

} // namespace fake
