// The live panel's server: requests handed from the HTTP threads to the panel thread, and the
// panel thread's loop of frames at the host's rate, by the wall clock.
#include "panelhost/live/live_server.h"

#include "panelhost/base/text.h"
#include "panelhost/live/live_panel.h"
#include "panelhost/host/trace.h"

#include <httplib.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <deque>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

namespace panelhost {
namespace {

using Clock = std::chrono::steady_clock;

// The host's frame, and the bounds of a page's wait and of the server's threads and connections:
// panelhost/base/limits.h.
constexpr auto FRAME = std::chrono::milliseconds(FRAME_MS);
constexpr auto LONGEST_WAIT = std::chrono::milliseconds(LIVE_LONGEST_WAIT_MS);

std::atomic<bool> stop_requested{false};

void request_stop(int)
{
    stop_requested = true;
}

LiveResponse closing_answer()
{
    return LiveResponse{503, "text/plain; charset=utf-8", "the live panel is closing\n"};
}

// What the server's threads and the panel's thread share: the requests waiting for the panel,
// and the panel's version, which a page's wait for news watches.
struct Exchange {
    struct Pending {
        LiveRequest request;
        std::promise<LiveResponse> answer;
    };
    std::mutex lock;
    std::condition_variable panel_wakes;     // a request came, or the end
    std::condition_variable version_moved;   // the panel's version changed
    std::deque<Pending> pending;
    std::uint64_t version = 0;
    bool closing = false;

    // On a server thread: hands the request to the panel and waits for its answer.
    LiveResponse ask(LiveRequest request)
    {
        std::future<LiveResponse> answer;
        {
            std::lock_guard<std::mutex> hold(lock);
            if (closing)
                return closing_answer();
            pending.push_back(Pending{std::move(request), {}});
            answer = pending.back().answer.get_future();
        }
        panel_wakes.notify_one();
        return answer.get();
    }

    // On a server thread: waits until the panel's version is other than the one the page saw.
    void wait_for_news(std::uint64_t seen)
    {
        std::unique_lock<std::mutex> hold(lock);
        version_moved.wait_for(hold, LONGEST_WAIT, [&] { return version != seen || closing; });
    }

    // On the panel's thread: the requests handed to it, waited for until the time given.
    std::deque<Pending> take(Clock::time_point until)
    {
        std::deque<Pending> requests;
        std::unique_lock<std::mutex> hold(lock);
        panel_wakes.wait_until(hold, until, [&] { return !pending.empty(); });
        requests.swap(pending);
        return requests;
    }

    // On the panel's thread: the panel's version, for the waits for news it ends.
    void publish(std::uint64_t now)
    {
        std::lock_guard<std::mutex> hold(lock);
        if (version != now) {
            version = now;
            version_moved.notify_all();
        }
    }

    // The requests still waiting are answered that the panel is closing, as is every one after;
    // the waits for news end.
    void close()
    {
        {
            std::lock_guard<std::mutex> hold(lock);
            closing = true;
            for (Pending& waiting : pending)
                waiting.answer.set_value(closing_answer());
            pending.clear();
        }
        version_moved.notify_all();
    }
};

// The server and what its handlers share with the panel's thread. The served address gets the
// port bound before the first request.
struct LiveServer {
    Exchange exchange;
    LiveAddress served;
    httplib::Server http;
    socket_t listening_socket = INVALID_SOCKET;
};

// When the next frame is due, and when the last one ran.
struct FrameTimes {
    Clock::time_point next = Clock::now() + FRAME;
    Clock::time_point last = Clock::now();
};

// A header given once; a header given twice names no one thing, and is taken as given but empty,
// which no rule accepts.
std::optional<std::string> single_header(const httplib::Request& request, const char* name)
{
    std::size_t count = request.get_header_value_count(name);
    if (count == 0)
        return std::nullopt;
    return count == 1 ? request.get_header_value(name) : std::string();
}

LiveRequest live_request(const httplib::Request& request)
{
    LiveRequest live;
    live.method = request.method;
    live.path = request.path;
    for (const auto& [name, value] : request.params)
        live.params.emplace(name, value);
    live.body_size = request.body.size();
    live.host = single_header(request, "Host");
    live.origin = single_header(request, "Origin");
    return live;
}

void give(const LiveResponse& answer, httplib::Response& response)
{
    response.status = answer.status;
    response.set_header("Cache-Control", "no-store");
    response.set_content(answer.body, answer.type.c_str());
}

// Connections kept for many requests, while they are busy: a page holds several open (its wait
// for news among them), and a press never waits for a thread.
void set_limits(httplib::Server& http)
{
    http.set_payload_max_length(LIVE_BODY_LIMIT);
    http.new_task_queue = [] { return new httplib::ThreadPool(LIVE_SERVER_THREADS); };
    http.set_keep_alive_max_count(1000);
    http.set_keep_alive_timeout(LIVE_IDLE_TIMEOUT_S);
    http.set_read_timeout(LIVE_READ_TIMEOUT_S, 0);
    // An answer goes out as its headers and then its body: without this the body of a small
    // answer waits for the page's acknowledgement of the headers, tens of milliseconds.
    http.set_tcp_nodelay(true);
}

// Every request of every method goes to the panel's thread, which answers or refuses it.
void forward_requests(LiveServer& server)
{
    auto forward = [&server](const httplib::Request& request, httplib::Response& response) {
        LiveRequest asked = live_request(request);
        // A page that asks for the state it has seen already waits for something new first;
        // one the panel will refuse (by its Host or its Origin) is answered at once.
        auto seen = asked.params.find("seen");
        long long version = 0;
        if (asked.path == "/state" && seen != asked.params.end() &&
            base::read_whole_number(seen->second, 0, LLONG_MAX, version) && !live_refusal(asked, server.served))
            server.exchange.wait_for_news(static_cast<std::uint64_t>(version));
        give(server.exchange.ask(std::move(asked)), response);
    };
    server.http.Get(".*", forward);
    server.http.Post(".*", forward);
    server.http.Put(".*", forward);
    server.http.Delete(".*", forward);
    server.http.Patch(".*", forward);
    server.http.Options(".*", forward);
}

// What the server refuses before a request reaches the panel (a body past the limit) says why too.
void explain_refusals(httplib::Server& http)
{
    http.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty())
            return;
        std::string why = response.status == 413 ? "a request's body is at most " + std::to_string(LIVE_BODY_LIMIT) +
                                                       " bytes; the live panel reads its requests' words from their query"
                                                 : "the request cannot be read (a POST gives its Content-Length, 0 "
                                                   "for no body)";
        response.set_content(why + "\n", "text/plain; charset=utf-8");
    });
}

// The server's limits and handlers, its listening socket noted when the bind makes it.
void set_up_server(LiveServer& server, const LiveAddress& address)
{
    server.served = address;
    set_limits(server.http);
    server.http.set_socket_options([&server](socket_t socket) {
        httplib::default_socket_options(socket);
        server.listening_socket = socket;
    });
    forward_requests(server);
    explain_refusals(server.http);
}

// Binds the address, on any free port for port 0, and gives the listening socket its queue. False,
// with the error, when it cannot.
bool bind_server(LiveServer& server, const LiveAddress& address, std::string& error)
{
    int port = address.port;
    if (port == 0)
        port = server.http.bind_to_any_port(address.host);
    else if (!server.http.bind_to_port(address.host, port))
        port = -1;
    if (port <= 0) {
        error = "cannot listen on " + address.host + ":" + std::to_string(address.port);
        return false;
    }
    // Listening again on the listening socket gives its queue the room, on Linux.
    if (server.listening_socket != INVALID_SOCKET)
        ::listen(server.listening_socket, LIVE_LISTEN_BACKLOG);
    server.served.port = port;
    return true;
}

// Where the page is, for the person who started the bench, and a warning if others can reach it.
void announce(const LiveAddress& served)
{
    std::fprintf(stderr, "panelhost: the live panel is at http://%s:%d/\n", served.host.c_str(), served.port);
    std::string warning = live_exposure_warning(served);
    if (!warning.empty())
        std::fprintf(stderr, "%s\n", warning.c_str());
    std::fflush(stderr);
}

// Each request answered in its turn; true when one of them pressed or released a button.
bool answer_requests(std::deque<Exchange::Pending>& requests, LivePanel& live)
{
    bool pressed = false;
    for (Exchange::Pending& pending : requests) {
        pressed |= pending.request.path == "/press" || pending.request.path == "/release";
        pending.answer.set_value(live.handle(pending.request));
    }
    return pressed;
}

// The frame, by the time since the last; a frame late by more than one is not made up: the next
// comes a frame from now.
void run_frame(LivePanel& live, FrameTimes& frames, Clock::time_point now)
{
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - frames.last).count();
    live.frame(static_cast<std::uint64_t>(elapsed));
    frames.last = now;
    frames.next += FRAME;
    if (frames.next <= now)
        frames.next = now + FRAME;
}

// The panel's thread until SIGINT or SIGTERM: the requests answered as they come, the frames at
// the host's rate.
void run_frames(Exchange& exchange, LivePanel& live)
{
    FrameTimes frames;
    while (!stop_requested) {
        std::deque<Exchange::Pending> requests = exchange.take(frames.next);
        bool pressed = answer_requests(requests, live);
        Clock::time_point now = Clock::now();
        // What a press changes shows at the next frame, and a person waits for it: the press
        // brings that frame forward, and the frames go on at the host's rate from it.
        if (pressed)
            frames.next = std::min(frames.next, now);
        if (now >= frames.next)
            run_frame(live, frames, now);
        exchange.publish(live.version());
    }
}

// Every request still waiting answered, the server stopped and its thread ended; the signals
// back to their defaults and the trace written out.
void close_server(LiveServer& server, std::thread& listening)
{
    server.exchange.close();
    server.http.stop();
    listening.join();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    trace_flush();
}

}  // namespace

bool parse_live_address(const std::string& text, LiveAddress& address, std::string& error)
{
    std::size_t colon = text.rfind(':');
    std::string port = colon == std::string::npos ? text : text.substr(colon + 1);
    address.host = colon == std::string::npos ? "127.0.0.1" : text.substr(0, colon);
    long long number = 0;
    if (address.host.empty() || port[0] == '-' || !base::read_whole_number(port, 0, 65535, number)) {
        error = "[ADDRESS:]PORT must be a port from 0 (any free one) to 65535, after an address if one is given";
        return false;
    }
    address.port = static_cast<int>(number);
    return true;
}

bool serve_live(Host& host, const LiveTrace& trace, const LiveAddress& address, std::string& error)
{
    LiveServer server;
    set_up_server(server, address);
    if (!bind_server(server, address, error))
        return false;
    LivePanel live(host, trace, server.served);
    server.exchange.version = live.version();
    announce(server.served);

    stop_requested = false;
    std::signal(SIGINT, request_stop);
    std::signal(SIGTERM, request_stop);
    std::thread listening([&server] { server.http.listen_after_bind(); });
    run_frames(server.exchange, live);
    close_server(server, listening);
    return true;
}

}  // namespace panelhost
