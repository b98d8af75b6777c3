// Options and script commands of the simulated CD drive and mixer.
#include "panelhost/options.h"

namespace panelhost {

const std::vector<OptionSpec>& cd_mixer_option_specs()
{
    static const std::vector<OptionSpec> specs;
    return specs;
}

void configure_cd_mixer_devices()
{
}

bool run_cd_command(const ScriptCommand&)
{
    return false;
}

}  // namespace panelhost
