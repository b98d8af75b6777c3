// Native WinMM: the media control interface over the simulated CD drive, which traces every string
// command and command message, and the mixer calls over the simulated mixer.
#include "platform/platform.h"
#include "platform/sim/cd_drive.h"
#include "platform/sim/mixer.h"
#include "platform/sim/simulation.h"

namespace {

std::uintptr_t handle_value(const void* handle)
{
    return reinterpret_cast<std::uintptr_t>(handle);
}

}  // namespace

MCIERROR WINAPI mciSendStringA(LPCSTR command, LPSTR reply, UINT reply_size, HWND)
{
    MCIERROR result = sim::cd_drive().send_string(command, reply, reply_size);
    sim::trace("mci \"%s\" -> %u", command ? command : "", static_cast<unsigned>(result));
    return result;
}

MCIERROR WINAPI mciSendCommandA(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parameters)
{
    MCIERROR result = sim::cd_drive().send_command(device, message, flags, parameters);
    sim::trace("mci-command 0x%x 0x%llx -> %u", message, static_cast<unsigned long long>(flags),
               static_cast<unsigned>(result));
    return result;
}

MCIDEVICEID WINAPI mciGetDeviceIDA(LPCSTR device)
{
    return sim::cd_drive().device_id(device);
}

MMRESULT WINAPI mixerOpen(LPHMIXER mixer, UINT device, DWORD_PTR callback, DWORD_PTR instance, DWORD flags)
{
    if (!mixer)
        return MMSYSERR_INVALPARAM;
    std::uintptr_t handle = 0;
    MMRESULT result = sim::mixer().open(&handle, device, callback, instance, flags);
    if (result == MMSYSERR_NOERROR)
        *mixer = reinterpret_cast<HMIXER>(handle);
    return result;
}

MMRESULT WINAPI mixerClose(HMIXER mixer)
{
    return sim::mixer().close(handle_value(mixer));
}

MMRESULT WINAPI mixerGetLineInfoA(HMIXEROBJ mixer, LPMIXERLINEA line, DWORD flags)
{
    return sim::mixer().get_line_info(handle_value(mixer), line, flags);
}

MMRESULT WINAPI mixerGetLineControlsA(HMIXEROBJ mixer, LPMIXERLINECONTROLSA controls, DWORD flags)
{
    return sim::mixer().get_line_controls(handle_value(mixer), controls, flags);
}

MMRESULT WINAPI mixerGetControlDetailsA(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags)
{
    return sim::mixer().get_control_details(handle_value(mixer), details, flags);
}

MMRESULT WINAPI mixerSetControlDetails(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags)
{
    return sim::mixer().set_control_details(handle_value(mixer), details, flags);
}
