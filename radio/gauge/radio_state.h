// The radio's one module-wide state record: source, power, pause, preset, volumes, what the CD
// drive last reported, the song paths and the click sound.
#pragma once

#include <cstdint>

// The click sound's buffer; the sound device's declarations name it LPDIRECTSOUNDBUFFER.
struct IDirectSoundBuffer;

// source codes
constexpr std::int32_t MODE_CD = 0;
constexpr std::int32_t MODE_FM = 1;
constexpr std::int32_t MODE_AM = 2;

// Volumes are hundredths of a decibel of attenuation: 0 is full, -10000 silent.
constexpr std::int32_t VOLUME_STEP = 150;

constexpr int SONG_COUNT = 6;

// load values
constexpr std::int32_t POWER_AT_LOAD = 0;
constexpr std::int32_t MODE_AT_LOAD = MODE_CD;
constexpr std::int32_t PRESET_AT_LOAD = 0;
constexpr std::int32_t MUSIC_VOLUME_AT_LOAD = -2000;
constexpr std::int32_t CD_VOLUME_AT_LOAD = -8000;

struct RadioState {
    std::int32_t power;            // 0 off, 1 on
    std::int32_t mode;             // MODE_CD, MODE_FM or MODE_AM
    std::int32_t preset;           // 0..5: the CD track to start, or the song to play
    std::int32_t station_image;    // 0 in CD mode, 1..6 FM presets, 7..12 AM presets
    std::int32_t paused;           // 1 while the pause button holds playback stopped
    std::int32_t door_open;        // 1 after the door button opened the tray
    std::int32_t cd_playing;       // 1 when the drive last answered "playing"
    std::int32_t cd_track;         // the current track the drive last reported (1-based)
    std::int32_t music_volume;     // the music player's volume in FM and AM modes
    std::int32_t cd_volume;        // the CD line's volume in CD mode
    std::uint32_t cd_result;       // the result of the last CD play or stop request
    const char* song_path[SONG_COUNT];   // the path to play for song N in entry N-1, or null
    IDirectSoundBuffer* click_sound;     // the click's sound buffer, or null
};

// Lives from library load to unload; install and kill do not reset it.
extern RadioState radio_state;
