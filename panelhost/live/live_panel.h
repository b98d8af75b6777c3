// The live panel's side of the page: what each request of the page asks of the panel, answered
// on the panel's own thread, and the panel's frames as the host runs them, one after another.
#pragma once

#include "panelhost/host/host.h"
#include "panelhost/base/limits.h"
#include "panelhost/live/live_trace.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace panelhost {

struct LiveAddress {
    std::string host = "127.0.0.1";   // loopback unless an address is given
    int port = 0;                     // 0: any free port
};

struct LiveRequest {
    std::string method;                          // "GET", "POST"
    std::string path;                            // "/press"
    std::map<std::string, std::string> params;   // of the query
    std::size_t body_size = 0;
    std::optional<std::string> host;             // the Host header, when the request has one
    std::optional<std::string> origin;           // the Origin header, likewise
};

struct LiveResponse {
    int status = 200;
    std::string type = "text/plain; charset=utf-8";
    std::string body;
    std::string allow;                           // a 405's methods: "GET, HEAD"
    std::string file;                            // in place of the body, a file's bytes (a song)
};

// An answer of a status and one line of text: every refusal, whoever makes it.
LiveResponse live_text(int status, const std::string& line);
// The refusal of a body past LIVE_BODY_LIMIT, however it was sent.
LiveResponse live_body_too_large();


// The refusal, 403 and one line, of a request the panel must not answer: one whose Host does not
// name the served address (a page elsewhere whose name was rebound to this machine), or one that
// would change the panel and comes from another site's page (its Origin not the panel's own).
// Nothing for a request the panel may answer. A request without an Origin (curl, a script) is the
// user's own.
std::optional<LiveResponse> live_refusal(const LiveRequest& request, const LiveAddress& served);
// Whether a Host header's value ("127.0.0.1:8080", "[::1]:8080", "localhost:8080") names the
// served address and its port.
bool live_host_accepted(const std::string& host, const LiveAddress& served);
// An address that only this machine reaches: "localhost", 127.0.0.0/8, ::1.
bool live_address_loopback(const std::string& host);
// The warning to print when the panel is served where others reach it; empty on loopback.
std::string live_exposure_warning(const LiveAddress& served);

class LivePanel {
public:
    // The panel as served at an address (its port the one it listens on): a request must name it.
    LivePanel(Host& host, const LiveTrace& trace, const LiveAddress& served);
    ~LivePanel();
    LivePanel(const LivePanel&) = delete;
    LivePanel& operator=(const LivePanel&) = delete;

    // The answer to one request of the page. Anything it cannot take (a request for another
    // address or from another site, a path it does not serve, a method, coordinates outside the
    // window, a body) is a 4xx answer of one line that changes nothing. HEAD is answered as GET
    // is; the server sends the headers alone.
    LiveResponse handle(const LiveRequest& request);
    // One frame of the host: a held button let go if the page has not renewed it for
    // LIVE_HOLD_EXPIRY_MS, else its repeat; an update pass, the messages it caused, and the clock
    // on by the time since the frame before.
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
    LiveResponse renew_hold();
    void let_go();
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
    LiveAddress served_;
    std::uint64_t frames_ = 0;
    std::uint64_t version_ = 1;
    std::string last_state_;
    std::string signature_;             // of the picture last drawn
    std::vector<std::uint8_t> png_;
    std::uint64_t picture_ = 0;         // counts the pictures that differ
    std::string shown_signature_;       // of the picture the page was last told of
    bool held_ = false;
    std::uint64_t unrenewed_ms_ = 0;    // frames' time since the press or its last renewal
};

}  // namespace panelhost
