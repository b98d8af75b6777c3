// On Windows: DirectSound 8's device and secondary buffers, as the platform declares them, over
// the simulated ones. What the radio does not call answers E_NOTIMPL.
#include "platform/windows/simulated_media.h"

#include "platform/sim/com_object.h"
#include "platform/sim/sound_device.h"

namespace {

class DirectSoundBuffer final : public sim::com::Object<IDirectSoundBuffer> {
public:
    explicit DirectSoundBuffer(const DSBUFFERDESC& description) : buffer_(description) {}

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
    HRESULT STDMETHODCALLTYPE GetCaps(LPDSBCAPS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrentPosition(LPDWORD, LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFormat(LPWAVEFORMATEX, DWORD, LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVolume(LPLONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPan(LPLONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFrequency(LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStatus(LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTSOUND, LPCDSBUFFERDESC) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetCurrentPosition(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetFormat(LPCWAVEFORMATEX) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPan(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetFrequency(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stop() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Restore() override { return E_NOTIMPL; }

private:
    HRESULT find_interface(REFIID iid, void*& pointer) override
    {
        const sim::com::InterfaceEntry entries[] = {
            {&IID_IUnknown, nullptr, static_cast<IDirectSoundBuffer*>(this)},
            {&IID_IDirectSoundBuffer, nullptr, static_cast<IDirectSoundBuffer*>(this)},
        };
        return answer(entries, iid, pointer);
    }

    sim::SoundBuffer buffer_;
};

class DirectSound final : public sim::com::Object<IDirectSound8> {
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
    HRESULT STDMETHODCALLTYPE GetCaps(LPDSCAPS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER, LPLPDIRECTSOUNDBUFFER) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Compact() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSpeakerConfig(LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSpeakerConfig(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VerifyCertification(LPDWORD) override { return E_NOTIMPL; }

private:
    HRESULT find_interface(REFIID iid, void*& pointer) override
    {
        const sim::com::InterfaceEntry entries[] = {
            {&IID_IUnknown, nullptr, static_cast<IDirectSound8*>(this)},
            {&IID_IDirectSound8, nullptr, static_cast<IDirectSound8*>(this)},
        };
        return answer(entries, iid, pointer);
    }

    sim::SoundDevice device_;
};

}  // namespace

namespace sim::windows {

HRESULT create_direct_sound(REFIID iid, void** object)
{
    return sim::com::create<DirectSound>(iid, object);
}

}  // namespace sim::windows
