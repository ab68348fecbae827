#include "UsageHistory/HistoryFile.h"

#include "platform/Files.h"
#include "platform/Kernel.h"

#include <cmath>
#include <cwchar>
#include <string_view>

namespace usage {

namespace {

// "20261209-143005" for a local time of the kernel binding's clock.
std::wstring StampText(double localDays) {
    const Date date = DateOfLocalTime(localDays);
    long seconds = 0;
    if (std::isfinite(localDays))
        seconds = static_cast<long>((localDays - std::floor(localDays)) * 86400.0);
    seconds = seconds < 0 ? 0 : (seconds > 86399 ? 86399 : seconds);
    wchar_t text[32];
    std::swprintf(text, 32, L"%04d%02d%02d-%02ld%02ld%02ld", date.Year, date.Month, date.Day, seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    return text;
}

std::wstring FileNameOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

} // namespace

std::wstring HistoryFolder() {
    const std::wstring appData = platform::AppDataFolder();
    return appData.empty() ? std::wstring() : appData + L"\\Tarvelo\\history\\";
}

InterfaceHistory::InterfaceHistory(std::wstring folder, std::wstring adapterId, std::wstring connectionName)
    : Folder(std::move(folder)), AdapterId(std::move(adapterId)), ConnectionName(std::move(connectionName)) {
}

std::wstring InterfaceHistory::Path() const {
    if (Folder.empty())
        return {};
    std::wstring name = AdapterId.empty() ? std::wstring(L"_") : AdapterId;
    for (wchar_t& c : name)
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos)
            c = L'_';
    return Folder + name + L".csv";
}

void InterfaceHistory::Load() {
    LastWriteTick = platform::kernel().GetTickCount();
    const std::wstring path = Path();
    if (path.empty() || !platform::PathExists(path))
        return;
    const std::optional<std::string> text = platform::ReadWholeFile(path);
    std::optional<History> read = text ? ParseFileText(*text) : std::nullopt;
    if (read) {
        // Bytes counted before the file was read belong to the same days.
        for (const DayRow& row : Days.Days())
            read->Add(row.Day, row.Bytes.Received, row.Bytes.Sent);
        Days = std::move(*read);
        return;
    }
    // Kept under another name for whoever wants to look at it, never trusted and never
    // written over. A second bad file within the same second takes a numbered name.
    const std::wstring aside = path + L".bad-" + StampText(platform::kernel().Now());
    for (int attempt = 1; attempt <= 9; ++attempt) {
        const std::wstring name = attempt == 1 ? aside : aside + L"-" + std::to_wstring(attempt);
        if (platform::PathExists(name))
            continue;
        if (platform::files().MoveFileExW(path.c_str(), name.c_str(), MOVEFILE_WRITE_THROUGH)) {
            MovedAsideTo = FileNameOf(name);
            return;
        }
        break;
    }
    Blocked = true;
}

void InterfaceHistory::Tick(std::uint64_t received, std::uint64_t sent) {
    if (received == 0 && sent == 0 && !Changed)
        return;
    if (received != 0 || sent != 0) {
        Days.Add(DateOfLocalTime(platform::kernel().Now()), received, sent);
        Changed = true;
    }
    // Differences of the tick count survive its wrap after 49 days.
    if (static_cast<std::uint32_t>(platform::kernel().GetTickCount() - LastWriteTick) >= kWriteInterval)
        Write();
}

void InterfaceHistory::Flush() {
    if (Changed)
        Write();
}

bool InterfaceHistory::Write() {
    LastWriteTick = platform::kernel().GetTickCount();
    if (Blocked)
        return false;
    const std::wstring path = Path();
    const bool written = !path.empty() && platform::CreateFolders(Folder) &&
                         platform::ReplaceFile(path, FileText(Days, ConnectionName));
    WriteFailed = !written;
    if (written)
        Changed = false;
    return written;
}

std::wstring InterfaceHistory::Problem() const {
    std::wstring text;
    if (MovedAsideTo)
        text = L"历史文件无法读取，已另存为 " + *MovedAsideTo + L"，已开始新的记录。";
    if (Blocked)
        text += L"历史文件无法读取，也无法另存，流量统计仅保存在内存中。";
    else if (WriteFailed)
        text += L"无法写入历史文件夹，流量统计仅保存在内存中。";
    return text;
}

} // namespace usage
