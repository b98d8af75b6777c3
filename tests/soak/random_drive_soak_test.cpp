// The radio driven by a long, seeded random run of clicks, holds, frames, waits, disc changes
// and reinstalls, against devices that fail at random and a drive that answers oddly; after
// every step the state record holds only what its fields may hold.
#include "tests/soak/soak_support.h"

#include "panelhost/system/clock.h"
#include "platform/sim/cd_drive.h"
#include "platform/sim/media.h"
#include "platform/sim/mixer.h"
#include "radio/gauge/radio_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>
#include <random>
#include <sstream>

namespace {

constexpr std::uint64_t FRAME_MS = 55;
// A volume may stand one step beyond its range: -10100 below silent, +100 above full.
constexpr std::int32_t VOLUME_LOWEST = -10100;
constexpr std::int32_t VOLUME_HIGHEST = 100;
constexpr std::size_t TRACK_TEXT_MAX = 2;

const PIXEL_POINT HOT_SPOTS[] = {
    {443, 23}, {31, 24}, {442, 59}, {442, 82}, {442, 105}, {162, 123}, {197, 123}, {231, 123}, {264, 123},
    {298, 123}, {333, 123}, {364, 123}, {388, 123}, {132, 123}, {25, 67}, {25, 101},
};
const PIXEL_POINT VOLUME_BUTTONS[] = {{25, 67}, {25, 101}};

const char* const FAILING_CALLS[] = {
    "RenderFile", "Run", "Stop", "put_Volume", "CoInitialize", "CoCreateInstance(FilterGraph)",
    "QueryInterface(IMediaSeeking)", "CreateFileA",
};
const char* const ODD_QUERIES[] = {
    "status cdaudio mode", "status cdaudio current track", "status cdaudio number of tracks",
    "status cdaudio media present", "play cdaudio from 1", "open cdaudio",
};
const char* const ODD_REPLIES[] = {"100", "-3", "", "garbage", "playing", "stopped", "2147483648", "99", "0"};

RadioState* find_state(const std::string& path)
{
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!library)
        return nullptr;
    using Accessor = RadioState* (*)();
    auto accessor = reinterpret_cast<Accessor>(dlsym(library, "soak_radio_state"));
    RadioState* state = accessor ? accessor() : nullptr;
    dlclose(library);
    return state;
}

// The state's guarantees; the description of the first one broken, or empty.
std::string broken_invariant(const RadioState& state, const char* track_text)
{
    std::ostringstream broken;
    auto flag = [&](const char* name, std::int32_t value) {
        if (broken.tellp() == 0 && value != 0 && value != 1)
            broken << name << " is " << value << ", expected 0 or 1";
    };
    flag("power", state.power);
    flag("paused", state.paused);
    flag("door_open", state.door_open);
    flag("cd_playing", state.cd_playing);
    if (broken.tellp() == 0 && (state.mode < MODE_CD || state.mode > MODE_AM))
        broken << "mode is " << state.mode << ", expected 0..2";
    if (broken.tellp() == 0 && (state.preset < 0 || state.preset > 5))
        broken << "preset is " << state.preset << ", expected 0..5";
    if (broken.tellp() == 0) {
        std::int32_t expected = state.mode == MODE_CD ? 0 : state.mode == MODE_FM ? state.preset + 1 : state.preset + 7;
        if (state.station_image != expected)
            broken << "station_image is " << state.station_image << ", expected " << expected << " for mode "
                   << state.mode << " preset " << state.preset;
    }
    auto volume = [&](const char* name, std::int32_t value) {
        if (broken.tellp() == 0 && (value < VOLUME_LOWEST || value > VOLUME_HIGHEST))
            broken << name << " is " << value << ", expected within " << VOLUME_LOWEST << ".." << VOLUME_HIGHEST;
    };
    volume("music_volume", state.music_volume);
    volume("cd_volume", state.cd_volume);
    if (broken.tellp() == 0 && track_text && std::strlen(track_text) > TRACK_TEXT_MAX)
        broken << "the track text \"" << track_text << "\" is longer than " << TRACK_TEXT_MAX << " characters";
    return broken.str();
}

const char* track_text(const panelhost::Host& host)
{
    for (ELEMENT_HEADER* element : panelhost::element_tree(host.root()))
        if (element->element_type == ELEMENT_TYPE_STRING)
            return reinterpret_cast<ELEMENT_STRING*>(element)->string;
    return nullptr;
}

TEST(RadioSoak, RandomDriveKeepsTheStateWithinItsBounds)
{
    const std::uint64_t steps = soak::count_from_environment("SOAK_STEPS", 100000);
    const std::uint64_t seed = soak::count_from_environment("SOAK_SEED", 20261208);
    std::printf("random drive: %llu steps, seed %llu (SOAK_SEED overrides it)\n",
                static_cast<unsigned long long>(steps), static_cast<unsigned long long>(seed));
    soak::Bench bench;
    soak::set_up(bench);
    const panelhost::HostOptions options = soak::radio_options("radio_soak.so");
    panelhost::Host host(options);
    std::string error;
    ASSERT_TRUE(host.load(error)) << error;
    RadioState* state = find_state(options.module_path);
    ASSERT_NE(state, nullptr) << "the soak build of the radio exports no state accessor";
    host.install_and_initialize();

    std::mt19937_64 random(seed);
    auto below = [&](std::uint64_t bound) { return std::uniform_int_distribution<std::uint64_t>(0, bound - 1)(random); };
    sim::CdDrive& drive = sim::cd_drive();
    for (std::uint64_t step = 1; step <= steps; ++step) {
        std::uint64_t roll = below(1000);
        std::string what;
        if (roll < 450) {
            const PIXEL_POINT& point = HOT_SPOTS[below(std::size(HOT_SPOTS))];
            what = "click at " + std::to_string(point.x) + "," + std::to_string(point.y);
            host.click(point);
        } else if (roll < 520) {
            PIXEL_POINT point{static_cast<std::int32_t>(below(560)) - 40, static_cast<std::int32_t>(below(240)) - 40};
            what = "click anywhere at " + std::to_string(point.x) + "," + std::to_string(point.y);
            host.click(point);
        } else if (roll < 600) {
            const PIXEL_POINT& point = VOLUME_BUTTONS[below(2)];
            std::int64_t ticks = static_cast<std::int64_t>(below(120));
            what = "hold at " + std::to_string(point.x) + "," + std::to_string(point.y) + " for " + std::to_string(ticks);
            host.hold(point, ticks);
        } else if (roll < 800) {
            what = "frame";
            host.update_pass();
            panelhost::pump_messages();
            panelhost::advance_clock(FRAME_MS);
        } else if (roll < 830) {
            std::uint64_t ms = below(400000);
            what = "wait " + std::to_string(ms);
            panelhost::advance_clock(ms);
        } else if (roll < 850) {
            unsigned tracks = static_cast<unsigned>(below(sim::CD_MAX_TRACKS + 1));
            what = "cd insert " + std::to_string(tracks);
            drive.insert_disc(tracks);
        } else if (roll < 860) {
            what = "cd eject";
            drive.eject_disc();
        } else if (roll < 875) {
            what = "cd finish";
            drive.finish();
        } else if (roll < 905) {
            const char* call = FAILING_CALLS[below(std::size(FAILING_CALLS))];
            what = std::string("fail ") + call;
            sim::media::fail_call(call, static_cast<std::int32_t>(0x80004005), static_cast<int>(1 + below(3)),
                                  static_cast<int>(below(4)));
        } else if (roll < 935) {
            const char* query = ODD_QUERIES[below(std::size(ODD_QUERIES))];
            MCIERROR code = below(3) == 0 ? static_cast<MCIERROR>(below(300)) : 0;
            const char* reply = ODD_REPLIES[below(std::size(ODD_REPLIES))];
            what = std::string("drive answers \"") + query + "\" with " + std::to_string(code) + " \"" + reply + "\"";
            drive.script_answer(query, code, reply);
        } else if (roll < 945) {
            // a drive as new: its scripted answers gone, some disc, maybe removed
            what = "drive reset";
            drive.reset();
            drive.set_installed(below(4) != 0);
        } else if (roll < 955) {
            bool present = !drive.installed();
            what = present ? "drive back" : "drive removed";
            drive.set_installed(present);
        } else if (roll < 970) {
            bool present = !sim::mixer().installed();
            what = present ? "mixer back" : "mixer removed";
            sim::mixer().set_installed(present);
        } else if (roll < 985) {
            what = "media failures cleared";
            sim::media::clear_failures();
        } else if (roll < 999) {
            what = "reinstall";
            host.kill();
            host.install_and_initialize();
        } else {
            what = "reload";
            ASSERT_TRUE(host.reload(error)) << "step " << step << ": reload failed: " << error;
            state = find_state(options.module_path);
            ASSERT_NE(state, nullptr) << "step " << step << ": no state after the reload";
        }
        std::string broken = broken_invariant(*state, track_text(host));
        ASSERT_TRUE(broken.empty()) << "step " << step << " (" << what << ", seed " << seed << "): " << broken;
    }
    host.kill();
    sim::media::clear_failures();
    host.unload();
    std::printf("%zu trace lines\n", bench.trace_lines);
}

}  // namespace
