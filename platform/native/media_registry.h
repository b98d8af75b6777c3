// What the native COM, media and file stand-ins hold, for the host and for tests that check the
// devices' state and that nothing leaks.
#pragma once

#include "platform/platform.h"
#include "platform/sim/com_object.h"
#include "platform/sim/media_graph.h"     // the live filter graphs
#include "platform/sim/sound_device.h"    // the live sound buffers
#include "platform/sim/simulation.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// How many successful CoInitialize calls of the calling thread await their CoUninitialize.
SIM_API int com_initialization_depth();

// Kernel handles (files, mappings) not yet closed, and views not yet unmapped.
SIM_API std::size_t open_handle_count();
SIM_API std::size_t mapped_view_count();

}  // namespace sim
