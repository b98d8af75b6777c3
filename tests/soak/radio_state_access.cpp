// The soak tests' window on the radio's state: the one addition to a test-only build of the
// radio's sources, so that the state can be checked between steps.
#include "radio/gauge/radio_state.h"

extern "C" __attribute__((visibility("default"))) RadioState* soak_radio_state()
{
    return &radio_state;
}
