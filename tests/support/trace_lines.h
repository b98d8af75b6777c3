// What the tests do with a trace's lines: keep the kinds a test looks at, join the pieces an
// expectation is made of, and compare them with the lines expected, a failure showing both side
// by side with the lines that differ marked.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace test_support {

// Lines of `actual` that begin with one of the prefixes, in order.
std::vector<std::string> lines_with_prefix(const std::vector<std::string>& actual,
                                           const std::vector<std::string>& prefixes);

// The concatenation of the pieces, in order.
std::vector<std::string> join(const std::vector<std::vector<std::string>>& pieces);

// Passes when the lines are the expected ones; otherwise shows both, a row a line.
::testing::AssertionResult same_lines(const char* expected_text, const char* actual_text,
                                      const std::vector<std::string>& expected,
                                      const std::vector<std::string>& actual);

}  // namespace test_support

// The lines expected, in their order; a failure shows the expected and the actual lines side by
// side. More may be streamed after it, as after any EXPECT.
#define EXPECT_LINES(expected, actual) EXPECT_PRED_FORMAT2(::test_support::same_lines, expected, actual)
