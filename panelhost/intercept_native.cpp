// Natively every platform call of a module already reaches a stand-in.
#include "panelhost/intercept.h"

namespace panelhost {

void install_intercepts(HMODULE)
{
}

}  // namespace panelhost
