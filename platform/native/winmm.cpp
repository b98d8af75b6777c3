// Native WinMM: the media control interface and the mixer, answered by the simulated CD drive and
// mixer.
#include "platform/sim/winmm_calls.h"

MCIERROR WINAPI mciSendStringA(LPCSTR command, LPSTR reply, UINT reply_size, HWND)
{
    return sim::mci_send_string(command, reply, reply_size);
}

MCIERROR WINAPI mciSendCommandA(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parameters)
{
    return sim::mci_send_command(device, message, flags, parameters);
}

MCIDEVICEID WINAPI mciGetDeviceIDA(LPCSTR device)
{
    return sim::mci_get_device_id(device);
}

MMRESULT WINAPI mixerOpen(LPHMIXER mixer, UINT device, DWORD_PTR callback, DWORD_PTR instance, DWORD flags)
{
    return sim::mixer_open(mixer, device, callback, instance, flags);
}

MMRESULT WINAPI mixerClose(HMIXER mixer)
{
    return sim::mixer_close(mixer);
}

MMRESULT WINAPI mixerGetLineInfoA(HMIXEROBJ mixer, LPMIXERLINEA line, DWORD flags)
{
    return sim::mixer_get_line_info(mixer, line, flags);
}

MMRESULT WINAPI mixerGetLineControlsA(HMIXEROBJ mixer, LPMIXERLINECONTROLSA controls, DWORD flags)
{
    return sim::mixer_get_line_controls(mixer, controls, flags);
}

MMRESULT WINAPI mixerGetControlDetailsA(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags)
{
    return sim::mixer_get_control_details(mixer, details, flags);
}

MMRESULT WINAPI mixerSetControlDetails(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags)
{
    return sim::mixer_set_control_details(mixer, details, flags);
}
