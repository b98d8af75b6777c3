// Native module handles: what HMODULE stands for on the simulated platform.
#pragma once

#include "platform/platform.h"
#include "platform/native/resources.h"
#include "platform/sim/simulation.h"

#include <string>

struct HINSTANCE__ {
    void* library;                       // the dlopen handle; null for a table-only module
    const NATIVE_RESOURCE* resources;    // may be null
    std::string path;
    int references;
};

namespace sim {

// A module made from a resource table alone, for code that is linked in rather than loaded.
SIM_API HMODULE module_from_resources(const NATIVE_RESOURCE* resources);
SIM_API void release_module(HMODULE module);
// Whether the handle names a live module.
bool is_module(HMODULE module);

}  // namespace sim
