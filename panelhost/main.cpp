// panelhost: loads a gauge module as the simulator would and drives it from a script.
#include "panelhost/clock.h"
#include "panelhost/host.h"
#include "panelhost/options.h"
#include "panelhost/render.h"
#include "panelhost/script.h"
#include "panelhost/trace.h"
#include "platform/sim/simulation.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

constexpr int EXIT_BAD_INPUT = 2;
constexpr int EXIT_MODULE_ENDED_PROCESS = 3;
constexpr std::uint64_t FRAME_MS = 55;

int refuse(const std::string& message)
{
    std::fprintf(stderr, "panelhost: %s\n", message.c_str());
    return EXIT_BAD_INPUT;
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

bool read_script(const std::string& path, std::string& text, std::string& error)
{
    std::ostringstream content;
    if (path.empty() || path == "-") {
        content << std::cin.rdbuf();
    } else {
        std::error_code failure;
        if (std::filesystem::is_directory(path, failure)) {
            error = "cannot read script " + path + ": it is a folder";
            return false;
        }
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            error = "cannot read script " + path;
            return false;
        }
        content << file.rdbuf();
    }
    text = content.str();
    return true;
}

// Runs one command; false with the error when the host can go no further.
bool run_command(panelhost::Host& host, const panelhost::ScriptCommand& command, std::string& error)
{
    const std::string& keyword = command.keyword;
    auto point = [&]() {
        return PIXEL_POINT{static_cast<std::int32_t>(command.args[0].integer),
                           static_cast<std::int32_t>(command.args[1].integer)};
    };
    if (keyword == "frame") {
        std::int64_t passes = command.args.empty() ? 1 : command.args[0].integer;
        for (std::int64_t pass = 0; pass < passes; ++pass) {
            host.update_pass();
            panelhost::pump_messages();
            panelhost::advance_clock(FRAME_MS);
        }
    } else if (keyword == "wait") {
        panelhost::advance_clock(static_cast<std::uint64_t>(command.args[0].integer));
    } else if (keyword == "click") {
        host.click(point());
    } else if (keyword == "hold") {
        host.hold(point(), command.args[2].integer);
    } else if (keyword == "tooltip") {
        host.tooltip(point());
    } else if (keyword == "var") {
        host.set_var(static_cast<std::uint32_t>(command.args[0].integer), command.args[1].number);
    } else if (keyword == "elements") {
        host.print_elements();
    } else if (keyword == "reinstall") {
        host.kill();
        host.install_and_initialize();
    } else if (keyword == "reload") {
        if (!host.reload(error)) {
            error = "script line " + std::to_string(command.line) + ": reload failed: " + error;
            return false;
        }
    } else if (keyword == "echo") {
        const std::string& text = command.args.empty() ? std::string() : command.args[0].text;
        panelhost::trace_line(text.empty() ? "echo" : "echo " + text);
    } else if (keyword == "render") {
        if (!panelhost::render_gauge(host, command.args[0].text, command.has_flag("--hotspots"), error)) {
            error = "script line " + std::to_string(command.line) + ": render: " + error;
            return false;
        }
    } else if (!panelhost::run_device_command(command)) {
        error = "script line " + std::to_string(command.line) + ": " + keyword + " is not available";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
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
            if (!run_command(host, command, error)) {
                panelhost::trace_flush();
                status = refuse(error);
                break;
            }
        host.unload();
    }
    panelhost::trace_flush();
    return status;
}
