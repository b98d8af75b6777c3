// The click sound: the DirectSound 8 device and the static buffer of the click.
#include "radio/audio/click_sound.h"
#include "radio/audio/module_instance.h"
#include "radio/audio/wave_file.h"

#include <algorithm>
#include <cstring>

SoundDevice sound_device = {nullptr, 0};

namespace {

// Create a static buffer of the description and fill it with the samples; null if either fails.
LPDIRECTSOUNDBUFFER sound_buffer_create(const DSBUFFERDESC* description, const BYTE* samples)
{
    // Without a sound device the radio works on without its click.
    if (!sound_device.device)
        return nullptr;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    if (FAILED(sound_device.device->CreateSoundBuffer(description, &buffer, nullptr)))
        return nullptr;
    if (!sound_buffer_fill(buffer, samples, description->dwBufferBytes)) {
        buffer->Release();
        return nullptr;
    }
    return buffer;
}

}  // namespace

int click_device_open(HINSTANCE instance)
{
    module_instance = instance;
    // A failing CoInitialize leaves COM as the thread had it; the device may still be created
    // if the thread had COM already.
    sound_device.com_initialized = SUCCEEDED(CoInitialize(nullptr)) ? 1 : 0;
    if (FAILED(CoCreateInstance(CLSID_DirectSound8, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound8,
                                reinterpret_cast<void**>(&sound_device.device)))) {
        sound_device.device = nullptr;
        return 1;
    }
    sound_device.device->Initialize(nullptr);
    sound_device.device->SetCooperativeLevel(GetActiveWindow(), DSSCL_NORMAL);
    return 1;
}

LPDIRECTSOUNDBUFFER click_load_sound(LPCSTR name)
{
    DSBUFFERDESC description;
    std::memset(&description, 0, sizeof description);
    description.dwSize = sizeof description;
    description.dwFlags = CLICK_BUFFER_FLAGS;
    description.dwReserved = 0;
    description.guid3DAlgorithm = GUID_NULL;
    const BYTE* samples = nullptr;
    if (wave_from_resource(module_instance, name, &description.lpwfxFormat, &samples, &description.dwBufferBytes))
        return sound_buffer_create(&description, samples);
    LPVOID view = nullptr;
    if (!wave_from_file(name, &description.lpwfxFormat, &samples, &description.dwBufferBytes, &view))
        return nullptr;
    LPDIRECTSOUNDBUFFER buffer = sound_buffer_create(&description, samples);
    UnmapViewOfFile(view);
    return buffer;
}

int sound_buffer_fill(LPDIRECTSOUNDBUFFER buffer, const BYTE* samples, DWORD size)
{
    if (!buffer || !samples || size == 0)
        return 0;
    LPVOID first = nullptr;
    LPVOID second = nullptr;
    DWORD first_size = 0;
    DWORD second_size = 0;
    if (FAILED(buffer->Lock(0, size, &first, &first_size, &second, &second_size, 0)))
        return 0;
    // The regions together never take more than the samples hold.
    DWORD copied = std::min(first_size, size);
    std::memcpy(first, samples, copied);
    if (second && second_size != 0)
        std::memcpy(second, samples + copied, std::min(second_size, size - copied));
    buffer->Unlock(first, first_size, second, second_size);
    return 1;
}

int click_play(LPDIRECTSOUNDBUFFER buffer, DWORD flags)
{
    if (buffer)
        buffer->Play(0, 0, flags);
    return 1;
}

int click_set_volume(LPDIRECTSOUNDBUFFER buffer, LONG volume)
{
    if (buffer)
        buffer->SetVolume(std::clamp<LONG>(volume, DSBVOLUME_MIN, DSBVOLUME_MAX));
    return 1;
}

int click_release_sound(LPDIRECTSOUNDBUFFER buffer)
{
    if (buffer)
        buffer->Release();
    return 1;
}

int click_device_close()
{
    if (sound_device.device)
        sound_device.device->Release();
    sound_device.device = nullptr;
    return 1;
}

int click_com_initialized()
{
    return sound_device.com_initialized;
}
