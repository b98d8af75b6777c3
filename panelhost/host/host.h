// The bench host: the panel of gauges it runs (one gauge alone, or every gauge of a panel window
// at its place), the sim variables and key events the gauges share, and the window's points
// routed to the gauge under them.
#pragma once

#include "host/panel_host.h"
#include "panelhost/host/gauge.h"
#include "panelhost/host/module.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace panelhost {

// One gauge line of a panel window: the gauge, and where the window shows it.
struct PanelPlacement {
    std::string key;                   // "gauge00"
    std::string name;                  // "radio!tuneset", as the line gives it
    std::string module_path;
    std::string gauge_name;
    long x = 0;                        // in the window's units
    long y = 0;
    std::optional<long> width;         // else the gauge's default width
    std::optional<long> height;        // else from the width, as the gauge's background is shaped

    // 0 x 0: the gauge runs every frame and is never drawn (a virtual cockpit's logic gauges).
    bool never_drawn() const { return width == 0 && height == 0; }
};

struct HostOptions {
    std::string module_path;
    std::string gauge_name;
    bool trace_services = false;
    bool intercept = false;
    // A panel window in place of the one gauge above: its gauges in drawing order (a later one
    // lies over an earlier) and its size in its own units (a height not given is the gauges').
    std::string window_name;
    std::vector<PanelPlacement> window_gauges;
    std::optional<long> window_width;
    std::optional<long> window_height;
};

// A gauge where the panel shows it.
struct PlacedGauge {
    std::string key;                   // the gauge line's key; empty for a gauge alone
    std::string name;                  // "radio!tuneset"
    std::unique_ptr<Gauge> gauge;
    PIXEL_BOX box{};                   // in the window's units; a gauge alone: its own pixels. Empty
                                       // for a gauge that is never drawn: no point lies in it
};

class Host {
public:
    explicit Host(HostOptions options);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // Loads the modules and finds the gauges; on failure the error says why and nothing stays
    // loaded.
    bool load(std::string& error);
    void unload();
    void install_and_initialize();
    void kill();
    void update_pass();
    // One frame of the simulator: the update pass, the window messages it caused, and the clock on
    // by the frame's time, the messages and device events that fall due in it delivered.
    void frame(std::uint64_t elapsed_ms = FRAME_MS);
    bool reload(std::string& error);

    // Points are in the window's units (a gauge alone: its own pixels).
    void hold(PIXEL_POINT point, std::int64_t ticks);
    void click(PIXEL_POINT point) { hold(point, 1); }   // a click holds the button for one tick
    void tooltip(PIXEL_POINT point);
    // A person's button: down at a point (true when the hot spot there repeats while held), each
    // repeat while it stays down, and up.
    bool press(PIXEL_POINT point);
    void repeat_press();
    void release();
    // What the pointer shows over a point: the hot spot's cursor, whether it repeats, and the
    // tooltip.
    struct Pointer {
        bool hot_spot = false;
        std::int32_t cursor = CURSOR_NONE;
        bool repeats = false;
        Tooltip tooltip;
    };
    Pointer pointer_at(PIXEL_POINT point) const;
    void set_var(std::uint32_t id, double value);
    double var(std::uint32_t id) const;
    // Every sim variable a gauge bound or the script set, by id.
    const std::map<std::uint32_t, double>& vars() const { return vars_; }
    void print_elements();

    // A panel window rather than one gauge alone.
    bool is_window() const { return !options_.window_gauges.empty(); }
    // The window's size in its units (its section's, else what its gauges' boxes reach, at most
    // INT32_MAX); a gauge alone: its background's.
    PIXEL_POINT window_size() const;
    const std::vector<PlacedGauge>& placed() const { return placed_; }
    Gauge* first_gauge() const { return placed_.empty() ? nullptr : placed_.front().gauge.get(); }
    const HostOptions& options() const { return options_; }

    // The first gauge, the one of a run of one gauge.
    GAUGEHDR* gauge() const;
    ELEMENT_HEADER* root() const;
    PIXEL_POINT background_size() const;
    const LoadedImage* image(const HOST_IMAGE* record) const;
    const std::vector<MouseRegistration>& registrations() const;

    // The services that the panel holds for all its gauges.
    std::int32_t trigger_key_event(std::uint32_t event_id, std::uint32_t value);
    void initialize_var(MODULE_VAR* var);
    void lookup_var(MODULE_VAR* var);
    void trace_service(const char* name);

private:
    bool load_gauge(const PanelPlacement& placement, std::string& error);
    // The gauge under a window point and the point in its own pixels; null if none.
    const PlacedGauge* gauge_at(PIXEL_POINT point, PIXEL_POINT& inside) const;

    HostOptions options_;
    std::map<std::string, std::unique_ptr<Module>> modules_;   // by path: one module, many gauges
    std::vector<PlacedGauge> placed_;
    Gauge* pressed_ = nullptr;
    std::map<std::uint32_t, double> vars_;
};

// The box a gauge line gives its gauge in the window: the width given or the gauge's default
// width, the height given or the one that keeps the background's shape; a side at most
// INT32_MAX. A gauge that is never drawn has an empty box at its place.
PIXEL_BOX placement_box(const PanelPlacement& placement, const GAUGEHDR* gauge, PIXEL_POINT background);

}  // namespace panelhost
