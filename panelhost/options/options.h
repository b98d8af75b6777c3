// The bench's command line.
#pragma once

#include "panelhost/host/host.h"
#include "panelhost/script/script.h"

#include <string>
#include <string_view>
#include <vector>

namespace panelhost {

struct Options {
    HostOptions host;
    std::string script_path;   // empty: standard input
    std::string cwd;
    bool help = false;
    // A panel section in place of MODULE GAUGE: the panel configuration, the folder of the gauge
    // modules its lines name, and the number of the window or the virtual cockpit to run (-1
    // both: the first window, else the first virtual cockpit).
    std::string panel_path;
    std::string gauges_dir;
    int window = -1;
    int vcockpit = -1;
    // The live panel: "[ADDRESS:]PORT" to serve it on; empty: a script run.
    std::string serve;
};

struct OptionSpec {
    std::string_view name;        // "--cd-tracks"
    std::string_view value_name;  // "N"; empty for a switch
    std::string_view help;
    // Applies the option; on a bad value fills the error and answers false.
    bool (*apply)(Options& options, std::string_view value, std::string& error);
};

// The options of the simulated devices (their script commands: script.h).
const std::vector<OptionSpec>& device_option_specs();
const std::vector<OptionSpec>& cd_mixer_option_specs();
const std::vector<OptionSpec>& media_option_specs();
void configure_cd_mixer_devices();
void configure_media_devices();
// Called once the command line is read and before the module loads.
void configure_devices();

// Reads the command line; on a bad one fills the error and answers false.
bool parse_options(int argc, char** argv, Options& options, std::string& error);
std::string usage_text();

}  // namespace panelhost
