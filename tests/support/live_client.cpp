// The live panel from outside: the served bench in a child process and raw connections to it.
#include "tests/support/live_client.h"

#include "tests/support/panelhost_runner.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <fstream>
#include <optional>
#include <regex>
#include <thread>

namespace test_support {

long long ms_since(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

double exact_ms_since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// ---- the served panel -------------------------------------------------------------------------------

ServedPanel::ServedPanel(const std::string& module, const std::string& gauge)
{
    start({out_dir() + "/" + module, gauge}, nullptr);
}

ServedPanel::ServedPanel(const std::vector<std::string>& args, const std::function<void(const std::string&)>& prepare)
{
    start(args, prepare);
}

void ServedPanel::start(const std::vector<std::string>& given, const std::function<void(const std::string&)>& prepare)
{
    folder_ = make_temp_dir();
    if (prepare)
        prepare(folder_);
    std::vector<std::string> args = {"--cwd", folder_, "--serve", "127.0.0.1:0"};
    for (std::string arg : given)
        args.push_back(std::regex_replace(arg, std::regex("\\{folder\\}"), folder_));
    pid_ = start_panelhost(args, "", folder_ + "/trace", folder_ + "/errors");
    // It says where it listens once it does.
    const std::regex listening("the live panel is at http://127\\.0\\.0\\.1:([0-9]+)/");
    for (Clock::time_point start = Clock::now(); ms_since(start) < 20000 && port_ == 0;) {
        std::smatch found;
        std::string text = errors();
        if (std::regex_search(text, found, listening))
            port_ = std::stoi(found[1]);
        else if (int status = 0; waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            pid_ = -1;
            break;
        }
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

ServedPanel::~ServedPanel()
{
    end();
}

int ServedPanel::end(int signal)
{
    if (pid_ <= 0)
        return status_;
    Clock::time_point sent = Clock::now();
    kill(pid_, signal);
    std::optional<int> status = wait_bounded(pid_, 10000);
    ended_ms_ = exact_ms_since(sent);
    status_ = status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
    pid_ = -1;
    return status_;
}

std::string ServedPanel::errors() const
{
    return read_text_file(folder_ + "/errors");
}

std::string ServedPanel::trace() const
{
    return read_text_file(folder_ + "/trace");
}

long long ServedPanel::resident_kb() const
{
    if (pid_ <= 0)
        return -1;
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, 6, "VmRSS:") == 0)
            return std::stoll(line.substr(6));
    return -1;
}

// ---- connections ------------------------------------------------------------------------------------

Connection::Connection(int port)
{
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ >= 0 && connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd_);
        fd_ = -1;
    }
}

Connection::~Connection()
{
    if (fd_ >= 0)
        close(fd_);
}

bool Connection::send_text(const std::string& text)
{
    for (std::size_t sent = 0; sent < text.size();) {
        ssize_t now = ::send(fd_, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (now <= 0)
            return false;
        sent += static_cast<std::size_t>(now);
    }
    return true;
}

bool Connection::read_some(std::string& text, Clock::time_point deadline)
{
    long long left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd wait = {fd_, POLLIN, 0};
    if (poll(&wait, 1, static_cast<int>(std::max(0LL, left))) <= 0)
        return true;
    char buffer[65536];
    ssize_t got = recv(fd_, buffer, sizeof buffer, 0);
    if (got <= 0)
        return false;
    text.append(buffer, static_cast<std::size_t>(got));
    return true;
}

bool Connection::read_until_closed(std::string& text, Clock::time_point deadline)
{
    while (Clock::now() < deadline)
        if (!read_some(text, deadline))
            return true;
    return false;
}

bool Connection::closed_by_server()
{
    for (;;) {
        char buffer[4096];
        ssize_t got = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got > 0)
            continue;   // what it said before it closed
        return got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
    }
}

// ---- answers ------------------------------------------------------------------------------------------

std::string Answer::header(const std::string& name) const
{
    std::string lower_head = head, lower_name = name;
    for (char& c : lower_head)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : lower_name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::size_t at = lower_head.find("\r\n" + lower_name + ":");
    if (at == std::string::npos)
        return "";
    std::size_t from = at + 3 + name.size();
    std::size_t end = head.find("\r\n", from);
    std::string value = head.substr(from, end - from);
    std::size_t first = value.find_first_not_of(' ');
    return first == std::string::npos ? "" : value.substr(first);
}

std::vector<Answer> read_answers(const std::string& bytes, const std::vector<bool>& to_head)
{
    std::vector<Answer> answers;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = bytes.find("\r\n\r\n", at);
        if (bytes.compare(at, 9, "HTTP/1.1 ") != 0 || end == std::string::npos)
            break;
        Answer answer;
        answer.head = bytes.substr(at, end + 2 - at);
        answer.status = std::stoi(bytes.substr(at + 9, 3));
        std::string length = answer.header("Content-Length");
        std::size_t size = length.empty() ? 0 : std::stoul(length);
        bool head_only = answers.size() < to_head.size() && to_head[answers.size()];
        if (answer.status == 100)
            size = 0;
        if (head_only)
            size = 0;
        if (end + 4 + size > bytes.size())
            break;
        answer.body = bytes.substr(end + 4, size);
        at = end + 4 + size;
        if (answer.status != 100)
            answers.push_back(answer);
    }
    return answers;
}

Answer request_once(int port, const std::string& request)
{
    Clock::time_point start = Clock::now();
    Connection connection(port);
    std::string text;
    if (!connection.connected() || !connection.send_text(request) ||
        !connection.read_until_closed(text, start + std::chrono::seconds(5)))
        return Answer{};
    std::vector<Answer> answers = read_answers(text, {request.compare(0, 5, "HEAD ") == 0});
    if (answers.empty())
        return Answer{};
    Answer answer = answers.front();
    answer.ms = exact_ms_since(start);
    return answer;
}

std::string get_state(int port)
{
    return "GET /state?trace=0 HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\nConnection: close\r\n\r\n";
}

}  // namespace test_support
