// The bench inside the manual's generator: fresh gauges, their clicks and frames, their hot spots
// and their pictures.
#include "tools/manual/manual_bench.h"

#include "panelhost/options/options.h"
#include "panelhost/system/bench_process.h"

#include <filesystem>
#include <memory>
#include <optional>

namespace manual {

namespace {

bool run_started = false;

}  // namespace

// ---- the process ----------------------------------------------------------------------------------------

BenchProcess::~BenchProcess()
{
    std::error_code ignored;
    if (!previous_folder_.empty())
        std::filesystem::current_path(previous_folder_, ignored);
}

bool BenchProcess::start(std::string& error)
{
    if (!panelhost::program_folder(module_folder_, error) || !songs_.make(true, error))
        return false;
    std::error_code failure;
    previous_folder_ = std::filesystem::current_path().string();
    std::filesystem::current_path(songs_.path(), failure);
    if (failure) {
        error = "cannot go to " + songs_.path() + ": " + failure.message();
        previous_folder_.clear();
        return false;
    }
    // A module that ends the process leaves no manual to write.
    panelhost::start_quiet_process("manual", 1);
    panelhost::configure_devices();
    return true;
}

// ---- one gauge ------------------------------------------------------------------------------------------

GaugeRun::GaugeRun(panelhost::HostOptions options) : host_(std::make_unique<panelhost::Host>(std::move(options))) {}

GaugeRun::~GaugeRun()
{
    host_->unload();
    if (started_)
        run_started = false;
}

bool GaugeRun::start(std::string& error)
{
    if (run_started) {
        error = "a second gauge run was started while another is running";
        return false;
    }
    if (!host_->load(error))
        return false;
    started_ = run_started = true;
    host_->install_and_initialize();
    frames(1);
    return true;
}

void GaugeRun::frames(int count)
{
    for (int i = 0; i < count; ++i)
        host_->frame();
}

void GaugeRun::click(PIXEL_POINT point)
{
    host_->click(point);
}

void GaugeRun::set_var(std::uint32_t id, double value)
{
    host_->set_var(id, value);
}

const GAUGEHDR* GaugeRun::header() const
{
    return host_->gauge();
}

PIXEL_POINT GaugeRun::size() const
{
    return host_->window_size();
}

bool GaugeRun::hot_spots(std::vector<HotSpot>& spots, std::string& error) const
{
    spots.clear();
    for (const panelhost::PlacedGauge& placed : host_->placed())
        for (const panelhost::MouseRegistration& registration : placed.gauge->registrations())
            for (const panelhost::MouseHotSpot& hot_spot : registration.layout.hot_spots) {
                HotSpot spot;
                spot.number = static_cast<int>(spots.size()) + 1;
                spot.row = hot_spot.row;
                spot.area = hot_spot.area;
                spot.centre = {hot_spot.area.x + hot_spot.area.width / 2, hot_spot.area.y + hot_spot.area.height / 2};
                spot.cursor = hot_spot.row->cursor;
                spot.event_id = hot_spot.row->event_id;
                panelhost::MouseHit hit = panelhost::hit_test(registration.layout, spot.centre);
                if (hit.hot_spot != &hot_spot) {
                    error = "hot spot " + std::to_string(spot.number) + " of " + placed.name +
                            " is not the one a click at its centre reaches";
                    return false;
                }
                spot.tooltip = placed.gauge->tooltip(spot.centre);
                spots.push_back(spot);
            }
    return true;
}

bool GaugeRun::picture(panelhost::HotSpots style, std::vector<std::uint8_t>& png, std::string& error) const
{
    std::optional<panelhost::Canvas> canvas = panelhost::draw_panel(*host_, style, error);
    return canvas && panelhost::encode_png(*canvas, png, error);
}

const char* cursor_name(std::int32_t cursor)
{
    switch (cursor) {
    case CURSOR_HAND:
        return "hand";
    case CURSOR_UPARROW:
        return "up arrow";
    case CURSOR_DOWNARROW:
        return "down arrow";
    case CURSOR_LEFTARROW:
        return "left arrow";
    case CURSOR_RIGHTARROW:
        return "right arrow";
    case CURSOR_NORMAL:
        return "arrow";
    default:
        return "the simulator's usual pointer";
    }
}

}  // namespace manual
