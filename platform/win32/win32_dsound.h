// Native declarations: the sound device, DirectSound 8's device and secondary buffers.
#pragma once

// (included from win32.h, after the base declarations and win32_com.h)

#ifndef WAVE_FORMAT_PCM
#define WAVE_FORMAT_PCM 1
#endif

#pragma pack(push, 1)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
typedef WAVEFORMATEX* LPWAVEFORMATEX;
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;
static_assert(sizeof(WAVEFORMATEX) == 18);

struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    LPWAVEFORMATEX lpwfxFormat;
    GUID guid3DAlgorithm;
};
typedef DSBUFFERDESC* LPDSBUFFERDESC;
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

#define DSBCAPS_PRIMARYBUFFER 0x00000001u
#define DSBCAPS_STATIC 0x00000002u
#define DSBCAPS_LOCHARDWARE 0x00000004u
#define DSBCAPS_LOCSOFTWARE 0x00000008u
#define DSBCAPS_CTRL3D 0x00000010u
#define DSBCAPS_CTRLFREQUENCY 0x00000020u
#define DSBCAPS_CTRLPAN 0x00000040u
#define DSBCAPS_CTRLVOLUME 0x00000080u
#define DSBCAPS_GETCURRENTPOSITION2 0x00010000u
#define DSBCAPS_LOCDEFER 0x00040000u

#define DSSCL_NORMAL 0x00000001u
#define DSSCL_PRIORITY 0x00000002u
#define DSSCL_EXCLUSIVE 0x00000003u
#define DSSCL_WRITEPRIMARY 0x00000004u

#define DSBLOCK_FROMWRITECURSOR 0x00000001u
#define DSBLOCK_ENTIREBUFFER 0x00000002u
#define DSBPLAY_LOOPING 0x00000001u

#define DSBVOLUME_MIN (-10000)
#define DSBVOLUME_MAX 0
#define DSBSIZE_MIN 4u
#define DSBSIZE_MAX 0x0FFFFFFFu

#define DS_OK S_OK
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_NOAGGREGATION CLASS_E_NOAGGREGATION
#define DSERR_CONTROLUNAVAIL ((HRESULT)0x8878001EL)
#define DSERR_INVALIDCALL ((HRESULT)0x88780032L)
#define DSERR_BADFORMAT ((HRESULT)0x88780064L)
#define DSERR_NODRIVER ((HRESULT)0x88780078L)
#define DSERR_ALREADYINITIALIZED ((HRESULT)0x88780082L)
#define DSERR_UNINITIALIZED ((HRESULT)0x887800AAL)

struct IDirectSoundBuffer : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2,
                                           LPDWORD bytes2, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetVolume(LONG volume) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) = 0;

protected:
    ~IDirectSoundBuffer() = default;
};
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;
typedef LPDIRECTSOUNDBUFFER* LPLPDIRECTSOUNDBUFFER;

struct IDirectSound8 : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC description, LPLPDIRECTSOUNDBUFFER buffer,
                                                        LPUNKNOWN outer) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD level) = 0;
    virtual HRESULT STDMETHODCALLTYPE Initialize(LPCGUID device) = 0;

protected:
    ~IDirectSound8() = default;
};
typedef IDirectSound8* LPDIRECTSOUND8;

WINPLATFORM_API const CLSID CLSID_DirectSound8;
WINPLATFORM_API const IID IID_IDirectSound8;
WINPLATFORM_API const IID IID_IDirectSoundBuffer;
