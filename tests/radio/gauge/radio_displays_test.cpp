// The radio's displays through panelhost: which elements are hidden after install and on each
// pass, the values the icons and the needle take in each state, and the track display, which
// shows the drive's track and restarts a disc that has stopped.
#include "tests/radio/gauge/radio_bench.h"

#include <gtest/gtest.h>

namespace {

using namespace radio_bench;

const Lines THREE_SONGS = {"song1.wav", "song2.mp3", "song4.wma"};

TEST(RadioDisplays, HiddenBitsAfterInstallAndOnEachPass)
{
    struct Step {
        const char* name;
        std::string script;   // run before "elements"
        const char* hidden;
        const char* text;     // the track display's text
    };
    const Step steps[] = {
        {"after install, before any pass", "", DARK, "\"\""},
        {"the first pass, off", "frame\n", DARK, "\"  \""},
        // the digits follow the drive one pass late: the first pass after the start finds it playing
        {"power on in CD mode", std::string(POWER) + "frame\n", LIT, "\"01\""},
        {"the next pass", "frame\n", LIT_TRACK, "\"01\""},
        {"FM mode", std::string(MODE_FM) + "frame\n", LIT, "\"  \""},
        {"FM mode, the next pass", "frame\n", LIT, "\"  \""},
        {"back to CD mode", std::string(MODE_CD) + "frame\n", LIT, "\"01\""},
        {"back to CD mode, the next pass", "frame\n", LIT_TRACK, "\"01\""},
        // the pass that finds the drive stopped still shows the element, blank
        {"paused", std::string(PAUSE) + "frame\n", LIT_TRACK, "\"  \""},
        {"paused, the next pass", "frame\n", LIT, "\"  \""},
        {"power off", std::string(POWER) + "frame\n", DARK, "\"  \""},
    };
    std::string script;
    for (std::size_t i = 0; i < std::size(steps); ++i)
        script += steps[i].script + "echo step " + std::to_string(i) + "\nelements\necho done " + std::to_string(i) + "\n";
    auto run = run_radio(song_folder(THREE_SONGS), {}, script);
    ASSERT_EQ(run.status, 0) << run.err;
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(steps[i].name);
        auto elements = last_elements(lines_between(run.lines(), "step " + std::to_string(i), "done " + std::to_string(i)));
        EXPECT_EQ(steps[i].hidden, hidden_bits(elements));
        EXPECT_EQ(steps[i].text, elements[7].text);
    }
}

TEST(RadioDisplays, ValuesByState)
{
    struct ValueCase {
        const char* name;
        Lines options;
        std::string setup;
        // power light, station, preset indicator, mode indicator, needle, track
        Lines values;
        const char* text;
    };
    const ValueCase cases[] = {
        {"off after load", {}, "", {"0", "0", "6", "0", "-15000", "0"}, "\"  \""},
        {"off in FM mode with preset 2", {}, std::string(MODE_FM) + PRESET[2], {"0", "2", "1", "1", "-15000", "0"},
         "\"  \""},
        {"FM mode, preset 4", {}, std::string(MODE_FM) + PRESET[4] + POWER, {"1", "4", "3", "1", "-2000", "0"},
         "\"  \""},
        {"AM mode, preset 2", {}, std::string(MODE_AM) + PRESET[2] + POWER, {"1", "8", "1", "2", "-2000", "0"},
         "\"  \""},
        {"CD mode, preset 3: track 3 shows with its leading zero", {}, std::string(POWER) + PRESET[3] + "frame\n",
         {"1", "0", "6", "0", "-8000", "3"}, "\"03\""},
        {"CD mode, track 12", {"--cd-tracks", "12"}, std::string(POWER) + "frame\n" + PREV_TRACK + "frame\n",
         {"1", "0", "6", "0", "-8000", "12"}, "\"12\""},
        {"CD mode, preset 5 chosen in FM mode", {}, std::string(MODE_FM) + PRESET[5] + MODE_CD + POWER + "frame\n",
         {"1", "0", "6", "0", "-8000", "5"}, "\"05\""},
        {"the needle shows the CD line's volume", {}, std::string(POWER) + "hold 25 67 3\n",
         {"1", "0", "6", "0", "-7550", "1"}, "\"01\""},
    };
    std::string folder = song_folder(THREE_SONGS);
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto run = run_radio(folder, c.options, c.setup + "frame\nelements\n");
        ASSERT_EQ(run.status, 0) << run.err;
        auto elements = last_elements(run.lines());
        Lines actual;
        for (int index = 2; index <= 7; ++index)
            actual.push_back(elements[index].value);
        EXPECT_LINES(c.values, actual);
        EXPECT_EQ(c.text, elements[7].text);
    }
}

// The device lines of the pass after a disc ends, by state.
TEST(RadioDisplays, TheTrackDisplayRestartsAStoppedDiscOnlyWhenOnInCdModeAndNotPaused)
{
    const Lines MODE_QUERY = {"mci \"status cdaudio mode\" -> 0"};
    const Lines MEDIA_QUERY = {"mci \"status cdaudio media present\" -> 0"};
    struct EndCase {
        const char* name;
        Lines options;
        std::string setup;
        std::string ending;
        Lines expected;
    };
    const Lines SHORT_DISC = {"--cd-tracks", "3", "--cd-track-seconds", "10"};
    const EndCase cases[] = {
        {"on in CD mode: the disc ends by the clock", SHORT_DISC, std::string(POWER) + PRESET[3] + "frame\n",
         "wait 10000\n", join({MODE_QUERY, MEDIA_QUERY, cd_start(1)})},
        {"on in CD mode: the disc is finished", SHORT_DISC, std::string(POWER) + "frame\n", "cd finish\n",
         join({MODE_QUERY, MEDIA_QUERY, cd_start(1)})},
        {"paused: the drive is only asked", SHORT_DISC, std::string(POWER) + "frame\n" + PAUSE, "", MODE_QUERY},
        {"FM mode: the drive is only asked", SHORT_DISC, std::string(MODE_FM) + POWER + "frame\n", "", MODE_QUERY},
        {"off: the drive is only asked", SHORT_DISC, std::string(POWER) + "frame\n" + POWER, "", MODE_QUERY},
        {"no disc: every pass tries again, silently", {"--no-cd-disc"}, std::string(POWER) + "frame\n", "",
         join({MODE_QUERY, MEDIA_QUERY, cd_start_failing(1, 262, 262)})},
        {"the tray open: the display goes on trying", SHORT_DISC, std::string(POWER) + "frame\n" + DOOR, "",
         join({MODE_QUERY, MEDIA_QUERY, cd_start_failing(1, 262, 262)})},
        {"no drive: the media query fails and nothing starts", {"--no-cd-drive"}, std::string(POWER) + "frame\n", "",
         {"mci \"status cdaudio mode\" -> 263", "mci \"status cdaudio media present\" -> 263"}},
    };
    std::string folder = song_folder(THREE_SONGS);
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto run = run_radio(folder, c.options, c.setup + c.ending + "echo pass\nframe\necho end\n");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_LINES(c.expected, device_lines_between(run.lines(), "pass", "end"));
    }
}

// After the restart the disc plays from track 1 again, and the digits follow.
TEST(RadioDisplays, TheDiscRepeatsFromTrackOne)
{
    auto run = run_radio(song_folder({}), {"--cd-tracks", "3", "--cd-track-seconds", "10"},
                         std::string(POWER) + PRESET[3] + "echo playing\nframe\nelements\necho ended\nwait 10000\nframe\nelements\n"
                             "echo restarted\nframe\nelements\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines trace = run.lines();
    EXPECT_EQ("\"03\"", last_elements(lines_between(trace, "playing", "ended"))[7].text);   // before the end
    auto ended = last_elements(lines_between(trace, "ended", "restarted"));
    EXPECT_EQ("\"  \"", ended[7].text);
    EXPECT_EQ(0, ended[7].hidden) << "shown blank for the one pass that found the disc stopped";
    auto restarted = last_elements(trace);
    EXPECT_EQ("\"01\"", restarted[7].text);
    EXPECT_EQ("1", restarted[7].value);
}

}  // namespace
