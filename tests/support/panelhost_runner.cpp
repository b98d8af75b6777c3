// Running panelhost in a child process for the end-to-end tests.
#include "tests/support/panelhost_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace test_support {
namespace {

struct TempDirs {
    std::vector<std::string> paths;
    ~TempDirs()
    {
        std::error_code ignored;
        for (const std::string& path : paths)
            std::filesystem::remove_all(path, ignored);
    }
};

TempDirs& temp_dirs()
{
    static TempDirs dirs;
    return dirs;
}

}  // namespace

std::vector<std::string> RunResult::lines() const
{
    std::vector<std::string> result;
    std::istringstream stream(out);
    for (std::string line; std::getline(stream, line);)
        result.push_back(line);
    return result;
}

std::string out_dir()
{
    return PANEL_OUT_DIR;
}

std::string out_file(const std::string& name)
{
    return out_dir() + "/" + name;
}

std::string make_temp_dir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "panelhost-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const char* made = mkdtemp(buffer.data());
    if (!made)
        std::abort();
    temp_dirs().paths.emplace_back(made);
    return made;
}

void write_text_file(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
}

std::string read_text_file(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

pid_t start_panelhost(const std::vector<std::string>& args, const std::string& in_path, const std::string& out_path,
                      const std::string& err_path, unsigned long long data_limit_bytes, unsigned time_limit_seconds)
{
    // Everything the child needs is made before the fork: between it and the exec the child may
    // only make system calls, since another thread of the test may hold the allocator's lock.
    std::string program = out_dir() + "/panelhost";
    std::vector<std::string> copies(args);
    std::vector<char*> argv;
    argv.push_back(program.data());
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const char* in_name = in_path.empty() ? "/dev/null" : in_path.c_str();
    pid_t child = fork();
    if (child == 0) {
        dup2(open(in_name, O_RDONLY), 0);
        dup2(open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        dup2(open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        if (data_limit_bytes != 0) {
            struct rlimit limit = {data_limit_bytes, data_limit_bytes};
            setrlimit(RLIMIT_DATA, &limit);
        }
        // the alarm outlives the exec: past the limit the bench is ended, status -1
        if (time_limit_seconds != 0)
            alarm(time_limit_seconds);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return child;
}

std::optional<int> wait_bounded(pid_t pid, long long limit_ms)
{
    auto start = std::chrono::steady_clock::now();
    for (;;) {
        int status = 0;
        pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid)
            return status;
        if (ended < 0 && errno != EINTR)
            return std::nullopt;   // no child of this process
        if (std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(limit_ms)) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

RunResult run_panelhost(const std::vector<std::string>& args, const std::string& script,
                        unsigned long long data_limit_bytes, unsigned time_limit_seconds)
{
    std::string dir = make_temp_dir();
    std::string in_path = dir + "/script", out_path = dir + "/out", err_path = dir + "/err";
    write_text_file(in_path, script);
    pid_t child = start_panelhost(args, in_path, out_path, err_path, data_limit_bytes, time_limit_seconds);
    int status = 0;
    waitpid(child, &status, 0);
    RunResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = read_text_file(out_path);
    result.err = read_text_file(err_path);
    return result;
}

}  // namespace test_support
