// Settings and injected failures of the simulated media devices (the sound device, the media
// graph, temporary files): set by the host's options and by tests, read by the stand-ins.
#pragma once

#include "platform/platform.h"
#include "platform/sim/simulation.h"

#include <cstdint>
#include <string>

namespace sim::media {

// Whether a Windows bench hands its module the simulated filter graph and sound device in place of
// the platform's own (default: neither; natively they are always the simulated ones).
SIM_API void set_simulated(bool media_graph, bool sound_device);
SIM_API bool media_graph_simulated();
SIM_API bool sound_device_simulated();

// Whether creating the sound device and the filter graph succeeds (default: both do).
SIM_API void set_sound_device_available(bool available);
SIM_API bool sound_device_available();
SIM_API void set_media_graph_available(bool available);
SIM_API bool media_graph_available();

// A sound buffer's Lock returns a second region when the locked size exceeds this many bytes:
// the first region holds `bytes`, the second the rest. 0: one region (default).
SIM_API void set_lock_split(std::uint32_t bytes);
SIM_API std::uint32_t lock_split();

// The folder that GetTempPathA answers; empty: the system's temporary folder (default).
SIM_API void set_temp_folder(const std::string& folder);
SIM_API std::string temp_folder();

// The named stand-in call ("RenderFile", "Run", "Stop", "put_Volume", "CoInitialize",
// "CoCreateInstance(FilterGraph)", "QueryInterface(IMediaSeeking)", "CreateFileA", ...) lets
// `skip` calls succeed, then fails the next `count` calls with `result` (an HRESULT, or for a
// kernel call the error that GetLastError then answers).
SIM_API void fail_call(const std::string& name, std::int32_t result, int count = 1, int skip = 0);
// For the stand-ins: true with the result when this call of `name` is to fail.
SIM_API bool take_failure(const char* name, std::int32_t& result);
// The same for a call that answers an HRESULT.
SIM_API bool injected(const char* name, HRESULT& result);
SIM_API void clear_failures();

// Every setting and failure back to its default.
SIM_API void reset();

}  // namespace sim::media
