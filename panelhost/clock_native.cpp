// The simulated host clock: time moves only when the script says so, event by event.
#include "panelhost/clock.h"
#include "panelhost/trace.h"
#include "platform/platform.h"
#include "platform/sim/simulation.h"

namespace panelhost {

namespace {

// A device that falls due again at the instant it was served (one rescheduled at once, or
// restarted at once by a window procedure) would hold the clock; past this many events at one
// instant the clock moves on to the end of the wait.
constexpr int EVENTS_AT_ONE_INSTANT = 1000;

}  // namespace

void advance_clock(std::uint64_t ms)
{
    std::uint64_t target = sim::now_ms() + ms;
    pump_messages();
    std::uint64_t instant = sim::NO_EVENT;
    int at_instant = 0;
    for (std::uint64_t next = sim::next_event_ms(); next <= target; next = sim::next_event_ms()) {
        at_instant = next == instant ? at_instant + 1 : 1;
        instant = next;
        if (at_instant > EVENTS_AT_ONE_INSTANT) {
            const sim::ClockedDevice* device = sim::next_due_device();
            tracef("warning clock: the %s fell due %d times at %llu ms; the clock moves on",
                   device ? device->name() : "device", EVENTS_AT_ONE_INSTANT, static_cast<unsigned long long>(instant));
            break;
        }
        sim::run_until(next);
        pump_messages();
    }
    sim::run_until(target);
    pump_messages();
}

}  // namespace panelhost
