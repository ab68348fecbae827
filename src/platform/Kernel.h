#pragma once
#include "platform/Handles.h"

#include <tlhelp32.h>

#include <functional>
#include <string>
#include <vector>

namespace platform {

// The Windows version as the program needs to reason about it. Tests set it to run
// a window "on Windows 98" or "on NT 4".
struct WindowsVersion {
    DWORD PlatformId = VER_PLATFORM_WIN32_NT;
    DWORD Major = 5;
    DWORD Minor = 1;

    bool IsWin9x() const { return PlatformId == VER_PLATFORM_WIN32_WINDOWS; }
    bool IsWin95Or98() const { return IsWin9x() && Minor != 90; }
    bool IsWinMe() const { return IsWin9x() && Major == 4 && Minor == 90; }
    bool IsNT() const { return PlatformId == VER_PLATFORM_WIN32_NT; }
    bool IsNT4() const { return IsNT() && Major == 4; }
    bool IsWin2000OrLater() const { return IsNT() && Major > 4; }
    bool IsXPOrLater() const { return IsNT() && (Major > 5 || (Major == 5 && Minor >= 1)); }
    bool IsVistaOrLater() const { return IsNT() && Major >= 6; }

    static WindowsVersion Windows98() { return {VER_PLATFORM_WIN32_WINDOWS, 4, 10}; }
    static WindowsVersion WindowsMe() { return {VER_PLATFORM_WIN32_WINDOWS, 4, 90}; }
    static WindowsVersion NT4() { return {VER_PLATFORM_WIN32_NT, 4, 0}; }
    static WindowsVersion Windows2000() { return {VER_PLATFORM_WIN32_NT, 5, 0}; }
    static WindowsVersion WindowsXP() { return {VER_PLATFORM_WIN32_NT, 5, 1}; }
    static WindowsVersion WindowsVista() { return {VER_PLATFORM_WIN32_NT, 6, 0}; }
};

WindowsVersion QueryWindowsVersion();

// Local time as days since 1899-12-30, the fraction being the time of day.
double LocalNow();

struct Kernel {
    std::function<HANDLE(LPSECURITY_ATTRIBUTES, BOOL, LPCWSTR)> CreateMutexW = ::CreateMutexW;
    std::function<BOOL(HANDLE)> ReleaseMutex = ::ReleaseMutex;
    std::function<BOOL(HANDLE)> CloseHandle = ::CloseHandle;
    std::function<DWORD()> GetLastError = ::GetLastError;
    std::function<DWORD(HMODULE, LPWSTR, DWORD)> GetModuleFileNameW = ::GetModuleFileNameW;
    std::function<HMODULE(LPCWSTR)> LoadLibraryW = ::LoadLibraryW;
    std::function<BOOL(HMODULE)> FreeLibrary = ::FreeLibrary;
    std::function<FARPROC(HMODULE, LPCSTR)> GetProcAddress = ::GetProcAddress;
    std::function<HANDLE(LPCWSTR, LPWIN32_FIND_DATAW)> FindFirstFileW = ::FindFirstFileW;
    std::function<BOOL(HANDLE, LPWIN32_FIND_DATAW)> FindNextFileW = ::FindNextFileW;
    std::function<BOOL(HANDLE)> FindClose = ::FindClose;
    std::function<void(LPCWSTR)> OutputDebugStringW = ::OutputDebugStringW;
    std::function<int(LCID, LCTYPE, LPWSTR, int)> GetLocaleInfoW = ::GetLocaleInfoW;
    std::function<double()> Now = LocalNow;
    // Milliseconds since the system started; wraps after 49 days, so only differences count.
    std::function<DWORD()> GetTickCount = ::GetTickCount;
    WindowsVersion Version = QueryWindowsVersion();
    // The machine's time zone, for times the platform gives in UTC.
    std::function<DWORD(LPTIME_ZONE_INFORMATION)> GetTimeZoneInformation = ::GetTimeZoneInformation;
    // The process list, through a snapshot (INVALID_HANDLE_VALUE when none was taken).
    std::function<HANDLE(DWORD, DWORD)> CreateToolhelp32Snapshot = ::CreateToolhelp32Snapshot;
    std::function<BOOL(HANDLE, LPPROCESSENTRY32W)> Process32FirstW = ::Process32FirstW;
    std::function<BOOL(HANDLE, LPPROCESSENTRY32W)> Process32NextW = ::Process32NextW;
};

Kernel& kernel();

// A snapshot's handle: its "none" is INVALID_HANDLE_VALUE, not null.
struct SnapshotTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h);
};
using UniqueSnapshot = UniqueHandle<SnapshotTraits>;

// A running process as one snapshot lists it: its id and the file name of its image
// ("firefox.exe").
struct ProcessEntry {
    DWORD Id = 0;
    std::wstring ImageName;
};

// The machine's processes from one snapshot, in its order; none when no snapshot could
// be taken.
std::vector<ProcessEntry> RunningProcesses();

// A UTC time in the machine's time zone (through the binding's zone).
SYSTEMTIME UtcToLocal(const SYSTEMTIME& utc);
// A date in the user's short date format, a time in the user's long time format.
std::wstring ShortDateText(const SYSTEMTIME& time);
std::wstring LongTimeText(const SYSTEMTIME& time);

// The full path of the running program, and its folder with a trailing backslash.
std::wstring ModuleFileName();
std::wstring ModuleFolder();

// The names of the files matching a pattern (wildcards in the last component), in the
// order the file search returns them.
std::vector<std::wstring> FindFiles(const std::wstring& pattern);

} // namespace platform
