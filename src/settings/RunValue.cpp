#include "settings/RunValue.h"

namespace settings {

namespace {
const std::wstring kRunPath = std::wstring(L"\\") + kRunKey;

bool HoldsValue(HKEY root) {
    RegistryAccessor run;
    run.SetRootKey(root);
    return run.OpenKey(kRunPath) && run.ValueExists(kRunValue);
}

RegStatus Write(HKEY root, const std::wstring& program) {
    RegistryAccessor run;
    run.SetRootKey(root);
    const RegStatus opened =
        root == HKEY_LOCAL_MACHINE ? run.OpenKey(kRunPath, KeyAccess::Write) : run.CreateKey(kRunPath);
    return opened ? run.WriteString(kRunValue, program) : opened;
}

RegStatus Delete(HKEY root) {
    if (!HoldsValue(root))
        return {};
    RegistryAccessor run;
    run.SetRootKey(root);
    const RegStatus opened = run.OpenKey(kRunPath, KeyAccess::Write);
    return opened ? run.DeleteValue(kRunValue) : opened;
}
} // namespace

bool RunValueExists() {
    return HoldsValue(HKEY_LOCAL_MACHINE) || HoldsValue(HKEY_CURRENT_USER);
}

RegStatus SetRunValue(bool on, const std::wstring& program) {
    if (on)
        return Write(HKEY_LOCAL_MACHINE, program) ? RegStatus() : Write(HKEY_CURRENT_USER, program);
    const RegStatus machine = Delete(HKEY_LOCAL_MACHINE);
    const RegStatus user = Delete(HKEY_CURRENT_USER);
    return machine ? user : machine;
}

} // namespace settings
