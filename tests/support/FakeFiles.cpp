#include "support/FakeFiles.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

namespace fake {

namespace {

std::wstring Lower(const std::wstring& text) {
    std::wstring lower = text;
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(std::towlower(c));
    return lower;
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring WithoutTrailingSlash(std::wstring path) {
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

} // namespace

bool PathLess::operator()(const std::wstring& a, const std::wstring& b) const {
    return Lower(a) < Lower(b);
}

bool FakeFiles::Writable(const std::wstring& folder) const {
    if (!Folders.count(folder))
        return false;
    for (const std::wstring& refused : ReadOnlyFolders) {
        const std::wstring r = Lower(refused), f = Lower(folder);
        if (f == r || f.rfind(r + L"\\", 0) == 0)
            return false;
    }
    return true;
}

void FakeFiles::AddFolder(const std::wstring& path) {
    std::wstring folder = WithoutTrailingSlash(path);
    for (std::size_t at = folder.find(L'\\'); at != std::wstring::npos; at = folder.find(L'\\', at + 1))
        Folders.insert(folder.substr(0, at));
    Folders.insert(folder);
}

void FakeFiles::AddFile(const std::wstring& path, std::string bytes) {
    AddFolder(FolderOf(path));
    FileBytes[path] = std::move(bytes);
}

std::set<std::wstring> FakeFiles::FilesStartingWith(const std::wstring& pathPrefix) const {
    std::set<std::wstring> names;
    for (const auto& [path, bytes] : FileBytes)
        if (Lower(path).rfind(Lower(pathPrefix), 0) == 0)
            names.insert(path.substr(path.find_last_of(L'\\') + 1));
    return names;
}

FakeFiles::FakeFiles() {
    AddFolder(kAppData);
    platform::Files& files = *binding_;
    files.SHGetFolderPathW = [](HWND, int folder, HANDLE, DWORD, LPWSTR path) -> HRESULT {
        if (folder != CSIDL_APPDATA)
            return E_INVALIDARG;
        std::wcscpy(path, kAppData);
        return S_OK;
    };
    files.GetFileAttributesW = [this](LPCWSTR path) -> DWORD {
        const std::wstring name = WithoutTrailingSlash(path);
        if (Folders.count(name))
            return FILE_ATTRIBUTE_DIRECTORY;
        return FileBytes.count(name) ? FILE_ATTRIBUTE_ARCHIVE : INVALID_FILE_ATTRIBUTES;
    };
    files.CreateDirectoryW = [this](LPCWSTR path, LPSECURITY_ATTRIBUTES) -> BOOL {
        const std::wstring folder = WithoutTrailingSlash(path);
        if (Folders.count(folder) || FileBytes.count(folder) || !Writable(FolderOf(folder)))
            return FALSE;
        Folders.insert(folder);
        return TRUE;
    };
    files.CreateFileW = [this](LPCWSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition,
                               DWORD, HANDLE) -> HANDLE {
        const std::wstring name = path;
        const bool exists = FileBytes.count(name) != 0;
        const bool write = (access & GENERIC_WRITE) != 0;
        if (LockedFiles.count(name) || Folders.count(name) || !Folders.count(FolderOf(name)))
            return INVALID_HANDLE_VALUE;
        if ((disposition == OPEN_EXISTING && !exists) || (disposition == CREATE_NEW && exists))
            return INVALID_HANDLE_VALUE;
        if (write && !Writable(FolderOf(name)))
            return INVALID_HANDLE_VALUE;
        if (disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING || !exists)
            FileBytes[name].clear();
        HANDLE handle = reinterpret_cast<HANDLE>(nextHandle_ += 4);
        open_[handle] = {name, write, 0};
        return handle;
    };
    files.ReadFile = [this](HANDLE handle, LPVOID buffer, DWORD size, LPDWORD read, LPOVERLAPPED) -> BOOL {
        auto file = open_.find(handle);
        if (file == open_.end() || !FileBytes.count(file->second.path))
            return FALSE;
        const std::string& bytes = FileBytes[file->second.path];
        const std::size_t n =
            std::min<std::size_t>(size, bytes.size() - std::min(bytes.size(), file->second.position));
        std::memcpy(buffer, bytes.data() + file->second.position, n);
        file->second.position += n;
        *read = static_cast<DWORD>(n);
        return TRUE;
    };
    files.WriteFile = [this](HANDLE handle, LPCVOID buffer, DWORD size, LPDWORD written,
                             LPOVERLAPPED) -> BOOL {
        auto file = open_.find(handle);
        *written = 0;
        if (file == open_.end() || !file->second.write)
            return FALSE;
        const std::size_t n = std::min<std::size_t>(size, FreeBytes);
        std::string& bytes = FileBytes[file->second.path];
        bytes.replace(std::min(file->second.position, bytes.size()), n, static_cast<const char*>(buffer), n);
        file->second.position += n;
        FreeBytes -= n;
        *written = static_cast<DWORD>(n);
        return n == size;
    };
    files.FlushFileBuffers = [this](HANDLE handle) -> BOOL { return open_.count(handle) != 0; };
    files.CloseHandle = [this](HANDLE handle) -> BOOL { return open_.erase(handle) != 0; };
    files.MoveFileExW = [this](LPCWSTR from, LPCWSTR to, DWORD flags) -> BOOL {
        const std::wstring source = from, target = to;
        if (MovesFail || !FileBytes.count(source) || LockedFiles.count(source) ||
            !Writable(FolderOf(source)) || !Writable(FolderOf(target)) || Folders.count(target))
            return FALSE;
        if (FileBytes.count(target) && !(flags & MOVEFILE_REPLACE_EXISTING))
            return FALSE;
        std::string bytes = std::move(FileBytes[source]);
        FileBytes.erase(source);
        FileBytes[target] = std::move(bytes);
        return TRUE;
    };
    files.DeleteFileW = [this](LPCWSTR path) -> BOOL {
        const std::wstring name = path;
        if (!FileBytes.count(name) || LockedFiles.count(name) || !Writable(FolderOf(name)))
            return FALSE;
        FileBytes.erase(name);
        return TRUE;
    };
}

} // namespace fake
