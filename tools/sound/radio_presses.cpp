// The presses of a bench script on the radio's face, what the radio then sounds, and where each
// press lies in a capture.
#include "tools/sound/radio_presses.h"

#include "panelhost/base/limits.h"
#include "base/text.h"
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
// A press may come this late after the script's time: the press before it may have rendered a
// song, which took 2 s on a machine busy with a build and two Wine sessions.
constexpr double PRESS_LATE_MS = 5000;

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

namespace {

// The radio as a listener follows it, press by press, as the gauge's handlers change it: power,
// source, preset, pause, the music's volume, and the song it plays (0: none).
class HeardRadio {
public:
    explicit HeardRadio(const bool (&present)[6]) : present_(present) {}

    Sounding press(const Press& press)
    {
        started_ = false;
        int applied_before = applied_volume();
        switch (press.button) {
        case Button::Power: power(); break;
        case Button::ModeCd: cd(); break;
        case Button::ModeFm: band(Mode::Fm); break;
        case Button::ModeAm: band(Mode::Am); break;
        case Button::Preset: choose_preset(press.preset); break;
        case Button::VolumeUp: step_volume(VOLUME_STEP); break;
        case Button::VolumeDown: step_volume(-VOLUME_STEP); break;
        case Button::Pause: pause(); break;
        case Button::Door:
        case Button::PreviousTrack:
        case Button::NextTrack: cd_control(); break;
        }
        return {song_, started_, applied_volume(), applied_volume() != applied_before};
    }

private:
    enum class Mode { Cd, Fm, Am };

    int applied_volume() const { return std::clamp(volume_, VOLUME_MIN, VOLUME_MAX); }

    // The preset's song, if its file is there.
    void start_song()
    {
        song_ = present_[preset_ - 1] ? preset_ : 0;
        started_ = song_ != 0;
    }

    void power()
    {
        power_ = !power_;
        song_ = 0;
        if (power_ && mode_ != Mode::Cd)
            start_song();
        paused_ = false;
    }

    void cd()
    {
        mode_ = Mode::Cd;
        song_ = 0;
        paused_ = false;
    }

    void band(Mode mode)
    {
        mode_ = mode;
        song_ = 0;
        paused_ = false;
        if (power_)
            start_song();
    }

    void choose_preset(int preset)
    {
        preset_ = preset;
        paused_ = false;
        song_ = 0;
        if (power_ && mode_ != Mode::Cd)
            start_song();
    }

    // The music's volume moves in FM and AM alone, and stops one step past either end.
    void step_volume(int step)
    {
        if (mode_ != Mode::Cd && (step > 0 ? volume_ < VOLUME_MAX : volume_ > VOLUME_MIN))
            volume_ += step;
    }

    void pause()
    {
        if (!power_) {
            paused_ = false;
        } else if (paused_) {
            paused_ = false;
            if (mode_ != Mode::Cd)
                start_song();
        } else {
            song_ = 0;
            paused_ = true;
        }
    }

    // The CD's door and tracks: outside CD mode they only end a pause.
    void cd_control()
    {
        if (mode_ != Mode::Cd)
            paused_ = false;
    }

    const bool (&present_)[6];
    bool power_ = false;
    bool paused_ = false;
    Mode mode_ = Mode::Cd;
    int preset_ = 1;
    int volume_ = -2000;   // the stored value, which may stand one step beyond the range
    int song_ = 0;
    bool started_ = false;   // by the press now followed
};

}  // namespace

std::vector<Sounding> radio_soundings(const std::vector<Press>& presses, const bool (&present)[6])
{
    HeardRadio radio(present);
    std::vector<Sounding> soundings;
    for (const Press& press : presses)
        soundings.push_back(radio.press(press));
    return soundings;
}

namespace {

// The clicks matched to the clicking presses, the pairs in order: the matching whose cost is least,
// each pair costing how late its click comes after the script's time since the pair before it
// (none earlier than SCRIPT_EARLY_MS, none later than late_ms), and each press without a click and
// each click of no press costing late_ms, so that any click a press could have sounded is taken
// for it, but not at the price of every press after it going without.
std::vector<int> match_clicks(const std::vector<double>& press_ms, const std::vector<double>& click_s, double late_ms)
{
    const double miss = late_ms / 1000;
    const std::size_t presses = press_ms.size(), clicks = click_s.size();
    constexpr double NONE = 1e300;
    // cost[k][a]: presses 0..k and clicks 0..a settled, press k sounding click a.
    std::vector<std::vector<double>> cost(presses, std::vector<double>(clicks, NONE));
    std::vector<std::vector<std::pair<int, int>>> from(presses, std::vector<std::pair<int, int>>(clicks, {-1, -1}));
    for (std::size_t k = 0; k < presses; ++k)
        for (std::size_t a = 0; a < clicks; ++a) {
            // the first pair: the presses and clicks before it unmatched
            cost[k][a] = miss * double(k + a);
            for (std::size_t j = 0; j < k; ++j)
                for (std::size_t b = 0; b < a; ++b) {
                    if (cost[j][b] >= NONE)
                        continue;
                    double late = click_s[a] - (click_s[b] + (press_ms[k] - press_ms[j]) / 1000);
                    if (late < -SCRIPT_EARLY_MS / 1000 || late > late_ms / 1000)
                        continue;
                    double total = cost[j][b] + std::max(0.0, late) + miss * double(k - j - 1 + a - b - 1);
                    if (total < cost[k][a]) {
                        cost[k][a] = total;
                        from[k][a] = {int(j), int(b)};
                    }
                }
        }
    double best = miss * double(presses + clicks);   // nothing matched
    std::pair<int, int> last = {-1, -1};
    for (std::size_t k = 0; k < presses; ++k)
        for (std::size_t a = 0; a < clicks; ++a) {
            double total = cost[k][a] + miss * double(presses - 1 - k + clicks - 1 - a);
            if (total < best) {
                best = total;
                last = {int(k), int(a)};
            }
        }
    std::vector<int> matched(presses, -1);
    for (std::pair<int, int> pair = last; pair.first >= 0; pair = from[std::size_t(pair.first)][std::size_t(pair.second)])
        matched[std::size_t(pair.first)] = pair.second;
    return matched;
}

}  // namespace

namespace {

// "preset 4 (line 12) at 3.250 s"
std::string press_text(const Press& press, double seconds)
{
    char text[160];
    std::snprintf(text, sizeof text, "%s (line %d) at %.3f s", press.name.c_str(), press.line, seconds);
    return text;
}

// Each press that no click placed, by the script's time: after the press before it, or before the
// first placed; a clicking one among them is a fault.
void place_unheard(const std::vector<Press>& presses, Placement& placement)
{
    std::size_t first = presses.size();
    for (std::size_t i = 0; i < presses.size() && first == presses.size(); ++i)
        if (placement.presses[i].click >= 0)
            first = i;
    for (std::size_t i = 0; i < presses.size(); ++i) {
        Placed& placed = placement.presses[i];
        if (placed.click >= 0)
            continue;
        if (first == presses.size())
            placed.seconds = presses[i].script_ms / 1000;
        else if (i < first)
            placed.seconds = placement.presses[first].seconds - (presses[first].script_ms - presses[i].script_ms) / 1000;
        else
            placed.seconds = placement.presses[i - 1].seconds + (presses[i].script_ms - presses[i - 1].script_ms) / 1000;
        if (presses[i].clicks) {
            char text[200];
            std::snprintf(text, sizeof text, "expected a click for %s (line %d) near %.3f s, heard none",
                          presses[i].name.c_str(), presses[i].line, placed.seconds);
            placement.faults.push_back(text);
        }
    }
}

// A click of no press is a fault, said with the press nearest it.
void fault_click_of_no_press(const std::vector<Press>& presses, double at, Placement& placement)
{
    std::string nearest = "no press";
    double distance = 1e300;
    for (std::size_t i = 0; i < presses.size(); ++i) {
        double d = std::abs(placement.presses[i].seconds - at);
        if (d < distance) {
            distance = d;
            nearest = press_text(presses[i], placement.presses[i].seconds);
        }
    }
    char text[300];
    std::snprintf(text, sizeof text, "expected no click at %.3f s, heard one there (the nearest press: %s)", at,
                  nearest.c_str());
    placement.faults.push_back(text);
}

}  // namespace

Placement place_presses(const std::vector<Press>& presses, const std::vector<Occurrence>& clicks, int rate,
                        double late_ms)
{
    Placement placement;
    placement.presses.resize(presses.size());
    std::vector<std::size_t> clicking;
    std::vector<double> press_ms, click_s;
    for (std::size_t i = 0; i < presses.size(); ++i)
        if (presses[i].clicks) {
            clicking.push_back(i);
            press_ms.push_back(presses[i].script_ms);
        }
    for (const Occurrence& click : clicks)
        click_s.push_back(click.start / rate);
    std::vector<int> matched = match_clicks(press_ms, click_s, late_ms);
    std::vector<bool> used(clicks.size(), false);
    for (std::size_t k = 0; k < clicking.size(); ++k)
        if (matched[k] >= 0) {
            placement.presses[clicking[k]] = {click_s[std::size_t(matched[k])], matched[k]};
            used[std::size_t(matched[k])] = true;
        }
    place_unheard(presses, placement);
    for (std::size_t c = 0; c < clicks.size(); ++c)
        if (!used[c])
            fault_click_of_no_press(presses, click_s[c], placement);
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
