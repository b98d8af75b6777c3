// The far end of a sound card: reads a raw PCM stream from standard input no faster than its
// rate and writes it to a file, so that a program that writes into a pipe to it (ALSA's `file`
// plugin, whose slave is the null device) runs in real time, and the file's times are true.
//     sound_sink OUT RATE CHANNELS FORMAT
// FORMAT is ALSA's name of the sample format (FLOAT_LE, S16_LE, S32_LE ...). The stream is cut
// off after SOUND_CAPTURE_LIMIT_S seconds of it.
#include "panelhost/base/limits.h"
#include "base/text.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <thread>
#include <unistd.h>

namespace {

// The bytes of one sample of each format the sink knows.
struct SampleFormat {
    std::string_view name;
    long long bytes;
};
constexpr SampleFormat FORMATS[] = {
    {"FLOAT_LE", 4}, {"S32_LE", 4}, {"S24_LE", 4}, {"S16_LE", 2}, {"U8", 1}, {"S8", 1}, {"FLOAT64_LE", 8},
};

long long sample_bytes(std::string_view name)
{
    for (const SampleFormat& format : FORMATS)
        if (format.name == name)
            return format.bytes;
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    long long rate = 0;
    long long channels = 0;
    long long bytes = argc == 5 ? sample_bytes(argv[4]) : 0;
    if (argc != 5 || !base::read_whole_number(argv[2], 1, 768000, rate) ||
        !base::read_whole_number(argv[3], 1, 64, channels) || bytes == 0) {
        std::fprintf(stderr, "usage: sound_sink OUT RATE CHANNELS FORMAT (FLOAT_LE, S32_LE, S16_LE, U8 ...)\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::fprintf(stderr, "sound_sink: cannot write %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    const long long frame_bytes = bytes * channels;
    const long long limit_bytes = static_cast<long long>(panelhost::SOUND_CAPTURE_LIMIT_S) * rate * frame_bytes;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    long long total = 0;
    char buffer[4096];
    while (total < limit_bytes) {
        ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        if (std::fwrite(buffer, 1, static_cast<std::size_t>(got), out) != static_cast<std::size_t>(got)) {
            std::fprintf(stderr, "sound_sink: cannot write %s: %s\n", argv[1], std::strerror(errno));
            std::fclose(out);
            return 1;
        }
        total += got;
        // The stream's time of what has been read: the next read waits until the clock is there,
        // so that the writer is held to the stream's rate by the pipe filling up.
        auto due = start + std::chrono::microseconds(total / frame_bytes * 1000000 / rate);
        std::this_thread::sleep_until(due);
    }
    if (std::fclose(out) != 0) {
        std::fprintf(stderr, "sound_sink: cannot write %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    return 0;
}
