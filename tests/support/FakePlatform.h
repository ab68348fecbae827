#pragma once
#include "support/FakeIpHelper.h"
#include "support/FakeNetwork.h"
#include "support/FakeSystem.h"

namespace fake {

// Replaces every platform binding for its lifetime with a scripted machine, one fake per
// binding; everything they replaced comes back when it goes. A test that needs only one
// binding scripted may use that fake alone.
class FakePlatform : public FakeIpHelper,
                     public FakeDialUp,
                     public FakeKernel,
                     public FakeShell,
                     public FakeDialogs,
                     public FakeNetwork {
public:
    FakePlatform() = default;
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

private:
    ScratchRegistry registry_;
};

} // namespace fake
