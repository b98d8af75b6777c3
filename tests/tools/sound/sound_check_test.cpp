// The sound tests' judge, sound_check, on captures made here as the radio's session would sound
// at a sound card: the faithful one passes, and each fault planted in a copy (a click missing, one
// too many, the music too loud, a step not taken, sound after pause, a song not heard, another
// song's tone) fails with what was expected and what was heard.
#include "tools/sound/radio_presses.h"
#include "tools/sound/sound_capture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <numbers>
#include <string>
#include <vector>

namespace {

using namespace sound;

constexpr int RATE = 48000;
// A folder for each test: ctest runs the tests of this program side by side, each in a process
// of its own, and two that wrote one capture would read each other's bytes.
std::string work()
{
    return std::string(TEST_WORK_DIR) + "/check-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// The session: off, FM and preset 5 click; power on plays song 5 (a WAV tone), two volume steps;
// pause; preset 1 (a tone of 500 Hz, as the WMA song is); preset 3, a WAV song of 0.5 s that
// repeats; power off.
const char* const SCRIPT = "click 442 82\nwait 300\nclick 298 123\nwait 300\nclick 443 23\nwait 700\n"
                           "click 25 67\nwait 300\nclick 25 67\nwait 300\nclick 132 123\nwait 400\n"
                           "click 162 123\nwait 800\nclick 231 123\nwait 2200\nclick 443 23\nwait 400\n";

struct Plant {
    std::string skip_click;          // the press whose click is not heard
    double extra_click_s = -1;       // a click of no press, at this time
    double music_offset_db = 0;      // every song this much louder
    int stuck_step = 0;              // the volume press (1, 2) that changes nothing
    double after_pause_db = -200;    // a tone this loud after the pause
    int silent_song = 0;             // a song that is never heard
    double song1_tone = 500;         // what song 1 sounds as
};

std::vector<float> tone(double frequency, double seconds, double amplitude)
{
    std::vector<float> samples(static_cast<std::size_t>(seconds * RATE));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(amplitude * std::sin(2 * std::numbers::pi * frequency * double(i) / RATE));
    return samples;
}

void write_wave(const std::string& path, const std::vector<float>& samples)
{
    std::vector<char> out(44 + samples.size() * 2);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&out[at], &v, 4); };
    auto put16 = [&](std::size_t at, std::uint16_t v) { std::memcpy(&out[at], &v, 2); };
    std::memcpy(&out[0], "RIFF", 4);
    put32(4, std::uint32_t(out.size() - 8));
    std::memcpy(&out[8], "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1);
    put16(22, 1);
    put32(24, RATE);
    put32(28, RATE * 2);
    put16(32, 2);
    put16(34, 16);
    std::memcpy(&out[36], "data", 4);
    put32(40, std::uint32_t(samples.size() * 2));
    for (std::size_t i = 0; i < samples.size(); ++i)
        put16(44 + 2 * i, std::uint16_t(std::int16_t(std::lround(samples[i] * 32767))));
    std::ofstream(path, std::ios::binary).write(out.data(), long(out.size()));
}

// The capture as the session sounds with the plants: each clicking press's click (without its
// first 32 samples, at -5 dB), each song from 0.3 s after its press at the music volume, over
// stereo silence.
std::string make_capture(const Plant& plant, const std::map<int, std::vector<float>>& waves)
{
    std::vector<Press> presses;
    std::string error;
    EXPECT_TRUE(read_presses(SCRIPT, presses, error)) << error;
    const bool present[6] = {true, false, true, false, true, false};
    std::vector<Sounding> soundings = radio_soundings(presses, present);
    Signal click;
    EXPECT_TRUE(read_wave(std::string(PANEL_SOURCE_DIR) + "/radio/resources/click.wav", click, error)) << error;
    // as Wine's sound device converts it: nothing before the click's 33rd sample
    std::vector<float> click48 = resample(channel(click, 0), click.rate, RATE);
    std::fill(click48.begin(), click48.begin() + 32 * RATE / click.rate, 0.0f);
    const double lead = 1.0;
    std::vector<float> mono(static_cast<std::size_t>((lead + presses.back().script_ms / 1000 + 0.5) * RATE), 0.0f);
    auto add = [&](const std::vector<float>& samples, double at, std::size_t count, double gain) {
        std::size_t from = static_cast<std::size_t>(at * RATE);
        for (std::size_t i = 0; i < count && from + i < mono.size(); ++i)
            mono[from + i] += float(gain * samples[i % samples.size()]);
    };
    int volume_presses = 0;
    int applied = -2000;
    double song_start = 0;
    for (std::size_t i = 0; i < presses.size(); ++i) {
        double at = lead + presses[i].script_ms / 1000;
        double next = i + 1 < presses.size() ? lead + presses[i + 1].script_ms / 1000 : mono.size() / double(RATE);
        if (presses[i].clicks && presses[i].name != plant.skip_click)
            add(click48, at, click48.size(), std::pow(10.0, -5.0 / 20));
        if (presses[i].button == Button::VolumeUp && ++volume_presses != plant.stuck_step)
            applied = soundings[i].music_volume;
        int song = soundings[i].song;
        if (song == 0 || song == plant.silent_song)
            continue;
        if (soundings[i].started)
            song_start = at + 0.3;
        double start = std::max(at, song_start);
        double gain = std::pow(10.0, (applied / 100.0 + plant.music_offset_db) / 20);
        std::vector<float> samples = waves.count(song) ? waves.at(song) : tone(plant.song1_tone, 1.0, 0.1);
        // a song that started at an earlier press goes on where it was
        std::size_t offset = static_cast<std::size_t>((start - song_start) * RATE);
        std::vector<float> rotated(samples.begin() + long(offset % samples.size()), samples.end());
        rotated.insert(rotated.end(), samples.begin(), samples.begin() + long(offset % samples.size()));
        add(rotated, start, static_cast<std::size_t>((next - start) * RATE), gain);
    }
    if (plant.after_pause_db > -200)
        add(tone(300, 0.1, std::pow(10.0, plant.after_pause_db / 20)), lead + 2.0 + 0.2, RATE / 10, 1.0);
    if (plant.extra_click_s >= 0)
        add(click48, plant.extra_click_s, click48.size(), std::pow(10.0, -5.0 / 20));
    std::string path = work() + "/capture.raw";
    std::vector<float> stereo;
    for (float sample : mono) {
        stereo.push_back(sample);
        stereo.push_back(sample);
    }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(stereo.data()), long(stereo.size() * 4));
    return path;
}

struct Outcome {
    int status = 0;
    std::string output;
};

Outcome check(const Plant& plant)
{
    std::filesystem::create_directories(work());
    std::map<int, std::vector<float>> waves = {{3, tone(700, 0.5, 0.3)}, {5, tone(1000, 3.0, 0.25)}};
    write_wave(work() + "/song3.wav", waves[3]);
    write_wave(work() + "/song5.wav", waves[5]);
    std::ofstream(work() + "/session.script") << SCRIPT;
    std::string capture = make_capture(plant, waves);
    std::string command = std::string(PANEL_OUT_DIR) + "/sound_check --capture " + capture +
                          " --rate 48000 --channels 2 --format FLOAT_LE --script " + work() + "/session.script" +
                          " --click " + PANEL_SOURCE_DIR + "/radio/resources/click.wav --song 1:" + work() +
                          "/song1.wma:500 --song 3:" + work() + "/song3.wav --song 5:" + work() + "/song5.wav:1000";
    Outcome run;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe))
        run.output += buffer;
    int status = pipe ? pclose(pipe) : -1;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(SoundCheck, ASessionThatSoundsAsItShouldPasses)
{
    Outcome run = check(Plant{});
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("0 failed"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("(32 of its samples missing)"), std::string::npos) << run.output;
}

TEST(SoundCheck, EachFaultIsSaidWithWhatWasExpectedAndWhatWasHeard)
{
    struct Case {
        const char* name;
        std::function<void(Plant&)> plant;
        const char* expected;
    };
    const Case cases[] = {
        {"a click not heard", [](Plant& p) { p.skip_click = "pause"; },
         "FAIL: expected a click for pause (line 11) near"},
        {"a click of no press", [](Plant& p) { p.extra_click_s = 2.62; },
         "FAIL: expected no click at 2.620 s, heard one there (the nearest press: volume up (line 9) at 2.600 s)"},
        {"the music 1 dB too loud", [](Plant& p) { p.music_offset_db = 1; },
         "FAIL: expected song5.wav at -20.00 dB (within 0.5) of its file at the start volume, heard -19.00 dB"},
        {"a volume step not taken", [](Plant& p) { p.stuck_step = 2; },
         "FAIL: expected 3 steady levels of song5.wav (its start and 2 volume changes), heard 2"},
        {"sound after pause", [](Plant& p) { p.after_pause_db = -60; },
         "FAIL: expected silence (every sample below -80 dBFS) from 0.1 s after pause (line 11)"},
        {"a song not heard", [](Plant& p) { p.silent_song = 1; },
         "FAIL: expected song1.wma to be heard after preset 1 (line 13)"},
        {"another song's tone", [](Plant& p) { p.song1_tone = 750; },
         "FAIL: expected song1.wma (its tone 500 Hz) after preset 1 (line 13), heard 0 % of the power at 500 Hz"},
    };
    for (const Case& c : cases) {
        Plant plant;
        c.plant(plant);
        Outcome run = check(plant);
        EXPECT_EQ(run.status, 1) << c.name << "\n" << run.output;
        EXPECT_NE(run.output.find(c.expected), std::string::npos)
            << c.name << ": expected the line [" << c.expected << "] in:\n" << run.output;
    }
}

}  // namespace
