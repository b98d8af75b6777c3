// The one reader of a whole number and the small text and byte helpers that every reader of the
// bench, its devices and the tools share.
#include "panelhost/base/text.h"

#include <gtest/gtest.h>

#include <climits>
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

struct Shown {
    const char* name;
    std::string input;
    std::string shown;
};

TEST(Text, InputIsShownWithItsControlBytesEscapedAndCutWhenLong)
{
    const std::string LONG_FIELD(10 << 20, 'x');
    const std::string LIMIT(panelhost::QUOTE_LIMIT_BYTES, 'y');
    const Shown cases[] = {
        {"plain text", "radio!tuneset, 10, 10", "radio!tuneset, 10, 10"},
        {"an escape sequence", "\x1b[2J\x1b]0;title\x07", "\\x1b[2J\\x1b]0;title\\x07"},
        {"a NUL, which would end the message", std::string("tune\0set", 8), "tune\\0set"},
        {"a NUL before a digit", std::string("1\0" "2", 3), "1\\x002"},
        {"line ends and a tab", "a\r\nb\tc", "a\\r\\nb\\tc"},
        {"DEL", "a\x7f", "a\\x7f"},
        {"a backslash, shown so that it starts no escape", "C:\\x1b\\", "C:\\\\x1b\\\\"},
        {"UTF-8 text stays", "Jauge \xC3\xA9\xE2\x82\xAC \xF0\x9F\x9B\xA9", "Jauge \xC3\xA9\xE2\x82\xAC \xF0\x9F\x9B\xA9"},
        {"a C1 control in UTF-8", "a\xC2\x9B" "31m", "a\\xc2\\x9b31m"},
        {"a byte that is not UTF-8", "caf\xE9", "caf\\xe9"},
        {"a character cut short", "ab\xE2\x82", "ab\\xe2\\x82"},
        {"an overlong form", "\xC0\xAF", "\\xc0\\xaf"},
        {"a surrogate", "\xED\xA0\x80", "\\xed\\xa0\\x80"},
        {"the longest field shown whole", LIMIT, LIMIT},
        {"a byte more is cut", LIMIT + "z", LIMIT + "..."},
        {"ten megabytes", LONG_FIELD, std::string(panelhost::QUOTE_LIMIT_BYTES, 'x') + "..."},
        {"cut at a character's start, not inside it", std::string(panelhost::QUOTE_LIMIT_BYTES - 1, 'y') + "\xC3\xA9z",
         std::string(panelhost::QUOTE_LIMIT_BYTES - 1, 'y') + "..."},
        {"an escaped byte counts as one", std::string(panelhost::QUOTE_LIMIT_BYTES, '\x1b'),
         [] {
             std::string escaped;
             for (std::size_t i = 0; i < panelhost::QUOTE_LIMIT_BYTES; ++i)
                 escaped += "\\x1b";
             return escaped;
         }()},
    };
    for (const Shown& c : cases)
        EXPECT_EQ(base::shown_input(c.input), c.shown) << c.name;
}

TEST(Text, LittleEndianBytes)
{
    std::vector<std::uint8_t> bytes;
    base::put16(bytes, 0x1234);
    base::put32(bytes, 0xA1B2C3D4u);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1}));
    std::string text;
    base::put32(text, 44);
    EXPECT_EQ(text, std::string("\x2c\0\0\0", 4));
}

}  // namespace
