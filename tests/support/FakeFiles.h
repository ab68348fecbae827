#pragma once
#include "platform/Files.h"
#include "support/Override.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <set>
#include <string>

namespace fake {

// Paths compare as Windows compares them: whatever their case.
struct PathLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const;
};

// A file system in memory: files as path and bytes, folders, and the ways writing
// fails. Paths are full paths with backslashes; a folder is named without a trailing one.
class FakeFiles {
public:
    FakeFiles();
    FakeFiles(const FakeFiles&) = delete;
    FakeFiles& operator=(const FakeFiles&) = delete;

    // The user's application data folder, which exists with the folders above it.
    static constexpr const wchar_t* kAppData = L"C:\\Users\\tester\\AppData\\Roaming";

    std::map<std::wstring, std::string, PathLess> FileBytes;
    std::set<std::wstring, PathLess> Folders;
    // Folders in which nothing may be made, changed, moved or removed (nor folders below
    // them), as a folder the user may only read.
    std::set<std::wstring, PathLess> ReadOnlyFolders;
    // Files that refuse to be opened (held by another program).
    std::set<std::wstring, PathLess> LockedFiles;
    // Bytes the disk still takes; a write that needs more takes what fits and fails.
    std::size_t FreeBytes = std::numeric_limits<std::size_t>::max();
    // Every move (rename) fails.
    bool MovesFail = false;

    // Makes a folder with the folders above it.
    void AddFolder(const std::wstring& path);
    // A file with its content, in a folder made for it.
    void AddFile(const std::wstring& path, std::string bytes);
    bool HasFile(const std::wstring& path) const { return FileBytes.count(path) != 0; }
    // The names of the files in a folder that begin with a prefix.
    std::set<std::wstring> FilesStartingWith(const std::wstring& pathPrefix) const;
    // Files the program has open.
    std::size_t OpenFiles() const { return open_.size(); }

private:
    struct OpenFile {
        std::wstring path;
        bool write = false;
        std::size_t position = 0;
    };
    bool Writable(const std::wstring& folder) const;

    std::map<HANDLE, OpenFile> open_;
    std::uintptr_t nextHandle_ = 0x7000;
    fake::BindingOverride<platform::Files> binding_{platform::files()};
};

} // namespace fake
