#pragma once
#include "platform/Handles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace settings {

// The program's settings key under HKEY_CURRENT_USER.
inline constexpr wchar_t kSettingsKey[] = L"\\Software\\Quorvel Software\\Tarvelo";

// A registry cursor with one current key, in the manner the settings code uses it: it
// stands on the settings key, and every excursion elsewhere comes back with
// ReturnToSettingsKey. Paths that begin with a backslash start at the root; others
// are relative to the current key.
class RegistryAccessor {
public:
    RegistryAccessor();

    HKEY RootKey() const { return root_; }
    void SetRootKey(HKEY root);
    REGSAM Access() const { return access_; }
    void SetAccess(REGSAM access) { access_ = access; }
    // The full path of the current key from the root, with a leading backslash.
    const std::wstring& CurrentPath() const { return path_; }
    bool HasCurrentKey() const { return static_cast<bool>(key_); }

    bool OpenKey(const std::wstring& path, bool create);
    bool KeyExists(const std::wstring& path) const;
    void CloseKey();
    // Back to the settings key under HKEY_CURRENT_USER with full access, creating it
    // when missing.
    bool ReturnToSettingsKey();

    bool ValueExists(const std::wstring& name) const;
    // Values of another type than asked for read as absent.
    std::optional<std::wstring> ReadString(const std::wstring& name) const;
    std::optional<std::int32_t> ReadInteger(const std::wstring& name) const;
    std::optional<bool> ReadBool(const std::wstring& name) const;
    std::optional<std::vector<BYTE>> ReadBinary(const std::wstring& name) const;

    bool WriteString(const std::wstring& name, const std::wstring& value);
    bool WriteInteger(const std::wstring& name, std::int32_t value);
    bool WriteBool(const std::wstring& name, bool value) { return WriteInteger(name, value ? 1 : 0); }
    bool WriteBinary(const std::wstring& name, const std::vector<BYTE>& value);
    bool DeleteValue(const std::wstring& name);

private:
    std::optional<std::vector<BYTE>> ReadRaw(const std::wstring& name, DWORD expectedType) const;
    bool WriteRaw(const std::wstring& name, DWORD type, const BYTE* data, DWORD size);
    std::wstring Resolve(const std::wstring& path) const;

    HKEY root_ = HKEY_CURRENT_USER;
    REGSAM access_ = KEY_ALL_ACCESS;
    platform::UniqueKey key_;
    std::wstring path_;
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

} // namespace settings
