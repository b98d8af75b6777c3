// Song files of every shape the media graph may meet, well formed and malformed, each with what
// the simulated graph answers for it and whether Wine's framework was measured to answer alike;
// and the plain wave files the tests' song folders hold.
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

// A RIFF WAVE file of 8-bit mono PCM at the rate given, holding the samples given.
std::vector<unsigned char> wave_file(const std::vector<unsigned char>& samples,
                                     std::uint32_t samples_per_second = 8000);
// The bytes of a wave file of 8-bit mono silence at 8000 samples a second, a second long unless
// told otherwise, as a test writes it into a song folder.
std::string silent_wave(std::uint32_t samples = 8000);

}  // namespace test_support
