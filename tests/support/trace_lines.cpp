// A trace's lines kept by kind, joined and compared.
#include "tests/support/trace_lines.h"

#include <sstream>

namespace test_support {

std::vector<std::string> lines_with_prefix(const std::vector<std::string>& actual,
                                           const std::vector<std::string>& prefixes)
{
    std::vector<std::string> result;
    for (const std::string& line : actual)
        for (const std::string& prefix : prefixes)
            if (line.compare(0, prefix.size(), prefix) == 0) {
                result.push_back(line);
                break;
            }
    return result;
}

std::vector<std::string> join(const std::vector<std::vector<std::string>>& pieces)
{
    std::vector<std::string> all;
    for (const std::vector<std::string>& piece : pieces)
        all.insert(all.end(), piece.begin(), piece.end());
    return all;
}

::testing::AssertionResult same_lines(const char* expected_text, const char* actual_text,
                                      const std::vector<std::string>& expected,
                                      const std::vector<std::string>& actual)
{
    if (expected == actual)
        return ::testing::AssertionSuccess();
    std::ostringstream text;
    text << actual_text << " differs from " << expected_text << ": " << actual.size() << " lines, "
         << expected.size() << " expected\n";
    std::size_t rows = expected.size() > actual.size() ? expected.size() : actual.size();
    text << "line | expected | actual\n";
    for (std::size_t i = 0; i < rows; ++i) {
        const std::string& want = i < expected.size() ? expected[i] : "(none)";
        const std::string& got = i < actual.size() ? actual[i] : "(none)";
        text << (want == got ? "  " : "! ") << i << " | " << want << " | " << got << "\n";
    }
    return ::testing::AssertionFailure() << text.str();
}

}  // namespace test_support
