// The one reader of a whole number and the small text and byte helpers that the simulated
// devices, the bench and the tools share.
#include "base/bytes.h"
#include "base/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

struct WholeNumber {
    const char* text;
    long long low, high;
    bool read;
    long long value;
};

TEST(Text, AWholeNumberIsAnOptionalMinusAndDigitsWithinItsBounds)
{
    const WholeNumber cases[] = {
        // text                    low        high       read   value
        {"0",                      0,         10,        true,  0},
        {"7",                      0,         10,        true,  7},
        {"007",                    0,         10,        true,  7},
        {"-3",                     -5,        5,         true,  -3},
        {"10",                     0,         10,        true,  10},   // the bounds belong to it
        {"11",                     0,         10,        false, 0},
        {"-6",                     -5,        5,         false, 0},
        {"+5",                     0,         10,        false, 0},    // no plus sign
        {" 5",                     0,         10,        false, 0},    // no blanks
        {"5 ",                     0,         10,        false, 0},
        {"",                       0,         10,        false, 0},
        {"-",                      -5,        5,         false, 0},
        {"--1",                    -5,        5,         false, 0},
        {"1e3",                    0,         10000,     false, 0},
        {"0x10",                   0,         100,       false, 0},
        {"5.0",                    0,         10,        false, 0},
        {"9223372036854775807",    0,         LLONG_MAX, true,  LLONG_MAX},
        {"9223372036854775808",    0,         LLONG_MAX, false, 0},    // one past the largest
        {"9223372036854775808",    LLONG_MIN, LLONG_MAX, false, 0},    // refused, not wrapped to the least
        {"-9223372036854775808",   LLONG_MIN, 0,         true,  LLONG_MIN},
        {"-9223372036854775809",   LLONG_MIN, 0,         false, 0},
        {"99999999999999999999999", 0,        LLONG_MAX, false, 0},
        {"4294967295",             0,         4294967295LL, true, 4294967295LL},
    };
    for (const WholeNumber& c : cases) {
        long long value = -12345;
        bool read = base::read_whole_number(c.text, c.low, c.high, value);
        EXPECT_EQ(read, c.read) << "\"" << c.text << "\" in [" << c.low << ", " << c.high << "]";
        EXPECT_EQ(value, c.read ? c.value : -12345) << "\"" << c.text << "\": a refusal leaves the value as it was";
    }
}

TEST(Text, TrimAndLowerTouchOnlyBlanksAndAsciiLetters)
{
    EXPECT_EQ(base::trim(" \t\r\n\v\fgauge00 = x\t \r"), "gauge00 = x");
    EXPECT_EQ(base::trim("   "), "");
    EXPECT_EQ(base::lower("VCockpit01 Radio!TuneSet \xC3\x89"), "vcockpit01 radio!tuneset \xC3\x89")
        << "bytes past ASCII stay as they are";
    EXPECT_EQ(base::lower("ABCDEFGHIJKLMNOPQRSTUVWXYZ@[`{"), "abcdefghijklmnopqrstuvwxyz@[`{")
        << "every letter from A to Z, and not the bytes beside them";
}

TEST(Text, AWholeNumberIsReadIntoTheCallersTypeWithinItsBounds)
{
    std::uint32_t position = 7;
    EXPECT_TRUE(base::read_whole_number("4294967295", 0, 0xFFFFFFFF, position));
    EXPECT_EQ(position, 4294967295u);
    EXPECT_FALSE(base::read_whole_number("4294967296", 0, 0xFFFFFFFF, position));
    EXPECT_EQ(position, 4294967295u) << "a refusal leaves the value as it was";
    int number = 0;
    EXPECT_TRUE(base::read_whole_number("-9999", -9999, 9999, number));
    EXPECT_EQ(number, -9999);
}

struct Lines {
    const char* name;
    std::string text;
    std::vector<std::string> each_return;     // next_line
    std::vector<std::string> joined_returns;  // next_line_joining_returns
};

TEST(Text, LinesEndAtLfCrLfOrACrAloneAndTwiceConvertedEndsAreOneOnlyWhenJoined)
{
    const Lines cases[] = {
        {"LF", "a\nb\n", {"a", "b"}, {"a", "b"}},
        {"CR LF", "a\r\nb\r\n", {"a", "b"}, {"a", "b"}},
        {"a CR alone", "a\rb\r", {"a", "b"}, {"a", "b"}},
        {"no end on the last line", "a\nb", {"a", "b"}, {"a", "b"}},
        {"an empty line kept", "a\n\nb", {"a", "", "b"}, {"a", "", "b"}},
        {"CR CR LF", "a\r\r\nb\r\r\n", {"a", "", "b", ""}, {"a", "b"}},
        {"CR CR CR LF", "a\r\r\r\nb", {"a", "", "", "b"}, {"a", "b"}},
        {"CRs that no LF follows", "a\r\rb", {"a", "", "b"}, {"a", "", "b"}},
        {"LF CR", "a\n\rb", {"a", "", "b"}, {"a", "", "b"}},
    };
    auto all_lines = [](std::string_view text, std::string_view (*next)(std::string_view&)) {
        std::vector<std::string> lines;
        while (!text.empty())
            lines.emplace_back(next(text));
        return lines;
    };
    for (const Lines& c : cases) {
        EXPECT_EQ(all_lines(c.text, base::next_line), c.each_return) << c.name;
        EXPECT_EQ(all_lines(c.text, base::next_line_joining_returns), c.joined_returns) << c.name;
    }
}

TEST(Text, LittleEndianBytes)
{
    std::vector<std::uint8_t> bytes;
    base::put16(bytes, 0x1234);
    base::put32(bytes, 0xA1B2C3D4u);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1}));
    EXPECT_EQ(base::get16(bytes.data()), 0x1234u);
    EXPECT_EQ(base::get32(bytes.data() + 2), 0xA1B2C3D4u) << "the high bit of the last byte read unsigned";
    std::string text;
    base::put32(text, 44);
    EXPECT_EQ(text, std::string("\x2c\0\0\0", 4));
}

}  // namespace
