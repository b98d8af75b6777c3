// The simulated media graph: files rendered by their length, the song's end by the host clock.
#include "platform/sim/media_graph.h"

#include "base/bytes.h"
#include "platform/sim/media.h"
#include "platform/sim/paths.h"
#include "platform/sim/registry.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace sim {
namespace {

// Media positions count in 100-nanosecond units.
constexpr LONGLONG UNITS_PER_MS = 10000;
constexpr LONG VOLUME_MIN = -10000;
constexpr LONG VOLUME_MAX = 0;

// by id, so in the order they were made
Registry<std::uint32_t, const MediaGraph*>& live_graphs()
{
    static Registry<std::uint32_t, const MediaGraph*> graphs;
    return graphs;
}
std::uint32_t graphs_made = 0;
std::size_t unfreed_params = 0;

// The 8-bit text of a wide path, as the caller converted it from its code page.
std::string narrow(LPCWSTR text)
{
    std::string result;
    for (; *text; ++text)
        result += *text <= 0xFF ? static_cast<char>(*text) : '?';
    return result;
}

// A file read front to back through one window of bytes: reading the next chunk's header costs
// nothing while it lies in the window, and the window moves on by whole windows, so a walk over
// many small chunks reads the file once.
class FileWindow {
public:
    explicit FileWindow(const std::string& path) : file_(path, std::ios::binary) {}

    bool is_open() const { return file_.is_open(); }

    // The bytes at offset, or false where the file ends first.
    bool read(std::uint64_t offset, void* bytes, std::size_t count)
    {
        if (offset < start_ || offset + count > start_ + filled_) {
            file_.clear();
            file_.seekg(static_cast<std::streamoff>(offset));
            file_.read(window_, sizeof window_);
            filled_ = static_cast<std::size_t>(std::max<std::streamsize>(file_.gcount(), 0));
            start_ = offset;
            if (count > filled_)
                return false;
        }
        std::memcpy(bytes, window_ + (offset - start_), count);
        return true;
    }

private:
    std::ifstream file_;
    char window_[4096];
    std::size_t filled_ = 0;
    std::uint64_t start_ = 0;
};

}  // namespace

// A RIFF WAVE file is walked chunk by chunk to the end of the file (a framework reads on past a
// header whose size is too small): "fmt " gives the average bytes per second, the first "data"
// chunk after it the length, and a format without a data chunk plays nothing at all. One without
// a whole format (16 bytes), with no bytes per second, or whose data comes before its format,
// cannot be rendered; nor can a RIFF file of another form. A file that is not RIFF plays
// OTHER_FORMAT_MS, whatever it holds: this graph has no codecs to refuse it with.
HRESULT play_length(const std::string& path, std::uint64_t& length_ms)
{
    std::error_code failure;
    if (!std::filesystem::is_regular_file(path, failure))
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    std::uint64_t file_size = std::filesystem::file_size(path, failure);
    FileWindow file(path);
    if (failure || !file.is_open())
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    unsigned char header[12] = {};
    if (!file.read(0, header, sizeof header) || std::memcmp(header, "RIFF", 4) != 0) {
        length_ms = OTHER_FORMAT_MS;
        return S_OK;
    }
    if (std::memcmp(header + 8, "WAVE", 4) != 0)
        return VFW_E_CANNOT_RENDER;
    bool format = false;
    std::uint64_t bytes_per_second = 0;
    for (std::uint64_t offset = 12; offset + 8 <= file_size;) {
        unsigned char chunk[8];
        if (!file.read(offset, chunk, sizeof chunk))
            break;
        std::uint64_t length = base::get32(chunk + 4);
        std::uint64_t body = offset + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && !format) {
            unsigned char fields[16];
            if (length < sizeof fields || !file.read(body, fields, sizeof fields))
                return VFW_E_CANNOT_RENDER;
            format = true;
            bytes_per_second = base::get32(fields + 8);
            if (bytes_per_second == 0)
                return VFW_E_INVALID_FILE_FORMAT;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!format)
                return VFW_E_INVALID_FILE_FORMAT;
            std::uint64_t data = std::min(length, file_size - body);
            length_ms = data * 1000 / bytes_per_second;
            return S_OK;
        }
        offset = body + ((length + 1) & ~std::uint64_t(1));
    }
    if (!format)
        return VFW_E_INVALID_FILE_FORMAT;
    length_ms = 0;
    return S_OK;
}

MediaGraph::MediaGraph(const IGraphBuilder* face) : face_(face), id_(++graphs_made)
{
    live_graphs().add(id_, this);
}

// The last release ends the graph, stopping it if it runs.
MediaGraph::~MediaGraph()
{
    remove_clocked_device(this);
    unfreed_params -= std::min(unfreed_params, taken_events_);
    live_graphs().remove(id_);
}

HRESULT MediaGraph::render_file(LPCWSTR file)
{
    if (!file)
        return E_POINTER;
    std::string name = narrow(file);
    HRESULT result;
    std::uint64_t length_ms = 0;
    if (!media::injected("RenderFile", result))
        result = play_length(native_path(name), length_ms);
    trace("dshow render \"%s\" -> 0x%08x", name.c_str(), static_cast<unsigned>(result));
    if (FAILED(result))
        return result;
    rendered_.push_back(name);
    // Streams rendered into one graph play side by side: the graph lasts as its longest.
    duration_ms_ = std::max(duration_ms_, length_ms);
    return S_OK;
}

HRESULT MediaGraph::run()
{
    HRESULT failure;
    if (media::injected("Run", failure))
        return failure;
    if (!running_) {
        running_ = true;
        run_start_ms_ = now_ms();
        add_clocked_device(this);
    }
    trace("dshow run");
    return S_OK;
}

HRESULT MediaGraph::stop()
{
    HRESULT failure;
    if (media::injected("Stop", failure))
        return failure;
    if (running_) {
        position_ms_ = position_ms(now_ms());
        running_ = false;
        remove_clocked_device(this);
    }
    trace("dshow stop");
    return S_OK;
}

HRESULT MediaGraph::get_event(LONG* code, LONG_PTR* param1, LONG_PTR* param2)
{
    if (!code || !param1 || !param2)
        return E_POINTER;
    HRESULT failure;
    if (media::injected("GetEvent", failure))
        return failure;
    if (events_.empty())
        return E_ABORT;   // nothing arrived within the time-out
    Event event = events_.front();
    events_.pop_front();
    *code = event.code;
    *param1 = event.param1;
    *param2 = event.param2;
    ++taken_events_;
    ++unfreed_params;
    return S_OK;
}

HRESULT MediaGraph::free_event_params()
{
    if (taken_events_ > 0) {
        --taken_events_;
        --unfreed_params;
    }
    return S_OK;
}

HRESULT MediaGraph::set_notify_window(OAHWND window, LONG message, LONG_PTR instance_data)
{
    HRESULT failure;
    if (media::injected("SetNotifyWindow", failure))
        return failure;
    notify_window_ = reinterpret_cast<HWND>(window);
    notify_message_ = message;
    notify_data_ = instance_data;
    return S_OK;
}

HRESULT MediaGraph::set_positions(LONGLONG* current, DWORD current_flags, LONGLONG*, DWORD stop_flags)
{
    HRESULT failure;
    if (media::injected("SetPositions", failure))
        return failure;
    if ((stop_flags & AM_SEEKING_PositioningBitsMask) != AM_SEEKING_NoPositioning)
        return E_NOTIMPL;   // the graph always plays to the end of its streams
    DWORD positioning = current_flags & AM_SEEKING_PositioningBitsMask;
    if (positioning == AM_SEEKING_NoPositioning)
        return S_OK;
    if (!current)
        return E_POINTER;
    std::uint64_t now = now_ms();
    LONGLONG target = positioning == AM_SEEKING_AbsolutePositioning
                          ? *current
                          : static_cast<LONGLONG>(position_ms(now)) * UNITS_PER_MS + *current;
    target = std::clamp<LONGLONG>(target, 0, static_cast<LONGLONG>(duration_ms_) * UNITS_PER_MS);
    position_ms_ = static_cast<std::uint64_t>(target / UNITS_PER_MS);
    run_start_ms_ = now;
    ended_ = false;
    if (target == 0)
        trace("dshow rewind");
    return S_OK;
}

HRESULT MediaGraph::get_duration(LONGLONG* duration)
{
    if (!duration)
        return E_POINTER;
    HRESULT failure;
    if (media::injected("GetDuration", failure))
        return failure;
    *duration = static_cast<LONGLONG>(duration_ms_) * UNITS_PER_MS;
    return S_OK;
}

HRESULT MediaGraph::put_volume(LONG volume)
{
    HRESULT failure;
    if (media::injected("put_Volume", failure))
        return failure;
    if (volume < VOLUME_MIN || volume > VOLUME_MAX)
        return E_INVALIDARG;
    volume_ = volume;
    trace("dshow volume %d", static_cast<int>(volume));
    return S_OK;
}

MediaGraphInfo MediaGraph::info() const
{
    MediaGraphInfo result;
    result.id = id_;
    result.rendered = rendered_;
    result.duration_ms = duration_ms_;
    result.position_ms = position_ms(now_ms());
    result.running = running_;
    result.volume = volume_;
    result.notify_window = notify_window_;
    result.notify_message = notify_message_;
    result.queued_events = events_.size();
    return result;
}

std::uint64_t MediaGraph::next_event_ms() const
{
    if (!running_ || ended_)
        return NO_EVENT;
    return run_start_ms_ + (duration_ms_ - std::min(duration_ms_, position_ms_));
}

void MediaGraph::on_clock(std::uint64_t now)
{
    position_ms_ = duration_ms_;
    run_start_ms_ = now;
    ended_ = true;
    events_.push_back(Event{EC_COMPLETE, S_OK, 0});
    if (notify_window_)
        PostMessageA(notify_window_, static_cast<UINT>(notify_message_), 0, notify_data_);
}

std::uint64_t MediaGraph::position_ms(std::uint64_t now) const
{
    if (!running_ || ended_)
        return std::min(position_ms_, duration_ms_);
    return std::min(duration_ms_, position_ms_ + (now - run_start_ms_));
}

// What the bench and the tests read of the live graphs.
std::size_t media_graph_count() { return live_graphs().count(); }
std::vector<MediaGraphInfo> media_graph_infos() { return infos_of(live_graphs()); }

bool media_graph_info(const IGraphBuilder* face, MediaGraphInfo& info)
{
    return info_of(live_graphs(), face, info);
}

std::size_t unfreed_event_params()
{
    return unfreed_params;
}

}  // namespace sim
