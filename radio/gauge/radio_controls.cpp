// The radio's sixteen buttons: power, door, the three sources, six presets, volume, track
// stepping and pause, as one state machine over the radio state.
#include "radio/gauge/radio.h"
#include "radio/gauge/radio_state.h"
#include "radio/audio/cd_device.h"
#include "radio/audio/cd_line_mixer.h"
#include "radio/audio/click_sound.h"
#include "radio/audio/music_player.h"
#include "platform/platform.h"

namespace {

constexpr std::int32_t VOLUME_SILENT = -10000;
constexpr std::int32_t VOLUME_FULL = 0;
// The station pictures: 0 for CD, then the six FM stations, then the six AM stations.
constexpr std::int32_t STATION_CD = 0;
constexpr std::int32_t STATION_FM_FIRST = 1;
constexpr std::int32_t STATION_AM_FIRST = 7;

const char* const SONG_MISSING[SONG_COUNT] = {
    "song1 not installed", "song2 not installed", "song3 not installed",
    "song4 not installed", "song5 not installed", "song6 not installed",
};

// Every message is modal over the active window, with an OK button and no icon.
void show_message(const char* text, const char* caption)
{
    MessageBoxA(GetActiveWindow(), text, caption, MB_OK);
}

void click()
{
    click_play(radio_state.click_sound, 0);
}

// Song N = 1..6, repeated without end; a song that was not found at install is reported.
void start_song(std::int32_t song)
{
    if (const char* path = radio_state.song_path[song - 1])
        music_play(path, 1);
    else
        show_message(SONG_MISSING[song - 1], nullptr);
}

void start_cd_track_silent(std::uint32_t track)
{
    radio_state.cd_result = cd_play_track(track);
}

void start_cd_track_reported(std::uint32_t track)
{
    radio_state.cd_result = cd_play_track(track);
    if (radio_state.cd_result != 0)
        show_message("Audio CD Not Installed", "MCI Error");
}

// The current preset's CD track or song: preset index 0..5 is track or song 1..6.
std::uint32_t preset_track()
{
    return static_cast<std::uint32_t>(radio_state.preset + 1);
}

std::int32_t preset_song()
{
    return radio_state.preset + 1;
}

// The preset buttons differ only in their number.
void press_preset(std::int32_t number)
{
    click();
    radio_state.preset = number - 1;
    radio_state.paused = 0;
    music_stop();
    if (radio_state.mode == MODE_CD) {
        radio_state.station_image = STATION_CD;
        if (radio_state.power != 0)
            start_cd_track_reported(static_cast<std::uint32_t>(number));
    } else if (radio_state.mode == MODE_FM) {
        radio_state.station_image = STATION_FM_FIRST + number - 1;
        if (radio_state.power != 0)
            start_song(number);
    } else if (radio_state.mode == MODE_AM) {
        radio_state.station_image = STATION_AM_FIRST + number - 1;
        if (radio_state.power != 0)
            start_song(number);
    }
}

// FM and AM play the same six songs; they differ only in the station picture.
void select_band(std::int32_t mode, std::int32_t first_station)
{
    click();
    cd_stop();
    music_stop();
    radio_state.mode = mode;
    radio_state.paused = 0;
    radio_state.station_image = radio_state.preset + first_station;
    if (radio_state.power == 1)
        start_song(preset_song());
}

}  // namespace

// A start that fails at power-on is not reported: the track display keeps trying track 1.
std::int32_t HOST_CALL on_power(PIXEL_POINT*, std::uint32_t)
{
    click();
    if (radio_state.power != 0) {
        radio_state.power = 0;
        if (radio_state.mode == MODE_CD)
            cd_stop();
        else
            music_stop();
    } else {
        if (radio_state.mode == MODE_CD)
            start_cd_track_silent(preset_track());
        else
            start_song(preset_song());
        radio_state.power = 1;
    }
    radio_state.paused = 0;
    return 1;
}

// The door does not pause the radio: with the tray open the track display goes on asking for
// the disc to start from track 1.
std::int32_t HOST_CALL on_door(PIXEL_POINT*, std::uint32_t)
{
    if (radio_state.power == 1 && radio_state.mode == MODE_CD) {
        if (radio_state.door_open == 0) {
            cd_stop();
            cd_door_open();
            radio_state.door_open = 1;
        } else {
            cd_door_close();
            radio_state.door_open = 0;
        }
    }
    radio_state.paused = 0;
    return 1;
}

std::int32_t HOST_CALL on_mode_cd(PIXEL_POINT*, std::uint32_t)
{
    click();
    radio_state.station_image = STATION_CD;
    radio_state.paused = 0;
    music_stop();
    if (radio_state.power == 1)
        start_cd_track_reported(preset_track());
    radio_state.mode = MODE_CD;
    return 1;
}

std::int32_t HOST_CALL on_mode_fm(PIXEL_POINT*, std::uint32_t)
{
    select_band(MODE_FM, STATION_FM_FIRST);
    return 1;
}

std::int32_t HOST_CALL on_mode_am(PIXEL_POINT*, std::uint32_t)
{
    select_band(MODE_AM, STATION_AM_FIRST);
    return 1;
}

std::int32_t HOST_CALL on_preset_1(PIXEL_POINT*, std::uint32_t)
{
    press_preset(1);
    return 1;
}

std::int32_t HOST_CALL on_preset_2(PIXEL_POINT*, std::uint32_t)
{
    press_preset(2);
    return 1;
}

std::int32_t HOST_CALL on_preset_3(PIXEL_POINT*, std::uint32_t)
{
    press_preset(3);
    return 1;
}

std::int32_t HOST_CALL on_preset_4(PIXEL_POINT*, std::uint32_t)
{
    press_preset(4);
    return 1;
}

std::int32_t HOST_CALL on_preset_5(PIXEL_POINT*, std::uint32_t)
{
    press_preset(5);
    return 1;
}

std::int32_t HOST_CALL on_preset_6(PIXEL_POINT*, std::uint32_t)
{
    press_preset(6);
    return 1;
}

// The volume buttons never click and work with the power off. The guard comes before the step,
// so the stored volume can stand one step past either end; the setters clamp what they apply,
// and the needle shows the stored value.
std::int32_t HOST_CALL on_volume_down(PIXEL_POINT*, std::uint32_t)
{
    if (radio_state.mode != MODE_CD) {
        if (radio_state.music_volume > VOLUME_SILENT) {
            radio_state.music_volume -= VOLUME_STEP;
            music_set_volume(radio_state.music_volume);
        }
    } else {
        if (radio_state.cd_volume > VOLUME_SILENT) {
            radio_state.cd_volume -= VOLUME_STEP;
            cd_line_set_volume(radio_state.cd_volume);
        }
    }
    return 1;
}

std::int32_t HOST_CALL on_volume_up(PIXEL_POINT*, std::uint32_t)
{
    if (radio_state.mode != MODE_CD) {
        if (radio_state.music_volume < VOLUME_FULL) {
            radio_state.music_volume += VOLUME_STEP;
            music_set_volume(radio_state.music_volume);
        }
    } else {
        if (radio_state.cd_volume < VOLUME_FULL) {
            radio_state.cd_volume += VOLUME_STEP;
            cd_line_set_volume(radio_state.cd_volume);
        }
    }
    return 1;
}

// The drive wraps: track 0 plays the last track, and a track past the last falls back to track
// 1. The step is taken on the unsigned track number, so track 0 asks for 4294967295 without
// overflowing whatever the drive reported.
std::int32_t HOST_CALL on_prev_track(PIXEL_POINT*, std::uint32_t)
{
    click();
    if (radio_state.mode == MODE_CD && radio_state.power == 1)
        start_cd_track_reported(static_cast<std::uint32_t>(radio_state.cd_track) - 1u);
    radio_state.paused = 0;
    return 1;
}

std::int32_t HOST_CALL on_next_track(PIXEL_POINT*, std::uint32_t)
{
    click();
    if (radio_state.mode == MODE_CD && radio_state.power == 1)
        start_cd_track_reported(static_cast<std::uint32_t>(radio_state.cd_track) + 1u);
    radio_state.paused = 0;
    return 1;
}

// Pause stops playback; resuming starts the current track or song again from its beginning.
std::int32_t HOST_CALL on_pause(PIXEL_POINT*, std::uint32_t)
{
    click();
    if (radio_state.power == 0) {
        radio_state.paused = 0;
        return 1;
    }
    if (radio_state.paused != 0) {
        if (radio_state.mode == MODE_CD)
            start_cd_track_silent(static_cast<std::uint32_t>(radio_state.cd_track));
        else
            start_song(preset_song());
        radio_state.paused = 0;
    } else {
        if (radio_state.mode == MODE_CD)
            radio_state.cd_result = cd_stop();
        else
            music_stop();
        radio_state.paused = 1;
    }
    return 1;
}
