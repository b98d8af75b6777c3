// Native media graph: a filter graph that renders files that exist, runs by the host clock, and
// at the end of its song queues EC_COMPLETE and posts the message given to SetNotifyWindow.
#include "platform/native/com_objects.h"
#include "platform/native/media_registry.h"
#include "platform/sim/media.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <fstream>
#include <set>

extern "C" const CLSID CLSID_FilterGraph = {0xe436ebb3, 0x524f, 0x11ce, {0x9f, 0x53, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
extern "C" const IID IID_IGraphBuilder = {0x56a868a9, 0x0ad4, 0x11ce, {0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
extern "C" const IID IID_IMediaControl = {0x56a868b1, 0x0ad4, 0x11ce, {0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
extern "C" const IID IID_IMediaEventEx = {0x56a868c0, 0x0ad4, 0x11ce, {0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
extern "C" const IID IID_IMediaSeeking = {0x36b73880, 0xc2c8, 0x11cf, {0x8b, 0x46, 0x00, 0x80, 0x5f, 0x6c, 0xef, 0x60}};
extern "C" const IID IID_IBasicAudio = {0x56a868b3, 0x0ad4, 0x11ce, {0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
extern "C" const IID IID_IVideoWindow = {0x56a868b4, 0x0ad4, 0x11ce, {0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};

namespace {

// Anything that is not a RIFF WAVE file plays this long.
constexpr std::uint64_t OTHER_FORMAT_MS = 180000;
// Media positions count in 100-nanosecond units.
constexpr LONGLONG UNITS_PER_MS = 10000;
constexpr LONG VOLUME_MIN = -10000;
constexpr LONG VOLUME_MAX = 0;

std::size_t unfreed_params = 0;

class FilterGraph;
std::set<const FilterGraph*>& live_graphs()
{
    static std::set<const FilterGraph*> graphs;
    return graphs;
}

// The 8-bit text of a wide path, as the caller converted it from its code page.
std::string narrow(LPCWSTR text)
{
    std::string result;
    for (; *text; ++text)
        result += *text <= 0xFF ? static_cast<char>(*text) : '?';
    return result;
}

// A Windows path on this file system: ".\Sound\song1.wav" is "./Sound/song1.wav".
std::string native_path(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::uint32_t little_endian(const unsigned char* bytes)
{
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t(bytes[3]) << 24);
}

// How long a file plays: a RIFF WAVE file its data bytes over its average bytes per second (as
// far as the file really holds them), anything else OTHER_FORMAT_MS. A RIFF WAVE file without
// a usable format or data chunk cannot be rendered.
HRESULT play_length(const std::string& path, std::uint64_t& length_ms)
{
    struct stat status;
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    unsigned char header[12] = {};
    file.read(reinterpret_cast<char*>(header), sizeof header);
    if (file.gcount() < 12 || std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) {
        length_ms = OTHER_FORMAT_MS;
        return S_OK;
    }
    std::uint64_t file_size = static_cast<std::uint64_t>(status.st_size);
    std::uint64_t end = std::min<std::uint64_t>(8 + std::uint64_t(little_endian(header + 4)), file_size);
    std::uint64_t bytes_per_second = 0;
    for (std::uint64_t offset = 12; offset + 8 <= end;) {
        unsigned char chunk[8];
        file.seekg(static_cast<std::streamoff>(offset));
        file.read(reinterpret_cast<char*>(chunk), sizeof chunk);
        if (file.gcount() < 8)
            break;
        std::uint64_t length = little_endian(chunk + 4);
        std::uint64_t body = offset + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && length >= 14 && body + 12 <= file_size) {
            unsigned char format[12];
            file.read(reinterpret_cast<char*>(format), sizeof format);
            bytes_per_second = little_endian(format + 8);
        } else if (std::memcmp(chunk, "data", 4) == 0 && bytes_per_second > 0) {
            std::uint64_t data = std::min(length, file_size - body);
            length_ms = data * 1000 / bytes_per_second;
            return S_OK;
        }
        offset = body + ((length + 1) & ~std::uint64_t(1));
    }
    return VFW_E_INVALID_FILE_FORMAT;
}

struct GraphEvent {
    LONG code;
    LONG_PTR param1;
    LONG_PTR param2;
};

class FilterGraph final : public IGraphBuilder,
                          public IMediaControl,
                          public IMediaEventEx,
                          public IMediaSeeking,
                          public IBasicAudio,
                          public IVideoWindow,
                          public sim::ClockedDevice {
public:
    FilterGraph()
    {
        live_graphs().insert(this);
        sim::com::object_created();
    }

    sim::MediaGraphInfo info() const
    {
        sim::MediaGraphInfo result;
        result.rendered = rendered_;
        result.duration_ms = duration_ms_;
        result.position_ms = position_ms(sim::now_ms());
        result.running = running_;
        result.volume = volume_;
        result.notify_window = notify_window_;
        result.notify_message = notify_message_;
        result.queued_events = events_.size();
        return result;
    }

    bool is(const IGraphBuilder* graph) const { return static_cast<const IGraphBuilder*>(this) == graph; }

    // ---- IUnknown, one count for every interface ----
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        struct Entry {
            const IID* iid;
            const char* failure_name;
            void* pointer;
        };
        const Entry entries[] = {
            {&IID_IUnknown, "QueryInterface(IUnknown)", static_cast<IGraphBuilder*>(this)},
            {&IID_IGraphBuilder, "QueryInterface(IGraphBuilder)", static_cast<IGraphBuilder*>(this)},
            {&IID_IMediaControl, "QueryInterface(IMediaControl)", static_cast<IMediaControl*>(this)},
            {&IID_IMediaEventEx, "QueryInterface(IMediaEventEx)", static_cast<IMediaEventEx*>(this)},
            {&IID_IMediaSeeking, "QueryInterface(IMediaSeeking)", static_cast<IMediaSeeking*>(this)},
            {&IID_IBasicAudio, "QueryInterface(IBasicAudio)", static_cast<IBasicAudio*>(this)},
            {&IID_IVideoWindow, "QueryInterface(IVideoWindow)", static_cast<IVideoWindow*>(this)},
        };
        for (const Entry& entry : entries) {
            if (iid != *entry.iid)
                continue;
            HRESULT failure;
            if (sim::com::injected(entry.failure_name, failure))
                return failure;
            *object = entry.pointer;
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }

    // The last release ends the graph, stopping it if it runs.
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = --references_;
        if (left == 0) {
            sim::remove_clocked_device(this);
            unfreed_params -= std::min(unfreed_params, taken_events_);
            live_graphs().erase(this);
            sim::com::object_destroyed();
            delete this;
        }
        return left;
    }

    // ---- IGraphBuilder ----
    HRESULT STDMETHODCALLTYPE RenderFile(LPCWSTR file, LPCWSTR) override
    {
        if (!file)
            return E_POINTER;
        std::string name = narrow(file);
        HRESULT result;
        std::uint64_t length_ms = 0;
        if (!sim::com::injected("RenderFile", result))
            result = play_length(native_path(name), length_ms);
        sim::trace("dshow render \"%s\" -> 0x%08x", name.c_str(), static_cast<unsigned>(result));
        if (FAILED(result))
            return result;
        rendered_.push_back(name);
        // Streams rendered into one graph play side by side: the graph lasts as its longest.
        duration_ms_ = std::max(duration_ms_, length_ms);
        return S_OK;
    }

    // ---- IMediaControl ----
    HRESULT STDMETHODCALLTYPE Run() override
    {
        HRESULT failure;
        if (sim::com::injected("Run", failure))
            return failure;
        if (!running_) {
            running_ = true;
            run_start_ms_ = sim::now_ms();
            sim::add_clocked_device(this);
        }
        sim::trace("dshow run");
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Stop() override
    {
        HRESULT failure;
        if (sim::com::injected("Stop", failure))
            return failure;
        if (running_) {
            position_ms_ = position_ms(sim::now_ms());
            running_ = false;
            sim::remove_clocked_device(this);
        }
        sim::trace("dshow stop");
        return S_OK;
    }

    // ---- IMediaEventEx ----
    HRESULT STDMETHODCALLTYPE GetEvent(LONG* event_code, LONG_PTR* param1, LONG_PTR* param2, LONG) override
    {
        if (!event_code || !param1 || !param2)
            return E_POINTER;
        HRESULT failure;
        if (sim::com::injected("GetEvent", failure))
            return failure;
        if (events_.empty())
            return E_ABORT;   // nothing arrived within the time-out
        GraphEvent event = events_.front();
        events_.pop_front();
        *event_code = event.code;
        *param1 = event.param1;
        *param2 = event.param2;
        ++taken_events_;
        ++unfreed_params;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE FreeEventParams(LONG, LONG_PTR, LONG_PTR) override
    {
        if (taken_events_ > 0) {
            --taken_events_;
            --unfreed_params;
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instance_data) override
    {
        HRESULT failure;
        if (sim::com::injected("SetNotifyWindow", failure))
            return failure;
        notify_window_ = reinterpret_cast<HWND>(window);
        notify_message_ = message;
        notify_data_ = instance_data;
        return S_OK;
    }

    // ---- IMediaSeeking ----
    HRESULT STDMETHODCALLTYPE SetPositions(LONGLONG* current, DWORD current_flags, LONGLONG*, DWORD stop_flags) override
    {
        HRESULT failure;
        if (sim::com::injected("SetPositions", failure))
            return failure;
        if ((stop_flags & AM_SEEKING_PositioningBitsMask) != AM_SEEKING_NoPositioning)
            return E_NOTIMPL;   // the graph always plays to the end of its streams
        DWORD positioning = current_flags & AM_SEEKING_PositioningBitsMask;
        if (positioning == AM_SEEKING_NoPositioning)
            return S_OK;
        if (!current)
            return E_POINTER;
        std::uint64_t now = sim::now_ms();
        LONGLONG target = positioning == AM_SEEKING_AbsolutePositioning
                              ? *current
                              : static_cast<LONGLONG>(position_ms(now)) * UNITS_PER_MS + *current;
        target = std::clamp<LONGLONG>(target, 0, static_cast<LONGLONG>(duration_ms_) * UNITS_PER_MS);
        position_ms_ = static_cast<std::uint64_t>(target / UNITS_PER_MS);
        run_start_ms_ = now;
        ended_ = false;
        if (target == 0)
            sim::trace("dshow rewind");
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetDuration(LONGLONG* duration) override
    {
        if (!duration)
            return E_POINTER;
        HRESULT failure;
        if (sim::com::injected("GetDuration", failure))
            return failure;
        *duration = static_cast<LONGLONG>(duration_ms_) * UNITS_PER_MS;
        return S_OK;
    }

    // ---- IBasicAudio ----
    HRESULT STDMETHODCALLTYPE put_Volume(LONG volume) override
    {
        HRESULT failure;
        if (sim::com::injected("put_Volume", failure))
            return failure;
        if (volume < VOLUME_MIN || volume > VOLUME_MAX)
            return E_INVALIDARG;
        volume_ = volume;
        sim::trace("dshow volume %d", static_cast<int>(volume));
        return S_OK;
    }

    // ---- IVideoWindow: the graph renders no video, so it has no video window to place ----
    HRESULT STDMETHODCALLTYPE put_WindowStyle(LONG) override { return E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE put_Visible(LONG) override { return E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE put_Owner(OAHWND) override { return E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE SetWindowForeground(LONG) override { return E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE SetWindowPosition(LONG, LONG, LONG, LONG) override { return E_NOINTERFACE; }

    // ---- the clock: the end of the song ----
    std::uint64_t next_event_ms() const override
    {
        if (!running_ || ended_)
            return sim::NO_EVENT;
        return run_start_ms_ + (duration_ms_ - std::min(duration_ms_, position_ms_));
    }

    const char* name() const override { return "media graph"; }

    void on_clock(std::uint64_t now_ms) override
    {
        position_ms_ = duration_ms_;
        run_start_ms_ = now_ms;
        ended_ = true;
        events_.push_back(GraphEvent{EC_COMPLETE, S_OK, 0});
        if (notify_window_)
            PostMessageA(notify_window_, static_cast<UINT>(notify_message_), 0, notify_data_);
    }

private:
    ~FilterGraph() override = default;

    std::uint64_t position_ms(std::uint64_t now) const
    {
        if (!running_ || ended_)
            return std::min(position_ms_, duration_ms_);
        return std::min(duration_ms_, position_ms_ + (now - run_start_ms_));
    }

    ULONG references_ = 1;
    std::vector<std::string> rendered_;
    std::uint64_t duration_ms_ = 0;
    std::uint64_t position_ms_ = 0;     // at run_start_ms_ while running
    std::uint64_t run_start_ms_ = 0;
    bool running_ = false;
    bool ended_ = false;
    LONG volume_ = 0;
    HWND notify_window_ = nullptr;
    LONG notify_message_ = 0;
    LONG_PTR notify_data_ = 0;
    std::deque<GraphEvent> events_;
    std::size_t taken_events_ = 0;
};

}  // namespace

namespace sim::com {

HRESULT create_filter_graph(REFIID iid, void** object)
{
    FilterGraph* graph = new FilterGraph();
    HRESULT result = graph->QueryInterface(iid, object);
    static_cast<IGraphBuilder*>(graph)->Release();
    return result;
}

}  // namespace sim::com

namespace sim {

std::size_t media_graph_count()
{
    return live_graphs().size();
}

bool media_graph_info(const IGraphBuilder* graph, MediaGraphInfo& info)
{
    for (const FilterGraph* live : live_graphs())
        if (live->is(graph)) {
            info = live->info();
            return true;
        }
    return false;
}

std::size_t unfreed_event_params()
{
    return unfreed_params;
}

}  // namespace sim
