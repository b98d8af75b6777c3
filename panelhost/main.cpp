// panelhost: loads a gauge module as the simulator would and drives it from a script.
#include "panelhost/host.h"
#include "panelhost/options.h"
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
