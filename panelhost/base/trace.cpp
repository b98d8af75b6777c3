// The bench's trace on standard output.
#include "panelhost/base/trace.h"

#include "platform/sim/simulation.h"

#include <cstdarg>
#include <cstdio>

namespace panelhost {

namespace {

bool trace_enabled = true;
TraceListener trace_listener = nullptr;
void* trace_listener_context = nullptr;

void print_line(const char* line, void*)
{
    trace_line(line);
}

}  // namespace

void set_trace_listener(TraceListener listener, void* context)
{
    trace_listener = listener;
    trace_listener_context = context;
}

void set_trace_enabled(bool enabled)
{
    trace_enabled = enabled;
}

void trace_line(const std::string& line)
{
    if (!trace_enabled)
        return;
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    if (trace_listener)
        trace_listener(line, trace_listener_context);
}

void tracef(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    sim::vtrace_to(trace_enabled ? print_line : nullptr, nullptr, format, args);
    va_end(args);
}

std::string quoted(const char* text)
{
    return std::string("\"") + (text ? text : "") + "\"";
}

std::string float_text(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

void trace_flush()
{
    std::fflush(stdout);
}

}  // namespace panelhost
