// The radio's sixteen buttons through panelhost against the simulated drive, mixer and media
// devices: each handler in each state that changes what it does, its device calls and messages,
// and the state it leaves; the volume sweeps; the hot spots' boxes and tooltips.
#include "tests/radio/gauge/radio_bench.h"
#include "tests/support/song_variants.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace radio_bench;

// Songs 1, 2, 4, 5 and 6 in four formats; song 3 is missing.
const Lines SONGS = {"song1.wav", "song2.mp3", "song4.wma", "song5.mid", "song6.wav"};

// The radio on and playing, the track display having reported the first track or song.
const std::string ON_CD = std::string(POWER) + "frame\n";
const std::string ON_FM = std::string(MODE_FM) + POWER + "frame\n";
const std::string ON_AM = std::string(MODE_AM) + POWER + "frame\n";
const std::string PAUSED_CD = ON_CD + PAUSE;
const std::string PAUSED_FM = ON_FM + PAUSE;

// What the handler leaves, as the displays and the pause tooltip show it on the next pass.
struct State {
    int power;     // the power light's value
    int mode;      // the mode indicator's value
    int station;   // the station display's value
    int paused;    // the pause tooltip's insert
};

struct HandlerCase {
    const char* name;
    Lines options;
    std::string setup;
    std::string action;
    Lines expected;   // the device lines of the action
    State after;
};

void run_cases(const std::vector<HandlerCase>& cases)
{
    std::string folder = song_folder(SONGS);
    for (const HandlerCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string script = c.setup + "echo act\n" + c.action + "echo end\nframe\nelements\ntooltip " + PAUSE_AT + "\n";
        auto run = run_radio(folder, c.options, script);
        ASSERT_EQ(run.status, 0) << run.err;
        Lines trace = run.lines();
        EXPECT_LINES(c.expected, device_lines_between(trace, "act", "end"));

        auto elements = last_elements(trace);
        std::string pause_tooltip = last_line_with_prefix(trace, "tooltip");
        State actual{std::stoi(elements[2].value), std::stoi(elements[5].value), std::stoi(elements[3].value),
                     pause_tooltip == "tooltip \"Pause On/Off (on)\"" ? 1 : 0};
        EXPECT_EQ(c.after.power, actual.power) << "power";
        EXPECT_EQ(c.after.mode, actual.mode) << "mode";
        EXPECT_EQ(c.after.station, actual.station) << "station picture";
        EXPECT_EQ(c.after.paused, actual.paused) << "paused: " << pause_tooltip;
    }
}

const Lines NO_DISC = {"--no-cd-disc"};
// The simulated drive's codes: no readable disc, and a position the disc lacks.
constexpr unsigned HARDWARE = 262;
constexpr unsigned OUT_OF_RANGE = 282;

TEST(RadioControls, PowerButton)
{
    run_cases({
        {"off in CD mode: on, track 1", {}, "", POWER, join({click(), cd_start(1)}), {1, 0, 0, 0}},
        {"off in CD mode with preset 3: on, track 3", {}, PRESET[3], POWER, join({click(), cd_start(3)}), {1, 0, 0, 0}},
        {"off in CD mode, no disc: on, silently", NO_DISC, "", POWER,
         join({click(), cd_start_failing(1, HARDWARE, HARDWARE)}), {1, 0, 0, 0}},
        {"on in CD mode: off, the CD stops", {}, ON_CD, POWER, join({click(), cd_stop()}), {0, 0, 0, 0}},
        {"on in CD mode, paused: off and no longer paused", {}, PAUSED_CD, POWER, join({click(), cd_stop()}),
         {0, 0, 0, 0}},
        {"off in FM mode: on, song 1", {}, MODE_FM, POWER, join({click(), song_start("song1.wav")}), {1, 1, 1, 0}},
        {"off in AM mode with preset 5: on, song 5", {}, std::string(MODE_AM) + PRESET[5], POWER,
         join({click(), song_start("song5.mid")}), {1, 2, 11, 0}},
        {"off in FM mode with preset 3, no song 3: on all the same", {}, std::string(MODE_FM) + PRESET[3], POWER,
         join({click(), song_missing(3)}), {1, 1, 3, 0}},
        {"on in FM mode: off, the music stops", {}, ON_FM, POWER, join({click(), music_stop()}), {0, 1, 1, 0}},
    });
}

TEST(RadioControls, DoorButton)
{
    run_cases({
        {"off: nothing", {}, "", DOOR, {}, {0, 0, 0, 0}},
        {"on in CD mode: stop, then open the tray; no click", {}, ON_CD, DOOR,
         {"mci-command 0x808 0x0 -> 0", "mci-command 0x80d 0x100 -> 0"}, {1, 0, 0, 0}},
        {"on in CD mode, tray open: close it", {}, ON_CD + DOOR, DOOR, {"mci-command 0x80d 0x200 -> 0"}, {1, 0, 0, 0}},
        {"on in CD mode, tray open and closed: open it again", {}, ON_CD + DOOR + DOOR, DOOR,
         {"mci-command 0x808 0x0 -> 0", "mci-command 0x80d 0x100 -> 0"}, {1, 0, 0, 0}},
        {"on in FM mode: nothing", {}, ON_FM, DOOR, {}, {1, 1, 1, 0}},
        {"on in FM mode, paused: no longer paused", {}, PAUSED_FM, DOOR, {}, {1, 1, 1, 0}},
        {"on in CD mode, paused: opens and unpauses", {}, PAUSED_CD, DOOR,
         {"mci-command 0x808 0x0 -> 0", "mci-command 0x80d 0x100 -> 0"}, {1, 0, 0, 0}},
    });
}

TEST(RadioControls, ModeButtons)
{
    run_cases({
        {"CD while off in FM mode: the mode only", {}, MODE_FM, MODE_CD, join({click(), music_stop()}), {0, 0, 0, 0}},
        {"CD while on in FM mode with preset 2: track 2", {}, ON_FM + PRESET[2], MODE_CD,
         join({click(), music_stop(), cd_start(2)}), {1, 0, 0, 0}},
        {"CD while on in FM mode, no disc: reported", NO_DISC, ON_FM, MODE_CD,
         join({click(), music_stop(), cd_start_failing(1, HARDWARE, HARDWARE), cd_missing()}), {1, 0, 0, 0}},
        {"CD while on and paused in CD mode: starts the preset's track", {}, PAUSED_CD, MODE_CD,
         join({click(), music_stop(), cd_start(1)}), {1, 0, 0, 0}},
        {"FM while off in CD mode: the mode and station only", {}, PRESET[4], MODE_FM,
         join({click(), cd_stop(), music_stop()}), {0, 1, 4, 0}},
        {"FM while on in CD mode: song 1", {}, ON_CD, MODE_FM,
         join({click(), cd_stop(), music_stop(), song_start("song1.wav")}), {1, 1, 1, 0}},
        {"FM while on with preset 3, no song 3: reported", {}, ON_CD + PRESET[3], MODE_FM,
         join({click(), cd_stop(), music_stop(), song_missing(3)}), {1, 1, 3, 0}},
        {"AM while on in CD mode with preset 5: song 5, station 11", {}, ON_CD + PRESET[5], MODE_AM,
         join({click(), cd_stop(), music_stop(), song_start("song5.mid")}), {1, 2, 11, 0}},
        {"FM after AM keeps preset 5: station 5, song 5 from its start", {}, ON_AM + PRESET[5], MODE_FM,
         join({click(), cd_stop(), music_stop(), song_start("song5.mid")}), {1, 1, 5, 0}},
        {"AM while paused in FM mode: plays and unpauses", {}, PAUSED_FM, MODE_AM,
         join({click(), cd_stop(), music_stop(), song_start("song1.wav")}), {1, 2, 7, 0}},
    });
}

TEST(RadioControls, PresetButtons)
{
    run_cases({
        {"off in CD mode: records the choice", {}, "", PRESET[4], join({click(), music_stop()}), {0, 0, 0, 0}},
        {"off in AM mode: the station moves", {}, MODE_AM, PRESET[2], join({click(), music_stop()}), {0, 2, 8, 0}},
        {"on in CD mode: the button's track", {}, ON_CD, PRESET[4], join({click(), music_stop(), cd_start(4)}),
         {1, 0, 0, 0}},
        {"on in CD mode, no disc: reported", NO_DISC, ON_CD, PRESET[2],
         join({click(), music_stop(), cd_start_failing(2, HARDWARE, HARDWARE), cd_missing()}), {1, 0, 0, 0}},
        {"on in CD mode, a track the disc lacks: falls back to track 1, not reported", {"--cd-tracks", "4"}, ON_CD,
         PRESET[6], join({click(), music_stop(), cd_start_failing(6, OUT_OF_RANGE, 0)}), {1, 0, 0, 0}},
        {"on in FM mode: the button's song", {}, ON_FM, PRESET[4],
         join({click(), music_stop(), song_start("song4.wma")}), {1, 1, 4, 0}},
        {"on in FM mode, no song 3: reported, the station moves", {}, ON_FM, PRESET[3],
         join({click(), music_stop(), song_missing(3)}), {1, 1, 3, 0}},
        {"on in AM mode: station 12, song 6", {}, ON_AM, PRESET[6],
         join({click(), music_stop(), song_start("song6.wav")}), {1, 2, 12, 0}},
        {"the same preset twice restarts its song", {}, ON_FM + PRESET[2], PRESET[2],
         join({click(), music_stop(), song_start("song2.mp3")}), {1, 1, 2, 0}},
        {"the same preset twice restarts its track", {}, ON_CD + PRESET[2], PRESET[2],
         join({click(), music_stop(), cd_start(2)}), {1, 0, 0, 0}},
        {"on in FM mode, paused: plays and unpauses", {}, PAUSED_FM, PRESET[5],
         join({click(), music_stop(), song_start("song5.mid")}), {1, 1, 5, 0}},
    });
}

TEST(RadioControls, TrackButtons)
{
    // Track 5 playing and reported by the display.
    const std::string ON_TRACK_5 = ON_CD + PRESET[5] + "frame\n";
    run_cases({
        {"previous while off: the click only", {}, "", PREV_TRACK, click(), {0, 0, 0, 0}},
        {"next while on in FM mode: the click only", {}, ON_FM, NEXT_TRACK, click(), {1, 1, 1, 0}},
        {"previous on track 5: track 4", {}, ON_TRACK_5, PREV_TRACK, join({click(), cd_start(4)}), {1, 0, 0, 0}},
        {"next on track 5: track 6", {}, ON_TRACK_5, NEXT_TRACK, join({click(), cd_start(6)}), {1, 0, 0, 0}},
        {"previous on track 1: the disc's last track", {}, ON_CD, PREV_TRACK,
         join({click(), cd_start_last(12)}),
         {1, 0, 0, 0}},
        {"next on the last track: track 1", {"--cd-tracks", "3"}, ON_CD + PRESET[3] + "frame\n", NEXT_TRACK,
         join({click(), cd_start_failing(4, OUT_OF_RANGE, 0)}), {1, 0, 0, 0}},
        {"previous before any track was reported: 4294967295, so track 1", {}, POWER, PREV_TRACK,
         join({click(), cd_start_failing(4294967295u, OUT_OF_RANGE, 0)}), {1, 0, 0, 0}},
        {"next with no disc: reported", NO_DISC, ON_CD, NEXT_TRACK,
         join({click(), cd_start_failing(1, HARDWARE, HARDWARE), cd_missing()}), {1, 0, 0, 0}},
        {"next while paused in CD mode: plays and unpauses", {}, PAUSED_CD, NEXT_TRACK,
         join({click(), cd_start(2)}), {1, 0, 0, 0}},
        {"previous while paused in FM mode: unpauses only", {}, PAUSED_FM, PREV_TRACK, click(), {1, 1, 1, 0}},
    });
}

TEST(RadioControls, PauseButton)
{
    run_cases({
        {"off: the click only", {}, "", PAUSE, click(), {0, 0, 0, 0}},
        {"on in CD mode: the CD stops", {}, ON_CD, PAUSE, join({click(), cd_stop()}), {1, 0, 0, 1}},
        {"paused in CD mode: the reported track from its start", {}, ON_CD + PRESET[4] + "frame\n" + PAUSE, PAUSE,
         join({click(), cd_start(4)}), {1, 0, 0, 0}},
        {"paused before any track was reported: track 0, the last", {}, std::string(POWER) + PAUSE, PAUSE,
         join({click(), cd_start_last(12)}),
         {1, 0, 0, 0}},
        {"paused in CD mode, the disc gone: resumes silently", {}, PAUSED_CD + "cd eject\n", PAUSE,
         join({click(), cd_start_failing(1, HARDWARE, HARDWARE)}), {1, 0, 0, 0}},
        {"on in FM mode: the music stops", {}, ON_FM, PAUSE, join({click(), music_stop()}), {1, 1, 1, 1}},
        {"paused in FM mode: the song from its start", {}, PAUSED_FM, PAUSE, join({click(), song_start("song1.wav")}),
         {1, 1, 1, 0}},
        {"paused in AM mode, no song 3: reported, unpaused", {}, ON_AM + PRESET[3] + PAUSE, PAUSE,
         join({click(), song_missing(3)}), {1, 2, 9, 0}},
    });
}

// ---- the volume buttons: one step of 150 a call while held, never a click ----

struct SweepCase {
    const char* name;
    std::string setup;
    const char* button;
    int presses;
    Lines expected;       // the values applied, one line each
    std::string needle;   // the needle's value afterwards
};

// The music player's volume lines from `from`, `steps` steps of `step`, clamped as applied.
Lines music_volumes(int from, int step, int steps)
{
    Lines lines;
    for (int k = 1; k <= steps; ++k) {
        int value = std::clamp(from + k * step, -10000, 0);
        lines.push_back("dshow volume " + std::to_string(value));
    }
    return lines;
}

// The CD line's levels for a control of `low` to `high`: the volume as a percentage, clamped,
// of the span above the minimum.
Lines mixer_levels(int from, int step, int steps, long long low = 0, long long high = 65535)
{
    Lines lines;
    for (int k = 1; k <= steps; ++k) {
        int percent = std::clamp((from + k * step + 10000) / 100, 0, 100);
        lines.push_back("mixer-set " + std::to_string(low + percent * (high - low) / 100));
    }
    return lines;
}

TEST(RadioControls, VolumeSweepsStopOneStepPastEachEnd)
{
    std::string folder = song_folder(SONGS);
    const SweepCase cases[] = {
        // 14 steps up from -2000 reach +100 (applied as 0); the 15th press does nothing
        {"music up from -2000", ON_FM, VOLUME_UP_AT, 15, music_volumes(-2000, 150, 14), "100"},
        // 54 steps down reach -10100 (applied as -10000); the 55th does nothing
        {"music down from -2000", ON_FM, VOLUME_DOWN_AT, 55, music_volumes(-2000, -150, 54), "-10100"},
        {"CD line down from -8000", ON_CD, VOLUME_DOWN_AT, 15, mixer_levels(-8000, -150, 14), "-10100"},
        {"CD line up from -8000", ON_CD, VOLUME_UP_AT, 55, mixer_levels(-8000, 150, 54), "100"},
        // the buttons work with the power off, on the source of the current mode
        {"power off, CD mode", "", VOLUME_DOWN_AT, 2, {"mixer-set 11796", "mixer-set 11140"}, "-15000"},
    };
    for (const SweepCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string script = c.setup + "echo act\nhold " + c.button + " " + std::to_string(c.presses) +
                             "\necho end\nframe\nelements\n";
        auto run = run_radio(folder, {}, script);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_LINES(c.expected, device_lines_between(run.lines(), "act", "end"));
        EXPECT_EQ(c.needle, last_elements(run.lines())[6].value) << "the needle";
    }
}

// A control whose range starts above 0: install sets 20 percent above the minimum, the bottom
// of the sweep silences the line at the minimum and the top reaches the maximum.
TEST(RadioControls, TheCdLineSweepsAControlRangeThatStartsAboveZero)
{
    const std::vector<std::string> range = {"--mixer-range", "100:65535"};
    auto run = run_radio(song_folder(SONGS), range,
                         ON_CD + "echo down\nhold " + VOLUME_DOWN_AT + " 15\necho up\nhold " + VOLUME_UP_AT +
                             " 69\necho end\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines mixer = test_support::lines_with_prefix(run.lines(), {"mixer-set"});
    ASSERT_FALSE(mixer.empty());
    EXPECT_EQ("mixer-set 13187", mixer.front()) << "install";
    Lines down = mixer_levels(-8000, -150, 14, 100, 65535);
    EXPECT_LINES(down, device_lines_between(run.lines(), "down", "up"));
    EXPECT_EQ("mixer-set 100", down.back());
    Lines up = mixer_levels(-10100, 150, 68, 100, 65535);
    EXPECT_LINES(up, device_lines_between(run.lines(), "up", "end"));
    EXPECT_EQ("mixer-set 65535", up.back());
}

// A song whose data chunk holds no samples ends as soon as it starts: it plays once, and the
// radio stays responsive instead of rewinding it without end.
TEST(RadioControls, ASongWithoutSamplesPlaysOnceAndTheWaitReturns)
{
    std::string folder = song_folder({"song2.wav"});
    test_support::write_text_file(folder + "/Sound/song1.wav", test_support::silent_wave(0));
    auto run = run_radio(folder, {}, ON_FM + "echo act\nwait 1000\n" + PRESET[2] + "echo end\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test_support::lines_with_prefix(run.lines(), {"dshow rewind", "warning"}), Lines{});
    EXPECT_LINES(join({click(), music_stop(), song_start("song2.wav")}), device_lines_between(run.lines(), "act", "end"));
}

// With the power off nothing plays: the player keeps the volume for the next song.
TEST(RadioControls, TheMusicVolumeSetWhileOffPlaysWithTheNextSong)
{
    auto run = run_radio(song_folder(SONGS), {},
                         std::string(MODE_AM) + "echo act\nhold " + VOLUME_UP_AT + " 2\n" + POWER + "echo end\nframe\nelements\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_LINES(join({click(), song_start("song1.wav", -1700)}), device_lines_between(run.lines(), "act", "end"));
    EXPECT_EQ("-1700", last_elements(run.lines())[6].value);
}

TEST(RadioControls, TheVolumeButtonsActOnTheSourceOfTheMode)
{
    std::string folder = song_folder(SONGS);
    // Down twice in FM mode, then once in CD mode: each source keeps its own volume.
    auto run = run_radio(folder, {},
                         ON_FM + "hold " + VOLUME_DOWN_AT + " 2\n" + MODE_CD + "echo act\nhold " + VOLUME_DOWN_AT +
                             " 1\necho end\n" + MODE_FM + "frame\nelements\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_LINES((Lines{"mixer-set 11796"}), device_lines_between(run.lines(), "act", "end"));
    EXPECT_EQ("-2300", last_elements(run.lines())[6].value);
}

// ---- the hot spots: boxes, cursors' neighbours and tooltips ----

TEST(RadioControls, TooltipsCarryTheStateThroughTheirThreeArguments)
{
    struct TooltipCase {
        const char* name;
        std::string setup;
        std::string at;
        std::string expected;
    };
    const TooltipCase cases[] = {
        {"power, off", "", POWER_AT, "tooltip \"Power On/Off (off)\""},
        {"power, on", POWER, POWER_AT, "tooltip \"Power On/Off (on)\""},
        {"pause, not paused", POWER, PAUSE_AT, "tooltip \"Pause On/Off (off)\""},
        {"pause, paused", std::string(POWER) + PAUSE, PAUSE_AT, "tooltip \"Pause On/Off (on)\""},
        {"pause, off", std::string(POWER) + PAUSE + POWER, PAUSE_AT, "tooltip \"Pause On/Off (off)\""},
        {"preset 1 in CD mode", "", "162 123", "tooltip \"CD Player Track 1\""},
        {"preset 4 in FM mode", MODE_FM, "264 123", "tooltip \"FM Radio Preset 4\""},
        {"preset 6 in AM mode", MODE_AM, "333 123", "tooltip \"AM Radio Preset 6\""},
        {"door", "", "31 24", "tooltip \"Open/Close CD Door\""},
        {"mode CD", "", "442 59", "tooltip \"Mode Select - CD Player\""},
        {"mode FM", "", "442 82", "tooltip \"Mode Select - FM Radio\""},
        {"mode AM", "", "442 105", "tooltip \"Mode Select - AM Radio\""},
        {"volume down", "", VOLUME_DOWN_AT, "tooltip \"Decrease Volume Level\""},
        {"volume up", "", VOLUME_UP_AT, "tooltip \"Increase Volume Level\""},
        {"previous track", "", "364 123", "tooltip \"Previous CD Track\""},
        {"next track", "", "388 123", "tooltip \"Next CD Track\""},
    };
    std::string folder = song_folder({});
    for (const TooltipCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto run = run_radio(folder, {}, c.setup + "tooltip " + c.at + "\n");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(c.expected, last_line_with_prefix(run.lines(), "tooltip"));
    }
}

// The preset children tile x 145 to 351 without overlap, although the parent boxes of presets 2
// to 5 reach into their right neighbours'; x 144 and y 84 belong to no hot spot.
TEST(RadioControls, TheHotSpotBoxesMeetWhereTheirEdgesSay)
{
    struct Point {
        const char* at;
        const char* expected;
    };
    const Point points[] = {
        {"144 120", "tooltip none"},
        {"145 120", "tooltip \"CD Player Track 1\""}, {"180 120", "tooltip \"CD Player Track 1\""},
        {"181 120", "tooltip \"CD Player Track 2\""}, {"214 120", "tooltip \"CD Player Track 2\""},
        {"215 120", "tooltip \"CD Player Track 3\""}, {"248 120", "tooltip \"CD Player Track 3\""},
        {"249 120", "tooltip \"CD Player Track 4\""}, {"280 120", "tooltip \"CD Player Track 4\""},
        {"281 120", "tooltip \"CD Player Track 5\""}, {"315 120", "tooltip \"CD Player Track 5\""},
        {"316 120", "tooltip \"CD Player Track 6\""}, {"351 120", "tooltip \"CD Player Track 6\""},
        {"352 120", "tooltip \"Previous CD Track\""}, {"375 120", "tooltip \"Previous CD Track\""},
        {"376 120", "tooltip \"Next CD Track\""}, {"399 120", "tooltip \"Next CD Track\""},
        {"143 120", "tooltip \"Pause On/Off (off)\""}, {"120 100", "tooltip \"Pause On/Off (off)\""},
        {"25 83", "tooltip \"Increase Volume Level\""}, {"25 84", "tooltip none"},
        {"25 85", "tooltip \"Decrease Volume Level\""}, {"25 118", "tooltip \"Decrease Volume Level\""},
        {"25 119", "tooltip none"},
        {"409 0", "tooltip none"}, {"410 0", "tooltip \"Power On/Off (off)\""},
        {"475 45", "tooltip \"Power On/Off (off)\""}, {"62 47", "tooltip \"Open/Close CD Door\""},
        {"407 59", "tooltip none"}, {"475 116", "tooltip \"Mode Select - AM Radio\""},
    };
    std::string script;
    for (const Point& point : points)
        script += std::string("tooltip ") + point.at + "\n";
    auto run = run_radio(song_folder({}), {}, script);
    ASSERT_EQ(run.status, 0) << run.err;
    Lines tooltips = test_support::lines_with_prefix(run.lines(), {"tooltip"});
    ASSERT_EQ(tooltips.size(), std::size(points));
    for (std::size_t i = 0; i < std::size(points); ++i)
        EXPECT_EQ(points[i].expected, tooltips[i]) << "at " << points[i].at;
}

// A click on the boundary column between two presets reaches the right-hand one.
TEST(RadioControls, AClickOnAnOverlapReachesTheChildThatHoldsIt)
{
    auto run = run_radio(song_folder({}), {}, std::string(POWER) + "frame\necho act\nclick 215 120\nclick 214 120\necho end\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = join({click(), music_stop(), cd_start(3), click(), music_stop(), cd_start(2)});
    EXPECT_LINES(expected, device_lines_between(run.lines(), "act", "end"));
}

}  // namespace
