// The bench's trace: one event a line on standard output, in the order the events happen.
#pragma once

#include <string>

namespace panelhost {

void trace_line(const std::string& line);
void tracef(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Text inside a trace line's double quotes, as it is.
std::string quoted(const char* text);
// A float as C's %g writes it.
std::string float_text(double value);
void trace_flush();
// Off, every trace line is dropped: for runs that measure the gauges rather than read their trace.
void set_trace_enabled(bool enabled);
// Every trace line is also handed to the listener (null: none), as it is written.
using TraceListener = void (*)(const std::string& line, void* context);
void set_trace_listener(TraceListener listener, void* context);

}  // namespace panelhost
