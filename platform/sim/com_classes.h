// The COM classes of the simulated devices: natively what CoCreateInstance makes, on Windows what
// the bench hands a module in place of the platform's own.
#pragma once

#include "platform/platform.h"

namespace sim::com {

// A new object of the class, asked for the interface: the object in *object, or its failure.
HRESULT create_filter_graph(REFIID iid, void** object);
HRESULT create_direct_sound(REFIID iid, void** object);

}  // namespace sim::com
