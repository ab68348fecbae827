#pragma once
#include "widgets/Form.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace widgets {

// The tool windows a form opened (an ARP table, trace routes), owned here. Closing one
// ends it: it hides at once and is destroyed, object and window, once control is back
// in the message loop. Whatever is still open goes with the collection. A tool window
// may be deleted after its opener, so it keeps no reference into it.
class ToolWindows {
public:
    ToolWindows() = default;
    ~ToolWindows();
    ToolWindows(const ToolWindows&) = delete;
    ToolWindows& operator=(const ToolWindows&) = delete;

    // Makes a tool window (its window still to be created and shown).
    template <typename F, typename... Args> F& Add(Args&&... args) {
        auto form = std::make_unique<F>(std::forward<Args>(args)...);
        F& added = *form;
        Adopt(std::move(form));
        return added;
    }

    // The open window of that kind, for the windows shown one at a time.
    template <typename F> F* Find() const {
        for (const auto& form : forms_)
            if (auto* found = dynamic_cast<F*>(form.get()))
                return found;
        return nullptr;
    }

    std::size_t Count() const { return forms_.size(); }

    // A tool window was closed; it is still there, about to go.
    std::function<void(Form&)> OnClosed;

private:
    void Adopt(std::unique_ptr<Form> form);
    void Release(Form* form);

    std::vector<std::unique_ptr<Form>> forms_;
};

} // namespace widgets
