// The bench on a panel configuration: the gauge lines checked against the gauges folder, each
// problem said with its file and line, and the gauges of one window run together, the script's
// points in the window's units routed to the gauge under them.
#include "panelhost/panel/panel_check.h"
#include "tests/support/address_sanitizer.h"
#include "tests/support/panelhost_runner.h"
#include "tests/support/trace_lines.h"
#include "tests/support/png_picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;
using test_support::lines_with_prefix;
using test_support::run_panelhost;


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
    std::string cfg;
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
        {"a gauge wholly right of the window", "[Window00]\nsize_mm=400,320\ngauge00=radio!tuneset, 400, 10, 98\n",
         {"3: gauge00: the gauge's box (400, 10, 98 x 30) lies wholly outside Window00 (400 x 320): it can never be seen"}},
        {"a gauge wholly below the window", "[Window00]\nsize_mm=400,320\ngauge00=radio!tuneset, 0, 320, 98\n",
         {"3: gauge00: the gauge's box (0, 320, 98 x 30) lies wholly outside Window00 (400 x 320): it can never be seen"}},
        {"a gauge wholly left of a window of any height", "[Window00]\nsize_mm=500\ngauge00=radio!tuneset, -98, 0, 98\n",
         {"3: gauge00: the gauge's box (-98, 0, 98 x 30) lies wholly outside Window00 (500 x any height): it can never "
          "be seen"}},
        {"a gauge wholly above a virtual cockpit", "[Vcockpit01]\npixel_size=512,512\ngauge00=radio!tuneset, 0, -30, 98\n",
         {"3: gauge00: the gauge's box (0, -30, 98 x 30) lies wholly outside Vcockpit01 (512 x 512): it can never be "
          "seen"}},
        {"a module missing from a virtual cockpit's line",
         "[Window00]\ngauge00=radio!tuneset, 0, 0\n[Vcockpit01]\ngauge00=Fuel!Fuel, 0, 0, 100, 100, FUEL\n",
         {"4: gauge00: no module \"Fuel\" in GAUGES (looked for Fuel.so)"}},
        {"two lines with one key",
         "[Window00]\nsize_mm=500,320\ngauge00=radio!tuneset, 10, 10, 476\ngauge00=autohelm!autohelm.gau, 10, 170\n",
         {"4: gauge00: a second line with this key in Window00 (the first is line 3)"}},
        {"a section with one side 0: said of its own line, not of every gauge in it",
         "[Window00]\nsize_mm=640,0\ngauge00=radio!tuneset, 10, 10\ngauge01=autohelm!autohelm.gau, 10, 170\n",
         {"2: size_mm: 640 x 0 has one side 0: a section of no size, whose gauges run and are never drawn, is 0 x 0"}},
        {"a section larger than the largest picture",
         "[Window00]\nsize_mm=2147483647,2147483647\ngauge00=radio!tuneset, 10, 10\n",
         {"2: size_mm: 2147483647 x 2147483647 is larger than the largest picture the bench draws, 8192 x 8192"}},
        {"a virtual cockpit's texture larger than the largest picture",
         "[Vcockpit01]\npixel_size=16384,16384\ngauge00=radio!tuneset, 0, 0\n",
         {"2: pixel_size: 16384 x 16384 is larger than the largest picture the bench draws, 8192 x 8192"}},
        {"a gauge of one side 0", "[Window00]\nsize_mm=500,320\ngauge00=radio!tuneset, 10, 10, 476, 0\n",
         {"3: gauge00: a WIDTH of 476 and a HEIGHT of 0: a gauge that is never drawn has both 0, a gauge that is "
          "drawn neither"}},
        {"an escape sequence in a module's name", "[Window00]\nsize_mm=500,320\ngauge00=ra\x1b[31mdio!tuneset, 10, 10\n",
         {"3: gauge00: no module \"ra\\x1b[31mdio\" in GAUGES (looked for ra\\x1b[31mdio.so)"}},
        {"a NUL in a gauge's name", "[Window00]\nsize_mm=500,320\ngauge00=radio!tune\0set, 10, 10\n"s,
         {"3: gauge00: module \"radio\" has no gauge \"tune\\0set\"; its gauges: \"tuneset\""}},
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

// What the simulator takes and the bench can still run is said as a warning, and the run goes on.
TEST(Panel, WarningsAreSaidAndTheRunGoesOn)
{
    const PanelCase cases[] = {
        {"a box ending on the window's right and bottom edges lies inside it",
         "[Window00]\nsize_mm=486,157\ngauge00=radio!tuneset, 10, 10, 476\n", {}},
        {"a pixel past the right edge", "[Window00]\nsize_mm=485,157\ngauge00=radio!tuneset, 10, 10, 476\n",
         {"3: gauge00: the gauge's box (10, 10, 476 x 147) reaches outside Window00 (485 x 157): the part outside is "
          "not shown"}},
        {"a pixel past the bottom edge", "[Window00]\nsize_mm=486,156\ngauge00=radio!tuneset, 10, 10, 476\n",
         {"3: gauge00: the gauge's box (10, 10, 476 x 147) reaches outside Window00 (486 x 156): the part outside is "
          "not shown"}},
        {"the default size past the bottom", "[Window00]\nsize_mm=500,100\ngauge00=autohelm!autohelm.gau, 0, 50\n",
         {"3: gauge00: the gauge's box (0, 50, 170 x 78) reaches outside Window00 (500 x 100): the part outside is not "
          "shown"}},
        {"left of a window of any height", "[Window00]\nsize_mm=500\ngauge00=radio!tuneset, -1, 0, 98\n",
         {"3: gauge00: the gauge's box (-1, 0, 98 x 30) reaches outside Window00 (500 x any height): the part outside "
          "is not shown"}},
        {"a pixel above the top edge", "[Window00]\nsize_mm=500,320\ngauge00=radio!tuneset, 0, -1, 98\n",
         {"3: gauge00: the gauge's box (0, -1, 98 x 30) reaches outside Window00 (500 x 320): the part outside is not "
          "shown"}},
        {"above and left of a virtual cockpit", "[Vcockpit01]\nsize_mm=512,512\ngauge00=radio!tuneset, -6, -5, 115, 115\n",
         {"3: gauge00: the gauge's box (-6, -5, 115 x 115) reaches outside Vcockpit01 (512 x 512): the part outside is "
          "not shown"}},
        {"one gauge twice in a window",
         "[Window00]\nsize_mm=500,320\ngauge00=radio!tuneset, 0, 0, 238\ngauge01=radio!tuneset, 0, 100, 238\n",
         {"4: gauge01: radio!tuneset is shown already by gauge00 (line 3); a gauge's records are its module's own, so "
          "the bench shows it once, at its first line"}},
    };
    for (const PanelCase& c : cases) {
        PanelFolder folder;
        auto run = folder.run(c.cfg, "elements\n");
        std::string expected;
        for (const std::string& warning : c.errors)
            expected += "warning panel " + folder.panel + ":" + warning + "\n";
        EXPECT_EQ(run.status, 0) << c.name << ": " << run.err;
        EXPECT_EQ(run.err, expected) << c.name;
        EXPECT_LINES((Lines{"gauge gauge00 \"" + std::string(c.cfg[1] == 'V' ? "radio!tuneset" :
                                                              std::string(c.cfg).find("autohelm") != std::string::npos
                                                                  ? "autohelm!autohelm.gau"
                                                                  : "radio!tuneset") + "\""}),
                     lines_with_prefix(run.lines(), {"gauge "}))
            << c.name << ": the section runs, each gauge at its first line";
    }
}

TEST(Panel, TheSectionToRunIsChosenByItsNumber)
{
    PanelFolder folder;
    const char* cfg = "[Window00]\ngauge00=autohelm!autohelm.gau, 0, 0\n[Window03]\ngauge00=probe!probe700, 0, 0\n"
                      "[VCOCKPIT02]\npixel_size=512,512\ngauge00=radio!tuneset, 0, 0, 476\n";
    struct Choice {
        Lines options;
        Lines gauges;
    };
    const Choice choices[] = {
        {{}, {"gauge gauge00 \"autohelm!autohelm.gau\""}},
        {{"--window", "3"}, {"gauge gauge00 \"probe!probe700\""}},
        {{"--vcockpit", "2"}, {"gauge gauge00 \"radio!tuneset\""}},
    };
    for (const Choice& choice : choices) {
        auto run = folder.run(cfg, "elements\n", choice.options);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_LINES(choice.gauges, lines_with_prefix(run.lines(), {"gauge "}));
    }
    auto missing = folder.run(cfg, "", {"--window", "1"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "panelhost: " + folder.panel + ": no window section [Window01]\n");
    auto no_cockpit = folder.run(cfg, "", {"--vcockpit", "1"});
    EXPECT_EQ(no_cockpit.status, 2);
    EXPECT_EQ(no_cockpit.err, "panelhost: " + folder.panel + ": no virtual cockpit section [Vcockpit01]\n");
    auto none = folder.run("[Window Titles]\nWindow00=Main Panel\n", "");
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err, "panelhost: " + folder.panel + ": no window or virtual cockpit section ([WindowNN], [VcockpitNN])\n");
    auto empty = folder.run("[Window00]\nsize_mm=10,10\n", "");
    EXPECT_EQ(empty.status, 2);
    EXPECT_EQ(empty.err, "panelhost: " + folder.panel + ":1: Window00 has no gauge lines to run\n");
}

// A virtual cockpit of logic gauges, of no size as real ones are: each gauge is installed, passed
// and killed, and never drawn, so no point reaches it and the section has no picture.
TEST(Panel, ALogicOnlyVirtualCockpitRunsItsGaugesUndrawn)
{
    PanelFolder folder;
    const char* cfg = "[Window00]\r\nsize_mm=400,200\r\ngauge00=probe!probe610, 0, 0\r\n"
                      "[Vcockpit02]\r\nsize_mm=0,0\r\npixel_size=0,0\r\ntexture=$Logic\r\n"
                      "gauge00=probe!probe610,0,0,0,0\r\ngauge01=probe!probe700,0,0,0,0\r\n";
    auto run = folder.run(cfg, "echo frame\nframe\necho points\nclick 15 15\nclick 70 10\ntooltip 15 15\necho end\n",
                          {"--vcockpit", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "") << "nothing to warn of: a gauge of no size is meant so";
    // probe610's install and kill routines, probe700's update callbacks (codes 6 to 11) and kill
    Lines expected = {"key 0x31001 0", "echo frame",   "key 0x30006 0", "key 0x3000b 0", "echo points",
                      "tooltip none",  "echo end",     "key 0x3000c 0", "key 0x31009 0"};
    EXPECT_LINES(expected, lines_with_prefix(run.lines(), {"key 0x31001", "key 0x31009", "key 0x30006", "key 0x3000b",
                                                           "key 0x3000c", "key 0x2", "key 0x32", "tooltip", "echo"}));

    std::string picture = folder.root + "/logic.png";
    auto render = folder.run(cfg, "render " + picture + "\necho never\n", {"--vcockpit", "2"});
    EXPECT_EQ(render.status, 2);
    EXPECT_EQ(render.err, "panelhost: script line 1: render: Vcockpit02 is 0 x 0: a panel of no size has no picture "
                          "(its gauges run, never drawn)\n");
    EXPECT_FALSE(std::filesystem::exists(picture));
}

// In a section that is drawn, a gauge of no size runs beside the others and adds nothing to the
// picture, no hot spot among it; a gauge with a box in a section of no size is said to be never
// drawn.
TEST(Panel, AGaugeOfNoSizeIsNeitherDrawnNorPointedAt)
{
    PanelFolder folder;
    std::string plain = folder.root + "/plain.png", numbered = folder.root + "/numbered.png";
    auto run = folder.run("[Window00]\nsize_mm=400,100\ngauge00=probe!probe610, 0, 0, 0, 0\n"
                          "gauge01=probe!probe700, 200, 0, 200\n",
                          "click 15 15\nclick 205 5\nrender " + plain + "\nrender " + numbered + " --numbered\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_LINES((Lines{"key 0x32002 0"}), lines_with_prefix(run.lines(), {"key 0x2", "key 0x32"}))
        << "the click at (15, 15) reaches no gauge; the one at (205, 5) probe700's handler at (0, 0) of its box";
    for (const std::string& path : {plain, numbered}) {
        test_support::Picture picture = test_support::read_png(path);
        ASSERT_EQ(picture.width, 400) << path;
        EXPECT_EQ(picture.at(0, 0), 0u) << path << ": nothing of the gauge of no size, nor a hot spot's outline";
        EXPECT_EQ(picture.at(100, 50), 0u) << path;
        EXPECT_NE(picture.at(300, 50), 0u) << path << ": the other gauge is drawn";
    }

    auto sized = folder.run("[Vcockpit02]\nsize_mm=0,0\ngauge00=probe!probe610, 0, 0, 1, 1\n"
                            "gauge01=probe!probe700, 0, 0, 0, 0\n",
                            "", {"--vcockpit", "2"});
    EXPECT_EQ(sized.status, 0) << sized.err;
    EXPECT_EQ(sized.err, "warning panel " + folder.panel + ":3: gauge00: the gauge's box (0, 0, 1 x 1) lies in "
                         "Vcockpit02, a section of no size (0 x 0): the gauge runs and is never drawn\n");
}

// A window whose gauges reach past the largest picture, without a size of its own to be refused
// when it is read, is refused when drawn: one line, no attempt at the memory.
TEST(Panel, AWindowTooLargeToDrawIsRefusedInOneLine)
{
    PanelFolder folder;
    auto run = folder.run("[Window00]\ngauge00=radio!tuneset, 8000, 0, 476\n",
                          "render " + folder.root + "/large.png\necho never\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "panelhost: script line 1: render: Window00 is 8476 x 147, larger than the largest picture the "
                       "bench draws, 8192 x 8192\n");
}

// The largest picture, where the memory cannot hold it, is refused in one line like any other:
// no abort, no allocation failure of the library's words.
TEST(Panel, APictureTheMemoryCannotHoldIsRefusedInOneLine)
{
    SKIP_UNDER_ADDRESS_SANITIZER();
    PanelFolder folder;
    test_support::write_text_file(folder.panel, "[Window00]\nsize_mm=8192,8192\ngauge00=radio!tuneset, 10, 10\n");
    auto run = run_panelhost({"--cwd", folder.root, "--panel", folder.panel, "--gauges", folder.gauges},
                             "render " + folder.root + "/large.png\necho never\n", 128ull << 20, 60);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "panelhost: script line 1: render: a picture of 8192 x 8192 needs more memory than the bench "
                       "can have\n");
    EXPECT_EQ(lines_with_prefix(run.lines(), {"echo"}), Lines{});
}

// A panel of a virtual cockpit alone runs it: the radio, powered on, plays the disc.
TEST(Panel, AVirtualCockpitAloneRunsTheRadio)
{
    PanelFolder folder;
    auto run = folder.run("[Vcockpit01]\r\nsize_mm=512,512\r\ngauge00=radio!tuneset, 18, 20, 476,\r\n",
                          "click 461 43\ntooltip 461 43\nelements\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_LINES((Lines{"mci \"play cdaudio from 1\" -> 0", "tooltip \"Power On/Off (on)\"",
                        "gauge gauge00 \"radio!tuneset\""}),
                 lines_with_prefix(run.lines(), {"gauge ", "mci \"play", "tooltip"}));
}

// A real aircraft's panel file, in the forms such files have: CR LF, capitalised keys, a blank
// after the "=", tabs between the fields, // comments, a one-number size_mm, trailing commas,
// parameter fields, gauges placed partly outside, one gauge shown twice, two windows and a
// virtual cockpit. Its gauge modules are named as an aircraft's are; each is the probe module.
struct RealPanel : PanelFolder {
    std::string cfg = test_support::read_text_file(std::string(PANEL_TEST_PANELS) + "/twin_turboprop.cfg");

    RealPanel()
    {
        for (const char* module : {"Attitude", "Altimeter", "Airspeed", "Heading", "Torque", "Fuel", "Oil", "Clock",
                                   "Compass", "Trim", "Flaps"})
            std::filesystem::copy_file(test_support::out_dir() + "/test-gauges/probe.so",
                                       gauges + "/" + module + ".so");
    }

    std::string warnings() const
    {
        return "warning panel " + panel + ":32: gauge00: the gauge's box (-6, -5, 115 x 115) reaches outside "
               "Vcockpit01 (512 x 512): the part outside is not shown\n"
               "warning panel " + panel + ":38: gauge06: Fuel!probe700 is shown already by gauge05 (line 37); a "
               "gauge's records are its module's own, so the bench shows it once, at its first line\n"
               "warning panel " + panel + ":41: gauge09: the gauge's box (450, 120, 80 x 80) reaches outside "
               "Vcockpit01 (512 x 512): the part outside is not shown\n";
    }
};

TEST(Panel, ARealPanelFileGetsOnlyTrueMessagesAndEachSectionRuns)
{
    RealPanel folder;
    ASSERT_NE(folder.cfg.find("\r\n"), std::string::npos) << "the file keeps its CR LF line ends";
    auto window = folder.run(folder.cfg, "elements\n");
    ASSERT_EQ(window.status, 0) << window.err;
    EXPECT_EQ(window.err, folder.warnings());
    EXPECT_LINES((Lines{"gauge gauge00 \"radio!tuneset\"", "gauge Gauge01 \"autohelm!autohelm.gau\""}),
                 lines_with_prefix(window.lines(), {"gauge "}))
        << "the first window runs";

    auto cockpit = folder.run(folder.cfg, "elements\n", {"--vcockpit", "1"});
    ASSERT_EQ(cockpit.status, 0) << cockpit.err;
    EXPECT_EQ(cockpit.err, folder.warnings());
    EXPECT_LINES((Lines{"gauge gauge00 \"Attitude!probe700\"", "gauge gauge01 \"Altimeter!probe700\"",
                        "gauge gauge02 \"Airspeed!probe610\"", "gauge gauge03 \"Heading!probe700\"",
                        "gauge gauge04 \"Torque!probe610\"", "gauge gauge05 \"Fuel!probe700\"",
                        "gauge gauge07 \"Oil!probe610\"", "gauge gauge08 \"Clock!probe700\"",
                        "gauge gauge09 \"Compass!probe610\"", "gauge gauge10 \"radio!tuneset\"",
                        "gauge gauge11 \"autohelm!autohelm.gau\"", "gauge gauge12 \"Trim!probe700\"",
                        "gauge Gauge13 \"Flaps!probe610\""}),
                 lines_with_prefix(cockpit.lines(), {"gauge "}))
        << "every line of the virtual cockpit runs but the gauge shown again";

    // converted once more (CR CR LF), the same lines say the same
    std::string twice;
    for (char c : folder.cfg)
        twice += c == '\r' ? std::string("\r\r") : std::string(1, c);
    auto converted = folder.run(twice, "");
    EXPECT_EQ(converted.status, 0);
    EXPECT_EQ(converted.err, folder.warnings());

    // every gauge line is checked: a module taken away is said at each of its lines
    std::filesystem::remove(folder.gauges + "/Fuel.so");
    auto missing = folder.run(folder.cfg, "");
    EXPECT_EQ(missing.status, 2);
    std::string no_fuel = "no module \"Fuel\" in " + folder.gauges + " (looked for Fuel.so)\n";
    std::string expected = folder.warnings();
    std::string duplicate = expected.substr(expected.find("warning panel " + folder.panel + ":38:"));
    duplicate = duplicate.substr(0, duplicate.find('\n') + 1);
    expected.replace(expected.find(duplicate), duplicate.size(),
                     "panelhost: " + folder.panel + ":37: gauge05: " + no_fuel + "panelhost: " + folder.panel +
                         ":38: gauge06: " + no_fuel);
    EXPECT_EQ(missing.err, expected);
}

struct ModuleLookup {
    const char* name;
    Lines files;            // in the gauges folder; a name ending in "/" is a folder
    const char* module;     // as a gauge line names it
    const char* found;      // the file found; empty: none
};

// The folder is listed once for a run, and each line's module found in the listing by the rule of
// the build's names (natively MODULE.so) in any case of letters, as Windows finds files.
TEST(Panel, AModuleIsFoundInTheFolderAsWindowsFindsFiles)
{
    const ModuleLookup cases[] = {
        {"the name as written", {"radio.so"}, "radio", "radio.so"},
        {"other letters in the file", {"Radio.SO"}, "radio", "Radio.SO"},
        {"other letters in the line", {"radio.so"}, "RADIO", "radio.so"},
        {"of names in two cases, the first in byte order", {"radio.so", "RADIO.so"}, "Radio", "RADIO.so"},
        {"among others", {"a.so", "b.dll", "radio.gau", "radio.so", "z.so"}, "radio", "radio.so"},
        {"another build's name", {"radio.dll", "radio.gau"}, "radio", ""},
        {"no extension", {"radio"}, "radio", ""},
        {"a folder of the name", {"radio.so/"}, "radio", ""},
        {"a name with a control character, which Windows holds no file of", {"ra\x1b" "dio.so"}, "ra\x1b" "dio", ""},
    };
    for (const ModuleLookup& c : cases) {
        std::string folder = test_support::make_temp_dir();
        for (const std::string& file : c.files) {
            if (file.back() == '/')
                std::filesystem::create_directories(folder + "/" + file);
            else
                test_support::write_text_file(folder + "/" + file, "");
        }
        std::string found = panelhost::ModuleFolder(folder).find(c.module);
        EXPECT_EQ(found, *c.found ? folder + "/" + c.found : std::string()) << c.name;
    }
    std::string folder = test_support::make_temp_dir();
    panelhost::ModuleFolder listed(folder);
    test_support::write_text_file(folder + "/radio.so", "");
    EXPECT_EQ(listed.find("radio"), "") << "the folder is listed once, when the run starts";
}

// Three more panel files in the forms real aircraft's take: many windows, [Window Titles],
// [Views] and [Default View] sections, virtual cockpits with pixel_size and texture, logic gauges
// at 0,0,0,0 in sections of no size, parameters after the height, // and ; comments, CR LF, keys
// and headings in any case, tabs. Each section runs: its gauges install, pass and list their
// elements, and a section with a size is drawn at that size.
struct RealSection {
    Lines choice;           // --window N or --vcockpit N
    Lines gauges;           // its "gauge" lines, in order
    int width, height;      // of its picture; 0 x 0: no picture, its gauges run undrawn
};

struct RealFile {
    const char* file;
    Lines warnings;         // "LINE: TEXT", the same for every run
    std::vector<RealSection> sections;
};

TEST(Panel, RealAircraftPanelFilesAreCheckedAndEverySectionRuns)
{
    const RealFile files[] = {
        {"light_twin.cfg",
         {},
         {{{"--window", "0"},
           {"gauge gauge00 \"Attitude!probe700\"", "gauge gauge01 \"Altimeter!probe700\"",
            "gauge gauge02 \"Airspeed!probe610\"", "gauge gauge03 \"Heading!probe700\"", "gauge gauge04 \"Vsi!probe610\"",
            "gauge gauge05 \"Turn!probe700\"", "gauge gauge06 \"Rpm!probe610\"", "gauge gauge07 \"Rpm!probe700\"",
            "gauge gauge08 \"Manifold!probe610\"", "gauge gauge09 \"Fuel!probe700\"", "gauge gauge10 \"Clock!probe610\"",
            "gauge gauge11 \"Annunciator!probe700\"", "gauge gauge12 \"Sound!probe610\""},
           1024, 768},
          {{"--window", "1"}, {"gauge gauge00 \"radio!tuneset\"", "gauge gauge01 \"autohelm!autohelm.gau\""}, 476, 300},
          {{"--window", "2"}, {"gauge Gauge00 \"Throttle!probe610\"", "gauge Gauge01 \"Trim!probe700\""}, 300, 200},
          {{"--window", "3"}, {"gauge gauge00 \"Gps!probe700\""}, 640, 480},
          {{"--window", "4"},
           {"gauge gauge00 \"Attitude!probe610\"", "gauge gauge01 \"Altimeter!probe610\"",
            "gauge gauge02 \"Airspeed!probe700\"", "gauge gauge03 \"Heading!probe610\""},
           512, 128},
          {{"--vcockpit", "1"},
           {"gauge gauge00 \"Attitude!probe700\"", "gauge gauge01 \"Altimeter!probe700\"",
            "gauge gauge02 \"Airspeed!probe610\"", "gauge gauge03 \"Heading!probe700\"", "gauge gauge04 \"Vsi!probe610\"",
            "gauge gauge05 \"Turn!probe700\"", "gauge gauge06 \"Rpm!probe610\"", "gauge gauge07 \"Fuel!probe700\""},
           1024, 1024},
          {{"--vcockpit", "2"}, {"gauge gauge00 \"radio!tuneset\"", "gauge gauge01 \"autohelm!autohelm.gau\""}, 512, 512},
          {{"--vcockpit", "3"},
           {"gauge gauge00 \"Logic!probe610\"", "gauge gauge01 \"Logic!probe700\"", "gauge gauge02 \"Sound!probe700\""},
           0, 0}}},
        {"jet_airliner.cfg",
         {"37: GAUGE05: the gauge's box (-6, -5, 60 x 60) reaches outside WINDOW00 (1600 x 1200): the part outside is "
          "not shown",
          "56: gauge04: Trim!probe610 is shown already by gauge02 (line 54); a gauge's records are its module's own, so "
          "the bench shows it once, at its first line",
          "115: gauge03: the gauge's box (900, 200, 200 x 200) reaches outside VCockpit02 (1024 x 512): the part outside "
          "is not shown"},
         {{{},   // the first window
           {"gauge GAUGE00 \"Pfd!probe700\"", "gauge GAUGE01 \"Nd!probe700\"", "gauge GAUGE02 \"Eicas!probe610\"",
            "gauge GAUGE03 \"Standby!probe610\"", "gauge GAUGE04 \"Gear!probe700\"", "gauge GAUGE05 \"Clock!probe700\""},
           1600, 1200},
          {{"--window", "1"},
           {"gauge gauge00 \"Lights!probe610\"", "gauge gauge01 \"Lights!probe700\"", "gauge gauge02 \"Fuel!probe610\"",
            "gauge gauge03 \"Apu!probe700\""},
           1200, 900},
          {{"--window", "2"},
           {"gauge gauge00 \"radio!tuneset\"", "gauge gauge01 \"autohelm!autohelm.gau\"", "gauge gauge02 \"Trim!probe610\"",
            "gauge gauge03 \"Flaps!probe700\""},
           800, 600},
          {{"--window", "4"}, {"gauge Gauge00 \"Eicas!probe610\""}, 450, 450},
          {{"--window", "5"}, {"gauge gauge00 \"Autopilot!probe700\""}, 900, 120},
          {{"--window", "6"}, {"gauge gauge00 \"radio!tuneset\"", "gauge gauge01 \"Transponder!probe610\""}, 476, 207},
          {{"--window", "9"}, {"gauge gauge00 \"Sound!probe610\"", "gauge gauge01 \"Sound!probe700\""}, 0, 0},
          {{"--vcockpit", "2"},
           {"gauge gauge00 \"radio!tuneset\"", "gauge gauge01 \"autohelm!autohelm.gau\"",
            "gauge gauge02 \"Transponder!probe700\"", "gauge gauge03 \"Flaps!probe610\""},
           1024, 512},
          {{"--vcockpit", "3"},
           {"gauge gauge00 \"Logic!probe610\"", "gauge gauge01 \"Logic!probe700\"", "gauge gauge02 \"Sound!probe610\"",
            "gauge gauge03 \"Fuel!probe700\""},
           0, 0}}},
        {"helicopter.cfg",
         {"23: gauge00: the gauge's box (-10, 200, 170 x 170) reaches outside Window00 (640 x 360): the part outside is "
          "not shown",
          "26: gauge03: the gauge's box (490, 200, 160 x 160) reaches outside Window00 (640 x 360): the part outside is "
          "not shown",
          "46: gauge04: Airspeed!probe610 is shown already by gauge01 (line 43); a gauge's records are its module's own, "
          "so the bench shows it once, at its first line"},
         {{{},
           {"gauge gauge00 \"Rotor!probe700\"", "gauge gauge01 \"Airspeed!probe610\"", "gauge gauge02 \"Attitude!probe700\"",
            "gauge gauge03 \"Altimeter!probe610\"", "gauge gauge04 \"Torque!probe610\"", "gauge gauge05 \"Temps!probe700\"",
            "gauge gauge06 \"Fuel!probe610\"", "gauge gauge07 \"Lights!probe700\""},
           640, 360},
          {{"--window", "1"}, {"gauge GAUGE00 \"radio!tuneset\""}, 476, 147},
          {{"--vcockpit", "1"},
           {"gauge gauge00 \"Rotor!probe700\"", "gauge gauge01 \"Airspeed!probe610\"", "gauge gauge02 \"Attitude!probe700\"",
            "gauge gauge03 \"Altimeter!probe610\""},
           512, 512},
          {{"--vcockpit", "2"},
           {"gauge gauge00 \"Logic!probe610\"", "gauge gauge01 \"Lights!probe610\"", "gauge gauge02 \"Sound!probe700\""},
           0, 0}}},
    };
    PanelFolder folder;
    for (const char* module : {"Attitude", "Altimeter", "Airspeed", "Heading", "Vsi", "Turn", "Rpm", "Manifold", "Fuel",
                               "Clock", "Annunciator", "Sound", "Throttle", "Trim", "Gps", "Logic", "Pfd", "Nd", "Eicas",
                               "Standby", "Gear", "Lights", "Apu", "Flaps", "Autopilot", "Transponder", "Rotor", "Torque",
                               "Temps"})
        std::filesystem::copy_file(test_support::out_dir() + "/test-gauges/probe.so", folder.gauges + "/" + module + ".so");
    for (const RealFile& file : files) {
        std::string cfg = test_support::read_text_file(std::string(PANEL_TEST_PANELS) + "/" + file.file);
        ASSERT_NE(cfg.find("\r\n"), std::string::npos) << file.file << " keeps its CR LF line ends";
        std::string warnings;
        for (const std::string& warning : file.warnings)
            warnings += "warning panel " + folder.panel + ":" + warning + "\n";
        for (const RealSection& section : file.sections) {
            std::string name = std::string(file.file) + (section.choice.empty() ? "" : " " + section.choice[1]);
            std::string picture = folder.root + "/section.png";
            std::filesystem::remove(picture);
            bool drawn = section.width > 0;
            auto run = folder.run(cfg, "frame 2\nelements\n" + (drawn ? "render " + picture + "\n" : std::string()),
                                  section.choice);
            ASSERT_EQ(run.status, 0) << name << ": " << run.err;
            EXPECT_EQ(run.err, warnings) << name;
            EXPECT_LINES(section.gauges, lines_with_prefix(run.lines(), {"gauge "})) << name;
            if (!drawn)
                continue;
            test_support::Picture drawing = test_support::read_png(picture);
            EXPECT_EQ(drawing.width, section.width) << name;
            EXPECT_EQ(drawing.height, section.height) << name;
        }
    }
}

struct BoxCase {
    const char* name;
    std::optional<long> width, height;      // of the line
    std::uint32_t default_width, default_height;   // the gauge header's
    PIXEL_POINT background;
    PIXEL_BOX box;
};

// The box a gauge line gives its gauge: the line's size, else the gauge's default or its
// background's shape scaled; empty for a gauge of no size; no side wraps past 32 bits, so that a
// box past the largest picture is seen as one and refused by the check.
TEST(Panel, AGaugeLinesBoxIsItsSizeOrTheGaugesScaledAndNeverWraps)
{
    const BoxCase cases[] = {
        {"the line's size", 200, 100, 0, 0, {476, 147}, {5, 6, 200, 100}},
        {"a width and the background's shape", 238, {}, 0, 0, {476, 147}, {5, 6, 238, 74}},
        {"the gauge's default size", {}, {}, 98, 30, {476, 147}, {5, 6, 98, 30}},
        {"a gauge of no size", 0, 0, 98, 30, {476, 147}, {5, 6, 0, 0}},
        {"no size to be had", {}, {}, 0, 0, {0, 0}, {5, 6, 1, 1}},
        {"a default past 32 bits does not wrap", {}, {}, 4000000000u, 30, {476, 147}, {5, 6, INT32_MAX, 30}},
        {"a tall gauge scaled past the largest picture", 8192, {}, 0, 0, {1, 8192}, {5, 6, 8192, 8192 * 8192}},
    };
    for (const BoxCase& c : cases) {
        GAUGEHDR header{};
        header.size_x_mm = c.default_width;
        header.size_y_mm = c.default_height;
        panelhost::PanelPlacement placement{"gauge00", "", "", "", 5, 6, c.width, c.height};
        PIXEL_BOX box = panelhost::placement_box(placement, &header, c.background);
        EXPECT_EQ((Lines{std::to_string(box.x), std::to_string(box.y), std::to_string(box.width), std::to_string(box.height)}),
                  (Lines{std::to_string(c.box.x), std::to_string(c.box.y), std::to_string(c.box.width),
                         std::to_string(c.box.height)}))
            << c.name;
    }
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
        {{"--vcockpit", "1", "radio.so", "tuneset"}, "--vcockpit goes with --panel FILE"},
        {{"--panel", "p.cfg", "--gauges", "g", "--window", "0", "--vcockpit", "1"},
         "--window and --vcockpit each choose the section to run: give one of them"},
        {{"--panel", "p.cfg", "--gauges", "g", "--vcockpit", "-1"},
         "option --vcockpit: N must be a virtual cockpit's number from 0 to 99"},
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
