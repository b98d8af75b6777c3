// Inside the native COM stand-in: the classes it can create.
#pragma once

#include "platform/platform.h"

namespace sim::com {

// Creation by class, each answering the interface asked for or its failure.
HRESULT create_filter_graph(REFIID iid, void** object);
HRESULT create_direct_sound(REFIID iid, void** object);

}  // namespace sim::com
