// The script reader: what it accepts (any of the three line ends, a leading byte-order mark), and
// the line and expectation it names for what it refuses.
#include "panelhost/script/script.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using panelhost::parse_script;
using panelhost::ScriptCommand;
using panelhost::ScriptError;

struct GoodLine {
    const char* name;
    const char* text;
    const char* keyword;
    std::vector<std::int64_t> integers;
};

TEST(ScriptReader, ReadsEveryCommandWithItsArguments)
{
    const GoodLine cases[] = {
        {"frame alone", "frame", "frame", {}},
        {"frame count", "frame 12", "frame", {12}},
        {"wait", "wait 0", "wait", {0}},
        {"click", "click 10 -3", "click", {10, -3}},
        {"hold", "hold 1 2 30", "hold", {1, 2, 30}},
        {"tooltip", "  tooltip\t4 5  ", "tooltip", {4, 5}},
        {"var", "var 103 1", "var", {103}},
        {"elements", "elements", "elements", {}},
        {"reinstall", "reinstall", "reinstall", {}},
        {"reload", "reload\r", "reload", {}},
    };
    for (const GoodLine& c : cases) {
        std::vector<ScriptCommand> commands;
        ScriptError error;
        ASSERT_TRUE(parse_script(c.text, commands, error)) << c.name << ": refused, expected " << error.expected;
        ASSERT_EQ(commands.size(), 1u) << c.name;
        EXPECT_EQ(commands[0].keyword, c.keyword) << c.name;
        for (std::size_t i = 0; i < c.integers.size(); ++i)
            EXPECT_EQ(commands[0].args[i].integer, c.integers[i]) << c.name << " argument " << i;
    }
}

TEST(ScriptReader, SkipsBlankAndCommentLinesAndCountsThem)
{
    std::vector<ScriptCommand> commands;
    ScriptError error;
    ASSERT_TRUE(parse_script("# heading\n\n   \nframe 2\n# more\nelements\n", commands, error));
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].line, 4);
    EXPECT_EQ(commands[1].line, 6);
}

TEST(ScriptReader, KeepsEchoTextAndReadsVarValues)
{
    std::vector<ScriptCommand> commands;
    ScriptError error;
    ASSERT_TRUE(parse_script("echo  hello   world \nvar 7 -2.5e1\necho\n", commands, error));
    EXPECT_EQ(commands[0].args[0].text, "hello   world");
    EXPECT_DOUBLE_EQ(commands[1].args[1].number, -25.0);
    EXPECT_EQ(commands[2].args[0].text, "");
}

// A UTF-8 byte-order mark, kept apart from the text after it (a hex escape would swallow the
// letters a to f).
#define BOM "\xEF\xBB\xBF"

struct LineEnds {
    const char* name;
    const char* script;
    std::vector<std::pair<std::string, int>> commands;   // keyword and line number
};

TEST(ScriptReader, ReadsEveryLineEndAndSkipsALeadingByteOrderMark)
{
    using Read = std::vector<std::pair<std::string, int>>;
    const LineEnds cases[] = {
        {"LF", "frame\nwait 5\nelements\n", Read{{"frame", 1}, {"wait", 2}, {"elements", 3}}},
        {"CR LF", "frame\r\nwait 5\r\nelements\r\n", Read{{"frame", 1}, {"wait", 2}, {"elements", 3}}},
        {"CR alone", "frame\rwait 5\relements\r", Read{{"frame", 1}, {"wait", 2}, {"elements", 3}}},
        {"CR alone, no end on the last line", "frame\rwait 5\relements", Read{{"frame", 1}, {"wait", 2}, {"elements", 3}}},
        {"blank lines of each kind counted", "frame\r\n\rwait 5\n\r\nelements",
         Read{{"frame", 1}, {"wait", 3}, {"elements", 5}}},
        {"CR CR LF: two line ends", "frame\r\r\nwait 5", Read{{"frame", 1}, {"wait", 3}}},
        {"LF CR: two line ends", "frame\n\rwait 5", Read{{"frame", 1}, {"wait", 3}}},
        {"byte-order mark", BOM "frame\nwait 5\n", Read{{"frame", 1}, {"wait", 2}}},
        {"byte-order mark before a comment, CR ends", BOM "# heading\rframe\r", Read{{"frame", 2}}},
        {"byte-order mark alone", BOM, Read{}},
    };
    for (const LineEnds& c : cases) {
        std::vector<ScriptCommand> commands;
        ScriptError error;
        ASSERT_TRUE(parse_script(c.script, commands, error))
            << c.name << ": refused at line " << error.line << ", expected " << error.expected;
        Read read;
        for (const ScriptCommand& command : commands)
            read.emplace_back(command.keyword, command.line);
        EXPECT_EQ(read, c.commands) << c.name;
    }
}

struct BadLine {
    const char* name;
    const char* script;
    int line;
    const char* expected_start;
};

TEST(ScriptReader, RefusesWhatItCannotReadNamingLineAndExpectation)
{
    const BadLine cases[] = {
        {"unknown command", "frame\nfly 3\n", 2, "a command (frame, wait, click"},
        {"click without y", "click 3\n", 1, "\"click X Y\""},
        {"click with text", "click a b\n", 1, "\"click X Y\" (X and Y integers)"},
        {"click with extra", "click 1 2 3\n", 1, "\"click X Y\""},
        {"frame zero", "frame 0\n", 1, "\"frame [N]\""},
        {"frame negative", "frame -1\n", 1, "\"frame [N]\""},
        {"wait without time", "\n\nwait\n", 3, "\"wait MS\""},
        {"wait fraction", "wait 1.5\n", 1, "\"wait MS\""},
        {"hold without count", "hold 1 2\n", 1, "\"hold X Y N\""},
        {"var without value", "var 103\n", 1, "\"var ID VALUE\""},
        {"var negative id", "var -1 0\n", 1, "\"var ID VALUE\""},
        {"var id too large", "var 4294967296 0\n", 1, "\"var ID VALUE\""},
        {"var hex value", "var 1 0x10\n", 1, "\"var ID VALUE\""},
        {"var infinite", "var 1 1e999\n", 1, "\"var ID VALUE\""},
        {"coordinate too large", "click 2147483648 0\n", 1, "\"click X Y\""},
        {"elements with argument", "elements now\n", 1, "\"elements\""},
        {"line 3 of a script with CR alone", "frame\r\rclick 1\r", 3, "\"click X Y\""},
        {"line 3 of a script with CR LF", "frame\r\n\r\nclick 1\r\n", 3, "\"click X Y\""},
        {"a byte-order mark after the start", "frame\n" BOM "frame\n", 2, "a command ("},
        {"a second byte-order mark", BOM BOM "frame\n", 1, "a command ("},
        {"a byte-order mark after a blank", " " BOM "frame\n", 1, "a command ("},
    };
    for (const BadLine& c : cases) {
        std::vector<ScriptCommand> commands;
        ScriptError error;
        EXPECT_FALSE(parse_script(c.script, commands, error)) << c.name << ": accepted";
        EXPECT_EQ(error.line, c.line) << c.name;
        EXPECT_EQ(error.expected.rfind(c.expected_start, 0), 0u)
            << c.name << ": expected the message to start with " << c.expected_start << ", got " << error.expected;
    }
}

}  // namespace
