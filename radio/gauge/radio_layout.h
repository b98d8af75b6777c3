// Where the radio's elements and hot spots lie on its 476 x 147 face: the one layout that the
// gauge's records and the artwork tools are both written from.
#pragma once

namespace radio_layout {

struct Box {
    int x, y, width, height;
    constexpr int right() const { return x + width; }    // first column past the box
    constexpr int bottom() const { return y + height; }  // first row past the box
};

struct Point {
    int x, y;
};

// The pixel in the middle of the box; where a side is even, the second of its two middle pixels.
constexpr Point centre(Box box)
{
    return {box.x + box.width / 2, box.y + box.height / 2};
}

// A colour of the face: red, green and blue, each 0 to 255.
struct Colour {
    int red, green, blue;
};

constexpr int FRONT_WIDTH = 476, FRONT_HEIGHT = 147;

// the bitmaps, first resource id and picture count
constexpr int BACKGROUND_ID = 4096;
constexpr int LIGHTING_ID = 13824;
constexpr int POWER_LIGHT_ID = 13568;
constexpr int STATION_ID = 12288, STATION_PICTURES = 13;
constexpr int PRESET_ID = 9472, PRESET_PICTURES = 7;
constexpr int MODE_ID = 8192, MODE_PICTURES = 3;
constexpr int NEEDLE_ID = 16384;

// the overlays' boxes on the face
constexpr Box LIGHTING_BOX = {26, 61, 370, 67};
constexpr Box POWER_LIGHT_BOX = {378, 59, 27, 13};
constexpr Box STATION_BOX = {136, 58, 202, 43};
constexpr Box PRESET_BOX = {150, 111, 197, 19};
constexpr Box MODE_BOX = {417, 49, 30, 66};
constexpr Box TRACK_TEXT_BOX = {225, 65, 40, 32};  // the host writes the CD track's two digits here

// the display window, to the outer edge of its bezel, round the station, power and track displays
constexpr Box DISPLAY_BEZEL = {121, 50, 287, 51};

// the CD track's digits: the face and weight the host draws them in, and their colour
constexpr const char* TRACK_FONT = "Courier New";
constexpr int TRACK_FONT_WEIGHT = 400;   // normal
constexpr Colour TRACK_COLOUR = {247, 247, 255};

// the needle: 31 x 9, pointing right from its pivot, turned about the knob's centre
constexpr int NEEDLE_WIDTH = 31, NEEDLE_HEIGHT = 9;
constexpr Point NEEDLE_PIVOT = {1, 4};
constexpr Point KNOB_CENTRE = {83, 84};
struct NeedleMark {
    int value;
    Point point;
};
constexpr NeedleMark NEEDLE_TABLE[] = {
    {-15000, {61, 107}},  // off
    {-10000, {52, 84}},
    {-5000, {84, 53}},
    {0, {116, 84}},
};

// the hot spots, each the box a click reaches; a preset's group in the mouse table is wider than
// its button (the table keeps the width for all six) and overlaps the next one
constexpr int PRESET_GROUP_WIDTH = 36;
constexpr Box POWER_BUTTON = {410, 0, 66, 46};
constexpr Box DOOR_BUTTON = {0, 0, 63, 48};
constexpr Box MODE_BUTTONS[] = {
    {408, 48, 68, 23},  // CD
    {408, 71, 68, 23},  // FM
    {408, 94, 68, 23},  // AM
};
constexpr Box PRESET_BUTTONS[] = {
    {145, 100, 36, 47},
    {181, 100, 34, 47},
    {215, 100, 34, 47},
    {249, 100, 32, 47},
    {281, 100, 35, 47},
    {316, 100, 36, 47},
};
constexpr Box VOLUME_UP = {0, 51, 51, 33};
constexpr Box VOLUME_DOWN = {0, 85, 51, 34};
constexpr Box PREVIOUS_TRACK = {352, 100, 24, 47};
constexpr Box NEXT_TRACK = {376, 100, 24, 47};
constexpr Box PAUSE_BUTTON = {120, 100, 24, 47};

}  // namespace radio_layout
