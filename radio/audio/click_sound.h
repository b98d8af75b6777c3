// The click sound over the DirectSound 8 device: one static buffer loaded once from a wave
// image and played on every click.
#pragma once

#include "platform/platform.h"

// The buffer's capabilities: static, with frequency, pan and volume control, and the precise
// play cursor.
constexpr DWORD CLICK_BUFFER_FLAGS = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                                     DSBCAPS_GETCURRENTPOSITION2;

struct SoundDevice {
    LPDIRECTSOUND8 device;   // null while closed, and when the device could not be created
    // 1 when the last open's CoInitialize succeeded (S_OK or S_FALSE): only then does the
    // thread owe COM its CoUninitialize.
    int com_initialized;
};

extern SoundDevice sound_device;

int click_device_open(HINSTANCE instance);
// A static buffer holding the sound of the resource or the file of that name, or null.
LPDIRECTSOUNDBUFFER click_load_sound(LPCSTR name);
int click_set_volume(LPDIRECTSOUNDBUFFER buffer, LONG volume);
int click_play(LPDIRECTSOUNDBUFFER buffer, DWORD flags);
int click_release_sound(LPDIRECTSOUNDBUFFER buffer);
int click_device_close();
// Whether the kill must balance the open's COM initialisation with CoUninitialize; read after
// click_device_close, it keeps its value until the next open.
int click_com_initialized();
// Copies the samples into the buffer through one lock of both its regions; 1 when copied.
int sound_buffer_fill(LPDIRECTSOUNDBUFFER buffer, const BYTE* samples, DWORD size);
