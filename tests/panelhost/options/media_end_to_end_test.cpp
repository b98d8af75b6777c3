// panelhost driving the media test gauge: the click and the songs over the simulated devices,
// the end of a song delivered by the host's message loop, and the media options.
#include "tests/support/panelhost_runner.h"
#include "tests/support/song_variants.h"
#include "tests/support/trace_lines.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using test_support::lines_with_prefix;
using test_support::run_panelhost;
using Lines = std::vector<std::string>;

std::string media_gauge()
{
    return test_support::out_dir() + "/test-gauges/media.so";
}

// A folder with song 1 as a wave file of 8-bit mono silence at 8000 samples a second, one second
// long unless told otherwise.
std::string folder_with_song1(std::uint32_t samples = 8000)
{
    std::string folder = test_support::make_temp_dir();
    std::filesystem::create_directories(folder + "/Sound");
    test_support::write_text_file(folder + "/Sound/song1.wav", test_support::silent_wave(samples));
    return folder;
}

TEST(PanelhostMedia, ASongRepeatsThroughTheMessageLoopUntilStopped)
{
    std::string folder = folder_with_song1();
    auto run = run_panelhost({"--cwd", folder, media_gauge(), "media"},
                             "click 10 10\nwait 1000\nframe 20\nclick 60 10\nwait 3000\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {
        "dsound volume -500",
        // the names that are not there are not rendered
        "dshow render \".\\Sound\\song1.wav\" -> 0x00000000",
    };
    Lines played = {
        // click: the click, the probes' graph stopped, a graph of the song's own
        "dsound play", "dshow stop", "dshow stop", "dshow render \".\\Sound\\song1.wav\" -> 0x00000000",
        "dshow run", "dshow volume -2000",
        "dshow rewind",   // after the wait: the first end
        "dshow rewind",   // 20 frames of 55 ms: the second end
        "dsound play", "dshow stop",
        "dshow stop",     // kill
    };
    expected.insert(expected.end(), played.begin(), played.end());
    EXPECT_LINES(expected, lines_with_prefix(run.lines(), {"dshow", "dsound", "msgbox", "exit"}));
}

TEST(PanelhostMedia, WithoutAMediaGraphNoSongIsInstalledAndTheHostGoesOn)
{
    std::string folder = folder_with_song1();
    auto run = run_panelhost({"--no-media-graph", "--cwd", folder, media_gauge(), "media"}, "click 10 10\nwait 2000\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {"dsound volume -500", "dsound play", "msgbox \"song1 not installed\" \"\" 0x0"};
    EXPECT_LINES(expected, lines_with_prefix(run.lines(), {"dshow", "dsound", "msgbox", "exit"}));
}

TEST(PanelhostMedia, WithoutASoundDeviceTheSongsPlayWithoutAClick)
{
    std::string folder = folder_with_song1();
    auto run = run_panelhost({"--no-sound-device", "--cwd", folder, media_gauge(), "media"}, "click 10 10\nwait 1000\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines actual = lines_with_prefix(run.lines(), {"dsound", "dshow run", "dshow rewind", "exit"});
    EXPECT_LINES((Lines{"dshow run", "dshow rewind"}), actual);
}

// A song of a millisecond, repeated, ends at a new instant every millisecond of the longest wait:
// the wait ends after 100000 of its ends, and the next command runs.
TEST(PanelhostMedia, ALongWaitOverAMillisecondSongEndsAfter100000Events)
{
    std::string folder = folder_with_song1(8);
    auto run = run_panelhost({"--cwd", folder, media_gauge(), "media"}, "click 10 10\nwait 1099511627776\necho after\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines lines = run.lines();
    Lines tail = lines_with_prefix(lines, {"warning clock", "echo"});
    Lines expected = {"warning clock: one wait served 100000 device events, the last by the media graph at 100000 ms; "
                      "the wait ends there, 1099511527776 ms short",
                      "echo after"};
    EXPECT_LINES(expected, tail);
    EXPECT_EQ(lines_with_prefix(lines, {"dshow rewind"}).size(), 100000u);
}

TEST(PanelhostMedia, TheMediaOptionsTakeNoValue)
{
    auto run = run_panelhost({"--no-media-graph=1", media_gauge(), "media"}, "");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("option --no-media-graph takes no value"), std::string::npos) << run.err;
}

}  // namespace
