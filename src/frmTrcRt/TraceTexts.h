#pragma once
// The texts of the trace route window's rows and of its copy commands.
#include "platform/Win32.h"

#include <string>
#include <vector>

namespace trcrt {

using Cells = std::vector<std::wstring>; // hop number, time, address, host name

// "0 ms", "12345 ms": whole milliseconds, no grouping.
std::wstring TimeText(DWORD milliseconds);
// A hop's row; a hop without answer (time 0xFFFFFFFF) reads "*", "", "请求超时。".
Cells HopCells(BYTE hop, DWORD milliseconds, const std::wstring& address, const std::wstring& hostName);
// The row of a failed trace: the last hop's number (empty without one), "*", "", "请求失败。".
Cells FailureCells(const BYTE* lastHop);
// One row as copied: the four cells joined by TABs, no line end.
std::wstring RowText(const Cells& cells);
// Every row followed by CR LF.
std::wstring AllRowsText(const std::vector<Cells>& rows);

} // namespace trcrt
