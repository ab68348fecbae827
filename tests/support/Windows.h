#pragma once
#include "StatForm/StatsForm.h"

#include <memory>

namespace fake {

// A status window begun as the program begins it, watching position `ordinal`.
inline std::unique_ptr<TStatsForm> BeginWindow(std::uint32_t ordinal = 1, bool first = false) {
    auto window = std::make_unique<TStatsForm>();
    window->Ordinal = ordinal;
    window->BeginForm(first);
    return window;
}

} // namespace fake
