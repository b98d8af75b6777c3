// Native media graph: the filter graph's interfaces over the simulated graph.
#include "platform/native/com_objects.h"
#include "platform/native/media_registry.h"
#include "platform/sim/com_object.h"
#include "platform/sim/media_graph.h"

#include <set>

extern "C" const CLSID CLSID_FilterGraph = {0xe436ebb3, 0x524f, 0x11ce, {0x9f, 0x53, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
extern "C" const IID IID_IGraphBuilder = {0x56a868a9, 0x0ad4, 0x11ce, {0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
extern "C" const IID IID_IMediaControl = {0x56a868b1, 0x0ad4, 0x11ce, {0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
extern "C" const IID IID_IMediaEventEx = {0x56a868c0, 0x0ad4, 0x11ce, {0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
extern "C" const IID IID_IMediaSeeking = {0x36b73880, 0xc2c8, 0x11cf, {0x8b, 0x46, 0x00, 0x80, 0x5f, 0x6c, 0xef, 0x60}};
extern "C" const IID IID_IBasicAudio = {0x56a868b3, 0x0ad4, 0x11ce, {0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
extern "C" const IID IID_IVideoWindow = {0x56a868b4, 0x0ad4, 0x11ce, {0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};

namespace {

class FilterGraph;
std::set<const FilterGraph*>& live_graphs()
{
    static std::set<const FilterGraph*> graphs;
    return graphs;
}

class FilterGraph final : public sim::com::Object<IGraphBuilder, IMediaControl, IMediaEventEx, IMediaSeeking,
                                                  IBasicAudio, IVideoWindow> {
public:
    FilterGraph() { live_graphs().insert(this); }

    sim::MediaGraphInfo info() const { return graph_.info(); }
    bool is(const IGraphBuilder* graph) const { return static_cast<const IGraphBuilder*>(this) == graph; }

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
    ~FilterGraph() override { live_graphs().erase(this); }

    HRESULT find_interface(REFIID iid, void*& pointer) override
    {
        const sim::com::InterfaceEntry entries[] = {
            {&IID_IUnknown, "QueryInterface(IUnknown)", static_cast<IGraphBuilder*>(this)},
            {&IID_IGraphBuilder, "QueryInterface(IGraphBuilder)", static_cast<IGraphBuilder*>(this)},
            {&IID_IMediaControl, "QueryInterface(IMediaControl)", static_cast<IMediaControl*>(this)},
            {&IID_IMediaEventEx, "QueryInterface(IMediaEventEx)", static_cast<IMediaEventEx*>(this)},
            {&IID_IMediaSeeking, "QueryInterface(IMediaSeeking)", static_cast<IMediaSeeking*>(this)},
            {&IID_IBasicAudio, "QueryInterface(IBasicAudio)", static_cast<IBasicAudio*>(this)},
            {&IID_IVideoWindow, "QueryInterface(IVideoWindow)", static_cast<IVideoWindow*>(this)},
        };
        return answer(entries, iid, pointer);
    }

    sim::MediaGraph graph_;
};

}  // namespace

namespace sim::com {

HRESULT create_filter_graph(REFIID iid, void** object)
{
    return create<FilterGraph>(iid, object);
}

}  // namespace sim::com

namespace sim {

bool media_graph_info(const IGraphBuilder* graph, MediaGraphInfo& info)
{
    for (const FilterGraph* live : live_graphs())
        if (live->is(graph)) {
            info = live->info();
            return true;
        }
    return false;
}

}  // namespace sim
