// The live panel's server: connections served by one event loop on a thread of their own, each
// request handed to the panel's thread and its answer handed back; and the panel thread's loop of
// frames at the host's rate, by the wall clock.
#include "panelhost/live/live_server.h"

#include "base/text.h"
#include "panelhost/base/trace.h"
#include "panelhost/live/live_http.h"
#include "panelhost/live/live_panel.h"
#include "panelhost/system/end_signals.h"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <exception>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

namespace panelhost {
namespace {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

// The host's frame, and the bounds of a connection's time: panelhost/base/limits.h.
constexpr auto FRAME = Milliseconds(FRAME_MS);
constexpr auto LONGEST_WAIT = Milliseconds(LIVE_LONGEST_WAIT_MS);
constexpr auto IDLE_TIMEOUT = Milliseconds(LIVE_IDLE_TIMEOUT_MS);
constexpr auto HEAD_DEADLINE = Milliseconds(LIVE_HEAD_DEADLINE_MS);
constexpr auto BODY_DEADLINE = Milliseconds(LIVE_BODY_DEADLINE_MS);
constexpr auto WRITE_TIMEOUT = Milliseconds(LIVE_WRITE_TIMEOUT_MS);
constexpr auto LINGER = Milliseconds(LIVE_LINGER_MS);
// A connection's reads and an answer's pieces from a file.
constexpr std::size_t PIECE = 64 * 1024;

LiveResponse closing_answer()
{
    return live_text(503, "the live panel is closing");
}

// ---- the panel's side: requests waiting for the panel's thread ------------------------------------------

using Reply = std::function<void(LiveResponse)>;

// What the network's thread and the panel's thread share: the requests waiting for the panel.
class Exchange {
public:
    // On the network's thread: the request handed to the panel; the reply is called on the
    // panel's thread, or at once when the panel is closing.
    void ask(LiveRequest request, Reply reply)
    {
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (!closing_) {
                pending_.push_back(Pending{std::move(request), std::move(reply)});
                panel_wakes_.notify_one();
                return;
            }
        }
        reply(closing_answer());
    }

    // On the panel's thread: the requests handed to it, waited for until the time given.
    struct Pending {
        LiveRequest request;
        Reply reply;
    };
    std::deque<Pending> take(Clock::time_point until)
    {
        std::deque<Pending> requests;
        std::unique_lock<std::mutex> hold(lock_);
        panel_wakes_.wait_until(hold, until, [&] { return !pending_.empty(); });
        requests.swap(pending_);
        return requests;
    }

    // The requests still waiting are answered that the panel is closing, as is every one after.
    void close()
    {
        std::deque<Pending> left;
        {
            std::lock_guard<std::mutex> hold(lock_);
            closing_ = true;
            left.swap(pending_);
        }
        for (Pending& waiting : left)
            waiting.reply(closing_answer());
    }

private:
    std::mutex lock_;
    std::condition_variable panel_wakes_;
    std::deque<Pending> pending_;
    bool closing_ = false;
};

// ---- the network's side: one event loop, its connections ---------------------------------------------

class Connection;

// Everything here but the Exchange belongs to the network's thread.
struct Network {
    explicit Network(Exchange& exchange) : exchange(exchange), acceptor(io) {}

    Exchange& exchange;
    LiveAddress served;
    asio::io_context io;
    tcp::acceptor acceptor;
    asio::steady_timer accept_pause{io};
    std::list<std::weak_ptr<Connection>> connections;   // open, oldest first
    std::list<std::weak_ptr<Connection>> waiting;       // waits for news
    std::uint64_t version = 0;                           // the panel's, as last published
};

// A connection, its requests read and answered one at a time, in the order they came. Each state
// has its deadline: an idle connection is closed, a request not whole in time is answered 408,
// an answer the client does not take is given up.
class Connection : public std::enable_shared_from_this<Connection> {
public:
    Connection(Network& network, tcp::socket socket)
        : network_(network), socket_(std::move(socket)), timer_(network.io)
    {
    }

    ~Connection()
    {
        if (file_ >= 0)
            ::close(file_);
    }

    void start()
    {
        boost::system::error_code ignored;
        socket_.set_option(tcp::no_delay(true), ignored);
        become_idle();
        read_more();
    }

    // When the exchange under way began: the connection that has gone on longest gives way to a
    // new one when there are too many.
    Clock::time_point since() const { return since_; }
    // A request handed to the panel is answered within a frame: it is not given way.
    bool giving_way_allowed() const { return state_ != State::Asking && state_ != State::Closed && !closing(); }
    // Its last answer is going out, or has gone, and the connection closes by itself soon.
    bool closing() const { return state_ == State::Lingering || (state_ == State::Writing && plan_.close); }

    // Makes room for a new connection: a request being read is told why, a wait for news is
    // answered now, anything else is closed.
    void give_way()
    {
        if (state_ == State::Reading)
            refuse(live_text(503, "the live panel has too many connections open, and this one's request had gone "
                                  "on longest"));
        else if (state_ == State::Waiting)
            ask_panel();
        else
            close();
    }

    // The panel's version moved: a wait for something other than what was seen ends.
    void news(std::uint64_t version)
    {
        if (state_ == State::Waiting && version != seen_)
            ask_panel();
    }

    void close()
    {
        if (state_ == State::Closed)
            return;
        state_ = State::Closed;
        ++generation_;
        timer_.cancel();
        boost::system::error_code ignored;
        socket_.close(ignored);
    }

private:
    enum class State { Idle, Reading, Asking, Waiting, Writing, Lingering, Closed };

    // ---- deadlines

    void arm(Clock::duration from_now)
    {
        unsigned generation = ++generation_;
        timer_.expires_after(from_now);
        timer_.async_wait([self = shared_from_this(), generation](boost::system::error_code error) {
            if (!error && generation == self->generation_)
                self->late();
        });
    }

    void disarm()
    {
        ++generation_;
        timer_.cancel();
    }

    void late()
    {
        switch (state_) {
        case State::Reading:
            refuse(late_request_answer(reader_.head_read()));
            break;
        case State::Waiting:
            ask_panel();
            break;
        case State::Idle:
        case State::Writing:
        case State::Lingering:
            close();
            break;
        case State::Asking:
        case State::Closed:
            break;
        }
    }

    // ---- reading a request

    void become_idle()
    {
        state_ = State::Idle;
        since_ = Clock::now();
        head_armed_ = false;
        body_armed_ = false;
        arm(IDLE_TIMEOUT);
    }

    void read_more()
    {
        socket_.async_read_some(asio::buffer(piece_),
                                [self = shared_from_this()](boost::system::error_code error, std::size_t got) {
                                    self->bytes_came(error, got);
                                });
    }

    void bytes_came(boost::system::error_code error, std::size_t got)
    {
        if (state_ != State::Idle && state_ != State::Reading)
            return;
        if (error) {
            // The client closed its side: a request begun and not whole is answered, else nothing.
            LiveRequestReader::Read ended = error == asio::error::eof ? reader_.end() : LiveRequestReader::Read::More;
            if (ended == LiveRequestReader::Read::Refused) {
                refuse(reader_.refusal());
            } else if (ended == LiveRequestReader::Read::Request) {
                asked_ = reader_.take_request();
                asked_.keep_alive = false;
                disarm();
                wait_or_ask();
            } else {
                close();
            }
            return;
        }
        bytes_.append(piece_.data(), got);
        take_bytes();
    }

    // What the bytes read so far hold: more to wait for, a request, or a refusal.
    void take_bytes()
    {
        LiveRequestReader::Read read = reader_.read(bytes_);
        if (reader_.started() && !head_armed_) {
            head_armed_ = true;
            state_ = State::Reading;
            since_ = Clock::now();
            arm(HEAD_DEADLINE);
        }
        if (reader_.head_read() && !body_armed_ && read == LiveRequestReader::Read::More) {
            body_armed_ = true;
            arm(BODY_DEADLINE);
        }
        switch (read) {
        case LiveRequestReader::Read::Refused:
            refuse(reader_.refusal());
            return;
        case LiveRequestReader::Read::Request:
            asked_ = reader_.take_request();
            disarm();
            wait_or_ask();
            return;
        case LiveRequestReader::Read::More:
            if (reader_.take_continue())
                send_continue();
            else
                read_more();
            return;
        }
    }

    // A client that waits to be asked for its body is asked, then read on.
    void send_continue()
    {
        static const std::string CONTINUE = "HTTP/1.1 100 Continue\r\n\r\n";
        asio::async_write(socket_, asio::buffer(CONTINUE),
                          [self = shared_from_this()](boost::system::error_code error, std::size_t) {
                              if (error)
                                  self->close();
                              else if (self->state_ == State::Reading)
                                  self->read_more();
                          });
    }

    // ---- the panel's answer

    // A page that asks for the state it has seen already waits for something new first; one the
    // panel will refuse (by its Host or its Origin) is answered at once.
    void wait_or_ask()
    {
        const LiveRequest& request = asked_.request;
        auto seen = request.params.find("seen");
        long long version = 0;
        bool waits = request.path == "/state" && (request.method == "GET" || request.method == "HEAD") &&
                     seen != request.params.end() && base::read_whole_number(seen->second, 0, LLONG_MAX, version) &&
                     !live_refusal(request, network_.served);
        seen_ = static_cast<std::uint64_t>(version);
        if (!waits || seen_ != network_.version) {
            ask_panel();
            return;
        }
        state_ = State::Waiting;
        network_.waiting.remove_if([](const std::weak_ptr<Connection>& weak) {
            std::shared_ptr<Connection> connection = weak.lock();
            return !connection || connection->state_ != State::Waiting;
        });
        network_.waiting.push_back(weak_from_this());
        arm(LONGEST_WAIT);
    }

    void ask_panel()
    {
        state_ = State::Asking;
        disarm();
        // The request holds the connection until its answer is written.
        asio::io_context& io = network_.io;
        network_.exchange.ask(asked_.request, [self = shared_from_this(), &io](LiveResponse answer) {
            asio::post(io, [self, answer = std::move(answer)]() mutable { self->answer(std::move(answer), false); });
        });
    }

    // What cannot be taken is answered, and the connection closes after it. A request not read
    // whole is answered as no method's: its whole refusal, whatever it asked.
    void refuse(const LiveResponse& refusal)
    {
        if (state_ == State::Idle || state_ == State::Reading)
            asked_ = LiveHttpRequest{};
        disarm();
        answer(refusal, true);
    }

    void answer(LiveResponse answer, bool close_after)
    {
        if (state_ == State::Closed)
            return;
        state_ = State::Writing;
        answer_ = std::move(answer);
        std::uint64_t size = answer_.body.size();
        if (!answer_.file.empty() && !open_file(size))
            answer_ = live_text(404, "the song cannot be read");
        if (answer_.file.empty())
            size = answer_.body.size();
        plan_ = plan_answer(asked_, answer_, size, close_after);
        out_ = plan_.head;
        write_next();
    }

    bool open_file(std::uint64_t& size)
    {
        file_ = ::open(answer_.file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        struct stat facts {};
        if (file_ < 0 || ::fstat(file_, &facts) != 0 || !S_ISREG(facts.st_mode)) {
            if (file_ >= 0)
                ::close(file_);
            file_ = -1;
            answer_.file.clear();
            return false;
        }
        size = static_cast<std::uint64_t>(facts.st_size);
        return true;
    }

    // The head and then the body's span, a piece at a time, each taken within WRITE_TIMEOUT.
    void write_next()
    {
        if (out_.empty() && plan_.length > 0 && !next_piece())
            return;
        if (out_.empty()) {
            answered();
            return;
        }
        arm(WRITE_TIMEOUT);
        asio::async_write(socket_, asio::buffer(out_),
                          [self = shared_from_this()](boost::system::error_code error, std::size_t) {
                              if (self->state_ != State::Writing)
                                  return;
                              if (error) {
                                  self->close();
                                  return;
                              }
                              self->out_.clear();
                              self->write_next();
                          });
    }

    // The next piece of the body into out_; false, the connection closed, when a file cannot give it.
    bool next_piece()
    {
        std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(plan_.length, PIECE));
        if (file_ < 0) {
            out_ = answer_.body.substr(static_cast<std::size_t>(plan_.from), count);
        } else {
            out_.resize(count);
            ssize_t got = ::pread(file_, out_.data(), count, static_cast<off_t>(plan_.from));
            if (got <= 0) {
                close();
                return false;
            }
            out_.resize(static_cast<std::size_t>(got));
        }
        plan_.from += out_.size();
        plan_.length -= out_.size();
        return true;
    }

    void answered()
    {
        if (file_ >= 0)
            ::close(file_);
        file_ = -1;
        answer_ = LiveResponse{};
        if (plan_.close) {
            linger();
            return;
        }
        become_idle();
        // A request sent before this one's answer (pipelined) is read from what came already.
        if (!bytes_.empty())
            take_bytes();
        else
            read_more();
    }

    // The connection closes after its answer: its sending side first, and then what the client
    // still sends is read and dropped for a moment, so that the close does not reset the
    // connection before the client has read the answer.
    void linger()
    {
        state_ = State::Lingering;
        bytes_.clear();
        boost::system::error_code ignored;
        socket_.shutdown(tcp::socket::shutdown_send, ignored);
        lingered_ = 0;
        arm(LINGER);
        drop_more();
    }

    void drop_more()
    {
        socket_.async_read_some(asio::buffer(piece_),
                                [self = shared_from_this()](boost::system::error_code error, std::size_t got) {
                                    if (self->state_ != State::Lingering)
                                        return;
                                    self->lingered_ += got;
                                    if (error || self->lingered_ > LIVE_LINGER_BYTES)
                                        self->close();
                                    else
                                        self->drop_more();
                                });
    }

    Network& network_;
    tcp::socket socket_;
    asio::steady_timer timer_;
    unsigned generation_ = 0;          // of the deadline armed last; an older one is let pass
    State state_ = State::Idle;
    Clock::time_point since_ = Clock::now();
    bool head_armed_ = false;
    bool body_armed_ = false;
    std::array<char, 4096> piece_{};
    std::string bytes_;                // read and not yet taken by the reader
    LiveRequestReader reader_;
    LiveHttpRequest asked_;
    std::uint64_t seen_ = 0;           // the version a wait for news has seen
    LiveResponse answer_;
    LiveAnswerPlan plan_;
    std::string out_;                  // the bytes being written
    int file_ = -1;                    // the file an answer's body is read from
    std::size_t lingered_ = 0;
};

// ---- the network's thread ------------------------------------------------------------------------

void forget_closed(std::list<std::weak_ptr<Connection>>& connections)
{
    connections.remove_if([](const std::weak_ptr<Connection>& connection) { return connection.expired(); });
}

// At the limit of connections, the one whose exchange has gone on longest gives way: slow or
// silent clients are old by their nature, and a page's requests are answered within moments. The
// connections closing after their last answer (each within LIVE_LINGER_MS, once its answer is
// taken) have a limit of their own beyond it, past which the oldest is closed at once.
void make_room(Network& network)
{
    forget_closed(network.connections);
    std::size_t open = 0, closing = 0;
    std::shared_ptr<Connection> oldest_open, oldest_closing;
    for (const std::weak_ptr<Connection>& weak : network.connections) {
        std::shared_ptr<Connection> connection = weak.lock();
        if (!connection)
            continue;
        std::shared_ptr<Connection>& oldest = connection->closing() ? oldest_closing : oldest_open;
        (connection->closing() ? closing : open) += 1;
        if ((connection->closing() || connection->giving_way_allowed()) &&
            (!oldest || connection->since() < oldest->since()))
            oldest = connection;
    }
    if (closing >= LIVE_CONNECTIONS_LIMIT && oldest_closing)
        oldest_closing->close();
    if (open >= LIVE_CONNECTIONS_LIMIT && oldest_open)
        oldest_open->give_way();
}

void accept_next(Network& network)
{
    network.acceptor.async_accept([&network](boost::system::error_code error, tcp::socket socket) {
        if (error == asio::error::operation_aborted || !network.acceptor.is_open())
            return;
        if (error) {
            // Out of descriptors, say: accepting again at once would spin.
            network.accept_pause.expires_after(Milliseconds(50));
            network.accept_pause.async_wait([&network](boost::system::error_code paused) {
                if (!paused)
                    accept_next(network);
            });
            return;
        }
        make_room(network);
        auto connection = std::make_shared<Connection>(network, std::move(socket));
        network.connections.push_back(connection);
        connection->start();
        accept_next(network);
    });
}

// On the network's thread: the panel's version moved, and the waits for news that it ends.
void publish_version(Network& network, std::uint64_t version)
{
    network.version = version;
    std::list<std::weak_ptr<Connection>> waiting;
    waiting.swap(network.waiting);
    for (const std::weak_ptr<Connection>& weak : waiting)
        if (std::shared_ptr<Connection> connection = weak.lock())
            connection->news(version);
}

// On the network's thread: nothing more is accepted and every connection is closed.
void shut(Network& network)
{
    boost::system::error_code ignored;
    network.acceptor.close(ignored);
    network.accept_pause.cancel();
    for (const std::weak_ptr<Connection>& weak : network.connections)
        if (std::shared_ptr<Connection> connection = weak.lock())
            connection->close();
    network.io.stop();
}

// The network's thread runs until it is stopped; what goes wrong in one connection's handler is
// said and the others go on.
void run_network(Network& network)
{
    for (;;) {
        try {
            network.io.run();
            return;
        } catch (const std::exception& failure) {
            std::fprintf(stderr, "warning serve: a connection's handler failed: %s\n", failure.what());
        }
    }
}

// Binds the address, on any free port for port 0. False, with the error, when it cannot.
bool bind_server(Network& network, const LiveAddress& address, std::string& error)
{
    boost::system::error_code failure;
    tcp::resolver resolver(network.io);
    std::string host = address.host;
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    tcp::resolver::results_type found = resolver.resolve(host, std::to_string(address.port),
                                                         tcp::resolver::numeric_service, failure);
    if (!failure && !found.empty()) {
        tcp::endpoint endpoint = found.begin()->endpoint();
        network.acceptor.open(endpoint.protocol(), failure);
        if (!failure)
            network.acceptor.set_option(tcp::acceptor::reuse_address(true), failure);
        if (!failure)
            network.acceptor.bind(endpoint, failure);
        if (!failure)
            network.acceptor.listen(LIVE_LISTEN_BACKLOG, failure);
    }
    if (failure || found.empty()) {
        error = "cannot listen on " + address.host + ":" + std::to_string(address.port) +
                (failure ? ": " + failure.message() : std::string());
        return false;
    }
    network.served = address;
    network.served.port = network.acceptor.local_endpoint().port();
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

// ---- the panel's thread --------------------------------------------------------------------------

// When the next frame is due, and when the last one ran.
struct FrameTimes {
    Clock::time_point next = Clock::now() + FRAME;
    Clock::time_point last = Clock::now();
};

// The answer to one request; what the panel cannot do now (the memory for a picture, say) is a
// refusal of that request alone, and the panel goes on.
LiveResponse answer_one(LivePanel& live, const LiveRequest& request)
{
    try {
        return live.handle(request);
    } catch (const std::bad_alloc&) {
        return live_text(503, "the live panel ran out of memory for this request");
    } catch (const std::exception& failure) {
        return live_text(503, std::string("the live panel cannot answer this request: ") + failure.what());
    }
}

// Each request answered in its turn; true when one of them pressed or released a button.
bool answer_requests(std::deque<Exchange::Pending>& requests, LivePanel& live)
{
    bool pressed = false;
    for (Exchange::Pending& pending : requests) {
        pressed |= pending.request.path == "/press" || pending.request.path == "/release";
        pending.reply(answer_one(live, pending.request));
    }
    return pressed;
}

// The frame, by the time since the last; a frame late by more than one is not made up: the next
// comes a frame from now.
void run_frame(LivePanel& live, FrameTimes& frames, Clock::time_point now)
{
    auto elapsed = std::chrono::duration_cast<Milliseconds>(now - frames.last).count();
    live.frame(static_cast<std::uint64_t>(elapsed));
    frames.last = now;
    frames.next += FRAME;
    if (frames.next <= now)
        frames.next = now + FRAME;
}

// The panel's thread until SIGINT or SIGTERM: the requests answered as they come, the frames at
// the host's rate, and each new version told to the network's thread.
void run_frames(Exchange& exchange, Network& network, LivePanel& live)
{
    FrameTimes frames;
    std::uint64_t published = live.version();
    while (!end_signal()) {
        std::deque<Exchange::Pending> requests = exchange.take(frames.next);
        bool pressed = answer_requests(requests, live);
        Clock::time_point now = Clock::now();
        // What a press changes shows at the next frame, and a person waits for it: the press
        // brings that frame forward, and the frames go on at the host's rate from it.
        if (pressed)
            frames.next = std::min(frames.next, now);
        if (now >= frames.next)
            run_frame(live, frames, now);
        if (live.version() != published) {
            published = live.version();
            asio::post(network.io, [&network, published] { publish_version(network, published); });
        }
    }
}

// The server from its bind to its end: the network's thread started, and, however the panel's
// loop ends (a signal, or a failure that leaves it), every waiting request answered, every
// connection closed and the thread ended before the panel goes.
class Served {
public:
    Served() : network_(exchange_) {}

    bool listen(const LiveAddress& address, std::string& error) { return bind_server(network_, address, error); }

    void start(std::uint64_t version)
    {
        network_.version = version;
        accept_next(network_);
        thread_ = std::thread([this] { run_network(network_); });
    }

    ~Served()
    {
        exchange_.close();
        asio::post(network_.io, [this] { shut(network_); });
        if (thread_.joinable())
            thread_.join();
    }

    Exchange& exchange() { return exchange_; }
    Network& network() { return network_; }

private:
    Exchange exchange_;
    Network network_;
    std::thread thread_;
};

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
    Served served;
    if (!served.listen(address, error))
        return false;
    LivePanel live(host, trace, served.network().served);
    catch_end_signals();
    served.start(live.version());
    announce(served.network().served);
    run_frames(served.exchange(), served.network(), live);
    release_end_signals();
    trace_flush();
    return true;
}

}  // namespace panelhost
