// On Windows: the filter graph's interfaces, as the platform declares them, over the simulated
// graph. What the radio does not call answers E_NOTIMPL.
#include "platform/windows/simulated_media.h"

#include "platform/sim/com_object.h"
#include "platform/sim/media_graph.h"

namespace {

class FilterGraph final : public sim::com::Object<IGraphBuilder, IMediaControl, IMediaEventEx, IMediaSeeking,
                                                  IBasicAudio, IVideoWindow> {
public:
    // ---- IGraphBuilder ----
    HRESULT STDMETHODCALLTYPE RenderFile(LPCWSTR file, LPCWSTR) override { return graph_.render_file(file); }
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

    // ---- IDispatch, of the four automation interfaces ----
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // ---- IMediaControl ----
    HRESULT STDMETHODCALLTYPE Run() override { return graph_.run(); }
    HRESULT STDMETHODCALLTYPE Stop() override { return graph_.stop(); }
    HRESULT STDMETHODCALLTYPE Pause() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetState(LONG, OAFilterState*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RenderFile(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddSourceFilter(BSTR, IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_FilterCollection(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_RegFilterCollection(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE StopWhenReady() override { return E_NOTIMPL; }

    // ---- IMediaEventEx ----
    HRESULT STDMETHODCALLTYPE GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG) override
    {
        return graph_.get_event(code, param1, param2);
    }
    HRESULT STDMETHODCALLTYPE FreeEventParams(LONG, LONG_PTR, LONG_PTR) override { return graph_.free_event_params(); }
    HRESULT STDMETHODCALLTYPE SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instance_data) override
    {
        return graph_.set_notify_window(window, message, instance_data);
    }
    HRESULT STDMETHODCALLTYPE GetEventHandle(OAEVENT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE WaitForCompletion(LONG, LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CancelDefaultHandling(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RestoreDefaultHandling(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetNotifyFlags(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNotifyFlags(LONG*) override { return E_NOTIMPL; }

    // ---- IMediaSeeking ----
    HRESULT STDMETHODCALLTYPE SetPositions(LONGLONG* current, DWORD current_flags, LONGLONG* stop,
                                           DWORD stop_flags) override
    {
        return graph_.set_positions(current, current_flags, stop, stop_flags);
    }
    HRESULT STDMETHODCALLTYPE GetDuration(LONGLONG* duration) override { return graph_.get_duration(duration); }
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

    // ---- IBasicAudio ----
    HRESULT STDMETHODCALLTYPE put_Volume(LONG volume) override { return graph_.put_volume(volume); }
    HRESULT STDMETHODCALLTYPE get_Volume(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Balance(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Balance(LONG*) override { return E_NOTIMPL; }

    // ---- IVideoWindow: the graph renders no video ----
    HRESULT STDMETHODCALLTYPE put_WindowStyle(LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE put_Visible(LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE put_Owner(OAHWND) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE SetWindowForeground(LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE SetWindowPosition(LONG, LONG, LONG, LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE put_Caption(BSTR) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE get_Caption(BSTR*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE get_WindowStyle(LONG*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE put_WindowStyleEx(LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE get_WindowStyleEx(LONG*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE put_AutoShow(LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE get_AutoShow(LONG*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE put_WindowState(LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE get_WindowState(LONG*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE put_BackgroundPalette(LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE get_BackgroundPalette(LONG*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE get_Visible(LONG*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE put_Left(LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE get_Left(LONG*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE put_Width(LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE get_Width(LONG*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE put_Top(LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE get_Top(LONG*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE put_Height(LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE get_Height(LONG*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE get_Owner(OAHWND*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE put_MessageDrain(OAHWND) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE get_MessageDrain(OAHWND*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE get_BorderColor(LONG*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE put_BorderColor(LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE get_FullScreenMode(LONG*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE put_FullScreenMode(LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE NotifyOwnerMessage(OAHWND, LONG, LONG_PTR, LONG_PTR) override
    {
        return graph_.video_window();
    }
    HRESULT STDMETHODCALLTYPE GetWindowPosition(LONG*, LONG*, LONG*, LONG*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE GetMinIdealImageSize(LONG*, LONG*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE GetMaxIdealImageSize(LONG*, LONG*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE GetRestorePosition(LONG*, LONG*, LONG*, LONG*) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE HideCursor(LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE IsCursorHidden(LONG*) override { return graph_.video_window(); }

private:
    HRESULT find_interface(REFIID iid, void*& pointer) override
    {
        const sim::com::InterfaceEntry entries[] = {
            {&IID_IUnknown, nullptr, static_cast<IGraphBuilder*>(this)},
            {&IID_IGraphBuilder, nullptr, static_cast<IGraphBuilder*>(this)},
            {&IID_IMediaControl, nullptr, static_cast<IMediaControl*>(this)},
            {&IID_IMediaEventEx, nullptr, static_cast<IMediaEventEx*>(this)},
            {&IID_IMediaSeeking, nullptr, static_cast<IMediaSeeking*>(this)},
            {&IID_IBasicAudio, nullptr, static_cast<IBasicAudio*>(this)},
            {&IID_IVideoWindow, nullptr, static_cast<IVideoWindow*>(this)},
        };
        return answer(entries, iid, pointer);
    }

    sim::MediaGraph graph_;
};

}  // namespace

namespace sim::windows {

HRESULT create_filter_graph(REFIID iid, void** object)
{
    return sim::com::create<FilterGraph>(iid, object);
}

}  // namespace sim::windows
