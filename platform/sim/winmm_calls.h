// The WinMM calls that reach the simulated CD drive and mixer: the media control interface and
// the mixer. Natively they are WinMM itself, exported by libwinplatform under the platform's names
// (declared in win32/win32_mmsystem.h). On Windows the platform's headers already give those
// names to the real WinMM, so the same calls live in sim::winmm, where the bench's intercept
// points a module's imports at them.
#pragma once

#include "platform/platform.h"

#if defined(_WIN32)
namespace sim::winmm {

MCIERROR WINAPI mciSendStringA(LPCSTR command, LPSTR reply, UINT reply_size, HWND callback);
MCIERROR WINAPI mciSendCommandA(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parameters);
MCIDEVICEID WINAPI mciGetDeviceIDA(LPCSTR device);
MMRESULT WINAPI mixerOpen(LPHMIXER mixer, UINT device, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
MMRESULT WINAPI mixerClose(HMIXER mixer);
MMRESULT WINAPI mixerGetLineInfoA(HMIXEROBJ mixer, LPMIXERLINEA line, DWORD flags);
MMRESULT WINAPI mixerGetLineControlsA(HMIXEROBJ mixer, LPMIXERLINECONTROLSA controls, DWORD flags);
MMRESULT WINAPI mixerGetControlDetailsA(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags);
MMRESULT WINAPI mixerSetControlDetails(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags);

}  // namespace sim::winmm
#endif
