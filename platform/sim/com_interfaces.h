// The COM interfaces of the simulated devices as the build's header set declares them: the one
// place where the devices' faces meet the difference between the two sets. Our native
// declarations hold the methods that the modules call, the SDK's every method; a face writes the
// ones the modules call, and Complete<Interface> answers the rest. The interface identifiers have
// the same names in both sets: native/com.cpp defines ours, the SDK's libraries theirs.
#pragma once

#include "platform/platform.h"

#if defined(_WIN32)
#include "platform/sim/uncalled_methods.h"
#else
namespace sim::com {

template <typename Interface>
using Complete = Interface;

}  // namespace sim::com
#endif
