// The panel configuration's reader: the window sections, their sizes and gauge lines, and the
// line and reason of each line it cannot take.
#include "panelhost/panel_file.h"

#include <gtest/gtest.h>

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
    const char* line;        // in a window of size_mm=640,480, on line 3
    const char* problem;     // what is said of line 3; empty: the line is taken
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
        {"not a gauge key at all", "file_1024=panel.bmp", ""},
        {"another window key", "window_size=1.0,1.0", ""},
        {"no gauge name", "gauge03=radio, 0, 0",
         "gauge03: expected MODULE!GAUGE, X, Y[, WIDTH[, HEIGHT]], not \"radio, 0, 0\""},
        {"no position", "gauge03=radio!tuneset",
         "gauge03: expected MODULE!GAUGE, X, Y[, WIDTH[, HEIGHT]], not \"radio!tuneset\""},
        {"too many numbers", "gauge03=radio!tuneset, 1, 2, 3, 4, 5",
         "gauge03: expected MODULE!GAUGE, X, Y[, WIDTH[, HEIGHT]], not \"radio!tuneset, 1, 2, 3, 4, 5\""},
        {"a letter for a digit", "gauge03=radio!tuneset, 1O, 2", "gauge03: the X \"1O\" is not a whole number"},
        {"a decimal width", "gauge03=radio!tuneset, 10, 2, 98.5", "gauge03: the WIDTH \"98.5\" is not a whole number"},
        {"an empty height", "gauge03=radio!tuneset, 10, 2, 98,", "gauge03: the HEIGHT \"\" is not a whole number"},
        {"no width", "gauge03=radio!tuneset, 10, 2, 0", "gauge03: a gauge's WIDTH and HEIGHT must be above 0"},
        {"a negative position is read", "gauge03=radio!tuneset, -10, 2", ""},
        {"no size", "size_mm=wide", "size_mm: expected WIDTH[,HEIGHT], whole numbers above 0, not \"wide\""},
    };
    for (const BadLine& c : cases) {
        std::string text = std::string("[Window00]\nsize_mm=640,480\n") + c.line + "\n";
        std::vector<PanelWindow> windows;
        std::vector<PanelProblem> problems;
        panelhost::read_panel_file(text, windows, problems);
        std::vector<std::string> expected;
        if (*c.problem)
            expected.push_back(std::string("3: ") + c.problem);
        EXPECT_EQ(problem_lines(problems), expected) << c.name;
    }
}

TEST(PanelFile, TwoGaugeLinesWithOneKeyAreOneTooMany)
{
    std::vector<PanelWindow> windows;
    std::vector<PanelProblem> problems;
    panelhost::read_panel_file("[Window00]\ngauge00=a!b,0,0\n\ngauge00=c!d,1,1\n[Window01]\ngauge00=e!f,2,2\n", windows,
                               problems);
    EXPECT_EQ(problem_lines(problems),
              std::vector<std::string>{"4: gauge00: a second line with this key in Window00 (the first is line 2)"});
    ASSERT_EQ(windows.size(), 2u);
    ASSERT_EQ(windows[0].gauges.size(), 1u) << "the first line of the key stays";
    EXPECT_EQ(windows[0].gauges[0].module, "a");
    EXPECT_EQ(windows[1].gauges.size(), 1u) << "another window may use the key again";
}

TEST(PanelFile, LinesOutsideAWindowSectionAreNotItsGauges)
{
    std::vector<PanelWindow> windows;
    std::vector<PanelProblem> problems;
    panelhost::read_panel_file("gauge00=a!b,0,0\n[Vcockpit01]\nguage00=c!d,1,1\n", windows, problems);
    EXPECT_TRUE(windows.empty());
    EXPECT_TRUE(problems.empty());
}

}  // namespace
