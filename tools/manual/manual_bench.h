// The bench run inside the manual's generator: each gauge loaded fresh, brought into a state by
// clicks at its hot spots and by sim variables, its mouse table read and its face drawn.
#pragma once

#include "panelhost/host/host.h"
#include "panelhost/picture/render.h"
#include "panelhost/system/song_folder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace manual {

// One hot spot as the pilot meets it: its number in the bench's drawing (table order), its box,
// the point a click is given at, its cursor and its tooltip in the gauge's present state.
struct HotSpot {
    int number = 0;
    const MOUSERECT* row = nullptr;
    PIXEL_BOX area{};
    PIXEL_POINT centre{};
    std::int32_t cursor = CURSOR_NONE;
    std::uint32_t event_id = 0;
    panelhost::Tooltip tooltip;
};

// The process set up for the bench: the stand-ins' and the host's traces dropped, a module that
// ends the process reported, and the current folder a temporary one whose Sound folder holds all
// six songs, so that the FM and AM pictures show a song playing. The folder goes with the object,
// and the current folder is the one before again.
class BenchProcess {
public:
    BenchProcess() = default;
    ~BenchProcess();
    BenchProcess(const BenchProcess&) = delete;
    BenchProcess& operator=(const BenchProcess&) = delete;

    bool start(std::string& error);
    // The folder of this executable, where the native modules are built.
    const std::string& module_folder() const { return module_folder_; }

private:
    std::string module_folder_;
    std::string previous_folder_;
    panelhost::SongFolder songs_;
};

// A gauge alone, or a panel window, loaded fresh (so its module's state is new), installed and run
// for a frame. One at a time: the bench's service table is the process's one, and a module loaded
// twice would be one library with one state.
class GaugeRun {
public:
    explicit GaugeRun(panelhost::HostOptions options);
    ~GaugeRun();
    GaugeRun(const GaugeRun&) = delete;
    GaugeRun& operator=(const GaugeRun&) = delete;

    bool start(std::string& error);
    // Update passes with the messages they cause and a frame's time after each, as the
    // simulator's frames come.
    void frames(int count);
    void click(PIXEL_POINT point);
    void set_var(std::uint32_t id, double value);

    const panelhost::Host& host() const { return *host_; }
    const GAUGEHDR* header() const;
    PIXEL_POINT size() const;
    // The gauge's hot spots in table order; false, with the reason, for one whose centre a click
    // would not reach (another hot spot lies over it).
    bool hot_spots(std::vector<HotSpot>& spots, std::string& error) const;
    // The face as the bench draws it now, as PNG bytes.
    bool picture(panelhost::HotSpots style, std::vector<std::uint8_t>& png, std::string& error) const;

private:
    std::unique_ptr<panelhost::Host> host_;
    bool started_ = false;
};

// What the pilot sees as the pointer over a hot spot of the cursor field: "hand", "up arrow" ...
const char* cursor_name(std::int32_t cursor);

}  // namespace manual
