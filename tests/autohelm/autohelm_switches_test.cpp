// The autopilot panel's controls through panelhost: the switches' decision table, the knob
// halves, the hot-spot boxes and the help ids.
#include "tests/autohelm/decision_table.h"
#include "tests/support/panelhost_runner.h"
#include "tests/support/trace_lines.h"

#include <gtest/gtest.h>

namespace {

using test_support::lines_with_prefix;
using test_support::run_panelhost;
using Lines = std::vector<std::string>;

using namespace decision_table;

// The key lines between the two echo markers.
Lines keys_of_click(const Lines& trace)
{
    Lines keys;
    bool inside = false;
    for (const std::string& line : trace) {
        if (line == "echo click")
            inside = true;
        else if (line == "echo end")
            inside = false;
        else if (inside && line.rfind("key ", 0) == 0)
            keys.push_back(line);
    }
    return keys;
}

// Each row of the table in a bench of its own (the script run of all rows reloads the module
// between them instead).
TEST(AutohelmSwitches, DecisionTable)
{
    for (const Row& row : rows()) {
        auto run = run_panelhost({test_support::out_file("autohelm.so"), "autohelm.gau"}, row_script(row) + "echo end\n");
        ASSERT_EQ(run.status, 0) << row.name << ": " << run.err;
        Lines actual = keys_of_click(run.lines());
        EXPECT_LINES(row.expected, actual) << row.name;
    }
}

TEST(AutohelmSwitches, HandlersDecideFromTheLastUpdate)
{
    // The master turned on from elsewhere is not seen until an update reads it, so two clicks
    // before the next update both turn it on, with the engage pair each time.
    auto run = run_panelhost({test_support::out_file("autohelm.so"), "autohelm.gau"},
                             "click 182 70\necho click\nclick 116 70\nvar 103 1\nclick 116 70\n"
                             "frame\nclick 116 70\necho end\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {MASTER_ON, ENGAGE_1, ENGAGE_2, MASTER_ON, ENGAGE_1, ENGAGE_2, MASTER_OFF};
    Lines actual = keys_of_click(run.lines());
    EXPECT_LINES(expected, actual);
}

TEST(AutohelmSwitches, LeversShowTheirFlagsAndTheMasterShowsVariable103)
{
    // elements in tree order: background, knob, master, engage, inhibit
    auto run = run_panelhost({test_support::out_file("autohelm.so"), "autohelm.gau"},
                             "frame\nelements\nclick 182 70\nframe\nelements\nclick 248 70\nvar 103 1\nframe\nelements\n"
                             "var 106 1\nframe\nclick 116 70\nframe\nelements\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {
        "element 2 hidden=0 value=0", "element 3 hidden=0 value=0", "element 4 hidden=0 value=0",
        "element 2 hidden=0 value=0", "element 3 hidden=0 value=1", "element 4 hidden=0 value=0",
        "element 2 hidden=0 value=1", "element 3 hidden=0 value=1", "element 4 hidden=0 value=1",
        // the master click while 103 is set leaves both levers where they were
        "element 2 hidden=0 value=1", "element 3 hidden=0 value=1", "element 4 hidden=0 value=1",
    };
    Lines actual = lines_with_prefix(run.lines(), {"element 2", "element 3", "element 4"});
    EXPECT_LINES(expected, actual);
}

struct KnobCase {
    const char* name;
    const char* script;
    Lines expected;   // every line between the markers, services included
};

TEST(AutohelmKnob, HalvesSendTheirEventsFromTheMouseTable)
{
    const std::string down = "key 0x10158 0", up = "key 0x10157 0";
    const KnobCase cases[] = {
        {"left half", "click 30 70\n", {down}},
        {"right half", "click 70 70\n", {up}},
        {"left edge of the left half", "click 13 33\n", {down}},
        {"last column of the left half", "click 49 106\n", {down}},
        {"first column of the right half", "click 50 33\n", {up}},
        {"last column of the right half", "click 86 106\n", {up}},
        {"left half held for 5 ticks", "hold 30 70 5\n", {down, down, down, down, down}},
        {"right half held for 3 ticks", "hold 70 70 3\n", {up, up, up}},
        {"left of the knob", "click 12 70\n", {}},
        {"right of the knob", "click 87 70\n", {}},
        {"above the knob", "click 30 32\n", {}},
        {"below the knob", "click 70 107\n", {}},
    };
    for (const KnobCase& c : cases) {
        // With the services traced, any code of the module that ran would show.
        auto run = run_panelhost({"--trace-services", test_support::out_file("autohelm.so"), "autohelm.gau"},
                                 std::string("echo click\n") + c.script + "echo end\n");
        ASSERT_EQ(run.status, 0) << c.name << ": " << run.err;
        Lines actual;
        bool inside = false;
        for (const std::string& line : run.lines()) {
            if (line == "echo click" || line == "echo end")
                inside = line == "echo click";
            else if (inside)
                actual.push_back(line);
        }
        EXPECT_LINES(c.expected, actual) << c.name;
    }
}

TEST(AutohelmSwitches, HotSpotsCoverTheLeversExactly)
{
    // Each switch box is 44 x 84 at its lever's position; clicks with 103 zero only move the
    // lever, which the next update shows.
    struct Edge {
        const char* name;
        const char* click;
        const char* element;   // the lever that must have moved, or null
    };
    const Edge edges[] = {
        {"engage top left", "click 160 28\n", "element 3 hidden=0 value=1"},
        {"engage bottom right", "click 203 111\n", "element 3 hidden=0 value=1"},
        {"right of engage", "click 204 70\n", nullptr},
        {"below engage", "click 182 112\n", nullptr},
        {"inhibit top left", "click 226 28\n", "element 4 hidden=0 value=1"},
        {"inhibit bottom right", "click 269 111\n", "element 4 hidden=0 value=1"},
        {"left of inhibit", "click 225 70\n", nullptr},
        {"above inhibit", "click 248 27\n", nullptr},
    };
    for (const Edge& edge : edges) {
        auto run = run_panelhost({test_support::out_file("autohelm.so"), "autohelm.gau"}, std::string(edge.click) + "frame\nelements\n");
        ASSERT_EQ(run.status, 0) << edge.name << ": " << run.err;
        Lines moved = lines_with_prefix(run.lines(), {"element 3 hidden=0 value=1", "element 4 hidden=0 value=1"});
        Lines expected = edge.element ? Lines{edge.element} : Lines{};
        EXPECT_EQ(expected, moved) << edge.name;
    }
    // the master box, told by its event
    auto master = run_panelhost({test_support::out_file("autohelm.so"), "autohelm.gau"},
                                "echo click\nclick 94 28\nclick 137 111\nclick 93 70\nclick 138 70\nclick 116 112\necho end\n");
    Lines expected = {MASTER_ON, MASTER_ON};
    Lines actual = keys_of_click(master.lines());
    EXPECT_LINES(expected, actual);
}

TEST(AutohelmSwitches, HelpIdsFromTheHotSpotOutward)
{
    auto run = run_panelhost({test_support::out_file("autohelm.so"), "autohelm.gau"},
                             "tooltip 5 5\ntooltip 299 136\ntooltip 30 70\ntooltip 70 70\ntooltip 116 70\n"
                             "tooltip 182 70\ntooltip 248 70\ntooltip 300 70\ntooltip 150 137\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {
        "tooltip help 0xa70c", "tooltip help 0xa70c",   // the panel, to its last pixel
        "tooltip help 0xa42f", "tooltip help 0xa42f",   // both knob halves
        "tooltip help 0xa403",
        "tooltip help 0xa402", "tooltip help 0xa402",   // engage and inhibit share theirs
        "tooltip none", "tooltip none",                 // outside the 300 x 137 background
    };
    Lines actual = lines_with_prefix(run.lines(), {"tooltip"});
    EXPECT_LINES(expected, actual);
    EXPECT_TRUE(lines_with_prefix(run.lines(), {"warning mouse table"}).empty()) << run.out;
}

}  // namespace
