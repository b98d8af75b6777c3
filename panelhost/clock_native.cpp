// The simulated host clock: time moves only when the script says so, event by event.
#include "panelhost/clock.h"
#include "platform/platform.h"
#include "platform/sim/simulation.h"

namespace panelhost {

void pump_messages()
{
    MSG message;
    // A window procedure may post again; the bound keeps a procedure that always re-posts from
    // holding the host forever.
    for (int delivered = 0; delivered < 100000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++delivered) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void advance_clock(std::uint64_t ms)
{
    std::uint64_t target = sim::now_ms() + ms;
    pump_messages();
    for (std::uint64_t next = sim::next_event_ms(); next <= target; next = sim::next_event_ms()) {
        sim::run_until(next);
        pump_messages();
    }
    sim::run_until(target);
    pump_messages();
}

}  // namespace panelhost
