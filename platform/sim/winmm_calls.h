// The WinMM calls as the simulated CD drive and mixer answer them, with their trace lines: the
// native WinMM stand-in is made of these, and the Windows bench puts them in a module's imports.
#pragma once

#include "platform/platform.h"
#include "platform/sim/simulation.h"

namespace sim {

SIM_API MCIERROR mci_send_string(LPCSTR command, LPSTR reply, UINT reply_size);
SIM_API MCIERROR mci_send_command(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parameters);
SIM_API MCIDEVICEID mci_get_device_id(LPCSTR device);
SIM_API MMRESULT mixer_open(LPHMIXER mixer, UINT device, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
SIM_API MMRESULT mixer_close(HMIXER mixer);
SIM_API MMRESULT mixer_get_line_info(HMIXEROBJ mixer, LPMIXERLINEA line, DWORD flags);
SIM_API MMRESULT mixer_get_line_controls(HMIXEROBJ mixer, LPMIXERLINECONTROLSA controls, DWORD flags);
SIM_API MMRESULT mixer_get_control_details(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags);
SIM_API MMRESULT mixer_set_control_details(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags);

}  // namespace sim
