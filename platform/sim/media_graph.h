// The simulated media graph: a filter graph that renders the files it can read, plays by the host
// clock and, at the end of its song, queues EC_COMPLETE and posts the message it was given.
#pragma once

#include "platform/platform.h"
#include "platform/sim/simulation.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace sim {

// Any file that is not a RIFF file plays this long.
constexpr std::uint64_t OTHER_FORMAT_MS = 180000;

// How long the file plays, or why it cannot be rendered (the framework's results): a RIFF WAVE
// file lasts its data bytes over its average bytes per second, as far as the file holds them; a
// file that is not there cannot be found; see media_graph.cpp for the rest. The chunks are read
// in order, so the time it takes grows with the file's bytes, whatever its chunks.
SIM_API HRESULT play_length(const std::string& path, std::uint64_t& length_ms);

struct MediaGraphInfo {
    std::uint32_t id = 0;                // one for each graph the process made, from 1
    std::vector<std::string> rendered;   // the files rendered, as the caller named them
    std::uint64_t duration_ms = 0;
    std::uint64_t position_ms = 0;
    bool running = false;
    LONG volume = 0;
    HWND notify_window = nullptr;
    LONG notify_message = 0;
    std::size_t queued_events = 0;
};

// One filter graph; its COM face (media_graph_com.cpp) forwards its calls here. Each operation
// answers the framework's result and traces what took effect: "dshow render "PATH" -> 0xHR",
// "dshow run", "dshow stop", "dshow rewind", "dshow volume V".
class SIM_API MediaGraph final : public ClockedDevice {
public:
    // face: the interface the module creates the graph as, by which media_graph_info finds it.
    explicit MediaGraph(const IGraphBuilder* face);
    ~MediaGraph() override;
    MediaGraph(const MediaGraph&) = delete;
    MediaGraph& operator=(const MediaGraph&) = delete;

    HRESULT render_file(LPCWSTR file);
    HRESULT run();
    HRESULT stop();
    HRESULT get_event(LONG* code, LONG_PTR* param1, LONG_PTR* param2);
    HRESULT free_event_params();
    HRESULT set_notify_window(OAHWND window, LONG message, LONG_PTR instance_data);
    HRESULT set_positions(LONGLONG* current, DWORD current_flags, LONGLONG* stop, DWORD stop_flags);
    HRESULT get_duration(LONGLONG* duration);
    HRESULT put_volume(LONG volume);
    // The graph renders no video, so it has no video window to place.
    static HRESULT video_window() { return E_NOINTERFACE; }

    MediaGraphInfo info() const;
    const IGraphBuilder* face() const { return face_; }

    std::uint64_t next_event_ms() const override;
    void on_clock(std::uint64_t now_ms) override;
    const char* name() const override { return "media graph"; }

private:
    struct Event {
        LONG code;
        LONG_PTR param1;
        LONG_PTR param2;
    };

    std::uint64_t position_ms(std::uint64_t now) const;

    const IGraphBuilder* face_;
    std::uint32_t id_;
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
    std::deque<Event> events_;
    std::size_t taken_events_ = 0;
};

// Graphs alive, and events taken with GetEvent whose parameters were not yet freed, over all.
SIM_API std::size_t media_graph_count();
// The state of every graph alive, in the order they were made.
SIM_API std::vector<MediaGraphInfo> media_graph_infos();
// The state of the live graph behind the interface; false for anything else.
SIM_API bool media_graph_info(const IGraphBuilder* graph, MediaGraphInfo& info);
SIM_API std::size_t unfreed_event_params();

}  // namespace sim
