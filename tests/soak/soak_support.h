// What the radio's soak tests share: the platform's devices set up as the bench starts them, a
// trace sink that only counts, cycle counts from the environment, and a census of everything
// the platform holds for a module.
#pragma once

#include "panelhost/host/host.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace soak {

// The number in the environment variable, or the fallback when it is unset or not a number.
std::uint64_t count_from_environment(const char* name, std::uint64_t fallback);

// A folder with all six songs as wave files in its Sound folder, made the current directory,
// with a temporary folder of its own for the platform; the devices reset, trace lines counted.
struct Bench {
    std::string folder;
    std::string temp_folder;
    std::size_t trace_lines = 0;
};
void set_up(Bench& bench);

// A module of the radio loaded through the host, by its file name in the build's output.
panelhost::HostOptions radio_options(const std::string& file_name);

struct Count {
    std::string name;
    std::int64_t value;
};
using Census = std::vector<Count>;
Census take_census(const Bench& bench);
// The census entries that must stand at zero when no gauge is installed.
bool is_device_count(const std::string& name);

// Heap in use, in bytes, as the allocator reports it.
std::int64_t heap_in_use();

}  // namespace soak
