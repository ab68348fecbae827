#pragma once
#include "widgets/Application.h"
#include "widgets/Failures.h"

#include <utility>

namespace widgets {

// Runs one handler of a window procedure or subclass, the one way every window of the
// program does: inside a handler scope (nothing handed to Application::DeleteLater goes
// while it runs), then behind the failure guard (an exception never unwinds through the
// system's frames: it is reported, and false returned).
template <typename F> bool RunHandler(const wchar_t* where, UINT message, F&& handler) noexcept {
    Application::HandlerScope scope;
    return Guarded(where, message, std::forward<F>(handler));
}

} // namespace widgets
