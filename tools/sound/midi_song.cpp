// Writes a short standard MIDI file (format 0, one track) for the radio's songs: one instrument
// playing one note in a rhythm, so that what a synthesiser makes of it is a known pitch.
//     midi_song OUT.mid [NOTE [PROGRAM [SECONDS]]]
// NOTE is the MIDI note number (81, A5: 880 Hz), PROGRAM the General MIDI instrument less one
// (73, the flute, whose tone is close to its fundamental), SECONDS the length (2). The same
// bytes on every run.
#include "base/bytes.h"
#include "base/text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <vector>

namespace {

constexpr std::uint32_t TICKS_PER_QUARTER = 480;
// 500 000 microseconds a quarter note (120 beats a minute): 960 ticks a second.
constexpr std::uint32_t MICROSECONDS_PER_QUARTER = 500000;
constexpr std::uint32_t TICKS_PER_SECOND = TICKS_PER_QUARTER * 1000000 / MICROSECONDS_PER_QUARTER;
constexpr std::uint8_t CHANNEL = 0;
constexpr std::uint8_t VELOCITY = 100;

void put_be32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void put_be16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

// A delta time as the file writes one: seven bits a byte, the most significant first, every
// byte but the last with its top bit set.
void put_variable(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    std::uint8_t bytes[5];
    int count = 0;
    do {
        bytes[count++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1)
        out.push_back(static_cast<std::uint8_t>(bytes[--count] | 0x80));
    out.push_back(bytes[0]);
}

void put_event(std::vector<std::uint8_t>& track, std::uint32_t delta, std::initializer_list<std::uint8_t> bytes)
{
    put_variable(track, delta);
    track.insert(track.end(), bytes);
}

// The track: tempo, instrument, then the note in a rhythm of a long and two short beats that
// fills the length, each sounding for most of its beat, then the end of the track.
std::vector<std::uint8_t> track_events(std::uint8_t note, std::uint8_t program, std::uint32_t seconds)
{
    std::vector<std::uint8_t> track;
    put_event(track, 0, {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(MICROSECONDS_PER_QUARTER >> 16),
                         static_cast<std::uint8_t>(MICROSECONDS_PER_QUARTER >> 8),
                         static_cast<std::uint8_t>(MICROSECONDS_PER_QUARTER)});
    put_event(track, 0, {static_cast<std::uint8_t>(0xC0 | CHANNEL), program});
    static const std::uint32_t BEATS[] = {TICKS_PER_QUARTER * 2, TICKS_PER_QUARTER, TICKS_PER_QUARTER};
    std::uint32_t total = seconds * TICKS_PER_SECOND;
    std::uint32_t rest = 0;   // ticks since the last event
    for (std::uint32_t at = 0, beat = 0; at < total; ++beat) {
        std::uint32_t length = std::min(BEATS[beat % 3], total - at);
        std::uint32_t sounding = length * 7 / 8;
        put_event(track, rest, {static_cast<std::uint8_t>(0x90 | CHANNEL), note, VELOCITY});
        put_event(track, sounding, {static_cast<std::uint8_t>(0x80 | CHANNEL), note, 0});
        rest = length - sounding;
        at += length;
    }
    put_event(track, rest, {0xFF, 0x2F, 0x00});
    return track;
}

std::vector<std::uint8_t> midi_file(std::uint8_t note, std::uint8_t program, std::uint32_t seconds)
{
    std::vector<std::uint8_t> track = track_events(note, program, seconds);
    std::vector<std::uint8_t> out = {'M', 'T', 'h', 'd'};
    put_be32(out, 6);
    put_be16(out, 0);   // format 0: one track
    put_be16(out, 1);   // tracks
    put_be16(out, TICKS_PER_QUARTER);
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    put_be32(out, static_cast<std::uint32_t>(track.size()));
    out.insert(out.end(), track.begin(), track.end());
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    long long note = 81;
    long long program = 73;
    long long seconds = 2;
    if (argc < 2 || argc > 5 || (argc > 2 && !base::read_whole_number(argv[2], 0, 127, note)) ||
        (argc > 3 && !base::read_whole_number(argv[3], 0, 127, program)) ||
        (argc > 4 && !base::read_whole_number(argv[4], 1, 600, seconds))) {
        std::fprintf(stderr, "usage: midi_song OUT.mid [NOTE 0..127 [PROGRAM 0..127 [SECONDS 1..600]]]\n");
        return 2;
    }
    std::vector<std::uint8_t> bytes = midi_file(static_cast<std::uint8_t>(note), static_cast<std::uint8_t>(program),
                                                static_cast<std::uint32_t>(seconds));
    if (!base::write_file(argv[1], bytes)) {
        std::fprintf(stderr, "midi_song: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
