#include "platform/Kernel.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace platform {

Kernel& kernel() {
    static Kernel binding;
    return binding;
}

void KernelHandleTraits::Close(HANDLE h) {
    kernel().CloseHandle(h);
}
void ModuleTraits::Close(HMODULE h) {
    kernel().FreeLibrary(h);
}
void SnapshotTraits::Close(HANDLE h) {
    kernel().CloseHandle(h);
}

WindowsVersion QueryWindowsVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(&info))
        return {};
#pragma GCC diagnostic pop
    return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

double LocalNow() {
    FILETIME utc{}, local{};
    ::GetSystemTimeAsFileTime(&utc);
    ::FileTimeToLocalFileTime(&utc, &local);
    ULARGE_INTEGER ticks;
    ticks.LowPart = local.dwLowDateTime;
    ticks.HighPart = local.dwHighDateTime;
    // FILETIME counts 100 ns units from 1601-01-01; the date-time origin 1899-12-30
    // lies 109,205 days later.
    constexpr double kTicksPerDay = 864000000000.0;
    return static_cast<double>(ticks.QuadPart) / kTicksPerDay - 109205.0;
}

SYSTEMTIME UtcToLocal(const SYSTEMTIME& utc) {
    TIME_ZONE_INFORMATION zone{};
    SYSTEMTIME local = utc;
    if (kernel().GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID ||
        !::SystemTimeToTzSpecificLocalTime(&zone, &utc, &local))
        return utc;
    return local;
}

namespace {
template <typename Format> std::wstring LocaleText(Format format, DWORD flags, const SYSTEMTIME& time) {
    int n = format(LOCALE_USER_DEFAULT, flags, &time, nullptr, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    n = format(LOCALE_USER_DEFAULT, flags, &time, nullptr, text.data(), n);
    text.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);
    return text;
}
} // namespace

std::wstring ShortDateText(const SYSTEMTIME& time) {
    return LocaleText(::GetDateFormatW, DATE_SHORTDATE, time);
}

std::wstring LongTimeText(const SYSTEMTIME& time) {
    return LocaleText(::GetTimeFormatW, 0, time);
}

std::wstring ModuleFileName() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = kernel().GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return {};
        if (n < buffer.size())
            return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring ModuleFolder() {
    std::wstring path = ModuleFileName();
    auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::vector<std::wstring> FindFiles(const std::wstring& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = kernel().FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.emplace_back(found.cFileName);
    while (kernel().FindNextFileW(search, &found));
    kernel().FindClose(search);
    return names;
}

std::vector<ProcessEntry> RunningProcesses() {
    std::vector<ProcessEntry> processes;
    UniqueSnapshot snapshot(kernel().CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = kernel().Process32FirstW(snapshot.Get(), &entry); more;
         more = kernel().Process32NextW(snapshot.Get(), &entry)) {
        // The name field is a fixed array: read no further than its end.
        const wchar_t* begin = entry.szExeFile;
        const wchar_t* end = std::find(begin, begin + std::size(entry.szExeFile), L'\0');
        processes.push_back({entry.th32ProcessID, std::wstring(begin, end)});
        entry.dwSize = sizeof entry;
    }
    return processes;
}

} // namespace platform
