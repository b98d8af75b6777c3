// The live panel's server: requests handed from the HTTP threads to the panel thread, and the
// panel thread's loop of frames at the host's rate, by the wall clock.
#include "panelhost/live/live_server.h"

#include "panelhost/live/live_panel.h"
#include "panelhost/host/trace.h"

#include <httplib.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
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

// The host's frame: 18 update passes a second.
constexpr auto FRAME = std::chrono::milliseconds(55);
// How long a page's wait for something new is held before it is answered all the same.
constexpr auto LONGEST_WAIT = std::chrono::seconds(2);
// A server thread serves one connection while it is open, so a connection that says nothing
// holds a thread: a request must come within a second of the last read (a page sends each whole
// at once), and an idle connection is closed after two. The threads are enough for a page's own
// connections (six at most in a browser) beside forty such connections.
constexpr std::size_t LIVE_SERVER_THREADS = 64;
constexpr time_t READ_TIMEOUT_S = 1;
constexpr time_t IDLE_TIMEOUT_S = 2;
// Connections not yet taken from the listening socket: httplib listens with room for five, and
// the kernel drops a connection past that (a page's own, behind a burst of others) for a second.
constexpr int LISTEN_BACKLOG = 128;

std::atomic<bool> stop_requested{false};

void request_stop(int)
{
    stop_requested = true;
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
                return LiveResponse{503, "text/plain; charset=utf-8", "the live panel is closing\n"};
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

}  // namespace

bool parse_live_address(const std::string& text, LiveAddress& address, std::string& error)
{
    std::size_t colon = text.rfind(':');
    std::string port = colon == std::string::npos ? text : text.substr(colon + 1);
    address.host = colon == std::string::npos ? "127.0.0.1" : text.substr(0, colon);
    bool digits = !port.empty() && port.size() <= 5 && port.find_first_not_of("0123456789") == std::string::npos;
    if (address.host.empty() || !digits || std::stoi(port) > 65535) {
        error = "[ADDRESS:]PORT must be a port from 0 (any free one) to 65535, after an address if one is given";
        return false;
    }
    address.port = std::stoi(port);
    return true;
}

bool serve_live(Host& host, const LiveTrace& trace, const LiveAddress& address, std::string& error)
{
    Exchange exchange;
    LiveAddress served = address;   // its port the one bound, before the first request

    httplib::Server server;
    server.set_payload_max_length(LIVE_BODY_LIMIT);
    // Connections kept for many requests, while they are busy: a page holds several open (its
    // wait for news among them), and a press never waits for a thread.
    server.new_task_queue = [] { return new httplib::ThreadPool(LIVE_SERVER_THREADS); };
    server.set_keep_alive_max_count(1000);
    server.set_keep_alive_timeout(IDLE_TIMEOUT_S);
    server.set_read_timeout(READ_TIMEOUT_S, 0);
    // An answer goes out as its headers and then its body: without this the body of a small
    // answer waits for the page's acknowledgement of the headers, tens of milliseconds.
    server.set_tcp_nodelay(true);
    socket_t listening_socket = INVALID_SOCKET;
    server.set_socket_options([&](socket_t socket) {
        httplib::default_socket_options(socket);
        listening_socket = socket;
    });
    auto forward = [&](const httplib::Request& request, httplib::Response& response) {
        LiveRequest asked = live_request(request);
        // A request the panel refuses by its Host or Origin is refused here at once, before a
        // wait for news and without the panel's thread.
        if (std::optional<LiveResponse> refusal = live_refusal(asked, served)) {
            give(*refusal, response);
            return;
        }
        // A page that asks for the state it has seen already waits for something new first.
        auto seen = asked.params.find("seen");
        if (asked.path == "/state" && seen != asked.params.end())
            exchange.wait_for_news(std::strtoull(seen->second.c_str(), nullptr, 10));
        give(exchange.ask(std::move(asked)), response);
    };
    server.Get(".*", forward);
    server.Post(".*", forward);
    server.Put(".*", forward);
    server.Delete(".*", forward);
    server.Patch(".*", forward);
    server.Options(".*", forward);
    // What the server refuses before a request reaches the panel (a body past the limit) says why too.
    server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty())
            return;
        std::string why = response.status == 413 ? "a request's body is at most " + std::to_string(LIVE_BODY_LIMIT) +
                                                       " bytes; the live panel reads its requests' words from their query"
                                                 : "the request cannot be read (a POST gives its Content-Length, 0 "
                                                   "for no body)";
        response.set_content(why + "\n", "text/plain; charset=utf-8");
    });

    int port = address.port;
    if (port == 0)
        port = server.bind_to_any_port(address.host);
    else if (!server.bind_to_port(address.host, port))
        port = -1;
    if (port <= 0) {
        error = "cannot listen on " + address.host + ":" + std::to_string(address.port);
        return false;
    }
    // Listening again on the listening socket gives its queue the room, on Linux.
    if (listening_socket != INVALID_SOCKET)
        ::listen(listening_socket, LISTEN_BACKLOG);
    served.port = port;
    LivePanel live(host, trace, served);
    exchange.version = live.version();
    std::fprintf(stderr, "panelhost: the live panel is at http://%s:%d/\n", address.host.c_str(), port);
    std::string warning = live_exposure_warning(served);
    if (!warning.empty())
        std::fprintf(stderr, "%s\n", warning.c_str());
    std::fflush(stderr);

    stop_requested = false;
    std::signal(SIGINT, request_stop);
    std::signal(SIGTERM, request_stop);
    std::thread listening([&] { server.listen_after_bind(); });

    Clock::time_point next_frame = Clock::now() + FRAME;
    Clock::time_point last_frame = Clock::now();
    while (!stop_requested) {
        std::deque<Exchange::Pending> requests;
        {
            std::unique_lock<std::mutex> hold(exchange.lock);
            exchange.panel_wakes.wait_until(hold, next_frame, [&] { return !exchange.pending.empty(); });
            requests.swap(exchange.pending);
        }
        bool pressed = false;
        for (Exchange::Pending& pending : requests) {
            pressed |= pending.request.path == "/press" || pending.request.path == "/release";
            pending.answer.set_value(live.handle(pending.request));
        }
        Clock::time_point now = Clock::now();
        // What a press changes shows at the next frame, and a person waits for it: the press
        // brings that frame forward, and the frames go on at the host's rate from it.
        if (pressed)
            next_frame = std::min(next_frame, now);
        if (now >= next_frame) {
            auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - last_frame).count();
            live.frame(static_cast<std::uint64_t>(elapsed));
            last_frame = now;
            // A frame late by more than one is not made up: the next comes a frame from now.
            next_frame += FRAME;
            if (next_frame <= now)
                next_frame = now + FRAME;
        }
        {
            std::lock_guard<std::mutex> hold(exchange.lock);
            if (exchange.version != live.version()) {
                exchange.version = live.version();
                exchange.version_moved.notify_all();
            }
        }
    }

    {
        std::lock_guard<std::mutex> hold(exchange.lock);
        exchange.closing = true;
        for (Exchange::Pending& pending : exchange.pending)
            pending.answer.set_value(LiveResponse{503, "text/plain; charset=utf-8", "the live panel is closing\n"});
        exchange.pending.clear();
    }
    exchange.version_moved.notify_all();
    server.stop();
    listening.join();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    trace_flush();
    return true;
}

}  // namespace panelhost
