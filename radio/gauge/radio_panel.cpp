// The radio's face as the host reads it: the element chain, the volume needle's table, the track
// display's string, the mouse table of the sixteen hot spots and the three tooltip arguments.
#include "radio/gauge/radio.h"
#include "radio/gauge/radio_layout.h"
#include "radio/gauge/radio_state.h"
#include "platform/platform.h"

namespace {

using namespace radio_layout;

// bitmap resources: an icon of n pictures uses the n ids from its first
constexpr std::int32_t NO_BITMAP = -1;

// the layout's boxes and points as the host's records hold them
constexpr PIXEL_POINT corner(Box box) { return {box.x, box.y}; }
constexpr PIXEL_POINT pixel(Point point) { return {point.x, point.y}; }
constexpr PIXEL_BOX on_face(Box box) { return {box.x, box.y, box.width, box.height}; }
constexpr PIXEL_BOX inside(Box box) { return {0, 0, box.width, box.height}; }
constexpr PIXEL_BOX preset_group(Box button) { return {button.x, button.y, PRESET_GROUP_WIDTH, button.height}; }
constexpr PIXEL_BOX NO_BOX = {0, 0, 0, 0};
constexpr NONLINEARITY needle_row(NeedleMark mark) { return {pixel(mark.point), double(mark.value)}; }
// a colour as the platform writes it, 0x00BBGGRR
constexpr std::uint32_t colour_value(Colour colour)
{
    return std::uint32_t(colour.red) | std::uint32_t(colour.green) << 8 | std::uint32_t(colour.blue) << 16;
}

// image flags at load
constexpr std::uint32_t BACKGROUND_FLAGS = IMAGE_USE_LUMINOUS | IMAGE_USE_TRANSPARENCY;                     // 0x4001
constexpr std::uint32_t NEEDLE_FLAGS = IMAGE_USE_LUMINOUS | IMAGE_USE_ERASE | IMAGE_USE_TRANSPARENCY;       // 0x4003
// dark until the first update pass finds the radio on
constexpr std::uint32_t DISPLAY_FLAGS =
    IMAGE_HIDDEN | IMAGE_USE_BRIGHT | IMAGE_USE_ERASE | IMAGE_USE_TRANSPARENCY;                              // 0x40000007

// the track display's text
constexpr std::uint32_t TRACK_CHARS = 2;
constexpr std::uint32_t TRACK_TEXT_COLOUR = colour_value(TRACK_COLOUR);   // 0x00FFF7F7
constexpr std::uint32_t TRACK_BACKGROUND_COLOUR = 0;      // black: transparent
static_assert(TRACK_FONT_WEIGHT == FW_NORMAL, "the track's digits are of normal weight");
constexpr std::uint32_t TRACK_DRAW_FLAGS = DT_CENTER | DT_VCENTER | DT_SINGLELINE;   // 0x25

extern ELEMENT_ICON button_lights;
extern ELEMENT_ICON power_light;
extern ELEMENT_ICON station_display;
extern ELEMENT_ICON preset_indicator;
extern ELEMENT_ICON mode_indicator;
extern ELEMENT_NEEDLE volume_needle;
extern ELEMENT_STRING track_display;

// Each element's successor list holds the next element of the chain alone; the last has none.
ELEMENT_HEADER* background_next[] = {&button_lights.header, nullptr};
ELEMENT_HEADER* button_lights_next[] = {&power_light.header, nullptr};
ELEMENT_HEADER* power_light_next[] = {&station_display.header, nullptr};
ELEMENT_HEADER* station_display_next[] = {&preset_indicator.header, nullptr};
ELEMENT_HEADER* preset_indicator_next[] = {&mode_indicator.header, nullptr};
ELEMENT_HEADER* mode_indicator_next[] = {&volume_needle.header, nullptr};
ELEMENT_HEADER* volume_needle_next[] = {&track_display.header, nullptr};

// Each element: its header on the first line, then the fields of its kind.
//   kind                       bitmap            position                 prev pos  offset                gauge          prev elem  next                   failures image flags       special reserved
ELEMENT_STATIC_IMAGE background = {
    {ELEMENT_TYPE_STATIC_IMAGE, BACKGROUND_ID,     {0, 0},                  {},       {0, 0},                 &radio_header, nullptr,   background_next,       nullptr, BACKGROUND_FLAGS, 0,      0},
    nullptr, nullptr};
ELEMENT_ICON button_lights = {
    {ELEMENT_TYPE_ICON,         LIGHTING_ID,       corner(LIGHTING_BOX),    {},       {0, 0},                 &radio_header, nullptr,   button_lights_next,    nullptr, DISPLAY_FLAGS,    0,      0},
    {}, nullptr, 0.0, nullptr, 0, ICON_SWITCH_TYPE_SET_CUR_ICON, 1, 0, 0, nullptr, 0};
ELEMENT_ICON power_light = {
    {ELEMENT_TYPE_ICON,         POWER_LIGHT_ID,    corner(POWER_LIGHT_BOX), {},       {0, 0},                 &radio_header, nullptr,   power_light_next,      nullptr, DISPLAY_FLAGS,    0,      0},
    {}, power_icon_value, 0.0, nullptr, 0, ICON_SWITCH_TYPE_SET_CUR_ICON, 1, 0, 0, nullptr, 0};
ELEMENT_ICON station_display = {
    {ELEMENT_TYPE_ICON,         STATION_ID,        corner(STATION_BOX),     {},       {0, 0},                 &radio_header, nullptr,   station_display_next,  nullptr, DISPLAY_FLAGS,    0,      0},
    {}, station_icon_value, 0.0, nullptr, 0, ICON_SWITCH_TYPE_SET_CUR_ICON, std::uint32_t(STATION_PICTURES), 0, 0, nullptr, 0};
ELEMENT_ICON preset_indicator = {
    {ELEMENT_TYPE_ICON,         PRESET_ID,         corner(PRESET_BOX),      {},       {0, 0},                 &radio_header, nullptr,   preset_indicator_next, nullptr, DISPLAY_FLAGS,    0,      0},
    {}, preset_icon_value, 0.0, nullptr, 0, ICON_SWITCH_TYPE_SET_CUR_ICON, std::uint32_t(PRESET_PICTURES), 0, 0, nullptr, 0};
ELEMENT_ICON mode_indicator = {
    {ELEMENT_TYPE_ICON,         MODE_ID,           corner(MODE_BOX),        {},       {0, 0},                 &radio_header, nullptr,   mode_indicator_next,   nullptr, DISPLAY_FLAGS,    0,      0},
    {}, mode_icon_value, 0.0, nullptr, 0, ICON_SWITCH_TYPE_SET_CUR_ICON, std::uint32_t(MODE_PICTURES), 0, 0, nullptr, 0};
// The needle turns about its pivot: the knob's centre on the gauge, NEEDLE_PIVOT in its picture.
ELEMENT_NEEDLE volume_needle = {
    {ELEMENT_TYPE_NEEDLE,       NEEDLE_ID,         pixel(KNOB_CENTRE),      {},       pixel(NEEDLE_PIVOT),    &radio_header, nullptr,   volume_needle_next,    nullptr, NEEDLE_FLAGS,     0,      0},
    {}, volume_needle_value, volume_nonlinearity, RADIO_NEEDLE_ROWS, 0.0, nullptr, nullptr, 0};
ELEMENT_STRING track_display = {
    {ELEMENT_TYPE_STRING,       NO_BITMAP,         corner(TRACK_TEXT_BOX),  {},       {0, 0},                 &radio_header, nullptr,   nullptr,               nullptr, DISPLAY_FLAGS,    0,      0},
    {}, track_display_update, 0.0, nullptr, TRACK_CHARS, TRACK_TEXT_BOX.width, TRACK_TEXT_BOX.height,
    TRACK_TEXT_COLOUR, TRACK_BACKGROUND_COLOUR, TRACK_TEXT_COLOUR, TRACK_FONT, TRACK_FONT_WEIGHT, DEFAULT_CHARSET,
    TRACK_DRAW_FLAGS, nullptr, nullptr};

// ---- tooltip texts ----

constexpr std::uint32_t CLICK = MOUSE_LEFTSINGLE;
constexpr std::uint32_t CLICK_AND_HOLD = MOUSE_LEFTSINGLE | MOUSE_DOWN_REPEAT;
constexpr std::uint32_t ALL_ARGS = RADIO_TOOLTIP_ARGS;

const char POWER_TIP[] = "Power On/Off (%1!s!)";
const char DOOR_TIP[] = "Open/Close CD Door";
const char MODE_CD_TIP[] = "Mode Select - CD Player";
const char MODE_FM_TIP[] = "Mode Select - FM Radio";
const char MODE_AM_TIP[] = "Mode Select - AM Radio";
const char PRESET_1_TIP[] = "%2!s! 1";
const char PRESET_2_TIP[] = "%2!s! 2";
const char PRESET_3_TIP[] = "%2!s! 3";
const char PRESET_4_TIP[] = "%2!s! 4";
const char PRESET_5_TIP[] = "%2!s! 5";
const char PRESET_6_TIP[] = "%2!s! 6";
const char VOLUME_DOWN_TIP[] = "Decrease Volume Level";
const char VOLUME_UP_TIP[] = "Increase Volume Level";
const char PREV_TRACK_TIP[] = "Previous CD Track";
const char NEXT_TRACK_TIP[] = "Next CD Track";
const char PAUSE_TIP[] = "Pause On/Off (%3!s!)";

}  // namespace

ELEMENT_HEADER* radio_elements[2] = {&background.header, nullptr};

// The value of a row is the volume; the point is where the needle then points.
NONLINEARITY volume_nonlinearity[RADIO_NEEDLE_ROWS] = {
    needle_row(NEEDLE_TABLE[0]),   // off: down and to the left
    needle_row(NEEDLE_TABLE[1]),   // silent: left
    needle_row(NEEDLE_TABLE[2]),   // up
    needle_row(NEEDLE_TABLE[3]),   // full: right
};

// ---- the tooltip arguments: the radio's state put into the texts ----

const char* HOST_CALL power_tooltip_arg(double, std::uint32_t, const char*, MODULE_VAR*, GAUGEHDR*)
{
    return radio_state.power != 0 ? "on" : "off";
}

const char* HOST_CALL source_tooltip_arg(double, std::uint32_t, const char*, MODULE_VAR*, GAUGEHDR*)
{
    if (radio_state.mode == MODE_CD)
        return "CD Player Track";
    if (radio_state.mode == MODE_FM)
        return "FM Radio Preset";
    return "AM Radio Preset";
}

const char* HOST_CALL pause_tooltip_arg(double, std::uint32_t, const char*, MODULE_VAR*, GAUGEHDR*)
{
    return radio_state.paused != 0 ? "on" : "off";
}

// No variable, scale, lookup table or numeric callback: only the string callback.
// source var  scale lookup count numeric  reserved  string callback
TOOLTIP_ARG radio_tooltip_args[RADIO_TOOLTIP_ARGS] = {
    {{},         0.0,  nullptr, 0,  nullptr, {},       power_tooltip_arg},    // %1!s!
    {{},         0.0,  nullptr, 0,  nullptr, {},       source_tooltip_arg},   // %2!s!
    {{},         0.0,  nullptr, 0,  nullptr, {},       pause_tooltip_arg},    // %3!s!
};

// One outer group, then each hot spot as a group of four rows: its box, its tooltip, the clickable
// child (relative to the box) and the group's end. No row sends a key event: the handlers do the work.
// The boxes are the layout's (radio_layout.h).
// kind                   box                              cursor           help flags          event     handler         data
MOUSERECT radio_mouse_rects[RADIO_MOUSE_ROWS] = {
    {MOUSE_RECT_PARENT,     NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    // power
    {MOUSE_RECT_PARENT,     on_face(POWER_BUTTON),           CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    {MOUSE_RECT_USER,       NO_BOX,                          CURSOR_NONE,     0,   0,             ALL_ARGS, POWER_TIP,      radio_tooltip_args},
    {MOUSE_RECT_CHILD,      inside(POWER_BUTTON),            CURSOR_HAND,     0,   CLICK,         0,        on_power,       nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    // CD door
    {MOUSE_RECT_PARENT,     on_face(DOOR_BUTTON),            CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    {MOUSE_RECT_USER,       NO_BOX,                          CURSOR_NONE,     0,   0,             0,        DOOR_TIP,       nullptr},
    {MOUSE_RECT_CHILD,      inside(DOOR_BUTTON),             CURSOR_HAND,     0,   CLICK,         0,        on_door,        nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    // CD mode
    {MOUSE_RECT_PARENT,     on_face(MODE_BUTTONS[0]),        CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    {MOUSE_RECT_USER,       NO_BOX,                          CURSOR_NONE,     0,   0,             0,        MODE_CD_TIP,    nullptr},
    {MOUSE_RECT_CHILD,      inside(MODE_BUTTONS[0]),         CURSOR_HAND,     0,   CLICK,         0,        on_mode_cd,     nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    // FM mode
    {MOUSE_RECT_PARENT,     on_face(MODE_BUTTONS[1]),        CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    {MOUSE_RECT_USER,       NO_BOX,                          CURSOR_NONE,     0,   0,             0,        MODE_FM_TIP,    nullptr},
    {MOUSE_RECT_CHILD,      inside(MODE_BUTTONS[1]),         CURSOR_HAND,     0,   CLICK,         0,        on_mode_fm,     nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    // AM mode
    {MOUSE_RECT_PARENT,     on_face(MODE_BUTTONS[2]),        CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    {MOUSE_RECT_USER,       NO_BOX,                          CURSOR_NONE,     0,   0,             0,        MODE_AM_TIP,    nullptr},
    {MOUSE_RECT_CHILD,      inside(MODE_BUTTONS[2]),         CURSOR_HAND,     0,   CLICK,         0,        on_mode_am,     nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    // preset 1
    {MOUSE_RECT_PARENT,     preset_group(PRESET_BUTTONS[0]), CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    {MOUSE_RECT_USER,       NO_BOX,                          CURSOR_NONE,     0,   0,             ALL_ARGS, PRESET_1_TIP,   radio_tooltip_args},
    {MOUSE_RECT_CHILD,      inside(PRESET_BUTTONS[0]),       CURSOR_HAND,     0,   CLICK,         0,        on_preset_1,    nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    // preset 2
    {MOUSE_RECT_PARENT,     preset_group(PRESET_BUTTONS[1]), CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    {MOUSE_RECT_USER,       NO_BOX,                          CURSOR_NONE,     0,   0,             ALL_ARGS, PRESET_2_TIP,   radio_tooltip_args},
    {MOUSE_RECT_CHILD,      inside(PRESET_BUTTONS[1]),       CURSOR_HAND,     0,   CLICK,         0,        on_preset_2,    nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    // preset 3
    {MOUSE_RECT_PARENT,     preset_group(PRESET_BUTTONS[2]), CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    {MOUSE_RECT_USER,       NO_BOX,                          CURSOR_NONE,     0,   0,             ALL_ARGS, PRESET_3_TIP,   radio_tooltip_args},
    {MOUSE_RECT_CHILD,      inside(PRESET_BUTTONS[2]),       CURSOR_HAND,     0,   CLICK,         0,        on_preset_3,    nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    // preset 4
    {MOUSE_RECT_PARENT,     preset_group(PRESET_BUTTONS[3]), CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    {MOUSE_RECT_USER,       NO_BOX,                          CURSOR_NONE,     0,   0,             ALL_ARGS, PRESET_4_TIP,   radio_tooltip_args},
    {MOUSE_RECT_CHILD,      inside(PRESET_BUTTONS[3]),       CURSOR_HAND,     0,   CLICK,         0,        on_preset_4,    nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    // preset 5
    {MOUSE_RECT_PARENT,     preset_group(PRESET_BUTTONS[4]), CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    {MOUSE_RECT_USER,       NO_BOX,                          CURSOR_NONE,     0,   0,             ALL_ARGS, PRESET_5_TIP,   radio_tooltip_args},
    {MOUSE_RECT_CHILD,      inside(PRESET_BUTTONS[4]),       CURSOR_HAND,     0,   CLICK,         0,        on_preset_5,    nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    // preset 6
    {MOUSE_RECT_PARENT,     preset_group(PRESET_BUTTONS[5]), CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    {MOUSE_RECT_USER,       NO_BOX,                          CURSOR_NONE,     0,   0,             ALL_ARGS, PRESET_6_TIP,   radio_tooltip_args},
    {MOUSE_RECT_CHILD,      inside(PRESET_BUTTONS[5]),       CURSOR_HAND,     0,   CLICK,         0,        on_preset_6,    nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    // volume down: repeats while held
    {MOUSE_RECT_PARENT,     on_face(VOLUME_DOWN),            CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    {MOUSE_RECT_USER,       NO_BOX,                          CURSOR_NONE,     0,   0,             0,        VOLUME_DOWN_TIP,nullptr},
    {MOUSE_RECT_CHILD,      inside(VOLUME_DOWN),             CURSOR_DOWNARROW,0,   CLICK_AND_HOLD,0,        on_volume_down, nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    // volume up: repeats while held
    {MOUSE_RECT_PARENT,     on_face(VOLUME_UP),              CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    {MOUSE_RECT_USER,       NO_BOX,                          CURSOR_NONE,     0,   0,             0,        VOLUME_UP_TIP,  nullptr},
    {MOUSE_RECT_CHILD,      inside(VOLUME_UP),               CURSOR_UPARROW,  0,   CLICK_AND_HOLD,0,        on_volume_up,   nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    // previous track
    {MOUSE_RECT_PARENT,     on_face(PREVIOUS_TRACK),         CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    {MOUSE_RECT_USER,       NO_BOX,                          CURSOR_NONE,     0,   0,             0,        PREV_TRACK_TIP, nullptr},
    {MOUSE_RECT_CHILD,      inside(PREVIOUS_TRACK),          CURSOR_DOWNARROW,0,   CLICK,         0,        on_prev_track,  nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    // next track
    {MOUSE_RECT_PARENT,     on_face(NEXT_TRACK),             CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    {MOUSE_RECT_USER,       NO_BOX,                          CURSOR_NONE,     0,   0,             0,        NEXT_TRACK_TIP, nullptr},
    {MOUSE_RECT_CHILD,      inside(NEXT_TRACK),              CURSOR_UPARROW,  0,   CLICK,         0,        on_next_track,  nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    // pause
    {MOUSE_RECT_PARENT,     on_face(PAUSE_BUTTON),           CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    {MOUSE_RECT_USER,       NO_BOX,                          CURSOR_NONE,     0,   0,             ALL_ARGS, PAUSE_TIP,      radio_tooltip_args},
    {MOUSE_RECT_CHILD,      inside(PAUSE_BUTTON),            CURSOR_HAND,     0,   CLICK,         0,        on_pause,       nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    // the outer group's end and the table's
    {MOUSE_RECT_END_PARENT, NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
    {MOUSE_RECT_EOL,        NO_BOX,                          CURSOR_NONE,     0,   0,             0,        nullptr,        nullptr},
};
