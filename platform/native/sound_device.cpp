// Native sound device: DirectSound 8's device and secondary buffers over the simulated ones.
#include "platform/native/com_objects.h"
#include "platform/native/media_registry.h"
#include "platform/sim/com_object.h"
#include "platform/sim/sound_device.h"

#include <set>

extern "C" const CLSID CLSID_DirectSound8 = {0x3901cc3f, 0x84b5, 0x4fa4, {0xba, 0x35, 0xaa, 0x81, 0x72, 0xb8, 0xa0, 0x9b}};
extern "C" const IID IID_IDirectSound8 = {0xc50a7e93, 0xf395, 0x4834, {0x9e, 0xf6, 0x7f, 0xa9, 0x9d, 0xe5, 0x09, 0x66}};
extern "C" const IID IID_IDirectSoundBuffer = {0x279afa85, 0x4981, 0x11ce, {0xa5, 0x21, 0x00, 0x20, 0xaf, 0x0b, 0xe5, 0x60}};

namespace {

class DirectSoundBuffer;
std::set<const DirectSoundBuffer*>& live_buffers()
{
    static std::set<const DirectSoundBuffer*> buffers;
    return buffers;
}

class DirectSoundBuffer final : public sim::com::Object<IDirectSoundBuffer> {
public:
    explicit DirectSoundBuffer(const DSBUFFERDESC& description) : buffer_(description) { live_buffers().insert(this); }

    const sim::SoundBufferInfo& info() const { return buffer_.info(); }

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
    ~DirectSoundBuffer() override { live_buffers().erase(this); }

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

namespace sim::com {

HRESULT create_direct_sound(REFIID iid, void** object)
{
    return create<DirectSound>(iid, object);
}

}  // namespace sim::com

namespace sim {

bool sound_buffer_info(const IDirectSoundBuffer* buffer, SoundBufferInfo& info)
{
    for (const DirectSoundBuffer* live : live_buffers())
        if (static_cast<const IDirectSoundBuffer*>(live) == buffer) {
            info = live->info();
            return true;
        }
    return false;
}

}  // namespace sim
