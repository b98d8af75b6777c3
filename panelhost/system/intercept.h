// Putting the bench's stand-ins in place of a loaded module's platform calls.
#pragma once

#include "platform/platform.h"

namespace panelhost {

// Windows: patches the module's import table so that its MCI and mixer calls reach the
// simulated CD drive and mixer, its message boxes and process exit reach the trace, and the
// media graph and sound device it creates report their calls to the trace: the platform's own,
// or the simulated ones where the media settings ask for them. Natively every device is
// simulated already, and this does nothing.
void install_intercepts(HMODULE module);

}  // namespace panelhost
