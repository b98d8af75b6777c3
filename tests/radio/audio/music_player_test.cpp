// The music file player against the simulated filter graph: probing, temporary files, play,
// the end of a song through the window message, volume, and a graph that fails.
#include "panelhost/system/clock.h"
#include "platform/native/media_registry.h"
#include "platform/native/window_registry.h"
#include "platform/sim/media.h"
#include "radio/audio/module_instance.h"
#include "radio/audio/music_player.h"
#include "tests/support/media_test_support.h"

#include <filesystem>

namespace {

using media_test::Bytes;
using Lines = std::vector<std::string>;

constexpr const char* EXTENSIONS[] = {"wma", "mp3", "wav", "mid"};

// The gauge's candidate paths: ".\Sound\song1.wma" to ".\Sound\song6.mid".
const std::string& candidate(int song, int extension)
{
    static const std::vector<std::string> paths = [] {
        std::vector<std::string> all;
        for (int n = 1; n <= 6; ++n)
            for (const char* ext : EXTENSIONS)
                all.push_back(".\\Sound\\song" + std::to_string(n) + "." + ext);
        return all;
    }();
    return paths[static_cast<std::size_t>((song - 1) * 4 + extension)];
}

// One second of sound.
Bytes one_second_song()
{
    return media_test::wave_file_bytes(8000, 8000);
}

std::string render_line(const std::string& path, const char* result)
{
    return "dshow render \"" + path + "\" -> " + result;
}

constexpr const char* RENDERED = "0x00000000";

class MusicPlayerTest : public media_test::MediaTest {
protected:
    void SetUp() override
    {
        MediaTest::SetUp();
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
    }

    void TearDown() override
    {
        if (music_player.notify_window || music_player.graph)
            music_player_destroy();
        music_player = MusicPlayer{};
        CoUninitialize();
        MediaTest::TearDown();
    }

    void create() { music_player_create(module_, 0, 0, 0, 0); }

    // The gauge's song table: the first of the song's four candidates that probes successfully.
    LPCSTR probe_song(int song)
    {
        for (int extension = 0; extension < 4; ++extension)
            if (LPCSTR path = music_probe_song(candidate(song, extension).c_str()))
                return path;
        return nullptr;
    }

    sim::MediaGraphInfo graph_info()
    {
        sim::MediaGraphInfo info;
        EXPECT_TRUE(sim::media_graph_info(music_player.graph, info)) << "no live graph";
        return info;
    }

    // A song installed and playing with repeat, the trace cleared.
    LPCSTR start_song(int song, int repeat = 1, const Bytes& content = one_second_song())
    {
        write_song(candidate(song, 2), content);
        create();
        LPCSTR path = probe_song(song);
        EXPECT_NE(path, nullptr);
        music_play(path, repeat);
        EXPECT_EQ(music_player.playing, 1);
        clear_trace();
        return path;
    }
};

TEST_F(MusicPlayerTest, TheFirstCandidateThatRendersWins)
{
    struct Case {
        const char* name;
        std::vector<int> present;   // extensions present as files
        int chosen;                 // -1: none
        Lines renders;
    };
    // A name that is not there is answered before the graph is asked: only files that exist are
    // rendered.
    std::vector<Case> cases = {
        {"wma beats the other three", {0, 1, 2, 3}, 0, {render_line(candidate(1, 0), RENDERED)}},
        {"mp3 beats wav, and wav is never probed", {1, 2}, 1, {render_line(candidate(2, 1), RENDERED)}},
        {"mid alone is found last", {3}, 3, {render_line(candidate(3, 3), RENDERED)}},
        {"no file: the song has no path, and nothing is rendered", {}, -1, {}},
    };
    create();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& test = cases[i];
        SCOPED_TRACE(test.name);
        int song = static_cast<int>(i) + 1;
        for (int extension : test.present)
            write_song(candidate(song, extension), one_second_song());
        clear_trace();
        LPCSTR path = probe_song(song);
        if (test.chosen < 0)
            EXPECT_EQ(path, nullptr);
        else
            EXPECT_EQ(path, candidate(song, test.chosen).c_str()) << "the caller's own text is the song's path";
        EXPECT_EQ(trace("dshow"), test.renders);
    }
    EXPECT_FALSE(graph_info().running) << "the probes' graph is never run";
}

// What the probe answers without the graph, and what it leaves to the graph.
TEST_F(MusicPlayerTest, OnlyAFileThatIsThereIsRendered)
{
    // song 1: a folder under the first name, the song under the second
    std::filesystem::create_directories(cwd_ + "/Sound/song1.wma");
    write_song(candidate(1, 1), one_second_song());
    // song 2: a file that is there but cannot be rendered, then nothing
    write_song(candidate(2, 0), Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'});
    create();
    clear_trace();
    EXPECT_EQ(probe_song(1), candidate(1, 1).c_str()) << "a folder is no song";
    EXPECT_EQ(probe_song(2), nullptr);
    EXPECT_EQ(trace("dshow"), (Lines{render_line(candidate(1, 1), RENDERED),
                                     render_line(candidate(2, 0), "0x8004022f")}))
        << "a file that is there is rendered, and its failure is the graph's own";
}

// The names the probe asks about: absent names and folders are asked of the platform, an
// embedded song never is (it becomes a temporary file that exists).
TEST_F(MusicPlayerTest, AnAbsentNameIsNeverRenderedAndAPlatformThatCannotSayRefusesIt)
{
    write_song(candidate(1, 2), one_second_song());
    create();
    clear_trace();
    sim::media::fail_call("GetFileAttributesA", ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(music_probe_song(candidate(1, 2).c_str()), nullptr) << "the platform said the file is not there";
    EXPECT_EQ(trace("dshow"), Lines{});
    EXPECT_EQ(music_probe_song(candidate(1, 2).c_str()), candidate(1, 2).c_str());
}

TEST_F(MusicPlayerTest, AnyFileRendersWhateverItsExtension)
{
    write_song(candidate(1, 0), one_second_song());                      // a wave file named .wma
    write_song(candidate(2, 3), Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6});   // anything else
    create();
    LPCSTR first = probe_song(1);
    LPCSTR second = probe_song(2);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    music_play(first, 1);
    EXPECT_EQ(graph_info().duration_ms, 1000u);
    music_play(second, 1);
    EXPECT_EQ(graph_info().duration_ms, 180000u);
}

TEST_F(MusicPlayerTest, APlayBuildsItsOwnGraphAndStartsIt)
{
    write_song(candidate(1, 2), one_second_song());
    create();
    music_set_volume(-2000);
    LPCSTR path = probe_song(1);
    ASSERT_NE(path, nullptr);
    clear_trace();
    music_play(path, 1);
    Lines expected = {"dshow stop", render_line(candidate(1, 2), RENDERED), "dshow run", "dshow volume -2000"};
    EXPECT_EQ(trace("dshow"), expected);
    EXPECT_EQ(music_player.playing, 1);
    EXPECT_EQ(music_player.repeat, 1);
    EXPECT_EQ(sim::media_graph_count(), 1u) << "the probes' graph was not discarded";
    sim::MediaGraphInfo info = graph_info();
    EXPECT_TRUE(info.running);
    EXPECT_EQ(info.rendered, Lines{candidate(1, 2)});
    EXPECT_EQ(info.notify_window, music_player.notify_window);
    EXPECT_EQ(info.notify_message, 0x8001);
}

TEST_F(MusicPlayerTest, WithRepeatTheSongRestartsAtItsEndThroughTheWindowMessage)
{
    start_song(1);
    panelhost::advance_clock(999);
    EXPECT_EQ(trace("dshow"), Lines{});
    panelhost::advance_clock(1);
    EXPECT_EQ(trace("dshow"), Lines{"dshow rewind"});
    EXPECT_EQ(music_player.playing, 1);
    panelhost::advance_clock(1000);
    EXPECT_EQ(trace("dshow"), (Lines{"dshow rewind", "dshow rewind"}));
    EXPECT_TRUE(graph_info().running);
    EXPECT_EQ(sim::queued_message_count(), 0u);
}

// A song without samples ends the moment it starts: with repeat it plays once, as it would
// otherwise end again at every rewind and hold the host's thread.
TEST_F(MusicPlayerTest, ASongOfNoDurationPlaysOnceEvenWithRepeat)
{
    start_song(1, 1, media_test::wave_file_bytes(0, 8000));
    EXPECT_EQ(graph_info().duration_ms, 0u);
    panelhost::advance_clock(1000);
    EXPECT_EQ(trace("dshow"), Lines{}) << "rewound";
    EXPECT_EQ(music_player.playing, 0);
    EXPECT_EQ(sim::queued_message_count(), 0u);
}

// A graph that cannot tell the duration repeats its song as any other.
TEST_F(MusicPlayerTest, ASongWhoseDurationIsUnknownRepeats)
{
    start_song(1);
    sim::media::fail_call("GetDuration", E_NOTIMPL, 2);
    panelhost::advance_clock(2000);
    EXPECT_EQ(trace("dshow"), (Lines{"dshow rewind", "dshow rewind"}));
    EXPECT_EQ(music_player.playing, 1);
}

TEST_F(MusicPlayerTest, WithoutRepeatTheEndClearsPlayingAndLeavesTheGraph)
{
    const int repeats[] = {0, 2, -1};
    for (int repeat : repeats) {
        SCOPED_TRACE("repeat " + std::to_string(repeat));
        start_song(1, repeat);
        EXPECT_EQ(music_player.repeat, 0);
        panelhost::advance_clock(1500);
        EXPECT_EQ(music_player.playing, 0);
        EXPECT_EQ(trace("dshow"), Lines{}) << "the graph was touched at the end";
        music_set_volume(-300);
        EXPECT_EQ(trace("dshow"), Lines{}) << "a volume after the end waits for the next play";
        music_player_destroy();
    }
}

TEST_F(MusicPlayerTest, PlayingTheSongThatPlaysRestartsIt)
{
    LPCSTR path = start_song(1);
    panelhost::advance_clock(600);
    music_play(path, 1);
    EXPECT_EQ(graph_info().position_ms, 0u);
    panelhost::advance_clock(600);
    EXPECT_EQ(trace("dshow rewind"), Lines{}) << "the old song's end came through";
    panelhost::advance_clock(400);
    EXPECT_EQ(trace("dshow rewind"), Lines{"dshow rewind"});
}

TEST_F(MusicPlayerTest, StopKeepsTheGraphAndItsSongNeverEnds)
{
    start_song(1);
    music_stop();
    EXPECT_EQ(music_player.playing, 0);
    EXPECT_EQ(music_player.repeat, 0);
    EXPECT_FALSE(graph_info().running);
    panelhost::advance_clock(5000);
    EXPECT_EQ(trace("dshow"), Lines{"dshow stop"});
}

TEST_F(MusicPlayerTest, VolumesAreClampedAndWaitForThePlay)
{
    struct Case {
        LONG asked;
        LONG stored;
    };
    const Case cases[] = {
        // asked   stored
        {-10150,   -10000},
        {150,      0},
        {-2000,    -2000},
        {-10000,   -10000},
    };
    write_song(candidate(1, 2), one_second_song());
    create();
    LPCSTR path = probe_song(1);
    for (const Case& test : cases) {
        SCOPED_TRACE("asked for " + std::to_string(test.asked));
        clear_trace();
        music_set_volume(test.asked);
        EXPECT_EQ(music_player.volume, test.stored);
        EXPECT_EQ(trace("dshow volume"), Lines{}) << "nothing plays, yet the graph was told";
        music_play(path, 1);
        EXPECT_EQ(trace("dshow volume"), Lines{"dshow volume " + std::to_string(test.stored)});
        clear_trace();
        music_set_volume(test.asked);
        EXPECT_EQ(trace("dshow volume"), Lines{"dshow volume " + std::to_string(test.stored)});
        music_stop();
    }
}

TEST_F(MusicPlayerTest, AnEmbeddedSongIsWrittenToATemporaryFileAndDeletedAtDestroy)
{
    Bytes song = one_second_song();
    make_module({{candidate(1, 0), song}});
    create();
    clear_trace();
    LPCSTR path = music_probe_song(candidate(1, 0).c_str());
    ASSERT_NE(path, nullptr);
    std::string name = path;
    EXPECT_EQ(name.rfind(temp_, 0), 0u) << name << " is not in the temporary folder " << temp_;
    EXPECT_EQ(std::filesystem::path(name).filename().string().substr(0, 3), "Res");
    EXPECT_EQ(std::filesystem::path(name).extension().string(), ".TMP");
    EXPECT_EQ(media_test::read_file(name), song);
    EXPECT_EQ(trace("dshow"), Lines{render_line(name, RENDERED)});
    EXPECT_EQ(music_player.extracted_count, 1);
    music_play(path, 1);
    EXPECT_EQ(music_player.playing, 1);
    music_player_destroy();
    EXPECT_FALSE(media_test::file_exists(name)) << "the temporary file outlived the player";
    EXPECT_EQ(music_player.extracted_count, 0);
}

// A song of the module's own and a pilot's file: the install asks the module first, name by name,
// so that a name it embeds is its own song whatever lies in the Sound folder, and a name it does
// not embed is the folder's.
TEST_F(MusicPlayerTest, ANameBothEmbeddedAndOnDiskIsTheEmbeddedSong)
{
    struct Case {
        const char* name;
        int embedded;                // the extension embedded, -1: none
        std::vector<int> on_disk;    // the extensions present as files
        bool chosen_embedded;        // the song found is the module's own (else the file's)
        int chosen;                  // its extension
    };
    const Case cases[] = {
        // name                                                embedded  on disk  embedded  chosen
        {"one name, embedded and on disk: the embedded one",   0,        {0},     true,     0},
        {"embedded alone",                                     2,        {},      true,     2},
        {"on disk alone",                                      -1,       {1},     false,    1},
        {"an earlier name on disk beats a later one embedded", 1,        {0},     false,    0},
        {"an earlier name embedded beats a later one on disk", 0,        {1},     true,     0},
    };
    // The module's songs and the files on disk differ in length, so that each is known by its bytes.
    const Bytes embedded_song = media_test::wave_file_bytes(8000, 8000);
    const Bytes disk_song = media_test::wave_file_bytes(16000, 8000);
    std::vector<std::pair<std::string, Bytes>> resources;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        int song = static_cast<int>(i) + 1;
        if (cases[i].embedded >= 0)
            resources.push_back({candidate(song, cases[i].embedded), embedded_song});
        for (int extension : cases[i].on_disk)
            write_song(candidate(song, extension), disk_song);
    }
    make_module(resources);
    create();
    clear_trace();
    // As the install probes: every song in turn, each by its candidates in order.
    LPCSTR found[std::size(cases)] = {};
    for (std::size_t i = 0; i < std::size(cases); ++i)
        found[i] = probe_song(static_cast<int>(i) + 1);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& test = cases[i];
        SCOPED_TRACE(test.name);
        int song = static_cast<int>(i) + 1;
        ASSERT_NE(found[i], nullptr);
        std::string path = found[i];
        if (test.chosen_embedded) {
            EXPECT_EQ(path.rfind(temp_, 0), 0u) << path << " is not the module's song in the temporary folder";
            EXPECT_EQ(media_test::read_file(path), embedded_song) << path;
        } else {
            EXPECT_EQ(path, candidate(song, test.chosen)) << "the file on disk";
            EXPECT_EQ(media_test::read_file(cwd_ + "/Sound/song" + std::to_string(song) + "." + EXTENSIONS[test.chosen]),
                      disk_song);
        }
    }
    // Each song rendered once, by the name found: the file on disk under an embedded name never.
    Lines renders;
    for (LPCSTR path : found)
        renders.push_back(render_line(path, RENDERED));
    EXPECT_EQ(trace("dshow"), renders);
    EXPECT_EQ(music_player.extracted_count, 3) << "the songs taken from the module";
}

TEST_F(MusicPlayerTest, ATemporaryFileThatFailsToRenderIsDeletedAtDestroyToo)
{
    make_module({{candidate(1, 0), Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}}});
    create();
    EXPECT_EQ(music_probe_song(candidate(1, 0).c_str()), nullptr);
    ASSERT_EQ(music_player.extracted_count, 1);
    std::string name = music_player.extracted_names[0];
    EXPECT_TRUE(media_test::file_exists(name));
    music_player_destroy();
    EXPECT_FALSE(media_test::file_exists(name));
}

TEST_F(MusicPlayerTest, ATemporaryFileThatCannotBeOpenedRefusesTheSong)
{
    make_module({{candidate(1, 0), one_second_song()}});
    create();
    sim::media::fail_call("CreateFileA", 5);
    EXPECT_EQ(music_probe_song(candidate(1, 0).c_str()), nullptr);
    EXPECT_EQ(trace("dshow render"), Lines{}) << "an empty file was rendered";
    ASSERT_EQ(music_player.extracted_count, 1) << "the file the platform created must be deleted later";
    std::string name = music_player.extracted_names[0];
    music_player_destroy();
    EXPECT_FALSE(media_test::file_exists(name));
}

TEST_F(MusicPlayerTest, ATemporaryFolderLongerThanAPathIsRefused)
{
    make_module({{candidate(1, 0), one_second_song()}});
    sim::media::set_temp_folder("/" + std::string(300, 'd'));
    create();
    EXPECT_EQ(music_probe_song(candidate(1, 0).c_str()), nullptr);
    EXPECT_EQ(music_player.extracted_count, 0);
    EXPECT_EQ(trace("dshow render"), Lines{});
}

TEST_F(MusicPlayerTest, ALongTemporaryFolderWithinThePathLimitIsAccepted)
{
    // 246 characters with the separator: the longest folder a temporary name can be made in.
    std::string folder = temp_ + "/" + std::string(244 - temp_.size(), 'f');
    std::filesystem::create_directories(folder);
    sim::media::set_temp_folder(folder);
    make_module({{candidate(1, 0), one_second_song()}});
    create();
    LPCSTR path = music_probe_song(candidate(1, 0).c_str());
    ASSERT_NE(path, nullptr);
    EXPECT_GT(std::string(path).size(), 255u) << "the name would not have fit a row of 256";
    EXPECT_EQ(media_test::read_file(path), one_second_song());
}

TEST_F(MusicPlayerTest, ASecondProbeRoundReusesTheFilesOfTheFirst)
{
    make_module({{candidate(1, 0), one_second_song()}, {candidate(2, 1), one_second_song()}});
    create();
    LPCSTR first = probe_song(1);
    LPCSTR second = probe_song(2);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(probe_song(1), first);
    EXPECT_EQ(probe_song(2), second);
    EXPECT_EQ(music_player.extracted_count, 2);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp_), std::filesystem::directory_iterator()), 2);
}

TEST_F(MusicPlayerTest, AFullTableRefusesAnyOtherEmbeddedSong)
{
    std::vector<std::pair<std::string, Bytes>> resources;
    for (int i = 0; i <= EXTRACTED_ROWS; ++i)
        resources.push_back({"SONG" + std::to_string(i), one_second_song()});
    make_module(resources);
    create();
    for (int i = 0; i < EXTRACTED_ROWS; ++i)
        EXPECT_NE(music_probe_song(resources[static_cast<std::size_t>(i)].first.c_str()), nullptr) << "row " << i;
    EXPECT_EQ(music_probe_song(resources.back().first.c_str()), nullptr);
    EXPECT_EQ(music_player.extracted_count, EXTRACTED_ROWS);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp_), std::filesystem::directory_iterator()),
              EXTRACTED_ROWS);
    music_player_destroy();
    EXPECT_TRUE(std::filesystem::is_empty(temp_));
}

LRESULT CALLBACK other_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    return DefWindowProcA(window, message, wparam, lparam);
}

// The class goes with the player: a library loaded again at another place registers its own
// procedure, never finds the old one's.
TEST_F(MusicPlayerTest, DestroyUnregistersTheClassAndTheNextCreateRegistersItAnew)
{
    write_song(candidate(1, 2), one_second_song());
    std::size_t before = sim::window_class_count();
    create();
    EXPECT_EQ(sim::window_class_count(), before + 1);
    music_player_destroy();
    EXPECT_EQ(sim::window_count(), 0u);
    EXPECT_EQ(sim::live_com_objects(), 0u);
    EXPECT_EQ(sim::window_class_count(), before) << "the class outlived the player";
    WNDCLASSA other = {};
    other.lpfnWndProc = other_procedure;
    other.lpszClassName = "EventNotify";
    EXPECT_NE(RegisterClassA(&other), 0) << "the name is free again";
    EXPECT_TRUE(UnregisterClassA("EventNotify", nullptr));

    create();
    EXPECT_EQ(sim::window_class_count(), before + 1);
    EXPECT_NE(music_player.notify_window, nullptr);
    LPCSTR path = probe_song(1);
    ASSERT_NE(path, nullptr);
    music_play(path, 1);
    clear_trace();
    panelhost::advance_clock(1000);
    EXPECT_EQ(trace("dshow"), Lines{"dshow rewind"}) << "the new window did not receive the graph's message";
}

TEST_F(MusicPlayerTest, DestroyStopsTheSongAndReleasesEverything)
{
    start_song(1);
    HWND window = music_player.notify_window;
    music_player_destroy();
    EXPECT_EQ(trace("dshow"), Lines{"dshow stop"});
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(music_player.graph, nullptr);
    EXPECT_EQ(music_player.video, nullptr);
    EXPECT_EQ(sim::media_graph_count(), 0u);
    panelhost::advance_clock(5000);
    EXPECT_EQ(trace("dshow"), Lines{"dshow stop"});
}

// ---- a graph that fails goes quiet; everything else goes on ----

TEST_F(MusicPlayerTest, WithoutAFilterGraphNoSongIsInstalled)
{
    struct Case {
        const char* name;
        bool graph_available;
        const char* failing_call;
    };
    const Case cases[] = {
        {"the graph cannot be created", false, nullptr},
        {"its event queue cannot be had", true, "QueryInterface(IMediaEventEx)"},
        {"its video window cannot be had", true, "QueryInterface(IVideoWindow)"},
    };
    for (int song = 1; song <= 6; ++song)
        write_song(candidate(song, 0), one_second_song());
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        sim::media::set_media_graph_available(test.graph_available);
        if (test.failing_call)
            sim::media::fail_call(test.failing_call, E_NOINTERFACE);
        create();
        EXPECT_EQ(music_player.graph, nullptr);
        EXPECT_EQ(sim::media_graph_count(), 0u);
        EXPECT_NE(music_player.notify_window, nullptr);
        for (int song = 1; song <= 6; ++song)
            EXPECT_EQ(probe_song(song), nullptr) << "song " << song;
        music_set_volume(-2000);
        music_stop();
        music_player_destroy();
        EXPECT_EQ(trace("dshow"), Lines{});
        sim::media::reset();
        sim::media::set_temp_folder(temp_);
    }
}

TEST_F(MusicPlayerTest, APlayWhoseGraphFailsPlaysNothingAndTheNextPlayStartsAfresh)
{
    struct Case {
        const char* failing_call;
        HRESULT result;
    };
    const Case cases[] = {
        {"CoCreateInstance(FilterGraph)", E_OUTOFMEMORY},
        {"QueryInterface(IMediaSeeking)", E_NOINTERFACE},
        {"RenderFile", VFW_E_NOT_FOUND},
        {"QueryInterface(IVideoWindow)", E_NOINTERFACE},
        {"SetNotifyWindow", E_FAIL},
        {"Run", E_FAIL},
        {"put_Volume", E_FAIL},
    };
    write_song(candidate(1, 2), one_second_song());
    create();
    LPCSTR path = probe_song(1);
    ASSERT_NE(path, nullptr);
    for (const Case& test : cases) {
        SCOPED_TRACE(test.failing_call);
        sim::media::fail_call(test.failing_call, test.result);
        music_play(path, 1);
        EXPECT_EQ(music_player.playing, 0);
        EXPECT_EQ(music_player.repeat, 0);
        EXPECT_EQ(music_player.graph, nullptr);
        EXPECT_EQ(music_player.control, nullptr);
        EXPECT_EQ(sim::media_graph_count(), 0u) << "the failed graph was kept";
        panelhost::advance_clock(1500);
        music_set_volume(-100);
        music_stop();
        music_play(path, 1);
        EXPECT_EQ(music_player.playing, 1) << "the next play did not start afresh";
        EXPECT_TRUE(graph_info().running);
    }
}

TEST_F(MusicPlayerTest, AStopThatFailsReleasesTheGraph)
{
    LPCSTR path = start_song(1);
    sim::media::fail_call("Stop", E_FAIL);
    music_stop();
    EXPECT_EQ(music_player.playing, 0);
    EXPECT_EQ(music_player.graph, nullptr);
    EXPECT_EQ(sim::media_graph_count(), 0u);
    panelhost::advance_clock(2000);
    EXPECT_EQ(trace("dshow rewind"), Lines{}) << "the released song played on";
    music_play(path, 1);
    EXPECT_EQ(music_player.playing, 1);
}

TEST_F(MusicPlayerTest, APlayWhoseOldGraphCannotStopStillPlays)
{
    LPCSTR path = start_song(1);
    sim::media::fail_call("Stop", E_FAIL);
    music_play(path, 1);
    EXPECT_EQ(music_player.playing, 1);
    EXPECT_EQ(sim::media_graph_count(), 1u) << "the old graph was kept";
}

TEST_F(MusicPlayerTest, AVolumeThatFailsWhilePlayingReleasesTheGraph)
{
    LPCSTR path = start_song(1);
    sim::media::fail_call("put_Volume", E_FAIL);
    music_set_volume(-700);
    EXPECT_EQ(music_player.volume, -700);
    EXPECT_EQ(music_player.playing, 0);
    EXPECT_EQ(sim::media_graph_count(), 0u);
    clear_trace();
    music_set_volume(-800);
    EXPECT_EQ(trace("dshow"), Lines{});
    music_play(path, 1);
    EXPECT_EQ(trace("dshow volume"), Lines{"dshow volume -800"});
}

TEST_F(MusicPlayerTest, TheLastMessageOfAReleasedGraphFindsNoQueue)
{
    start_song(1);
    panelhost::advance_clock(999);
    sim::run_until(sim::now_ms() + 1);   // the song ends; its message waits in the queue
    ASSERT_EQ(sim::queued_message_count(), 1u);
    sim::media::fail_call("Stop", E_FAIL);
    music_stop();
    panelhost::pump_messages();
    EXPECT_EQ(music_player.playing, 0);
    EXPECT_EQ(sim::queued_message_count(), 0u);
}

}  // namespace
