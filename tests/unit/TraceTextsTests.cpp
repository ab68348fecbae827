// The texts of trace route rows and of their copies.
#include "frmTrcRt/TraceTexts.h"
#include "kvprobe.h"

#include <gtest/gtest.h>

namespace {

using trcrt::Cells;

TEST(TraceTexts, HopRows) {
    EXPECT_EQ(trcrt::HopCells(1, 0, L"10.0.0.1", L"gw.test"),
              (Cells{L"1", L"0 ms", L"10.0.0.1", L"gw.test"}));
    EXPECT_EQ(trcrt::HopCells(12, 12345, L"10.0.0.2", L""), (Cells{L"12", L"12345 ms", L"10.0.0.2", L""}));
    EXPECT_EQ(trcrt::HopCells(3, 2000, L"10.0.0.3", L""), (Cells{L"3", L"2000 ms", L"10.0.0.3", L""}));
    // No answer: whatever else the report carried.
    EXPECT_EQ(trcrt::HopCells(255, KVPROBE_NO_ANSWER, L"10.0.0.4", L"x"),
              (Cells{L"255", L"*", L"", L"请求超时。"}));
    const BYTE last = 7;
    EXPECT_EQ(trcrt::FailureCells(&last), (Cells{L"7", L"*", L"", L"请求失败。"}));
    EXPECT_EQ(trcrt::FailureCells(nullptr), (Cells{L"", L"*", L"", L"请求失败。"}));
}

TEST(TraceTexts, CopiesOfOneRowAndOfAll) {
    const Cells hop = {L"1", L"0 ms", L"10.0.0.1", L"gw.test"};
    const Cells silent = {L"2", L"*", L"", L"请求超时。"};
    EXPECT_EQ(trcrt::RowText(hop), L"1\t0 ms\t10.0.0.1\tgw.test");
    EXPECT_EQ(trcrt::RowText(silent), L"2\t*\t\t请求超时。");
    EXPECT_EQ(trcrt::RowText({}), L"\t\t\t"); // always four fields
    EXPECT_EQ(trcrt::AllRowsText({hop, silent}), L"1\t0 ms\t10.0.0.1\tgw.test\r\n2\t*\t\t请求超时。\r\n");
    EXPECT_EQ(trcrt::AllRowsText({}), L"");
}

} // namespace
