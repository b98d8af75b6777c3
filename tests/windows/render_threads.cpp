// The threads that a process keeps after media-graph renders that fail and renders that succeed:
// a song written to the temporary folder is rendered ten times, then two names that do not exist
// ten times each, then the song again. Prints the process's thread count after each round.
#include "tests/windows/test_song.h"

#include <windows.h>
#include <dshow.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int thread_count()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;
    CloseHandle(snapshot);
    return count;
}

// Renders the file in a new graph `times` times; prints how many failed and the threads after.
void render_round(const std::string& file, int times)
{
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    int failed = 0;
    for (int round = 0; round < times; ++round) {
        IGraphBuilder* graph = nullptr;
        if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                    reinterpret_cast<void**>(&graph)))) {
            std::printf("no media graph\n");
            return;
        }
        if (FAILED(graph->RenderFile(wide, nullptr)))
            ++failed;
        graph->Release();
    }
    Sleep(500);   // time for threads that end by themselves
    std::printf("%s x%d: %d failed, threads %d\n", file.c_str(), times, failed, thread_count());
}

}  // namespace

int main()
{
    char folder[MAX_PATH + 1];
    GetTempPathA(sizeof folder, folder);
    std::string song = std::string(folder) + "render_threads_song.wav";
    if (!write_test_song(song, 16000)) {
        std::printf("cannot write %s\n", song.c_str());
        return 1;
    }
    CoInitialize(nullptr);
    std::printf("start: threads %d\n", thread_count());
    render_round(song, 10);
    render_round(std::string(folder) + "render_threads_missing.wma", 10);
    render_round(std::string(folder) + "render_threads_missing.mp3", 10);
    render_round(song, 10);
    CoUninitialize();
    DeleteFileA(song.c_str());
    return 0;
}
