// Windows paths on the machine that runs the bench.
#pragma once

#include "platform/sim/simulation.h"

#include <string>

namespace sim {

// The path as this machine's file system names it: natively ".\Sound\song1.wav" is
// "./Sound/song1.wav"; on Windows the path as it is.
SIM_API std::string native_path(std::string path);

}  // namespace sim
