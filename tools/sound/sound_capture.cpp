// What a sound card received, read back and measured.
#include "tools/sound/sound_capture.h"

#include "base/bytes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <numbers>

namespace sound {

namespace {

bool read_bytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

// Samples of 16-bit signed or 8-bit unsigned PCM as floating point.
void pcm_samples(const std::uint8_t* data, std::size_t size, int bits, std::vector<float>& out)
{
    if (bits == 8) {
        for (std::size_t i = 0; i < size; ++i)
            out.push_back(float((int(data[i]) - 128) / 128.0));
        return;
    }
    for (std::size_t i = 0; i + 1 < size; i += 2)
        out.push_back(float(std::int16_t(base::get16(data + i)) / 32768.0));
}

// The windowed-sinc kernel's half-width in input samples at the band's edge.
constexpr int SINC_HALF_WIDTH = 32;

double sinc(double x)
{
    return x == 0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
}

// Blackman window over -1..1.
double window_at(double x)
{
    if (x <= -1 || x >= 1)
        return 0;
    return 0.42 + 0.5 * std::cos(std::numbers::pi * x) + 0.08 * std::cos(2 * std::numbers::pi * x);
}

}  // namespace

std::size_t Signal::frame_at(double at_seconds) const
{
    if (at_seconds <= 0)
        return 0;
    return std::min(frames(), static_cast<std::size_t>(std::llround(at_seconds * rate)));
}

bool read_raw(const std::string& path, int rate, int channels, const std::string& format, Signal& signal,
              std::string& error)
{
    std::vector<std::uint8_t> bytes;
    if (!read_bytes(path, bytes, error))
        return false;
    std::size_t sample_bytes = format == "FLOAT_LE" ? 4 : format == "S16_LE" ? 2 : 0;
    if (sample_bytes == 0 || rate <= 0 || channels <= 0) {
        error = "the stream's format " + format + " is not one this reads (FLOAT_LE, S16_LE)";
        return false;
    }
    if (bytes.size() % (sample_bytes * std::size_t(channels)) != 0) {
        error = path + " holds " + std::to_string(bytes.size()) + " bytes, not whole frames of " +
                std::to_string(sample_bytes * std::size_t(channels));
        return false;
    }
    signal.rate = rate;
    signal.channels = channels;
    signal.samples.clear();
    signal.samples.reserve(bytes.size() / sample_bytes);
    if (sample_bytes == 4) {
        for (std::size_t i = 0; i < bytes.size(); i += 4) {
            std::uint32_t word = base::get32(bytes.data() + i);
            float value;
            std::memcpy(&value, &word, sizeof value);
            signal.samples.push_back(value);
        }
    } else {
        pcm_samples(bytes.data(), bytes.size(), 16, signal.samples);
    }
    return true;
}

bool parse_wave(const std::vector<std::uint8_t>& bytes, Signal& signal, std::string& error)
{
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        error = "not a RIFF WAVE file";
        return false;
    }
    int bits = 0;
    bool have_format = false;
    // Chunks to the file's end: a writer that streams may leave the RIFF length unset.
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        std::uint32_t length = base::get32(bytes.data() + at + 4);
        std::size_t body = at + 8;
        std::size_t available = std::min<std::size_t>(length, bytes.size() - body);
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && available >= 16) {
            if (base::get16(bytes.data() + body) != 1) {
                error = "the samples are not PCM (format tag " + std::to_string(base::get16(bytes.data() + body)) + ")";
                return false;
            }
            signal.channels = base::get16(bytes.data() + body + 2);
            signal.rate = static_cast<int>(base::get32(bytes.data() + body + 4));
            bits = base::get16(bytes.data() + body + 14);
            have_format = true;
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0 && have_format) {
            if ((bits != 8 && bits != 16) || signal.channels < 1 || signal.rate < 1) {
                error = "the samples are " + std::to_string(bits) + "-bit; this reads 8- and 16-bit PCM";
                return false;
            }
            signal.samples.clear();
            // A streamed file's data length may read 0 or too much: its samples run to the end.
            if (length == 0 || length == 0xFFFFFFFFu)
                available = bytes.size() - body;
            pcm_samples(bytes.data() + body, available, bits, signal.samples);
            signal.samples.resize(signal.samples.size() - signal.samples.size() % std::size_t(signal.channels));
            return true;
        }
        at = body + ((std::size_t(length) + 1) & ~std::size_t(1));
    }
    error = have_format ? "no data chunk" : "no format chunk before the data";
    return false;
}

bool read_wave(const std::string& path, Signal& signal, std::string& error)
{
    std::vector<std::uint8_t> bytes;
    if (!read_bytes(path, bytes, error))
        return false;
    if (!parse_wave(bytes, signal, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

std::vector<float> channel(const Signal& signal, int which)
{
    std::vector<float> out(signal.frames());
    const std::size_t channels = std::size_t(signal.channels);
    for (std::size_t frame = 0; frame < out.size(); ++frame) {
        const float* samples = &signal.samples[frame * channels];
        if (which >= 0) {
            out[frame] = samples[which];
            continue;
        }
        double sum = 0;
        for (std::size_t c = 0; c < channels; ++c)
            sum += samples[c];
        out[frame] = float(sum / double(channels));
    }
    return out;
}

std::vector<float> resample(const std::vector<float>& samples, int from_rate, int to_rate, double delay)
{
    if (from_rate == to_rate && delay == 0)
        return samples;
    const double step = double(from_rate) / to_rate;            // input samples per output sample
    const double cutoff = std::min(1.0, double(to_rate) / from_rate);   // of the input's half band
    const double half_width = SINC_HALF_WIDTH / cutoff;
    const std::size_t count = static_cast<std::size_t>(std::ceil(double(samples.size()) / step));
    std::vector<float> out(count);
    for (std::size_t n = 0; n < count; ++n) {
        const double at = (double(n) - delay) * step;
        const long first = static_cast<long>(std::ceil(at - half_width));
        const long last = static_cast<long>(std::floor(at + half_width));
        double sum = 0;
        for (long k = std::max(0L, first); k <= last && k < long(samples.size()); ++k) {
            const double distance = at - double(k);
            sum += samples[std::size_t(k)] * cutoff * sinc(distance * cutoff) * window_at(distance / half_width);
        }
        out[n] = float(sum);
    }
    return out;
}

double to_db(double ratio)
{
    return ratio > 0 ? 20 * std::log10(ratio) : -std::numeric_limits<double>::infinity();
}

double rms_db(const std::vector<float>& samples, std::size_t from, std::size_t to)
{
    to = std::min(to, samples.size());
    if (from >= to)
        return -std::numeric_limits<double>::infinity();
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += double(samples[i]) * samples[i];
    return to_db(std::sqrt(sum / double(to - from)));
}

double peak_db(const Signal& signal, std::size_t from, std::size_t to)
{
    to = std::min(to, signal.frames());
    double peak = 0;
    for (std::size_t i = from * std::size_t(signal.channels); i < to * std::size_t(signal.channels); ++i)
        peak = std::max(peak, double(std::fabs(signal.samples[i])));
    return to_db(peak);
}

std::vector<double> envelope(const std::vector<float>& samples, std::size_t window)
{
    std::vector<double> levels;
    for (std::size_t from = 0; window > 0 && from + window <= samples.size(); from += window)
        levels.push_back(rms_db(samples, from, from + window));
    return levels;
}

std::vector<Plateau> plateaus(const std::vector<double>& levels, std::size_t from, std::size_t to,
                              double tolerance_db, std::size_t min_windows, double floor_db)
{
    std::vector<Plateau> found;
    to = std::min(to, levels.size());
    std::size_t start = from;
    // A stretch grows while each window stays within the tolerance of the stretch's first window;
    // a window that does not starts the next.
    auto close = [&](std::size_t end) {
        if (end > start && end - start >= min_windows) {
            std::vector<double> stretch(levels.begin() + long(start), levels.begin() + long(end));
            std::nth_element(stretch.begin(), stretch.begin() + long(stretch.size() / 2), stretch.end());
            found.push_back({start, end - 1, stretch[stretch.size() / 2]});
        }
    };
    for (std::size_t i = from; i < to; ++i) {
        if (levels[i] < floor_db) {
            close(i);
            start = i + 1;
            continue;
        }
        if (i > start && std::fabs(levels[i] - levels[start]) > tolerance_db) {
            close(i);
            start = i;
        }
    }
    close(to);
    return found;
}

std::vector<Match> find_shape(const std::vector<float>& signal, const std::vector<float>& shape, std::size_t from,
                              std::size_t to, double threshold)
{
    std::vector<Match> found;
    const std::size_t length = shape.size();
    to = std::min(to, signal.size());
    if (length == 0 || to < length || from > to - length)
        return found;
    double shape_energy = 0;
    for (float s : shape)
        shape_energy += double(s) * s;
    // The signal's energy under the shape, kept as a running sum.
    double energy = 0;
    for (std::size_t i = from; i < from + length; ++i)
        energy += double(signal[i]) * signal[i];
    for (std::size_t at = from; at + length <= to; ++at) {
        if (at > from) {
            energy += double(signal[at + length - 1]) * signal[at + length - 1] -
                      double(signal[at - 1]) * signal[at - 1];
        }
        // Silence correlates with nothing: an energy below 1e-12 is under -140 dBFS over the shape.
        if (energy < 1e-12 || shape_energy <= 0)
            continue;
        double product = 0;
        for (std::size_t k = 0; k < length; ++k)
            product += double(signal[at + k]) * shape[k];
        double correlation = product / std::sqrt(energy * shape_energy);
        if (correlation < threshold)
            continue;
        if (!found.empty() && at - found.back().at < length) {
            if (correlation > found.back().correlation)
                found.back() = {at, correlation};
            continue;
        }
        found.push_back({at, correlation});
    }
    return found;
}

double gain_db(const std::vector<float>& signal, std::size_t at, const std::vector<float>& shape, std::size_t first,
               std::size_t last)
{
    double product = 0;
    double energy = 0;
    for (std::size_t k = first; k < last && k < shape.size() && at + k < signal.size(); ++k) {
        product += double(signal[at + k]) * shape[k];
        energy += double(shape[k]) * shape[k];
    }
    return energy > 0 ? to_db(product / energy) : -std::numeric_limits<double>::infinity();
}

std::vector<Occurrence> find_sound(const std::vector<float>& signal, int rate, const std::vector<float>& sound,
                                   int sound_rate, std::size_t skip, double threshold)
{
    // The sound at the signal's rate, at each eighth of a sample's delay.
    constexpr int PHASES = 8;
    std::vector<std::vector<float>> phases;
    for (int phase = 0; phase < PHASES; ++phase)
        phases.push_back(resample(sound, sound_rate, rate, double(phase) / PHASES));
    const std::size_t skipped = static_cast<std::size_t>(std::ceil(double(skip) * rate / sound_rate));
    if (phases[0].size() <= skipped + 1)
        return {};
    auto part = [&](int phase) { return std::vector<float>(phases[phase].begin() + long(skipped), phases[phase].end()); };
    std::vector<Occurrence> found;
    for (const Match& coarse : find_shape(signal, part(0), 0, signal.size(), threshold)) {
        // The best phase and place near the coarse match.
        Match best = coarse;
        int best_phase = 0;
        std::size_t from = coarse.at > 2 ? coarse.at - 2 : 0;
        for (int phase = 0; phase < PHASES; ++phase) {
            std::vector<float> shape = part(phase);
            for (const Match& fine : find_shape(signal, shape, from, coarse.at + 3 + shape.size(), -1.0))
                if (fine.correlation > best.correlation) {
                    best = fine;
                    best_phase = phase;
                }
        }
        if (best.at < skipped)
            continue;
        Occurrence occurrence;
        const std::vector<float>& whole = phases[best_phase];
        const std::size_t at = best.at - skipped;
        occurrence.start = double(at) + double(best_phase) / PHASES;
        occurrence.correlation = best.correlation;
        occurrence.end = std::min(signal.size(), at + whole.size());
        occurrence.first_heard = first_above(signal, at > 8 ? at - 8 : 0, occurrence.end, -60);
        occurrence.missing_ms = std::max(0.0, (double(occurrence.first_heard) - occurrence.start) * 1000 / rate);
        occurrence.gain_db = gain_db(signal, at, whole, std::max(occurrence.first_heard, at) - at, whole.size());
        found.push_back(occurrence);
    }
    return found;
}

double power_share_near(const std::vector<float>& samples, std::size_t from, std::size_t to, int rate,
                        double frequency, double tolerance)
{
    to = std::min(to, samples.size());
    if (from >= to || rate <= 0)
        return 0;
    const std::size_t n = to - from;
    double total = 0;
    for (std::size_t i = from; i < to; ++i)
        total += double(samples[i]) * samples[i];
    if (total <= 0)
        return 0;
    // The bins of a Hann-windowed transform over the band, each by Goertzel's recurrence; the
    // window's power gain (3/8) and Parseval's n/2 for a real signal give the share.
    const double bin_width = double(rate) / double(n);
    const long low = std::max(1L, static_cast<long>(std::floor((frequency - tolerance) / bin_width)));
    const long high = static_cast<long>(std::ceil((frequency + tolerance) / bin_width));
    double band = 0;
    for (long bin = low; bin <= high; ++bin) {
        const double omega = 2 * std::numbers::pi * double(bin) / double(n);
        const double coefficient = 2 * std::cos(omega);
        double previous = 0, before = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i) / double(n));
            const double current = samples[from + i] * hann + coefficient * previous - before;
            before = previous;
            previous = current;
        }
        band += previous * previous + before * before - coefficient * previous * before;
    }
    return std::min(1.0, band * 2 / (double(n) * (3.0 / 8.0)) / total);
}

std::size_t first_above(const std::vector<float>& samples, std::size_t from, std::size_t to, double level_db)
{
    const double level = std::pow(10.0, level_db / 20);
    to = std::min(to, samples.size());
    for (std::size_t i = from; i < to; ++i)
        if (std::fabs(samples[i]) >= level)
            return i;
    return to;
}

std::vector<Stretch> silences(const std::vector<float>& samples, std::size_t from, std::size_t to, double level_db,
                          std::size_t min_length)
{
    const double level = std::pow(10.0, level_db / 20);
    std::vector<Stretch> found;
    to = std::min(to, samples.size());
    std::size_t start = from;
    for (std::size_t i = from; i <= to; ++i) {
        if (i < to && std::fabs(samples[i]) < level)
            continue;
        if (i - start >= min_length)
            found.push_back({start, i - start});
        start = i + 1;
    }
    return found;
}

}  // namespace sound
