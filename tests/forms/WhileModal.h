#pragma once
// Acts on a modal window from inside its loop: the step runs once, from a timer of the
// thread, as soon as the loop handles messages.
#include "widgets/Form.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace fake {

inline std::function<void()>& PendingModalStep() {
    static std::function<void()> step;
    return step;
}

inline void CALLBACK RunModalStep(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    auto step = std::exchange(PendingModalStep(), nullptr);
    if (!step)
        return;
    step();
    // A step that failed before closing its window would leave the loop running for good:
    // close the window, so that the test ends and shows the failure instead of hanging.
    if (::testing::Test::HasFailure()) {
        if (HWND active = ::GetActiveWindow())
            ::PostMessageW(active, WM_CLOSE, 0, 0);
    }
}

inline void WhileModal(std::function<void()> step) {
    PendingModalStep() = std::move(step);
    ::SetTimer(nullptr, 0, 1, RunModalStep);
}

// The form object behind an open window of a form class.
template <typename F> F* OpenForm(const wchar_t* className) {
    return dynamic_cast<F*>(widgets::Form::FindOpen(className, nullptr));
}

} // namespace fake
