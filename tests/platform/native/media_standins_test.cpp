// The native media stand-ins on their own: COM on the thread, the interfaces each object answers,
// the sound buffer's locks and volume, the filter graph's checks, the devices' state by the
// interface a module holds, files, mappings, temporary names and text conversion; and the table of
// live objects that the stand-ins keep.
#include "platform/native/media_registry.h"
#include "platform/sim/media.h"
#include "platform/sim/media_graph.h"
#include "platform/sim/registry.h"
#include "tests/support/media_test_support.h"
#include "tests/support/song_variants.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class Standins : public media_test::MediaTest {};

TEST_F(Standins, ComObjectsNeedAnInitialisedThread)
{
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, &object),
              CO_E_NOTINITIALIZED);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    EXPECT_EQ(sim::com_initialization_depth(), 2);
    EXPECT_EQ(CoCreateInstance(CLSID_DirectSound8, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, &object),
              E_NOINTERFACE);
    EXPECT_EQ(CoCreateInstance(IID_IUnknown, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(sim::live_com_objects(), 0u);
    CoUninitialize();
    CoUninitialize();
    CoUninitialize();   // one too many changes nothing
    EXPECT_EQ(sim::com_initialization_depth(), 0);
}

TEST_F(Standins, EveryInterfaceOfAGraphCountsTowardsOneObject)
{
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    IGraphBuilder* graph = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               reinterpret_cast<void**>(&graph)),
              S_OK);
    IBasicAudio* audio = nullptr;
    ASSERT_EQ(graph->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&audio)), S_OK);
    EXPECT_EQ(sim::live_com_objects(), 1u);
    EXPECT_EQ(audio->put_Volume(1), E_INVALIDARG);
    EXPECT_EQ(audio->put_Volume(-10001), E_INVALIDARG);
    EXPECT_EQ(graph->Release(), 1u);
    EXPECT_EQ(sim::live_com_objects(), 1u) << "the graph ended while an interface was held";
    EXPECT_EQ(audio->Release(), 0u);
    EXPECT_EQ(sim::live_com_objects(), 0u);
    CoUninitialize();
}

// A graph, a sound device and one of its buffers, made as a module makes them.
struct MediaObjects {
    IGraphBuilder* graph = nullptr;
    IDirectSound8* device = nullptr;
    IDirectSoundBuffer* buffer = nullptr;

    void make()
    {
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   reinterpret_cast<void**>(&graph)),
                  S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_DirectSound8, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound8,
                                   reinterpret_cast<void**>(&device)),
                  S_OK);
        ASSERT_EQ(device->Initialize(nullptr), DS_OK);
        static WAVEFORMATEX format = {WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0};
        DSBUFFERDESC description = {sizeof(DSBUFFERDESC), DSBCAPS_STATIC, 100, 0, &format, GUID_NULL};
        ASSERT_EQ(device->CreateSoundBuffer(&description, &buffer, nullptr), DS_OK);
    }
    void release()
    {
        for (IUnknown* object : {static_cast<IUnknown*>(buffer), static_cast<IUnknown*>(device),
                                 static_cast<IUnknown*>(graph)})
            if (object)
                object->Release();
    }
};

// Each object answers the interfaces it has and no other, its IUnknown being its first; tests can
// make the graph's queries fail by name, the sound device's never.
TEST_F(Standins, EachObjectAnswersItsOwnInterfaces)
{
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    MediaObjects objects;
    objects.make();
    enum Object { GRAPH, DEVICE, BUFFER };
    struct Case {
        const char* name;
        Object object;
        const IID* iid;
        const char* failing_call;   // made to fail with E_OUTOFMEMORY; null: none
        HRESULT result;
        bool itself;                // the answer is the interface asked
    };
    // case                                       object  interface                 failing call                           result         itself
    const Case cases[] = {
        {"a graph's IUnknown is its graph builder",  GRAPH,  &IID_IUnknown,           nullptr,                               S_OK,          true},
        {"a graph has a video window",               GRAPH,  &IID_IVideoWindow,       nullptr,                               S_OK,          false},
        {"a graph is no sound device",               GRAPH,  &IID_IDirectSound8,      nullptr,                               E_NOINTERFACE, false},
        {"a graph's IUnknown fails by its name",     GRAPH,  &IID_IUnknown,           "QueryInterface(IUnknown)",            E_OUTOFMEMORY, false},
        {"a graph's seeking fails by its name",      GRAPH,  &IID_IMediaSeeking,      "QueryInterface(IMediaSeeking)",       E_OUTOFMEMORY, false},
        {"a device's IUnknown is its device",        DEVICE, &IID_IUnknown,           nullptr,                               S_OK,          true},
        {"a device is no buffer",                    DEVICE, &IID_IDirectSoundBuffer, nullptr,                               E_NOINTERFACE, false},
        {"a device's queries never fail",            DEVICE, &IID_IDirectSound8,      "QueryInterface(IDirectSound8)",       S_OK,          true},
        {"a buffer's IUnknown is its buffer",        BUFFER, &IID_IUnknown,           nullptr,                               S_OK,          true},
        {"a buffer is no graph",                     BUFFER, &IID_IGraphBuilder,      nullptr,                               E_NOINTERFACE, false},
        {"a buffer's queries never fail",            BUFFER, &IID_IDirectSoundBuffer, "QueryInterface(IDirectSoundBuffer)",  S_OK,          true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IUnknown* asked = c.object == GRAPH    ? static_cast<IUnknown*>(objects.graph)
                          : c.object == DEVICE ? static_cast<IUnknown*>(objects.device)
                                               : static_cast<IUnknown*>(objects.buffer);
        if (c.failing_call)
            sim::media::fail_call(c.failing_call, E_OUTOFMEMORY);
        void* answer = reinterpret_cast<void*>(1);
        HRESULT result = asked->QueryInterface(*c.iid, &answer);
        EXPECT_EQ(result, c.result);
        sim::media::clear_failures();
        if (FAILED(result)) {
            EXPECT_EQ(answer, nullptr) << "a failed query's answer";
            continue;
        }
        if (c.itself) {
            EXPECT_EQ(answer, static_cast<void*>(asked)) << "not the interface the object was made as";
        }
        static_cast<IUnknown*>(answer)->Release();
    }
    EXPECT_EQ(sim::live_com_objects(), 3u);
    objects.release();
    CoUninitialize();
}

// The state of a graph or a buffer is found by the interface the module holds, and only while the
// object lives; the lists hold the live ones in the order they were made.
TEST_F(Standins, DeviceStateIsFoundByTheModulesInterfaceWhileItLives)
{
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    MediaObjects first;
    first.make();
    MediaObjects second;
    second.make();
    sim::MediaGraphInfo graph;
    sim::SoundBufferInfo buffer;
    ASSERT_TRUE(sim::media_graph_info(second.graph, graph));
    ASSERT_TRUE(sim::sound_buffer_info(second.buffer, buffer));
    std::vector<sim::MediaGraphInfo> graphs = sim::media_graph_infos();
    std::vector<sim::SoundBufferInfo> buffers = sim::sound_buffer_infos();
    ASSERT_EQ(graphs.size(), 2u);
    ASSERT_EQ(buffers.size(), 2u);
    EXPECT_EQ(graphs[1].id, graph.id) << "the graphs out of the order they were made";
    EXPECT_EQ(buffers[1].id, buffer.id) << "the buffers out of the order they were made";
    EXPECT_LT(graphs[0].id, graphs[1].id);
    EXPECT_LT(buffers[0].id, buffers[1].id);
    EXPECT_FALSE(sim::media_graph_info(reinterpret_cast<IGraphBuilder*>(second.buffer), graph)) << "a buffer";
    EXPECT_FALSE(sim::sound_buffer_info(reinterpret_cast<IDirectSoundBuffer*>(second.graph), buffer)) << "a graph";
    IGraphBuilder* released_graph = first.graph;
    IDirectSoundBuffer* released_buffer = first.buffer;
    first.release();
    EXPECT_FALSE(sim::media_graph_info(released_graph, graph)) << "a released graph";
    EXPECT_FALSE(sim::sound_buffer_info(released_buffer, buffer)) << "a released buffer";
    EXPECT_EQ(sim::media_graph_count(), 1u);
    EXPECT_EQ(sim::sound_buffer_count(), 1u);
    second.release();
    CoUninitialize();
}

// What the graph makes of each shape of song file: whether it renders, and how long it plays.
TEST_F(Standins, EachShapeOfSongRendersOrNotWithItsLength)
{
    for (const test_support::SongVariant& variant : test_support::song_variants()) {
        SCOPED_TRACE(variant.name);
        std::string path = cwd_ + "/song.wav";
        media_test::write_file(path, variant.bytes);
        std::uint64_t length_ms = 12345;
        HRESULT result = sim::play_length(path, length_ms);
        EXPECT_EQ(static_cast<std::uint32_t>(result), variant.result);
        if (SUCCEEDED(result)) {
            EXPECT_EQ(length_ms, variant.length_ms);
        }
    }
    std::uint64_t length_ms = 0;
    EXPECT_EQ(static_cast<std::uint32_t>(sim::play_length(cwd_ + "/missing.wav", length_ms)), 0x80070002u);
    EXPECT_EQ(static_cast<std::uint32_t>(sim::play_length(cwd_, length_ms)), 0x80070002u) << "a folder";
}

// A song whose samples come after a great many chunks is read to its data chunk all the same.
TEST_F(Standins, ASongBehindManyChunksHasItsLength)
{
    media_test::Bytes song = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (int i = 0; i < 200000; ++i)
        song.insert(song.end(), {'j', 'u', 'n', 'k', 0, 0, 0, 0});
    media_test::Bytes tail = media_test::wave_file_bytes(16000, 8000);
    song.insert(song.end(), tail.begin() + 12, tail.end());
    media_test::write_file(cwd_ + "/song.wav", song);
    std::uint64_t length_ms = 0;
    ASSERT_EQ(sim::play_length(cwd_ + "/song.wav", length_ms), S_OK);
    EXPECT_EQ(length_ms, 2000u);
}

TEST_F(Standins, ALockPastTheEndWrapsToTheStart)
{
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    IDirectSound8* device = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_DirectSound8, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound8,
                               reinterpret_cast<void**>(&device)),
              S_OK);
    WAVEFORMATEX format = {WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0};
    DSBUFFERDESC description = {sizeof(DSBUFFERDESC), DSBCAPS_STATIC, 100, 0, &format, GUID_NULL};
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    EXPECT_EQ(device->CreateSoundBuffer(&description, &buffer, nullptr), DSERR_UNINITIALIZED);
    ASSERT_EQ(device->Initialize(nullptr), DS_OK);
    ASSERT_EQ(device->CreateSoundBuffer(&description, &buffer, nullptr), DS_OK);
    LPVOID first = nullptr;
    LPVOID second = nullptr;
    DWORD first_size = 0;
    DWORD second_size = 0;
    ASSERT_EQ(buffer->Lock(80, 30, &first, &first_size, &second, &second_size, 0), DS_OK);
    EXPECT_EQ(first_size, 20u);
    EXPECT_EQ(second_size, 10u);
    EXPECT_EQ(static_cast<unsigned char*>(first) - static_cast<unsigned char*>(second), 80);
    EXPECT_EQ(buffer->Lock(0, 4, &first, &first_size, &second, &second_size, 0), DSERR_INVALIDPARAM)
        << "a second lock while locked";
    EXPECT_EQ(buffer->Unlock(second, second_size, first, first_size), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Unlock(first, first_size, second, second_size), DS_OK);
    EXPECT_EQ(buffer->SetVolume(-100), DSERR_CONTROLUNAVAIL) << "the buffer has no volume control";
    EXPECT_EQ(buffer->Play(0, 1, 0), DSERR_INVALIDCALL);
    format.nAvgBytesPerSec = 7999;
    LPDIRECTSOUNDBUFFER bad = nullptr;
    EXPECT_EQ(device->CreateSoundBuffer(&description, &bad, nullptr), DSERR_BADFORMAT);
    buffer->Release();
    device->Release();
    CoUninitialize();
}

TEST_F(Standins, TemporaryNamesAreNewFilesInTheTemporaryFolder)
{
    char folder[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof folder, folder);
    ASSERT_EQ(std::string(folder), temp_ + "/");
    EXPECT_EQ(length, temp_.size() + 1);
    EXPECT_EQ(GetTempPathA(static_cast<DWORD>(length), folder), length + 1) << "the size needed, terminator included";
    char first[MAX_PATH];
    char second[MAX_PATH];
    ASSERT_NE(GetTempFileNameA(folder, "Resource", 0, first), 0u);
    ASSERT_NE(GetTempFileNameA(folder, "Resource", 0, second), 0u);
    EXPECT_STRNE(first, second);
    EXPECT_TRUE(media_test::file_exists(first));
    EXPECT_EQ(std::filesystem::file_size(first), 0u);
    EXPECT_EQ(std::filesystem::path(first).filename().string().substr(0, 3), "Res");
    std::string too_long(MAX_PATH - 13, 'x');
    EXPECT_EQ(GetTempFileNameA(too_long.c_str(), "Res", 0, first), 0u);
    EXPECT_EQ(GetTempFileNameA((temp_ + "/missing/").c_str(), "Res", 0, first), 0u);
}

TEST_F(Standins, FilesOpenAsTheirDispositionSays)
{
    std::string path = cwd_ + "/file.bin";
    EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, "abcdef", 6, &written, nullptr));
    EXPECT_EQ(written, 6u);
    char byte;
    DWORD read = 0;
    EXPECT_FALSE(ReadFile(file, &byte, 1, &read, nullptr)) << "a file opened for writing was read";
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
    // a subfolder named the Windows way
    std::filesystem::create_directories(cwd_ + "/Sound");
    file = CreateFileA(".\\Sound\\x.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_TRUE(media_test::file_exists(cwd_ + "/Sound/x.bin"));
    EXPECT_TRUE(DeleteFileA(".\\Sound\\x.bin"));
    EXPECT_FALSE(DeleteFileA(".\\Sound\\x.bin"));
    EXPECT_FALSE(DeleteFileA(".\\Sound")) << "a folder is no file";
}

TEST_F(Standins, AViewOutlivesItsMappingAndFile)
{
    std::string path = cwd_ + "/data.bin";
    media_test::write_file(path, media_test::Bytes{1, 2, 3, 4, 5});
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD high = 7;
    EXPECT_EQ(GetFileSize(file, &high), 5u);
    EXPECT_EQ(high, 0u);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    CloseHandle(file);
    LPVOID view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    CloseHandle(mapping);
    EXPECT_EQ(sim::open_handle_count(), 0u);
    EXPECT_EQ(std::memcmp(view, "\1\2\3\4\5", 5), 0);
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_FALSE(UnmapViewOfFile(view));
}

TEST_F(Standins, TextConvertsByteForByteWithinTheBuffer)
{
    WCHAR wide[8];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, "a\xE9z", -1, wide, 8), 4);
    EXPECT_EQ(wide[1], u'\u00E9');
    EXPECT_EQ(wide[3], 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcdefgh", -1, nullptr, 0), 9) << "the size needed";
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcdefgh", -1, wide, 8), 0) << "no room for the terminator";
}

// The table of live objects: handles it makes up are four apart and never given twice, objects
// are found by handle or by what they hold, listed in the order of their handles, and stay where
// they are while others come and go.
TEST(Registry, FindsEachLiveObjectByItsHandle)
{
    sim::Registry<void*, std::string> table(0x100);
    void* first = table.add_numbered("first");
    void* second = table.add_numbered("second");
    EXPECT_EQ(first, reinterpret_cast<void*>(0x100));
    EXPECT_EQ(second, reinterpret_cast<void*>(0x104));
    std::string* kept = table.find(first);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(*kept, "first");
    for (int i = 0; i < 100; ++i)
        table.remove(table.add_numbered(std::to_string(i)));
    EXPECT_EQ(table.find(first), kept) << "an object moved while others came and went";
    EXPECT_TRUE(table.remove(first));
    EXPECT_FALSE(table.remove(first)) << "a handle removed twice";
    EXPECT_FALSE(table.holds(first));
    EXPECT_EQ(table.find(first), nullptr);
    void* third = table.add_numbered("third");
    EXPECT_EQ(third, reinterpret_cast<void*>(0x104 + 4 * 101)) << "a handle given again";
    table.add(second, "second again");
    EXPECT_EQ(table.count(), 2u) << "a handle added again is one object";
    std::vector<std::string> listed;
    for (const auto& [handle, object] : table)
        listed.push_back(object);
    EXPECT_EQ(listed, (std::vector<std::string>{"second again", "third"}));
    const std::string* found = table.find_if([](const std::string& object) { return object[0] == 't'; });
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(*found, "third");
    EXPECT_EQ(table.find_if([](const std::string& object) { return object.empty(); }), nullptr);
}

}  // namespace
