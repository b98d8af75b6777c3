// On Windows: the simulated media graph and sound device behind the platform's own interfaces, for
// the bench to hand to a module in place of the real ones.
#pragma once

#include "platform/platform.h"

namespace sim::windows {

// A new object of the class, asked for the interface; the framework's results.
HRESULT create_filter_graph(REFIID iid, void** object);
HRESULT create_direct_sound(REFIID iid, void** object);

}  // namespace sim::windows
