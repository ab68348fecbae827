#pragma once
// How the ARP table window shows an entry, and reads a shown one back.
#include "platform/Win32.h"

#include <string>

namespace arp {

// "Other", "Invalid", "Dynamic", "Static" for the entry types 1 to 4; empty otherwise.
std::wstring TypeName(DWORD type);
// The type a name stands for, in any case; 0 for a text that is none of them.
DWORD TypeNumber(const std::wstring& name);

// The first six bytes as upper-case hex pairs joined by "-"; empty for an entry that
// has no physical address yet (length 0), which zeros would pass off as a real one.
std::wstring PhysicalAddressText(const BYTE* bytes, DWORD length);

// Four dotted parts, each a whole number (anything else counts as 0), the first part
// in the first byte: the address as the platform stores it.
DWORD DottedToAddress(const std::wstring& text);
// The stored address as dotted decimal, first byte first.
std::wstring AddressToDotted(DWORD address);

// "地址 <address> 于界面 0x<index, upper-case hex, at least seven digits>".
std::wstring InterfaceHeader(const std::wstring& adapterAddress, DWORD interfaceIndex);

} // namespace arp
