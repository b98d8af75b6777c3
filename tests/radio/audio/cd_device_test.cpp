// The CD back-end against the simulated drive: the exact MCI traffic of each operation, the play
// sequence with its wrap-around and fallback, the status parse rules, and that the operations by
// identifier reach the device that the last play opened.
#include "radio/audio/cd_device.h"
#include "tests/support/device_bench.h"

#include <functional>

namespace {

using device_bench::Lines;

const std::string OPEN_MESSAGE = "mci-command 0x803 0x2000 -> ";
const Lines PLAY_SETUP = {
    "mci \"stop cdaudio\" -> 0",
    "mci \"close cdaudio\" -> 0",
    "mci \"open cdaudio\" -> 0",
    "mci \"set cdaudio time format tmsf\" -> 0",
};

Lines after_setup(const Lines& lines)
{
    Lines all = PLAY_SETUP;
    all.insert(all.end(), lines.begin(), lines.end());
    return all;
}

class CdDevice : public device_bench::DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        cd_device_id = 0;
    }
    sim::CdDrive& drive() { return sim::cd_drive(); }
};

TEST_F(CdDevice, OpenOpensByTypeAndSetsTheTimeFormatOnTheOpenedDevice)
{
    EXPECT_EQ(cd_open(), 0u);
    EXPECT_LINES((Lines{OPEN_MESSAGE + "0", "mci-command 0x80d 0x400 -> 0"}), take_trace());
    EXPECT_NE(cd_device_id, 0u);
    EXPECT_EQ(cd_device_id, drive().device_id("cdaudio"));
}

TEST_F(CdDevice, OpenWithoutADriveFailsAndKeepsTheIdentifier)
{
    drive().set_installed(false);
    cd_device_id = 41;
    EXPECT_EQ(cd_open(), static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_NAME));
    EXPECT_LINES((Lines{OPEN_MESSAGE + "263"}), take_trace());
    EXPECT_EQ(cd_device_id, 41u);
}

TEST_F(CdDevice, OpenFailingAtTheTimeFormatClosesTheDeviceAndReturnsThatError)
{
    drive().script_message_answer(MCI_SET, MCI_SET_TIME_FORMAT, MCIERR_BAD_TIME_FORMAT);
    EXPECT_EQ(cd_open(), static_cast<MCIERROR>(MCIERR_BAD_TIME_FORMAT));
    EXPECT_LINES((Lines{OPEN_MESSAGE + "0", "mci-command 0x80d 0x400 -> 293", "mci-command 0x804 0x0 -> 0"}),
                 take_trace());
    EXPECT_EQ(drive().open_devices(), 0u);
    EXPECT_NE(cd_device_id, 0u) << "the identifier of the closed device stays";
}

TEST_F(CdDevice, StopDoorAndCloseAreMessagesToTheOpenedDevice)
{
    ASSERT_EQ(cd_open(), 0u);
    take_trace();
    EXPECT_EQ(cd_stop(), 0u);
    EXPECT_EQ(cd_door_open(), 0u);
    EXPECT_TRUE(drive().door_open());
    EXPECT_EQ(cd_door_close(), 0u);
    EXPECT_FALSE(drive().door_open());
    EXPECT_EQ(cd_close(), 0u);
    EXPECT_EQ(drive().open_devices(), 0u);
    EXPECT_LINES((Lines{"mci-command 0x808 0x0 -> 0", "mci-command 0x80d 0x100 -> 0", "mci-command 0x80d 0x200 -> 0",
                        "mci-command 0x804 0x0 -> 0"}),
                 take_trace());
}

TEST_F(CdDevice, MessagesBeforeAnyOpenFailWithTheInvalidDeviceError)
{
    const std::pair<const char*, MCIERROR (*)()> operations[] = {
        {"stop", cd_stop}, {"door open", cd_door_open}, {"door close", cd_door_close}, {"close", cd_close}};
    for (const auto& [name, operation] : operations)
        EXPECT_EQ(operation(), static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_ID)) << name;
}

struct PlayCase {
    const char* name;
    std::function<void(sim::CdDrive&)> prepare;
    std::uint32_t track;
    Lines after_setup;
    MCIERROR result;
    unsigned playing_track;   // 0: the drive does not play
};

TEST_F(CdDevice, PlayReopensByNameThenPlaysWithWrapAroundAndFallback)
{
    auto nothing = [](sim::CdDrive&) {};
    const PlayCase cases[] = {
        {"a track the disc has", nothing, 3,
         {"mci \"play cdaudio from 3\" -> 0"}, 0, 3},
        {"track 0 plays the last of 12", nothing, 0,
         {"mci \"status cdaudio number of tracks\" -> 0", "mci \"play cdaudio from 12\" -> 0"}, 0, 12},
        {"track 0 plays the last of 5", [](sim::CdDrive& d) { d.insert_disc(5); }, 0,
         {"mci \"status cdaudio number of tracks\" -> 0", "mci \"play cdaudio from 5\" -> 0"}, 0, 5},
        {"track 0 reads a count with a leading zero",
         [](sim::CdDrive& d) { d.script_answer("status cdaudio number of tracks", 0, "09"); }, 0,
         {"mci \"status cdaudio number of tracks\" -> 0", "mci \"play cdaudio from 9\" -> 0"}, 0, 9},
        {"track 0 when the track count fails plays track 1",
         [](sim::CdDrive& d) { d.script_answer("status cdaudio number of tracks", MCIERR_HARDWARE); }, 0,
         {"mci \"status cdaudio number of tracks\" -> 262", "mci \"play cdaudio from 1\" -> 0"}, 0, 1},
        {"one past the last track falls back to track 1", nothing, 13,
         {"mci \"play cdaudio from 13\" -> 282", "mci \"play cdaudio from 1\" -> 0"}, 0, 1},
        {"a track wrapped below zero falls back to track 1", nothing, 4294967295u,
         {"mci \"play cdaudio from 4294967295\" -> 282", "mci \"play cdaudio from 1\" -> 0"}, 0, 1},
        {"no disc: both plays fail", [](sim::CdDrive& d) { d.eject_disc(); }, 3,
         {"mci \"play cdaudio from 3\" -> 262", "mci \"play cdaudio from 1\" -> 262"}, MCIERR_HARDWARE, 0},
        {"no disc, track 0: the count and both plays fail", [](sim::CdDrive& d) { d.eject_disc(); }, 0,
         {"mci \"status cdaudio number of tracks\" -> 262", "mci \"play cdaudio from 1\" -> 262",
          "mci \"play cdaudio from 1\" -> 262"}, MCIERR_HARDWARE, 0},
        {"door open: both plays fail", [](sim::CdDrive& d) { d.send_string("set cdaudio door open", nullptr, 0); }, 2,
         {"mci \"play cdaudio from 2\" -> 262", "mci \"play cdaudio from 1\" -> 262"}, MCIERR_HARDWARE, 0},
        {"the result is the fallback's code, not the first play's",
         [](sim::CdDrive& d) { d.script_answer("play cdaudio from 1", MCIERR_DEVICE_NOT_READY); }, 13,
         {"mci \"play cdaudio from 13\" -> 282", "mci \"play cdaudio from 1\" -> 276"}, MCIERR_DEVICE_NOT_READY, 0},
    };
    for (const PlayCase& c : cases) {
        SCOPED_TRACE(c.name);
        drive().reset();
        ASSERT_EQ(cd_open(), 0u);
        c.prepare(drive());
        take_trace();
        EXPECT_EQ(cd_play_track(c.track), c.result);
        EXPECT_LINES(after_setup(c.after_setup), take_trace());
        EXPECT_EQ(drive().playing(), c.playing_track != 0);
        if (c.playing_track) {
            EXPECT_EQ(drive().current_track(), c.playing_track);
        }
    }
}

TEST_F(CdDevice, PlayWithoutADriveReturnsTheFallbacksError)
{
    drive().set_installed(false);
    EXPECT_EQ(cd_play_track(4), static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_NAME));
    EXPECT_LINES((Lines{"mci \"stop cdaudio\" -> 263", "mci \"close cdaudio\" -> 263", "mci \"open cdaudio\" -> 263",
                        "mci \"set cdaudio time format tmsf\" -> 263", "mci \"play cdaudio from 4\" -> 263",
                        "mci \"play cdaudio from 1\" -> 263"}),
                 take_trace());
    EXPECT_EQ(cd_device_id, 0u);
}

TEST_F(CdDevice, AfterAPlayStopDoorAndCloseReachTheDeviceThatPlays)
{
    ASSERT_EQ(cd_open(), 0u);
    MCIDEVICEID opened_at_install = cd_device_id;
    ASSERT_EQ(cd_play_track(2), 0u);
    ASSERT_TRUE(drive().playing());
    EXPECT_EQ(drive().send_command(opened_at_install, MCI_STOP, 0, 0), static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_ID))
        << "the play closed the device opened at install";
    take_trace();

    EXPECT_EQ(cd_stop(), 0u);
    EXPECT_FALSE(drive().playing());
    ASSERT_EQ(cd_play_track(5), 0u);
    take_trace();
    EXPECT_EQ(cd_stop(), 0u);
    EXPECT_EQ(cd_door_open(), 0u);
    EXPECT_EQ(cd_door_close(), 0u);
    EXPECT_EQ(cd_close(), 0u);
    EXPECT_LINES((Lines{"mci-command 0x808 0x0 -> 0", "mci-command 0x80d 0x100 -> 0", "mci-command 0x80d 0x200 -> 0",
                        "mci-command 0x804 0x0 -> 0"}),
                 take_trace());
    EXPECT_FALSE(drive().playing());
    EXPECT_EQ(drive().open_devices(), 0u) << "kill leaves no device open";
}

TEST_F(CdDevice, APlayAfterAFailedOpenStillPlaysAndCanBeStopped)
{
    drive().script_message_answer(MCI_OPEN, MCI_OPEN_TYPE, MCIERR_HARDWARE);
    EXPECT_EQ(cd_open(), static_cast<MCIERROR>(MCIERR_HARDWARE));
    EXPECT_EQ(cd_device_id, 0u);
    EXPECT_EQ(cd_stop(), static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_ID));
    take_trace();
    EXPECT_EQ(cd_play_track(1), 0u);
    EXPECT_LINES((Lines{"mci \"stop cdaudio\" -> 263", "mci \"close cdaudio\" -> 263", "mci \"open cdaudio\" -> 0",
                        "mci \"set cdaudio time format tmsf\" -> 0", "mci \"play cdaudio from 1\" -> 0"}),
                 take_trace());
    EXPECT_EQ(cd_stop(), 0u);
    EXPECT_FALSE(drive().playing());
}

struct ModeCase {
    const char* name;
    MCIERROR code;
    const char* reply;
    bool playing;
};

TEST_F(CdDevice, QueryPlayingIsTrueOnlyForExactlyPlaying)
{
    const ModeCase cases[] = {
        {"playing", 0, "playing", true},
        {"stopped", 0, "stopped", false},
        {"not ready", 0, "not ready", false},
        {"capitals", 0, "PLAYING", false},
        {"capital first", 0, "Playing", false},
        {"trailing space", 0, "playing ", false},
        {"failed command", MCIERR_HARDWARE, "playing", false},
    };
    for (const ModeCase& c : cases) {
        drive().reset();
        drive().script_answer("status cdaudio mode", c.code, c.reply);
        take_trace();
        EXPECT_EQ(cd_query_playing(), c.playing) << c.name;
        EXPECT_LINES((Lines{"mci \"status cdaudio mode\" -> " + std::to_string(c.code)}), take_trace());
    }
}

TEST_F(CdDevice, QueryPlayingFollowsTheDrive)
{
    EXPECT_FALSE(cd_query_playing()) << "no device open";
    ASSERT_EQ(cd_open(), 0u);
    EXPECT_FALSE(cd_query_playing()) << "stopped";
    ASSERT_EQ(cd_play_track(1), 0u);
    EXPECT_TRUE(cd_query_playing());
    cd_stop();
    EXPECT_FALSE(cd_query_playing());
}

struct FailingModeCase {
    const char* name;
    std::function<void(sim::CdDrive&)> fail;
    MCIERROR code;
};

// The mode reply buffer still holds the "playing" of the query before: a query whose command
// fails must not be read from it.
TEST_F(CdDevice, AFailingModeQueryAfterAPlayingOneIsNotPlaying)
{
    const FailingModeCase cases[] = {
        {"a refused command, no reply written",
         [](sim::CdDrive& d) { d.script_answer("status cdaudio mode", MCIERR_HARDWARE); }, MCIERR_HARDWARE},
        {"the drive taken away", [](sim::CdDrive& d) { d.set_installed(false); }, MCIERR_INVALID_DEVICE_NAME},
        {"the playing device closed", [](sim::CdDrive&) { cd_close(); }, MCIERR_INVALID_DEVICE_NAME},
    };
    for (const FailingModeCase& c : cases) {
        SCOPED_TRACE(c.name);
        drive().reset();
        ASSERT_EQ(cd_open(), 0u);
        ASSERT_EQ(cd_play_track(1), 0u);
        EXPECT_TRUE(cd_query_playing());
        c.fail(drive());
        take_trace();
        EXPECT_FALSE(cd_query_playing());
        EXPECT_LINES((Lines{"mci \"status cdaudio mode\" -> " + std::to_string(c.code)}), take_trace());
    }
}

struct TrackCase {
    const char* name;
    MCIERROR code;
    const char* reply;
    std::int32_t before;
    std::int32_t after;
};

TEST_F(CdDevice, QueryCurrentTrackReadsTheLeadingDigitsOrKeepsTheNumber)
{
    const TrackCase cases[] = {
        {"one digit", 0, "7", 1, 7},
        {"leading zero", 0, "07", 1, 7},
        {"two digits", 0, "12", 1, 12},
        {"digits then words", 0, "3 of 12", 9, 3},
        {"no digits", 0, "none", 9, 0},
        {"empty reply", 0, "", 9, 0},
        {"failed command keeps the number", MCIERR_HARDWARE, "", 9, 9},
    };
    for (const TrackCase& c : cases) {
        drive().reset();
        drive().script_answer("status cdaudio current track", c.code, c.reply);
        take_trace();
        std::int32_t track = c.before;
        cd_query_current_track(track);
        EXPECT_EQ(track, c.after) << c.name;
        EXPECT_LINES((Lines{"mci \"status cdaudio current track\" -> " + std::to_string(c.code)}), take_trace());
    }
}

TEST_F(CdDevice, QueryCurrentTrackFollowsThePlayingDisc)
{
    ASSERT_EQ(cd_open(), 0u);
    ASSERT_EQ(cd_play_track(4), 0u);
    std::int32_t track = 0;
    cd_query_current_track(track);
    EXPECT_EQ(track, 4);
    advance_ms(180 * 1000);
    cd_query_current_track(track);
    EXPECT_EQ(track, 5);
}

TEST_F(CdDevice, QueryMediaReportsOnlyWhetherTheStatusCommandSucceeded)
{
    ASSERT_EQ(cd_open(), 0u);
    take_trace();
    EXPECT_EQ(cd_query_media(), 0u) << "a disc";
    drive().eject_disc();
    EXPECT_EQ(cd_query_media(), 0u) << "no disc: the drive answers false, the command succeeds";
    cd_door_open();
    EXPECT_EQ(cd_query_media(), 0u) << "door open";
    cd_close();
    EXPECT_EQ(cd_query_media(), static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_NAME)) << "device closed";
    EXPECT_LINES((Lines{"mci \"status cdaudio media present\" -> 0", "mci \"status cdaudio media present\" -> 0",
                        "mci-command 0x80d 0x100 -> 0", "mci \"status cdaudio media present\" -> 0",
                        "mci-command 0x804 0x0 -> 0", "mci \"status cdaudio media present\" -> 263"}),
                 take_trace());
}

}  // namespace
