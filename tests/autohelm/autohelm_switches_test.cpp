// The autopilot panel's controls through panelhost: the switches' decision table, the knob
// halves, the hot-spot boxes and the help ids.
#include "tests/support/panelhost_runner.h"
#include "tests/support/trace_lines.h"

#include <gtest/gtest.h>

namespace {

using test_support::lines_with_prefix;
using test_support::run_panelhost;
using Lines = std::vector<std::string>;

std::string autohelm()
{
    return test_support::out_dir() + "/autohelm.so";
}

// the middle of each switch's box, in pixels of the background
const char* const CLICK_MASTER = "click 116 70\n";
const char* const CLICK_ENGAGE = "click 182 70\n";
const char* const CLICK_INHIBIT = "click 248 70\n";

const std::string MASTER_OFF = "key 0x100ff 0";
const std::string MASTER_ON = "key 0x10100 0";
const std::string ENGAGE_1 = "key 0x100bd 0", ENGAGE_2 = "key 0x100be 0";
const std::string RELEASE_1 = "key 0x10117 0", RELEASE_2 = "key 0x10118 0";

enum class Switch { master, engage, inhibit };

struct DecisionCase {
    const char* name;
    Switch clicked;
    double var_103, var_106, var_108;
    int engage_after, inhibit_after;   // the lever flags as they are after the click's toggle
    Lines expected;                    // the key events of the click, in order
};

// The script that brings the levers to the positions they must have before the click (clicks
// while variable 103 is zero only move them), sets the variables, lets an update read them,
// then clicks.
std::string decision_script(const DecisionCase& c)
{
    int engage_before = c.engage_after ^ (c.clicked == Switch::engage);
    int inhibit_before = c.inhibit_after ^ (c.clicked == Switch::inhibit);
    std::string script;
    if (engage_before)
        script += CLICK_ENGAGE;
    if (inhibit_before)
        script += CLICK_INHIBIT;
    script += "var 103 " + std::to_string(c.var_103) + "\nvar 106 " + std::to_string(c.var_106) + "\nvar 108 " +
              std::to_string(c.var_108) + "\nframe\necho click\n";
    script += c.clicked == Switch::master ? CLICK_MASTER : c.clicked == Switch::engage ? CLICK_ENGAGE : CLICK_INHIBIT;
    script += "echo end\n";
    return script;
}

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

TEST(AutohelmSwitches, DecisionTable)
{
    const Lines none;
    const DecisionCase cases[] = {
        // master: 103 set sends the master-off event alone
        {"master, 103 set, levers neutral", Switch::master, 1, 0, 0, 0, 0, {MASTER_OFF}},
        {"master, 103 set, levers would engage", Switch::master, 1, 0, 0, 1, 0, {MASTER_OFF}},
        {"master, 103 set, modes engaged: no release pair", Switch::master, 1, 1, 1, 1, 1, {MASTER_OFF}},
        {"master, 103 set to another non-zero value", Switch::master, -0.5, 0, 0, 0, 0, {MASTER_OFF}},
        // master: 103 zero
        {"master on, engage on, inhibit off", Switch::master, 0, 0, 0, 1, 0, {MASTER_ON, ENGAGE_1, ENGAGE_2}},
        {"master on, engage on, inhibit off, modes not consulted", Switch::master, 0, 1, 1, 1, 0,
         {MASTER_ON, ENGAGE_1, ENGAGE_2}},
        {"master on, engage off, inhibit off", Switch::master, 0, 0, 0, 0, 0, {MASTER_ON}},
        {"master on, engage off, inhibit on", Switch::master, 0, 0, 0, 0, 1, {MASTER_ON}},
        {"master on, engage on, inhibit on", Switch::master, 0, 0, 0, 1, 1, {MASTER_ON}},
        // engage
        {"engage, 103 zero", Switch::engage, 0, 0, 0, 1, 0, none},
        {"engage, 103 zero, modes engaged", Switch::engage, 0, 1, 1, 0, 1, none},
        {"engage on, 103 set, mode 106 engaged: release", Switch::engage, 1, 1, 0, 1, 0, {RELEASE_1, RELEASE_2}},
        {"engage off, 103 set, mode 108 engaged: release", Switch::engage, 1, 0, 1, 0, 1, {RELEASE_1, RELEASE_2}},
        {"engage on, 103 set, both modes engaged: release", Switch::engage, 1, 1, 1, 1, 1, {RELEASE_1, RELEASE_2}},
        {"engage on, 103 set, no mode, inhibit off", Switch::engage, 1, 0, 0, 1, 0, {ENGAGE_1, ENGAGE_2}},
        {"engage off, 103 set, no mode, inhibit off: engages all the same", Switch::engage, 1, 0, 0, 0, 0,
         {ENGAGE_1, ENGAGE_2}},
        {"engage on, 103 set, no mode, inhibit on", Switch::engage, 1, 0, 0, 1, 1, none},
        {"engage off, 103 set, no mode, inhibit on", Switch::engage, 1, 0, 0, 0, 1, none},
        // inhibit
        {"inhibit, 103 zero", Switch::inhibit, 0, 0, 0, 1, 1, none},
        {"inhibit, 103 zero, mode engaged", Switch::inhibit, 0, 0, 1, 1, 0, none},
        {"inhibit on, 103 set, mode 108 engaged: release", Switch::inhibit, 1, 0, 1, 0, 1, {RELEASE_1, RELEASE_2}},
        {"inhibit off, 103 set, mode 106 engaged: release", Switch::inhibit, 1, 1, 0, 1, 0, {RELEASE_1, RELEASE_2}},
        {"inhibit on, 103 set, no mode, engage on: engages", Switch::inhibit, 1, 0, 0, 1, 1, {ENGAGE_1, ENGAGE_2}},
        {"inhibit off, 103 set, no mode, engage on", Switch::inhibit, 1, 0, 0, 1, 0, {ENGAGE_1, ENGAGE_2}},
        {"inhibit on, 103 set, no mode, engage off", Switch::inhibit, 1, 0, 0, 0, 1, none},
        {"inhibit off, 103 set, no mode, engage off", Switch::inhibit, 1, 0, 0, 0, 0, none},
    };
    for (const DecisionCase& c : cases) {
        auto run = run_panelhost({autohelm(), "autohelm.gau"}, decision_script(c));
        ASSERT_EQ(run.status, 0) << c.name << ": " << run.err;
        Lines actual = keys_of_click(run.lines());
        EXPECT_LINES(c.expected, actual) << c.name;
    }
}

TEST(AutohelmSwitches, HandlersDecideFromTheLastUpdate)
{
    // The master turned on from elsewhere is not seen until an update reads it, so two clicks
    // before the next update both turn it on, with the engage pair each time.
    auto run = run_panelhost({autohelm(), "autohelm.gau"},
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
    auto run = run_panelhost({autohelm(), "autohelm.gau"},
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
        auto run = run_panelhost({"--trace-services", autohelm(), "autohelm.gau"},
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
        auto run = run_panelhost({autohelm(), "autohelm.gau"}, std::string(edge.click) + "frame\nelements\n");
        ASSERT_EQ(run.status, 0) << edge.name << ": " << run.err;
        Lines moved = lines_with_prefix(run.lines(), {"element 3 hidden=0 value=1", "element 4 hidden=0 value=1"});
        Lines expected = edge.element ? Lines{edge.element} : Lines{};
        EXPECT_EQ(expected, moved) << edge.name;
    }
    // the master box, told by its event
    auto master = run_panelhost({autohelm(), "autohelm.gau"},
                                "echo click\nclick 94 28\nclick 137 111\nclick 93 70\nclick 138 70\nclick 116 112\necho end\n");
    Lines expected = {MASTER_ON, MASTER_ON};
    Lines actual = keys_of_click(master.lines());
    EXPECT_LINES(expected, actual);
}

TEST(AutohelmSwitches, HelpIdsFromTheHotSpotOutward)
{
    auto run = run_panelhost({autohelm(), "autohelm.gau"},
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
