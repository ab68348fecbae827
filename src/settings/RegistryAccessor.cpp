#include "settings/RegistryAccessor.h"
#include "platform/Registry.h"

#include <cstring>

namespace settings {

namespace {
// Win32 takes subkey paths without a leading backslash.
std::wstring WithoutLeadingSlash(const std::wstring& path) {
    std::size_t start = path.find_first_not_of(L'\\');
    return start == std::wstring::npos ? std::wstring() : path.substr(start);
}
} // namespace

RegistryAccessor::RegistryAccessor() {
    OpenKey(kSettingsKey, true);
}

void RegistryAccessor::SetRootKey(HKEY root) {
    CloseKey();
    root_ = root;
}

std::wstring RegistryAccessor::Resolve(const std::wstring& path) const {
    if (!path.empty() && path.front() == L'\\')
        return path;
    if (path_.empty())
        return L"\\" + path;
    return path_ + L"\\" + path;
}

bool RegistryAccessor::OpenKey(const std::wstring& path, bool create) {
    std::wstring full = Resolve(path);
    std::wstring subkey = WithoutLeadingSlash(full);
    HKEY opened = nullptr;
    LSTATUS status;
    if (create)
        status = platform::registry().RegCreateKeyExW(
            root_, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr, &opened, nullptr);
    else
        status = platform::registry().RegOpenKeyExW(root_, subkey.c_str(), 0, access_, &opened);
    if (status != ERROR_SUCCESS)
        return false;
    key_.Reset(opened);
    path_ = L"\\" + subkey;
    return true;
}

bool RegistryAccessor::KeyExists(const std::wstring& path) const {
    std::wstring subkey = WithoutLeadingSlash(Resolve(path));
    HKEY opened = nullptr;
    if (platform::registry().RegOpenKeyExW(root_, subkey.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    platform::UniqueKey closer(opened);
    return true;
}

void RegistryAccessor::CloseKey() {
    key_.Reset();
    path_.clear();
}

bool RegistryAccessor::ReturnToSettingsKey() {
    SetRootKey(HKEY_CURRENT_USER);
    access_ = KEY_ALL_ACCESS;
    return OpenKey(kSettingsKey, true);
}

std::optional<std::vector<BYTE>> RegistryAccessor::ReadRaw(const std::wstring& name,
                                                           DWORD expectedType) const {
    if (!key_)
        return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    auto& reg = platform::registry();
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (reg.RegQueryValueExW(key_.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        if (type != expectedType)
            return std::nullopt;
        std::vector<BYTE> data(size);
        DWORD got = size;
        LSTATUS status = reg.RegQueryValueExW(key_.Get(), name.c_str(), nullptr, &type, data.data(), &got);
        if (status == ERROR_MORE_DATA)
            continue; // the value grew between the two calls
        if (status != ERROR_SUCCESS || type != expectedType)
            return std::nullopt;
        data.resize(got);
        return data;
    }
    return std::nullopt;
}

bool RegistryAccessor::ValueExists(const std::wstring& name) const {
    return key_ && platform::registry().RegQueryValueExW(key_.Get(), name.c_str(), nullptr, nullptr, nullptr,
                                                         nullptr) == ERROR_SUCCESS;
}

std::optional<std::wstring> RegistryAccessor::ReadString(const std::wstring& name) const {
    auto data = ReadRaw(name, REG_SZ);
    if (!data)
        return std::nullopt;
    std::wstring text(reinterpret_cast<const wchar_t*>(data->data()), data->size() / sizeof(wchar_t));
    // Stored strings usually, but not always, carry their terminator.
    if (auto nul = text.find(L'\0'); nul != std::wstring::npos)
        text.resize(nul);
    return text;
}

std::optional<std::int32_t> RegistryAccessor::ReadInteger(const std::wstring& name) const {
    auto data = ReadRaw(name, REG_DWORD);
    if (!data || data->size() != sizeof(DWORD))
        return std::nullopt;
    std::int32_t value = 0;
    std::memcpy(&value, data->data(), sizeof value);
    return value;
}

std::optional<bool> RegistryAccessor::ReadBool(const std::wstring& name) const {
    auto value = ReadInteger(name);
    if (!value)
        return std::nullopt;
    return *value != 0;
}

std::optional<std::vector<BYTE>> RegistryAccessor::ReadBinary(const std::wstring& name) const {
    return ReadRaw(name, REG_BINARY);
}

bool RegistryAccessor::WriteRaw(const std::wstring& name, DWORD type, const BYTE* data, DWORD size) {
    return key_ && platform::registry().RegSetValueExW(key_.Get(), name.c_str(), 0, type, data, size) ==
                       ERROR_SUCCESS;
}

bool RegistryAccessor::WriteString(const std::wstring& name, const std::wstring& value) {
    return WriteRaw(name, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool RegistryAccessor::WriteInteger(const std::wstring& name, std::int32_t value) {
    return WriteRaw(name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

bool RegistryAccessor::WriteBinary(const std::wstring& name, const std::vector<BYTE>& value) {
    return WriteRaw(name, REG_BINARY, value.data(), static_cast<DWORD>(value.size()));
}

bool RegistryAccessor::DeleteValue(const std::wstring& name) {
    return key_ && platform::registry().RegDeleteValueW(key_.Get(), name.c_str()) == ERROR_SUCCESS;
}

} // namespace settings
