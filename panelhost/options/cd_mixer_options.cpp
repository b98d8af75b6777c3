// Options and script commands of the simulated CD drive and mixer.
#include "panelhost/options/options.h"

#include "base/text.h"
#include "panelhost/base/trace.h"
#include "platform/sim/cd_drive.h"
#include "platform/sim/mixer.h"

namespace panelhost {
namespace {

struct CdMixerSettings {
    unsigned tracks = sim::CD_DEFAULT_TRACKS;
    unsigned track_seconds = sim::CD_DEFAULT_TRACK_SECONDS;
    bool disc = true;
    bool drive = true;
    bool mixer = true;
    DWORD mixer_minimum = sim::MIXER_DEFAULT_MINIMUM;
    DWORD mixer_maximum = sim::MIXER_DEFAULT_MAXIMUM;
};

CdMixerSettings settings;

constexpr long long MAX_TRACK_SECONDS = 86400;

bool apply_cd_tracks(Options&, std::string_view value, std::string& error)
{
    long long tracks = 0;
    if (!base::read_whole_number(value, 1, sim::CD_MAX_TRACKS, tracks)) {
        error = "N must be a whole number from 1 to " + std::to_string(sim::CD_MAX_TRACKS);
        return false;
    }
    settings.tracks = static_cast<unsigned>(tracks);
    return true;
}

bool apply_cd_track_seconds(Options&, std::string_view value, std::string& error)
{
    long long seconds = 0;
    if (!base::read_whole_number(value, 1, MAX_TRACK_SECONDS, seconds)) {
        error = "S must be a whole number of seconds from 1 to " + std::to_string(MAX_TRACK_SECONDS);
        return false;
    }
    settings.track_seconds = static_cast<unsigned>(seconds);
    return true;
}

bool apply_no_cd_disc(Options&, std::string_view, std::string&)
{
    settings.disc = false;
    return true;
}

bool apply_no_cd_drive(Options&, std::string_view, std::string&)
{
    settings.drive = false;
    return true;
}

bool apply_no_mixer(Options&, std::string_view, std::string&)
{
    settings.mixer = false;
    return true;
}

bool apply_mixer_range(Options&, std::string_view value, std::string& error)
{
    std::size_t colon = value.find(':');
    long long minimum = 0, maximum = 0;
    if (colon == std::string_view::npos || !base::read_whole_number(value.substr(0, colon), 0, 0xFFFFFFFFll, minimum) ||
        !base::read_whole_number(value.substr(colon + 1), 0, 0xFFFFFFFFll, maximum) || minimum >= maximum) {
        error = "MIN:MAX must be two whole numbers from 0 to 4294967295, MIN below MAX";
        return false;
    }
    settings.mixer_minimum = static_cast<DWORD>(minimum);
    settings.mixer_maximum = static_cast<DWORD>(maximum);
    return true;
}

bool run_cd_insert(Host&, const ScriptCommand& command, std::string&)
{
    std::int64_t tracks = command.args[0].integer;
    if (tracks > sim::CD_MAX_TRACKS)
        tracef("warning cd insert: a disc holds at most %u tracks, not %lld", sim::CD_MAX_TRACKS,
               static_cast<long long>(tracks));
    else
        sim::cd_drive().insert_disc(static_cast<unsigned>(tracks));
    return true;
}

bool run_cd_eject(Host&, const ScriptCommand&, std::string&)
{
    sim::cd_drive().eject_disc();
    return true;
}

bool run_cd_finish(Host&, const ScriptCommand&, std::string&)
{
    if (!sim::cd_drive().playing())
        tracef("warning cd finish: no disc is playing");
    sim::cd_drive().finish();
    return true;
}

}  // namespace

const std::vector<OptionSpec>& cd_mixer_option_specs()
{
    // name                  value      help                                                          apply
    static const std::vector<OptionSpec> specs = {
        {"--cd-tracks",        "N",       "the disc in the CD drive has N tracks (default 12)",          apply_cd_tracks},
        {"--cd-track-seconds", "S",       "each track of a disc plays S seconds (default 180)",          apply_cd_track_seconds},
        {"--no-cd-disc",       "",        "the CD drive starts empty",                                   apply_no_cd_disc},
        {"--no-cd-drive",      "",        "there is no CD drive",                                        apply_no_cd_drive},
        {"--no-mixer",         "",        "there is no mixer device",                                    apply_no_mixer},
        {"--mixer-range",      "MIN:MAX", "the CD line's volume control spans MIN to MAX (default 0:65535)", apply_mixer_range},
    };
    return specs;
}

void configure_cd_mixer_devices()
{
    sim::CdDrive& drive = sim::cd_drive();
    drive.reset();
    drive.set_installed(settings.drive);
    drive.set_track_seconds(settings.track_seconds);
    if (settings.disc)
        drive.insert_disc(settings.tracks);
    else
        drive.eject_disc();

    sim::Mixer& mixer = sim::mixer();
    mixer.reset();
    mixer.set_installed(settings.mixer);
    mixer.set_range(settings.mixer_minimum, settings.mixer_maximum);
}

const std::vector<CommandSpec>& cd_mixer_command_specs()
{
    using Args = std::vector<ArgKind>;
    // keyword         usage          arguments             required flags  handler
    static const std::vector<CommandSpec> specs = {
        {"cd insert",   "cd insert N", Args{ArgKind::Count}, 1, {}, run_cd_insert},
        {"cd eject",    "cd eject",    Args{},               0, {}, run_cd_eject},
        {"cd finish",   "cd finish",   Args{},               0, {}, run_cd_finish},
    };
    return specs;
}

}  // namespace panelhost
