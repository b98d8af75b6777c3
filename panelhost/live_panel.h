// The live panel's side of the page: what each request of the page asks of the panel, answered
// on the panel's own thread, and the panel's frames as the host runs them, one after another.
#pragma once

#include "panelhost/host.h"
#include "panelhost/live_trace.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace panelhost {

struct LiveRequest {
    std::string method;                          // "GET", "POST"
    std::string path;                            // "/press"
    std::map<std::string, std::string> params;   // of the query
    std::size_t body_size = 0;
};

struct LiveResponse {
    int status = 200;
    std::string type = "text/plain; charset=utf-8";
    std::string body;
};

// A request body is never needed (a request's words are in its query): a larger one is refused.
constexpr std::size_t LIVE_BODY_LIMIT = 1024;
// The trace lines one answer gives at most.
constexpr std::size_t LIVE_TRACE_PER_ANSWER = 500;

class LivePanel {
public:
    LivePanel(Host& host, const LiveTrace& trace);
    ~LivePanel();
    LivePanel(const LivePanel&) = delete;
    LivePanel& operator=(const LivePanel&) = delete;

    // The answer to one request of the page. Anything it cannot take (a path it does not serve, a
    // method, coordinates outside the window, a body) is a 4xx answer of one line that changes
    // nothing.
    LiveResponse handle(const LiveRequest& request);
    // One frame of the host: a held button's repeat, an update pass, the messages it caused, and
    // the clock on by the time since the frame before.
    void frame(std::uint64_t elapsed_ms);
    // Changes whenever anything the page shows changes.
    std::uint64_t version() const { return version_; }
    std::uint64_t frames() const { return frames_; }

private:
    LiveResponse state(const LiveRequest& request);
    LiveResponse picture();
    LiveResponse pointer(const LiveRequest& request);
    LiveResponse press(const LiveRequest& request);
    LiveResponse release();
    LiveResponse set_var(const LiveRequest& request);
    LiveResponse sound(const std::string& id);
    LiveResponse song(const std::string& id);
    LiveResponse asset(const std::string& name);
    bool window_point(const LiveRequest& request, PIXEL_POINT& point, LiveResponse& refusal) const;
    // What the picture shows, in a few numbers: the elements' hidden bits, values and texts.
    std::string picture_signature() const;
    void refresh_version();

    Host& host_;
    const LiveTrace& trace_;
    std::uint64_t frames_ = 0;
    std::uint64_t version_ = 1;
    std::string last_state_;
    std::string signature_;             // of the picture last drawn
    std::vector<std::uint8_t> png_;
    std::uint64_t picture_ = 0;         // counts the pictures that differ
    std::string shown_signature_;       // of the picture the page was last told of
    bool held_ = false;
};

// The text as a JSON string, quotes included.
std::string json_string(const std::string& text);

}  // namespace panelhost
