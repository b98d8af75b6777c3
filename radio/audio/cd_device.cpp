// Drives the audio-CD drive "cdaudio" through MCI: command messages by identifier, string commands by name.
#include "radio/audio/cd_device.h"

#include <cstdlib>
#include <cstring>

MCIDEVICEID cd_device_id = 0;

namespace {

char cd_track_count_reply[CD_REPLY_SIZE];
char cd_mode_reply[CD_REPLY_SIZE];
char cd_current_track_reply[CD_REPLY_SIZE];

MCIERROR send(const char* command)
{
    return mciSendStringA(command, nullptr, 0, nullptr);
}

MCIERROR send_to_device(UINT message, DWORD_PTR flags, void* parameters)
{
    return mciSendCommandA(cd_device_id, message, flags, reinterpret_cast<DWORD_PTR>(parameters));
}

}  // namespace

MCIERROR cd_open()
{
    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = "cdaudio";
    MCIERROR result = mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE, reinterpret_cast<DWORD_PTR>(&open));
    if (result != 0)
        return result;
    cd_device_id = open.wDeviceID;

    MCI_SET_PARMS set = {};
    set.dwTimeFormat = MCI_FORMAT_TMSF;
    result = send_to_device(MCI_SET, MCI_SET_TIME_FORMAT, &set);
    if (result != 0) {
        send_to_device(MCI_CLOSE, 0, nullptr);
        return result;
    }
    return 0;
}

MCIERROR cd_stop()
{
    return send_to_device(MCI_STOP, 0, nullptr);
}

MCIERROR cd_door_open()
{
    return send_to_device(MCI_SET, MCI_SET_DOOR_OPEN, nullptr);
}

MCIERROR cd_door_close()
{
    return send_to_device(MCI_SET, MCI_SET_DOOR_CLOSED, nullptr);
}

MCIERROR cd_close()
{
    return send_to_device(MCI_CLOSE, 0, nullptr);
}

MCIERROR cd_play_track(std::uint32_t track)
{
    char command[CD_REPLY_SIZE];
    send("stop cdaudio");
    send("close cdaudio");
    send("open cdaudio");
    // Every play reopens the drive by name, which closes the device that the identifier named;
    // stop, door and close must reach the device that this play opened, the one that plays.
    cd_device_id = mciGetDeviceIDA("cdaudio");
    send("set cdaudio time format tmsf");

    std::uint32_t from = track;
    if (track == 0) {
        from = 1;
        if (mciSendStringA("status cdaudio number of tracks", cd_track_count_reply, CD_REPLY_SIZE, nullptr) == 0)
            from = static_cast<std::uint32_t>(std::atoi(cd_track_count_reply));
    }
    wsprintfA(command, "play cdaudio from %u", from);
    if (send(command) == 0)
        return 0;
    return send("play cdaudio from 1");
}

bool cd_query_playing()
{
    if (mciSendStringA("status cdaudio mode", cd_mode_reply, CD_REPLY_SIZE, nullptr) != 0)
        return false;
    return std::strcmp(cd_mode_reply, "playing") == 0;
}

void cd_query_current_track(std::int32_t& track)
{
    if (mciSendStringA("status cdaudio current track", cd_current_track_reply, CD_REPLY_SIZE, nullptr) == 0)
        track = std::atoi(cd_current_track_reply);
}

MCIERROR cd_query_media()
{
    return mciSendStringA("status cdaudio media present", nullptr, 0, nullptr);
}
