// Natively every platform call of a module already reaches a stand-in.
#include "panelhost/system/intercept.h"

namespace panelhost {

void install_intercepts(HMODULE)
{
}

}  // namespace panelhost
