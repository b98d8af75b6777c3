// Options of the simulated sound device and media graph.
#include "panelhost/options.h"

namespace panelhost {

const std::vector<OptionSpec>& media_option_specs()
{
    static const std::vector<OptionSpec> specs;
    return specs;
}

void configure_media_devices()
{
}

}  // namespace panelhost
