// What the native window stand-ins hold, for the host and for tests that check nothing leaks.
#pragma once

#include "platform/platform.h"
#include "platform/sim/simulation.h"

#include <cstddef>

namespace sim {

SIM_API std::size_t window_count();
SIM_API std::size_t window_class_count();
SIM_API std::size_t queued_message_count();
// The window that GetActiveWindow answers; none at start.
SIM_API void set_active_window(HWND window);

}  // namespace sim
