// The bench on a panel configuration: the gauge lines checked against the gauges folder, each
// problem said with its file and line, and the gauges of one window run together, the script's
// points in the window's units routed to the gauge under them.
#include "tests/support/panelhost_runner.h"
#include "tests/support/png_picture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
using test_support::describe_difference;
using test_support::lines_with_prefix;
using test_support::run_panelhost;

#define EXPECT_LINES(expected, actual) EXPECT_EQ(expected, actual) << describe_difference(expected, actual)

// A folder laid out as a pilot's: the gauges folder with the modules (the radio's file named in
// other letters, as Windows would find it), and the panel file.
struct PanelFolder {
    std::string root = test_support::make_temp_dir();
    std::string gauges = root + "/Gauges";
    std::string panel = root + "/panel.cfg";

    PanelFolder()
    {
        std::filesystem::create_directories(gauges);
        std::filesystem::create_directories(root + "/Sound");
        std::string out = test_support::out_dir();
        std::filesystem::copy_file(out + "/radio.so", gauges + "/Radio.SO");
        std::filesystem::copy_file(out + "/autohelm.so", gauges + "/autohelm.so");
        std::filesystem::copy_file(out + "/test-gauges/probe.so", gauges + "/probe.so");
        std::filesystem::copy_file(out + "/test-gauges/foreign.so", gauges + "/foreign.so");
    }

    test_support::RunResult run(const std::string& cfg, const std::string& script, const Lines& options = {})
    {
        test_support::write_text_file(panel, cfg);
        Lines args = {"--cwd", root, "--panel", panel, "--gauges", gauges};
        args.insert(args.end(), options.begin(), options.end());
        return run_panelhost(args, script);
    }
};

// The radio at its own size above the autopilot's panel, in one window.
const char* const BOTH_GAUGES =
    "[Window Titles]\n"
    "Window00=Main Panel\n"
    "\n"
    "[Window00]\n"
    "size_mm=500,320\n"
    "gauge00=radio!tuneset, 10, 10, 476\n"
    "gauge01=autohelm!autohelm.gau, 10, 170, 300\n";

TEST(Panel, TheGaugesOfTheWindowRunTogetherAndEachGetsTheClicksOnIt)
{
    PanelFolder folder;
    // radio power at (443, 23) of the radio; the autopilot's engage lever at (182, 70) and its
    // master switch at (116, 70) of its panel; the knob's right half at (70, 70)
    auto run = folder.run(BOTH_GAUGES,
                          "echo BEGIN\nclick 453 33\nclick 192 240\nclick 126 240\ntooltip 453 33\ntooltip 80 240\n"
                          "hold 80 240 2\ntooltip 5 5\necho END\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {
        "echo BEGIN",
        "dsound play",                                        // the radio's click
        "mci \"play cdaudio from 1\" -> 0",                   // and its disc
        "key 0x10100 0", "key 0x100bd 0", "key 0x100be 0",    // the master on, the engage lever up
        "tooltip \"Power On/Off (on)\"",
        "tooltip help 0xa42f",
        "key 0x10157 0", "key 0x10157 0",                     // the knob's right half, held
        "tooltip none",                                       // the window's corner: no gauge
        "echo END",
    };
    Lines got;
    bool between = false;
    for (const std::string& line : run.lines()) {
        between = between || line == "echo BEGIN";
        bool kept = line.rfind("echo", 0) == 0 || line.rfind("key", 0) == 0 || line.rfind("tooltip", 0) == 0 ||
                    line == "dsound play" || line == "mci \"play cdaudio from 1\" -> 0";
        if (between && kept)
            got.push_back(line);
        between = between && line != "echo END";
    }
    EXPECT_LINES(expected, got);
    // the autopilot's master-off at its initialize, after the radio's install
    Lines installed = lines_with_prefix(run.lines(), {"key", "dsound volume"});
    ASSERT_GE(installed.size(), 2u);
    EXPECT_EQ(installed[0], "dsound volume -500");
    EXPECT_EQ(installed[1], "key 0x100ff 0");
}

TEST(Panel, AWindowPointIsScaledToTheGaugesOwnPixels)
{
    PanelFolder folder;
    // the radio at half its size: its power button's centre (443, 23) lies at (221, 11)
    auto run = folder.run("[Window00]\nsize_mm=240,80\ngauge00=radio!tuneset, 0, 0, 238\n",
                          "tooltip 221 11\ntooltip 230 2\ntooltip 8 30\ntooltip 239 70\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_LINES((Lines{"tooltip \"Power On/Off (off)\"", "tooltip \"Power On/Off (off)\"",
                        "tooltip \"Increase Volume Level\"", "tooltip none"}),
                 lines_with_prefix(run.lines(), {"tooltip"}));
}

TEST(Panel, OneModuleServesSeveralGaugesAndALaterLineLiesOverAnEarlier)
{
    PanelFolder folder;
    // both gauges of the probe module, the second over the first's right half. The first's event
    // row at (10..30, 10..50) of its own; the second's event row at (60..100, 0..40) and its
    // handler row (5..45, 5..45), which reports as a key event 0x32000 and up.
    auto run = folder.run("[Window00]\nsize_mm=400,100\ngauge00=probe!probe610, 0, 0, 200\n"
                          "gauge01=probe!probe700, 100, 0, 200\n",
                          "echo one\nclick 20 20\necho two\nclick 170 20\necho three\nclick 110 20\necho end\nelements\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines clicks;
    bool clicking = false;
    for (const std::string& line : run.lines()) {
        clicking = (clicking || line == "echo one") && line != "echo end";
        if (clicking && (line.rfind("echo", 0) == 0 || line.rfind("key 0x2", 0) == 0 || line.rfind("key 0x32", 0) == 0))
            clicks.push_back(line.rfind("key 0x32", 0) == 0 ? "key 0x32... (probe700's handler)" : line);
    }
    EXPECT_LINES((Lines{"echo one", "key 0x20001 0", "echo two", "key 0x20010 0", "echo three",
                        "key 0x32... (probe700's handler)"}),
                 clicks);
    EXPECT_LINES((Lines{"gauge gauge00 \"probe!probe610\"", "gauge gauge01 \"probe!probe700\""}),
                 lines_with_prefix(run.lines(), {"gauge "}));
}

struct PanelCase {
    const char* name;
    const char* cfg;
    Lines errors;   // after "panelhost: PANEL:"
};

TEST(Panel, EachLineInTroubleIsSaidWithItsLineAndTheRunStops)
{
    const PanelCase cases[] = {
        {"a misspelled key", "[Window00]\nsize_mm=500,320\nguage00=radio!tuneset, 10, 10, 476\n",
         {"3: \"guage00\" is not a gauge line's key (gaugeNN): the simulator skips the line"}},
        {"a module not in the folder", "[Window00]\nsize_mm=500,320\ngauge00=radoi!tuneset, 10, 10, 476\n",
         {"3: gauge00: no module \"radoi\" in GAUGES (looked for radoi.so)"}},
        {"a gauge the module does not have", "[Window00]\nsize_mm=500,320\ngauge00=probe!probe61, 10, 10\n",
         {"3: gauge00: module \"probe\" has no gauge \"probe61\"; its gauges: \"probe610\", \"probe700\", \"probe500\""}},
        {"a gauge of a header the host cannot run", "[Window00]\nsize_mm=500,320\ngauge00=probe!probe500, 0, 0\n",
         {"3: gauge00: gauge \"probe500\" has header version 500, not 610 or 700"}},
        {"a file that is not a gauge module", "[Window00]\nsize_mm=500,320\ngauge00=foreign!x, 0, 0\n",
         {"3: gauge00: module GAUGES/foreign.so has module id 0x12, not 0x13"}},
        {"a number that does not read", "[Window00]\nsize_mm=500,320\ngauge00=radio!tuneset, 10, ten, 476\n",
         {"3: gauge00: the Y \"ten\" is not a whole number"}},
        {"a gauge reaching past the window's right edge", "[Window00]\nsize_mm=400,320\ngauge00=radio!tuneset, 10, 10, 476\n",
         {"3: gauge00: the gauge's box (10, 10, 476 x 147) reaches outside Window00 (400 x 320)"}},
        {"the default width past the bottom", "[Window00]\nsize_mm=500,100\ngauge00=autohelm!autohelm.gau, 0, 50\n",
         {"3: gauge00: the gauge's box (0, 50, 170 x 78) reaches outside Window00 (500 x 100)"}},
        {"left of the window", "[Window00]\nsize_mm=500\ngauge00=radio!tuneset, -1, 0, 98\n",
         {"3: gauge00: the gauge's box (-1, 0, 98 x 30) reaches outside Window00 (500 x any height)"}},
        {"two lines with one key",
         "[Window00]\nsize_mm=500,320\ngauge00=radio!tuneset, 10, 10, 476\ngauge00=autohelm!autohelm.gau, 10, 170\n",
         {"4: gauge00: a second line with this key in Window00 (the first is line 3)"}},
        {"one gauge twice in a window",
         "[Window00]\nsize_mm=500,320\ngauge00=radio!tuneset, 0, 0, 238\ngauge01=radio!tuneset, 0, 100, 238\n",
         {"4: gauge01: radio!tuneset is shown already by gauge00 (line 3); a gauge's records are its module's own, so "
          "a window shows each gauge once"}},
        {"every problem of every window, in line order",
         "[Window00]\nsize_mm=500,320\ngauge00=radio!tunset, 10, 10\n[Window01]\nguage01=x!y,0,0\n"
         "gauge02=autohelm!autohelm.gau, 0, 0, 170, 500\n",
         {"3: gauge00: module \"radio\" has no gauge \"tunset\"; its gauges: \"tuneset\"",
          "5: \"guage01\" is not a gauge line's key (gaugeNN): the simulator skips the line"}},
    };
    for (const PanelCase& c : cases) {
        PanelFolder folder;
        auto run = folder.run(c.cfg, "echo never\n");
        std::string expected;
        for (const std::string& error : c.errors) {
            std::string line = error;
            for (std::size_t at; (at = line.find("GAUGES")) != std::string::npos;)
                line.replace(at, 6, folder.gauges);
            expected += "panelhost: " + folder.panel + ":" + line + "\n";
        }
        EXPECT_EQ(run.status, 2) << c.name;
        EXPECT_EQ(run.err, expected) << c.name;
        EXPECT_EQ(run.out, "") << c.name << ": nothing may run";
    }
}

TEST(Panel, TheWindowToRunIsChosenByItsNumber)
{
    PanelFolder folder;
    const char* cfg = "[Window00]\ngauge00=autohelm!autohelm.gau, 0, 0\n[Window03]\ngauge00=probe!probe700, 0, 0\n";
    auto first = folder.run(cfg, "elements\n");
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_LINES((Lines{"gauge gauge00 \"autohelm!autohelm.gau\""}), lines_with_prefix(first.lines(), {"gauge "}));
    auto third = folder.run(cfg, "elements\n", {"--window", "3"});
    ASSERT_EQ(third.status, 0) << third.err;
    EXPECT_LINES((Lines{"gauge gauge00 \"probe!probe700\""}), lines_with_prefix(third.lines(), {"gauge "}));
    auto missing = folder.run(cfg, "", {"--window", "1"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "panelhost: " + folder.panel + ": no window section [Window01]\n");
    auto empty = folder.run("[Window00]\nsize_mm=10,10\n", "");
    EXPECT_EQ(empty.status, 2);
    EXPECT_EQ(empty.err, "panelhost: " + folder.panel + ":1: Window00 has no gauge lines to run\n");
}

TEST(Panel, TheCommandLineOfAPanelRun)
{
    struct Refusal {
        Lines args;
        std::string error;
    };
    const Refusal refusals[] = {
        {{"--panel", "p.cfg"}, "--panel needs --gauges DIR, the folder of the gauge modules"},
        {{"--panel", "p.cfg", "--gauges", "g", "radio.so", "tuneset"},
         "MODULE and GAUGE are not given with --panel: its lines name the gauges"},
        {{"--gauges", "g", "radio.so", "tuneset"}, "--gauges goes with --panel FILE"},
        {{"--window", "2", "radio.so", "tuneset"}, "--window goes with --panel FILE"},
        {{"--panel", "p.cfg", "--gauges", "g", "--window", "100"}, "option --window: N must be a window's number from 0 to 99"},
    };
    for (const Refusal& refusal : refusals) {
        auto run = run_panelhost(refusal.args, "");
        EXPECT_EQ(run.status, 2) << refusal.error;
        EXPECT_EQ(run.err, "panelhost: " + refusal.error + " (see panelhost --help)\n");
    }
}

}  // namespace

namespace {

// The window drawn whole: each gauge in its box, at its own size the very pixels of the gauge
// drawn alone, scaled the mean of them; where a gauge is transparent the one under it shows.
TEST(Panel, TheWindowIsDrawnWithEachGaugeInItsBox)
{
    PanelFolder folder;
    std::string alone = folder.root + "/alone.png", window = folder.root + "/window.png";
    auto single = run_panelhost({"--cwd", folder.root, folder.gauges + "/Radio.SO", "tuneset"}, "render " + alone + "\n");
    ASSERT_EQ(single.status, 0) << single.err << single.out;
    // the radio at its size at (10, 10), the autopilot's panel over its lower left part: the
    // panel's black background is transparent
    auto run = folder.run("[Window00]\nsize_mm=500,330\ngauge00=radio!tuneset, 10, 10, 476\n"
                          "gauge01=autohelm!autohelm.gau, 10, 50, 300\n",
                          "render " + window + "\nrender " + folder.root + "/numbered.png --numbered\n");
    ASSERT_EQ(run.status, 0) << run.err;
    test_support::Picture gauge = test_support::read_png(alone);
    test_support::Picture whole = test_support::read_png(window);
    ASSERT_EQ(gauge.width, 476);
    ASSERT_EQ(whole.width, 500);
    ASSERT_EQ(whole.height, 330);
    int differing = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < gauge.width; ++x)
            differing += whole.at(10 + x, 10 + y) != gauge.at(x, y);
    EXPECT_EQ(differing, 0) << "above the panel, the radio at its own size is the radio drawn alone";
    EXPECT_EQ(whole.at(5, 5), 0u) << "the window's own background is black";
    EXPECT_EQ(whole.at(495, 300), 0u) << "beside the gauges";
    // The panel (300 units for its 300 pixels) lies over the radio from y 50: where its
    // background is transparent the radio shows through, its lever (94..138, 28..112 of the
    // panel: the lever's dark top half is black too) covers the radio where it is grey.
    EXPECT_EQ(whole.at(10 + 5, 50 + 5), gauge.at(5, 45)) << "the radio through the panel's transparent background";
    int covered = 0;
    for (int y = 0; y < 84 && 40 + 28 + y < gauge.height; ++y)   // where the lever lies over the radio
        for (int x = 0; x < 44; ++x)
            covered += whole.at(10 + 94 + x, 50 + 28 + y) != gauge.at(94 + x, 40 + 28 + y);
    EXPECT_GT(covered, 200) << "the lever lies over the radio";
    test_support::Picture numbered = test_support::read_png(folder.root + "/numbered.png");
    EXPECT_EQ(numbered.width, 500) << "the numbered hot spots are drawn on the window";
}

}  // namespace
