#pragma once
#include "support/FakeClipboard.h"
#include "support/FakeFiles.h"
#include "support/FakeIpHelper.h"
#include "support/FakeNetwork.h"
#include "support/FakeSystem.h"

#include <ostream>

namespace fake {

// Who runs the program: an administrator on Windows XP (what the tests assume unless
// they say otherwise), or a standard user on Vista or later, who may only read the
// machine's keys and the policy keys.
enum class Rights { Administrator, StandardUser };

inline void PrintTo(Rights rights, std::ostream* os) {
    *os << (rights == Rights::StandardUser ? "StandardUser" : "Administrator");
}

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
                     public FakeNetwork,
                     public FakeFiles {
public:
    // The IP helper library offers its run-time export.
    explicit FakePlatform(Rights rights = Rights::Administrator) {
        OfferLibrary(L"iphlpapi.dll", {{"FlushIpNetTable", FlushIpNetTableExport()}});
        if (rights == Rights::StandardUser)
            BecomeStandardUser();
    }
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    // From now on a standard user on Vista, to whom the machine's keys and the policies
    // are read-only.
    void BecomeStandardUser() {
        Version() = platform::WindowsVersion::WindowsVista();
        Registry.ReadOnly(HKEY_LOCAL_MACHINE);
        Registry.ReadOnly(HKEY_CURRENT_USER, L"Software\\Policies");
        Registry.ReadOnly(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies");
    }

    ScratchRegistry Registry;
};

// The profiles a test of the user's rights runs under.
inline constexpr Rights kEveryRights[] = {Rights::Administrator, Rights::StandardUser};

} // namespace fake
