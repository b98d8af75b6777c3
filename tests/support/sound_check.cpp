// Checks what the sound card received while the radio ran a script under Wine: a click on every
// clicking press and none on the others, at the click's volume; each song heard when its preset
// is pressed, as its own tone; the music's volume at the start and at each step; silence after
// pause and power off; a short song heard again and again. Times (each song's start, the gaps at
// its repeats) are printed, not checked. Every failure says what was expected and what was heard.
//     sound_check --capture RAW --rate R --channels C --format F --script FILE --click CLICK.wav
//                 --song N:FILE[:HZ] ...
// HZ is the tone a song is made of, by which it is told from the others.
#include "tools/sound/radio_presses.h"
#include "tools/sound/sound_capture.h"

#include "base/text.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace sound;

// The tolerances, as wanted of the radio under a loaded machine.
constexpr double CLICK_GAIN_DB = -5.0;             // the click's volume, -500
constexpr double CLICK_GAIN_TOLERANCE_DB = 0.5;
constexpr double START_VOLUME_TOLERANCE_DB = 0.5;  // the music against its file
constexpr double STEP_TOLERANCE_DB = 0.2;
constexpr double SILENCE_DB = -80;                 // every sample below this is silence
constexpr double SILENCE_AFTER_S = 0.1;            // silence is wanted from this long after the press
constexpr double HEARD_DB = -60;                   // a sample this loud is heard
constexpr double TONE_SHARE = 0.5;                 // of a song's power at its tone, within 3 %
constexpr int REPEATS_HEARD = 3;                   // a song is still heard this many lengths after its start
// How the sound is read.
constexpr double LEVEL_WINDOW_S = 0.01;            // the music's level, 10 ms at a time
constexpr double PLATEAU_TOLERANCE_DB = 0.25;      // half the smallest step, 0.5 dB
constexpr std::size_t PLATEAU_WINDOWS = 5;         // a level held 50 ms is a step
constexpr double GAP_S = 0.02;                     // a silence this long inside a song is a gap

struct Song {
    int number = 0;
    std::string path;
    std::string name;
    double tone = 0;
    Signal wave;          // the samples, for a WAV song
    bool read = false;
};

struct Checks {
    int count = 0;
    int failed = 0;

    void expect(bool ok, const char* format, ...)
    {
        ++count;
        if (ok)
            return;
        ++failed;
        std::va_list arguments;
        va_start(arguments, format);
        std::printf("FAIL: ");
        std::vprintf(format, arguments);
        std::printf("\n");
        va_end(arguments);
    }
};

std::string file_name(const std::string& path)
{
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool read_text(const std::string& path, std::string& text)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

struct Options {
    std::string capture, format, script, click;
    long long rate = 0, channels = 0;
    std::vector<Song> songs;
};

bool read_options(int argc, char** argv, Options& options)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string name = argv[i], value = argv[i + 1];
        if (name == "--capture") {
            options.capture = value;
        } else if (name == "--rate") {
            if (!base::read_whole_number(value, 1, 768000, options.rate))
                return false;
        } else if (name == "--channels") {
            if (!base::read_whole_number(value, 1, 64, options.channels))
                return false;
        } else if (name == "--format") {
            options.format = value;
        } else if (name == "--script") {
            options.script = value;
        } else if (name == "--click") {
            options.click = value;
        } else if (name == "--song") {
            // N:FILE[:HZ]
            std::size_t first = value.find(':');
            std::size_t last = value.rfind(':');
            long long number = 0, tone = 0;
            if (first == std::string::npos || !base::read_whole_number(value.substr(0, first), 1, 6, number))
                return false;
            Song song;
            song.number = int(number);
            song.path = value.substr(first + 1, last == first ? std::string::npos : last - first - 1);
            if (last != first && !base::read_whole_number(value.substr(last + 1), 1, 20000, tone))
                return false;
            song.tone = double(tone);
            song.name = file_name(song.path);
            options.songs.push_back(song);
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && !options.capture.empty() && !options.script.empty() && !options.click.empty() &&
           options.rate > 0 && options.channels > 0;
}

const Song* song_of(const Options& options, int number)
{
    for (const Song& song : options.songs)
        if (song.number == number)
            return &song;
    return nullptr;
}

// One run of the checks over the capture.
class SessionCheck {
public:
    SessionCheck(const Options& options, const Signal& capture, std::vector<float> mono,
                 const std::vector<Press>& presses)
        : options_(options), capture_(capture), mono_(std::move(mono)), presses_(presses)
    {
    }

    int run(const Signal& click);

private:
    double seconds(std::size_t sample) const { return capture_.seconds(sample); }
    std::size_t sample(double at) const { return capture_.frame_at(at); }
    double segment_end(std::size_t press) const
    {
        return press + 1 < placed_.size() ? placed_[press + 1].seconds : seconds(capture_.frames());
    }
    void check_clicks();
    void check_silence(std::size_t press);
    double check_start(std::size_t press, const Song& song);
    void check_volume_steps(std::size_t first, std::size_t last, double heard, const Song& song);
    void check_repeats(std::size_t press, double heard, const Song& song);

    const Options& options_;
    const Signal& capture_;
    std::vector<float> mono_;
    const std::vector<Press>& presses_;
    std::vector<Sounding> soundings_;
    std::vector<Placed> placed_;
    std::vector<Occurrence> clicks_;
    int click_rate_ = 0;
    Checks checks_;
};

void SessionCheck::check_clicks()
{
    int measured = 0;
    for (std::size_t i = 0; i < presses_.size(); ++i) {
        if (placed_[i].click < 0)
            continue;
        const Occurrence& click = clicks_[std::size_t(placed_[i].click)];
        // A click over silence is measured against its samples; one over music only found.
        std::size_t start = static_cast<std::size_t>(click.start);
        std::size_t before = start > sample(0.02) ? start - sample(0.02) : 0;
        bool alone = peak_db(capture_, before, start) < SILENCE_DB &&
                     peak_db(capture_, click.end, click.end + sample(0.01)) < SILENCE_DB;
        std::printf("click of %-14s at %7.3f s: fits %.3f; %s", presses_[i].name.c_str(), placed_[i].seconds,
                    click.correlation, alone ? "" : "over music\n");
        if (!alone)
            continue;
        ++measured;
        std::printf("heard from %.2f ms on (%.0f of its samples missing), %.2f dB of its samples at full volume\n",
                    click.missing_ms, click.missing_ms * click_rate_ / 1000, click.gain_db);
        checks_.expect(std::fabs(click.gain_db - CLICK_GAIN_DB) <= CLICK_GAIN_TOLERANCE_DB,
                       "expected the click of %s (line %d) at %.1f dB (within %.1f) of its samples at full volume, "
                       "heard %.2f dB",
                       presses_[i].name.c_str(), presses_[i].line, CLICK_GAIN_DB, CLICK_GAIN_TOLERANCE_DB,
                       click.gain_db);
    }
    checks_.expect(measured > 0, "expected a click over silence to measure, heard none");
}

void SessionCheck::check_silence(std::size_t press)
{
    double from = placed_[press].seconds + SILENCE_AFTER_S;
    double to = segment_end(press);
    if (to <= from)
        return;
    double peak = peak_db(capture_, sample(from), sample(to));
    std::printf("after %-14s at %7.3f s: from %.3f s to %.3f s the loudest sample %.1f dBFS\n",
                presses_[press].name.c_str(), placed_[press].seconds, from, to, peak);
    checks_.expect(peak < SILENCE_DB,
                   "expected silence (every sample below %.0f dBFS) from %.1f s after %s (line %d) at %.3f s to "
                   "%.3f s, heard a sample at %.1f dBFS",
                   SILENCE_DB, SILENCE_AFTER_S, presses_[press].name.c_str(), presses_[press].line,
                   placed_[press].seconds, to, peak);
}

// Where the song started by the press is first heard (past the press's own click), or a
// negative time when it is not heard before the next press.
double SessionCheck::check_start(std::size_t press, const Song& song)
{
    double from = placed_[press].seconds;
    if (placed_[press].click >= 0)
        from = seconds(clicks_[std::size_t(placed_[press].click)].end);
    double to = segment_end(press);
    std::size_t first = first_above(mono_, sample(from), sample(to), HEARD_DB);
    bool heard = first < sample(to);
    checks_.expect(heard, "expected %s to be heard after %s (line %d) at %.3f s, heard silence until %.3f s",
                   song.name.c_str(), presses_[press].name.c_str(), presses_[press].line, placed_[press].seconds, to);
    if (!heard)
        return -1;
    double at = seconds(first);
    std::printf("%-14s at %7.3f s: %s heard from %.3f s, %.3f s after the press", presses_[press].name.c_str(),
                placed_[press].seconds, song.name.c_str(), at, at - placed_[press].seconds);
    if (song.tone > 0) {
        double window_end = std::min(at + 0.55, to - 0.01);
        double share = power_share_near(mono_, sample(at + 0.05), sample(window_end), capture_.rate, song.tone,
                                        song.tone * 0.03);
        std::printf(", %.0f %% of its power at %.0f Hz\n", share * 100, song.tone);
        checks_.expect(share >= TONE_SHARE,
                       "expected %s (its tone %.0f Hz) after %s (line %d), heard %.0f %% of the power at %.0f Hz",
                       song.name.c_str(), song.tone, presses_[press].name.c_str(), presses_[press].line,
                       share * 100, song.tone);
    } else {
        std::printf("\n");
    }
    return at;
}

// The volume presses [first + 1, last] while the song started by press `first` plays: each
// applied volume a steady level, the first against the file, each step by the volume's change.
void SessionCheck::check_volume_steps(std::size_t first, std::size_t last, double heard, const Song& song)
{
    if (!song.read) {
        checks_.expect(false, "expected the song under the volume presses to be a WAV file, whose level is known; "
                              "%s is not", song.name.c_str());
        return;
    }
    std::vector<int> volumes = {soundings_[first].music_volume};
    for (std::size_t i = first + 1; i <= last; ++i)
        if (soundings_[i].volume_changed)
            volumes.push_back(soundings_[i].music_volume);
    std::vector<float> file = channel(song.wave, -1);
    double file_db = rms_db(file, 0, file.size());
    std::size_t window = sample(LEVEL_WINDOW_S);
    std::vector<double> levels = envelope(mono_, window);
    std::vector<Plateau> steps =
        plateaus(levels, sample(heard) / window + 1, sample(segment_end(last)) / window, PLATEAU_TOLERANCE_DB,
                 PLATEAU_WINDOWS, HEARD_DB);
    std::printf("%s under %zu volume changes: %zu steady levels, against the file's %.2f dBFS:", song.name.c_str(),
                volumes.size() - 1, steps.size(), file_db);
    for (const Plateau& step : steps)
        std::printf(" %.2f dB at %.2f s;", step.level_db - file_db, seconds(step.first * window));
    std::printf("\n");
    // A song that falls silent while it plays, with no press to stop it, did not reach the sound card
    // in time (seen on a machine busy with a build beside two Wine sessions): said, as what may
    // explain a step not heard.
    std::vector<Stretch> gaps =
        silences(mono_, sample(heard), sample(segment_end(last)) - sample(SILENCE_AFTER_S), SILENCE_DB, sample(GAP_S));
    for (const Stretch& gap : gaps)
        std::printf("  a gap of %.0f ms at %.3f s inside %s: its samples did not reach the sound card in time\n",
                    seconds(gap.length) * 1000, seconds(gap.first), song.name.c_str());
    checks_.expect(steps.size() == volumes.size(),
                   "expected %zu steady levels of %s (its start and %zu volume changes), heard %zu%s", volumes.size(),
                   song.name.c_str(), volumes.size() - 1, steps.size(),
                   gaps.empty() ? "" : " (the song fell silent in between: see the gaps above)");
    if (steps.size() != volumes.size())
        return;
    double start = steps[0].level_db - file_db;
    checks_.expect(std::fabs(start - volumes[0] / 100.0) <= START_VOLUME_TOLERANCE_DB,
                   "expected %s at %.2f dB (within %.1f) of its file at the start volume, heard %.2f dB",
                   song.name.c_str(), volumes[0] / 100.0, START_VOLUME_TOLERANCE_DB, start);
    for (std::size_t k = 1; k < steps.size(); ++k) {
        double step = steps[k].level_db - steps[k - 1].level_db;
        double wanted = (volumes[k] - volumes[k - 1]) / 100.0;
        checks_.expect(std::fabs(step - wanted) <= STEP_TOLERANCE_DB,
                       "expected step %zu of %s (%d to %d) at %+.2f dB (within %.1f), heard %+.2f dB", k,
                       song.name.c_str(), volumes[k - 1], volumes[k], wanted, STEP_TOLERANCE_DB, step);
    }
    double end = steps.back().level_db - file_db;
    if (volumes.back() == 0)
        checks_.expect(std::fabs(end) <= START_VOLUME_TOLERANCE_DB,
                       "expected %s at full volume (0 dB within %.1f of its file) after %zu steps, heard %.2f dB",
                       song.name.c_str(), START_VOLUME_TOLERANCE_DB, volumes.size() - 1, end);
}

// A song shorter than a third of its time on: still heard three lengths after its start; its
// gaps and the tail each repeat loses are printed.
void SessionCheck::check_repeats(std::size_t press, double heard, const Song& song)
{
    if (!song.read)
        return;
    double length = song.wave.seconds(song.wave.frames());
    double end = segment_end(press);
    double late = heard + REPEATS_HEARD * length;
    if (length <= 0 || end < late + 0.3)
        return;
    std::size_t window = sample(LEVEL_WINDOW_S);
    std::size_t loud = 0;
    for (std::size_t at = sample(late); at + window <= sample(end); at += window)
        loud += rms_db(mono_, at, at + window) > HEARD_DB ? 1 : 0;
    std::printf("%s (%.2f s) %.1f s and more after it started: %.2f s of %.2f s heard\n", song.name.c_str(), length,
                late - heard, double(loud) * LEVEL_WINDOW_S, end - late);
    checks_.expect(loud * window >= sample(0.1),
                   "expected %s (%.2f s long, repeating) to be heard %.1f s after it started, at %.3f s to %.3f s, "
                   "heard silence",
                   song.name.c_str(), length, late - heard, late, end);
    // Each repeat: where the song is heard from (its first 50 ms found by their samples), the part
    // of its end not heard before the gap, and the gap. A gap after which the song does not start
    // again is a gap inside it (the machine too busy to feed the sound card), said as such.
    std::vector<float> file = resample(channel(song.wave, -1), song.wave.rate, capture_.rate);
    std::vector<float> opening(file.begin(), file.begin() + long(std::min(file.size(), sample(0.05))));
    auto starts_near = [&](double at) {
        std::size_t from = sample(at) > sample(0.01) ? sample(at) - sample(0.01) : 0;
        std::vector<Match> found = find_shape(mono_, opening, from, sample(at) + opening.size() + sample(0.01), 0.9);
        return found.empty() ? -1.0 : seconds(found.front().at);
    };
    double start = std::max(heard, starts_near(heard));
    int repeat = 0;
    for (const Stretch& gap : silences(mono_, sample(heard), sample(end), SILENCE_DB, sample(GAP_S))) {
        if (gap.first + gap.length >= sample(end))
            break;
        double gap_start = seconds(gap.first);
        double gap_end = seconds(gap.first + gap.length);
        double next = starts_near(gap_end);
        if (next < 0) {
            std::printf("  a gap of %.0f ms at %.3f s inside the song, which goes on after it (its samples did not "
                        "reach the sound card in time)\n",
                        (gap_end - gap_start) * 1000, gap_start);
            continue;
        }
        std::printf("  repeat %d: heard from %.3f s to %.3f s, the last %.0f ms of the song not heard; then %.0f ms of "
                    "silence\n",
                    ++repeat, start, gap_start, (length - (gap_start - start)) * 1000, (gap_end - gap_start) * 1000);
        start = next;
    }
}

int SessionCheck::run(const Signal& click)
{
    bool present[6] = {};
    for (const Song& song : options_.songs)
        present[song.number - 1] = true;
    soundings_ = radio_soundings(presses_, present);
    click_rate_ = click.rate;
    Session session = place_session(mono_, capture_.rate, click, presses_);
    clicks_ = session.clicks;
    const Placement& placement = session.placement;
    placed_ = placement.presses;
    std::size_t clicking = 0, volume = 0;
    for (const Press& press : presses_) {
        clicking += press.clicks ? 1 : 0;
        volume += press.button == Button::VolumeUp || press.button == Button::VolumeDown ? 1 : 0;
    }
    std::printf("%zu presses (%zu that click, %zu of volume), %zu clicks heard\n", presses_.size(), clicking, volume,
                clicks_.size());
    for (const std::string& fault : placement.faults)
        checks_.expect(false, "%s", fault.c_str());
    check_clicks();
    for (std::size_t i = 0; i < presses_.size(); ++i) {
        const Sounding& sounding = soundings_[i];
        if (sounding.song == 0) {
            check_silence(i);
            continue;
        }
        if (!sounding.started)
            continue;
        const Song* song = song_of(options_, sounding.song);
        double heard = check_start(i, *song);
        if (heard < 0)
            continue;
        // The volume presses that follow while the song plays.
        std::size_t last = i;
        bool changed = false;
        while (last + 1 < presses_.size() && soundings_[last + 1].song == sounding.song && !soundings_[last + 1].started) {
            ++last;
            changed = changed || soundings_[last].volume_changed;
        }
        if (changed)
            check_volume_steps(i, last, heard, *song);
        else
            check_repeats(i, heard, *song);
    }
    std::printf("%d passed, %d failed\n", checks_.count - checks_.failed, checks_.failed);
    return checks_.failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!read_options(argc, argv, options)) {
        std::fprintf(stderr, "usage: sound_check --capture RAW --rate R --channels C --format F --script FILE "
                             "--click CLICK.wav --song N:FILE[:HZ] ...\n");
        return 2;
    }
    std::string error, script;
    Signal capture, click;
    std::vector<Press> presses;
    if (!read_raw(options.capture, int(options.rate), int(options.channels), options.format, capture, error) ||
        !read_wave(options.click, click, error) ||
        (!read_text(options.script, script) && !(error = "cannot read " + options.script).empty()) ||
        !read_presses(script, presses, error)) {
        std::printf("FAIL: %s\n", error.c_str());
        return 1;
    }
    for (Song& song : options.songs)
        if (song.path.size() > 4 && song.path.compare(song.path.size() - 4, 4, ".wav") == 0) {
            song.read = read_wave(song.path, song.wave, error);
            if (!song.read) {
                std::printf("FAIL: %s\n", error.c_str());
                return 1;
            }
        }
    std::printf("captured %.3f s at %d Hz, %d channels\n", capture.seconds(capture.frames()), capture.rate,
                capture.channels);
    std::vector<float> mono = channel(capture, -1);
    SessionCheck check(options, capture, std::move(mono), presses);
    return check.run(click);
}
