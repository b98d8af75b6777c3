// The music file player: the DirectShow filter graph that plays the songs.
#include "radio/audio/music_player.h"
#include "radio/audio/module_instance.h"

#include <algorithm>

MusicPlayer music_player = {};

namespace {

constexpr const char* NOTIFY_CLASS = "EventNotify";
constexpr const char* TEMP_PREFIX = "Res";
constexpr LONG VIDEO_STYLE = WS_CHILD | WS_CLIPCHILDREN;

template <typename Interface>
void release(Interface*& reference)
{
    if (reference)
        reference->Release();
    reference = nullptr;
}

// Releases the graph and its interfaces, the video window first.
void graph_release()
{
    release(music_player.video);
    release(music_player.seeking);
    release(music_player.audio);
    release(music_player.events);
    release(music_player.control);
    release(music_player.graph);
}

// A graph that failed goes quiet: it is released (its last release stops it), nothing plays,
// and the next play builds afresh.
void graph_abandon()
{
    graph_release();
    music_player.repeat = 0;
    music_player.playing = 0;
}

// A new filter graph and its interfaces; on a failure whatever was obtained is released again.
HRESULT graph_build(bool with_video)
{
    HRESULT result = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                      reinterpret_cast<void**>(&music_player.graph));
    if (SUCCEEDED(result))
        result = music_player.graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&music_player.control));
    if (SUCCEEDED(result))
        result = music_player.graph->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&music_player.events));
    if (SUCCEEDED(result))
        result = music_player.graph->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&music_player.audio));
    if (SUCCEEDED(result))
        result = music_player.graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&music_player.seeking));
    if (SUCCEEDED(result) && with_video)
        result = music_player.graph->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&music_player.video));
    if (FAILED(result))
        graph_release();
    return result;
}

// The path in UTF-16; false when it does not fit a path buffer (it is then refused).
bool wide_path(LPCSTR path, WCHAR* wide)
{
    return MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, path, -1, wide, MUSIC_PATH_SIZE) != 0;
}

// Writes the song resource to a temporary file and answers the file's name, or null.
// Rows are never overwritten: a resource that an earlier probe of this player already wrote out
// (a second install before a kill) reuses its row and file; when every row holds another
// resource the song is refused.
LPCSTR extract_resource(HRSRC resource)
{
    for (int row = 0; row < music_player.extracted_count; ++row)
        if (music_player.extracted_resources[row] == resource)
            return music_player.extracted_names[row];
    if (music_player.extracted_count >= EXTRACTED_ROWS)
        return nullptr;
    DWORD size = SizeofResource(module_instance, resource);
    HGLOBAL loaded = LoadResource(module_instance, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return nullptr;
    // A temporary folder too long for the buffer is refused rather than cut short.
    char folder[MUSIC_PATH_SIZE];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder)
        return nullptr;
    char* name = music_player.extracted_names[music_player.extracted_count];
    if (GetTempFileNameA(folder, TEMP_PREFIX, 0, name) == 0)
        return nullptr;
    // The file exists from here on, so the row is taken at once and destroy deletes it.
    music_player.extracted_resources[music_player.extracted_count] = resource;
    ++music_player.extracted_count;
    HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    DWORD written = 0;
    WriteFile(file, bytes, size, &written, nullptr);
    CloseHandle(file);
    return name;
}

// Whether a song file is there to be rendered. A framework may keep a thread for the life of
// the process after every render that fails, and an install probes up to 24 names, most of them
// absent: an absent name, or a folder, is answered at once, as a failing render would answer.
bool file_present(LPCSTR path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Builds the graph of a play and starts it: render, hide any video, notify, run, volume.
HRESULT play_start(const WCHAR* wide, int repeat)
{
    HRESULT result = graph_build(false);
    if (FAILED(result))
        return result;
    result = music_player.graph->RenderFile(wide, nullptr);
    if (FAILED(result))
        return result;
    result = music_player.graph->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&music_player.video));
    if (FAILED(result))
        return result;
    // A graph without video has no video window to place, so these results do not matter.
    music_player.video->put_Owner(reinterpret_cast<OAHWND>(GetActiveWindow()));
    music_player.video->put_WindowStyle(VIDEO_STYLE);
    music_player.video->SetWindowPosition(music_player.video_left, music_player.video_top, music_player.video_width,
                                          music_player.video_height);
    music_player.video->SetWindowForeground(OATRUE);
    music_player.repeat = repeat == 1 ? 1 : 0;
    result = music_player.events->SetNotifyWindow(reinterpret_cast<OAHWND>(music_player.notify_window),
                                                  static_cast<LONG>(MUSIC_EVENT_MESSAGE), 0);
    if (FAILED(result))
        return result;
    result = music_player.control->Run();
    if (FAILED(result))
        return result;
    return music_player.audio->put_Volume(music_player.volume);
}

// A song that ends as soon as it starts (a data chunk without samples) would end again at every
// rewind, a loop without end on the host's thread: such a song plays once. A graph that cannot
// tell its duration repeats as any other.
bool song_has_length()
{
    LONGLONG duration = 0;
    return FAILED(music_player.seeking->GetDuration(&duration)) || duration > 0;
}

}  // namespace

int music_player_create(HINSTANCE instance, LONG left, LONG top, LONG width, LONG height)
{
    module_instance = instance;
    // Without a filter graph every probe fails, so every song counts as not installed.
    graph_build(true);
    WNDCLASSA window_class = {};
    window_class.style = 0;
    window_class.lpfnWndProc = music_notify_proc;
    window_class.hInstance = module_instance;
    window_class.lpszClassName = NOTIFY_CLASS;
    // A class left registered by another library (or by this one, loaded before at another
    // place) makes this registration fail; the class then serves on.
    RegisterClassA(&window_class);
    music_player.notify_window = CreateWindowExA(0, NOTIFY_CLASS, nullptr, WS_CLIPCHILDREN, 0, 0, 0, 0, nullptr,
                                                 nullptr, module_instance, nullptr);
    UpdateWindow(music_player.notify_window);
    music_player.video_left = left;
    music_player.video_top = top;
    music_player.video_width = width;
    music_player.video_height = height;
    return 1;
}

LPCSTR music_probe_song(LPCSTR path)
{
    LPCSTR source = path;
    if (HRSRC resource = FindResourceA(module_instance, path, RT_RCDATA)) {
        source = extract_resource(resource);
        if (!source)
            return nullptr;
    } else if (!file_present(path)) {
        return nullptr;
    }
    WCHAR wide[MUSIC_PATH_SIZE];
    if (!wide_path(source, wide))
        return nullptr;
    if (!music_player.graph || FAILED(music_player.graph->RenderFile(wide, nullptr)))
        return nullptr;
    return source;
}

int music_play(LPCSTR path, int repeat)
{
    WCHAR wide[MUSIC_PATH_SIZE];
    bool converted = wide_path(path, wide);
    // Take the current graph down; one that cannot be stopped goes all the same.
    release(music_player.video);
    if (music_player.control)
        music_player.control->Stop();
    graph_release();
    music_player.playing = 0;
    if (!converted || FAILED(play_start(wide, repeat))) {
        graph_abandon();
        return 1;
    }
    music_player.playing = 1;
    return 1;
}

int music_stop()
{
    if (music_player.control && FAILED(music_player.control->Stop()))
        graph_abandon();
    music_player.repeat = 0;
    music_player.playing = 0;
    if (music_player.video)
        music_player.video->put_Visible(OAFALSE);
    return 1;
}

int music_set_volume(LONG volume)
{
    music_player.volume = std::clamp(volume, MUSIC_VOLUME_MIN, MUSIC_VOLUME_MAX);
    if (music_player.playing && music_player.audio && FAILED(music_player.audio->put_Volume(music_player.volume)))
        graph_abandon();
    return 1;
}

int music_player_destroy()
{
    for (int row = 0; row < music_player.extracted_count; ++row) {
        DeleteFileA(music_player.extracted_names[row]);
        music_player.extracted_resources[row] = nullptr;
    }
    music_player.extracted_count = 0;
    music_stop();
    if (music_player.video) {
        music_player.video->put_Visible(OAFALSE);
        music_player.video->put_Owner(0);
    }
    if (music_player.events)
        music_player.events->SetNotifyWindow(0, 0, 0);
    DestroyWindow(music_player.notify_window);
    music_player.notify_window = nullptr;
    // The platform keeps a library's window classes after the library is gone, their procedure
    // pointing where its code was: a panel that loads the module again, at another place, would
    // have its window call there. The class goes with the window, and every install registers it
    // anew.
    UnregisterClassA(NOTIFY_CLASS, module_instance);
    graph_release();
    return 1;
}

LRESULT CALLBACK music_notify_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == MUSIC_EVENT_MESSAGE)
        music_drain_events();
    return DefWindowProcA(window, message, wparam, lparam);
}

void music_drain_events()
{
    LONG code = 0;
    LONG_PTR first = 0;
    LONG_PTR second = 0;
    // A graph released after a failure leaves no queue behind for its last notifications.
    while (music_player.events && SUCCEEDED(music_player.events->GetEvent(&code, &first, &second, 0))) {
        music_player.events->FreeEventParams(code, first, second);
        if (code != EC_COMPLETE && code != EC_USERABORT)
            continue;
        if (music_player.repeat == 1 && song_has_length()) {
            // The graph still runs, so the song plays again from its start.
            LONGLONG start = 0;
            music_player.seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                                               AM_SEEKING_NoPositioning);
        } else {
            music_player.playing = 0;
        }
    }
}
