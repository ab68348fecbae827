#include "platform/Dialogs.h"
#include "platform/IpHelper.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Handles.h"

namespace platform {

FARPROC IpHelper::LookUpExport(const char* name) {
    HMODULE library = ::GetModuleHandleW(L"iphlpapi.dll");
    return library ? ::GetProcAddress(library, name) : nullptr;
}

IpHelper& ipHelper() {
    static IpHelper binding;
    return binding;
}

Registry& registry() {
    static Registry binding;
    return binding;
}

void RegKeyTraits::Close(HKEY h) {
    registry().RegCloseKey(h);
}

Shell& shell() {
    static Shell binding;
    return binding;
}

UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

Dialogs& dialogs() {
    static Dialogs binding;
    return binding;
}

} // namespace platform
