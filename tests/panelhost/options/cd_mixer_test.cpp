// panelhost's CD drive and mixer options and cd commands, watched through the tests' own CD probe
// gauge, which opens, plays, asks and closes as the radio does.
#include "tests/support/panelhost_runner.h"
#include "tests/support/trace_lines.h"

#include <gtest/gtest.h>

namespace {

using test_support::join;
using test_support::lines_with_prefix;
using test_support::run_panelhost;
using Lines = std::vector<std::string>;

std::vector<std::string> with_probe(std::vector<std::string> options)
{
    options.push_back(test_support::out_dir() + "/test-gauges/cdprobe.so");
    options.push_back("cdprobe");
    return options;
}

// the probe's hot spots
const char* PLAY_LAST = "click 5 5\n";
const char* PLAY_FIRST = "click 15 5\n";
const char* ASK = "click 25 5\n";
const char* FULL_VOLUME = "click 45 5\n";

const Lines PLAY_SETUP = {"mci \"stop cdaudio\" -> 0", "mci \"close cdaudio\" -> 0", "mci \"open cdaudio\" -> 0",
                          "mci \"set cdaudio time format tmsf\" -> 0"};

// What the ask hot spot traces: the two status questions and their answers as key events.
Lines asked(int playing, int track)
{
    return {"mci \"status cdaudio mode\" -> 0", "key 0x40001 " + std::to_string(playing),
            "mci \"status cdaudio current track\" -> 0", "key 0x40002 " + std::to_string(track)};
}

TEST(PanelhostCdMixer, InstallAndKillWithTheDefaultDrivesAndMixer)
{
    auto run = run_panelhost(with_probe({}), "frame\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {
        "mci-command 0x803 0x2000 -> 0", "mci-command 0x80d 0x400 -> 0", "mixer-set 13107",
        "mci-command 0x808 0x0 -> 0",
        "mci-command 0x808 0x0 -> 0", "mci-command 0x804 0x0 -> 0",
    };
    EXPECT_LINES(expected, run.lines());
}

struct Session {
    const char* name;
    std::vector<std::string> options;
    std::string script;
    Lines expected;           // the lines with the prefixes below, after install
    int skip = 4;             // install's lines
};

TEST(PanelhostCdMixer, OptionsAndCommandsShapeTheDriveAndTheMixer)
{
    const Session sessions[] = {
        {"twelve tracks by default", {}, PLAY_LAST,
         join({PLAY_SETUP, {"mci \"status cdaudio number of tracks\" -> 0", "mci \"play cdaudio from 12\" -> 0"}})},
        {"--cd-tracks", {"--cd-tracks", "5"}, PLAY_LAST,
         join({PLAY_SETUP, {"mci \"status cdaudio number of tracks\" -> 0", "mci \"play cdaudio from 5\" -> 0"}})},
        {"--cd-track-seconds: the disc ends by the clock", {"--cd-tracks", "3", "--cd-track-seconds", "2"},
         std::string(PLAY_FIRST) + "wait 5999\n" + ASK + "wait 1\n" + ASK,
         join({PLAY_SETUP, {"mci \"play cdaudio from 1\" -> 0"}, asked(1, 3), asked(0, 3)})},
        {"cd finish", {}, std::string(PLAY_FIRST) + "cd finish\n" + ASK,
         join({PLAY_SETUP, {"mci \"play cdaudio from 1\" -> 0"}, asked(0, 12)})},
        {"cd eject, then cd insert", {}, std::string("cd eject\n") + PLAY_FIRST + "cd insert 4\n" + PLAY_LAST,
         join({PLAY_SETUP, {"mci \"play cdaudio from 1\" -> 262", "mci \"play cdaudio from 1\" -> 262"},
               PLAY_SETUP, {"mci \"status cdaudio number of tracks\" -> 0", "mci \"play cdaudio from 4\" -> 0"}})},
        {"--no-cd-disc", {"--no-cd-disc"}, PLAY_FIRST,
         join({PLAY_SETUP, {"mci \"play cdaudio from 1\" -> 262", "mci \"play cdaudio from 1\" -> 262"}})},
        {"--mixer-range", {"--mixer-range", "0:1000"}, FULL_VOLUME, {"mixer-set 1000"}},
    };
    for (const Session& s : sessions) {
        SCOPED_TRACE(s.name);
        auto run = run_panelhost(with_probe(s.options), s.script);
        ASSERT_EQ(run.status, 0) << run.err;
        Lines lines = lines_with_prefix(run.lines(), {"mci", "key", "mixer", "warning", "msgbox"});
        ASSERT_GE(lines.size(), static_cast<std::size_t>(s.skip + 2));
        Lines session(lines.begin() + s.skip, lines.end() - 2);   // without install and kill
        EXPECT_LINES(s.expected, session);
    }
}

// The top of each option's range is a value like any other: the drive and the mixer take it.
TEST(PanelhostCdMixer, TheLargestValueOfEachOptionTakesEffect)
{
    const std::string full_day_less_1 = "wait 86399999\n";
    const Session sessions[] = {
        {"--cd-tracks 99: the last track is 99", {"--cd-tracks", "99"}, std::string(PLAY_LAST) + ASK,
         join({PLAY_SETUP, {"mci \"status cdaudio number of tracks\" -> 0", "mci \"play cdaudio from 99\" -> 0"},
               asked(1, 99)})},
        {"--cd-track-seconds 86400: a track lasts a day", {"--cd-tracks", "2", "--cd-track-seconds", "86400"},
         std::string(PLAY_FIRST) + full_day_less_1 + ASK + "wait 1\n" + ASK + full_day_less_1 + ASK + "wait 1\n" + ASK,
         join({PLAY_SETUP, {"mci \"play cdaudio from 1\" -> 0"}, asked(1, 1), asked(1, 2), asked(1, 2),
               asked(0, 2)})},
        // install sets -8000, 20 percent of the span; full volume is the top
        {"--mixer-range 0:4294967295", {"--mixer-range", "0:4294967295"}, FULL_VOLUME,
         {"mixer-set 858993459", "mci-command 0x808 0x0 -> 0", "mixer-set 4294967295"}, 2},
        {"--mixer-range 4294967294:4294967295", {"--mixer-range", "4294967294:4294967295"}, FULL_VOLUME,
         {"mixer-set 4294967294", "mci-command 0x808 0x0 -> 0", "mixer-set 4294967295"}, 2},
    };
    for (const Session& s : sessions) {
        SCOPED_TRACE(s.name);
        auto run = run_panelhost(with_probe(s.options), s.script);
        ASSERT_EQ(run.status, 0) << run.err;
        Lines lines = lines_with_prefix(run.lines(), {"mci", "key", "mixer", "warning", "msgbox"});
        ASSERT_GE(lines.size(), static_cast<std::size_t>(s.skip + 2));
        Lines session(lines.begin() + s.skip, lines.end() - 2);
        EXPECT_LINES(s.expected, session);
    }
}

TEST(PanelhostCdMixer, NoDriveAndNoMixerAtInstallAndKill)
{
    auto run = run_panelhost(with_probe({"--no-cd-drive", "--no-mixer", "--mixer-range", "0:1000"}), "frame\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {
        "mci-command 0x803 0x2000 -> 263",
        "msgbox \"Unable to open Mixer Controls.\" \"Volume Control Error\" 0x10",
        "mci-command 0x808 0x0 -> 257",
        "msgbox \"Unable to close Mixer Controls.\" \"Volume Control Error\" 0x10",
        "mci-command 0x808 0x0 -> 257", "mci-command 0x804 0x0 -> 257",
    };
    EXPECT_LINES(expected, run.lines());
}

TEST(PanelhostCdMixer, CommandsThatFindNothingToDoSaySo)
{
    auto run = run_panelhost(with_probe({}), "cd finish\ncd insert 100\n" + std::string(PLAY_LAST));
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = {"warning cd finish: no disc is playing",
                      "warning cd insert: a disc holds at most 99 tracks, not 100"};
    EXPECT_LINES(expected, lines_with_prefix(run.lines(), {"warning"}));
    EXPECT_NE(std::find(run.lines().begin(), run.lines().end(), "mci \"play cdaudio from 12\" -> 0"),
              run.lines().end())
        << "the disc stayed as it was";
}

struct DeviceRefusal {
    std::vector<std::string> options;
    std::string script;
    const char* message_start;
};

TEST(PanelhostCdMixer, BadValuesAndLinesAreRefusedBeforeAnythingRuns)
{
    const DeviceRefusal cases[] = {
        {{"--cd-tracks", "0"}, "", "panelhost: option --cd-tracks: N must be a whole number from 1 to 99"},
        {{"--cd-tracks", "100"}, "", "panelhost: option --cd-tracks: N must be a whole number from 1 to 99"},
        {{"--cd-tracks=x"}, "", "panelhost: option --cd-tracks: N must be"},
        {{"--cd-tracks", " 5"}, "", "panelhost: option --cd-tracks: N must be"},
        {{"--cd-tracks", "+5"}, "", "panelhost: option --cd-tracks: N must be"},
        {{"--cd-tracks", "5 "}, "", "panelhost: option --cd-tracks: N must be"},
        {{"--mixer-range", "0: 9"}, "", "panelhost: option --mixer-range: MIN:MAX must be"},
        {{"--cd-track-seconds", "0"}, "", "panelhost: option --cd-track-seconds: S must be"},
        {{"--cd-track-seconds", "86401"}, "",
         "panelhost: option --cd-track-seconds: S must be a whole number of seconds from 1 to 86400"},
        {{"--mixer-range", "4294967296:4294967297"}, "", "panelhost: option --mixer-range: MIN:MAX must be"},
        {{"--mixer-range", "4294967295:4294967295"}, "", "panelhost: option --mixer-range: MIN:MAX must be"},
        {{"--mixer-range", "5:1"}, "", "panelhost: option --mixer-range: MIN:MAX must be"},
        {{"--mixer-range", "7"}, "", "panelhost: option --mixer-range: MIN:MAX must be"},
        {{"--mixer-range", "0:4294967296"}, "",
         "panelhost: option --mixer-range: MIN:MAX must be two whole numbers from 0 to 4294967295, MIN below MAX"},
        {{"--no-mixer=1"}, "", "panelhost: option --no-mixer takes no value"},
        {{}, "cd insert\n", "panelhost: script line 1: expected \"cd insert N\""},
        {{}, "cd insert 0\n", "panelhost: script line 1: expected \"cd insert N\" (N an integer"},
        {{}, "cd eject now\n", "panelhost: script line 1: expected \"cd eject\""},
        {{}, "cd fly\n", "panelhost: script line 1: expected \"cd insert N\" or \"cd eject\" or \"cd finish\""},
    };
    for (const DeviceRefusal& c : cases) {
        auto run = run_panelhost(with_probe(c.options), c.script);
        EXPECT_EQ(run.status, 2) << c.message_start;
        EXPECT_EQ(run.err.rfind(c.message_start, 0), 0u) << "expected " << c.message_start << "\n got " << run.err;
        EXPECT_EQ(run.out, "") << "nothing may run";
    }
}

}  // namespace
