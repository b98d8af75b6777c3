// panelhost: loads a gauge module as the simulator would and drives it from a script.
#include "panelhost/host/host.h"
#include "panelhost/base/files.h"
#include "panelhost/base/limits.h"
#include "panelhost/live/live_server.h"
#include "panelhost/options/options.h"
#include "panelhost/panel/panel_check.h"
#include "panelhost/panel/panel_file.h"
#include "panelhost/script/script.h"
#include "panelhost/system/bench_process.h"
#include "panelhost/system/end_signals.h"
#include "panelhost/base/trace.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <new>
#include <optional>
#include <string>

namespace {

constexpr int EXIT_BAD_INPUT = 2;

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

// A text input larger than TEXT_LIMIT_BYTES is refused having read at most one byte past it, said
// in MiB.
using panelhost::TEXT_LIMIT_BYTES;
const std::string TEXT_LIMIT_TEXT = std::to_string(TEXT_LIMIT_BYTES >> 20) + " MiB";

// Reads a text input of the bench (what: "script", "panel file") from an open file.
bool read_bounded(std::FILE* file, const char* what, const std::string& name, std::string& text, std::string& error)
{
    char chunk[1 << 16];
    while (text.size() <= TEXT_LIMIT_BYTES) {
        std::size_t want = std::min(sizeof chunk, TEXT_LIMIT_BYTES + 1 - text.size());
        std::size_t got = std::fread(chunk, 1, want, file);
        int reason = errno;
        text.append(chunk, got);
        if (got == want)
            continue;
        if (std::ferror(file)) {
            error = std::string("cannot read ") + what + " " + name + ": " + std::strerror(reason);
            return false;
        }
        break;
    }
    if (text.size() > TEXT_LIMIT_BYTES) {
        error = std::string(what) + " " + name + " is larger than " + TEXT_LIMIT_TEXT;
        return false;
    }
    return true;
}

// Reads a text input from a file, or a script from standard input when no file is named. A
// folder, a FIFO or a socket is refused before it is opened: opening a FIFO waits for a writer for
// ever. A device is read as a file is, within the bound.
bool read_text(const char* what, const std::string& path, std::string& text, std::string& error)
{
    if (path.empty() || path == "-")
        return read_bounded(stdin, what, "standard input", text, error);
    if (std::string kind = base::not_a_file_or_device(path); !kind.empty()) {
        error = std::string("cannot read ") + what + " " + path + ": it is " + kind + ", not a regular file";
        return false;
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = std::string("cannot read ") + what + " " + path + ": " + std::strerror(errno);
        return false;
    }
    bool read = read_bounded(file, what, path, text, error);
    std::fclose(file);
    return read;
}

// "[Window03]", "[Vcockpit01]": a section's heading as the messages name it.
std::string section_heading(const char* letters, int number)
{
    return std::string("[") + letters + (number < 10 ? "0" : "") + std::to_string(number) + "]";
}

// The section the bench runs: the one --window or --vcockpit names, else the first window, else
// the first virtual cockpit; null when there is none.
const panelhost::PanelWindow* chosen_section(const std::vector<panelhost::PanelWindow>& sections,
                                             const panelhost::Options& options)
{
    using panelhost::PanelSectionKind;
    auto first = [&](PanelSectionKind kind, int number) -> const panelhost::PanelWindow* {
        for (const panelhost::PanelWindow& section : sections)
            if (section.kind == kind && (number < 0 || section.number == number))
                return &section;
        return nullptr;
    };
    if (options.window >= 0)
        return first(PanelSectionKind::Window, options.window);
    if (options.vcockpit >= 0)
        return first(PanelSectionKind::VirtualCockpit, options.vcockpit);
    const panelhost::PanelWindow* window = first(PanelSectionKind::Window, -1);
    return window ? window : first(PanelSectionKind::VirtualCockpit, -1);
}

// The gauges folder, listed once for the check and the placements alike; none, the refusal said
// and the status set, when it is not a folder.
std::optional<panelhost::ModuleFolder> gauges_folder(const std::string& path, int& status)
{
    std::error_code failure;
    if (std::filesystem::is_directory(path, failure))
        return panelhost::ModuleFolder(path);
    std::string kind = base::not_a_regular_file(path);
    status = refuse("the gauges folder " + path +
                    (std::filesystem::exists(path, failure)
                         ? " is not a folder: it is " + (kind.empty() ? std::string("a file") : kind)
                         : std::string(" is not there")));
    return std::nullopt;
}

// Each problem of the panel file on its own line, with the file and the line; true when one of
// them is a fault rather than a warning.
bool say_problems(const std::string& panel_path, const std::vector<panelhost::PanelProblem>& problems)
{
    bool faults = false;
    for (const panelhost::PanelProblem& problem : problems) {
        std::fprintf(stderr, problem.warning ? "warning panel %s:%d: %s\n" : "panelhost: %s:%d: %s\n",
                     panel_path.c_str(), problem.line, problem.text.c_str());
        faults = faults || !problem.warning;
    }
    return faults;
}

// Why the chosen section cannot run: not there, or without gauge lines; empty when it can.
std::string section_refusal(const panelhost::PanelWindow* chosen, const panelhost::Options& options)
{
    if (!chosen)
        return options.panel_path + ": " +
               (options.window >= 0     ? "no window section " + section_heading("Window", options.window)
                : options.vcockpit >= 0 ? "no virtual cockpit section " + section_heading("Vcockpit", options.vcockpit)
                                        : "no window or virtual cockpit section ([WindowNN], [VcockpitNN])");
    if (chosen->gauges.empty())
        return options.panel_path + ":" + std::to_string(chosen->line) + ": " + chosen->name + " has no gauge lines to run";
    return "";
}

// The panel configuration read and checked, and the chosen section's gauges put into the host's
// options; false when a line is in trouble, each problem then said on its own line with the file
// and the line, or when the section is not there. Warnings are said the same way and stop nothing.
bool prepare_panel(panelhost::Options& options, int& status)
{
    std::string text, error;
    if (!read_text("panel file", options.panel_path, text, error)) {
        status = refuse(error);
        return false;
    }
    std::optional<panelhost::ModuleFolder> folder = gauges_folder(options.gauges_dir, status);
    if (!folder)
        return false;
    std::vector<panelhost::PanelWindow> sections;
    if (say_problems(options.panel_path, panelhost::read_and_check_panel(text, *folder, options.host.intercept, sections))) {
        status = EXIT_BAD_INPUT;
        return false;
    }
    const panelhost::PanelWindow* chosen = chosen_section(sections, options);
    if (std::string refusal = section_refusal(chosen, options); !refusal.empty()) {
        status = refuse(refusal);
        return false;
    }
    panelhost::place_section(*chosen, *folder, options.host);
    return true;
}

// Where a script stopped: the signal that stopped it (0: none) and the line it was at.
struct ScriptEnd {
    int signal = 0;
    int line = 0;
};

// The script's commands in their order, until one fails (its refusal said, the status set) or a
// signal asks the bench to end.
ScriptEnd run_script(panelhost::Host& host, const std::vector<panelhost::ScriptCommand>& commands, int& status)
{
    std::string error;
    for (const panelhost::ScriptCommand& command : commands) {
        if (int signal = panelhost::end_signal())
            return {signal, command.line};
        if (!command.spec->run(host, command, error)) {
            panelhost::trace_flush();
            status = refuse("script line " + std::to_string(command.line) + ": " + error);
            return {};
        }
        if (int signal = panelhost::end_signal())
            return {signal, command.line};
    }
    return {panelhost::end_signal(), 0};
}

// A run that a signal ended, its gauges killed and its trace written out, ends as the signal
// ends a process, so that whoever sent it sees it did.
[[noreturn]] void end_as_signalled(const ScriptEnd& end)
{
    const char* name = end.signal == SIGTERM ? "SIGTERM" : end.signal == SIGINT ? "SIGINT" : "a signal";
    std::string where = end.line > 0 ? " at script line " + std::to_string(end.line) : std::string();
    std::fprintf(stderr, "panelhost: ended by %s%s; the gauges were killed and the trace written\n", name,
                 where.c_str());
    std::fflush(nullptr);
    panelhost::release_end_signals();
    std::raise(end.signal);
    std::_Exit(128 + end.signal);
}

// What a run of the bench is asked for: the options, the live panel's address and the script.
struct Request {
    panelhost::Options options;
    panelhost::LiveAddress address;
    std::vector<panelhost::ScriptCommand> commands;
};

// The command line and the script read; false, with the status set, when the run ends here (0
// after --help).
bool read_request(int argc, char** argv, Request& request, int& status)
{
    std::string error;
    if (!panelhost::parse_options(argc, argv, request.options, error)) {
        status = refuse(error + " (see panelhost --help)");
        return false;
    }
    if (request.options.help) {
        std::fputs(panelhost::usage_text().c_str(), stdout);
        status = 0;
        return false;
    }
    // A live panel reads no script from standard input: only one given as a file.
    const panelhost::Options& options = request.options;
    if (!options.serve.empty() && !panelhost::parse_live_address(options.serve, request.address, error)) {
        status = refuse("option --serve: " + error);
        return false;
    }
    std::string script;
    bool script_given = options.serve.empty() || !options.script_path.empty();
    if (script_given && !read_text("script", options.script_path, script, error)) {
        status = refuse(error);
        return false;
    }
    panelhost::ScriptError script_error;
    if (!panelhost::parse_script(script, request.commands, script_error)) {
        status = refuse("script line " + std::to_string(script_error.line) + ": expected " + script_error.expected);
        return false;
    }
    return true;
}

// The gauges to run found (a panel's section, or a module whose path holds wherever the run goes)
// and the run's folder entered; false, with the status set, when they cannot be.
bool prepare_gauges(panelhost::Options& options, int& status)
{
    if (!options.panel_path.empty()) {
        if (!prepare_panel(options, status))
            return false;
    } else {
        options.host.module_path = base::whole_path(options.host.module_path);
    }
    std::error_code failure;
    if (!options.cwd.empty()) {
        std::filesystem::current_path(options.cwd, failure);
        if (failure) {
            status = refuse("cannot enter directory " + options.cwd + ": " + failure.message());
            return false;
        }
    }
    return true;
}

// The gauges loaded, installed and run through the script, then served live when asked; the
// status, and where a signal stopped the script.
int run_gauges(const Request& request, ScriptEnd& script_end)
{
    int status = 0;
    std::string error;
    // The live panel's page shows the trace from the panel's start.
    std::optional<panelhost::LiveTrace> live_trace;
    if (!request.options.serve.empty())
        live_trace.emplace();
    panelhost::Host host(request.options.host);
    panelhost::catch_end_signals();
    if (!host.load(error))
        return refuse(error);
    host.install_and_initialize();
    script_end = run_script(host, request.commands, status);
    if (status == 0 && !script_end.signal && live_trace && !panelhost::serve_live(host, *live_trace, request.address, error))
        status = refuse(error);
    host.unload();
    return status;
}

int run_bench(int argc, char** argv)
{
    Request request;
    int status = 0;
    if (!read_request(argc, argv, request, status) || !prepare_gauges(request.options, status))
        return status;
    panelhost::start_traced_process();
    panelhost::configure_devices();
    ScriptEnd script_end;
    status = run_gauges(request, script_end);
    panelhost::trace_flush();
    if (script_end.signal)
        end_as_signalled(script_end);
    panelhost::release_end_signals();
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
