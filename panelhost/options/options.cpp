// The bench's command line: MODULE GAUGE and the options of the host and its devices.
#include "panelhost/options/options.h"

#include "base/text.h"

#include <cctype>
#include <cstdlib>

namespace panelhost {
namespace {

// An empty value names no file and no folder: it is refused rather than taken as the default.
bool apply_script(Options& options, std::string_view value, std::string& why)
{
    if (value.empty()) {
        why = "FILE must not be empty";
        return false;
    }
    options.script_path = std::string(value);
    return true;
}

bool apply_cwd(Options& options, std::string_view value, std::string& why)
{
    if (value.empty()) {
        why = "DIR must not be empty";
        return false;
    }
    options.cwd = std::string(value);
    return true;
}

bool apply_panel(Options& options, std::string_view value, std::string& why)
{
    if (value.empty()) {
        why = "FILE must not be empty";
        return false;
    }
    options.panel_path = std::string(value);
    return true;
}

bool apply_gauges(Options& options, std::string_view value, std::string& why)
{
    if (value.empty()) {
        why = "DIR must not be empty";
        return false;
    }
    options.gauges_dir = std::string(value);
    return true;
}

bool apply_window(Options& options, std::string_view value, std::string& why)
{
    long long number = 0;
    if (!base::read_whole_number(value, 0, 99, number)) {
        why = "N must be a window's number from 0 to 99";
        return false;
    }
    options.window = static_cast<int>(number);
    return true;
}

bool apply_vcockpit(Options& options, std::string_view value, std::string& why)
{
    long long number = 0;
    if (!base::read_whole_number(value, 0, 99, number)) {
        why = "N must be a virtual cockpit's number from 0 to 99";
        return false;
    }
    options.vcockpit = static_cast<int>(number);
    return true;
}

bool apply_serve(Options& options, std::string_view value, std::string& why)
{
    if (value.empty()) {
        why = "[ADDRESS:]PORT must not be empty";
        return false;
    }
    options.serve = std::string(value);
    return true;
}

bool apply_trace_services(Options& options, std::string_view, std::string&)
{
    options.host.trace_services = true;
    return true;
}

bool apply_intercept(Options& options, std::string_view, std::string&)
{
    options.host.intercept = true;
    return true;
}

bool apply_help(Options& options, std::string_view, std::string&)
{
    options.help = true;
    return true;
}

// name                value   help                                                     apply
const std::vector<OptionSpec> HOST_OPTIONS = {
    {"--script",         "FILE", "read the script from FILE instead of standard input",  apply_script},
    {"--cwd",            "DIR",  "run the gauge with DIR as the current directory",      apply_cwd},
    {"--panel",          "FILE", "a panel configuration in place of MODULE GAUGE: checks the gauge lines of its "
                                 "windows and virtual cockpits, then runs every gauge of one of them. What follows "
                                 "a line's height is the gauge's own parameters: kept, and read by none of the "
                                 "gauges here",                                           apply_panel},
    {"--gauges",         "DIR",  "with --panel: the folder of the gauge modules its lines name", apply_gauges},
    {"--window",         "N",    "with --panel: the window to run, [WindowNN] (default: the first window, "
                                 "else the first virtual cockpit)",                      apply_window},
    {"--vcockpit",       "N",    "with --panel: the virtual cockpit to run, [VcockpitNN], in place of a window",
                                                                                          apply_vcockpit},
    {"--serve",          "[ADDRESS:]PORT", "serve the gauges live to a web page on PORT (0: any free one), "
                                 "at 127.0.0.1 unless an ADDRESS is given, until SIGINT or SIGTERM; a --script runs "
                                 "first (native build)",                                  apply_serve},
    {"--trace-services", "",     "also trace every panel-service call of the gauge",     apply_trace_services},
    {"--intercept",      "",     "Windows: MCI and mixer calls to the simulated drive and mixer, message boxes "
                                 "and process exit to the trace, the real media graph and sound device traced; "
                                 "natively every device is simulated anyway",            apply_intercept},
    {"--help",           "",     "print this text",                                      apply_help},
};

const OptionSpec* find_option(std::string_view name)
{
    for (const OptionSpec& spec : HOST_OPTIONS)
        if (spec.name == name)
            return &spec;
    for (const OptionSpec& spec : device_option_specs())
        if (spec.name == name)
            return &spec;
    return nullptr;
}

}  // namespace

namespace {

// One option at argv[at], "--name", "--name=value" or "--name value" (which moves at past the
// value), applied to the options.
bool read_option(int argc, char** argv, int& at, Options& options, std::string& error)
{
    std::string_view argument = argv[at];
    std::string_view name = argument;
    std::string_view value;
    bool inline_value = false;
    if (std::size_t equals = argument.find('='); equals != std::string_view::npos) {
        name = argument.substr(0, equals);
        value = argument.substr(equals + 1);
        inline_value = true;
    }
    const OptionSpec* spec = find_option(name);
    if (!spec) {
        error = "unknown option " + std::string(name);
        return false;
    }
    if (spec->value_name.empty() && inline_value) {
        error = "option " + std::string(name) + " takes no value";
        return false;
    }
    if (!spec->value_name.empty() && !inline_value) {
        if (at + 1 >= argc) {
            error = "option " + std::string(name) + " needs " + std::string(spec->value_name);
            return false;
        }
        value = argv[++at];
    }
    std::string why;
    if (!spec->apply(options, value, why)) {
        error = "option " + std::string(name) + ": " + why;
        return false;
    }
    return true;
}

// A panel's run: no MODULE or GAUGE, the folder of its modules, one section chosen at most.
bool check_panel_run(const Options& options, const std::vector<std::string>& positional, std::string& error)
{
    if (!positional.empty()) {
        error = "MODULE and GAUGE are not given with --panel: its lines name the gauges";
        return false;
    }
    if (options.gauges_dir.empty()) {
        error = "--panel needs --gauges DIR, the folder of the gauge modules";
        return false;
    }
    if (options.window >= 0 && options.vcockpit >= 0) {
        error = "--window and --vcockpit each choose the section to run: give one of them";
        return false;
    }
    return true;
}

// A gauge's run: none of the panel's options, and a MODULE and a GAUGE, neither empty.
bool check_gauge_run(Options& options, const std::vector<std::string>& positional, std::string& error)
{
    if (!options.gauges_dir.empty() || options.window >= 0 || options.vcockpit >= 0) {
        error = std::string(!options.gauges_dir.empty() ? "--gauges" : options.window >= 0 ? "--window" : "--vcockpit") +
                " goes with --panel FILE";
        return false;
    }
    if (positional.size() != 2) {
        error = positional.size() < 2 ? "MODULE and GAUGE are required" : "too many arguments";
        return false;
    }
    // As with an empty folder name: an empty name is no module and no gauge, and loading it would
    // only blame the module for it.
    if (positional[0].empty()) {
        error = "MODULE must not be empty";
        return false;
    }
    if (positional[1].empty()) {
        error = "GAUGE must not be empty";
        return false;
    }
    options.host.module_path = positional[0];
    options.host.gauge_name = positional[1];
    return true;
}

}  // namespace

// The arguments read first, each option applied as it comes; then their combination checked.
bool parse_options(int argc, char** argv, Options& options, std::string& error)
{
    std::vector<std::string> positional;
    for (int at = 1; at < argc; ++at) {
        std::string_view argument = argv[at];
        if (argument.size() < 2 || argument.substr(0, 2) != "--")
            positional.emplace_back(argument);
        else if (!read_option(argc, argv, at, options, error))
            return false;
    }
    if (options.help)
        return true;
    if (!options.panel_path.empty())
        return check_panel_run(options, positional, error);
    return check_gauge_run(options, positional, error);
}

std::string usage_text()
{
    std::string text =
        "usage: panelhost [OPTIONS] MODULE GAUGE\n"
        "       panelhost [OPTIONS] --panel FILE --gauges DIR [--window N | --vcockpit N]\n"
        "\n"
        "Loads the gauge module MODULE, installs and initialises the gauge named GAUGE, runs the\n"
        "script, then kills the gauge and unloads the module. The trace goes to standard output.\n"
        "With --panel, checks every gauge line of the panel configuration FILE against the modules\n"
        "in DIR, and runs every gauge of one window or virtual cockpit together, the script's points\n"
        "in its units. A problem of a line stops the run; a warning (a gauge partly outside its\n"
        "section, a gauge named twice in one) is said on a line starting \"warning\" and stops nothing.\n"
        "A section or gauge of size 0 x 0 (logic gauges) runs and is never drawn.\n"
        "Exit status: 0 when the script ran to its end, 2 for a bad command line, script or module,\n"
        "3 when the module ended the process.\n"
        "\n"
        "options:\n";
    auto add = [&](const OptionSpec& spec) {
        std::string left = "  " + std::string(spec.name);
        if (!spec.value_name.empty())
            left += " " + std::string(spec.value_name);
        if (left.size() < 28)
            left.resize(28, ' ');
        else
            left += "\n" + std::string(28, ' ');
        text += left + std::string(spec.help) + "\n";
    };
    for (const OptionSpec& spec : HOST_OPTIONS)
        add(spec);
    for (const OptionSpec& spec : device_option_specs())
        add(spec);
    text +=
        "\n"
        "script commands, one a line (blank lines and lines starting with # are skipped):\n";
    for (const CommandSpec& spec : command_specs())
        text += "  " + std::string(spec.usage) + "\n";
    return text;
}

}  // namespace panelhost
