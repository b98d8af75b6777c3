// A gauge module as the host loads it: the library, its exported records and its gauges.
#pragma once

#include "host/panel_host.h"
#include "platform/platform.h"

#include <memory>
#include <string>
#include <vector>

namespace panelhost {

class Module {
public:
    // Loads the library, stores the service table in its import table, checks its linkage and
    // calls its init routine. On failure the error says why and nothing stays loaded.
    static std::unique_ptr<Module> load(const std::string& path, bool intercept, std::string& error);
    // The deinit routine, then the library goes.
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    const std::string& path() const { return path_; }
    HMODULE handle() const { return handle_; }
    // The gauge headers of its linkage, in list order.
    std::vector<GAUGEHDR*> gauges() const;
    // The gauge of that name, or null.
    GAUGEHDR* find_gauge(const std::string& name) const;
    // The pixel size of a gauge's background (the picture of its root element, a static image),
    // read from the module's resources without installing the gauge; {0, 0} if it has none.
    PIXEL_POINT background_size(const GAUGEHDR* gauge) const;

private:
    Module() = default;

    std::string path_;
    HMODULE handle_ = nullptr;
    MODULE_LINKAGE_HEAD* linkage_ = nullptr;
    bool initialised_ = false;
};

// Why a gauge header cannot be run ("has header version 500, not 610 or 700"), empty if it can.
std::string header_fault(const GAUGEHDR* gauge);

}  // namespace panelhost
