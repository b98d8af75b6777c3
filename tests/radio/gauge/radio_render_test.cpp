// The radio drawn by panelhost with its own bitmaps: dark when off, the station picture and the
// lit indicators when on, the track digits only while the disc plays in CD mode.
#include "panelhost/host/bitmap.h"
#include "tests/radio/gauge/radio_bench.h"
#include "tests/support/bitmap_file.h"
#include "tests/support/png_picture.h"

#include <gtest/gtest.h>

namespace {

using namespace radio_bench;

using test_support::Picture;
using test_support::read_png;

panelhost::Bitmap read_bitmap(int id)
{
    return test_support::read_bitmap_file(std::string(RADIO_RESOURCE_DIR) + "/bitmap_" + std::to_string(id) + ".bmp");
}

struct Box {
    int x, y, width, height;
};

// How many pixels of the box differ between two renders.
int differing(const Picture& a, const Picture& b, Box box)
{
    int count = 0;
    for (int y = box.y; y < box.y + box.height; ++y)
        for (int x = box.x; x < box.x + box.width; ++x)
            count += a.at(x, y) != b.at(x, y);
    return count;
}

const Box STATION = {136, 58, 202, 43};
const Box TRACK = {225, 65, 40, 32};
const Box WHOLE = {0, 0, 476, 147};

// Renders after each named script piece, in order.
std::vector<Picture> renders(const Lines& options, const std::vector<std::string>& pieces)
{
    std::string folder = song_folder({"song4.wav"});
    std::string script;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        script += pieces[i] + "render " + folder + "/" + std::to_string(i) + ".png\n";
    auto run = run_radio(folder, options, script);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test_support::lines_with_prefix(run.lines(), {"warning bitmap"}), Lines{}) << "every bitmap is there";
    std::vector<Picture> pictures;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        pictures.push_back(read_png(folder + "/" + std::to_string(i) + ".png"));
        EXPECT_EQ(pictures.back().width, 476);
        EXPECT_EQ(pictures.back().height, 147);
    }
    return pictures;
}

TEST(RadioRender, OffTheFrontShowsOnlyTheBackgroundAndTheNeedle)
{
    auto pictures = renders({}, {"frame\n"});
    ASSERT_EQ(pictures.size(), 1u);
    panelhost::Bitmap background = read_bitmap(4096);
    ASSERT_EQ(background.width, 476);
    // far from the needle every pixel is the background's own
    int changed = 0;
    for (int y = 0; y < 147; ++y)
        for (int x = 120; x < 476; ++x)
            changed += pictures[0].at(x, y) != background.pixels[std::size_t(y) * 476 + std::size_t(x)];
    EXPECT_EQ(changed, 0);
}

TEST(RadioRender, OnInFmModeTheStationPictureShows)
{
    auto pictures = renders({}, {std::string(MODE_FM) + PRESET[4] + POWER + "frame 2\n"});
    ASSERT_EQ(pictures.size(), 1u);
    panelhost::Bitmap station = read_bitmap(12288 + 4);   // FM 104
    ASSERT_EQ(station.width, STATION.width);
    int drawn = 0, wrong = 0;
    for (int y = 0; y < station.height; ++y)
        for (int x = 0; x < station.width; ++x) {
            std::uint32_t colour = station.pixels[std::size_t(y) * std::size_t(station.width) + std::size_t(x)];
            if (colour == 0)
                continue;   // transparent
            ++drawn;
            wrong += pictures[0].at(STATION.x + x, STATION.y + y) != colour;
        }
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(wrong, 0) << "of " << drawn << " station pixels";
}


// The power light has one picture and shows it while the power is on, whatever its value (1).
TEST(RadioRender, OnThePowerLightShowsItsBadge)
{
    std::string folder = song_folder({});
    auto run = run_radio(folder, {}, std::string(POWER) + "frame 2\nrender " + folder + "/on.png\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test_support::lines_with_prefix(run.lines(), {"warning element"}), Lines{});
    Picture on = read_png(folder + "/on.png");
    ASSERT_EQ(on.width, 476);
    panelhost::Bitmap light = read_bitmap(13568);
    ASSERT_GT(light.width, 0);
    int drawn = 0, wrong = 0;
    for (int y = 0; y < light.height; ++y)
        for (int x = 0; x < light.width; ++x) {
            std::uint32_t colour = light.pixels[std::size_t(y) * std::size_t(light.width) + std::size_t(x)];
            if (colour == 0)
                continue;   // transparent
            ++drawn;
            wrong += on.at(378 + x, 59 + y) != colour;
        }
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(wrong, 0) << "of " << drawn << " light pixels";
}
// The digits appear one pass after the disc starts, vanish with a pause, and the rest of the
// front stays as it was.
TEST(RadioRender, TheTrackDigitsShowOnlyWhileTheDiscPlays)
{
    auto pictures = renders({}, {std::string(POWER) + PRESET[3] + "frame\n", "frame\n", std::string(PAUSE) + "frame 2\n"});
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_GT(differing(pictures[0], pictures[1], TRACK), 20) << "the digits 03 drawn";
    EXPECT_EQ(differing(pictures[0], pictures[2], TRACK), 0) << "paused: no digits";
    EXPECT_EQ(differing(pictures[0], pictures[1], WHOLE), differing(pictures[0], pictures[1], TRACK))
        << "nothing else changed";
}

}  // namespace
