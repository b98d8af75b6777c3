// Options of the simulated sound device and media graph. On Windows they are recorded for the
// simulated devices but have no effect yet: the gauges there use the real devices.
#include "panelhost/options.h"
#include "platform/sim/media.h"

namespace panelhost {
namespace {

struct MediaOptions {
    bool sound_device = true;
    bool media_graph = true;
    std::string temp_folder;
};

MediaOptions& media_options()
{
    static MediaOptions options;
    return options;
}

bool apply_no_sound_device(Options&, std::string_view, std::string&)
{
    media_options().sound_device = false;
    return true;
}

bool apply_no_media_graph(Options&, std::string_view, std::string&)
{
    media_options().media_graph = false;
    return true;
}

bool apply_temp_dir(Options&, std::string_view value, std::string& error)
{
    if (value.empty()) {
        error = "DIR must not be empty";
        return false;
    }
    media_options().temp_folder = std::string(value);
    return true;
}

}  // namespace

const std::vector<OptionSpec>& media_option_specs()
{
    // name                value  help                                                                 apply
    static const std::vector<OptionSpec> specs = {
        {"--no-sound-device", "",    "creating the sound device fails (no effect on Windows yet)",        apply_no_sound_device},
        {"--no-media-graph",  "",    "creating the media graph fails (no effect on Windows yet)",         apply_no_media_graph},
        {"--temp-dir",        "DIR", "the platform's temporary folder (no effect on Windows yet)",       apply_temp_dir},
    };
    return specs;
}

void configure_media_devices()
{
    const MediaOptions& options = media_options();
    sim::media::set_sound_device_available(options.sound_device);
    sim::media::set_media_graph_available(options.media_graph);
    sim::media::set_temp_folder(options.temp_folder);
}

}  // namespace panelhost
