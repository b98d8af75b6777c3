// The music file player over the DirectShow filter graph, with its hidden "EventNotify" window
// and the temporary files of songs embedded as resources.
#pragma once

#include "platform/platform.h"

// Posted by the graph to the notification window whenever its event queue has events.
constexpr UINT MUSIC_EVENT_MESSAGE = WM_APP + 1;
constexpr LONG MUSIC_VOLUME_MIN = -10000;
constexpr LONG MUSIC_VOLUME_MAX = 0;
// One install probes at most 6 songs of 4 candidates each.
constexpr int EXTRACTED_ROWS = 24;
// Every path the platform can return, with its terminator.
constexpr int MUSIC_PATH_SIZE = MAX_PATH + 1;

struct MusicPlayer {
    IGraphBuilder* graph;
    IMediaControl* control;
    IMediaEventEx* events;
    IBasicAudio* audio;
    IMediaSeeking* seeking;
    IVideoWindow* video;
    HWND notify_window;
    LONG video_left;
    LONG video_top;
    LONG video_width;
    LONG video_height;
    LONG volume;          // -10000..0 once set
    int repeat;
    int playing;
    char extracted_names[EXTRACTED_ROWS][MUSIC_PATH_SIZE];
    HRSRC extracted_resources[EXTRACTED_ROWS];   // the resource whose bytes each row's file holds
    int extracted_count;
};

extern MusicPlayer music_player;

int music_player_create(HINSTANCE instance, LONG left, LONG top, LONG width, LONG height);
// The text to play for the candidate path (the path itself or a temporary file), or null when
// the graph cannot render it.
LPCSTR music_probe_song(LPCSTR path);
int music_play(LPCSTR path, int repeat);
int music_stop();
int music_set_volume(LONG volume);
int music_player_destroy();
LRESULT CALLBACK music_notify_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void music_drain_events();
