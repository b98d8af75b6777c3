// The script's commands: one table of name, arguments and handler, the host's rows here and the
// devices' from their own files.
#include "panelhost/system/clock.h"
#include "panelhost/base/limits.h"
#include "panelhost/host/host.h"
#include "panelhost/system/end_signals.h"
#include "panelhost/system/process.h"
#include "panelhost/picture/render.h"
#include "panelhost/script/script.h"
#include "panelhost/base/trace.h"

namespace panelhost {
namespace {


PIXEL_POINT point_of(const ScriptCommand& command)
{
    return PIXEL_POINT{static_cast<std::int32_t>(command.args[0].integer),
                       static_cast<std::int32_t>(command.args[1].integer)};
}

// One update pass, the messages it caused, and the clock on by a frame, N times.
bool run_frame(Host& host, const ScriptCommand& command, std::string&)
{
    std::int64_t passes = command.args.empty() ? 1 : command.args[0].integer;
    // A signal to end the bench ends the passes too: a day of frames takes minutes.
    for (std::int64_t pass = 0; pass < passes && !end_signal(); ++pass)
        host.frame();
    return true;
}

bool run_wait(Host&, const ScriptCommand& command, std::string&)
{
    advance_clock(static_cast<std::uint64_t>(command.args[0].integer));
    return true;
}

bool run_click(Host& host, const ScriptCommand& command, std::string&)
{
    host.click(point_of(command));
    return true;
}

bool run_hold(Host& host, const ScriptCommand& command, std::string&)
{
    host.hold(point_of(command), command.args[2].integer);
    return true;
}

bool run_tooltip(Host& host, const ScriptCommand& command, std::string&)
{
    host.tooltip(point_of(command));
    return true;
}

bool run_var(Host& host, const ScriptCommand& command, std::string&)
{
    host.set_var(static_cast<std::uint32_t>(command.args[0].integer), command.args[1].number);
    return true;
}

bool run_elements(Host& host, const ScriptCommand&, std::string&)
{
    host.print_elements();
    return true;
}

bool run_reinstall(Host& host, const ScriptCommand&, std::string&)
{
    host.kill();
    host.install_and_initialize();
    return true;
}

bool run_reload(Host& host, const ScriptCommand&, std::string& error)
{
    if (host.reload(error))
        return true;
    error = "reload failed: " + error;
    return false;
}

bool run_echo(Host&, const ScriptCommand& command, std::string&)
{
    const std::string& text = command.args.empty() ? std::string() : command.args[0].text;
    trace_line(text.empty() ? "echo" : "echo " + text);
    return true;
}

bool run_render(Host& host, const ScriptCommand& command, std::string& error)
{
    HotSpots hot_spots = command.has_flag("--numbered")   ? HotSpots::Numbered
                         : command.has_flag("--hotspots") ? HotSpots::Labelled
                                                          : HotSpots::None;
    if (render_gauge(host, command.args[0].text, hot_spots, error))
        return true;
    error = "render: " + error;
    return false;
}

// The process's threads and resident memory, for runs that look for what a gauge leaves behind.
// The line goes out at once, so that a program watching the trace can look at the process too.
bool run_census(Host&, const ScriptCommand&, std::string&)
{
    ProcessCensus census = process_census();
    tracef("census threads=%ld resident_kb=%lld", census.threads, static_cast<long long>(census.resident_kb));
    trace_flush();
    return true;
}

using Args = std::vector<ArgKind>;

// keyword          usage                  arguments                                     required flags  handler
const std::vector<CommandSpec> HOST_COMMANDS = {
    {"frame",        "frame [N]",          Args{ArgKind::Count},                             0, {}, run_frame},
    {"wait",         "wait MS",            Args{ArgKind::Millis},                            1, {}, run_wait},
    {"click",        "click X Y",          Args{ArgKind::Coordinate, ArgKind::Coordinate},   2, {}, run_click},
    {"hold",         "hold X Y N",         Args{ArgKind::Coordinate, ArgKind::Coordinate, ArgKind::Count}, 3, {}, run_hold},
    {"tooltip",      "tooltip X Y",        Args{ArgKind::Coordinate, ArgKind::Coordinate},   2, {}, run_tooltip},
    {"var",          "var ID VALUE",       Args{ArgKind::Id, ArgKind::Number},               2, {}, run_var},
    {"elements",     "elements",           Args{},                                           0, {}, run_elements},
    {"reinstall",    "reinstall",          Args{},                                           0, {}, run_reinstall},
    {"reload",       "reload",             Args{},                                           0, {}, run_reload},
    {"echo",         "echo TEXT",          Args{ArgKind::Text},                              0, {}, run_echo},
    {"render",       "render FILE [--hotspots|--numbered]", Args{ArgKind::Word},             1, {"--hotspots", "--numbered"}, run_render},
    {"census",       "census",             Args{},                                           0, {}, run_census},
};

}  // namespace

const std::vector<CommandSpec>& command_specs()
{
    static const std::vector<CommandSpec> specs = [] {
        std::vector<CommandSpec> all = HOST_COMMANDS;
        const std::vector<CommandSpec>& devices = device_command_specs();
        all.insert(all.end(), devices.begin(), devices.end());
        return all;
    }();
    return specs;
}

}  // namespace panelhost
