// What the manual says of each gauge: its controls in words, the states whose tooltips it shows
// and the pictures it draws, each state reached by clicks on the controls and by sim variables.
#pragma once

#include "radio/gauge/radio_layout.h"
#include "tools/manual/manual_bench.h"

#include <cstdint>
#include <string>
#include <vector>

namespace manual {

// How a control's hot spot is found in the gauge's mouse table.
struct HotSpotMatch {
    enum Kind {
        Area,           // its box is this one
        KeyEvent,       // its row sends this key event
        HandFromLeft,   // the n-th (from 0) hot spot with a hand cursor, counting from the left
    } kind = Area;
    radio_layout::Box area{};
    std::uint32_t event_id = 0;
    int hand = 0;
};

struct Control {
    HotSpotMatch match;
    const char* name;   // plain text: "Power"
    const char* does;   // HTML
};

// One step toward a state: a click at the centre of a control's hot spot, or a sim variable set.
struct Step {
    enum Kind { Click, Var } kind = Click;
    int control = 0;    // index into the gauge's controls
    std::uint32_t var = 0;
    double value = 0;
};

// A state the tooltips are read in, and the condition it stands for along each of the gauge's
// facets ("when off", "in FM mode", ...), in the order of GaugeManual::facets.
struct TooltipState {
    std::vector<Step> steps;
    std::vector<const char*> conditions;
};

// A picture of the gauge in a state.
struct Scene {
    const char* id;        // for the picture's class: "radio-fm"
    const char* caption;   // HTML
    std::vector<Step> steps;
};

struct GaugeManual {
    const char* id;          // the section's id: "radio"
    const char* module;      // the module's file name without its extension: "radio"
    const char* gauge;       // the gauge's name in the module: "tuneset"
    const char* title;       // "The radio"
    std::vector<Control> controls;
    std::vector<const char*> facets;      // what the tooltip states differ in: "power", ...
    std::vector<TooltipState> tooltip_states;
    std::vector<Scene> scenes;
};

const GaugeManual& radio_manual();
const GaugeManual& autohelm_manual();

// Which control each hot spot is (by hot spot, an index into the controls); false, with the
// reason, when a hot spot is no control's or a control has no hot spot or more than one.
bool match_controls(const GaugeManual& manual, const std::vector<HotSpot>& spots, std::vector<int>& control_of,
                    std::string& error);

// A fresh run of the gauge taken through the steps, a frame after each click and two more at the
// end, so that the displays show what the last click started.
bool run_steps(GaugeRun& run, const GaugeManual& manual, const std::vector<Step>& steps, std::string& error);

}  // namespace manual
