// On Windows: the methods of the SDK's interfaces that no module calls, answered for the faces of
// the simulated devices (E_NOTIMPL; the video window's as the graph answers them all, since it
// renders no video). Included through platform/sim/com_interfaces.h.
#pragma once

#include "platform/platform.h"
#include "platform/sim/media_graph.h"

namespace sim::com {

template <typename Interface>
struct Complete;

// IDispatch, which the media graph's automation interfaces derive from.
template <typename Interface>
struct WithoutDispatch : Interface {
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
};

template <>
struct Complete<IDirectSoundBuffer> : IDirectSoundBuffer {
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
};

template <>
struct Complete<IDirectSound8> : IDirectSound8 {
    HRESULT STDMETHODCALLTYPE GetCaps(LPDSCAPS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER, LPLPDIRECTSOUNDBUFFER) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Compact() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSpeakerConfig(LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSpeakerConfig(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VerifyCertification(LPDWORD) override { return E_NOTIMPL; }
};

template <>
struct Complete<IGraphBuilder> : IGraphBuilder {
    HRESULT STDMETHODCALLTYPE AddFilter(IBaseFilter*, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveFilter(IBaseFilter*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFilters(IEnumFilters**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindFilterByName(LPCWSTR, IBaseFilter**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ConnectDirect(IPin*, IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reconnect(IPin*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Disconnect(IPin*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDefaultSyncSource() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Connect(IPin*, IPin*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Render(IPin*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddSourceFilter(LPCWSTR, LPCWSTR, IBaseFilter**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetLogFile(DWORD_PTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Abort() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShouldOperationContinue() override { return E_NOTIMPL; }
};

template <>
struct Complete<IMediaControl> : WithoutDispatch<IMediaControl> {
    HRESULT STDMETHODCALLTYPE Pause() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetState(LONG, OAFilterState*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RenderFile(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddSourceFilter(BSTR, IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_FilterCollection(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_RegFilterCollection(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE StopWhenReady() override { return E_NOTIMPL; }
};

template <>
struct Complete<IMediaEventEx> : WithoutDispatch<IMediaEventEx> {
    HRESULT STDMETHODCALLTYPE GetEventHandle(OAEVENT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE WaitForCompletion(LONG, LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CancelDefaultHandling(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RestoreDefaultHandling(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetNotifyFlags(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNotifyFlags(LONG*) override { return E_NOTIMPL; }
};

template <>
struct Complete<IMediaSeeking> : IMediaSeeking {
    HRESULT STDMETHODCALLTYPE GetCapabilities(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CheckCapabilities(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsFormatSupported(const GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryPreferredFormat(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTimeFormat(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsUsingTimeFormat(const GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTimeFormat(const GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStopPosition(LONGLONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrentPosition(LONGLONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ConvertTimeFormat(LONGLONG*, const GUID*, LONGLONG, const GUID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetPositions(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAvailable(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetRate(double) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRate(double*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPreroll(LONGLONG*) override { return E_NOTIMPL; }
};

template <>
struct Complete<IBasicAudio> : WithoutDispatch<IBasicAudio> {
    HRESULT STDMETHODCALLTYPE get_Volume(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Balance(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Balance(LONG*) override { return E_NOTIMPL; }
};

// A property of the video window that no module sets or reads: both its accessors.
#define NO_VIDEO_WINDOW_PROPERTY(name, type)                                                   \
    HRESULT STDMETHODCALLTYPE put_##name(type) override { return MediaGraph::video_window(); } \
    HRESULT STDMETHODCALLTYPE get_##name(type*) override { return MediaGraph::video_window(); }

template <>
struct Complete<IVideoWindow> : WithoutDispatch<IVideoWindow> {
    // the getters of the properties that modules set
    HRESULT STDMETHODCALLTYPE get_WindowStyle(LONG*) override { return MediaGraph::video_window(); }
    HRESULT STDMETHODCALLTYPE get_Visible(LONG*) override { return MediaGraph::video_window(); }
    HRESULT STDMETHODCALLTYPE get_Owner(OAHWND*) override { return MediaGraph::video_window(); }
    // property                       type
    NO_VIDEO_WINDOW_PROPERTY(Caption,           BSTR)
    NO_VIDEO_WINDOW_PROPERTY(WindowStyleEx,     LONG)
    NO_VIDEO_WINDOW_PROPERTY(AutoShow,          LONG)
    NO_VIDEO_WINDOW_PROPERTY(WindowState,       LONG)
    NO_VIDEO_WINDOW_PROPERTY(BackgroundPalette, LONG)
    NO_VIDEO_WINDOW_PROPERTY(Left,              LONG)
    NO_VIDEO_WINDOW_PROPERTY(Width,             LONG)
    NO_VIDEO_WINDOW_PROPERTY(Top,               LONG)
    NO_VIDEO_WINDOW_PROPERTY(Height,            LONG)
    NO_VIDEO_WINDOW_PROPERTY(MessageDrain,      OAHWND)
    NO_VIDEO_WINDOW_PROPERTY(BorderColor,       LONG)
    NO_VIDEO_WINDOW_PROPERTY(FullScreenMode,    LONG)
    // the window's methods
    HRESULT STDMETHODCALLTYPE NotifyOwnerMessage(OAHWND, LONG, LONG_PTR, LONG_PTR) override
    {
        return MediaGraph::video_window();
    }
    HRESULT STDMETHODCALLTYPE GetWindowPosition(LONG*, LONG*, LONG*, LONG*) override
    {
        return MediaGraph::video_window();
    }
    HRESULT STDMETHODCALLTYPE GetMinIdealImageSize(LONG*, LONG*) override { return MediaGraph::video_window(); }
    HRESULT STDMETHODCALLTYPE GetMaxIdealImageSize(LONG*, LONG*) override { return MediaGraph::video_window(); }
    HRESULT STDMETHODCALLTYPE GetRestorePosition(LONG*, LONG*, LONG*, LONG*) override
    {
        return MediaGraph::video_window();
    }
    HRESULT STDMETHODCALLTYPE HideCursor(LONG) override { return MediaGraph::video_window(); }
    HRESULT STDMETHODCALLTYPE IsCursorHidden(LONG*) override { return MediaGraph::video_window(); }
};

#undef NO_VIDEO_WINDOW_PROPERTY

}  // namespace sim::com
