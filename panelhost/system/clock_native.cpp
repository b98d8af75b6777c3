// The simulated host clock: time moves only when the script says so, event by event.
#include "panelhost/system/clock.h"
#include "panelhost/base/limits.h"
#include "panelhost/base/trace.h"
#include "platform/platform.h"
#include "platform/sim/simulation.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace panelhost {

namespace {

// A device that falls due again at the instant it was served would hold the clock, and a
// device that falls due every millisecond of a long wait would make it as long: the bounds
// (EVENTS_AT_ONE_INSTANT, EVENTS_PER_WAIT) are in panelhost/base/limits.h.

unsigned long long as_number(std::uint64_t value)
{
    return static_cast<unsigned long long>(value);
}

// How often each device has been served at the current instant.
class InstantCount {
public:
    int& of(const sim::ClockedDevice* device, std::uint64_t instant)
    {
        if (instant != instant_) {
            instant_ = instant;
            served_.clear();
        }
        for (std::pair<const sim::ClockedDevice*, int>& entry : served_)
            if (entry.first == device)
                return entry.second;
        served_.emplace_back(device, 0);
        return served_.back().second;
    }

private:
    std::uint64_t instant_ = sim::NO_EVENT;
    std::vector<std::pair<const sim::ClockedDevice*, int>> served_;
};

}  // namespace

void advance_clock(std::uint64_t ms)
{
    std::uint64_t target = sim::now_ms() + ms;
    pump_messages();
    std::vector<const sim::ClockedDevice*> held;
    InstantCount at_instant;
    int served = 0;
    const sim::ClockedDevice* last = nullptr;
    // One event at a time, the messages it caused delivered before the next: a device restarted
    // by a window procedure, or one that reschedules itself while it is served, is counted alike.
    while (sim::ClockedDevice* device = sim::next_due_device(target, held)) {
        std::uint64_t instant = std::max(sim::now_ms(), device->next_event_ms());
        int& count = at_instant.of(device, instant);
        if (count >= EVENTS_AT_ONE_INSTANT) {
            tracef("warning clock: the %s fell due %d times at %llu ms; the clock moves on", device->name(),
                   EVENTS_AT_ONE_INSTANT, as_number(instant));
            held.push_back(device);
            continue;
        }
        if (served >= EVENTS_PER_WAIT) {
            std::uint64_t now = sim::now_ms();
            tracef("warning clock: one wait served %d device events, the last by the %s at %llu ms; the wait ends "
                   "there, %llu ms short",
                   EVENTS_PER_WAIT, last->name(), as_number(now), as_number(target - now));
            return;
        }
        sim::serve_event(device);
        ++count;
        ++served;
        last = device;
        pump_messages();
    }
    sim::move_clock_to(target);
    pump_messages();
}

}  // namespace panelhost
