// Control of the simulated platform: the trace sink, the host clock with its device events, and
// the process-exit hook. The host drives these; the stand-in devices report through them.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#if defined(_WIN32)
#define SIM_API
#else
#define SIM_API __attribute__((visibility("default")))
#endif

namespace sim {

constexpr std::uint64_t NO_EVENT = std::numeric_limits<std::uint64_t>::max();

// Every trace line of the platform goes to one sink, set by the host.
using TraceSink = void (*)(const char* line, void* context);
SIM_API void set_trace_sink(TraceSink sink, void* context);
SIM_API void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A trace line as printf writes it, handed to the sink given (none: the line is dropped). The
// platform's lines and the bench's own are formatted here alike, and a longer line is cut to
// TRACE_LINE_MAX characters.
constexpr std::size_t TRACE_LINE_MAX = 4095;
SIM_API void vtrace_to(TraceSink sink, void* context, const char* format, va_list args)
    __attribute__((format(printf, 3, 0)));

// A stand-in device whose state changes with the clock (a disc that plays on, a song that ends).
class ClockedDevice {
public:
    virtual ~ClockedDevice() = default;
    // The time of the device's next event, or NO_EVENT.
    virtual std::uint64_t next_event_ms() const = 0;
    // Called with the clock at the event's time.
    virtual void on_clock(std::uint64_t now_ms) = 0;
    // What the device is, for the bench's warnings.
    virtual const char* name() const = 0;
};

SIM_API void add_clocked_device(ClockedDevice* device);
SIM_API void remove_clocked_device(ClockedDevice* device);

// The host clock, in milliseconds since the host started.
SIM_API std::uint64_t now_ms();
// The earliest event of any device, or NO_EVENT.
SIM_API std::uint64_t next_event_ms();
// Moves the clock forward to time_ms, letting every device event before it fall due in time
// order; a device whose event lies at or before the new time is told at that event's time.
// The clock never moves back.
SIM_API void run_until(std::uint64_t time_ms);

// The same clock one event at a time, for a host that bounds what it serves. The device whose
// event comes first at or before time_ms, leaving out the held ones; of devices due together the
// one added first; null when none is due.
SIM_API ClockedDevice* next_due_device(std::uint64_t time_ms, const std::vector<const ClockedDevice*>& held);
// Serves the device's next event alone: the clock moves to the event's time (never back) and the
// device is told.
SIM_API void serve_event(ClockedDevice* device);
// Moves the clock forward to time_ms serving nothing; an event it passes is served, late, by a
// later call.
SIM_API void move_clock_to(std::uint64_t time_ms);

// ExitProcess reports here; the handler does not return.
using ExitHandler = void (*)(unsigned code);
SIM_API void set_exit_handler(ExitHandler handler);
[[noreturn]] SIM_API void exit_process(unsigned code);

}  // namespace sim
