// The radio's install and kill through panelhost: the back-ends set up and torn down in their
// order, the songs found by the first of their four candidate files, the two mixer messages,
// and the state kept by a reinstall and restored to its load values by a reload.
#include "tests/radio/gauge/radio_bench.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace radio_bench;


Lines without(const Lines& lines, const Lines& dropped)
{
    Lines kept;
    for (const std::string& line : lines)
        if (std::find(dropped.begin(), dropped.end(), line) == dropped.end())
            kept.push_back(line);
    return kept;
}

// The renders of install for songs whose found file is given by its extension ("" for none):
// only a file that is there is rendered, so each song found gives one line and a missing one none.
Lines probes(const std::vector<std::string>& found)
{
    Lines lines;
    for (int song = 1; song <= 6; ++song)
        if (!found[song - 1].empty())
            lines.push_back("dshow render \".\\Sound\\song" + std::to_string(song) + "." + found[song - 1] +
                            "\" -> 0x00000000");
    return lines;
}

// The click at -500, the songs, the music volume (applied to no song), the CD opened in the TMSF
// time format, the CD line at -8000 (20 percent), and a stop.
Lines install_lines(const Lines& song_probes)
{
    return join({{"dsound volume -500"}, song_probes,
                 {"mci-command 0x803 0x2000 -> 0", "mci-command 0x80d 0x400 -> 0", "mixer-set 13107"}, cd_stop()});
}

TEST(RadioLifecycle, InstallProbesEachSongUntilItsFirstFileThatPlays)
{
    struct ProbeCase {
        const char* name;
        Lines files;
        std::vector<std::string> found;   // per song, the extension that wins
        // FM mode, power on, then presets 2 to 6: the device lines of each start
        Lines plays;
    };
    const ProbeCase cases[] = {
        {"no song files", {}, {"", "", "", "", "", ""},
         join({song_missing(1), song_missing(2), song_missing(3), song_missing(4), song_missing(5), song_missing(6)})},
        {"only song 3, as a MIDI file", {"song3.mid"}, {"", "", "mid", "", "", ""},
         join({song_missing(1), song_missing(2), song_start("song3.mid"), song_missing(4), song_missing(5),
               song_missing(6)})},
        {"song 3 as mp3 and wav: the mp3 wins, the wav is never tried", {"song3.mp3", "song3.wav"},
         {"", "", "mp3", "", "", ""},
         join({song_missing(1), song_missing(2), song_start("song3.mp3"), song_missing(4), song_missing(5),
               song_missing(6)})},
        {"every song, every format, several at once",
         {"song1.wma", "song1.mid", "song2.mp3", "song3.wav", "song3.mid", "song4.mid", "song5.wma", "song5.mp3",
          "song6.wav"},
         {"wma", "mp3", "wav", "mid", "wma", "wav"},
         join({song_start("song1.wma"), song_start("song2.mp3"), song_start("song3.wav"), song_start("song4.mid"),
               song_start("song5.wma"), song_start("song6.wav")})},
    };
    for (const ProbeCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string script = std::string("echo installed\n") + MODE_FM + "echo on\n" + POWER + PRESET[2] + PRESET[3] +
                             PRESET[4] + PRESET[5] + PRESET[6] + "echo end\n";
        auto run = run_radio(song_folder(c.files), {}, script);
        ASSERT_EQ(run.status, 0) << run.err;
        Lines installed;
        for (const std::string& line : run.lines()) {
            if (line == "echo installed")
                break;
            installed.push_back(line);
        }
        EXPECT_LINES(install_lines(probes(c.found)), device_lines(installed));

        // what each start did, without the clicks and the stops before each
        Lines unplayed = {"dsound play", "dshow stop"};
        EXPECT_LINES(without(c.plays, unplayed), without(device_lines_between(run.lines(), "on", "end"), unplayed));
    }
}

// The widest control range the mixer can have: install sets the line 20 percent up its span
// (858993459 of 4294967295, in 64-bit arithmetic), and the volume's top reaches the maximum.
TEST(RadioLifecycle, InstallSetsTheCdLineWithinTheWidestControlRange)
{
    auto run = run_radio(song_folder({}), {"--mixer-range", "0:4294967295"},
                         std::string(POWER) + "hold " + VOLUME_UP_AT + " 60\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines mixer = test_support::lines_with_prefix(run.lines(), {"mixer-set"});
    ASSERT_FALSE(mixer.empty());
    EXPECT_EQ(mixer.front(), "mixer-set 858993459") << "install";
    EXPECT_EQ(mixer.back(), "mixer-set 4294967295") << "the volume's top";
}

// The mixer's CD line is closed first, then the CD stopped and closed, then the music player
// (its graph stopped); the install reports a missing mixer once, and so does the kill.
TEST(RadioLifecycle, WithoutAMixerEachOfTheTwoMessagesShowsOnce)
{
    auto run = run_radio(song_folder({}), {"--no-mixer"},
                         std::string("echo installed\n") + "hold " + VOLUME_DOWN_AT + " 3\n" + POWER +
                             "hold " + VOLUME_UP_AT + " 2\nframe\necho kill\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines trace = run.lines();
    Lines installed;
    for (const std::string& line : trace) {
        if (line == "echo installed")
            break;
        installed.push_back(line);
    }
    Lines expected_install = join({{"dsound volume -500"}, probes({"", "", "", "", "", ""}),
                                   {"mci-command 0x803 0x2000 -> 0", "mci-command 0x80d 0x400 -> 0",
                                    "msgbox \"Unable to open Mixer Controls.\" \"Volume Control Error\" 0x10"},
                                   cd_stop()});
    EXPECT_LINES(expected_install, device_lines(installed));
    EXPECT_LINES(test_support::lines_with_prefix(trace, {"mixer-set"}), Lines{}) << "no volume reaches a mixer";
    Lines killed;
    bool after = false;
    for (const std::string& line : trace) {
        if (after)
            killed.push_back(line);
        after = after || line == "echo kill";
    }
    Lines expected_kill = {"msgbox \"Unable to close Mixer Controls.\" \"Volume Control Error\" 0x10",
                           "mci-command 0x808 0x0 -> 0", "mci-command 0x804 0x0 -> 0", "dshow stop"};
    EXPECT_LINES(expected_kill, device_lines(killed));
}

// A reinstall keeps the controls' state: the radio comes up as it was left, with the volumes it
// had; in FM mode nothing plays until a control is pressed.
TEST(RadioLifecycle, AReinstallKeepsTheState)
{
    auto run = run_radio(song_folder({"song1.wav", "song5.mid"}), {},
                         std::string(MODE_FM) + PRESET[5] + POWER + "hold " + VOLUME_UP_AT + " 2\n" + PAUSE +
                             "echo reinstall\nreinstall\nframe 2\nelements\ntooltip " + POWER_AT + "\ntooltip " +
                             PAUSE_AT + "\necho press\n" + PAUSE + "echo end\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines trace = run.lines();
    Lines reinstalled = lines_between(trace, "reinstall", "press");
    // kill, then install with the volumes the controls left; nothing plays
    Lines expected = join({{"mci-command 0x808 0x0 -> 0", "mci-command 0x804 0x0 -> 0", "dshow stop",
                            "dsound volume -500"},
                           probes({"wav", "", "", "", "mid", ""}),
                           {"mci-command 0x803 0x2000 -> 0", "mci-command 0x80d 0x400 -> 0", "mixer-set 13107"},
                           cd_stop(), {"mci \"status cdaudio mode\" -> 0", "mci \"status cdaudio mode\" -> 0"}});
    EXPECT_LINES(expected, device_lines(reinstalled));
    auto elements = last_elements(reinstalled);
    EXPECT_EQ("1", elements[2].value) << "power";
    EXPECT_EQ("5", elements[3].value) << "station: FM preset 5";
    EXPECT_EQ("1", elements[5].value) << "mode";
    EXPECT_EQ("-1700", elements[6].value) << "music volume";
    EXPECT_EQ(LIT, hidden_bits(elements));
    EXPECT_LINES((Lines{"tooltip \"Power On/Off (on)\"", "tooltip \"Pause On/Off (on)\""}),
                 test_support::lines_with_prefix(reinstalled, {"tooltip"}));
    // resuming plays the song with the kept volume
    EXPECT_LINES(join({click(), song_start("song5.mid", -1700)}), device_lines_between(trace, "press", "end"));
}

// In CD mode the kill stopped the disc, so the first pass after a reinstall starts it from track 1.
TEST(RadioLifecycle, AReinstallInCdModeRestartsTheDiscFromTrackOne)
{
    auto run = run_radio(song_folder({}), {}, std::string(POWER) + PRESET[4] + "frame\nreinstall\necho pass\nframe\necho end\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines expected = join({{"mci \"status cdaudio mode\" -> 0", "mci \"status cdaudio media present\" -> 0"}, cd_start(1)});
    EXPECT_LINES(expected, device_lines_between(run.lines(), "pass", "end"));
}

// A reload loads the library afresh: off, CD mode, preset 1, not paused, the load volumes.
TEST(RadioLifecycle, AReloadRestoresTheLoadValues)
{
    auto run = run_radio(song_folder({"song1.wav", "song5.mid"}), {},
                         std::string(MODE_AM) + PRESET[5] + POWER + "hold " + VOLUME_DOWN_AT + " 4\n" + PAUSE +
                             "echo reload\nreload\nframe\nelements\ntooltip " + PAUSE_AT + "\ntooltip 298 123\n" +
                             "echo cd volume\nhold " + VOLUME_DOWN_AT + " 1\n" + MODE_FM + POWER + "echo end\n");
    ASSERT_EQ(run.status, 0) << run.err;
    Lines trace = run.lines();
    Lines reloaded = lines_between(trace, "reload", "cd volume");
    auto elements = last_elements(reloaded);
    EXPECT_EQ("0", elements[2].value) << "power";
    EXPECT_EQ("0", elements[3].value) << "station";
    EXPECT_EQ("0", elements[5].value) << "mode";
    EXPECT_EQ("-15000", elements[6].value) << "needle";
    EXPECT_EQ(DARK, hidden_bits(elements));
    EXPECT_LINES((Lines{"tooltip \"Pause On/Off (off)\"", "tooltip \"CD Player Track 5\""}),
                 test_support::lines_with_prefix(reloaded, {"tooltip"}));
    // the CD line steps from -8000, FM mode plays song 1 (preset 1) at -2000
    Lines expected = join({{"mixer-set 11796"}, click(), cd_stop(), music_stop(), click(), song_start("song1.wav")});
    EXPECT_LINES(expected, device_lines_between(trace, "cd volume", "end"));
}

}  // namespace
