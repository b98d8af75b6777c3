// The script reader: what it accepts, and the line and expectation it names for what it refuses.
#include "panelhost/script.h"

#include <gtest/gtest.h>

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
