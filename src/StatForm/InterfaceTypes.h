#pragma once
#include <string>

// The name of an interface type (1 to 144, numbered as the interface MIB's ifType).
// Types outside the table read "未知 (n)"; type 0 (no record yet) reads empty.
std::wstring InterfaceTypeName(unsigned type);
