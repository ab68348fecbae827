#pragma once
// The IPv6 side of one adapter for the details window: its addresses and its DNS servers,
// from the adapter list that GetAdaptersAddresses fills (XP SP1 and later).
#include "platform/Win32.h"

#include <string>
#include <vector>

struct AdapterIpv6 {
    std::vector<std::wstring> Addresses; // link-local ones with their zone ("fe80::1%12")
    std::vector<std::wstring> DnsServers;
};

// The adapter list with its addresses, fetched once; empty where the system has no such
// list or the fetch failed.
std::vector<BYTE> FetchAdapterAddresses();

// The IPv6 addresses and DNS servers of the adapter named adapterName ("{GUID}") in a
// block FetchAdapterAddresses filled. Every chain is followed only inside the block and
// for no more steps than the block could hold, every text and socket address read only
// where it lies whole inside it.
AdapterIpv6 Ipv6Of(const std::vector<BYTE>& block, const std::string& adapterName);
