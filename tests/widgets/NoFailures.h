#pragma once
// Any suite can assert that no handler (or worker) failed: the toolkit reports every
// failure it catches through the kernel binding's trace output, which FakePlatform
// records.
#include "support/FakePlatform.h"
#include "widgets/Failures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace widgets_test {

inline std::vector<std::wstring> ReportedFailures(const fake::FakePlatform& fake) {
    std::vector<std::wstring> failures;
    for (const std::wstring& line : fake.DebugOutput)
        if (line.starts_with(widgets::kFailurePrefix))
            failures.push_back(line);
    return failures;
}

// EXPECT_TRUE(NoFailureReported(fake))
inline ::testing::AssertionResult NoFailureReported(const fake::FakePlatform& fake) {
    std::vector<std::wstring> failures = ReportedFailures(fake);
    if (failures.empty())
        return ::testing::AssertionSuccess();
    auto result = ::testing::AssertionFailure() << failures.size() << " failure(s) reported:";
    for (const std::wstring& line : failures)
        result << "\n  " << ::testing::PrintToString(line);
    return result;
}

} // namespace widgets_test
