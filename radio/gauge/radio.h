// The radio gauge `tuneset`: the records, callbacks and handlers its four source files share.
#pragma once

#include "host/panel_host.h"

#include <cstdint>

// The host writes its service table into this record before it calls any routine of the gauge.
extern GAUGE_EXPORT IMPORT_TABLE ImportTable;

// Every service call reads the table from ImportTable at the time of the call.
inline PANEL_SERVICES* host()
{
    return panel_services(ImportTable);
}

extern GAUGEHDR radio_header;

// ---- the panel: element chain, mouse table, tooltips (radio_panel.cpp) ----

// The chain's positions: element k is k links down from the root.
constexpr std::uint32_t POSITION_BUTTON_LIGHTS = 1;
constexpr std::uint32_t POSITION_POWER_LIGHT = 2;
constexpr std::uint32_t POSITION_STATION = 3;
constexpr std::uint32_t POSITION_PRESET = 4;
constexpr std::uint32_t POSITION_MODE = 5;
constexpr std::uint32_t POSITION_VOLUME_NEEDLE = 6;
constexpr std::uint32_t POSITION_TRACK_DISPLAY = 7;

constexpr int RADIO_MOUSE_ROWS = 67;
constexpr int RADIO_TOOLTIP_ARGS = 3;
constexpr int RADIO_NEEDLE_ROWS = 4;

// The element list of the header: the background, then null.
extern ELEMENT_HEADER* radio_elements[2];
extern MOUSERECT radio_mouse_rects[RADIO_MOUSE_ROWS];
extern TOOLTIP_ARG radio_tooltip_args[RADIO_TOOLTIP_ARGS];
extern NONLINEARITY volume_nonlinearity[RADIO_NEEDLE_ROWS];

const char* HOST_CALL power_tooltip_arg(double, std::uint32_t, const char*, MODULE_VAR*, GAUGEHDR*);
const char* HOST_CALL source_tooltip_arg(double, std::uint32_t, const char*, MODULE_VAR*, GAUGEHDR*);
const char* HOST_CALL pause_tooltip_arg(double, std::uint32_t, const char*, MODULE_VAR*, GAUGEHDR*);

// ---- the chain walks (radio_module.cpp) ----

// Walk `steps` links down the chain from `start` (each link: the first entry of the successor
// list); an element without a successor list on the way ends the walk and changes nothing.
// The element reached gets the mask ORed into its image flags, or removed from them.
void element_set_flags(ELEMENT_HEADER* start, std::uint32_t steps, std::uint32_t mask);
void element_clear_flags(ELEMENT_HEADER* start, std::uint32_t steps, std::uint32_t mask);

// ---- the value callbacks (radio_displays.cpp) ----

double HOST_CALL power_icon_value(ELEMENT_HEADER*);
double HOST_CALL station_icon_value(ELEMENT_HEADER*);
double HOST_CALL preset_icon_value(ELEMENT_HEADER*);
double HOST_CALL mode_icon_value(ELEMENT_HEADER*);
double HOST_CALL volume_needle_value(ELEMENT_HEADER*);
double HOST_CALL track_display_update(ELEMENT_HEADER* element);

// What the volume needle shows while the radio is off.
constexpr double NEEDLE_OFF_VALUE = -15000.0;

// ---- the sixteen handlers (radio_controls.cpp); each answers 1 ----

std::int32_t HOST_CALL on_power(PIXEL_POINT*, std::uint32_t);
std::int32_t HOST_CALL on_door(PIXEL_POINT*, std::uint32_t);
std::int32_t HOST_CALL on_mode_cd(PIXEL_POINT*, std::uint32_t);
std::int32_t HOST_CALL on_mode_fm(PIXEL_POINT*, std::uint32_t);
std::int32_t HOST_CALL on_mode_am(PIXEL_POINT*, std::uint32_t);
std::int32_t HOST_CALL on_preset_1(PIXEL_POINT*, std::uint32_t);
std::int32_t HOST_CALL on_preset_2(PIXEL_POINT*, std::uint32_t);
std::int32_t HOST_CALL on_preset_3(PIXEL_POINT*, std::uint32_t);
std::int32_t HOST_CALL on_preset_4(PIXEL_POINT*, std::uint32_t);
std::int32_t HOST_CALL on_preset_5(PIXEL_POINT*, std::uint32_t);
std::int32_t HOST_CALL on_preset_6(PIXEL_POINT*, std::uint32_t);
std::int32_t HOST_CALL on_volume_down(PIXEL_POINT*, std::uint32_t);
std::int32_t HOST_CALL on_volume_up(PIXEL_POINT*, std::uint32_t);
std::int32_t HOST_CALL on_prev_track(PIXEL_POINT*, std::uint32_t);
std::int32_t HOST_CALL on_next_track(PIXEL_POINT*, std::uint32_t);
std::int32_t HOST_CALL on_pause(PIXEL_POINT*, std::uint32_t);
