// The host's panel services as the modules reach them: one service table for every module, each
// slot forwarding to the gauge whose code is running, or to the panel for what the panel holds
// (key events, sim variables).
#pragma once

#include "host/panel_host.h"

namespace panelhost {

class Gauge;
class Host;

PANEL_SERVICES* host_service_table();

// The panel that the services reach: the one live host.
void set_service_host(Host* host);

// While one lives, the gauge's calls of the services reach that gauge: the host sets it around
// every call it makes into a gauge's code.
class ActiveGauge {
public:
    explicit ActiveGauge(Gauge* gauge);
    ~ActiveGauge();
    ActiveGauge(const ActiveGauge&) = delete;
    ActiveGauge& operator=(const ActiveGauge&) = delete;

private:
    Gauge* previous_;
};

}  // namespace panelhost
