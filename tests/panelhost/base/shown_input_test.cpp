// Input as the bench's messages quote it: control bytes escaped, what is not UTF-8 escaped, a long
// field cut.
#include "panelhost/base/shown_input.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Shown {
    const char* name;
    std::string input;
    std::string shown;
};

TEST(ShownInput, InputIsShownWithItsControlBytesEscapedAndCutWhenLong)
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

}  // namespace
