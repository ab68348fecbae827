#pragma once
#include "platform/Win32.h"

#include <functional>

namespace platform {

struct IpHelper {
    std::function<DWORD(PDWORD)> GetNumberOfInterfaces = ::GetNumberOfInterfaces;
    std::function<DWORD(PMIB_IFTABLE, PULONG, BOOL)> GetIfTable = ::GetIfTable;
    std::function<DWORD(DWORD)> GetFriendlyIfIndex = ::GetFriendlyIfIndex;
    std::function<DWORD(PFIXED_INFO, PULONG)> GetNetworkParams = ::GetNetworkParams;
    std::function<DWORD(PIP_ADAPTER_INFO, PULONG)> GetAdaptersInfo = ::GetAdaptersInfo;
    std::function<DWORD(PIP_INTERFACE_INFO, PULONG)> GetInterfaceInfo = ::GetInterfaceInfo;
    std::function<DWORD(PIP_ADAPTER_INDEX_MAP)> IpReleaseAddress = ::IpReleaseAddress;
    std::function<DWORD(PIP_ADAPTER_INDEX_MAP)> IpRenewAddress = ::IpRenewAddress;
};

IpHelper& ipHelper();

} // namespace platform
