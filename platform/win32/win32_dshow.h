// Native declarations: the media graph, the interfaces of a filter graph that the music player
// calls.
#pragma once

// (included from win32.h, after the base declarations and win32_com.h)

typedef LONG_PTR OAHWND;
typedef LONGLONG REFERENCE_TIME;
#define OATRUE (-1)
#define OAFALSE (0)

// event codes
#define EC_COMPLETE 0x01
#define EC_USERABORT 0x02
#define EC_ERRORABORT 0x03

// seeking flags
#define AM_SEEKING_NoPositioning 0x0u
#define AM_SEEKING_AbsolutePositioning 0x1u
#define AM_SEEKING_RelativePositioning 0x2u
#define AM_SEEKING_IncrementalPositioning 0x3u
#define AM_SEEKING_PositioningBitsMask 0x3u

// results
#define VFW_E_INVALID_FILE_FORMAT ((HRESULT)0x8004022FL)
#define VFW_E_CANNOT_RENDER ((HRESULT)0x80040218L)
#define VFW_E_NOT_FOUND ((HRESULT)0x80040216L)
#define VFW_E_WRONG_STATE ((HRESULT)0x80040227L)

struct IGraphBuilder : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE RenderFile(LPCWSTR file, LPCWSTR play_list) = 0;

protected:
    ~IGraphBuilder() = default;
};

struct IMediaControl : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Run() = 0;
    virtual HRESULT STDMETHODCALLTYPE Stop() = 0;

protected:
    ~IMediaControl() = default;
};

struct IMediaEventEx : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetEvent(LONG* event_code, LONG_PTR* param1, LONG_PTR* param2,
                                               LONG timeout_ms) = 0;
    virtual HRESULT STDMETHODCALLTYPE FreeEventParams(LONG event_code, LONG_PTR param1, LONG_PTR param2) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instance_data) = 0;

protected:
    ~IMediaEventEx() = default;
};

struct IMediaSeeking : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetPositions(LONGLONG* current, DWORD current_flags, LONGLONG* stop,
                                                   DWORD stop_flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDuration(LONGLONG* duration) = 0;

protected:
    ~IMediaSeeking() = default;
};

struct IBasicAudio : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE put_Volume(LONG volume) = 0;

protected:
    ~IBasicAudio() = default;
};

struct IVideoWindow : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE put_WindowStyle(LONG style) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Visible(LONG visible) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Owner(OAHWND owner) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetWindowForeground(LONG focus) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetWindowPosition(LONG left, LONG top, LONG width, LONG height) = 0;

protected:
    ~IVideoWindow() = default;
};

WINPLATFORM_API const CLSID CLSID_FilterGraph;
WINPLATFORM_API const IID IID_IGraphBuilder;
WINPLATFORM_API const IID IID_IMediaControl;
WINPLATFORM_API const IID IID_IMediaEventEx;
WINPLATFORM_API const IID IID_IMediaSeeking;
WINPLATFORM_API const IID IID_IBasicAudio;
WINPLATFORM_API const IID IID_IVideoWindow;
