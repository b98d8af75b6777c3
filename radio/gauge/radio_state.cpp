// The radio's state record with its load values.
#include "radio/gauge/radio_state.h"

// Constant-initialised (constinit), so it holds these values from the moment the library is loaded.
constinit RadioState radio_state = {
    /* power         */ POWER_AT_LOAD,
    /* mode          */ MODE_AT_LOAD,
    /* preset        */ PRESET_AT_LOAD,
    /* station_image */ 0,
    /* paused        */ 0,
    /* door_open     */ 0,
    /* cd_playing    */ 0,
    /* cd_track      */ 0,
    /* music_volume  */ MUSIC_VOLUME_AT_LOAD,
    /* cd_volume     */ CD_VOLUME_AT_LOAD,
    /* cd_result     */ 0,
    /* song_path     */ {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    /* click_sound   */ nullptr,
};
