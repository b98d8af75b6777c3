// What the radio's end-to-end tests share: the radio run under panelhost in a folder of song
// files, the clicks on its buttons, and the device lines that the traces are compared on.
#pragma once

#include "tests/support/panelhost_runner.h"
#include "tests/support/trace_lines.h"

#include <map>
#include <string>
#include <vector>

namespace radio_bench {

using Lines = std::vector<std::string>;

// A click in the middle of each button's hot spot, as a script line.
extern const char* const POWER;
extern const char* const DOOR;
extern const char* const MODE_CD;
extern const char* const MODE_FM;
extern const char* const MODE_AM;
extern const char* const PRESET[7];   // PRESET[1] to PRESET[6]
extern const char* const PREV_TRACK;
extern const char* const NEXT_TRACK;
extern const char* const PAUSE;
// The volume buttons' hot spots, for "hold X Y N" and "tooltip X Y".
extern const char* const VOLUME_DOWN_AT;
extern const char* const VOLUME_UP_AT;
extern const char* const POWER_AT;
extern const char* const PAUSE_AT;

// A folder with a Sound folder holding the named files ("song1.wav", ...): wave files are valid
// RIFF WAVE images of one second, every other file is empty.
std::string song_folder(const Lines& files);

// panelhost with --cwd FOLDER, the options, and the radio's gauge.
test_support::RunResult run_radio(const std::string& folder, const Lines& options, const std::string& script);

// The lines of the CD drive, the mixer, the media graph, the sound device and the message boxes.
Lines device_lines(const Lines& trace);
// The device lines between "echo BEGIN" and "echo END".
Lines device_lines_between(const Lines& trace, const std::string& begin, const std::string& end);
// Every line between "echo BEGIN" and "echo END".
Lines lines_between(const Lines& trace, const std::string& begin, const std::string& end);

// The last line that begins with the prefix, or "(none)".
std::string last_line_with_prefix(const Lines& trace, const std::string& prefix);

// What "elements" printed last: by index, the hidden bit, the value and a string's text.
struct ElementLine {
    int hidden = -1;
    std::string value;
    std::string text;
};
std::map<int, ElementLine> last_elements(const Lines& trace);

// The hidden bits of elements 0 to 7, as "01111101".
std::string hidden_bits(const std::map<int, ElementLine>& elements);
constexpr const char* DARK = "01111101";       // only the background and the needle
constexpr const char* LIT = "00000001";        // the displays, without the track digits
constexpr const char* LIT_TRACK = "00000000";  // and the digits

// The device lines of the radio's own operations.
Lines click();
Lines cd_stop();
// The four commands by which every play reopens the drive, then the play.
Lines cd_reopen();
Lines cd_start(unsigned track, unsigned code = 0);
// Track 0: the play of the disc's last track, asked of the drive.
Lines cd_start_last(unsigned tracks);
Lines cd_start_failing(unsigned track, unsigned code, unsigned fallback_code);
Lines song_start(const std::string& file, int volume = -2000);
Lines music_stop();
Lines song_missing(int song);
Lines cd_missing();

// The concatenation of the pieces, in order.
using test_support::join;

}  // namespace radio_bench
