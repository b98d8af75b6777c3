// Time of the simulated media graph's render of a song file: a plain one, and one whose samples
// lie behind a million empty chunks (8 MB), which the graph must read through to its data.
#include "base/bytes.h"
#include "platform/sim/media_graph.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using base::put32;

// A song of one second of 8-bit samples at 8000 a second, behind `empty_chunks` empty chunks.
std::string write_song(int empty_chunks)
{
    std::string bytes = "RIFF";
    put32(bytes, 0);
    bytes += "WAVE";
    for (int i = 0; i < empty_chunks; ++i) {
        bytes += "junk";
        put32(bytes, 0);
    }
    bytes += "fmt ";
    put32(bytes, 16);
    bytes += std::string("\x01\x00\x01\x00", 4);
    put32(bytes, 8000);
    put32(bytes, 8000);
    bytes += std::string("\x01\x00\x08\x00", 4);
    bytes += "data";
    put32(bytes, 8000);
    bytes += std::string(8000, '\x80');
    const char* folder = std::getenv("TMPDIR");
    std::string path = std::string(folder && *folder ? folder : "/tmp") + "/standin_song_" +
                       std::to_string(empty_chunks) + ".wav";
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

void render_song(benchmark::State& state)
{
    std::string path = write_song(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::uint64_t length_ms = 0;
        HRESULT result = sim::play_length(path, length_ms);
        if (result != S_OK || length_ms != 1000)
            state.SkipWithError("the song did not render as one second");
        benchmark::DoNotOptimize(length_ms);
    }
    std::remove(path.c_str());
}

}  // namespace

BENCHMARK(render_song)->Arg(0)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
