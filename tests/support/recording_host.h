// A host of the tests' own behind a gauge module's import table: every panel-service call is
// recorded with its arguments, which panelhost's trace does not show.
#pragma once

#include "host/panel_host.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace test_support {

struct RecordingHost {
    // One line a call: "element_list_install ROOT RESOURCE", "element_list_generate ROOT PHASE",
    // "mouse_list_install", "key 0xID VALUE", "initialize_var ID", "lookup_var ID", ...
    std::vector<std::string> calls;
    // element_list_install gives a static-image root this picture when asked to (and kill takes
    // it back), as a host that found the background's bitmap does.
    bool fill_background = false;
    HOST_IMAGE background_picture{};
    MOUSERECT* installed_table = nullptr;
    GAUGEHDR* installed_gauge = nullptr;
    PIXEL_POINT* installed_size = nullptr;
    std::set<MOUSERECT*> registered;
    std::map<std::uint32_t, double> vars;   // what lookup_var answers
};

// The one recording host and the service table that records into it.
RecordingHost& recording_host();
PANEL_SERVICES* recording_services();

// A pointer as the call lines write it.
std::string pointer_text(const void* pointer);

}  // namespace test_support
