// The simulated devices' options and script commands: the CD drive and mixer, and the media
// devices (sound device, media graph), each from its own file.
#include "panelhost/options/options.h"

namespace panelhost {

const std::vector<OptionSpec>& device_option_specs()
{
    static const std::vector<OptionSpec> specs = [] {
        std::vector<OptionSpec> all = cd_mixer_option_specs();
        const std::vector<OptionSpec>& media = media_option_specs();
        all.insert(all.end(), media.begin(), media.end());
        return all;
    }();
    return specs;
}

void configure_devices()
{
    configure_cd_mixer_devices();
    configure_media_devices();
}

const std::vector<CommandSpec>& device_command_specs()
{
    return cd_mixer_command_specs();
}

}  // namespace panelhost
