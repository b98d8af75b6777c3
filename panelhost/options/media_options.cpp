// Options of the sound device and the media graph. Natively both are always the simulated ones; on
// Windows the bench hands the simulated ones to the module when asked, and with --intercept the
// two device options hold for the real ones too.
#include "panelhost/options/options.h"
#include "platform/sim/media.h"

namespace panelhost {
namespace {

struct MediaOptions {
    bool simulated_graph = false;
    bool simulated_sound = false;
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

// The simulated devices reach a Windows module through its patched imports.
bool apply_simulated_media_graph(Options& options, std::string_view, std::string&)
{
    media_options().simulated_graph = true;
    options.host.intercept = true;
    return true;
}

bool apply_simulated_sound_device(Options& options, std::string_view, std::string&)
{
    media_options().simulated_sound = true;
    options.host.intercept = true;
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
        {"--simulated-media-graph",  "", "Windows: the module's media graph is the simulated one, as natively "
                                         "(implies --intercept)",                                         apply_simulated_media_graph},
        {"--simulated-sound-device", "", "Windows: the module's sound device is the simulated one, as natively "
                                         "(implies --intercept)",                                         apply_simulated_sound_device},
        {"--no-sound-device", "",    "creating the sound device fails (Windows: with --intercept)",       apply_no_sound_device},
        {"--no-media-graph",  "",    "creating the media graph fails (Windows: with --intercept)",        apply_no_media_graph},
        {"--temp-dir",        "DIR", "the platform's temporary folder (no effect on Windows yet)",       apply_temp_dir},
    };
    return specs;
}

void configure_media_devices()
{
    const MediaOptions& options = media_options();
    sim::media::set_simulated(options.simulated_graph, options.simulated_sound);
    sim::media::set_sound_device_available(options.sound_device);
    sim::media::set_media_graph_available(options.media_graph);
    sim::media::set_temp_folder(options.temp_folder);
}

}  // namespace panelhost
