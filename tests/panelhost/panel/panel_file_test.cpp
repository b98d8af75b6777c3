// The panel configuration's reader: the window sections, their sizes and gauge lines, and the
// line and reason of each line it cannot take.
#include "panelhost/panel/panel_file.h"

#include "panelhost/base/limits.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using panelhost::PanelProblem;
using panelhost::PanelWindow;

std::vector<std::string> problem_lines(const std::vector<PanelProblem>& problems)
{
    std::vector<std::string> lines;
    for (const PanelProblem& problem : problems)
        lines.push_back(std::to_string(problem.line) + ": " + problem.text);
    return lines;
}

TEST(PanelFile, ReadsTheWindowSectionsWithTheirSizesAndGaugeLines)
{
    const char* text =
        "// the panel of a small aircraft\r\n"
        "[Window Titles]\r\n"
        "Window00=Main Panel\r\n"
        "\r\n"
        "[Window00]\r\n"
        "file=panel.bmp\r\n"
        "size_mm=640,480\r\n"
        "gauge00=radio!tuneset, 20, 100, 98   // the radio\r\n"
        "Gauge01 = autohelm!autohelm.gau,20,300\r\n"
        "; an old line\r\n"
        "[WINDOW01]\n"
        "size_mm=300\n"
        "gauge00=radio!tuneset, 0, 0, 200, 60\n";
    std::vector<PanelWindow> windows;
    std::vector<PanelProblem> problems;
    panelhost::read_panel_file(text, windows, problems);
    EXPECT_EQ(problem_lines(problems), std::vector<std::string>{});
    ASSERT_EQ(windows.size(), 2u) << "[Window Titles] is not a window";

    const PanelWindow& main = windows[0];
    EXPECT_EQ(main.name, "Window00");
    EXPECT_EQ(main.number, 0);
    EXPECT_EQ(main.line, 5);
    EXPECT_EQ(main.width, 640);
    EXPECT_EQ(main.height, 480);
    ASSERT_EQ(main.gauges.size(), 2u);
    EXPECT_EQ(main.gauges[0].line, 8);
    EXPECT_EQ(main.gauges[0].key, "gauge00");
    EXPECT_EQ(main.gauges[0].module, "radio");
    EXPECT_EQ(main.gauges[0].gauge, "tuneset");
    EXPECT_EQ(main.gauges[0].x, 20);
    EXPECT_EQ(main.gauges[0].y, 100);
    EXPECT_EQ(main.gauges[0].width, 98);
    EXPECT_FALSE(main.gauges[0].height.has_value());
    EXPECT_EQ(main.gauges[1].key, "Gauge01") << "keys are read whatever their case";
    EXPECT_EQ(main.gauges[1].gauge, "autohelm.gau");
    EXPECT_FALSE(main.gauges[1].width.has_value());

    const PanelWindow& second = windows[1];
    EXPECT_EQ(second.number, 1);
    EXPECT_EQ(second.width, 300);
    EXPECT_FALSE(second.height.has_value()) << "size_mm may give the width alone";
    ASSERT_EQ(second.gauges.size(), 1u);
    EXPECT_EQ(second.gauges[0].height, 60);
}

struct BadLine {
    const char* name;
    std::string line;        // in a window of size_mm=640,480, on line 3
    std::string problem;     // what is said of line 3; empty: the line is taken
};

TEST(PanelFile, SaysWhatIsWrongWithEachLineItCannotTake)
{
    const BadLine cases[] = {
        {"misspelled key", "guage03=radio!tuneset, 0, 0",
         "\"guage03\" is not a gauge line's key (gaugeNN): the simulator skips the line"},
        {"a letter missing", "gage03=radio!tuneset, 0, 0",
         "\"gage03\" is not a gauge line's key (gaugeNN): the simulator skips the line"},
        {"a letter more", "gauges03=radio!tuneset, 0, 0",
         "\"gauges03\" is not a gauge line's key (gaugeNN): the simulator skips the line"},
        {"two letters astray", "guages03=radio!tuneset, 0, 0",
         "\"guages03\" is not a gauge line's key (gaugeNN): the simulator skips the line"},
        {"a word far from gauge", "engine03=radio!tuneset, 0, 0", ""},
        {"not a gauge key at all", "file_1024=panel.bmp", ""},
        {"another window key", "window_size=1.0,1.0", ""},
        {"no gauge name", "gauge03=radio, 0, 0",
         "gauge03: expected MODULE!GAUGE, X, Y[, WIDTH[, HEIGHT[, PARAMETERS]]], not \"radio, 0, 0\""},
        {"no position", "gauge03=radio!tuneset",
         "gauge03: expected MODULE!GAUGE, X, Y[, WIDTH[, HEIGHT[, PARAMETERS]]], not \"radio!tuneset\""},
        {"fields past the height are the gauge's parameters", "gauge03=radio!tuneset, 1, 2, 3, 4, 5, 6", ""},
        {"a letter for a digit", "gauge03=radio!tuneset, 1O, 2", "gauge03: the X \"1O\" is not a whole number"},
        {"an empty position", "gauge03=radio!tuneset, 10, , 98", "gauge03: the Y \"\" is not a whole number"},
        {"a decimal width", "gauge03=radio!tuneset, 10, 2, 98.5", "gauge03: the WIDTH \"98.5\" is not a whole number"},
        {"a word for the height", "gauge03=radio!tuneset, 10, 2, 98, tall",
         "gauge03: the HEIGHT \"tall\" is not a whole number"},
        {"an empty height is the default", "gauge03=radio!tuneset, 10, 2, 98,", ""},
        {"an empty width and height", "gauge03=radio!tuneset, 10, 2, , ,", ""},
        {"a logic gauge of no size", "gauge03=radio!tuneset, 0, 0, 0, 0", ""},
        {"a width of 0 alone: no size", "gauge03=radio!tuneset, 10, 2, 0", ""},
        {"no height", "gauge03=radio!tuneset, 10, 2, 98, 0",
         "gauge03: a WIDTH of 98 and a HEIGHT of 0: a gauge that is never drawn has both 0, a gauge that is drawn neither"},
        {"no width", "gauge03=radio!tuneset, 10, 2, 0, 30",
         "gauge03: a WIDTH of 0 and a HEIGHT of 30: a gauge that is never drawn has both 0, a gauge that is drawn neither"},
        {"the default width and no height", "gauge03=radio!tuneset, 10, 2, , 0",
         "gauge03: the default WIDTH and a HEIGHT of 0: a gauge that is never drawn has both 0, a gauge that is "
         "drawn neither"},
        {"a negative height", "gauge03=radio!tuneset, 10, 2, 98, -30", "gauge03: the HEIGHT -30 is below 0"},
        {"a negative width", "gauge03=radio!tuneset, 10, 2, -98", "gauge03: the WIDTH -98 is below 0"},
        {"the largest width and height", "gauge03=radio!tuneset, 10, 2, 8192, 8192", ""},
        {"a width past the largest picture", "gauge03=radio!tuneset, 10, 2, 8193",
         "gauge03: the WIDTH 8193 is larger than the largest picture the bench draws, 8192 x 8192"},
        {"a height past the largest picture", "gauge03=radio!tuneset, 10, 2, 98, 2147483647",
         "gauge03: the HEIGHT 2147483647 is larger than the largest picture the bench draws, 8192 x 8192"},
        {"a negative position is read", "gauge03=radio!tuneset, -10, 2", ""},
        {"the last place of 32 bits", "gauge03=radio!tuneset, -2147483648, 2147483647", ""},
        {"a place past 32 bits", "gauge03=radio!tuneset, 2147483648, 2",
         "gauge03: the X 2147483648 lies beyond a window's points, -2147483648 to 2147483647"},
        {"one past the largest number is refused, not wrapped", "gauge03=radio!tuneset, 9223372036854775808, 2",
         "gauge03: the X \"9223372036854775808\" is not a whole number"},
        {"no size", "size_mm=wide", "size_mm: expected WIDTH[,HEIGHT], whole numbers of 0 or more, not \"wide\""},
        {"a section of no size", "size_mm=0,0", ""},
        {"a width of 0 alone: a section of no size", "size_mm=0", ""},
        {"a section without height", "size_mm=640,0",
         "size_mm: 640 x 0 has one side 0: a section of no size, whose gauges run and are never drawn, is 0 x 0"},
        {"a section without width", "size_mm=0,480",
         "size_mm: 0 x 480 has one side 0: a section of no size, whose gauges run and are never drawn, is 0 x 0"},
        {"a negative size", "size_mm=-640,480",
         "size_mm: expected WIDTH[,HEIGHT], whole numbers of 0 or more, not \"-640,480\""},
        {"the largest section", "size_mm=8192,8192", ""},
        {"a section past the largest picture", "size_mm=8193,100",
         "size_mm: 8193 x 100 is larger than the largest picture the bench draws, 8192 x 8192"},
        {"a section of the largest number", "size_mm=2147483647,2147483647",
         "size_mm: 2147483647 x 2147483647 is larger than the largest picture the bench draws, 8192 x 8192"},
        {"a section of one number past the largest picture", "size_mm=16384",
         "size_mm: 16384 is larger than the largest picture the bench draws, 8192 x 8192"},
        {"a key in capitals", "SIZE_MM=640,0",
         "SIZE_MM: 640 x 0 has one side 0: a section of no size, whose gauges run and are never drawn, is 0 x 0"},
    };
    for (const BadLine& c : cases) {
        std::string text = std::string("[Window00]\nsize_mm=640,480\n") + c.line + "\n";
        std::vector<PanelWindow> windows;
        std::vector<PanelProblem> problems;
        panelhost::read_panel_file(text, windows, problems);
        std::vector<std::string> expected;
        if (!c.problem.empty())
            expected.push_back("3: " + c.problem);
        EXPECT_EQ(problem_lines(problems), expected) << c.name;
    }
}

struct GaugeFields {
    const char* name;
    const char* value;
    std::optional<long> width;
    std::optional<long> height;
    const char* parameters;
};

TEST(PanelFile, EmptySizesAreTheGaugesDefaultAndWhatFollowsTheHeightIsKept)
{
    const GaugeFields cases[] = {
        {"position only", "radio!tuneset, 1, 2", {}, {}, ""},
        {"a trailing comma after the width", "radio!tuneset, 10,10,476,", 476, {}, ""},
        {"an empty width before a height", "radio!tuneset, 1, 2, , 147", {}, 147, ""},
        {"a settings file", "radio!tuneset, 1, 2, 476, 147, parameters.ini", 476, 147, "parameters.ini"},
        {"a word", "radio!tuneset, 1, 2, 476, 147, FUEL", 476, 147, "FUEL"},
        {"several fields, as written", "radio!tuneset, 1, 2, 476, 147,  a, b ,c ", 476, 147, "a, b ,c"},
        {"an empty parameter field", "radio!tuneset, 1, 2, 476, 147,", 476, 147, ""},
        {"tabs between the fields", "radio!tuneset,\t1,\t2,\t476,\t147", 476, 147, ""},
    };
    for (const GaugeFields& c : cases) {
        std::vector<PanelWindow> windows;
        std::vector<PanelProblem> problems;
        panelhost::read_panel_file(std::string("[Window00]\ngauge00=") + c.value + "\n", windows, problems);
        EXPECT_EQ(problem_lines(problems), std::vector<std::string>{}) << c.name;
        ASSERT_EQ(windows.size(), 1u);
        ASSERT_EQ(windows[0].gauges.size(), 1u) << c.name;
        const panelhost::PanelGaugeLine& gauge = windows[0].gauges[0];
        EXPECT_EQ(gauge.module, "radio") << c.name;
        EXPECT_EQ(gauge.gauge, "tuneset") << c.name;
        EXPECT_EQ(gauge.width, c.width) << c.name;
        EXPECT_EQ(gauge.height, c.height) << c.name;
        EXPECT_EQ(gauge.parameters, c.parameters) << c.name;
    }
}

TEST(PanelFile, TwoGaugeLinesWithOneKeyAreOneTooMany)
{
    std::vector<PanelWindow> windows;
    std::vector<PanelProblem> problems;
    panelhost::read_panel_file("[Window00]\ngauge00=a!b,0,0\n\ngauge00=c!d,1,1\n[Window01]\ngauge00=e!f,2,2\n"
                               "[Vcockpit01]\ngauge00=g!h,0,0\nGauge00=i!j,0,0\n",
                               windows, problems);
    EXPECT_EQ(problem_lines(problems),
              (std::vector<std::string>{"4: gauge00: a second line with this key in Window00 (the first is line 2)",
                                        "9: Gauge00: a second line with this key in Vcockpit01 (the first is line 8)"}))
        << "keys are one key whatever the case of their letters";
    ASSERT_EQ(windows.size(), 3u);
    ASSERT_EQ(windows[0].gauges.size(), 1u) << "the first line of the key stays";
    EXPECT_EQ(windows[0].gauges[0].module, "a");
    EXPECT_EQ(windows[1].gauges.size(), 1u) << "another window may use the key again";
    ASSERT_EQ(windows[2].gauges.size(), 1u);
    EXPECT_EQ(windows[2].gauges[0].module, "g");
}

TEST(PanelFile, LinesOutsideAGaugeSectionAreNotItsGauges)
{
    std::vector<PanelWindow> windows;
    std::vector<PanelProblem> problems;
    panelhost::read_panel_file("gauge00=a!b,0,0\n[Views]\nguage00=c!d,1,1\n[Window Titles]\ngauge00=e!f,0,0\n"
                               "[Vcockpit]\ngauge00=g!h,0,0\n",
                               windows, problems);
    EXPECT_TRUE(windows.empty()) << "[Vcockpit] without its number is no section of gauges";
    EXPECT_TRUE(problems.empty());
}

TEST(PanelFile, VirtualCockpitsAreReadLikeWindows)
{
    const char* text =
        "[VCockpit01]\n"
        "Background_color=0,0,0\n"
        "pixel_size=512,256\n"
        "texture=$VC01\n"
        "gauge00=radio!tuneset, 0, 0, 476,\n"
        "guage01=radio!tuneset, 0, 0\n"
        "[vcockpit02]\n"
        "pixel_size=1024,1024\n"
        "size_mm=512,512\n"
        "[Vcockpit03]\n"
        "size_mm=300\n"
        "pixel_size=1024,1024\n"
        "[Window00]\n"
        "pixel_size=9,9\n";
    std::vector<PanelWindow> windows;
    std::vector<PanelProblem> problems;
    panelhost::read_panel_file(text, windows, problems);
    EXPECT_EQ(problem_lines(problems),
              std::vector<std::string>{"6: \"guage01\" is not a gauge line's key (gaugeNN): the simulator skips the line"})
        << "a virtual cockpit's lines are checked as a window's are";
    ASSERT_EQ(windows.size(), 4u);
    struct Expected {
        const char* name;
        panelhost::PanelSectionKind kind;
        int number;
        std::optional<long> width, height;
    };
    const Expected expected[] = {
        {"VCockpit01", panelhost::PanelSectionKind::VirtualCockpit, 1, 512, 256},   // pixel_size alone
        {"vcockpit02", panelhost::PanelSectionKind::VirtualCockpit, 2, 512, 512},   // size_mm after it
        {"Vcockpit03", panelhost::PanelSectionKind::VirtualCockpit, 3, 300, {}},    // size_mm before it
        {"Window00", panelhost::PanelSectionKind::Window, 0, {}, {}},               // a window has no pixel_size
    };
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(windows[i].name, expected[i].name);
        EXPECT_EQ(windows[i].kind, expected[i].kind) << expected[i].name;
        EXPECT_EQ(windows[i].number, expected[i].number) << expected[i].name;
        EXPECT_EQ(windows[i].width, expected[i].width) << expected[i].name;
        EXPECT_EQ(windows[i].height, expected[i].height) << expected[i].name;
    }
    ASSERT_EQ(windows[0].gauges.size(), 1u);
    EXPECT_EQ(windows[0].gauges[0].width, 476);
}

TEST(PanelFile, KeysInCapitalsReadAsInLowerCase)
{
    std::vector<PanelWindow> windows;
    std::vector<PanelProblem> problems;
    panelhost::read_panel_file("[WINDOW00]\nSIZE_MM=640,480\nGAUGE00=radio!tuneset, 1, 2\n"
                               "[VCOCKPIT01]\nPIXEL_SIZE=512,256\nGAUGE00=radio!tuneset, 3, 4\n",
                               windows, problems);
    EXPECT_EQ(problem_lines(problems), std::vector<std::string>{});
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0].width, 640) << "SIZE_MM is size_mm";
    EXPECT_EQ(windows[0].height, 480);
    EXPECT_EQ(windows[1].width, 512) << "PIXEL_SIZE is pixel_size";
    EXPECT_EQ(windows[1].height, 256);
    ASSERT_EQ(windows[0].gauges.size(), 1u);
    EXPECT_EQ(windows[0].gauges[0].key, "GAUGE00");
}

// A virtual cockpit of logic gauges: a texture of no size whose gauges run every frame and are
// never drawn.
TEST(PanelFile, ASectionAndGaugesOfNoSizeAreRead)
{
    const char* text =
        "[Vcockpit02]\r\n"
        "size_mm=0,0\r\n"
        "pixel_size=0,0\r\n"
        "texture=$Logic\r\n"
        "gauge00=Logic!Fuel,0,0,0,0\r\n"
        "gauge01=Logic!Lights, 0, 0, 0\r\n"
        "gauge02=Logic!Sound, 0, 0, 0, 0, parameters.ini\r\n"
        "[Vcockpit03]\r\n"
        "pixel_size=0\r\n";
    std::vector<PanelWindow> windows;
    std::vector<PanelProblem> problems;
    panelhost::read_panel_file(text, windows, problems);
    EXPECT_EQ(problem_lines(problems), std::vector<std::string>{});
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0].width, 0);
    EXPECT_EQ(windows[0].height, 0);
    EXPECT_EQ(windows[1].width, 0);
    EXPECT_EQ(windows[1].height, 0) << "a width of 0 alone is a section of no size";
    ASSERT_EQ(windows[0].gauges.size(), 3u);
    for (const panelhost::PanelGaugeLine& gauge : windows[0].gauges) {
        EXPECT_EQ(gauge.width, 0) << gauge.key;
        EXPECT_EQ(gauge.height, 0) << gauge.key;
    }
    EXPECT_EQ(windows[0].gauges[2].parameters, "parameters.ini");
}

// What a message quotes of the file is shown safe for a terminal: its control bytes escaped, a
// NUL among them (it would end the message), and a field of megabytes cut.
TEST(PanelFile, MessagesShowTheFilesBytesEscapedAndLongFieldsCut)
{
    const BadLine cases[] = {
        {"an escape sequence for a place", "gauge03=radio!tuneset, \x1b[2J\x1b[31m, 2",
         "gauge03: the X \"\\x1b[2J\\x1b[31m\" is not a whole number"},
        {"a NUL in a line", std::string("gauge03=radio\0x, 0, 0", 21),
         "gauge03: expected MODULE!GAUGE, X, Y[, WIDTH[, HEIGHT[, PARAMETERS]]], not \"radio\\0x, 0, 0\""},
        {"a bell in a size", "size_mm=640\a,480",
         "size_mm: expected WIDTH[,HEIGHT], whole numbers of 0 or more, not \"640\\x07,480\""},
        {"a backslash", "gauge03=radio!tuneset, C:\\x1b, 2", "gauge03: the X \"C:\\\\x1b\" is not a whole number"},
        {"UTF-8 as it is", "gauge03=radio!tuneset, 1\xC3\xA9, 2", "gauge03: the X \"1\xC3\xA9\" is not a whole number"},
        {"ten megabytes of a field", "gauge03=radio!tuneset, 1, " + std::string(10 << 20, 'x'),
         "gauge03: the Y \"" + std::string(panelhost::QUOTE_LIMIT_BYTES, 'x') + "...\" is not a whole number"},
    };
    for (const BadLine& c : cases) {
        std::string text = std::string("[Window00]\nsize_mm=640,480\n") + c.line + "\n";
        std::vector<PanelWindow> windows;
        std::vector<PanelProblem> problems;
        panelhost::read_panel_file(text, windows, problems);
        EXPECT_EQ(problem_lines(problems), std::vector<std::string>{std::string("3: ") + c.problem}) << c.name;
    }
}

struct LineEnds {
    const char* name;
    const char* text;   // a window, a blank line and a gauge line: each of the file's lines
    std::vector<int> lines;   // the lines of the heading, the size and the gauge line
};

TEST(PanelFile, LineNumbersCountTheLineEndsTheFileHas)
{
    const LineEnds cases[] = {
        {"LF", "[Window00]\nsize_mm=9\n\ngauge00=a!b,0,0\n", {1, 2, 4}},
        {"CR LF", "[Window00]\r\nsize_mm=9\r\n\r\ngauge00=a!b,0,0\r\n", {1, 2, 4}},
        {"CR alone", "[Window00]\rsize_mm=9\r\rgauge00=a!b,0,0\r", {1, 2, 4}},
        {"CR CR LF: converted twice", "[Window00]\r\r\nsize_mm=9\r\r\n\r\r\ngauge00=a!b,0,0\r\r\n", {1, 2, 4}},
        {"mixed", "[Window00]\r\nsize_mm=9\n\r\r\ngauge00=a!b,0,0", {1, 2, 4}},
        {"LF CR: an LF and then a CR alone", "[Window00]\n\rsize_mm=9\n\ngauge00=a!b,0,0\n", {1, 3, 5}},
        {"a byte-order mark before the first heading", "\xEF\xBB\xBF[Window00]\r\nsize_mm=9\r\n\r\ngauge00=a!b,0,0\r\n",
         {1, 2, 4}},
    };
    for (const LineEnds& c : cases) {
        std::vector<PanelWindow> windows;
        std::vector<PanelProblem> problems;
        // the size line, taken apart, says its line
        std::string text = c.text;
        text.replace(text.find("size_mm=9"), 9, "size_mm=x");
        panelhost::read_panel_file(text, windows, problems);
        ASSERT_EQ(windows.size(), 1u) << c.name;
        ASSERT_EQ(windows[0].gauges.size(), 1u) << c.name;
        ASSERT_EQ(problems.size(), 1u) << c.name;
        EXPECT_EQ((std::vector<int>{windows[0].line, problems[0].line, windows[0].gauges[0].line}), c.lines) << c.name;
    }
}

}  // namespace
