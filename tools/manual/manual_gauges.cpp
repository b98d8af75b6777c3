// The manual's account of the radio and the autopilot panel: their controls, tooltip states and
// pictures, and the steps that bring a fresh gauge into each state.
#include "tools/manual/manual_gauges.h"

#include "autohelm/autohelm.h"

namespace manual {

namespace {

namespace layout = radio_layout;

HotSpotMatch area(layout::Box box)
{
    return {HotSpotMatch::Area, box, 0, 0};
}

HotSpotMatch key_event(std::uint32_t event_id)
{
    return {HotSpotMatch::KeyEvent, {}, event_id, 0};
}

HotSpotMatch hand_from_left(int n)
{
    return {HotSpotMatch::HandFromLeft, {}, 0, n};
}

Step click(int control)
{
    return {Step::Click, control, 0, 0};
}

Step var(std::uint32_t id, double value)
{
    return {Step::Var, 0, id, value};
}

// ---- the radio ----

enum RadioControl {
    POWER, DOOR, SOURCE_CD, SOURCE_FM, SOURCE_AM,
    PRESET_1, PRESET_2, PRESET_3, PRESET_4, PRESET_5, PRESET_6,
    VOLUME_DOWN, VOLUME_UP, PREVIOUS_TRACK, NEXT_TRACK, PAUSE,
};

#define PRESET_DOES(N, FM, AM)                                                                          \
    "Preset " #N ": in CD mode, track " #N " of the disc; in FM and AM mode, song " #N " (station " FM \
    " FM or " AM " AM). With the radio on it starts at once; with the radio off the choice waits "      \
    "for power-on."

const GaugeManual RADIO = {
    "radio", "radio", "tuneset", "The radio",
    {
        // match                               name                 does
        {area(layout::POWER_BUTTON),           "Power",             "Switches the radio on and off. On, it plays the chosen CD track or song "
                                                                    "and its displays light; off, it stops playing and the displays go dark."},
        {area(layout::DOOR_BUTTON),            "CD door",           "With the radio on in CD mode: stops the CD and opens the computer's CD "
                                                                    "tray; click again to close it. In any other state it does nothing."},
        {area(layout::MODE_BUTTONS[0]),        "CD",                "Chooses the CD player. With the radio on, the disc starts at the track "
                                                                    "of the chosen preset."},
        {area(layout::MODE_BUTTONS[1]),        "FM",                "Chooses the FM band: the presets play your songs, and the display shows "
                                                                    "stations 101 to 106 FM. With the radio on, the chosen preset's song "
                                                                    "starts."},
        {area(layout::MODE_BUTTONS[2]),        "AM",                "Chooses the AM band: the same six songs as FM, the display showing "
                                                                    "stations 1110 to 1160 AM. With the radio on, the chosen preset's song "
                                                                    "starts."},
        {area(layout::PRESET_BUTTONS[0]),      "Preset 1",          PRESET_DOES(1, "101", "1110")},
        {area(layout::PRESET_BUTTONS[1]),      "Preset 2",          PRESET_DOES(2, "102", "1120")},
        {area(layout::PRESET_BUTTONS[2]),      "Preset 3",          PRESET_DOES(3, "103", "1130")},
        {area(layout::PRESET_BUTTONS[3]),      "Preset 4",          PRESET_DOES(4, "104", "1140")},
        {area(layout::PRESET_BUTTONS[4]),      "Preset 5",          PRESET_DOES(5, "105", "1150")},
        {area(layout::PRESET_BUTTONS[5]),      "Preset 6",          PRESET_DOES(6, "106", "1160")},
        {area(layout::VOLUME_DOWN),            "Volume down",       "One step quieter, and again and again while you hold the button down: "
                                                                    "the songs in FM and AM mode, the CD in CD mode, 1.5 dB a step. It works "
                                                                    "with the radio off too."},
        {area(layout::VOLUME_UP),              "Volume up",         "One step louder, and again and again while you hold the button down, "
                                                                    "as volume down does it."},
        {area(layout::PREVIOUS_TRACK),         "Previous track",    "In CD mode with the radio on: the track before the one playing. Before "
                                                                    "track 1 comes the disc's last track."},
        {area(layout::NEXT_TRACK),             "Next track",        "In CD mode with the radio on: the track after the one playing. After "
                                                                    "the disc's last track comes track 1."},
        {area(layout::PAUSE_BUTTON),           "Pause",             "Stops the CD or the song; click again to start the same track or song "
                                                                    "from its beginning."},
    },
    {"power", "source", "pause"},
    {
        // steps                                       conditions
        {{},                                           {"when off", "in CD mode", "when not paused"}},
        {{click(POWER)},                               {"when on", "in CD mode", "when not paused"}},
        {{click(POWER), click(PAUSE)},                 {"when on", "in CD mode", "when paused"}},
        {{click(SOURCE_FM)},                           {"when off", "in FM mode", "when not paused"}},
        {{click(SOURCE_FM), click(POWER)},             {"when on", "in FM mode", "when not paused"}},
        {{click(SOURCE_FM), click(POWER), click(PAUSE)}, {"when on", "in FM mode", "when paused"}},
        {{click(SOURCE_AM), click(POWER)},             {"when on", "in AM mode", "when not paused"}},
    },
    {
        {"radio-off", "Off: the displays are dark and the volume knob rests at its lowest mark.", {}},
        {"radio-cd", "On in CD mode, playing track 3 (preset 3, then power): the display shows the track.",
         {click(PRESET_3), click(POWER)}},
        {"radio-fm", "On in FM mode, preset 4: station 104 FM, playing song 4.",
         {click(SOURCE_FM), click(PRESET_4), click(POWER)}},
        {"radio-am", "On in AM mode, preset 5: station 1150 AM, playing song 5.",
         {click(SOURCE_AM), click(PRESET_5), click(POWER)}},
        {"radio-paused", "Paused in CD mode: the track goes out until pause is clicked again.",
         {click(POWER), click(PAUSE)}},
    },
};

#undef PRESET_DOES

// ---- the autopilot panel ----

enum AutohelmControl { KNOB_DOWN, KNOB_UP, MASTER, ENGAGE, INHIBIT };

const GaugeManual AUTOHELM = {
    "autopilot", "autohelm", "autohelm.gau", "The autopilot panel",
    {
        // match                                       name              does
        {key_event(autohelm::KEY_KNOB_DOWN),           "Knob, left half",  "Turns the knob down, and again and again while you hold the button "
                                                                           "down."},
        {key_event(autohelm::KEY_KNOB_UP),             "Knob, right half", "Turns the knob up, and again and again while you hold the button "
                                                                           "down."},
        {hand_from_left(0),                            "Master switch",  "With the autopilot master on: switches it off. With the master off: "
                                                                         "switches it on, and when the engage lever is up and the inhibit "
                                                                         "lever down, engages the autopilot's two modes in the same click."},
        {hand_from_left(1),                            "Engage lever",   "Moves the lever up or down. With the master off that is all. With "
                                                                         "the master on: if either autopilot mode is engaged, releases both; "
                                                                         "if neither is, engages them when the inhibit lever is down."},
        {hand_from_left(2),                            "Inhibit lever",  "Moves the lever up or down. With the master off that is all. With "
                                                                         "the master on: if either autopilot mode is engaged, releases both; "
                                                                         "if neither is, engages them when the engage lever is up."},
    },
    {"master"},
    {
        // steps                                       conditions
        {{},                                           {"with the master off"}},
        {{var(autohelm::VAR_AUTOPILOT_MASTER, 1)},     {"with the master on"}},
    },
    {
        {"autopilot-off", "All three levers down: the autopilot master off.", {}},
        {"autopilot-engaged", "The master and engage levers up: the autopilot master on, its modes engaged "
                              "by the levers.",
         {click(ENGAGE), var(autohelm::VAR_AUTOPILOT_MASTER, 1)}},
        {"autopilot-inhibited", "The master and inhibit levers up: the master on, and the modes held off "
                                "until the inhibit lever goes down.",
         {click(INHIBIT), var(autohelm::VAR_AUTOPILOT_MASTER, 1)}},
    },
};

bool matches(const HotSpotMatch& match, const HotSpot& spot, const std::vector<HotSpot>& spots)
{
    switch (match.kind) {
    case HotSpotMatch::Area:
        return spot.area.x == match.area.x && spot.area.y == match.area.y && spot.area.width == match.area.width &&
               spot.area.height == match.area.height;
    case HotSpotMatch::KeyEvent:
        return spot.event_id == match.event_id;
    case HotSpotMatch::HandFromLeft: {
        if (spot.cursor != CURSOR_HAND)
            return false;
        int left_of_it = 0;
        for (const HotSpot& other : spots)
            if (other.cursor == CURSOR_HAND && other.area.x < spot.area.x)
                ++left_of_it;
        return left_of_it == match.hand;
    }
    }
    return false;
}

}  // namespace

const GaugeManual& radio_manual()
{
    return RADIO;
}

const GaugeManual& autohelm_manual()
{
    return AUTOHELM;
}

bool match_controls(const GaugeManual& manual, const std::vector<HotSpot>& spots, std::vector<int>& control_of,
                    std::string& error)
{
    control_of.assign(spots.size(), -1);
    for (std::size_t c = 0; c < manual.controls.size(); ++c) {
        int found = 0;
        for (std::size_t s = 0; s < spots.size(); ++s)
            if (matches(manual.controls[c].match, spots[s], spots)) {
                if (control_of[s] >= 0) {
                    error = std::string(manual.title) + ": hot spot " + std::to_string(spots[s].number) + " is both " +
                            manual.controls[std::size_t(control_of[s])].name + " and " + manual.controls[c].name;
                    return false;
                }
                control_of[s] = static_cast<int>(c);
                ++found;
            }
        if (found != 1) {
            error = std::string(manual.title) + ": the control " + manual.controls[c].name + " matches " +
                    std::to_string(found) + " hot spots of the mouse table, not one";
            return false;
        }
    }
    for (std::size_t s = 0; s < spots.size(); ++s)
        if (control_of[s] < 0) {
            error = std::string(manual.title) + ": hot spot " + std::to_string(spots[s].number) +
                    " is no control the manual describes";
            return false;
        }
    return true;
}

bool run_steps(GaugeRun& run, const GaugeManual& manual, const std::vector<Step>& steps, std::string& error)
{
    std::vector<HotSpot> spots;
    std::vector<int> control_of;
    if (!run.hot_spots(spots, error) || !match_controls(manual, spots, control_of, error))
        return false;
    for (const Step& step : steps) {
        if (step.kind == Step::Var) {
            run.set_var(step.var, step.value);
        } else {
            for (std::size_t s = 0; s < spots.size(); ++s)
                if (control_of[s] == step.control)
                    run.click(spots[s].centre);
        }
        run.frames(1);
    }
    run.frames(2);
    return true;
}

}  // namespace manual
