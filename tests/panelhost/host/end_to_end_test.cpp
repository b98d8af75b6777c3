// panelhost driving the tests' own probe gauges: the lifecycle in both header versions, the
// element tree, clicks, holds, tooltips, variables, reinstall and reload, and the refusals.
#include "tests/support/address_sanitizer.h"
#include "tests/support/panelhost_runner.h"
#include "tests/support/trace_lines.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>

#include <algorithm>
#include <filesystem>

namespace {

using test_support::lines_with_prefix;
using test_support::run_panelhost;
using Lines = std::vector<std::string>;

std::string probe()
{
    return test_support::out_dir() + "/test-gauges/probe.so";
}

TEST(PanelhostLifecycle, Header610RoutinesAndServicesInOrder)
{
    auto run = run_panelhost({"--trace-services", probe(), "probe610"}, "frame\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {
        "key 0x31000 0", "service element_list_query",
        "key 0x31001 0", "service element_list_install", "service mouse_list_install", "service mouse_list_register",
        "key 0x31002 0", "service element_list_initialize", "service initialize_var",
        "service lookup_var", "service element_list_update", "service element_list_generate", "service element_list_plot",
        "key 0x31009 0", "service mouse_list_unregister", "service element_list_kill",
    };
    EXPECT_LINES(expected, run.lines());
}

TEST(PanelhostLifecycle, Header700GaugeCallbackAroundEveryRoutine)
{
    auto run = run_panelhost({probe(), "probe700"}, "frame\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {
        "key 0x30000 0", "key 0x30001 0",
        "key 0x30002 1",   // before install, with the resource handle
        "key 0x30003 0", "key 0x30004 0", "key 0x30005 0",
        "key 0x30006 0", "key 0x30007 0", "key 0x30008 0", "key 0x30009 0", "key 0x3000a 0", "key 0x3000b 0",
        "key 0x3000c 0", "key 0x3000d 0",
    };
    EXPECT_LINES(expected, lines_with_prefix(run.lines(), {"key"}));
}

TEST(PanelhostElements, TreeOrderHiddenBitsValuesAndMissingPictures)
{
    auto run = run_panelhost({probe(), "probe700"}, "elements\nvar 202 3\nframe 2\nelements\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {
        "warning bitmap 30 unreadable: shorter than a bitmap info header",
        "element 0 hidden=0 value=0", "element 1 hidden=0 value=0", "element 2 hidden=1 value=0",
        "element 3 hidden=0 value=0",
        // the hidden element's callback ran on both passes
        "element 0 hidden=0 value=0", "element 1 hidden=0 value=3", "element 2 hidden=1 value=2",
        "element 3 hidden=0 value=0",
    };
    EXPECT_LINES(expected, lines_with_prefix(run.lines(), {"element", "warning"}));
}

TEST(PanelhostElements, StringTextAndNeedleValue)
{
    auto run = run_panelhost({probe(), "probe610"}, "elements\nframe 3\nelements\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {
        "element 0 hidden=0 value=0", "element 1 hidden=0 value=0", "element 2 hidden=0 value=0",
        "element 3 hidden=1 value=0 text=\"\"",
        "element 0 hidden=0 value=0", "element 1 hidden=0 value=0", "element 2 hidden=0 value=42.5",
        "element 3 hidden=1 value=3 text=\"3\"",
    };
    EXPECT_LINES(expected, lines_with_prefix(run.lines(), {"element"}));
}

struct ClickCase {
    const char* name;
    const char* script;
    Lines expected;   // the key, msgbox and exit lines
};

TEST(PanelhostMouse, ClicksAndHoldsReachTheRightHotSpot)
{
    const ClickCase cases[] = {
        {"event row", "click 15 15\n", {"key 0x20001 0"}},
        {"handler row gets the point in its box and the click flag", "click 35 20\n",
         {"key 0x32001 5010", "key 0x34000 512"}},
        {"repeating row held for 4 ticks", "hold 15 15 4\n",
         {"key 0x20001 0", "key 0x20001 0", "key 0x20001 0", "key 0x20001 0"}},
        {"row without repeat held: one call", "hold 35 20 3\n", {"key 0x32001 5010", "key 0x34000 512"}},
        {"overlapping parents: first child under the point", "click 55 15\nclick 65 15\n",
         {"key 0x20002 0", "key 0x20003 0"}},
        {"a point between boxes", "click 5 5\nclick 55 35\n", {}},
        {"outside the gauge", "click 300 50\n", {}},
        {"variable as the last lookup saw it", "var 201 17\nclick 105 55\nframe\nclick 105 55\n",
         {"key 0x33000 0", "key 0x33000 17"}},
        {"message box", "click 115 55\n", {"msgbox \"probe says \"hello\"\" \"\" 0x10"}},
    };
    for (const ClickCase& c : cases) {
        auto run = run_panelhost({probe(), "probe610"}, c.script);
        ASSERT_EQ(run.status, 0) << c.name << ": " << run.err;
        Lines actual = lines_with_prefix(run.lines(), {"key 0x2", "key 0x32", "key 0x33", "key 0x34", "msgbox"});
        EXPECT_LINES(c.expected, actual) << c.name;
    }
}

TEST(PanelhostMouse, TooltipsOfBothHeaderVersions)
{
    auto run610 = run_panelhost({probe(), "probe610"}, "tooltip 5 5\ntooltip 15 15\ntooltip 35 20\ntooltip 300 300\n");
    ASSERT_EQ(run610.status, 0) << run610.err;
    Lines expected610 = {"tooltip help 0x1234", "tooltip help 0x1235", "tooltip help 0x1236", "tooltip none"};
    EXPECT_LINES(expected610, lines_with_prefix(run610.lines(), {"tooltip"}));

    auto run700 = run_panelhost({probe(), "probe700"}, "tooltip 10 10\ntooltip 70 10\ntooltip 52 10\n"
                                                       "click 10 10\nclick 70 10\n");
    ASSERT_EQ(run700.status, 0) << run700.err;
    Lines expected700 = {"tooltip \"A one B two C %3!s! %1!d!\"", "tooltip \"plain text\"", "tooltip none",
                         "key 0x32002 5005", "key 0x20010 0"};
    EXPECT_LINES(expected700, lines_with_prefix(run700.lines(), {"tooltip", "key 0x32", "key 0x2"}));
}

TEST(PanelhostLifecycle, ReinstallKeepsModuleStateAndReloadStartsFresh)
{
    auto run = run_panelhost({probe(), "probe610"},
                             "frame 3\nreinstall\nframe\nelements\nreload\nframe\nelements\necho done\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {
        "key 0x31000 0", "key 0x31001 0", "key 0x31002 0",
        "key 0x31009 0", "key 0x31000 0", "key 0x31001 0", "key 0x31002 0",
        "element 3 hidden=1 value=4 text=\"4\"",
        "key 0x31009 0", "key 0x31000 0", "key 0x31001 0", "key 0x31002 0",
        "element 3 hidden=1 value=1 text=\"1\"",
        "echo done",
        "key 0x31009 0",
    };
    EXPECT_LINES(expected, lines_with_prefix(run.lines(), {"key 0x310", "element 3", "echo"}));
}

TEST(PanelhostLifecycle, ModuleEndingTheProcessStopsTheHostWithStatus3)
{
    auto run = run_panelhost({probe(), "probe610"}, "click 125 55\necho never\n");
    EXPECT_EQ(run.status, 3);
    Lines lines = run.lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "exit 7");
}

struct Refusal {
    const char* name;
    std::vector<std::string> args;
    const char* script;
    const char* message_start;
};

TEST(PanelhostRefusals, OneLineOnStandardErrorAndStatus2)
{
    std::string out = test_support::out_dir();
    const Refusal cases[] = {
        {"no arguments", {}, "", "panelhost: MODULE and GAUGE are required"},
        {"three arguments", {probe(), "probe610", "x"}, "", "panelhost: too many arguments"},
        {"unknown option", {"--fly", probe(), "probe610"}, "", "panelhost: unknown option --fly"},
        {"option without its value", {probe(), "probe610", "--script"}, "", "panelhost: option --script needs FILE"},
        {"missing module", {out + "/nothing.so", "x"}, "", "panelhost: cannot load module"},
        {"foreign module id", {out + "/test-gauges/foreign.so", "x"}, "", "panelhost: module "},
        {"no such gauge", {probe(), "tuneset"}, "", "panelhost: module "},
        {"unknown header version", {probe(), "probe500"}, "", "panelhost: module "},
        {"bad script line", {probe(), "probe610"}, "frame\n\nclick 1\n",
         "panelhost: script line 3: expected \"click X Y\""},
        {"missing script file", {"--script", out + "/no-such-script", probe(), "probe610"}, "",
         "panelhost: cannot read script"},
        {"missing directory", {"--cwd", out + "/no-such-dir", probe(), "probe610"}, "", "panelhost: cannot enter"},
        {"a folder as the script", {"--script", out, probe(), "probe610"}, "echo from stdin\n",
         "panelhost: cannot read script"},
        {"an empty script name", {"--script", "", probe(), "probe610"}, "echo from stdin\n",
         "panelhost: option --script: FILE must not be empty"},
        {"an empty script name, inline", {"--script=", probe(), "probe610"}, "echo from stdin\n",
         "panelhost: option --script: FILE must not be empty"},
        {"an empty directory name", {"--cwd", "", probe(), "probe610"}, "", "panelhost: option --cwd: DIR must not be empty"},
    };
    for (const Refusal& c : cases) {
        auto run = run_panelhost(c.args, c.script);
        EXPECT_EQ(run.status, 2) << c.name;
        EXPECT_EQ(run.err.rfind(c.message_start, 0), 0u) << c.name << ": got " << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << c.name << ": " << run.err;
        EXPECT_EQ(run.out, "") << c.name << ": nothing may run";
    }
}

constexpr std::size_t SCRIPT_LIMIT = std::size_t(16) << 20;   // 16 MiB

struct ExactRefusal {
    const char* name;
    std::vector<std::string> args;
    std::string script;   // on standard input
    std::string error;    // the one line on standard error
};

// Inputs that are no script and no gauge are refused before anything loads, each with its reason.
TEST(PanelhostRefusals, HostileInputsGetOneLineSayingWhyAndStatus2)
{
    std::string dir = test_support::make_temp_dir();
    std::filesystem::create_symlink("/dev/zero", dir + "/endless");
    test_support::write_text_file(dir + "/large", std::string(SCRIPT_LIMIT + 1, '\n'));
    test_support::write_text_file(dir + "/script", "echo never\n");
    const ExactRefusal cases[] = {
        {"an empty MODULE", {"--script", dir + "/script", "", "tuneset"}, "",
         "panelhost: MODULE must not be empty (see panelhost --help)"},
        {"an empty GAUGE", {probe(), ""}, "", "panelhost: GAUGE must not be empty (see panelhost --help)"},
        {"both empty", {"", ""}, "", "panelhost: MODULE must not be empty (see panelhost --help)"},
        {"a script that never ends", {"--script", dir + "/endless", probe(), "probe610"}, "",
         "panelhost: script " + dir + "/endless is larger than 16 MiB"},
        {"a script one byte past 16 MiB", {"--script", dir + "/large", probe(), "probe610"}, "",
         "panelhost: script " + dir + "/large is larger than 16 MiB"},
        {"standard input one byte past 16 MiB", {probe(), "probe610"}, std::string(SCRIPT_LIMIT + 1, '\n'),
         "panelhost: script standard input is larger than 16 MiB"},
        {"standard input as -, past 16 MiB", {"--script", "-", probe(), "probe610"}, std::string(SCRIPT_LIMIT + 1, '#'),
         "panelhost: script standard input is larger than 16 MiB"},
        {"a script that is not there", {"--script", dir + "/absent", probe(), "probe610"}, "",
         "panelhost: cannot read script " + dir + "/absent: No such file or directory"},
        {"a script under a file", {"--script", dir + "/script/inner", probe(), "probe610"}, "",
         "panelhost: cannot read script " + dir + "/script/inner: Not a directory"},
        {"a folder as the script", {"--script", dir, probe(), "probe610"}, "",
         "panelhost: cannot read script " + dir + ": it is a folder, not a regular file"},
        {"line 3 of a script with CR line ends", {probe(), "probe610"}, "echo one\r\rclick 1\r",
         "panelhost: script line 3: expected \"click X Y\" (X and Y integers)"},
    };
    for (const ExactRefusal& c : cases) {
        auto run = run_panelhost(c.args, c.script);
        EXPECT_EQ(run.status, 2) << c.name;
        EXPECT_EQ(run.err, c.error + "\n") << c.name;
        EXPECT_EQ(run.out, "") << c.name << ": nothing may run";
    }
}

// A FIFO waits in its opening for a writer (or a reader) that may never come: named as an input
// or as the picture to write, it is refused before it is opened. Each run is bounded, so that a
// bench that waits fails the case instead of holding the test.
TEST(PanelhostRefusals, AFifoIsRefusedNotWaitedFor)
{
    std::string dir = test_support::make_temp_dir();
    std::string fifo = dir + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    test_support::write_text_file(dir + "/script", "render " + fifo + "\necho never\n");
    std::string gauges = dir + "/Gauges";
    std::filesystem::create_directories(gauges);
    const ExactRefusal cases[] = {
        {"the script", {"--script", fifo, probe(), "probe610"}, "",
         "panelhost: cannot read script " + fifo + ": it is a FIFO (a named pipe), not a regular file"},
        {"the panel file", {"--panel", fifo, "--gauges", gauges}, "",
         "panelhost: cannot read panel file " + fifo + ": it is a FIFO (a named pipe), not a regular file"},
        {"the gauges folder", {"--panel", dir + "/script", "--gauges", fifo}, "",
         "panelhost: the gauges folder " + fifo + " is not a folder: it is a FIFO (a named pipe)"},
        {"the module", {fifo, "probe610"}, "",
         "panelhost: cannot load module " + fifo + ": it is a FIFO (a named pipe), not a regular file"},
        {"the picture render writes", {"--script", dir + "/script", probe(), "probe610"}, "",
         "panelhost: script line 1: render: cannot write " + fifo + ": it is a FIFO (a named pipe), not a regular file"},
    };
    for (const ExactRefusal& c : cases) {
        auto run = run_panelhost(c.args, c.script, 0, 20);
        EXPECT_EQ(run.status, 2) << c.name << (run.status == -1 ? ": the bench waited on the FIFO" : "");
        EXPECT_EQ(run.err, c.error + "\n") << c.name;
        EXPECT_EQ(lines_with_prefix(run.lines(), {"echo"}), Lines{}) << c.name;
    }
    // standard input, named "-", stays a way in for a script, whatever it is
    auto piped = run_panelhost({"--script", "-", probe(), "probe610"}, "echo piped\n", 0, 20);
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(lines_with_prefix(piped.lines(), {"echo"}), Lines{"echo piped"});
}

// Out of memory, the bench still ends as it does for any bad input: one line and status 2, not an
// abort. A script of 16 MiB of one-word commands needs far more memory than the limit given here.
TEST(PanelhostRefusals, RunningOutOfMemoryIsOneLineAndStatus2)
{
    SKIP_UNDER_ADDRESS_SANITIZER();
    std::string frames;
    while (frames.size() + 6 <= SCRIPT_LIMIT)
        frames += "frame\n";
    auto run = run_panelhost({probe(), "probe610"}, frames, 64ull << 20);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "panelhost: out of memory\n");
    EXPECT_EQ(run.out, "");
}

struct ScriptForm {
    const char* name;
    std::vector<std::string> args;
    std::string script;   // on standard input
};

// What a script may look like and still run: up to 16 MiB, saved with any line end, opened by a
// byte-order mark.
TEST(PanelhostScript, EveryFormOfAGoodScriptRuns)
{
    std::string dir = test_support::make_temp_dir();
    std::string head = "echo start\nclick 15 15\n#", tail = "\necho end\n";
    std::string at_limit = head + std::string(SCRIPT_LIMIT - head.size() - tail.size(), 'x') + tail;
    ASSERT_EQ(at_limit.size(), SCRIPT_LIMIT);
    test_support::write_text_file(dir + "/at-limit", at_limit);
    const ScriptForm cases[] = {
        {"exactly 16 MiB on standard input", {probe(), "probe610"}, at_limit},
        {"exactly 16 MiB in a file", {"--script", dir + "/at-limit", probe(), "probe610"}, ""},
        {"LF", {probe(), "probe610"}, "echo start\nclick 15 15\necho end\n"},
        {"CR LF", {probe(), "probe610"}, "echo start\r\nclick 15 15\r\necho end\r\n"},
        {"CR alone", {probe(), "probe610"}, "echo start\rclick 15 15\recho end\r"},
        {"a byte-order mark", {probe(), "probe610"}, "\xEF\xBB\xBF" "echo start\r\nclick 15 15\r\necho end\r\n"},
    };
    for (const ScriptForm& c : cases) {
        auto run = run_panelhost(c.args, c.script);
        ASSERT_EQ(run.status, 0) << c.name << ": " << run.err;
        Lines expected = {"echo start", "key 0x20001 0", "echo end"};
        Lines actual = lines_with_prefix(run.lines(), {"echo", "key 0x2"});
        EXPECT_LINES(expected, actual) << c.name;
    }
}

TEST(PanelhostRefusals, ModuleRefusalsSayWhy)
{
    std::string out = test_support::out_dir();
    EXPECT_NE(run_panelhost({out + "/test-gauges/foreign.so", "x"}, "").err.find("has module id 0x12, not 0x13"),
              std::string::npos);
    EXPECT_NE(run_panelhost({probe(), "tuneset"}, "").err.find("has no gauge named \"tuneset\""), std::string::npos);
    EXPECT_NE(run_panelhost({probe(), "probe500"}, "").err.find("header version 500, not 610 or 700"),
              std::string::npos);
}

TEST(PanelhostCommandLine, HelpScriptFileAndEcho)
{
    auto help = run_panelhost({"--help"}, "");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: panelhost [OPTIONS] MODULE GAUGE", 0), 0u);

    std::string dir = test_support::make_temp_dir();
    test_support::write_text_file(dir + "/script", "# a script from a file\necho from a file\n");
    auto run = run_panelhost({"--script", dir + "/script", "--cwd", dir, probe(), "probe700"}, "echo from stdin\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {"echo from a file"};
    EXPECT_LINES(expected, lines_with_prefix(run.lines(), {"echo"}));
}

// The census counts the bench's own process: natively one thread (nothing of the bench or the
// stand-ins starts another) and the pages it holds.
TEST(PanelhostCommandLine, TheCensusCountsTheBenchsOneThreadAndItsMemory)
{
    auto run = run_panelhost({probe(), "probe610"}, "census\nreinstall\ncensus\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines census = lines_with_prefix(run.lines(), {"census"});
    ASSERT_EQ(census.size(), 2u) << run.out;
    for (const std::string& line : census) {
        long threads = 0;
        long long resident_kb = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "census threads=%ld resident_kb=%lld", &threads, &resident_kb), 2) << line;
        EXPECT_EQ(threads, 1) << line;
        EXPECT_GT(resident_kb, 0) << line;
    }
}

// The options that choose simulated devices on Windows are taken natively, where every device is
// simulated already, and change nothing.
TEST(PanelhostCommandLine, TheWindowsMediaOptionsChangeNothingNatively)
{
    std::string script = "frame 2\nclick 10 10\nframe\n";
    auto plain = run_panelhost({probe(), "probe700"}, script);
    auto simulated = run_panelhost({"--simulated-media-graph", "--simulated-sound-device", probe(), "probe700"}, script);
    ASSERT_EQ(plain.status, 0) << plain.err;
    ASSERT_EQ(simulated.status, 0) << simulated.err;
    EXPECT_EQ(simulated.out, plain.out);
}

}  // namespace
