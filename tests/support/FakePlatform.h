#pragma once
#include "support/FakeClipboard.h"
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
                     public FakeClipboard,
                     public FakeDisplay,
                     public FakeNetwork {
public:
    // The IP helper library offers its run-time export.
    FakePlatform() { OfferLibrary(L"iphlpapi.dll", {{"FlushIpNetTable", FlushIpNetTableExport()}}); }
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

private:
    ScratchRegistry registry_;
};

} // namespace fake
