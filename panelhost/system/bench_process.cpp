// The process around a run of the bench: its trace and its end.
#include "panelhost/system/bench_process.h"

#include "panelhost/base/trace.h"

#include <cstdio>
#include <cstdlib>

namespace panelhost {
namespace {

// A quiet run's program and the status it ends with; none for the bench's own run.
const char* quiet_program = nullptr;
int quiet_status = 0;

void platform_trace(const char* line, void*)
{
    trace_line(line);
}

void drop_line(const char*, void*) {}

// Called from inside the gauge's code. The bench's run ends at once, its trace written out; a
// program around a quiet run ends as it ends on any failure, its own clean-up done.
void module_ended_process(unsigned code)
{
    tracef("exit %u", code);
    trace_flush();
    if (quiet_program) {
        std::fprintf(stderr, "%s: a gauge ended the process (exit code %u)\n", quiet_program, code);
        std::exit(quiet_status);
    }
    std::fflush(nullptr);
    std::_Exit(EXIT_MODULE_ENDED_PROCESS);
}

}  // namespace

void start_traced_process()
{
    quiet_program = nullptr;
    sim::set_trace_sink(platform_trace, nullptr);
    sim::set_exit_handler(module_ended_process);
    set_trace_enabled(true);
}

void start_quiet_process(const char* program, int status, sim::TraceSink device_lines)
{
    quiet_program = program;
    quiet_status = status;
    sim::set_trace_sink(device_lines ? device_lines : drop_line, nullptr);
    sim::set_exit_handler(module_ended_process);
    set_trace_enabled(false);
}

}  // namespace panelhost
