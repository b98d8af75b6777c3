// The autopilot switch panel: the records and routines its two source files share.
#pragma once

#include "host/panel_host.h"

#include <cstdint>

// The host writes its service table into this record before it calls any routine of the gauge.
extern GAUGE_EXPORT IMPORT_TABLE ImportTable;

namespace autohelm {

// key events, all sent with the value 0
constexpr std::uint32_t KEY_MASTER_OFF = 0x100FF;
constexpr std::uint32_t KEY_MASTER_ON = 0x10100;
constexpr std::uint32_t KEY_MODE_ENGAGE_FIRST = 0x100BD;   // the mode-engage pair
constexpr std::uint32_t KEY_MODE_ENGAGE_SECOND = 0x100BE;
constexpr std::uint32_t KEY_MODE_RELEASE_FIRST = 0x10117;  // the mode-release pair
constexpr std::uint32_t KEY_MODE_RELEASE_SECOND = 0x10118;
constexpr std::uint32_t KEY_KNOB_UP = 0x10157;             // sent by the host from the mouse table
constexpr std::uint32_t KEY_KNOB_DOWN = 0x10158;

// the sim variables the panel reads
constexpr std::uint32_t VAR_AUTOPILOT_MASTER = 103;
constexpr std::uint32_t VAR_AUTOPILOT_MODE_106 = 106;
constexpr std::uint32_t VAR_AUTOPILOT_MODE_108 = 108;

inline PANEL_SERVICES* host()
{
    return panel_services(ImportTable);
}

extern GAUGEHDR autohelm_header;
extern MOUSERECT autohelm_mouse_rects[16];

// The sim variables, as the last update's lookup_var left them.
extern MODULE_VAR master_var;     // 103: the autopilot master, non-zero while on
extern MODULE_VAR mode_var_106;   // the first autopilot mode, non-zero while engaged
extern MODULE_VAR mode_var_108;   // the second autopilot mode, non-zero while engaged

// The lever positions of the engage and inhibit switches, 0 or 1. Only their handlers write
// them, and nothing resets them while the library stays loaded.
extern std::int32_t engage_switch_on;
extern std::int32_t inhibit_switch_on;

}  // namespace autohelm
