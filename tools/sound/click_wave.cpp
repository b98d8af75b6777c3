// Writes the radio's click sound: a 184-byte RIFF WAVE file of 127 unsigned 8-bit mono samples at
// 22050 samples per second, a short decaying burst. Integer arithmetic only, so that every build
// writes the same bytes.
//     click_sound OUT.wav
#include "base/bytes.h"

#include <cstdio>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t SAMPLE_COUNT = 127;
constexpr std::uint32_t SAMPLE_RATE = 22050;

// One cycle of the burst's tone, about 2.8 kHz, in thousandths of full swing.
constexpr int TONE[8] = {0, 707, 1000, 707, 0, -707, -1000, -707};

// The click: a tone mixed with a little noise under an envelope that falls from full swing to
// silence over the 127 samples, centred on 128 as unsigned 8-bit sound is.
std::vector<std::uint8_t> click_samples()
{
    std::vector<std::uint8_t> samples;
    std::uint32_t noise = 0x2545F491u;
    for (std::uint32_t i = 0; i < SAMPLE_COUNT; ++i) {
        noise = noise * 1664525u + 1013904223u;
        int random = static_cast<int>((noise >> 16) % 2001) - 1000;        // -1000..1000
        int remaining = static_cast<int>(SAMPLE_COUNT - 1 - i);
        int envelope = 120 * remaining * remaining / int((SAMPLE_COUNT - 1) * (SAMPLE_COUNT - 1));   // 0..120
        int mixed = (TONE[i % 8] * 7 + random * 3) / 10;                   // -1000..1000
        int value = 128 + envelope * mixed / 1000;
        samples.push_back(static_cast<std::uint8_t>(value));
    }
    return samples;
}

void put_id(std::vector<std::uint8_t>& out, const char* id)
{
    out.insert(out.end(), id, id + 4);
}

// The file as the radio's resource holds it, byte for byte.
std::vector<std::uint8_t> click_file()
{
    std::vector<std::uint8_t> samples = click_samples();
    std::vector<std::uint8_t> out;
    put_id(out, "RIFF");
    base::put32(out, 176);
    put_id(out, "WAVE");
    put_id(out, "fmt ");
    base::put32(out, 16);
    base::put16(out, 1);             // PCM
    base::put16(out, 1);             // mono
    base::put32(out, SAMPLE_RATE);
    base::put32(out, SAMPLE_RATE);   // average bytes per second
    base::put16(out, 1);             // block alignment
    base::put16(out, 8);             // bits per sample
    put_id(out, "fact");
    base::put32(out, 4);
    base::put32(out, SAMPLE_COUNT);  // sample frames
    put_id(out, "data");
    base::put32(out, SAMPLE_COUNT);
    out.insert(out.end(), samples.begin(), samples.end());
    out.push_back(0);                 // pad byte after the odd-sized data
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: click_sound OUT.wav\n");
        return 2;
    }
    std::vector<std::uint8_t> bytes = click_file();
    if (bytes.size() != 184) {
        std::fprintf(stderr, "click_sound: the file came out %zu bytes long, not 184\n", bytes.size());
        return 1;
    }
    if (!base::write_file(argv[1], bytes)) {
        std::fprintf(stderr, "click_sound: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
