// A gauge's mouse rectangle table as the host reads it: groups, hot spots and tooltips.
#pragma once

#include "host/panel_host.h"
#include "panelhost/base/limits.h"

#include <cstddef>
#include <string>
#include <vector>

namespace panelhost {


// One parent group, its box in gauge pixels.
struct MouseGroup {
    const MOUSERECT* row = nullptr;  // the parent row; null for the gauge itself
    PIXEL_BOX area{};                // absolute; width or height 0 with bounded false: no limit
    bool bounded = true;
    int parent = -1;                 // index of the enclosing group
    int depth = 0;
    const MOUSERECT* tooltip = nullptr;  // the group's first tooltip row
};

struct MouseHotSpot {
    const MOUSERECT* row = nullptr;
    PIXEL_BOX area{};                // absolute
    int group = 0;
};

struct MouseTable {
    std::vector<MouseGroup> groups;      // group 0 is the gauge's whole area
    std::vector<MouseHotSpot> hot_spots; // in table order
    std::vector<std::string> faults;     // what was wrong with the table, if anything
};

// Reads the table up to its end row (at most MAX_MOUSE_ROWS rows). A parent box of zero size
// covers its enclosing area, so a zero outermost box is the whole gauge of the given size.
MouseTable read_mouse_table(const MOUSERECT* table, PIXEL_POINT gauge_size);

struct MouseHit {
    const MouseHotSpot* hot_spot = nullptr;  // the first hot spot in table order under the point
    int group = -1;                          // the hot spot's group, or the deepest group under the point
    PIXEL_POINT relative{};                  // the point relative to the hot spot's box
};

MouseHit hit_test(const MouseTable& table, PIXEL_POINT point);

// What the tooltip of a hit says: walking outward from the hot spot, the first tooltip row
// (composed with its arguments) or non-zero help id.
struct Tooltip {
    enum Kind { None, Text, Help } kind = None;
    std::string text;
    std::uint32_t help_id = 0;
};

Tooltip tooltip_for(const MouseTable& table, const MouseHit& hit, GAUGEHDR* gauge);

// Replaces every "%N!s!" with the text of tooltip argument N (1-based, within count); other
// inserts stay as written.
std::string compose_tooltip(const char* text, const TOOLTIP_ARG* args, std::uint32_t count, GAUGEHDR* gauge);

}  // namespace panelhost
