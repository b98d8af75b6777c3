// The media back-ends against the real platform: the click loaded from the program's own
// resource and played; a song probed, played and ended through the hidden window's message that
// the program's message loop delivers; a song without samples; and a song of the program's own
// resources, through its temporary file. Prints one line per step.
#include "platform/platform.h"
#include "radio/audio/click_sound.h"
#include "radio/audio/music_player.h"
#include "tests/windows/test_song.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Pumps the thread's messages for up to ms, or until the song ends.
void pump_until_end(ULONGLONG ms)
{
    ULONGLONG start = GetTickCount64();
    while (music_player.playing && GetTickCount64() - start < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

}  // namespace

int main()
{
    HINSTANCE self = GetModuleHandleA(nullptr);
    click_device_open(self);
    LPDIRECTSOUNDBUFFER click = click_load_sound("CLICK_RCD");
    std::printf("click %s\n", click ? "loaded" : "not loaded");
    click_set_volume(click, -500);
    click_play(click, 0);

    char folder[MAX_PATH + 1];
    GetTempPathA(sizeof folder, folder);
    std::string song = std::string(folder) + "media_smoke_song.wav";
    if (!write_test_song(song, 4000)) {
        std::printf("cannot write %s\n", song.c_str());
        return 1;
    }
    music_player_create(self, 0, 0, 0, 0);
    std::printf("missing song %s\n", music_probe_song(".\\Sound\\no_such_song.wma") ? "found" : "not found");
    LPCSTR path = music_probe_song(song.c_str());
    std::printf("song %s\n", path ? "found" : "not found");
    music_set_volume(-2000);
    if (path) {
        music_play(path, 0);
        std::printf("playing %d\n", music_player.playing);
        // The end of the song arrives as the hidden window's message.
        pump_until_end(20000);
        std::printf("ended %d\n", music_player.playing == 0);
    }

    // A song without samples, played with repeat, ends once and is not rewound for ever.
    std::string empty = std::string(folder) + "media_smoke_empty.wav";
    if (!write_test_song(empty, 0)) {
        std::printf("cannot write %s\n", empty.c_str());
        return 1;
    }
    if (LPCSTR empty_path = music_probe_song(empty.c_str())) {
        music_play(empty_path, 1);
        pump_until_end(1000);
        std::printf("empty song %s\n", music_player.playing ? "still playing" : "played once");
    } else {
        std::printf("empty song not found\n");
    }

    // A song embedded in the module goes through a temporary file, which the player's destroy
    // deletes, after the graphs that read it are gone.
    std::string embedded;
    if (LPCSTR embedded_path = music_probe_song("SONG_RCD")) {
        embedded = embedded_path;
        music_play(embedded_path, 0);
        pump_until_end(20000);
        std::printf("embedded song ended %d\n", music_player.playing == 0);
    } else {
        std::printf("embedded song not found\n");
    }
    music_player_destroy();
    if (!embedded.empty())
        std::printf("embedded song's file %s\n",
                    GetFileAttributesA(embedded.c_str()) == INVALID_FILE_ATTRIBUTES ? "deleted" : "left behind");
    click_release_sound(click);
    click_device_close();
    if (click_com_initialized())
        CoUninitialize();
    DeleteFileA(song.c_str());
    DeleteFileA(empty.c_str());
    std::printf("done\n");
    return 0;
}
