// Settings and injected failures of the simulated media devices.
#include "platform/sim/media.h"

#include <map>

namespace sim::media {
namespace {

struct Failure {
    std::int32_t result = 0;
    int count = 0;
    int skip = 0;
};

struct Settings {
    bool simulated_graph = false;
    bool simulated_sound = false;
    bool sound_device = true;
    bool media_graph = true;
    std::uint32_t lock_split = 0;
    std::string temp_folder;
    std::map<std::string, Failure> failures;
};

Settings& settings()
{
    static Settings state;
    return state;
}

}  // namespace

void set_simulated(bool media_graph, bool sound_device)
{
    settings().simulated_graph = media_graph;
    settings().simulated_sound = sound_device;
}

bool media_graph_simulated()
{
    return settings().simulated_graph;
}

bool sound_device_simulated()
{
    return settings().simulated_sound;
}

void set_sound_device_available(bool available)
{
    settings().sound_device = available;
}

bool sound_device_available()
{
    return settings().sound_device;
}

void set_media_graph_available(bool available)
{
    settings().media_graph = available;
}

bool media_graph_available()
{
    return settings().media_graph;
}

void set_lock_split(std::uint32_t bytes)
{
    settings().lock_split = bytes;
}

std::uint32_t lock_split()
{
    return settings().lock_split;
}

void set_temp_folder(const std::string& folder)
{
    settings().temp_folder = folder;
}

std::string temp_folder()
{
    return settings().temp_folder;
}

void fail_call(const std::string& name, std::int32_t result, int count, int skip)
{
    settings().failures[name] = Failure{result, count, skip};
}

bool take_failure(const char* name, std::int32_t& result)
{
    auto found = settings().failures.find(name);
    if (found == settings().failures.end())
        return false;
    Failure& failure = found->second;
    if (failure.skip > 0) {
        --failure.skip;
        return false;
    }
    result = failure.result;
    if (--failure.count <= 0)
        settings().failures.erase(found);
    return true;
}

bool injected(const char* name, HRESULT& result)
{
    std::int32_t failure = 0;
    if (!take_failure(name, failure))
        return false;
    result = static_cast<HRESULT>(failure);
    return true;
}

void clear_failures()
{
    settings().failures.clear();
}

void reset()
{
    settings() = Settings{};
}

}  // namespace sim::media
