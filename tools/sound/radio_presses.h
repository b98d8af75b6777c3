// The presses of a bench script on the radio's face, named by the button they reach, with what
// the radio should then sound (the song playing, or silence, and the music's volume), and where
// each press lies in a capture of the sound card.
#pragma once

#include "tools/sound/sound_capture.h"

#include <string>
#include <string_view>
#include <vector>

namespace sound {

enum class Button { Power, Door, ModeCd, ModeFm, ModeAm, Preset, VolumeUp, VolumeDown, PreviousTrack, NextTrack, Pause };

struct Press {
    int line = 0;            // of the script
    Button button = Button::Power;
    int preset = 0;          // 1..6 for a preset button
    std::string name;        // "power", "FM", "preset 3", "volume up" ...
    bool clicks = false;     // the radio sounds its click for it
    double script_ms = 0;    // when the script presses it: the waits and frames before it
};

// The presses of a script's `click X Y` lines, timed by its `wait MS` and `frame [N]` lines (55
// ms a frame); `echo` lines are passed over. A line of any other command, a click outside every
// button, or a script without a press is refused with its line and why.
bool read_presses(std::string_view script, std::vector<Press>& presses, std::string& error);

// What the radio sounds after a press, in its FM and AM modes (the CD is not the sound card's).
struct Sounding {
    int song = 0;             // 1..6, or 0 for silence
    bool started = false;     // this press started the song from its beginning
    int music_volume = 0;     // what the player applies, in hundredths of a dB (-10000..0)
    bool volume_changed = false;
};
// The radio's state after each press, from a fresh load (off, CD mode, preset 1, music volume
// -2000), with the songs present as given (present[N - 1] for song N).
std::vector<Sounding> radio_soundings(const std::vector<Press>& presses, const bool (&present)[6]);

// Where each press lies in a capture, in seconds: a clicking press at the start of the click it
// sounded (clicks[i] the index of that click in `clicks`, or -1), any other press by the script's
// time since the press before it.
struct Placed {
    double seconds = 0;
    int click = -1;
};
struct Placement {
    std::vector<Placed> presses;
    std::vector<std::string> faults;   // a clicking press without its click, a click of no press
};
// The clicks are matched to the clicking presses in order: each press takes the first click
// heard from SCRIPT_EARLY_MS before the script's time since the press before it (or anywhere,
// for the first) up to `late_ms` after it.
Placement place_presses(const std::vector<Press>& presses, const std::vector<Occurrence>& clicks, int rate,
                        double late_ms);

// The radio's clicks found in a capture (one channel of it, at `rate`) by the click's own
// samples, and the presses placed by them.
struct Session {
    std::vector<Occurrence> clicks;
    Placement placement;
};
Session place_session(const std::vector<float>& capture, int rate, const Signal& click,
                      const std::vector<Press>& presses);

}  // namespace sound
