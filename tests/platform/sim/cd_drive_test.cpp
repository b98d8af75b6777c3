// The simulated CD drive on its own: a disc that plays by the host clock to its end, the status
// replies as a drive words them, device identifiers, and the MCI codes of what it refuses.
#include "tests/support/device_bench.h"

namespace {

struct Reply {
    MCIERROR code;
    std::string text;
};

class CdDrive : public device_bench::DeviceTest {
protected:
    sim::CdDrive& drive() { return sim::cd_drive(); }
    Reply send(const std::string& command)
    {
        char reply[128] = "untouched";
        MCIERROR code = drive().send_string(command.c_str(), reply, sizeof reply);
        return Reply{code, code == 0 ? reply : ""};
    }
    std::string status(const std::string& item) { return send("status cdaudio " + item).text; }
    void open_in_tmsf()
    {
        ASSERT_EQ(send("open cdaudio").code, 0u);
        ASSERT_EQ(send("set cdaudio time format tmsf").code, 0u);
    }
};

TEST_F(CdDrive, APlayRunsToTheEndOfTheDiscThenStops)
{
    struct Case {
        unsigned tracks, seconds, from;
    };
    const Case cases[] = {{12, 180, 10}, {12, 180, 1}, {3, 2, 3}, {99, 1, 50}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tracks << " tracks of " << c.seconds << " s from " << c.from);
        drive().reset();
        drive().set_track_seconds(c.seconds);
        drive().insert_disc(c.tracks);
        open_in_tmsf();
        ASSERT_EQ(send("play cdaudio from " + std::to_string(c.from)).code, 0u);
        std::uint64_t length_ms = std::uint64_t(c.tracks - c.from + 1) * c.seconds * 1000;
        EXPECT_EQ(drive().next_event_ms(), sim::now_ms() + length_ms);
        advance_ms(length_ms - 1);
        EXPECT_EQ(status("mode"), "playing") << "1 ms before the end";
        EXPECT_EQ(status("current track"), std::to_string(c.tracks));
        advance_ms(1);
        EXPECT_EQ(status("mode"), "stopped") << "at the end";
        EXPECT_EQ(status("current track"), std::to_string(c.tracks));
        EXPECT_EQ(drive().next_event_ms(), sim::NO_EVENT);
    }
}

TEST_F(CdDrive, TheCurrentTrackAdvancesWithTheClockAndStopHoldsIt)
{
    open_in_tmsf();
    ASSERT_EQ(send("play cdaudio from 2").code, 0u);
    EXPECT_EQ(status("current track"), "2");
    advance_ms(180 * 1000 - 1);
    EXPECT_EQ(status("current track"), "2");
    advance_ms(1);
    EXPECT_EQ(status("current track"), "3");
    ASSERT_EQ(send("stop cdaudio").code, 0u);
    advance_ms(600 * 1000);
    EXPECT_EQ(status("mode"), "stopped");
    EXPECT_EQ(status("current track"), "3");
    ASSERT_EQ(send("play cdaudio").code, 0u) << "play without a position goes on from where it stopped";
    EXPECT_EQ(status("current track"), "3");
}

TEST_F(CdDrive, FinishEjectAndInsertAsTheBenchDoesThem)
{
    open_in_tmsf();
    ASSERT_EQ(send("play cdaudio from 4").code, 0u);
    drive().finish();
    EXPECT_EQ(status("mode"), "stopped");
    EXPECT_EQ(status("current track"), "12");

    ASSERT_EQ(send("play cdaudio from 4").code, 0u);
    drive().eject_disc();
    EXPECT_EQ(status("mode"), "not ready");
    EXPECT_EQ(status("media present"), "false");
    EXPECT_EQ(send("play cdaudio from 1").code, static_cast<MCIERROR>(MCIERR_HARDWARE));
    EXPECT_EQ(send("status cdaudio number of tracks").code, static_cast<MCIERROR>(MCIERR_HARDWARE));
    EXPECT_EQ(send("status cdaudio current track").code, static_cast<MCIERROR>(MCIERR_HARDWARE));

    drive().insert_disc(7);
    EXPECT_EQ(status("mode"), "stopped");
    EXPECT_EQ(status("media present"), "true");
    EXPECT_EQ(status("number of tracks"), "7");
    EXPECT_EQ(send("play cdaudio from 8").code, static_cast<MCIERROR>(MCIERR_OUTOFRANGE));
    EXPECT_EQ(send("play cdaudio from 7").code, 0u);
}

TEST_F(CdDrive, TheDoorStopsThePlayAndHidesTheDiscUntilItCloses)
{
    open_in_tmsf();
    ASSERT_EQ(send("play cdaudio from 1").code, 0u);
    ASSERT_EQ(send("set cdaudio door open").code, 0u);
    EXPECT_FALSE(drive().playing());
    EXPECT_EQ(status("mode"), "open");
    EXPECT_EQ(status("media present"), "false");
    EXPECT_EQ(send("play cdaudio from 1").code, static_cast<MCIERROR>(MCIERR_HARDWARE));
    ASSERT_EQ(send("set cdaudio door closed").code, 0u);
    EXPECT_EQ(status("mode"), "stopped");
    EXPECT_EQ(status("media present"), "true");
}

TEST_F(CdDrive, PositionsInTmsfAndInMilliseconds)
{
    open_in_tmsf();
    ASSERT_EQ(send("play cdaudio from 3:1:30:0").code, 0u);
    EXPECT_EQ(drive().position_ms(), (2 * 180 + 90) * 1000u);
    EXPECT_EQ(send("play cdaudio from 3:3:0:0").code, static_cast<MCIERROR>(MCIERR_OUTOFRANGE)) << "past the track";
    EXPECT_EQ(send("play cdaudio from 256").code, static_cast<MCIERROR>(MCIERR_OUTOFRANGE)) << "track byte 0";
    ASSERT_EQ(send("set cdaudio time format milliseconds").code, 0u);
    ASSERT_EQ(send("play cdaudio from 5000").code, 0u);
    EXPECT_EQ(drive().position_ms(), 5000u);
    EXPECT_EQ(drive().current_track(), 1u);
}

TEST_F(CdDrive, IdentifiersAreNewOnEveryOpenAndDieWithTheirDevice)
{
    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = "CDAudio";
    ASSERT_EQ(drive().send_command(0, MCI_OPEN, MCI_OPEN_TYPE, reinterpret_cast<DWORD_PTR>(&open)), 0u);
    MCIDEVICEID first = open.wDeviceID;
    EXPECT_NE(first, 0u);
    EXPECT_EQ(drive().device_id("cdaudio"), first);
    EXPECT_EQ(send("open cdaudio").code, static_cast<MCIERROR>(MCIERR_DEVICE_OPEN)) << "the name is in use";

    ASSERT_EQ(send("close cdaudio").code, 0u) << "the name reaches the device opened by message";
    EXPECT_EQ(drive().device_id("cdaudio"), 0u);
    Reply reopened = send("open cdaudio");
    ASSERT_EQ(reopened.code, 0u);
    MCIDEVICEID second = drive().device_id("cdaudio");
    EXPECT_NE(second, first);
    EXPECT_EQ(reopened.text, std::to_string(second)) << "open answers with the identifier";
    EXPECT_EQ(drive().send_command(first, MCI_STOP, 0, 0), static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_ID));
    EXPECT_EQ(drive().send_command(second, MCI_STOP, 0, 0), 0u);
    EXPECT_EQ(drive().send_command(second, MCI_CLOSE, MCI_WAIT, 0), 0u);
    EXPECT_EQ(drive().send_command(second, MCI_CLOSE, 0, 0), static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_ID));
}

TEST_F(CdDrive, ClosingTheDeviceLeavesTheDrivePlaying)
{
    open_in_tmsf();
    ASSERT_EQ(send("play cdaudio from 1").code, 0u);
    ASSERT_EQ(send("close cdaudio").code, 0u);
    ASSERT_EQ(send("open cdaudio").code, 0u);
    EXPECT_EQ(status("mode"), "playing");
}

struct Refusal {
    const char* command;
    MCIERROR code;
};

TEST_F(CdDrive, StringCommandsItCannotDoFailWithTheirMciCodes)
{
    open_in_tmsf();
    const Refusal cases[] = {
        {"", MCIERR_MISSING_COMMAND_STRING},
        {"pause cdaudio", MCIERR_UNRECOGNIZED_COMMAND},
        {"eject cdaudio", MCIERR_UNRECOGNIZED_COMMAND},
        {"play", MCIERR_MISSING_DEVICE_NAME},
        {"open cdrom", MCIERR_INVALID_DEVICE_NAME},
        {"status cdrom mode", MCIERR_INVALID_DEVICE_NAME},
        {"open cdaudio", MCIERR_DEVICE_OPEN},
        {"status cdaudio", MCIERR_MISSING_PARAMETER},
        {"status cdaudio position", MCIERR_UNRECOGNIZED_KEYWORD},
        {"status cdaudio mode notify", MCIERR_UNRECOGNIZED_KEYWORD},
        {"stop cdaudio now", MCIERR_UNRECOGNIZED_KEYWORD},
        {"play cdaudio to 3", MCIERR_UNRECOGNIZED_KEYWORD},
        {"play cdaudio from", MCIERR_MISSING_PARAMETER},
        {"play cdaudio from three", MCIERR_BAD_INTEGER},
        {"play cdaudio from 4294967296", MCIERR_BAD_INTEGER},
        {"play cdaudio from 0", MCIERR_OUTOFRANGE},
        {"play cdaudio from 13", MCIERR_OUTOFRANGE},
        {"set cdaudio", MCIERR_MISSING_PARAMETER},
        {"set cdaudio time format smpte", MCIERR_BAD_TIME_FORMAT},
        {"set cdaudio door ajar", MCIERR_UNRECOGNIZED_KEYWORD},
        {"set cdaudio door open door closed", MCIERR_FLAGS_NOT_COMPATIBLE},
    };
    for (const Refusal& c : cases)
        EXPECT_EQ(send(c.command).code, c.code) << '"' << c.command << '"';
    EXPECT_FALSE(drive().door_open()) << "a refused command changes nothing";
}

TEST_F(CdDrive, RepliesAreWordedAsADriveWordsThemAndMustFit)
{
    open_in_tmsf();
    EXPECT_EQ(status("MODE"), "stopped") << "commands are read in any case";
    EXPECT_EQ(status("media present"), "true");
    EXPECT_EQ(status("number of tracks"), "12");
    char small[4];
    EXPECT_EQ(drive().send_string("status cdaudio mode", small, sizeof small), static_cast<MCIERROR>(MCIERR_PARAM_OVERFLOW));
    EXPECT_EQ(drive().send_string("status cdaudio mode", nullptr, 0), 0u) << "no buffer: the reply is dropped";
}

TEST_F(CdDrive, NoDriveNoDevice)
{
    drive().set_installed(false);
    EXPECT_EQ(send("open cdaudio").code, static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_NAME));
    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = "cdaudio";
    EXPECT_EQ(drive().send_command(0, MCI_OPEN, MCI_OPEN_TYPE, reinterpret_cast<DWORD_PTR>(&open)),
              static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_NAME));
    EXPECT_EQ(send("status cdaudio mode").code, static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_NAME));
}

struct MessageRefusal {
    const char* name;
    UINT message;
    DWORD_PTR flags;
    bool with_block;
    MCIERROR code;
};

TEST_F(CdDrive, MessagesItCannotDoFailWithTheirMciCodes)
{
    open_in_tmsf();
    MCIDEVICEID id = drive().device_id("cdaudio");
    MCI_SET_PARMS set = {};
    set.dwTimeFormat = MCI_FORMAT_MSF;
    const MessageRefusal cases[] = {
        {"play by message", MCI_PLAY, 0, false, MCIERR_UNRECOGNIZED_COMMAND},
        {"status by message", MCI_STATUS, 0, false, MCIERR_UNRECOGNIZED_COMMAND},
        {"notify", MCI_STOP, MCI_NOTIFY, false, MCIERR_UNRECOGNIZED_KEYWORD},
        {"both doors", MCI_SET, MCI_SET_DOOR_OPEN | MCI_SET_DOOR_CLOSED, false, MCIERR_FLAGS_NOT_COMPATIBLE},
        {"set nothing", MCI_SET, 0, false, MCIERR_MISSING_PARAMETER},
        {"time format without a block", MCI_SET, MCI_SET_TIME_FORMAT, false, MCIERR_NULL_PARAMETER_BLOCK},
        {"a time format it lacks", MCI_SET, MCI_SET_TIME_FORMAT, true, MCIERR_BAD_TIME_FORMAT},
        {"set audio", MCI_SET, MCI_SET_AUDIO, true, MCIERR_UNRECOGNIZED_KEYWORD},
    };
    for (const MessageRefusal& c : cases)
        EXPECT_EQ(drive().send_command(id, c.message, c.flags, c.with_block ? reinterpret_cast<DWORD_PTR>(&set) : 0),
                  c.code)
            << c.name;
    EXPECT_EQ(drive().send_command(0, MCI_OPEN, MCI_OPEN_TYPE, 0), static_cast<MCIERROR>(MCIERR_NULL_PARAMETER_BLOCK));
    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = "waveaudio";
    EXPECT_EQ(drive().send_command(0, MCI_OPEN, MCI_OPEN_TYPE, reinterpret_cast<DWORD_PTR>(&open)),
              static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_NAME));
    EXPECT_EQ(drive().send_command(id + 100, MCI_PLAY, 0, 0), static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_ID))
        << "an unknown identifier is refused before the message is read";
}

}  // namespace
