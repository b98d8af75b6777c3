// A gauge module of the tests' own that sets up the media back-ends as the radio does (click
// sound, music player, the six songs) and plays or stops song 1 on a click, so that runs of
// panelhost show the devices, the options and the message loop working together.
#include "host/panel_host.h"
#include "platform/platform.h"
#include "radio/audio/click_sound.h"
#include "radio/audio/music_player.h"

GAUGE_EXPORT IMPORT_TABLE ImportTable = {{IMPORT_ID_PANELS, nullptr}, {0, nullptr}};

namespace {

extern GAUGEHDR media_header;

const char* const SONG_CANDIDATES[6][4] = {
    {".\\Sound\\song1.wma", ".\\Sound\\song1.mp3", ".\\Sound\\song1.wav", ".\\Sound\\song1.mid"},
    {".\\Sound\\song2.wma", ".\\Sound\\song2.mp3", ".\\Sound\\song2.wav", ".\\Sound\\song2.mid"},
    {".\\Sound\\song3.wma", ".\\Sound\\song3.mp3", ".\\Sound\\song3.wav", ".\\Sound\\song3.mid"},
    {".\\Sound\\song4.wma", ".\\Sound\\song4.mp3", ".\\Sound\\song4.wav", ".\\Sound\\song4.mid"},
    {".\\Sound\\song5.wma", ".\\Sound\\song5.mp3", ".\\Sound\\song5.wav", ".\\Sound\\song5.mid"},
    {".\\Sound\\song6.wma", ".\\Sound\\song6.mp3", ".\\Sound\\song6.wav", ".\\Sound\\song6.mid"},
};

LPCSTR song_path[6] = {};
LPDIRECTSOUNDBUFFER click_sound = nullptr;

std::int32_t HOST_CALL on_play(PIXEL_POINT*, std::uint32_t)
{
    click_play(click_sound, 0);
    music_stop();
    if (song_path[0])
        music_play(song_path[0], 1);
    else
        MessageBoxA(GetActiveWindow(), "song1 not installed", nullptr, MB_OK);
    return 1;
}

std::int32_t HOST_CALL on_stop(PIXEL_POINT*, std::uint32_t)
{
    click_play(click_sound, 0);
    music_stop();
    return 1;
}

// kind               x   y   w   h   cursor       help flags             event handler  data
MOUSERECT media_mouse[] = {
    {MOUSE_RECT_PARENT,     0, 0,  0,  0, CURSOR_NONE, 0, 0,                0, nullptr,  nullptr},
    {MOUSE_RECT_CHILD,      0, 0, 50, 50, CURSOR_HAND, 0, MOUSE_LEFTSINGLE, 0, on_play,  nullptr},
    {MOUSE_RECT_CHILD,     50, 0, 50, 50, CURSOR_HAND, 0, MOUSE_LEFTSINGLE, 0, on_stop,  nullptr},
    {MOUSE_RECT_END_PARENT, 0, 0,  0,  0, CURSOR_NONE, 0, 0,                0, nullptr,  nullptr},
    {MOUSE_RECT_EOL,        0, 0,  0,  0, CURSOR_NONE, 0, 0,                0, nullptr,  nullptr},
};

ELEMENT_STATIC_IMAGE media_root = {
    {ELEMENT_TYPE_STATIC_IMAGE, 1, {0, 0}, {}, {}, &media_header, nullptr, nullptr, nullptr, 0, 0, 0},
    nullptr, nullptr};
ELEMENT_HEADER* media_elements[] = {&media_root.header, nullptr};

void install_media(HINSTANCE instance)
{
    click_device_open(instance);
    click_sound = click_load_sound("CLICK_RCD");
    click_set_volume(click_sound, -500);
    music_player_create(instance, 0, 0, 0, 0);
    for (int song = 0; song < 6; ++song) {
        song_path[song] = nullptr;
        for (const char* candidate : SONG_CANDIDATES[song])
            if ((song_path[song] = music_probe_song(candidate)))
                break;
    }
    music_set_volume(-2000);
}

void kill_media()
{
    music_player_destroy();
    click_release_sound(click_sound);
    click_device_close();
    if (click_com_initialized())
        CoUninitialize();
}

void HOST_CALL media_callback(GAUGEHDR*, std::int32_t service, std::uintptr_t extra)
{
    if (service == PANEL_SERVICE_PRE_INSTALL)
        install_media(reinterpret_cast<HINSTANCE>(extra));
    else if (service == PANEL_SERVICE_PRE_KILL)
        kill_media();
}

void HOST_CALL media_install(void* resource)
{
    panel_services(ImportTable)->element_list_install(media_elements[0], resource);
}

void HOST_CALL media_kill()
{
    panel_services(ImportTable)->element_list_kill(media_elements[0]);
}

GAUGEHDR media_header = {GAUGE_HEADER_VERSION_700, "media", media_elements, nullptr,
                         media_install, nullptr, nullptr, nullptr,
                         nullptr, media_kill, 0, 60, 0, 0.0f, 0.0f, {}, media_mouse, media_callback, 0};

void HOST_CALL media_module_init() {}
void HOST_CALL media_module_deinit() {}

}  // namespace

GAUGE_EXPORT MODULE_LINKAGE<2> Linkage = {
    {MODULE_ID_GAUGES, media_module_init, media_module_deinit, 0, 0, 0},
    {&media_header, nullptr}};
