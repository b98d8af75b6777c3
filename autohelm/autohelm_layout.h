// Where the autopilot panel's knob and levers lie on its 300 x 137 background: the one layout that
// the gauge's records, the generator of its bitmaps and the benchmarks are all written from.
#pragma once

#include "host/panel_host.h"

namespace autohelm_layout {

constexpr int PANEL_WIDTH = 300, PANEL_HEIGHT = 137;

// the bitmaps' resource ids; the lever is an icon of two pictures, down (LEVER_ID) and up (105)
constexpr int BACKGROUND_ID = 101;
constexpr int LEVER_ID = 102;
constexpr int KNOB_ID = 106;

// The knob: a square picture turned about its pivot, KNOB_PIVOT on the panel and
// KNOB_PIVOT_IN_PICTURE in the picture. Its hot spot is a 74 x 74 square about the pivot, cut in
// two halves of 37: the left turns it down, the right up.
constexpr int KNOB_SIDE = 76;
constexpr PIXEL_POINT KNOB_PIVOT = {49, 70};
constexpr PIXEL_POINT KNOB_PIVOT_IN_PICTURE = {37, 37};
constexpr PIXEL_BOX KNOB_BUTTON = {13, 33, 74, 74};
constexpr PIXEL_BOX KNOB_DOWN_HALF = {KNOB_BUTTON.x, KNOB_BUTTON.y, KNOB_BUTTON.width / 2, KNOB_BUTTON.height};
constexpr PIXEL_BOX KNOB_UP_HALF = {KNOB_BUTTON.x + KNOB_BUTTON.width / 2, KNOB_BUTTON.y, KNOB_BUTTON.width / 2,
                                    KNOB_BUTTON.height};

// The three levers, left to right: each hot spot is its lever's picture, 44 x 84.
constexpr int LEVER_WIDTH = 44, LEVER_HEIGHT = 84;
constexpr PIXEL_BOX MASTER_LEVER = {94, 28, LEVER_WIDTH, LEVER_HEIGHT};
constexpr PIXEL_BOX ENGAGE_LEVER = {160, 28, LEVER_WIDTH, LEVER_HEIGHT};
constexpr PIXEL_BOX INHIBIT_LEVER = {226, 28, LEVER_WIDTH, LEVER_HEIGHT};

}  // namespace autohelm_layout
