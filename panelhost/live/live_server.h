// The live panel: the gauges run by the wall clock at the host's rate, and served to a web page
// over HTTP. Every call into a gauge runs on the panel's thread, the one that calls serve_live;
// the server's threads only hand it the requests and wait for the answers.
#pragma once

#include "panelhost/host/host.h"
#include "panelhost/live/live_panel.h"
#include "panelhost/live/live_trace.h"

#include <string>

namespace panelhost {

// Reads "[ADDRESS:]PORT"; false, with the reason, for anything else.
bool parse_live_address(const std::string& text, LiveAddress& address, std::string& error);

// Serves the installed host's panel until SIGINT or SIGTERM, the trace as it was kept from the
// start; then the panel is killed and the modules unloaded. Prints the page's address on standard
// error once it listens, and a warning when others can reach it. False, with the error, when it
// cannot listen.
bool serve_live(Host& host, const LiveTrace& trace, const LiveAddress& address, std::string& error);

}  // namespace panelhost
