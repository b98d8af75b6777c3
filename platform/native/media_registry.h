// What the native COM, media and file stand-ins hold, for the host and for tests that check the
// devices' state and that nothing leaks.
#pragma once

#include "platform/platform.h"
#include "platform/sim/simulation.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// COM objects not yet released to their end (sound devices, sound buffers, filter graphs).
SIM_API std::size_t live_com_objects();
// How many successful CoInitialize calls of the calling thread await their CoUninitialize.
SIM_API int com_initialization_depth();

// Kernel handles (files, mappings) not yet closed, and views not yet unmapped.
SIM_API std::size_t open_handle_count();
SIM_API std::size_t mapped_view_count();

struct SoundBufferInfo {
    std::vector<unsigned char> bytes;
    WAVEFORMATEX format{};
    DWORD flags = 0;           // the description's DSBCAPS_ flags
    LONG volume = 0;
    unsigned plays = 0;
    DWORD last_play_flags = 0;
    bool locked = false;
};
SIM_API std::size_t sound_buffer_count();
// The state of a live buffer; false for anything else.
SIM_API bool sound_buffer_info(const IDirectSoundBuffer* buffer, SoundBufferInfo& info);
// The state of every live buffer, in no particular order.
SIM_API std::vector<SoundBufferInfo> sound_buffer_infos();

struct MediaGraphInfo {
    std::vector<std::string> rendered;   // the files rendered, as the caller named them
    std::uint64_t duration_ms = 0;
    std::uint64_t position_ms = 0;
    bool running = false;
    LONG volume = 0;
    HWND notify_window = nullptr;
    LONG notify_message = 0;
    std::size_t queued_events = 0;
};
SIM_API std::size_t media_graph_count();
// The state of a live filter graph, found by its IGraphBuilder; false for anything else.
SIM_API bool media_graph_info(const IGraphBuilder* graph, MediaGraphInfo& info);
// Events taken with GetEvent whose parameters were not yet freed, over every graph.
SIM_API std::size_t unfreed_event_params();

}  // namespace sim
