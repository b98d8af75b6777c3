// The live panel from outside: panelhost serving on loopback in a child process, and raw TCP
// connections to it that send exactly the bytes a test gives, as a careless or hostile client
// would, every wait bounded.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace test_support {

using Clock = std::chrono::steady_clock;

long long ms_since(Clock::time_point start);
double exact_ms_since(Clock::time_point start);

// panelhost serving one gauge (the radio, unless another is named) or the ARGS given, on a free
// port of 127.0.0.1, in a folder of its own; ended by SIGTERM by its pid when it goes.
class ServedPanel {
public:
    explicit ServedPanel(const std::string& module = "radio.so", const std::string& gauge = "tuneset");
    // panelhost with these arguments after --cwd FOLDER --serve 127.0.0.1:0, {folder} in them
    // standing for FOLDER; what the folder must hold before it starts (a Sound folder, a panel
    // file) is put there by `prepare`.
    explicit ServedPanel(const std::vector<std::string>& args,
                         const std::function<void(const std::string& folder)>& prepare = nullptr);
    ~ServedPanel();
    ServedPanel(const ServedPanel&) = delete;
    ServedPanel& operator=(const ServedPanel&) = delete;

    // Sends the signal and waits for the end, 10 s at most (then SIGKILL). The exit status, or
    // -1 when it did not exit by itself; the time it took is ended_ms().
    int end(int signal = 15);
    double ended_ms() const { return ended_ms_; }

    int port() const { return port_; }
    pid_t pid() const { return pid_; }
    std::string folder() const { return folder_; }
    std::string errors() const;
    std::string trace() const;
    // The process's resident memory in KiB, from /proc; -1 once it has ended.
    long long resident_kb() const;

private:
    void start(const std::vector<std::string>& args, const std::function<void(const std::string&)>& prepare);

    std::string folder_;
    pid_t pid_ = -1;
    int port_ = 0;
    int status_ = -1;
    double ended_ms_ = 0;
};

// A TCP connection to 127.0.0.1:PORT, closed when it goes.
class Connection {
public:
    explicit Connection(int port);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool connected() const { return fd_ >= 0; }
    // Sends all the bytes; false when the server closed or reset the connection first.
    bool send_text(const std::string& text);
    // Reads what has come, waiting up to the deadline for something; false once the server
    // closed the connection (what came before it is appended).
    bool read_some(std::string& text, Clock::time_point deadline);
    // What the server sends until it closes the connection, until the deadline at most; true if
    // it closed it.
    bool read_until_closed(std::string& text, Clock::time_point deadline);
    // Whether the server has closed the connection (or reset it), without waiting; what it said
    // before is read and dropped.
    bool closed_by_server();

private:
    int fd_ = -1;
};

// An answer read off a connection.
struct Answer {
    int status = 0;                    // 0: no whole answer
    std::string head;                  // its status line and headers
    std::string body;
    double ms = 0;                     // from the connect to the answer read whole
    // A header's value; empty when it is not there.
    std::string header(const std::string& name) const;
};

// The answers in the bytes, in order, each by its Content-Length; a HEAD answer's length is not
// followed by a body, so the heads of answers to HEAD are given as such.
std::vector<Answer> read_answers(const std::string& bytes, const std::vector<bool>& to_head = {});

// One request on a connection of its own, answered within 5 s at most; the request should ask
// the connection to close ("Connection: close") or be the last the server takes.
Answer request_once(int port, const std::string& request);

// "GET /state?trace=0", Host the served address, the connection closed after it.
std::string get_state(int port);

}  // namespace test_support
