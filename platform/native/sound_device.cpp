// Native sound device: a DirectSound 8 device whose secondary buffers hold their bytes in memory
// and honour Lock (with a second region when the split is set), Unlock, Play and SetVolume.
#include "platform/native/com_objects.h"
#include "platform/native/media_registry.h"
#include "platform/sim/media.h"

#include <cstring>
#include <set>

extern "C" const CLSID CLSID_DirectSound8 = {0x3901cc3f, 0x84b5, 0x4fa4, {0xba, 0x35, 0xaa, 0x81, 0x72, 0xb8, 0xa0, 0x9b}};
extern "C" const IID IID_IDirectSound8 = {0xc50a7e93, 0xf395, 0x4834, {0x9e, 0xf6, 0x7f, 0xa9, 0x9d, 0xe5, 0x09, 0x66}};
extern "C" const IID IID_IDirectSoundBuffer = {0x279afa85, 0x4981, 0x11ce, {0xa5, 0x21, 0x00, 0x20, 0xaf, 0x0b, 0xe5, 0x60}};

namespace {

constexpr std::size_t PCM_FORMAT_SIZE = 16;   // WAVEFORMATEX up to its bits per sample

class SoundBuffer;
std::set<const SoundBuffer*>& live_buffers()
{
    static std::set<const SoundBuffer*> buffers;
    return buffers;
}

// A PCM format the device can mix: 1 or 2 channels of 8 or 16 bits, with consistent block and
// byte rates.
bool playable_format(const WAVEFORMATEX& format)
{
    if (format.wFormatTag != WAVE_FORMAT_PCM)
        return false;
    if (format.nChannels < 1 || format.nChannels > 2)
        return false;
    if (format.wBitsPerSample != 8 && format.wBitsPerSample != 16)
        return false;
    if (format.nSamplesPerSec < 100 || format.nSamplesPerSec > 200000)
        return false;
    return format.nBlockAlign == format.nChannels * format.wBitsPerSample / 8 &&
           format.nAvgBytesPerSec == format.nSamplesPerSec * format.nBlockAlign;
}

class SoundBuffer final : public IDirectSoundBuffer {
public:
    SoundBuffer(const DSBUFFERDESC& description)
    {
        info_.bytes.assign(description.dwBufferBytes, 0);
        // A PCM format is read without its cbSize, as the device does.
        std::memcpy(&info_.format, description.lpwfxFormat, PCM_FORMAT_SIZE);
        info_.format.cbSize = 0;
        info_.flags = description.dwFlags;
        live_buffers().insert(this);
        sim::com::object_created();
    }

    const sim::SoundBufferInfo& info() const { return info_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDirectSoundBuffer)
            return E_NOINTERFACE;
        *object = static_cast<IDirectSoundBuffer*>(this);
        AddRef();
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }

    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = --references_;
        if (left == 0) {
            live_buffers().erase(this);
            sim::com::object_destroyed();
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2,
                                   LPDWORD bytes2, DWORD flags) override
    {
        HRESULT failure;
        if (sim::com::injected("Lock", failure))
            return failure;
        if (!audio1 || !bytes1 || info_.locked)
            return DSERR_INVALIDPARAM;
        DWORD size = static_cast<DWORD>(info_.bytes.size());
        if (flags & DSBLOCK_ENTIREBUFFER)
            bytes = size;
        if (offset >= size || bytes == 0 || bytes > size)
            return DSERR_INVALIDPARAM;
        // A lock past the end wraps to the start, as a circular buffer does; the test split
        // breaks a lock that does not wrap into two consecutive regions.
        DWORD first = offset + bytes > size ? size - offset : bytes;
        DWORD split = sim::media::lock_split();
        if (first == bytes && split > 0 && split < bytes)
            first = split;
        DWORD second = bytes - first;
        if (second > 0 && (!audio2 || !bytes2))
            return DSERR_INVALIDPARAM;
        unsigned char* base = info_.bytes.data();
        lock1_ = base + offset;
        length1_ = first;
        lock2_ = second == 0 ? nullptr : (offset + bytes > size ? base : base + offset + first);
        length2_ = second;
        *audio1 = lock1_;
        *bytes1 = length1_;
        if (audio2)
            *audio2 = lock2_;
        if (bytes2)
            *bytes2 = length2_;
        info_.locked = true;
        return DS_OK;
    }

    HRESULT STDMETHODCALLTYPE Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) override
    {
        if (!info_.locked || audio1 != lock1_ || bytes1 > length1_)
            return DSERR_INVALIDPARAM;
        if ((audio2 || bytes2) && (audio2 != lock2_ || bytes2 > length2_))
            return DSERR_INVALIDPARAM;
        info_.locked = false;
        return DS_OK;
    }

    HRESULT STDMETHODCALLTYPE Play(DWORD reserved, DWORD priority, DWORD flags) override
    {
        HRESULT failure;
        if (sim::com::injected("Play", failure))
            return failure;
        if (reserved != 0)
            return DSERR_INVALIDPARAM;
        if (priority != 0 && !(info_.flags & DSBCAPS_LOCDEFER))
            return DSERR_INVALIDCALL;
        ++info_.plays;
        info_.last_play_flags = flags;
        sim::trace("dsound play");
        return DS_OK;
    }

    HRESULT STDMETHODCALLTYPE SetVolume(LONG volume) override
    {
        HRESULT failure;
        if (sim::com::injected("SetVolume", failure))
            return failure;
        if (!(info_.flags & DSBCAPS_CTRLVOLUME))
            return DSERR_CONTROLUNAVAIL;
        if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX)
            return DSERR_INVALIDPARAM;
        info_.volume = volume;
        sim::trace("dsound volume %d", static_cast<int>(volume));
        return DS_OK;
    }

private:
    ~SoundBuffer() = default;

    ULONG references_ = 1;
    sim::SoundBufferInfo info_;
    void* lock1_ = nullptr;
    void* lock2_ = nullptr;
    DWORD length1_ = 0;
    DWORD length2_ = 0;
};

class DirectSound final : public IDirectSound8 {
public:
    DirectSound() { sim::com::object_created(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDirectSound8)
            return E_NOINTERFACE;
        *object = static_cast<IDirectSound8*>(this);
        AddRef();
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }

    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = --references_;
        if (left == 0) {
            sim::com::object_destroyed();
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE Initialize(LPCGUID device) override
    {
        HRESULT failure;
        if (sim::com::injected("Initialize", failure))
            return failure;
        if (initialized_)
            return DSERR_ALREADYINITIALIZED;
        if (device && *device != GUID_NULL)
            return DSERR_NODRIVER;   // only the default playback device exists
        initialized_ = true;
        return DS_OK;
    }

    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND, DWORD level) override
    {
        if (!initialized_)
            return DSERR_UNINITIALIZED;
        if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY)
            return DSERR_INVALIDPARAM;
        return DS_OK;
    }

    HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC description, LPLPDIRECTSOUNDBUFFER buffer,
                                                LPUNKNOWN outer) override
    {
        if (!buffer)
            return DSERR_INVALIDPARAM;
        *buffer = nullptr;
        HRESULT failure;
        if (sim::com::injected("CreateSoundBuffer", failure))
            return failure;
        if (!initialized_)
            return DSERR_UNINITIALIZED;
        if (outer)
            return DSERR_NOAGGREGATION;
        if (!description || description->dwSize != sizeof(DSBUFFERDESC) || !description->lpwfxFormat ||
            (description->dwFlags & DSBCAPS_PRIMARYBUFFER))
            return DSERR_INVALIDPARAM;
        if (description->dwBufferBytes < DSBSIZE_MIN || description->dwBufferBytes > DSBSIZE_MAX)
            return DSERR_INVALIDPARAM;
        if (!playable_format(*description->lpwfxFormat))
            return DSERR_BADFORMAT;
        *buffer = new SoundBuffer(*description);
        return DS_OK;
    }

private:
    ~DirectSound() = default;

    ULONG references_ = 1;
    bool initialized_ = false;
};

}  // namespace

namespace sim::com {

HRESULT create_direct_sound(REFIID iid, void** object)
{
    DirectSound* device = new DirectSound();
    HRESULT result = device->QueryInterface(iid, object);
    device->Release();
    return result;
}

}  // namespace sim::com

namespace sim {

std::size_t sound_buffer_count()
{
    return live_buffers().size();
}

std::vector<SoundBufferInfo> sound_buffer_infos()
{
    std::vector<SoundBufferInfo> infos;
    for (const SoundBuffer* live : live_buffers())
        infos.push_back(live->info());
    return infos;
}

bool sound_buffer_info(const IDirectSoundBuffer* buffer, SoundBufferInfo& info)
{
    for (const SoundBuffer* live : live_buffers())
        if (static_cast<const IDirectSoundBuffer*>(live) == buffer) {
            info = live->info();
            return true;
        }
    return false;
}

}  // namespace sim
