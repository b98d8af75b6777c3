// What a sound card received, read back and measured: the raw stream the sound sink wrote, the
// songs' and the click's own samples, levels, clicks found by their shape, and silence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sound {

// Samples as floating point, -1..1 full scale, one channel or interleaved.
struct Signal {
    int rate = 0;
    int channels = 0;
    std::vector<float> samples;   // frames * channels

    std::size_t frames() const { return channels ? samples.size() / std::size_t(channels) : 0; }
    double seconds(std::size_t frame) const { return rate ? double(frame) / rate : 0; }
    std::size_t frame_at(double seconds) const;
};

// The raw stream as the sink wrote it: FLOAT_LE or S16_LE, interleaved. False (and why) for a
// file that cannot be read or whose size is not whole frames.
bool read_raw(const std::string& path, int rate, int channels, const std::string& format, Signal& signal,
              std::string& error);
// A RIFF WAVE file of 8-bit unsigned or 16-bit signed PCM, as its samples.
bool read_wave(const std::string& path, Signal& signal, std::string& error);
bool parse_wave(const std::vector<std::uint8_t>& bytes, Signal& signal, std::string& error);

// One channel of the signal, or the mean of all of them (channel -1).
std::vector<float> channel(const Signal& signal, int which);
// The signal at another rate, each output sample a windowed-sinc interpolation of the input, the
// band limited to the lower of the two rates' halves, as a sound card's converter makes it;
// `delay` (0..1) puts every output sample that fraction of an output sample later in the input.
std::vector<float> resample(const std::vector<float>& samples, int from_rate, int to_rate, double delay = 0);

// Root mean square in decibels of full scale (a full-scale square wave is 0 dB, a full-scale
// sine -3.01 dB); -inf for silence.
double rms_db(const std::vector<float>& samples, std::size_t from, std::size_t to);
// The largest magnitude over every channel of the frames [from, to), in decibels of full scale.
double peak_db(const Signal& signal, std::size_t from, std::size_t to);
double to_db(double ratio);

// The level of each window of `window` samples, in dB of full scale.
std::vector<double> envelope(const std::vector<float>& samples, std::size_t window);

// A stretch of steady level: windows [first, last] of an envelope whose levels lie within a
// tolerance of their median.
struct Plateau {
    std::size_t first = 0;
    std::size_t last = 0;
    double level_db = 0;
};
// The steady stretches of an envelope between two windows, each at least min_windows long, a
// window whose level leaves the stretch's by more than tolerance_db ending it. Windows below
// floor_db (silence) belong to none.
std::vector<Plateau> plateaus(const std::vector<double>& levels, std::size_t from, std::size_t to,
                              double tolerance_db, std::size_t min_windows, double floor_db);

// Where a shape occurs in a signal: the sample at which the shape's first sample lies and the
// normalised correlation there (1 for the very shape at any gain).
struct Match {
    std::size_t at = 0;
    double correlation = 0;
};
// Every place in [from, to) where the signal correlates with the shape by at least threshold,
// the best of each run of neighbours, at least the shape's length apart.
std::vector<Match> find_shape(const std::vector<float>& signal, const std::vector<float>& shape, std::size_t from,
                              std::size_t to, double threshold);

// The gain, in dB, that best makes the shape (placed at `at`) the signal over the shape's samples
// [first, last): least squares.
double gain_db(const std::vector<float>& signal, std::size_t at, const std::vector<float>& shape, std::size_t first,
               std::size_t last);

// A short sound of known samples (the click) found in a signal at another rate: where its first
// sample lies (in the signal's samples, to an eighth of one), how well its shape fits there,
// where it is first heard, and its gain over what is heard against the same samples at full
// volume.
struct Occurrence {
    double start = 0;              // where the sound's first sample falls, heard or not
    std::size_t first_heard = 0;   // the first of its samples that the signal holds (above -60 dBFS)
    std::size_t end = 0;           // past its last sample
    double correlation = 0;
    double gain_db = 0;
    double missing_ms = 0;         // how much of its start is not there
};
// Every occurrence in the signal whose shape fits by at least `threshold` (normalised
// correlation). The sound is looked for by its part from `skip` of its own samples on, so that a
// sound whose start is missing is found too.
std::vector<Occurrence> find_sound(const std::vector<float>& signal, int rate, const std::vector<float>& sound,
                                   int sound_rate, std::size_t skip, double threshold);

// The share (0..1) of a stretch's power that lies within +-tolerance of a frequency, by
// Goertzel's filter over a range of bins.
double power_share_near(const std::vector<float>& samples, std::size_t from, std::size_t to, int rate,
                        double frequency, double tolerance);

// The first sample in [from, to) whose magnitude reaches the level (dBFS), or `to`.
std::size_t first_above(const std::vector<float>& samples, std::size_t from, std::size_t to, double level_db);

// Silent stretches: runs of at least min_length samples in [from, to) whose every magnitude
// lies below level_db.
struct Stretch {
    std::size_t first = 0;
    std::size_t length = 0;
};
std::vector<Stretch> silences(const std::vector<float>& samples, std::size_t from, std::size_t to, double level_db,
                          std::size_t min_length);

}  // namespace sound
