// On Windows: the simulated media graph and sound device behind the platform's own interfaces, for
// the bench to hand to a module in place of the real ones.
#pragma once

#include "platform/sim/com_classes.h"

namespace sim::windows {

// A new object of the class, asked for the interface; the framework's results.
using sim::com::create_direct_sound;
using sim::com::create_filter_graph;

}  // namespace sim::windows
