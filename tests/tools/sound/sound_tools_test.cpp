// The sound tools: the measures of a capture (levels, steady stretches, a click found by its
// shape with its start missing, a tone's share, silences), the radio's presses named, played
// through the radio's rules and placed by their clicks, the MIDI song writer's file read back, and
// the sound sink's copy of a stream.
#include "tools/sound/radio_presses.h"
#include "tools/sound/sound_capture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

namespace {

using namespace sound;

std::vector<float> sine(double frequency, int rate, double seconds, double amplitude)
{
    std::vector<float> samples(static_cast<std::size_t>(seconds * rate));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(amplitude * std::sin(2 * std::numbers::pi * frequency * double(i) / rate));
    return samples;
}

// The radio's click as its resource holds it, read by the tools' own WAVE reader.
Signal radio_click()
{
    Signal click;
    std::string error;
    EXPECT_TRUE(read_wave(std::string(PANEL_SOURCE_DIR) + "/radio/resources/click.wav", click, error)) << error;
    return click;
}

std::vector<std::uint8_t> wave_bytes(int bits, std::uint32_t data_length, const std::vector<std::uint8_t>& data,
                                     std::uint16_t format_tag = 1)
{
    std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0};
    auto put16 = [&](unsigned v) { out.push_back(std::uint8_t(v)); out.push_back(std::uint8_t(v >> 8)); };
    auto put32 = [&](std::uint32_t v) { put16(v & 0xFFFF); put16(v >> 16); };
    put16(format_tag);
    put16(1);
    put32(8000);
    put32(8000 * std::uint32_t(bits / 8));
    put16(unsigned(bits / 8));
    put16(unsigned(bits));
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put32(data_length);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

TEST(SoundCapture, WaveFilesReadAsTheirSamples)
{
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::vector<float> samples;   // empty: refused
        const char* error;
    };
    const Case cases[] = {
        {"8-bit unsigned", wave_bytes(8, 3, {0, 128, 255}), {-1.0f, 0.0f, 127 / 128.0f}, ""},
        {"16-bit signed", wave_bytes(16, 4, {0x00, 0x80, 0xFF, 0x7F}), {-1.0f, 32767 / 32768.0f}, ""},
        {"a streamed file's data length of 0 runs to the end", wave_bytes(16, 0, {0x00, 0x40}), {0.5f}, ""},
        {"not PCM", wave_bytes(16, 2, {0, 0}, 3), {}, "not PCM"},
        {"24-bit", wave_bytes(24, 3, {0, 0, 0}), {}, "24-bit"},
        {"no RIFF", {'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}, {}, "not a RIFF WAVE file"},
    };
    for (const Case& c : cases) {
        Signal signal;
        std::string error;
        bool read = parse_wave(c.bytes, signal, error);
        EXPECT_EQ(read, !c.samples.empty()) << c.name << ": " << error;
        if (read)
            EXPECT_EQ(signal.samples, c.samples) << c.name;
        else
            EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": expected [" << c.error << "], got [" << error << "]";
    }
}

TEST(SoundCapture, LevelsInDecibelsOfFullScale)
{
    std::vector<float> tone = sine(1000, 48000, 1, 1.0);
    EXPECT_NEAR(rms_db(tone, 0, tone.size()), -3.01, 0.01);
    std::vector<float> quieter = sine(1000, 48000, 1, 0.1);
    EXPECT_NEAR(rms_db(quieter, 0, quieter.size()), -23.01, 0.01);
    EXPECT_TRUE(std::isinf(rms_db(std::vector<float>(100, 0.0f), 0, 100)));
    Signal stereo{48000, 2, {0.0f, 0.5f, -0.25f, 0.0f}};
    EXPECT_NEAR(peak_db(stereo, 0, 2), -6.02, 0.01);
    EXPECT_EQ(channel(stereo, 1), (std::vector<float>{0.5f, 0.0f}));
    EXPECT_EQ(channel(stereo, -1), (std::vector<float>{0.25f, -0.125f}));
}

// A converter's output keeps a tone's level and pitch, and a delay moves every sample.
TEST(SoundCapture, ResamplingKeepsATonesLevelAndPitch)
{
    std::vector<float> tone = sine(1000, 22050, 0.5, 0.5);
    std::vector<float> up = resample(tone, 22050, 48000);
    ASSERT_NEAR(double(up.size()), 0.5 * 48000, 2);
    EXPECT_NEAR(rms_db(up, 2400, up.size() - 2400), rms_db(tone, 1100, tone.size() - 1100), 0.05);
    EXPECT_GT(power_share_near(up, 2400, 21600, 48000, 1000, 30), 0.95);
    std::vector<float> later = resample(tone, 22050, 48000, 0.5);
    std::vector<float> reference = sine(1000, 48000, 0.5, 0.5);
    // half an output sample later: the sine's phase moves by half a sample's worth
    double expected = 0.5 * std::sin(2 * std::numbers::pi * 1000 * (1000 - 0.5) / 48000);
    EXPECT_NEAR(later[1000], expected, 0.002);
    EXPECT_NEAR(up[1000], reference[1000], 0.002);
}

TEST(SoundCapture, ATonesShareOfThePower)
{
    std::vector<float> a = sine(500, 48000, 0.5, 0.3);
    std::vector<float> b = sine(880, 48000, 0.5, 0.3);
    std::vector<float> both(a.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        both[i] = a[i] + b[i];
    EXPECT_GT(power_share_near(a, 0, a.size(), 48000, 500, 15), 0.95);
    EXPECT_LT(power_share_near(a, 0, a.size(), 48000, 880, 26), 0.01);
    EXPECT_NEAR(power_share_near(both, 0, both.size(), 48000, 880, 26), 0.5, 0.05);
}

// A staircase of levels, 10 ms windows: each step found with its level; a window between two
// steps belongs to neither, silence ends a stretch, and a stretch too short is no step.
TEST(SoundCapture, SteadyLevelsAreFoundStepByStep)
{
    std::vector<double> levels;
    auto hold = [&](double level, int windows) { levels.insert(levels.end(), std::size_t(windows), level); };
    hold(-20.0, 12);
    hold(-19.2, 1);    // a window across a step
    hold(-18.5, 10);
    hold(-18.0, 10);   // half a decibel
    hold(-100, 3);     // silence
    hold(-18.0, 3);    // too short
    hold(-100, 1);
    hold(-17.99, 8);
    std::vector<Plateau> found = plateaus(levels, 0, levels.size(), 0.25, 5, -60);
    ASSERT_EQ(found.size(), 4u);
    const double expected[] = {-20.0, -18.5, -18.0, -17.99};
    for (std::size_t i = 0; i < found.size(); ++i)
        EXPECT_NEAR(found[i].level_db, expected[i], 1e-9) << "step " << i;
    EXPECT_EQ(found[0].first, 0u);
    EXPECT_EQ(found[0].last, 11u);
    EXPECT_EQ(found[1].first, 13u);
}

// The radio's click in a signal at 48 kHz, as a sound card's converter makes it, at -5 dB and at
// a fraction of a sample: found at its place, its gain measured over what is heard; without its
// first 32 samples it is found all the same, and the missing part is said.
TEST(SoundCapture, TheClickIsFoundByItsShapeWithOrWithoutItsStart)
{
    Signal click = radio_click();
    ASSERT_EQ(click.rate, 22050);
    std::vector<float> samples = channel(click, 0);
    struct Case {
        const char* name;
        std::size_t dropped;      // of the click's own samples, not heard
        double delay;             // of a 48 kHz sample
        double background_hz;     // a tone under the click, 0 for silence
        double missing_ms;
    };
    const Case cases[] = {
        {"whole, over silence", 0, 0.0, 0, 0.0},
        {"whole, an eighth of a sample late", 0, 0.375, 0, 0.0},
        {"its first 32 samples missing", 32, 0.25, 0, 32 / 22.05},
        {"over a quiet tone (-43 dBFS)", 0, 0.0, 440, 0.0},
    };
    const double gain = std::pow(10.0, -5.0 / 20);
    for (const Case& c : cases) {
        std::vector<float> signal(48000, 0.0f);
        if (c.background_hz > 0)
            signal = sine(c.background_hz, 48000, 1.0, 0.01);
        std::vector<float> heard = samples;
        std::fill(heard.begin(), heard.begin() + long(c.dropped), 0.0f);
        std::vector<float> placed = resample(heard, 22050, 48000, c.delay);
        const std::size_t at = 20000;
        for (std::size_t i = 0; i < placed.size(); ++i)
            signal[at + i] += float(gain * placed[i]);
        if (c.dropped)   // a converter that starts late leaves nothing before its start
            std::fill(signal.begin() + long(at), signal.begin() + long(at + std::size_t(c.dropped * 48000 / 22050)), 0.0f);
        std::vector<Occurrence> found = find_sound(signal, 48000, samples, 22050, 40, 0.8);
        ASSERT_EQ(found.size(), 1u) << c.name;
        EXPECT_NEAR(found[0].start, double(at) + c.delay, 0.13) << c.name;
        EXPECT_GT(found[0].correlation, 0.9) << c.name;
        if (c.background_hz == 0) {
            EXPECT_NEAR(found[0].gain_db, -5.0, 0.1) << c.name;
            EXPECT_NEAR(found[0].missing_ms, c.missing_ms, 0.1) << c.name;
        }
    }
    // nothing in silence, nor in a tone alone
    EXPECT_TRUE(find_sound(std::vector<float>(48000, 0.0f), 48000, samples, 22050, 40, 0.8).empty());
    EXPECT_TRUE(find_sound(sine(2800, 48000, 1, 0.3), 48000, samples, 22050, 40, 0.8).empty());
}

TEST(SoundCapture, SilencesAndTheFirstSoundHeard)
{
    std::vector<float> signal(1000, 0.0f);
    signal[100] = 0.00005f;   // -86 dBFS: silence still
    signal[300] = 0.5f;
    signal[301] = -0.5f;
    signal[700] = 0.001f;     // -60 dBFS
    EXPECT_EQ(first_above(signal, 0, signal.size(), -80), 300u);
    EXPECT_EQ(first_above(signal, 302, signal.size(), -60), 700u);
    EXPECT_EQ(first_above(signal, 302, 600, -60), 600u);
    std::vector<Stretch> runs = silences(signal, 0, signal.size(), -80, 50);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].first, 0u);
    EXPECT_EQ(runs[0].length, 300u);
    EXPECT_EQ(runs[1].first, 302u);
    EXPECT_EQ(runs[1].length, 398u);
    EXPECT_EQ(runs[2].first, 701u);
}

TEST(RadioPresses, AScriptsClicksAreNamedAndTimed)
{
    std::vector<Press> presses;
    std::string error;
    ASSERT_TRUE(read_presses("# a comment\necho BEGIN\nclick 443 23\nwait 300\nclick 25 67\nframe 2\nclick 162 123\n"
                             "frame\nclick 180 123\nclick 200 123\nclick 364 123\nclick 20 20\n",
                             presses, error))
        << error;
    struct Expected {
        const char* name;
        bool clicks;
        double ms;
        int line;
    };
    const Expected expected[] = {
        {"power", true, 0, 3},        {"volume up", false, 300, 5},   {"preset 1", true, 410, 7},
        {"preset 1", true, 465, 9},   // the first preset's box reaches over the second's edge
        {"preset 2", true, 465, 10},  {"previous track", true, 465, 11}, {"CD door", false, 465, 12},
    };
    ASSERT_EQ(presses.size(), std::size(expected));
    for (std::size_t i = 0; i < presses.size(); ++i) {
        EXPECT_EQ(presses[i].name, expected[i].name) << "press " << i;
        EXPECT_EQ(presses[i].clicks, expected[i].clicks) << presses[i].name;
        EXPECT_EQ(presses[i].script_ms, expected[i].ms) << presses[i].name;
        EXPECT_EQ(presses[i].line, expected[i].line) << presses[i].name;
    }
    struct Refused {
        const char* script;
        const char* error;
    };
    const Refused refused[] = {
        {"click 100 30\n", "line 1 (click 100 30): no button of the radio is there"},
        {"click 443 23\nhold 25 67 3\n", "line 2 (hold 25 67 3): the sound's presses are click, wait and frame lines"},
        {"wait soon\n", "line 1 (wait soon): expected wait MS"},
        {"click 500 23\n", "line 1 (click 500 23): expected click X Y on the radio's face"},
        {"echo nothing\nwait 10\n", "the script presses no button"},
    };
    for (const Refused& r : refused) {
        EXPECT_FALSE(read_presses(r.script, presses, error)) << r.script;
        EXPECT_EQ(error.rfind(r.error, 0), 0u) << r.script << ": expected [" << r.error << "], got [" << error << "]";
    }
}

// The radio's rules, press by press: what plays (0: nothing), whether the press started it, and
// the music volume applied, from a fresh load with songs 1, 2 and 5 present.
TEST(RadioPresses, WhatTheRadioSoundsAfterEachPress)
{
    std::vector<Press> presses;
    std::string error;
    std::string script = "click 442 82\nclick 298 123\nclick 443 23\n";   // FM, preset 5, power
    for (int i = 0; i < 15; ++i)
        script += "click 25 67\n";                                         // 14 steps up, then one that does nothing
    script += "click 25 101\nclick 132 123\nclick 132 123\nclick 364 123\nclick 231 123\nclick 162 123\n"
              "click 442 59\nclick 25 101\nclick 442 105\nclick 443 23\n";
    ASSERT_TRUE(read_presses(script, presses, error)) << error;
    const bool present[6] = {true, true, false, false, true, false};
    std::vector<Sounding> soundings = radio_soundings(presses, present);
    struct Expected {
        int song;
        bool started;
        int volume;
        bool changed;
    };
    std::vector<Expected> expected = {{0, false, -2000, false}, {0, false, -2000, false}, {5, true, -2000, false}};
    for (int step = 1; step <= 14; ++step)
        expected.push_back({5, false, step == 14 ? 0 : -2000 + 150 * step, true});
    expected.insert(expected.end(), {
        {5, false, 0, false},       // at +100 stored, up does nothing
        {5, false, -50, true},      // down from +100: a half-decibel step
        {0, false, -50, false},     // pause
        {5, true, -50, false},      // resume: the song from its start
        {5, false, -50, false},     // next track in FM: nothing
        {0, false, -50, false},     // preset 3: no song
        {1, true, -50, false},      // preset 1
        {0, false, -50, false},     // CD: the music stops
        {0, false, -50, false},     // volume down in CD mode acts on the CD
        {1, true, -50, false},      // AM: the preset's song
        {0, false, -50, false},     // power off
    });
    ASSERT_EQ(soundings.size(), expected.size());
    for (std::size_t i = 0; i < soundings.size(); ++i) {
        EXPECT_EQ(soundings[i].song, expected[i].song) << "press " << i << ": " << presses[i].name;
        EXPECT_EQ(soundings[i].started, expected[i].started) << "press " << i << ": " << presses[i].name;
        EXPECT_EQ(soundings[i].music_volume, expected[i].volume) << "press " << i << ": " << presses[i].name;
        EXPECT_EQ(soundings[i].volume_changed, expected[i].changed) << "press " << i << ": " << presses[i].name;
    }
}

Occurrence click_at(double seconds)
{
    Occurrence click;
    click.start = seconds * 48000;
    return click;
}

// Presses placed by their clicks: a volume press by the script's time since the press before; a
// press before the first click backwards from it; a clicking press without its click, and a
// click of no press, are faults that say where. The power's click comes late (the press before it
// rendered a song), and the pause's click that is not there is not taken from the next press.
TEST(RadioPresses, PressesArePlacedByTheirClicks)
{
    std::vector<Press> presses;
    std::string error;
    ASSERT_TRUE(read_presses("click 25 67\nwait 200\nclick 442 82\nwait 300\nclick 25 67\nwait 500\n"
                             "click 443 23\nwait 400\nclick 132 123\nwait 400\nclick 162 123\n",
                             presses, error))
        << error;
    std::vector<Occurrence> clicks = {click_at(1.0), click_at(1.5), click_at(2.1), click_at(2.9)};
    Placement placement = place_presses(presses, clicks, 48000, 2000);
    const double expected[] = {0.8, 1.0, 1.3, 2.1, 2.5, 2.9};
    const int sounded[] = {-1, 0, -1, 2, -1, 3};
    for (std::size_t i = 0; i < presses.size(); ++i) {
        EXPECT_NEAR(placement.presses[i].seconds, expected[i], 1e-9) << presses[i].name;
        EXPECT_EQ(placement.presses[i].click, sounded[i]) << presses[i].name;
    }
    ASSERT_EQ(placement.faults.size(), 2u);
    EXPECT_EQ(placement.faults[0], "expected a click for pause (line 9) near 2.500 s, heard none");
    EXPECT_EQ(placement.faults[1],
              "expected no click at 1.500 s, heard one there (the nearest press: volume up (line 5) at 1.300 s)");
    // every click heard as it should be: each press at its own
    std::vector<Occurrence> all = {click_at(1.0), click_at(2.1), click_at(2.5), click_at(2.9)};
    placement = place_presses(presses, all, 48000, 2000);
    EXPECT_TRUE(placement.faults.empty()) << placement.faults.front();
    EXPECT_EQ(placement.presses[4].click, 2);
}

std::vector<std::uint8_t> read_bytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

int run(const std::string& command)
{
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The MIDI writer's file read back as a player reads it: its header, then each event after its
// delta time; the notes fill the length asked for, all of the note and instrument asked for.
TEST(MidiSong, TheFileReadsBackAsTheSongAskedFor)
{
    struct Case {
        const char* arguments;
        int note, program, seconds;
    };
    const Case cases[] = {{"", 81, 73, 2}, {" 60 19 600", 60, 19, 600}};
    for (const Case& c : cases) {
        std::string path = std::string(TEST_WORK_DIR) + "/song.mid";
        ASSERT_EQ(run(std::string(PANEL_OUT_DIR) + "/midi_song " + path + c.arguments), 0) << c.arguments;
        std::vector<std::uint8_t> b = read_bytes(path);
        ASSERT_GE(b.size(), 22u);
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "MThd");
        EXPECT_EQ((b[8] << 8 | b[9]), 0) << "format";
        EXPECT_EQ((b[10] << 8 | b[11]), 1) << "tracks";
        const int division = b[12] << 8 | b[13];
        EXPECT_EQ(std::string(b.begin() + 14, b.begin() + 18), "MTrk");
        const std::size_t length = std::size_t(b[18]) << 24 | std::size_t(b[19]) << 16 | std::size_t(b[20]) << 8 | b[21];
        ASSERT_EQ(b.size(), 22 + length) << c.arguments;
        long ticks = 0, sounding_from = -1, tempo = 0;
        int program = -1, notes = 0;
        bool ended = false;
        for (std::size_t at = 22; at < b.size() && !ended;) {
            long delta = 0;
            do
                delta = delta << 7 | (b[at] & 0x7F);
            while (b[at++] & 0x80);
            ticks += delta;
            std::uint8_t status = b[at++];
            if (status == 0xFF) {
                std::uint8_t type = b[at++];
                std::uint8_t size = b[at++];
                if (type == 0x51)
                    tempo = b[at] << 16 | b[at + 1] << 8 | b[at + 2];
                ended = type == 0x2F;
                at += size;
            } else if ((status & 0xF0) == 0xC0) {
                program = b[at++];
            } else if ((status & 0xF0) == 0x90) {
                EXPECT_EQ(b[at], c.note);
                EXPECT_EQ(sounding_from, -1) << "a note starts while one sounds";
                sounding_from = ticks;
                ++notes;
                at += 2;
            } else if ((status & 0xF0) == 0x80) {
                EXPECT_EQ(b[at], c.note);
                sounding_from = -1;
                at += 2;
            } else {
                FAIL() << "an event of status " << int(status) << " at byte " << at;
            }
        }
        EXPECT_TRUE(ended) << c.arguments;
        EXPECT_EQ(program, c.program);
        EXPECT_GT(notes, c.seconds);
        EXPECT_NEAR(double(ticks) * double(tempo) / division / 1e6, c.seconds, 1e-9) << c.arguments;
    }
    EXPECT_EQ(run(std::string(PANEL_OUT_DIR) + "/midi_song " + TEST_WORK_DIR + "/x.mid 128 2>/dev/null"), 2);
    EXPECT_EQ(run(std::string(PANEL_OUT_DIR) + "/midi_song 2>/dev/null"), 2);
}

// The sink copies the stream whole, and takes it no faster than its rate: 4000 bytes of 8-bit
// mono at 8000 a second are half a second of stream.
TEST(SoundSink, TheStreamIsCopiedAtItsRate)
{
    std::string in = std::string(TEST_WORK_DIR) + "/stream.in";
    std::string out = std::string(TEST_WORK_DIR) + "/stream.out";
    std::vector<std::uint8_t> bytes(4000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(i * 7);
    std::ofstream(in, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    auto from = std::chrono::steady_clock::now();
    ASSERT_EQ(run("timeout -k 5 30 " + std::string(PANEL_OUT_DIR) + "/sound_sink " + out + " 8000 1 U8 <" + in), 0);
    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
    EXPECT_EQ(read_bytes(out), bytes);
    EXPECT_GE(took, 0.49) << "the sink took the stream faster than its rate";
    EXPECT_EQ(run(std::string(PANEL_OUT_DIR) + "/sound_sink " + out + " 8000 1 S12_LE <" + in + " 2>/dev/null"), 2);
}

}  // namespace
