// The simulated sound device: a DirectSound 8 device whose secondary buffers hold their bytes in
// memory and honour Lock (with a second region when the tests split it), Unlock, Play and
// SetVolume.
#pragma once

#include "platform/platform.h"
#include "platform/sim/simulation.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

struct SoundBufferInfo {
    std::uint32_t id = 0;      // one for each buffer the process made, from 1
    std::vector<unsigned char> bytes;
    WAVEFORMATEX format{};
    DWORD flags = 0;           // the description's DSBCAPS_ flags
    LONG volume = 0;
    unsigned plays = 0;
    DWORD last_play_flags = 0;
    bool locked = false;
};

// One secondary buffer; its COM face (sound_device_com.cpp) forwards its calls here. Each
// operation answers the platform's result; Play and SetVolume trace what took effect ("dsound
// play", "dsound volume V").
class SIM_API SoundBuffer {
public:
    // face: the interface the module holds, by which sound_buffer_info finds the buffer.
    SoundBuffer(const DSBUFFERDESC& description, const IDirectSoundBuffer* face);
    ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    HRESULT lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2, LPDWORD bytes2,
                 DWORD flags);
    HRESULT unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2);
    HRESULT play(DWORD reserved, DWORD priority, DWORD flags);
    HRESULT set_volume(LONG volume);

    const SoundBufferInfo& info() const { return info_; }
    const IDirectSoundBuffer* face() const { return face_; }

private:
    SoundBufferInfo info_;
    const IDirectSoundBuffer* face_;
    void* lock1_ = nullptr;
    void* lock2_ = nullptr;
    DWORD length1_ = 0;
    DWORD length2_ = 0;
};

// The device: only the default playback device exists, and it makes static secondary buffers
// of PCM formats that it can mix.
class SIM_API SoundDevice {
public:
    HRESULT initialize(LPCGUID device);
    HRESULT set_cooperative_level(HWND window, DWORD level) const;
    // CreateSoundBuffer, for the COM face whose buffer class is Buffer: a new buffer of the
    // description in *buffer, or null there and why not.
    template <typename Buffer, typename Interface>
    HRESULT create_buffer(LPCDSBUFFERDESC description, Interface** buffer, LPUNKNOWN outer) const
    {
        if (!buffer)
            return DSERR_INVALIDPARAM;
        *buffer = nullptr;
        HRESULT result = check_buffer(description, outer);
        if (SUCCEEDED(result))
            *buffer = new Buffer(*description);
        return result;
    }

private:
    // DS_OK when a buffer of the description can be made, else why not.
    HRESULT check_buffer(LPCDSBUFFERDESC description, LPUNKNOWN outer) const;

    bool initialized_ = false;
};

SIM_API std::size_t sound_buffer_count();
// The state of every live buffer, in the order they were made.
SIM_API std::vector<SoundBufferInfo> sound_buffer_infos();
// The state of the live buffer behind the interface; false for anything else.
SIM_API bool sound_buffer_info(const IDirectSoundBuffer* buffer, SoundBufferInfo& info);

}  // namespace sim
