// The simulated sound device and its secondary buffers.
#include "platform/sim/sound_device.h"

#include "platform/sim/media.h"
#include "platform/sim/registry.h"

#include <cstring>

namespace sim {
namespace {

constexpr std::size_t PCM_FORMAT_SIZE = 16;   // WAVEFORMATEX up to its bits per sample

// by id, so in the order they were made
Registry<std::uint32_t, const SoundBuffer*>& live_buffers()
{
    static Registry<std::uint32_t, const SoundBuffer*> buffers;
    return buffers;
}
std::uint32_t buffers_made = 0;

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

}  // namespace

SoundBuffer::SoundBuffer(const DSBUFFERDESC& description, const IDirectSoundBuffer* face) : face_(face)
{
    info_.id = ++buffers_made;
    info_.bytes.assign(description.dwBufferBytes, 0);
    // A PCM format is read without its cbSize, as the device does.
    std::memcpy(&info_.format, description.lpwfxFormat, PCM_FORMAT_SIZE);
    info_.format.cbSize = 0;
    info_.flags = description.dwFlags;
    live_buffers().add(info_.id, this);
}

SoundBuffer::~SoundBuffer()
{
    live_buffers().remove(info_.id);
}

HRESULT SoundBuffer::lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2, LPDWORD bytes2,
                          DWORD flags)
{
    HRESULT failure;
    if (media::injected("Lock", failure))
        return failure;
    if (!audio1 || !bytes1 || info_.locked)
        return DSERR_INVALIDPARAM;
    DWORD size = static_cast<DWORD>(info_.bytes.size());
    if (flags & DSBLOCK_ENTIREBUFFER)
        bytes = size;
    if (offset >= size || bytes == 0 || bytes > size)
        return DSERR_INVALIDPARAM;
    // A lock past the end wraps to the start, as a circular buffer does; the test split breaks a
    // lock that does not wrap into two consecutive regions.
    DWORD first = offset + bytes > size ? size - offset : bytes;
    DWORD split = media::lock_split();
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

HRESULT SoundBuffer::unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2)
{
    if (!info_.locked || audio1 != lock1_ || bytes1 > length1_)
        return DSERR_INVALIDPARAM;
    if ((audio2 || bytes2) && (audio2 != lock2_ || bytes2 > length2_))
        return DSERR_INVALIDPARAM;
    info_.locked = false;
    return DS_OK;
}

HRESULT SoundBuffer::play(DWORD reserved, DWORD priority, DWORD flags)
{
    HRESULT failure;
    if (media::injected("Play", failure))
        return failure;
    if (reserved != 0)
        return DSERR_INVALIDPARAM;
    if (priority != 0 && !(info_.flags & DSBCAPS_LOCDEFER))
        return DSERR_INVALIDCALL;
    ++info_.plays;
    info_.last_play_flags = flags;
    trace("dsound play");
    return DS_OK;
}

HRESULT SoundBuffer::set_volume(LONG volume)
{
    HRESULT failure;
    if (media::injected("SetVolume", failure))
        return failure;
    if (!(info_.flags & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX)
        return DSERR_INVALIDPARAM;
    info_.volume = volume;
    trace("dsound volume %d", static_cast<int>(volume));
    return DS_OK;
}

HRESULT SoundDevice::initialize(LPCGUID device)
{
    HRESULT failure;
    if (media::injected("Initialize", failure))
        return failure;
    if (initialized_)
        return DSERR_ALREADYINITIALIZED;
    if (device && !IsEqualGUID(*device, GUID_NULL))
        return DSERR_NODRIVER;   // only the default playback device exists
    initialized_ = true;
    return DS_OK;
}

HRESULT SoundDevice::set_cooperative_level(HWND, DWORD level) const
{
    if (!initialized_)
        return DSERR_UNINITIALIZED;
    if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY)
        return DSERR_INVALIDPARAM;
    return DS_OK;
}

HRESULT SoundDevice::check_buffer(LPCDSBUFFERDESC description, LPUNKNOWN outer) const
{
    HRESULT failure;
    if (media::injected("CreateSoundBuffer", failure))
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
    return DS_OK;
}

// What the bench and the tests read of the live buffers.
std::size_t sound_buffer_count() { return live_buffers().count(); }
std::vector<SoundBufferInfo> sound_buffer_infos() { return infos_of(live_buffers()); }

bool sound_buffer_info(const IDirectSoundBuffer* face, SoundBufferInfo& info)
{
    return info_of(live_buffers(), face, info);
}

}  // namespace sim
