#pragma once

namespace fake {

// Saves a process-wide binding and puts it back when it goes, whatever a test did to it.
template <typename Binding> class BindingOverride {
public:
    explicit BindingOverride(Binding& live) : live_(live), saved_(live) {}
    ~BindingOverride() { live_ = saved_; }
    BindingOverride(const BindingOverride&) = delete;
    BindingOverride& operator=(const BindingOverride&) = delete;
    Binding& operator*() const { return live_; }
    Binding* operator->() const { return &live_; }

private:
    Binding& live_;
    Binding saved_;
};

} // namespace fake
