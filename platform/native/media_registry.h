// What the native COM, media and file stand-ins hold, for the host and for tests that check the
// devices' state and that nothing leaks.
#pragma once

#include "platform/platform.h"
#include "platform/sim/com_object.h"
#include "platform/sim/media_graph.h"
#include "platform/sim/sound_device.h"
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

// The state of a live buffer; false for anything else.
SIM_API bool sound_buffer_info(const IDirectSoundBuffer* buffer, SoundBufferInfo& info);

// The state of a live filter graph, found by its IGraphBuilder; false for anything else.
SIM_API bool media_graph_info(const IGraphBuilder* graph, MediaGraphInfo& info);

}  // namespace sim
