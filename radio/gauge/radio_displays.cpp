// The radio's displays: the values of the four icons and the volume needle, read from the state,
// and the CD track display, which asks the drive and restarts a disc that has stopped.
#include "radio/gauge/radio.h"
#include "radio/gauge/radio_state.h"
#include "radio/audio/cd_device.h"
#include "platform/platform.h"

#include <cstring>

namespace {

// The preset indicator's picture with no button marked: CD mode plays tracks, not presets.
constexpr double NO_PRESET_MARKED = 6.0;

constexpr std::int32_t TRACK_SHOWN_MAX = 99;
const char BLANK_TRACK[] = "  ";
// A track number that two digits cannot show, reported by a drive that misbehaves.
const char UNSHOWABLE_TRACK[] = "--";

// The host allocates the text for the element's two characters and a terminator; nothing longer
// may be written, whatever the drive reported.
void show_text(ELEMENT_HEADER* element, const char* text)
{
    char* buffer = reinterpret_cast<ELEMENT_STRING*>(element)->string;
    if (buffer)
        std::strcpy(buffer, text);
}

void show_track(ELEMENT_HEADER* element, std::int32_t track)
{
    char* buffer = reinterpret_cast<ELEMENT_STRING*>(element)->string;
    if (!buffer)
        return;
    if (track < 0 || track > TRACK_SHOWN_MAX)
        std::strcpy(buffer, UNSHOWABLE_TRACK);
    else
        wsprintfA(buffer, "%02d", track);
}

// A disc that stopped (at its end, or after a start that failed) starts again from track 1, so
// the disc repeats; a failed start is kept in cd_result and tried again on the next pass.
void restart_disc(ELEMENT_HEADER* element)
{
    if (cd_query_media() != 0)
        return;
    radio_state.cd_result = cd_play_track(1);
    show_text(element, BLANK_TRACK);
}

}  // namespace

double HOST_CALL power_icon_value(ELEMENT_HEADER*)
{
    return radio_state.power;
}

double HOST_CALL station_icon_value(ELEMENT_HEADER*)
{
    return radio_state.station_image;
}

double HOST_CALL preset_icon_value(ELEMENT_HEADER*)
{
    if (radio_state.mode == MODE_CD)
        return NO_PRESET_MARKED;
    return radio_state.preset;
}

double HOST_CALL mode_icon_value(ELEMENT_HEADER*)
{
    return radio_state.mode;
}

// The needle shows the volume that the volume buttons act on, or the off mark.
double HOST_CALL volume_needle_value(ELEMENT_HEADER*)
{
    if (radio_state.power == 0)
        return NEEDLE_OFF_VALUE;
    if (radio_state.mode != MODE_CD)
        return radio_state.music_volume;
    return radio_state.cd_volume;
}

// The drive is asked on every pass, whatever the power or the mode: the gauge callback decides
// from cd_playing whether the digits are drawn on the next pass.
double HOST_CALL track_display_update(ELEMENT_HEADER* element)
{
    radio_state.cd_playing = cd_query_playing() ? 1 : 0;
    if (radio_state.mode == MODE_CD && radio_state.power != 0 && radio_state.paused == 0) {
        if (radio_state.cd_playing == 1) {
            cd_query_current_track(radio_state.cd_track);
            show_track(element, radio_state.cd_track);
        } else {
            restart_disc(element);
        }
    } else {
        show_text(element, BLANK_TRACK);
    }
    return radio_state.cd_track;
}
