// The simulated audio-CD drive behind the MCI device "cdaudio": it reads MCI string commands and
// command messages, answers with the platform's MCI codes and plays its disc by the host clock.
#pragma once

#include "platform/platform.h"
#include "platform/sim/simulation.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

constexpr unsigned CD_DEFAULT_TRACKS = 12;
constexpr unsigned CD_DEFAULT_TRACK_SECONDS = 180;
constexpr unsigned CD_MAX_TRACKS = 99;   // what an audio disc can hold

// One drive with at most one disc of equal-length tracks. The drive plays on its own once told
// to (as a drive with an analog line to the sound card does): closing the device does not stop
// it, a play runs from its start to the end of the disc and then the drive stops there.
//
// What it understands, as string commands ("VERB cdaudio ...", any case) and as messages:
//   open [shareable] [wait]                    MCI_OPEN with MCI_OPEN_TYPE "cdaudio"
//   close, stop [wait]                         MCI_CLOSE, MCI_STOP
//   set time format tmsf|milliseconds|ms       MCI_SET with MCI_SET_TIME_FORMAT (TMSF, milliseconds)
//   set door open|closed                       MCI_SET with MCI_SET_DOOR_OPEN or MCI_SET_DOOR_CLOSED
//   play [from POSITION] [wait]                (string only) POSITION a track in TMSF ("5", "5:1:30:0")
//   status mode|current track|number of tracks|media present   (string only)
// Every other verb or message fails with MCIERR_UNRECOGNIZED_COMMAND, every other word or flag
// (notify among them: the drive posts no notifications) with MCIERR_UNRECOGNIZED_KEYWORD.
// Without a drive "cdaudio" does not exist: open fails with MCIERR_INVALID_DEVICE_NAME. A string
// command to a name that is not open fails the same way (the drive is never opened for a single
// command); a message to a closed or unknown identifier fails with MCIERR_INVALID_DEVICE_ID.
// Without a readable disc (none, or the door open) play, current track and number of tracks fail
// with MCIERR_HARDWARE; a position the disc does not have fails with MCIERR_OUTOFRANGE.
class SIM_API CdDrive : public ClockedDevice {
public:
    CdDrive();

    // A drive as the bench starts it: present, a disc of 12 tracks of 180 s, door closed,
    // nothing open and nothing playing.
    void reset();

    // The bench's settings and hands.
    void set_installed(bool installed);     // a removed drive closes every open device
    void set_track_seconds(unsigned seconds);   // for the discs inserted from now on
    void insert_disc(unsigned tracks);      // replaces any disc; the drive stops
    void eject_disc();                      // the drive stops
    void finish();                          // a playing disc reaches its end now

    // Scripted answers, for failures and replies that the drive cannot reach by itself (a driver
    // that refuses a command, a reply in other words): a string command equal to COMMAND (any
    // case) is answered with CODE and, when CODE is 0, with REPLY; a message with exactly these
    // flags fails with CODE. Each stays until reset().
    void script_answer(const char* command, MCIERROR code, const char* reply = "");
    void script_message_answer(UINT message, DWORD_PTR flags, MCIERROR code);

    // The two faces of MCI, each traced ("mci "COMMAND" -> CODE", "mci-command 0xMSG 0xFLAGS ->
    // CODE"), and the identifier of an open device by name (0 if none).
    MCIERROR send_string(const char* command, char* reply, UINT reply_size);
    MCIERROR send_command(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parameters);
    MCIDEVICEID device_id(const char* name) const;

    // What the drive is doing.
    bool installed() const { return installed_; }
    bool has_disc() const { return tracks_ > 0; }
    bool door_open() const { return door_open_; }
    bool playing() const { return playing_; }
    unsigned tracks() const { return tracks_; }
    unsigned current_track() const;
    std::uint64_t position_ms() const;
    std::size_t open_devices() const { return devices_.size(); }

    std::uint64_t next_event_ms() const override;
    void on_clock(std::uint64_t now_ms) override;
    const char* name() const override { return "CD drive"; }

private:
    struct ScriptedString {
        std::string command;
        MCIERROR code;
        std::string reply;
    };
    struct ScriptedMessage {
        UINT message;
        DWORD_PTR flags;
        MCIERROR code;
    };
    struct Device {
        MCIDEVICEID id;
        std::string name;
        DWORD time_format;
    };

    // A string command as its message: the flags its words stand for and the parameter record
    // they fill, as a caller of the message face would have passed them.
    struct Request {
        DWORD_PTR flags = 0;
        DWORD_PTR parameters = 0;   // the record below that the message reads, or 0
        MCI_OPEN_PARMSA open{};
        MCI_SET_PARMS set{};
        MCI_PLAY_PARMS play{};
        MCI_STATUS_PARMS status{};
    };
    using Words = std::vector<std::string>;
    using Reader = MCIERROR (*)(const std::string& name, const Words& words, DWORD time_format, Request& request);
    using Runner = MCIERROR (CdDrive::*)(Device* device, DWORD_PTR flags, DWORD_PTR parameters);
    using Replier = std::string (*)(const Request& request);
    // One MCI command as both faces reach it: its verb, its message, whether it is also taken as
    // a message, how its words read into the message, what it does, and its string reply.
    struct Command {
        const char* verb;
        UINT message;
        bool by_message;
        Reader read;
        Runner run;
        Replier reply;   // null: the empty reply
    };
    static const Command COMMANDS[];
    static const Command* command_named(const std::string& verb);
    static const Command* command_of(UINT message);

    MCIERROR answer_string(const char* command, char* reply, UINT reply_size);
    MCIERROR answer_command(MCIDEVICEID id, UINT message, DWORD_PTR flags, DWORD_PTR parameters);

    // The string face's readers, one per command.
    static MCIERROR read_open(const std::string& name, const Words& words, DWORD time_format, Request& request);
    static MCIERROR read_no_words(const std::string& name, const Words& words, DWORD time_format, Request& request);
    static MCIERROR read_set(const std::string& name, const Words& words, DWORD time_format, Request& request);
    static MCIERROR read_play(const std::string& name, const Words& words, DWORD time_format, Request& request);
    static MCIERROR read_status(const std::string& name, const Words& words, DWORD time_format, Request& request);
    static std::string open_reply(const Request& request);
    static std::string status_reply(const Request& request);

    // The messages, one per command; a string command reaches them as its message.
    MCIERROR run_open(Device* device, DWORD_PTR flags, DWORD_PTR parameters);
    MCIERROR run_close(Device* device, DWORD_PTR flags, DWORD_PTR parameters);
    MCIERROR run_stop(Device* device, DWORD_PTR flags, DWORD_PTR parameters);
    MCIERROR run_set(Device* device, DWORD_PTR flags, DWORD_PTR parameters);
    MCIERROR run_play(Device* device, DWORD_PTR flags, DWORD_PTR parameters);
    MCIERROR run_status(Device* device, DWORD_PTR flags, DWORD_PTR parameters);

    Device* find_device(MCIDEVICEID id);
    const Device* find_device(const std::string& name) const;
    Device* find_device(const std::string& name);
    MCIERROR check_type(const std::string& type) const;
    bool readable() const { return has_disc() && !door_open_; }
    std::uint64_t track_ms() const { return std::uint64_t(track_seconds_) * 1000; }
    std::uint64_t disc_ms() const { return track_ms() * tracks_; }
    void stop();                  // where it stands
    void stop_and_rewind();       // at the start of the disc, as a new or removed disc leaves it
    void reach_end();
    bool position_on_disc(DWORD from, DWORD time_format, std::uint64_t& start) const;

    bool installed_ = true;
    unsigned disc_track_seconds_ = CD_DEFAULT_TRACK_SECONDS;   // for the next inserted disc
    unsigned tracks_ = CD_DEFAULT_TRACKS;                      // 0: no disc
    unsigned track_seconds_ = CD_DEFAULT_TRACK_SECONDS;
    bool door_open_ = false;
    bool playing_ = false;
    std::uint64_t position_ms_ = 0;    // where the disc stands, or stood when it started to play
    std::uint64_t started_at_ms_ = 0;  // the clock when it started to play
    std::vector<Device> devices_;
    std::vector<ScriptedString> scripted_strings_;
    std::vector<ScriptedMessage> scripted_messages_;
    MCIDEVICEID next_id_ = 1;
};

// The one drive of the simulated platform, shared by the host and the modules.
SIM_API CdDrive& cd_drive();

}  // namespace sim
