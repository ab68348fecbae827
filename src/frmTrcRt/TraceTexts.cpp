#include "frmTrcRt/TraceTexts.h"
#include "kvprobe.h"

namespace trcrt {

namespace {
constexpr wchar_t kStar[] = L"*";
} // namespace

std::wstring TimeText(DWORD milliseconds) {
    return std::to_wstring(milliseconds) + L" ms";
}

Cells HopCells(BYTE hop, DWORD milliseconds, const std::wstring& address, const std::wstring& hostName) {
    if (milliseconds == KVPROBE_NO_ANSWER)
        return {std::to_wstring(hop), kStar, L"", L"请求超时。"};
    return {std::to_wstring(hop), TimeText(milliseconds), address, hostName};
}

Cells FailureCells(const BYTE* lastHop) {
    return {lastHop ? std::to_wstring(*lastHop) : L"", kStar, L"", L"请求失败。"};
}

std::wstring RowText(const Cells& cells) {
    std::wstring text;
    for (std::size_t i = 0; i < 4; ++i) {
        if (i > 0)
            text += L'\t';
        if (i < cells.size())
            text += cells[i];
    }
    return text;
}

std::wstring AllRowsText(const std::vector<Cells>& rows) {
    std::wstring text;
    for (const Cells& row : rows)
        text += RowText(row) + L"\r\n";
    return text;
}

} // namespace trcrt
