// WinMM over the simulated CD drive and mixer (which trace what they are told): natively the
// platform's own entry points, on Windows the ones the intercept hands a module (winmm_calls.h).
#include "platform/sim/winmm_calls.h"

#include "platform/sim/cd_drive.h"
#include "platform/sim/mixer.h"

#if defined(_WIN32)
namespace sim::winmm {
#endif

MCIERROR WINAPI mciSendStringA(LPCSTR command, LPSTR reply, UINT reply_size, HWND)
{
    return sim::cd_drive().send_string(command, reply, reply_size);
}

MCIERROR WINAPI mciSendCommandA(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parameters)
{
    return sim::cd_drive().send_command(device, message, flags, parameters);
}

MCIDEVICEID WINAPI mciGetDeviceIDA(LPCSTR device)
{
    return sim::cd_drive().device_id(device);
}

MMRESULT WINAPI mixerOpen(LPHMIXER mixer, UINT device, DWORD_PTR callback, DWORD_PTR instance, DWORD flags)
{
    return sim::mixer().open(mixer, device, callback, instance, flags);
}

MMRESULT WINAPI mixerClose(HMIXER mixer)
{
    return sim::mixer().close(mixer);
}

MMRESULT WINAPI mixerGetLineInfoA(HMIXEROBJ mixer, LPMIXERLINEA line, DWORD flags)
{
    return sim::mixer().get_line_info(mixer, line, flags);
}

MMRESULT WINAPI mixerGetLineControlsA(HMIXEROBJ mixer, LPMIXERLINECONTROLSA controls, DWORD flags)
{
    return sim::mixer().get_line_controls(mixer, controls, flags);
}

MMRESULT WINAPI mixerGetControlDetailsA(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags)
{
    return sim::mixer().get_control_details(mixer, details, flags);
}

MMRESULT WINAPI mixerSetControlDetails(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags)
{
    return sim::mixer().set_control_details(mixer, details, flags);
}

#if defined(_WIN32)
}  // namespace sim::winmm
#endif
