// The compact-disc line of the sound card's mixer (WinMM mixer): its volume control, set from
// the radio's CD volume.
#pragma once

#include "platform/platform.h"

#include <cstdint>

struct CdLineMixer {
    HMIXER mixer;                          // null when none is open
    MIXERLINEA line;                       // the compact-disc line
    MIXERCONTROLA volume_control;          // its volume control
    DWORD level_min;                       // the control's bounds
    DWORD level_max;
    MIXERCONTROLDETAILS details;           // the request that reads and sets the control
    MIXERCONTROLDETAILS_UNSIGNED level;    // the one value that details carries
};

extern CdLineMixer cd_line_mixer;

// Opens mixer 0 and finds the line's volume control: 1 when it was found and read, else 0. A
// mixer that cannot be opened is reported in a message box.
std::int32_t cd_line_open();
// Sets the control from a volume in hundredths of a decibel (-10000 silent, 0 full), clamped.
void cd_line_set_volume(std::int32_t volume);
// Closes the mixer: 1 when closed, else 0, reported in a message box.
std::int32_t cd_line_close();
