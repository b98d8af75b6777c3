// Writes the song variants that Wine's framework answers as the simulated graph does, as
// song1.wav, song2.wav, ... into FOLDER/Sound, six a set: song_variants FOLDER SET (0, 1, ...).
#include "tests/support/song_variants.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: song_variants FOLDER SET\n");
        return 2;
    }
    std::vector<const test_support::SongVariant*> agreed;
    for (const test_support::SongVariant& variant : test_support::song_variants())
        if (variant.framework_agrees)
            agreed.push_back(&variant);
    std::size_t first = static_cast<std::size_t>(std::atoi(argv[2])) * 6;
    for (std::size_t i = first; i < agreed.size() && i < first + 6; ++i) {
        std::string path = std::string(argv[1]) + "/Sound/song" + std::to_string(i - first + 1) + ".wav";
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(agreed[i]->bytes.data()),
                   static_cast<std::streamsize>(agreed[i]->bytes.size()));
        if (!file) {
            std::fprintf(stderr, "song_variants: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("song%zu.wav: %s\n", i - first + 1, agreed[i]->name);
    }
    return 0;
}
