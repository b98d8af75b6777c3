// The bench host: its gauges loaded and placed, their lifecycle in panel order, the window's
// points routed to them, and the key events and sim variables they share.
#include "panelhost/host/host.h"

#include "panelhost/base/shown_input.h"
#include "panelhost/base/trace.h"
#include "panelhost/host/services.h"
#include "panelhost/system/clock.h"

#include <algorithm>

namespace panelhost {

PIXEL_BOX placement_box(const PanelPlacement& placement, const GAUGEHDR* gauge, PIXEL_POINT background)
{
    PIXEL_BOX box{static_cast<std::int32_t>(placement.x), static_cast<std::int32_t>(placement.y), 0, 0};
    if (placement.never_drawn())
        return box;
    // in 64 bits: a module's default size is any 32-bit number, and a long may have 32 bits
    std::int64_t width = placement.width ? *placement.width
                         : gauge && gauge->size_x_mm ? std::int64_t(gauge->size_x_mm)
                                                     : background.x;
    std::int64_t height = 0;
    if (placement.height)
        height = *placement.height;
    else if (!placement.width && gauge && gauge->size_y_mm)
        height = gauge->size_y_mm;
    else if (background.x > 0)
        height = (width * background.y + background.x / 2) / background.x;
    auto side = [](std::int64_t size) { return static_cast<std::int32_t>(std::clamp<std::int64_t>(size, 1, INT32_MAX)); };
    box.width = side(width);
    box.height = side(height);
    return box;
}

Host::Host(HostOptions options) : options_(std::move(options))
{
    set_service_host(this);
}

Host::~Host()
{
    unload();
    set_service_host(nullptr);
}

// ---- modules and gauges --------------------------------------------------------------------------------

bool Host::load_gauge(const PanelPlacement& placement, std::string& error)
{
    std::unique_ptr<Module>& module = modules_[placement.module_path];
    if (!module) {
        module = Module::load(placement.module_path, options_.intercept, error);
        if (!module) {
            modules_.erase(placement.module_path);
            return false;
        }
    }
    GAUGEHDR* header = module->find_gauge(placement.gauge_name);
    for (const PlacedGauge& placed : placed_)
        if (header && placed.gauge->header() == header) {
            error = "the gauge \"" + base::shown_input(placement.gauge_name) + "\" of module " + placement.module_path +
                    " is in the window already: its records are the module's own, so it is shown once";
            return false;
        }
    if (!header) {
        error = "module " + placement.module_path + " has no gauge named \"" + base::shown_input(placement.gauge_name) + "\"";
        return false;
    }
    if (std::string fault = header_fault(header); !fault.empty()) {
        error = "module " + placement.module_path + " gauge \"" + base::shown_input(placement.gauge_name) + "\" " + fault;
        return false;
    }
    PlacedGauge placed;
    placed.key = placement.key;
    placed.name = placement.name;
    placed.gauge = std::make_unique<Gauge>(*this, *module, header);
    PIXEL_POINT background = module->background_size(header);
    placed.box = is_window() ? placement_box(placement, header, background) : PIXEL_BOX{0, 0, background.x, background.y};
    placed_.push_back(std::move(placed));
    return true;
}

bool Host::load(std::string& error)
{
    std::vector<PanelPlacement> placements = options_.window_gauges;
    if (placements.empty())
        placements.push_back({"", "", options_.module_path, options_.gauge_name, 0, 0, {}, {}});
    for (const PanelPlacement& placement : placements)
        if (!load_gauge(placement, error)) {
            if (is_window())
                error = placement.key + ": " + error;
            unload();
            return false;
        }
    return true;
}

void Host::unload()
{
    kill();
    // The modules' records go away with them: nothing of the host may keep pointing into them.
    placed_.clear();
    modules_.clear();
}

bool Host::reload(std::string& error)
{
    unload();
    if (!load(error))
        return false;
    install_and_initialize();
    return true;
}

PIXEL_POINT Host::window_size() const
{
    if (!is_window())
        return background_size();
    std::int64_t width = 0, height = 0;
    for (const PlacedGauge& placed : placed_) {
        if (placed.box.width <= 0 || placed.box.height <= 0)
            continue;
        width = std::max(width, std::int64_t(placed.box.x) + placed.box.width);
        height = std::max(height, std::int64_t(placed.box.y) + placed.box.height);
    }
    auto side = [](std::int64_t size) { return static_cast<std::int32_t>(std::clamp<std::int64_t>(size, 0, INT32_MAX)); };
    return {side(options_.window_width.value_or(width)), side(options_.window_height.value_or(height))};
}

GAUGEHDR* Host::gauge() const
{
    return first_gauge() ? first_gauge()->header() : nullptr;
}

ELEMENT_HEADER* Host::root() const
{
    return first_gauge() ? first_gauge()->root() : nullptr;
}

PIXEL_POINT Host::background_size() const
{
    return first_gauge() ? first_gauge()->background_size() : PIXEL_POINT{0, 0};
}

const LoadedImage* Host::image(const HOST_IMAGE* record) const
{
    for (const PlacedGauge& placed : placed_)
        if (const LoadedImage* found = placed.gauge->image(record))
            return found;
    return nullptr;
}

const std::vector<MouseRegistration>& Host::registrations() const
{
    static const std::vector<MouseRegistration> none;
    return first_gauge() ? first_gauge()->registrations() : none;
}

// ---- lifecycle, in the order of the panel's lines ------------------------------------------------------

void Host::install_and_initialize()
{
    for (PlacedGauge& placed : placed_)
        placed.gauge->install_and_initialize();
}

void Host::kill()
{
    release();
    for (auto placed = placed_.rbegin(); placed != placed_.rend(); ++placed)
        placed->gauge->kill();
}

void Host::update_pass()
{
    for (PlacedGauge& placed : placed_)
        placed.gauge->update_pass();
}

void Host::frame(std::uint64_t elapsed_ms)
{
    update_pass();
    pump_messages();
    advance_clock(elapsed_ms);
}

void Host::print_elements()
{
    for (const PlacedGauge& placed : placed_) {
        if (is_window())
            trace_line("gauge " + placed.key + " " + quoted(placed.name.c_str()));
        placed.gauge->print_elements();
    }
}

// ---- the mouse: the window's points, each gauge's pixels -----------------------------------------------

const PlacedGauge* Host::gauge_at(PIXEL_POINT point, PIXEL_POINT& inside) const
{
    if (!is_window()) {
        inside = point;
        return placed_.empty() ? nullptr : &placed_.front();
    }
    // The last line's gauge lies over the earlier ones.
    for (auto placed = placed_.rbegin(); placed != placed_.rend(); ++placed) {
        const PIXEL_BOX& box = placed->box;
        if (point.x < box.x || point.y < box.y || point.x >= std::int64_t(box.x) + box.width ||
            point.y >= std::int64_t(box.y) + box.height)
            continue;
        PIXEL_POINT size = placed->gauge->background_size();
        if (size.x <= 0 || size.y <= 0)
            size = {box.width, box.height};
        inside.x = static_cast<std::int32_t>((std::int64_t(point.x) - box.x) * size.x / box.width);
        inside.y = static_cast<std::int32_t>((std::int64_t(point.y) - box.y) * size.y / box.height);
        return &*placed;
    }
    return nullptr;
}

void Host::hold(PIXEL_POINT point, std::int64_t ticks)
{
    PIXEL_POINT inside{};
    if (const PlacedGauge* placed = gauge_at(point, inside))
        placed->gauge->hold(inside, ticks);
}

bool Host::press(PIXEL_POINT point)
{
    release();
    PIXEL_POINT inside{};
    const PlacedGauge* placed = gauge_at(point, inside);
    if (!placed)
        return false;
    pressed_ = placed->gauge.get();
    return pressed_->press(inside);
}

void Host::repeat_press()
{
    if (pressed_)
        pressed_->repeat_press();
}

void Host::release()
{
    if (pressed_)
        pressed_->release();
    pressed_ = nullptr;
}

Host::Pointer Host::pointer_at(PIXEL_POINT point) const
{
    Pointer pointer;
    PIXEL_POINT inside{};
    const PlacedGauge* placed = gauge_at(point, inside);
    if (!placed)
        return pointer;
    if (const MouseHotSpot* hot_spot = placed->gauge->hot_spot_at(inside)) {
        pointer.hot_spot = true;
        pointer.cursor = hot_spot->row->cursor;
        pointer.repeats = (hot_spot->row->mouse_flags & MOUSE_DOWN_REPEAT) != 0;
    }
    pointer.tooltip = placed->gauge->tooltip(inside);
    return pointer;
}

void Host::tooltip(PIXEL_POINT point)
{
    PIXEL_POINT inside{};
    const PlacedGauge* placed = gauge_at(point, inside);
    Tooltip found = placed ? placed->gauge->tooltip(inside) : Tooltip{};
    switch (found.kind) {
    case Tooltip::Text:
        trace_line("tooltip " + quoted(found.text.c_str()));
        break;
    case Tooltip::Help:
        tracef("tooltip help 0x%x", found.help_id);
        break;
    case Tooltip::None:
        trace_line("tooltip none");
        break;
    }
}

// ---- key events and variables ------------------------------------------------------------------------

void Host::trace_service(const char* name)
{
    if (options_.trace_services)
        tracef("service %s", name);
}

std::int32_t Host::trigger_key_event(std::uint32_t event_id, std::uint32_t value)
{
    tracef("key 0x%x %u", event_id, value);
    return 0;
}

void Host::initialize_var(MODULE_VAR* var)
{
    if (var)
        var->pointer = &vars_[var->id];
}

void Host::lookup_var(MODULE_VAR* var)
{
    if (!var)
        return;
    double& slot = vars_[var->id];
    var->pointer = &slot;
    var->previous_value = var->value;
    var->value = slot;
}

void Host::set_var(std::uint32_t id, double value)
{
    vars_[id] = value;
}

double Host::var(std::uint32_t id) const
{
    auto found = vars_.find(id);
    return found == vars_.end() ? 0.0 : found->second;
}

}  // namespace panelhost
