// The simulated devices' options and script commands.
#include "panelhost/options.h"

namespace panelhost {

const std::vector<OptionSpec>& device_option_specs()
{
    static const std::vector<OptionSpec> specs;
    return specs;
}

void configure_devices()
{
}

bool run_device_command(const ScriptCommand&)
{
    return false;
}

}  // namespace panelhost
