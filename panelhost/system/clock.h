// The host clock and the message loop: simulated natively, real time on Windows.
#pragma once

#include <cstdint>

namespace panelhost {

// Delivers every window message that is due, up to a bound; past it a warning line names the
// window and the rest wait.
void pump_messages();
// Moves the host clock on by ms, delivering window messages and device events as they fall due.
// Always returns: events that keep falling due at one instant get a warning line and are left.
void advance_clock(std::uint64_t ms);

}  // namespace panelhost
