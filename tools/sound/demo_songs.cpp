// Writes the demo's six songs: short RIFF WAVE tunes song1.wav to song6.wav, 8-bit mono at
// 11025 samples a second, each a few notes of its own, the same bytes on every run.
#include "base/bytes.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using base::put16;
using base::put32;

constexpr std::uint32_t RATE = 11025;

// A square-ish wave with a linear fade, in integer steps: period in samples.
void note(std::vector<std::uint8_t>& samples, std::uint32_t period, std::uint32_t length)
{
    for (std::uint32_t i = 0; i < length; ++i) {
        std::uint32_t level = 48 * (length - i) / length;
        bool high = (i % period) < period / 2;
        samples.push_back(static_cast<std::uint8_t>(high ? 128 + level : 128 - level));
    }
}

std::vector<std::uint8_t> song(int number)
{
    // periods in samples of a few notes (about 220 to 660 Hz); each song starts on its own note
    static const std::uint32_t periods[] = {50, 45, 40, 38, 34, 30, 27, 25, 22, 20};
    std::vector<std::uint8_t> samples;
    for (int step = 0; step < 8; ++step)
        note(samples, periods[(number * 3 + step * (number + 1)) % 10], RATE / 4);
    std::vector<std::uint8_t> out;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put32(out, static_cast<std::uint32_t>(36 + samples.size()));
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(out, 16);
    put16(out, 1);      // PCM
    put16(out, 1);      // mono
    put32(out, RATE);
    put32(out, RATE);   // bytes a second
    put16(out, 1);      // block alignment
    put16(out, 8);      // bits a sample
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put32(out, static_cast<std::uint32_t>(samples.size()));
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo_songs DIR (writes DIR/song1.wav to DIR/song6.wav)\n");
        return 2;
    }
    for (int number = 1; number <= 6; ++number) {
        std::string path = std::string(argv[1]) + "/song" + std::to_string(number) + ".wav";
        if (!base::write_file(path, song(number))) {
            std::fprintf(stderr, "demo_songs: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
