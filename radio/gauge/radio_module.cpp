// The radio gauge module: its exported records, the `tuneset` header, the lifecycle routines, the
// gauge callback that sets the audio back-ends up and tears them down, and the chain walks.
#include "radio/gauge/radio.h"
#include "radio/gauge/radio_state.h"
#include "radio/audio/cd_device.h"
#include "radio/audio/cd_line_mixer.h"
#include "radio/audio/click_sound.h"
#include "radio/audio/music_player.h"
#include "platform/platform.h"

GAUGE_EXPORT IMPORT_TABLE ImportTable = {{IMPORT_ID_PANELS, nullptr}, {0, nullptr}};

namespace {

void HOST_CALL radio_module_init() {}

void HOST_CALL radio_module_deinit() {}

}  // namespace

GAUGE_EXPORT MODULE_LINKAGE<2> Linkage = {
    {MODULE_ID_GAUGES, radio_module_init, radio_module_deinit, 0, 0, 0},
    {&radio_header, nullptr}};

namespace {

// The click plays 5 dB below full.
constexpr LONG CLICK_VOLUME = -500;

// Song N's candidate files in entry N-1, in the order they are tried: the first that the player
// can render is the song.
const char* const SONG_CANDIDATES[SONG_COUNT][4] = {
    {".\\Sound\\song1.wma", ".\\Sound\\song1.mp3", ".\\Sound\\song1.wav", ".\\Sound\\song1.mid"},
    {".\\Sound\\song2.wma", ".\\Sound\\song2.mp3", ".\\Sound\\song2.wav", ".\\Sound\\song2.mid"},
    {".\\Sound\\song3.wma", ".\\Sound\\song3.mp3", ".\\Sound\\song3.wav", ".\\Sound\\song3.mid"},
    {".\\Sound\\song4.wma", ".\\Sound\\song4.mp3", ".\\Sound\\song4.wav", ".\\Sound\\song4.mid"},
    {".\\Sound\\song5.wma", ".\\Sound\\song5.mp3", ".\\Sound\\song5.wav", ".\\Sound\\song5.mid"},
    {".\\Sound\\song6.wma", ".\\Sound\\song6.mp3", ".\\Sound\\song6.wav", ".\\Sound\\song6.mid"},
};

// The root element of the module's one gauge, as the host sees it through Linkage.
ELEMENT_HEADER* root()
{
    return Linkage.gauge_list[0]->elements_list[0];
}

// ---- the lifecycle routines: each hands the element chain to its host service ----

void HOST_CALL radio_query_routine()
{
    host()->element_list_query(root());
}

void HOST_CALL radio_install_routine(void* resource_handle)
{
    host()->element_list_install(root(), resource_handle);
}

void HOST_CALL radio_initialize_routine()
{
    host()->element_list_initialize(root());
}

void HOST_CALL radio_update_routine()
{
    host()->element_list_update(root());
}

void HOST_CALL radio_generate_routine(std::uint32_t phase)
{
    host()->element_list_generate(root(), phase);
}

void HOST_CALL radio_draw_routine()
{
    host()->element_list_plot(root());
}

void HOST_CALL radio_kill_routine()
{
    host()->element_list_kill(root());
}

// ---- the gauge callback ----

const char* probe_song(const char* const (&candidates)[4])
{
    for (const char* candidate : candidates)
        if (const char* path = music_probe_song(candidate))
            return path;
    return nullptr;
}

// The back-ends in their fixed order; nothing of the controls' state changes, so a radio that was
// on before a kill comes up on again.
void install_audio(HINSTANCE instance)
{
    click_device_open(instance);
    radio_state.click_sound = click_load_sound("CLICK_RCD");
    click_set_volume(radio_state.click_sound, CLICK_VOLUME);
    music_player_create(instance, 0, 0, 0, 0);
    for (int song = 0; song < SONG_COUNT; ++song)
        radio_state.song_path[song] = probe_song(SONG_CANDIDATES[song]);
    music_set_volume(radio_state.music_volume);
    cd_open();
    cd_line_open();
    cd_line_set_volume(radio_state.cd_volume);
    cd_stop();
}

// The displays light with the power; the track digits show only while the disc plays in CD mode.
// cd_playing is the track display's answer from the previous pass, so the digits follow the drive
// one pass late; the host refreshes hidden elements too, which is what lets them appear at all.
void show_displays(ELEMENT_HEADER* root_element)
{
    if (radio_state.power != 0) {
        element_clear_flags(root_element, POSITION_BUTTON_LIGHTS, IMAGE_HIDDEN);
        element_clear_flags(root_element, POSITION_POWER_LIGHT, IMAGE_HIDDEN);
        element_clear_flags(root_element, POSITION_STATION, IMAGE_HIDDEN);
        element_clear_flags(root_element, POSITION_PRESET, IMAGE_HIDDEN);
        element_clear_flags(root_element, POSITION_MODE, IMAGE_HIDDEN);
        if (radio_state.mode == MODE_CD && radio_state.cd_playing != 0)
            element_clear_flags(root_element, POSITION_TRACK_DISPLAY, IMAGE_HIDDEN);
        else
            element_set_flags(root_element, POSITION_TRACK_DISPLAY, IMAGE_HIDDEN);
    } else {
        element_set_flags(root_element, POSITION_BUTTON_LIGHTS, IMAGE_HIDDEN);
        element_set_flags(root_element, POSITION_POWER_LIGHT, IMAGE_HIDDEN);
        element_set_flags(root_element, POSITION_STATION, IMAGE_HIDDEN);
        element_set_flags(root_element, POSITION_PRESET, IMAGE_HIDDEN);
        element_set_flags(root_element, POSITION_MODE, IMAGE_HIDDEN);
        element_set_flags(root_element, POSITION_TRACK_DISPLAY, IMAGE_HIDDEN);
    }
}

// The state record keeps its values, the now stale click and song pointers too, until the next
// install overwrites them.
void kill_audio()
{
    cd_line_close();
    cd_stop();
    cd_close();
    music_player_destroy();
    click_release_sound(radio_state.click_sound);
    click_device_close();
    // COM is owed its counterpart only when the install's CoInitialize succeeded (S_OK or
    // S_FALSE); after a failed one the thread's COM is not ours to end.
    if (click_com_initialized())
        CoUninitialize();
}

void HOST_CALL radio_gauge_callback(GAUGEHDR* gauge, std::int32_t service_id, std::uintptr_t extra_data)
{
    switch (service_id) {
    case PANEL_SERVICE_PRE_INSTALL:
        install_audio(reinterpret_cast<HINSTANCE>(extra_data));
        break;
    case PANEL_SERVICE_PRE_UPDATE:
        show_displays(gauge->elements_list[0]);
        break;
    case PANEL_SERVICE_PRE_KILL:
        kill_audio();
        break;
    default:
        break;
    }
}

// The element `steps` links down from start, or null where the chain ends before it.
ELEMENT_HEADER* walk(ELEMENT_HEADER* start, std::uint32_t steps)
{
    ELEMENT_HEADER* element = start;
    for (std::uint32_t step = 0; step < steps && element; ++step)
        element = element->next_element ? element->next_element[0] : nullptr;
    return element;
}

}  // namespace

void element_set_flags(ELEMENT_HEADER* start, std::uint32_t steps, std::uint32_t mask)
{
    if (ELEMENT_HEADER* element = walk(start, steps))
        element->image_flags |= mask;
}

void element_clear_flags(ELEMENT_HEADER* start, std::uint32_t steps, std::uint32_t mask)
{
    if (ELEMENT_HEADER* element = walk(start, steps))
        element->image_flags &= ~mask;
}

GAUGEHDR radio_header = {
    GAUGE_HEADER_VERSION_700,      // 0
    "tuneset",                     // 1: the name a panel uses for the gauge
    radio_elements,                // 2
    radio_query_routine,           // 3
    radio_install_routine,         // 4
    radio_initialize_routine,      // 5
    radio_update_routine,          // 6
    radio_generate_routine,        // 7
    radio_draw_routine,            // 8
    radio_kill_routine,            // 9
    0,                             // 10: reserved
    98,                            // 11: default width in millimetres
    0,                             // 12: no default height
    0.0f, 0.0f,                    // 13, 14: no adjustment
    {},                            // 15 to 19: reserved
    radio_mouse_rects,             // 20: installed and registered by the host
    radio_gauge_callback,          // 21
    0,                             // 22: no user data
};

// Loading the library does no work: everything starts from the host's calls.
MODULE_ENTRY_POINT BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
