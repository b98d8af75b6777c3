// The media graph's COM face in both builds: the filter graph's interfaces over the simulated
// graph.
#include "platform/sim/com_classes.h"
#include "platform/sim/com_object.h"
#include "platform/sim/media_graph.h"

namespace sim::com {

class FilterGraph final : public Object<IGraphBuilder, IMediaControl, IMediaEventEx, IMediaSeeking,
                                                  IBasicAudio, IVideoWindow> {
public:
    // Each query can be made to fail, for the tests of what a module does without the interface.
    FilterGraph() : Object(Queries::may_fail), graph_(this) {}

    HRESULT STDMETHODCALLTYPE RenderFile(LPCWSTR file, LPCWSTR) override { return graph_.render_file(file); }

    HRESULT STDMETHODCALLTYPE Run() override { return graph_.run(); }
    HRESULT STDMETHODCALLTYPE Stop() override { return graph_.stop(); }

    HRESULT STDMETHODCALLTYPE GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG) override
    {
        return graph_.get_event(code, param1, param2);
    }
    HRESULT STDMETHODCALLTYPE FreeEventParams(LONG, LONG_PTR, LONG_PTR) override { return graph_.free_event_params(); }
    HRESULT STDMETHODCALLTYPE SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instance_data) override
    {
        return graph_.set_notify_window(window, message, instance_data);
    }

    HRESULT STDMETHODCALLTYPE SetPositions(LONGLONG* current, DWORD current_flags, LONGLONG* stop,
                                           DWORD stop_flags) override
    {
        return graph_.set_positions(current, current_flags, stop, stop_flags);
    }
    HRESULT STDMETHODCALLTYPE GetDuration(LONGLONG* duration) override { return graph_.get_duration(duration); }

    HRESULT STDMETHODCALLTYPE put_Volume(LONG volume) override { return graph_.put_volume(volume); }

    HRESULT STDMETHODCALLTYPE put_WindowStyle(LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE put_Visible(LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE put_Owner(OAHWND) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE SetWindowForeground(LONG) override { return graph_.video_window(); }
    HRESULT STDMETHODCALLTYPE SetWindowPosition(LONG, LONG, LONG, LONG) override { return graph_.video_window(); }

private:
    MediaGraph graph_;
};

HRESULT create_filter_graph(REFIID iid, void** object)
{
    return create<FilterGraph>(iid, object);
}

}  // namespace sim::com
