// The simulated platform's trace sink, host clock and exit hook.
#include "simulation.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace sim {
namespace {

struct Simulation {
    TraceSink sink = nullptr;
    void* sink_context = nullptr;
    std::uint64_t now = 0;
    std::vector<ClockedDevice*> devices;
    ExitHandler exit_handler = nullptr;
};

Simulation& simulation()
{
    static Simulation state;
    return state;
}

}  // namespace

void set_trace_sink(TraceSink sink, void* context)
{
    simulation().sink = sink;
    simulation().sink_context = context;
}

void trace(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vtrace_to(simulation().sink, simulation().sink_context, format, args);
    va_end(args);
}

void vtrace_to(TraceSink sink, void* context, const char* format, va_list args)
{
    if (!sink)
        return;
    char line[TRACE_LINE_MAX + 1];
    std::vsnprintf(line, sizeof line, format, args);
    sink(line, context);
}

void add_clocked_device(ClockedDevice* device)
{
    std::vector<ClockedDevice*>& devices = simulation().devices;
    if (std::find(devices.begin(), devices.end(), device) == devices.end())
        devices.push_back(device);
}

void remove_clocked_device(ClockedDevice* device)
{
    std::vector<ClockedDevice*>& devices = simulation().devices;
    devices.erase(std::remove(devices.begin(), devices.end(), device), devices.end());
}

std::uint64_t now_ms()
{
    return simulation().now;
}

std::uint64_t next_event_ms()
{
    std::uint64_t next = NO_EVENT;
    for (const ClockedDevice* device : simulation().devices)
        next = std::min(next, device->next_event_ms());
    return next;
}

void run_until(std::uint64_t time_ms)
{
    Simulation& state = simulation();
    // A device may schedule a new event while it handles one; the bound keeps a device that
    // reschedules at the same instant from holding the clock forever.
    for (int events = 0; events < 100000; ++events) {
        std::uint64_t next = next_event_ms();
        if (next > time_ms)
            break;
        state.now = std::max(state.now, next);
        std::vector<ClockedDevice*> due;
        for (ClockedDevice* device : state.devices)
            if (device->next_event_ms() <= state.now)
                due.push_back(device);
        for (ClockedDevice* device : due)
            device->on_clock(state.now);
    }
    state.now = std::max(state.now, time_ms);
}

ClockedDevice* next_due_device(std::uint64_t time_ms, const std::vector<const ClockedDevice*>& held)
{
    ClockedDevice* due = nullptr;
    for (ClockedDevice* device : simulation().devices) {
        std::uint64_t next = device->next_event_ms();
        if (next == NO_EVENT || next > time_ms || std::find(held.begin(), held.end(), device) != held.end())
            continue;
        if (!due || next < due->next_event_ms())
            due = device;
    }
    return due;
}

void serve_event(ClockedDevice* device)
{
    Simulation& state = simulation();
    std::uint64_t next = device->next_event_ms();
    if (next == NO_EVENT)
        return;
    state.now = std::max(state.now, next);
    device->on_clock(state.now);
}

void move_clock_to(std::uint64_t time_ms)
{
    Simulation& state = simulation();
    state.now = std::max(state.now, time_ms);
}

void set_exit_handler(ExitHandler handler)
{
    simulation().exit_handler = handler;
}

void exit_process(unsigned code)
{
    if (simulation().exit_handler)
        simulation().exit_handler(code);
    std::fflush(nullptr);
    std::_Exit(static_cast<int>(code));
}

}  // namespace sim
