// The host clock and the message loop: simulated natively, real time on Windows.
#pragma once

#include <cstdint>

namespace panelhost {

// Delivers every window message that is due.
void pump_messages();
// Moves the host clock on by ms, delivering window messages and device events as they fall due.
void advance_clock(std::uint64_t ms);

}  // namespace panelhost
