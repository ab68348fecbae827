#pragma once
#include "platform/DialUp.h"
#include "platform/Dialogs.h"
#include "platform/Display.h"
#include "platform/Kernel.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "support/Override.h"

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace fake {

// The folder of the test program, with its trailing backslash.
std::wstring TestFolder();

// A dial-up connection as the dial-up library lists it.
platform::RasConnRecord MakeDialUp(const std::string& entry, const std::string& deviceType,
                                   const std::string& deviceName);

struct TrayCall {
    DWORD message;
    UINT flags;
    HWND window;
    HICON icon;
    std::wstring tip;
    std::wstring info;
    std::wstring infoTitle;
    UINT timeout;
    DWORD infoFlags;
};

struct ShellExecuteCall {
    HWND owner;
    std::wstring verb;
    std::wstring file;
    int show;
};

struct MessageBoxCall {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};

struct HelpCall {
    std::wstring file;
    UINT command;
    ULONG_PTR data;
};

// Gives each test its own HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE: scratch keys of
// the real registry, removed afterwards. Through the registry binding, a key's values
// are read and written only as the access it was opened with allows, and a test may
// withhold access to a key (with every key below it) or to a whole root, as a standard
// user's rights do. The test's own ::Reg calls go around all of that.
class ScratchRegistry {
public:
    ScratchRegistry();
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    // From now on, an open of `path` under `root` (or of a key below it; an empty path
    // is the whole root) that asks for more than `allowed` is refused.
    void Restrict(HKEY root, const std::wstring& path, REGSAM allowed);
    void RefuseKey(HKEY root, const std::wstring& path) { Restrict(root, path, 0); }
    void ReadOnly(HKEY root, const std::wstring& path = {}) { Restrict(root, path, KEY_READ); }

private:
    struct Rule {
        HKEY root;
        std::wstring path;
        REGSAM allowed;
    };
    // What an open of the key may be granted; every right for a key no rule names.
    REGSAM Allowed(HKEY root, LPCWSTR path) const;
    // Whether a key was opened with the access a call on it needs.
    LSTATUS Use(HKEY key, REGSAM needed) const;

    BindingOverride<platform::Registry> binding_{platform::registry()};
    std::wstring root_;
    HKEY user_ = nullptr;
    HKEY machine_ = nullptr;
    std::vector<Rule> rules_;
    // The keys opened through the binding, with the access each was opened with.
    std::map<HKEY, REGSAM> opened_;
    mutable std::mutex lock_;
};

// The dial-up library's connection list.
class FakeDialUp {
public:
    FakeDialUp();
    std::vector<platform::RasConnRecord> DialUpConnections;

private:
    BindingOverride<platform::DialUp> binding_{platform::dialUp()};
};

// The Windows version (XP unless a test says otherwise), the clocks, the mutex and a
// record of the debug output.
class FakeKernel {
public:
    FakeKernel();
    platform::WindowsVersion& Version() { return binding_->Version; }

    bool MutexAlreadyExists = false;
    double Now = 45000.5; // 2023-03-15 12:00
    // The millisecond tick count. Each reading is TickStep later, so ticks called one
    // after another are a period apart as they would be on their timers; a test of what
    // windows share within one period sets TickStep to 0 and moves TickCount itself.
    DWORD TickCount = 0;
    DWORD TickStep = 1000;
    std::vector<std::wstring> DebugOutput;
    // The machine's time zone; UTC unless a test moves it.
    TIME_ZONE_INFORMATION TimeZone{};
    void SetZoneHours(int hoursEastOfUtc) { TimeZone.Bias = -60 * hoursEastOfUtc; }

    // Where the program believes it runs from: a folder of the test program's own
    // folder (its "Plugins" folder, its probe library), given with a trailing backslash.
    void UseProgramFolder(const std::wstring& folder);

    // Libraries that load by name, with their exports; any other name loads for real.
    // Loads and releases of them are counted.
    void OfferLibrary(const std::wstring& name, std::map<std::string, FARPROC> exports);
    int FakeLibrariesLoaded = 0;
    int FakeLibrariesFreed = 0;

    // The running processes as a process snapshot lists them (none unless a test says),
    // and a snapshot that cannot be taken. Snapshots taken and still open are counted.
    std::vector<platform::ProcessEntry> Processes;
    bool SnapshotFails = false;
    int SnapshotsTaken = 0;
    int SnapshotsOpen = 0;

private:
    std::vector<platform::ProcessEntry> snapshot_;
    std::size_t snapshotAt_ = 0;
    std::map<std::wstring, std::map<std::string, FARPROC>> libraries_;
    BindingOverride<platform::Kernel> binding_{platform::kernel()};
};

// The tray: every Shell_NotifyIcon call, accepted or refused; what the shell was asked
// to open, and which special folders.
class FakeShell {
public:
    FakeShell();
    bool TrayAccepts = true;
    std::vector<TrayCall> TrayCalls;
    std::vector<ShellExecuteCall> ShellExecutes;
    // Each special folder opened, with the verb.
    std::vector<std::pair<int, std::wstring>> OpenedFolders;

private:
    BindingOverride<platform::Shell> binding_{platform::shell()};
};

// Message boxes (answered with MessageBoxAnswer), help requests and save dialogs (answered
// with SaveFileAnswer, or cancelled when it is empty).
class FakeDialogs {
public:
    FakeDialogs();
    int MessageBoxAnswer = IDOK;
    std::vector<MessageBoxCall> MessageBoxes;
    std::vector<HelpCall> HelpCalls;
    std::wstring SaveFileAnswer;
    // The file name each save dialog offered.
    std::vector<std::wstring> SaveFileOffers;

private:
    BindingOverride<platform::Dialogs> binding_{platform::dialogs()};
};

// The screen: 96 pixels per inch unless a test sets another resolution, and the small
// icon size the shell asks for (the real one unless a test sets it).
class FakeDisplay {
public:
    FakeDisplay();
    int PixelsPerInch = platform::kStandardPixelsPerInch;
    int SmallIconSize = 0;

private:
    BindingOverride<platform::Display> binding_{platform::display()};
};

} // namespace fake
