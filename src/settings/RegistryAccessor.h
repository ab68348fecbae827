#pragma once
#include "platform/Handles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace settings {

// The program's settings key under HKEY_CURRENT_USER.
inline constexpr wchar_t kSettingsKey[] = L"\\Software\\Quorvel Software\\Tarvelo";

// The access a key is opened with. Each open says what it needs, and reading is the
// default: a standard user may read keys he may not write (the machine's, the
// policies), and asking for more than he may have fails the whole open.
enum class KeyAccess : REGSAM {
    Read = KEY_READ,
    Write = KEY_WRITE,
    ReadWrite = KEY_READ | KEY_WRITE,
};

// The registry's answer to one step: true when it was done, with its code otherwise.
class RegStatus {
public:
    constexpr RegStatus(LSTATUS code = ERROR_SUCCESS) : code_(code) {}
    explicit operator bool() const { return code_ == ERROR_SUCCESS; }
    LSTATUS Code() const { return code_; }
    // Not there, as opposed to there but not ours to touch.
    bool Missing() const { return code_ == ERROR_FILE_NOT_FOUND || code_ == ERROR_PATH_NOT_FOUND; }
    bool operator==(const RegStatus&) const = default;

private:
    LSTATUS code_;
};

// What a read found: the value, or why there is none. A value that is absent (or stored
// with another type) is told apart from one the registry would not show.
template <typename T> class Stored {
public:
    // Absent.
    Stored() = default;
    Stored(T value) : value_(std::move(value)), status_(ERROR_SUCCESS) {}
    // Not read, for the reason given.
    static Stored Unread(RegStatus why) {
        Stored stored;
        stored.status_ = why.Missing() ? RegStatus(ERROR_FILE_NOT_FOUND) : why;
        return stored;
    }

    explicit operator bool() const { return value_.has_value(); }
    const T& operator*() const { return *value_; }
    const T* operator->() const { return &*value_; }
    T value_or(T absent) const { return value_ ? *value_ : std::move(absent); }
    bool Refused() const { return !value_ && !status_.Missing(); }
    RegStatus Status() const { return status_; }

    friend bool operator==(const Stored& stored, const T& value) { return stored.value_ == value; }

private:
    std::optional<T> value_;
    RegStatus status_ = ERROR_FILE_NOT_FOUND;
};

// A registry cursor with one current key, in the manner the settings code uses it: it
// stands on the settings key, and every excursion elsewhere comes back with
// ReturnToSettingsKey. Paths that begin with a backslash start at the root; others
// are relative to the current key. Only the code that writes asks for write access,
// and only writing creates keys.
class RegistryAccessor {
public:
    // Stands on the settings key with this access. Reading never creates the key;
    // writing does.
    explicit RegistryAccessor(KeyAccess access = KeyAccess::Read);

    HKEY RootKey() const { return root_; }
    // Moves to another root, leaving the current key.
    void SetRootKey(HKEY root);
    // The access the current key was opened with.
    REGSAM Access() const { return static_cast<REGSAM>(access_); }
    // The full path of the current key from the root, with a leading backslash; also
    // of one that could not be opened, where reads find nothing.
    const std::wstring& CurrentPath() const { return path_; }
    bool HasCurrentKey() const { return static_cast<bool>(key_); }

    // Opens a key that exists; never creates one.
    RegStatus OpenKey(const std::wstring& path, KeyAccess access = KeyAccess::Read);
    // Opens a key, creating every missing level.
    RegStatus CreateKey(const std::wstring& path, KeyAccess access = KeyAccess::ReadWrite);
    bool KeyExists(const std::wstring& path) const;
    void CloseKey();
    // Back to the settings key under HKEY_CURRENT_USER; it is created only for writing.
    RegStatus ReturnToSettingsKey(KeyAccess access = KeyAccess::Read);

    bool ValueExists(const std::wstring& name) const;
    // Values of another type than asked for read as absent.
    Stored<std::wstring> ReadString(const std::wstring& name) const;
    Stored<std::int32_t> ReadInteger(const std::wstring& name) const;
    Stored<bool> ReadBool(const std::wstring& name) const;
    Stored<std::vector<BYTE>> ReadBinary(const std::wstring& name) const;

    RegStatus WriteString(const std::wstring& name, const std::wstring& value);
    RegStatus WriteInteger(const std::wstring& name, std::int32_t value);
    RegStatus WriteBool(const std::wstring& name, bool value) { return WriteInteger(name, value ? 1 : 0); }
    RegStatus WriteBinary(const std::wstring& name, const std::vector<BYTE>& value);
    RegStatus DeleteValue(const std::wstring& name);

private:
    RegStatus Open(const std::wstring& path, KeyAccess access, bool create);
    Stored<std::vector<BYTE>> ReadRaw(const std::wstring& name, DWORD expectedType) const;
    RegStatus WriteRaw(const std::wstring& name, DWORD type, const BYTE* data, DWORD size);
    std::wstring Resolve(const std::wstring& path) const;

    HKEY root_ = HKEY_CURRENT_USER;
    KeyAccess access_ = KeyAccess::Read;
    platform::UniqueKey key_;
    std::wstring path_;
    // Why there is no current key, while there is none.
    RegStatus openStatus_ = ERROR_FILE_NOT_FOUND;
};

// Brings the accessor back to the settings key when the scope ends, on every path.
class SettingsKeyReturn {
public:
    explicit SettingsKeyReturn(RegistryAccessor& accessor) : accessor_(accessor) {}
    ~SettingsKeyReturn() { accessor_.ReturnToSettingsKey(); }
    SettingsKeyReturn(const SettingsKeyReturn&) = delete;
    SettingsKeyReturn& operator=(const SettingsKeyReturn&) = delete;

private:
    RegistryAccessor& accessor_;
};

// Keeps the first failure of a run of writes, so that it is reported once, however
// many writes follow it.
class FirstFailure {
public:
    // Notes one write; the answer is whether it was done.
    bool Note(const std::wstring& what, RegStatus status);
    bool Failed() const { return !status_; }
    const std::wstring& What() const { return what_; }
    RegStatus Status() const { return status_; }
    // Writes the failure, if there was one, to the program's failure trace.
    void Report(const std::wstring& task) const;

private:
    std::wstring what_;
    RegStatus status_;
};

} // namespace settings
