// The presses of a bench script on the radio's face, what the radio then sounds, and where each
// press lies in a capture.
#include "tools/sound/radio_presses.h"

#include "panelhost/base/limits.h"
#include "panelhost/base/text.h"
#include "radio/gauge/radio_layout.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace sound {

namespace {

namespace layout = radio_layout;

// The buttons in the order the radio's mouse table tries them (a preset's box overlaps the next
// one's, and the first in the table takes the click), each with whether it clicks.
struct ButtonRow {
    layout::Box box;
    Button button;
    int preset;
    const char* name;
    bool clicks;
};
// clang-format off
constexpr ButtonRow BUTTONS[] = {
    // box                          button                  preset name              clicks
    {layout::POWER_BUTTON,          Button::Power,          0,     "power",          true},
    {layout::DOOR_BUTTON,           Button::Door,           0,     "CD door",        false},
    {layout::MODE_BUTTONS[0],       Button::ModeCd,         0,     "CD",             true},
    {layout::MODE_BUTTONS[1],       Button::ModeFm,         0,     "FM",             true},
    {layout::MODE_BUTTONS[2],       Button::ModeAm,         0,     "AM",             true},
    {layout::PRESET_BUTTONS[0],     Button::Preset,         1,     "preset 1",       true},
    {layout::PRESET_BUTTONS[1],     Button::Preset,         2,     "preset 2",       true},
    {layout::PRESET_BUTTONS[2],     Button::Preset,         3,     "preset 3",       true},
    {layout::PRESET_BUTTONS[3],     Button::Preset,         4,     "preset 4",       true},
    {layout::PRESET_BUTTONS[4],     Button::Preset,         5,     "preset 5",       true},
    {layout::PRESET_BUTTONS[5],     Button::Preset,         6,     "preset 6",       true},
    {layout::VOLUME_UP,             Button::VolumeUp,       0,     "volume up",      false},
    {layout::VOLUME_DOWN,           Button::VolumeDown,     0,     "volume down",    false},
    {layout::PREVIOUS_TRACK,        Button::PreviousTrack,  0,     "previous track", true},
    {layout::NEXT_TRACK,            Button::NextTrack,      0,     "next track",     true},
    {layout::PAUSE_BUTTON,          Button::Pause,          0,     "pause",          true},
};
// clang-format on

const ButtonRow* button_at(long long x, long long y)
{
    for (const ButtonRow& row : BUTTONS)
        if (x >= row.box.x && x < row.box.right() && y >= row.box.y && y < row.box.bottom())
            return &row;
    return nullptr;
}

// A click may be heard a little before the script's time since the press before it: that press's
// own click may have come late.
constexpr double SCRIPT_EARLY_MS = 50;

// The click is looked for by its samples from the 40th on (of 127): under Wine its first 32 are
// not heard, and a click is found all the same. A fit of 0.8 finds it over music too; over
// silence it fits by 0.99 and more.
constexpr std::size_t CLICK_SKIP = 40;
constexpr double CLICK_FIT = 0.8;
// A press may come this late after the script's time: the presses before it render songs.
constexpr double PRESS_LATE_MS = 2000;

constexpr int VOLUME_STEP = 150;
constexpr int VOLUME_MIN = -10000;
constexpr int VOLUME_MAX = 0;

}  // namespace

bool read_presses(std::string_view script, std::vector<Press>& presses, std::string& error)
{
    presses.clear();
    std::istringstream lines{std::string(script)};
    std::string line;
    double at_ms = 0;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::string_view text = base::trim(line);
        if (text.empty() || text.front() == '#' || text.rfind("echo", 0) == 0)
            continue;
        std::istringstream words{std::string(text)};
        std::string command, first, second, extra;
        words >> command >> first >> second >> extra;
        long long a = 0, b = 0;
        auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(number) + " (" + std::string(text) + "): " + why;
            return false;
        };
        if (command == "wait") {
            if (!base::read_whole_number(first, 0, panelhost::WAIT_LIMIT_MS, a) || !second.empty())
                return fail("expected wait MS");
            at_ms += double(a);
        } else if (command == "frame") {
            if (!first.empty() && !base::read_whole_number(first, 0, panelhost::COUNT_LIMIT, a))
                return fail("expected frame [N]");
            at_ms += double(first.empty() ? 1 : a) * double(panelhost::FRAME_MS);
        } else if (command == "click") {
            if (!base::read_whole_number(first, 0, layout::FRONT_WIDTH - 1, a) ||
                !base::read_whole_number(second, 0, layout::FRONT_HEIGHT - 1, b) || !extra.empty())
                return fail("expected click X Y on the radio's face");
            const ButtonRow* row = button_at(a, b);
            if (!row)
                return fail("no button of the radio is there");
            presses.push_back({number, row->button, row->preset, row->name, row->clicks, at_ms});
        } else {
            return fail("the sound's presses are click, wait and frame lines (and echo)");
        }
    }
    if (presses.empty()) {
        error = "the script presses no button";
        return false;
    }
    return true;
}

std::vector<Sounding> radio_soundings(const std::vector<Press>& presses, const bool (&present)[6])
{
    enum class Mode { Cd, Fm, Am };
    bool power = false;
    bool paused = false;
    Mode mode = Mode::Cd;
    int preset = 1;
    int volume = -2000;   // the stored value, which may stand one step beyond the range
    int song = 0;
    std::vector<Sounding> soundings;
    for (const Press& press : presses) {
        bool started = false;
        int applied_before = std::clamp(volume, VOLUME_MIN, VOLUME_MAX);
        auto start_song = [&] {
            song = present[preset - 1] ? preset : 0;
            started = song != 0;
        };
        switch (press.button) {
        case Button::Power:
            power = !power;
            song = 0;
            if (power && mode != Mode::Cd)
                start_song();
            paused = false;
            break;
        case Button::ModeCd:
            mode = Mode::Cd;
            song = 0;
            paused = false;
            break;
        case Button::ModeFm:
        case Button::ModeAm:
            mode = press.button == Button::ModeFm ? Mode::Fm : Mode::Am;
            song = 0;
            paused = false;
            if (power)
                start_song();
            break;
        case Button::Preset:
            preset = press.preset;
            paused = false;
            song = 0;
            if (power && mode != Mode::Cd)
                start_song();
            break;
        case Button::VolumeUp:
            if (mode != Mode::Cd && volume < VOLUME_MAX)
                volume += VOLUME_STEP;
            break;
        case Button::VolumeDown:
            if (mode != Mode::Cd && volume > VOLUME_MIN)
                volume -= VOLUME_STEP;
            break;
        case Button::Pause:
            if (!power) {
                paused = false;
            } else if (paused) {
                paused = false;
                if (mode != Mode::Cd)
                    start_song();
            } else {
                song = 0;
                paused = true;
            }
            break;
        case Button::Door:
        case Button::PreviousTrack:
        case Button::NextTrack:
            if (mode != Mode::Cd)
                paused = false;
            break;
        }
        int applied = std::clamp(volume, VOLUME_MIN, VOLUME_MAX);
        soundings.push_back({song, started, applied, applied != applied_before});
    }
    return soundings;
}

Placement place_presses(const std::vector<Press>& presses, const std::vector<Occurrence>& clicks, int rate,
                        double late_ms)
{
    Placement placement;
    placement.presses.resize(presses.size());
    std::vector<bool> used(clicks.size(), false);
    auto seconds_of = [&](const Occurrence& click) { return click.start / rate; };
    std::size_t next_click = 0;
    bool anchored = false;
    double previous_seconds = 0;
    double previous_ms = 0;
    for (std::size_t i = 0; i < presses.size(); ++i) {
        const Press& press = presses[i];
        double expected = previous_seconds + (press.script_ms - previous_ms) / 1000;
        Placed& placed = placement.presses[i];
        placed.seconds = expected;
        if (press.clicks) {
            for (std::size_t c = next_click; c < clicks.size(); ++c) {
                double at = seconds_of(clicks[c]);
                if (anchored && at > expected + late_ms / 1000)
                    break;
                if (!anchored || at >= expected - SCRIPT_EARLY_MS / 1000) {
                    placed = {at, int(c)};
                    used[c] = true;
                    next_click = c + 1;
                    break;
                }
            }
            if (placed.click < 0) {
                char text[200];
                std::snprintf(text, sizeof text, "expected a click for %s (line %d) near %.3f s, heard none",
                              press.name.c_str(), press.line, expected);
                placement.faults.push_back(text);
            } else if (!anchored) {
                // The presses before the first click lie by the script's times before it.
                for (std::size_t j = 0; j < i; ++j)
                    placement.presses[j].seconds = placed.seconds - (press.script_ms - presses[j].script_ms) / 1000;
                anchored = true;
            }
        }
        previous_seconds = placed.seconds;
        previous_ms = press.script_ms;
    }
    for (std::size_t c = 0; c < clicks.size(); ++c) {
        if (used[c])
            continue;
        double at = seconds_of(clicks[c]);
        std::string nearest = "no press";
        double distance = 1e300;
        for (std::size_t i = 0; i < presses.size(); ++i) {
            double d = std::abs(placement.presses[i].seconds - at);
            if (d < distance) {
                distance = d;
                char text[160];
                std::snprintf(text, sizeof text, "%s (line %d) at %.3f s", presses[i].name.c_str(), presses[i].line,
                              placement.presses[i].seconds);
                nearest = text;
            }
        }
        char text[300];
        std::snprintf(text, sizeof text, "expected no click at %.3f s, heard one there (the nearest press: %s)", at,
                      nearest.c_str());
        placement.faults.push_back(text);
    }
    return placement;
}

Session place_session(const std::vector<float>& capture, int rate, const Signal& click,
                      const std::vector<Press>& presses)
{
    Session session;
    session.clicks = find_sound(capture, rate, channel(click, 0), click.rate, CLICK_SKIP, CLICK_FIT);
    session.placement = place_presses(presses, session.clicks, rate, PRESS_LATE_MS);
    return session;
}

}  // namespace sound
