// panelhost: loads a gauge module as the simulator would and drives it from a script.
#include "panelhost/host.h"
#include "panelhost/options.h"
#include "panelhost/script.h"
#include "panelhost/trace.h"
#include "platform/sim/simulation.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <new>
#include <string>

namespace {

constexpr int EXIT_BAD_INPUT = 2;
constexpr int EXIT_MODULE_ENDED_PROCESS = 3;

// Without a string of its own, so that it can still speak when the memory has run out.
int refuse(const char* message)
{
    std::fprintf(stderr, "panelhost: %s\n", message);
    return EXIT_BAD_INPUT;
}

int refuse(const std::string& message)
{
    return refuse(message.c_str());
}

void platform_trace(const char* line, void*)
{
    panelhost::trace_line(line);
}

void module_ended_process(unsigned code)
{
    panelhost::tracef("exit %u", code);
    panelhost::trace_flush();
    std::fflush(nullptr);
    std::_Exit(EXIT_MODULE_ENDED_PROCESS);
}

// A script is a page of commands. Anything larger (a device or a link to one, a log named by
// mistake) is refused before it can fill the memory: at most one byte past the limit is read.
constexpr std::size_t SCRIPT_LIMIT_BYTES = std::size_t(16) << 20;
constexpr const char SCRIPT_LIMIT_TEXT[] = "16 MiB";

bool read_bounded(std::FILE* file, const std::string& name, std::string& text, std::string& error)
{
    char chunk[1 << 16];
    while (text.size() <= SCRIPT_LIMIT_BYTES) {
        std::size_t want = std::min(sizeof chunk, SCRIPT_LIMIT_BYTES + 1 - text.size());
        std::size_t got = std::fread(chunk, 1, want, file);
        int reason = errno;
        text.append(chunk, got);
        if (got == want)
            continue;
        if (std::ferror(file)) {
            error = "cannot read script " + name + ": " + std::strerror(reason);
            return false;
        }
        break;
    }
    if (text.size() > SCRIPT_LIMIT_BYTES) {
        error = "script " + name + " is larger than " + SCRIPT_LIMIT_TEXT;
        return false;
    }
    return true;
}

bool read_script(const std::string& path, std::string& text, std::string& error)
{
    if (path.empty() || path == "-")
        return read_bounded(stdin, "standard input", text, error);
    std::error_code failure;
    if (std::filesystem::is_directory(path, failure)) {
        error = "cannot read script " + path + ": it is a folder";
        return false;
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot read script " + path + ": " + std::strerror(errno);
        return false;
    }
    bool read = read_bounded(file, path, text, error);
    std::fclose(file);
    return read;
}

int run_bench(int argc, char** argv)
{
    panelhost::Options options;
    std::string error;
    if (!panelhost::parse_options(argc, argv, options, error))
        return refuse(error + " (see panelhost --help)");
    if (options.help) {
        std::fputs(panelhost::usage_text().c_str(), stdout);
        return 0;
    }

    std::string script;
    if (!read_script(options.script_path, script, error))
        return refuse(error);
    std::vector<panelhost::ScriptCommand> commands;
    panelhost::ScriptError script_error;
    if (!panelhost::parse_script(script, commands, script_error))
        return refuse("script line " + std::to_string(script_error.line) + ": expected " + script_error.expected);

    std::error_code failure;
    std::filesystem::path module = std::filesystem::absolute(options.host.module_path, failure);
    if (!failure)
        options.host.module_path = module.string();
    if (!options.cwd.empty()) {
        std::filesystem::current_path(options.cwd, failure);
        if (failure)
            return refuse("cannot enter directory " + options.cwd + ": " + failure.message());
    }

    sim::set_trace_sink(platform_trace, nullptr);
    sim::set_exit_handler(module_ended_process);
    panelhost::configure_devices();

    int status = 0;
    {
        panelhost::Host host(options.host);
        if (!host.load(error))
            return refuse(error);
        host.install_and_initialize();
        for (const panelhost::ScriptCommand& command : commands)
            if (!command.spec->run(host, command, error)) {
                panelhost::trace_flush();
                status = refuse("script line " + std::to_string(command.line) + ": " + error);
                break;
            }
        host.unload();
    }
    panelhost::trace_flush();
    return status;
}

}  // namespace

// Nothing ends the bench uncaught: a failure that reaches here, running out of memory among
// them, is one line and the status of bad input, after the trace written so far.
int main(int argc, char** argv)
{
    try {
        return run_bench(argc, argv);
    } catch (const std::bad_alloc&) {
        panelhost::trace_flush();
        return refuse("out of memory");
    } catch (const std::exception& failure) {
        panelhost::trace_flush();
        return refuse(failure.what());
    }
}
