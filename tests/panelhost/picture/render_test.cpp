// Drawing: the needle's geometry, and pictures of the probe gauges read back pixel by pixel.
#include "panelhost/picture/render.h"
#include "tests/support/panelhost_runner.h"
#include "tests/support/png_picture.h"
#include "tests/support/trace_lines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

namespace {

constexpr double PI = 3.14159265358979323846;

// The radio's volume needle table: pivot (83, 84).
NONLINEARITY volume_table[] = {
    {{61, 107}, -15000}, {{52, 84}, -10000}, {{84, 53}, -5000}, {{116, 84}, 0},
};

TEST(NeedleGeometry, InterpolatesBetweenRowsAndHoldsTheEndsBeyondTheTable)
{
    struct Case {
        const char* name;
        double value;
        double x, y;
    } cases[] = {
        {"first row", -15000, 61, 107},
        {"a row inside", -5000, 84, 53},
        {"half way between two rows", -7500, 68, 68.5},
        {"last row", 0, 116, 84},
        {"one step above the top", 100, 116, 84},
        {"one step below silence", -10100, 52.0 + 0.02 * 9, 84.0 + 0.02 * 23},
        {"below the table", -20000, 61, 107},
    };
    for (const Case& c : cases) {
        panelhost::NeedleTarget target = panelhost::needle_target(volume_table, 4, c.value);
        EXPECT_NEAR(target.x, c.x, 1e-9) << c.name;
        EXPECT_NEAR(target.y, c.y, 1e-9) << c.name;
    }
}

TEST(NeedleGeometry, TurnsTowardTheTargetOrByDegreesWithoutATable)
{
    ELEMENT_NEEDLE needle{};
    needle.header.position = {83, 84};
    needle.nonlinearity = volume_table;
    needle.nonlinearity_count = 4;
    EXPECT_NEAR(panelhost::needle_angle(needle, 0), 0.0, 1e-9) << "right";
    EXPECT_NEAR(panelhost::needle_angle(needle, -5000), std::atan2(-31.0, 1.0), 1e-9) << "up";
    EXPECT_NEAR(std::fabs(panelhost::needle_angle(needle, -10000)), PI, 1e-9) << "left";
    ELEMENT_NEEDLE knob{};
    EXPECT_NEAR(panelhost::needle_angle(knob, 90), PI / 2, 1e-9) << "a quarter turn clockwise";
}

TEST(Fonts, WindowsFacesAreServedByMetricCompatibleFreeFonts)
{
    EXPECT_EQ(panelhost::font_file("Courier New", 400), "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf");
    EXPECT_EQ(panelhost::font_file("Courier New", 700), "/usr/share/fonts/truetype/liberation/LiberationMono-Bold.ttf");
    EXPECT_EQ(panelhost::font_file("Arial", 400), "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf");
    EXPECT_EQ(panelhost::font_file(nullptr, 400), "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf");
}

using test_support::Picture;
using test_support::read_png;

std::string probe()
{
    return test_support::out_dir() + "/test-gauges/probe.so";
}

constexpr std::uint32_t BACKGROUND = 0xC86432, GREEN = 0x0AC80A, BLUE = 0x0A0AC8, WHITE = 0xFAFAFA;

TEST(Render, DrawsVisibleElementsInTreeOrderAtTheBackgroundsSize)
{
    std::string dir = test_support::make_temp_dir();
    auto run = test_support::run_panelhost(
        {probe(), "probe610"},
        "render " + dir + "/before.png\nvar 200 1\nframe\nrender " + dir + "/after.png\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Picture before = read_png(dir + "/before.png");
    Picture after = read_png(dir + "/after.png");
    ASSERT_EQ(before.width, 200);
    ASSERT_EQ(before.height, 100);
    EXPECT_EQ(before.at(0, 0), BACKGROUND);
    EXPECT_EQ(before.at(25, 25), GREEN) << "icon value 0: its first picture";
    EXPECT_EQ(after.at(25, 25), BLUE) << "icon value 1: the picture with the next resource id";
    EXPECT_EQ(after.at(25, 31), BLUE) << "the second picture is 12 pixels high";
    // The needle (pivot (100, 50), a 20 x 4 bar pointing right) has no table: value 42.5 turns it
    // 42.5 degrees clockwise once the first update has run.
    EXPECT_EQ(before.at(110, 51), WHITE) << "before any update the needle points right";
    double angle = 42.5 * PI / 180;
    int x = static_cast<int>(100.5 + 12 * std::cos(angle)), y = static_cast<int>(50.5 + 12 * std::sin(angle));
    EXPECT_EQ(after.at(x, y), WHITE) << "at (" << x << ", " << y << ")";
    EXPECT_EQ(after.at(112, 51), BACKGROUND) << "turned away from the right";
}

TEST(Render, HiddenElementsAreNotDrawnAndMissingPicturesAreReported)
{
    std::string dir = test_support::make_temp_dir();
    auto run = test_support::run_panelhost({probe(), "probe700"},
                                           "var 202 2\nframe\nrender " + dir + "/two.png\n"
                                           "var 202 3\nframe\nrender " + dir + "/three.png\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Picture two = read_png(dir + "/two.png");
    Picture three = read_png(dir + "/three.png");
    ASSERT_EQ(two.width, 200);
    // element c (hidden, at (1, 1)) would be green
    EXPECT_EQ(two.at(1, 1), BACKGROUND);
    // element a (at (2, 2), pictures from bitmap 10): the module has no bitmap 12, so its third
    // picture is its third bitmap from 10 on, id 20 (white, 20 x 4)
    EXPECT_EQ(two.at(5, 3), WHITE);
    // value 3 lies beyond its three pictures: nothing is drawn, and the trace says so
    EXPECT_EQ(three.at(5, 3), BACKGROUND);
    auto warnings = test_support::lines_with_prefix(run.lines(), {"warning element"});
    std::vector<std::string> expected = {"warning element 1: icon has no picture for value 3"};
    EXPECT_LINES(expected, warnings);
}

TEST(Render, HotSpotsAreOutlinedOverTheGauge)
{
    std::string dir = test_support::make_temp_dir();
    auto run = test_support::run_panelhost({probe(), "probe610"},
                                           "render " + dir + "/plain.png\nrender " + dir + "/spots.png --hotspots\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Picture plain = read_png(dir + "/plain.png");
    Picture spots = read_png(dir + "/spots.png");
    // the first hot spot's box runs from (10, 10) to (29, 49): its lower edge is outlined
    EXPECT_EQ(plain.at(20, 49), BACKGROUND);
    EXPECT_NE(spots.at(20, 49), BACKGROUND);
    EXPECT_EQ(spots.at(20, 40), BACKGROUND) << "inside the box, below its label";
}

TEST(Render, AFileThatCannotBeWrittenStopsTheRun)
{
    auto run = test_support::run_panelhost({probe(), "probe610"}, "render /nonexistent-folder/x.png\necho after\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("panelhost: script line 1: render: cannot write /nonexistent-folder/x.png", 0), 0u)
        << run.err;
    EXPECT_EQ(run.out.find("echo after"), std::string::npos);
}

TEST(Render, APictureEncodedInMemoryIsThePngFileOfIt)
{
    panelhost::Canvas canvas(5, 3);
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            canvas.put(x, y, std::uint32_t(x * 50) << 16 | std::uint32_t(y * 120) << 8 | std::uint32_t(x + y));
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(panelhost::encode_png(canvas, bytes, error)) << error;

    Picture decoded = test_support::decode_png(bytes.data(), bytes.size());
    ASSERT_EQ(decoded.width, 5);
    ASSERT_EQ(decoded.height, 3);
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            EXPECT_EQ(decoded.at(x, y), canvas.get(x, y)) << "at (" << x << ", " << y << ")";

    std::string path = test_support::make_temp_dir() + "/picture.png";
    ASSERT_TRUE(panelhost::write_png(canvas, path, error)) << error;
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> written((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, written) << "the bytes in memory are those of the file";
}

TEST(Render, AnEmptyPictureDoesNotEncode)
{
    panelhost::Canvas canvas(0, 0);
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(panelhost::encode_png(canvas, bytes, error));
    EXPECT_EQ(error.rfind("cannot encode the picture as PNG: ", 0), 0u) << error;
    EXPECT_TRUE(bytes.empty());
}

}  // namespace
