#pragma once
#include "platform/Handles.h"

#include <winnetwk.h>

#include <functional>

namespace platform {

// The network-provider interface: provider names, the neighbourhood's enumeration,
// network information and the map-drive dialog.
struct Network {
    std::function<DWORD(DWORD, LPWSTR, LPDWORD)> WNetGetProviderNameW = ::WNetGetProviderNameW;
    std::function<DWORD(DWORD, DWORD, DWORD, LPNETRESOURCEW, LPHANDLE)> WNetOpenEnumW = ::WNetOpenEnumW;
    std::function<DWORD(HANDLE, LPDWORD, LPVOID, LPDWORD)> WNetEnumResourceW = ::WNetEnumResourceW;
    std::function<DWORD(HANDLE)> WNetCloseEnum = ::WNetCloseEnum;
    std::function<DWORD(LPDWORD, LPWSTR, DWORD, LPWSTR, DWORD)> WNetGetLastErrorW = ::WNetGetLastErrorW;
    std::function<DWORD(LPCWSTR, LPNETINFOSTRUCT)> WNetGetNetworkInformationW = ::WNetGetNetworkInformationW;
    std::function<DWORD(LPCONNECTDLGSTRUCTW)> WNetConnectionDialog1W = ::WNetConnectionDialog1W;
};

Network& network();

// An open enumeration, closed through the binding it was opened with.
class UniqueEnum {
public:
    UniqueEnum(const Network& binding, HANDLE h) : binding_(binding), h_(h) {}
    ~UniqueEnum() {
        if (h_)
            binding_.WNetCloseEnum(h_);
    }
    UniqueEnum(const UniqueEnum&) = delete;
    UniqueEnum& operator=(const UniqueEnum&) = delete;
    HANDLE Get() const { return h_; }

private:
    const Network& binding_;
    HANDLE h_;
};

} // namespace platform
