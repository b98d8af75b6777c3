// The WinMM calls answered by the simulated CD drive and mixer, each string command and command
// message traced.
#include "platform/sim/winmm_calls.h"

#include "platform/sim/cd_drive.h"
#include "platform/sim/mixer.h"

namespace sim {
namespace {

std::uintptr_t handle_value(const void* handle)
{
    return reinterpret_cast<std::uintptr_t>(handle);
}

}  // namespace

MCIERROR mci_send_string(LPCSTR command, LPSTR reply, UINT reply_size)
{
    MCIERROR result = cd_drive().send_string(command, reply, reply_size);
    trace("mci \"%s\" -> %u", command ? command : "", static_cast<unsigned>(result));
    return result;
}

MCIERROR mci_send_command(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parameters)
{
    MCIERROR result = cd_drive().send_command(device, message, flags, parameters);
    trace("mci-command 0x%x 0x%llx -> %u", message, static_cast<unsigned long long>(flags),
          static_cast<unsigned>(result));
    return result;
}

MCIDEVICEID mci_get_device_id(LPCSTR device)
{
    return cd_drive().device_id(device);
}

MMRESULT mixer_open(LPHMIXER mixer, UINT device, DWORD_PTR callback, DWORD_PTR instance, DWORD flags)
{
    if (!mixer)
        return MMSYSERR_INVALPARAM;
    std::uintptr_t handle = 0;
    MMRESULT result = sim::mixer().open(&handle, device, callback, instance, flags);
    if (result == MMSYSERR_NOERROR)
        *mixer = reinterpret_cast<HMIXER>(handle);
    return result;
}

MMRESULT mixer_close(HMIXER mixer)
{
    return sim::mixer().close(handle_value(mixer));
}

MMRESULT mixer_get_line_info(HMIXEROBJ mixer, LPMIXERLINEA line, DWORD flags)
{
    return sim::mixer().get_line_info(handle_value(mixer), line, flags);
}

MMRESULT mixer_get_line_controls(HMIXEROBJ mixer, LPMIXERLINECONTROLSA controls, DWORD flags)
{
    return sim::mixer().get_line_controls(handle_value(mixer), controls, flags);
}

MMRESULT mixer_get_control_details(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags)
{
    return sim::mixer().get_control_details(handle_value(mixer), details, flags);
}

MMRESULT mixer_set_control_details(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags)
{
    return sim::mixer().set_control_details(handle_value(mixer), details, flags);
}

}  // namespace sim
