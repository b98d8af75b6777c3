// The Windows bench has no drawing: render refuses with a clear error.
#include "panelhost/picture/render.h"

namespace panelhost {

bool render_gauge(const Host&, const std::string&, HotSpots, std::string& error)
{
    error = "drawing is available in the native build of panelhost only";
    return false;
}

}  // namespace panelhost
