// A module whose linkage carries a module id other than the host's, which the host refuses.
#include "host/panel_host.h"

GAUGE_EXPORT IMPORT_TABLE ImportTable = {{IMPORT_ID_PANELS, nullptr}, {0, nullptr}};
GAUGE_EXPORT MODULE_LINKAGE<1> Linkage = {{0x12, nullptr, nullptr, 0, 0, 0}, {nullptr}};
