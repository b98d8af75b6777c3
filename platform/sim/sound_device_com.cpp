// The sound device's COM face in both builds: DirectSound 8's device and secondary buffers over
// the simulated ones.
#include "platform/sim/com_classes.h"
#include "platform/sim/com_object.h"
#include "platform/sim/sound_device.h"

namespace sim::com {

class DirectSoundBuffer final : public Object<IDirectSoundBuffer> {
public:
    explicit DirectSoundBuffer(const DSBUFFERDESC& description) : buffer_(description, this) {}

    HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2,
                                   LPDWORD bytes2, DWORD flags) override
    {
        return buffer_.lock(offset, bytes, audio1, bytes1, audio2, bytes2, flags);
    }
    HRESULT STDMETHODCALLTYPE Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) override
    {
        return buffer_.unlock(audio1, bytes1, audio2, bytes2);
    }
    HRESULT STDMETHODCALLTYPE Play(DWORD reserved, DWORD priority, DWORD flags) override
    {
        return buffer_.play(reserved, priority, flags);
    }
    HRESULT STDMETHODCALLTYPE SetVolume(LONG volume) override { return buffer_.set_volume(volume); }

private:
    SoundBuffer buffer_;
};

class DirectSound final : public Object<IDirectSound8> {
public:
    HRESULT STDMETHODCALLTYPE Initialize(LPCGUID device) override { return device_.initialize(device); }

    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD level) override
    {
        return device_.set_cooperative_level(window, level);
    }

    HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC description, LPLPDIRECTSOUNDBUFFER buffer,
                                                LPUNKNOWN outer) override
    {
        return device_.create_buffer<DirectSoundBuffer>(description, buffer, outer);
    }

private:
    SoundDevice device_;
};

HRESULT create_direct_sound(REFIID iid, void** object)
{
    return create<DirectSound>(iid, object);
}

}  // namespace sim::com
