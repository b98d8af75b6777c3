// Song files of every shape the media graph may meet, well formed and malformed, each with what
// the simulated graph answers for it and whether Wine's framework was measured to answer alike.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

struct SongVariant {
    const char* name;
    std::vector<unsigned char> bytes;
    std::uint32_t result;          // the simulated graph's render result
    std::uint64_t length_ms;       // and the song's length, when it renders
    bool framework_agrees;         // Wine's framework renders it or refuses it alike
};

const std::vector<SongVariant>& song_variants();

}  // namespace test_support
