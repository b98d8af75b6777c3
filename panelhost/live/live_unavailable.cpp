// The Windows bench serves no live panel: --serve refuses with a clear error.
#include "panelhost/live/live_server.h"

namespace panelhost {

bool parse_live_address(const std::string&, LiveAddress&, std::string& error)
{
    error = "the live panel is in the native build of panelhost only";
    return false;
}

bool serve_live(Host&, const LiveTrace&, const LiveAddress&, std::string& error)
{
    error = "the live panel is in the native build of panelhost only";
    return false;
}

}  // namespace panelhost
