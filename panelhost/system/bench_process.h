// The process around a run of the bench: where the platform's trace lines go, and how the run ends
// when a gauge ends the process.
#pragma once

#include "platform/sim/simulation.h"

namespace panelhost {

// The status the bench ends with when a gauge ends the process.
constexpr int EXIT_MODULE_ENDED_PROCESS = 3;

// The bench's own run: the stand-ins' trace lines written with the bench's, and a gauge that ends
// the process traced ("exit CODE") before the bench ends with EXIT_MODULE_ENDED_PROCESS.
void start_traced_process();

// The bench inside another program that reads no trace (the manual's generator, the benchmarks):
// the bench's lines dropped, the stand-ins' handed to the listener given (null: dropped too), and
// a gauge that ends the process said on standard error as the program's failure ("PROGRAM: a
// gauge ended the process (exit code CODE)"), the program then ending with STATUS.
void start_quiet_process(const char* program, int status, sim::TraceSink device_lines = nullptr);

}  // namespace panelhost
