#pragma once
#include "platform/Handles.h"

#include <shlobj.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Files and folders, for the data the program keeps between runs (the usage history)
// and the files a user saves (an export).
struct Files {
    std::function<HANDLE(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)> CreateFileW =
        ::CreateFileW;
    std::function<BOOL(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED)> ReadFile = ::ReadFile;
    std::function<BOOL(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED)> WriteFile = ::WriteFile;
    std::function<BOOL(HANDLE)> FlushFileBuffers = ::FlushFileBuffers;
    std::function<BOOL(HANDLE)> CloseHandle = ::CloseHandle;
    std::function<BOOL(LPCWSTR, LPCWSTR, DWORD)> MoveFileExW = ::MoveFileExW;
    std::function<BOOL(LPCWSTR)> DeleteFileW = ::DeleteFileW;
    std::function<BOOL(LPCWSTR, LPSECURITY_ATTRIBUTES)> CreateDirectoryW = ::CreateDirectoryW;
    std::function<DWORD(LPCWSTR)> GetFileAttributesW = ::GetFileAttributesW;
    std::function<HRESULT(HWND, int, HANDLE, DWORD, LPWSTR)> SHGetFolderPathW = ::SHGetFolderPathW;
};

Files& files();

// An open file, closed through the binding. CreateFileW's "no file" is
// INVALID_HANDLE_VALUE, not the null handle of the other kernel objects.
struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { files().CloseHandle(h); }
};
using UniqueFile = UniqueHandle<FileHandleTraits>;

// Files larger than this are not read whole: nothing the program keeps comes near it.
constexpr std::size_t kLargestReadFile = 64u << 20;

// The user's application data folder (roaming), without a trailing backslash; empty when
// the system has none.
std::wstring AppDataFolder();
// Whether a file or folder of that name exists.
bool PathExists(const std::wstring& path);
// The whole content of a file; nothing when it cannot be opened or read, or is larger
// than kLargestReadFile.
std::optional<std::string> ReadWholeFile(const std::wstring& path);
// Replaces a file's content at once: the bytes go to path + ".tmp", are flushed, and the
// temporary file is moved over the file (write-through). A failure leaves the old file
// as it was and removes the temporary one.
bool ReplaceFile(const std::wstring& path, std::string_view bytes);
// Makes a folder with the folders above it; true when it exists afterwards.
bool CreateFolders(const std::wstring& path);

} // namespace platform
