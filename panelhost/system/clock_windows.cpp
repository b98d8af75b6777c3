// The real host clock on Windows: waiting is waiting, with the thread's message loop running, and
// the simulated devices follow the same clock.
#include "panelhost/system/clock.h"
#include "platform/platform.h"
#include "platform/sim/simulation.h"

namespace panelhost {

void advance_clock(std::uint64_t ms)
{
    ULONGLONG start = GetTickCount64();
    std::uint64_t sim_start = sim::now_ms();
    pump_messages();
    for (;;) {
        ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= ms)
            break;
        DWORD remaining = static_cast<DWORD>(ms - elapsed);
        std::uint64_t next = sim::next_event_ms();
        if (next != sim::NO_EVENT && next > sim::now_ms() && next - sim::now_ms() < remaining)
            remaining = static_cast<DWORD>(next - sim::now_ms());
        MsgWaitForMultipleObjects(0, nullptr, FALSE, remaining, QS_ALLINPUT);
        sim::run_until(sim_start + (GetTickCount64() - start < ms ? GetTickCount64() - start : ms));
        pump_messages();
    }
    sim::run_until(sim_start + ms);
    pump_messages();
}

}  // namespace panelhost
