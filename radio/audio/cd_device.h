// The audio-CD drive, driven through the media control interface (MCI) of WinMM as the device
// "cdaudio": open, play from a track with the radio's wrap-around, stop, door, close, status.
#pragma once

#include "platform/platform.h"

#include <cstdint>

// The size of every MCI reply buffer and of the formatted play command.
constexpr UINT CD_REPLY_SIZE = 128;

// The device the identifier-addressed operations reach: set by cd_open, and again by every play,
// which reopens the drive by name.
extern MCIDEVICEID cd_device_id;

// Each returns the platform's MCI error code unchanged, 0 on success.
MCIERROR cd_open();
MCIERROR cd_stop();
MCIERROR cd_door_open();
MCIERROR cd_door_close();
MCIERROR cd_close();

// Plays from the start of the track to the end of the disc; 0 asks for the last track; a track
// that cannot be played falls back to track 1. 0 when the disc plays.
MCIERROR cd_play_track(std::uint32_t track);

// True only when the drive answers exactly "playing".
bool cd_query_playing();
// On success the track becomes the drive's current track; on failure it keeps its value.
void cd_query_current_track(std::int32_t& track);
// The result of the "media present" status command itself; the answer is not read.
MCIERROR cd_query_media();
