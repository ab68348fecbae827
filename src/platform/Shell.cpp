#include "platform/Shell.h"

namespace platform {

HINSTANCE OpenSpecialFolder(HWND window, int folder, LPCWSTR verb) {
    PIDLIST_ABSOLUTE items = nullptr;
    if (FAILED(shell().SHGetSpecialFolderLocation(window, folder, &items)) || !items)
        return nullptr;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_IDLIST;
    info.hwnd = window;
    info.lpVerb = verb;
    info.lpFile = L"";
    info.lpParameters = L"";
    info.lpDirectory = L"";
    info.lpClass = L"";
    info.nShow = SW_SHOWNORMAL;
    info.lpIDList = items;
    shell().ShellExecuteExW(&info);
    shell().CoTaskMemFree(items);
    return info.hInstApp;
}

} // namespace platform
