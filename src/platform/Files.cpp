#include "platform/Files.h"

#include <algorithm>

namespace platform {

Files& files() {
    static Files binding;
    return binding;
}

std::wstring AppDataFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(files().SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
        return {};
    std::wstring folder(path, std::find(path, path + MAX_PATH, L'\0'));
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    return folder;
}

bool PathExists(const std::wstring& path) {
    return files().GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
    UniqueFile file(files().CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    std::string content;
    constexpr DWORD kChunk = 64 * 1024;
    for (;;) {
        const std::size_t had = content.size();
        content.resize(had + kChunk);
        DWORD read = 0;
        if (!files().ReadFile(file.Get(), content.data() + had, kChunk, &read, nullptr))
            return std::nullopt;
        content.resize(had + std::min(read, kChunk));
        if (content.size() > kLargestReadFile)
            return std::nullopt;
        if (read == 0)
            return content;
    }
}

bool ReplaceFile(const std::wstring& path, std::string_view bytes) {
    const std::wstring temporary = path + L".tmp";
    bool written = false;
    {
        UniqueFile file(files().CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return false;
        written = true;
        // WriteFile may take less than it was given; a call that takes nothing is a failure.
        for (std::size_t at = 0; written && at < bytes.size();) {
            const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, 1u << 20));
            DWORD done = 0;
            written = files().WriteFile(file.Get(), bytes.data() + at, piece, &done, nullptr) && done > 0;
            at += std::min<DWORD>(done, piece);
        }
        written = written && files().FlushFileBuffers(file.Get());
    }
    if (written && files().MoveFileExW(temporary.c_str(), path.c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    files().DeleteFileW(temporary.c_str());
    return false;
}

bool CreateFolders(const std::wstring& path) {
    auto isFolder = [](const std::wstring& folder) {
        const DWORD attributes = files().GetFileAttributesW(folder.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    };
    std::wstring folder = path;
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    if (folder.empty())
        return false;
    if (isFolder(folder))
        return true;
    // The folders below the root, outermost first; a drive ("C:") or a share's root
    // ("\\server\share") is never made.
    std::size_t from = 0;
    if (folder.rfind(L"\\\\", 0) == 0) {
        from = folder.find(L'\\', 2);
        from = from == std::wstring::npos ? folder.size() : folder.find(L'\\', from + 1);
    } else {
        from = folder.find(L'\\');
    }
    while (from != std::wstring::npos && from < folder.size()) {
        const std::size_t next = folder.find(L'\\', from + 1);
        const std::wstring step = folder.substr(0, next);
        // Made by someone else meanwhile is as good as made.
        if (!isFolder(step) && !files().CreateDirectoryW(step.c_str(), nullptr) && !isFolder(step))
            return false;
        from = next;
    }
    return isFolder(folder);
}

} // namespace platform
