#include "widgets/ToolWindows.h"
#include "widgets/Application.h"

#include <algorithm>

namespace widgets {

namespace {
// Deleted now, or after the running handler (it may be one of the form's own).
void Discard(std::unique_ptr<Form> form) {
    Application::Instance().DeleteLater(std::shared_ptr<Form>(std::move(form)));
}
} // namespace

ToolWindows::~ToolWindows() {
    OnClosed = nullptr;
    for (auto& form : forms_) {
        form->release_ = nullptr;
        form->DestroyHandle();
        Discard(std::move(form));
    }
}

void ToolWindows::Adopt(std::unique_ptr<Form> form) {
    Form* adopted = form.get();
    adopted->release_ = [this, adopted] { Release(adopted); };
    forms_.push_back(std::move(form));
}

void ToolWindows::Release(Form* form) {
    auto it = std::find_if(forms_.begin(), forms_.end(),
                           [form](const std::unique_ptr<Form>& owned) { return owned.get() == form; });
    if (it == forms_.end())
        return;
    std::unique_ptr<Form> closed = std::move(*it);
    forms_.erase(it);
    if (OnClosed)
        OnClosed(*closed);
    Discard(std::move(closed));
}

} // namespace widgets
