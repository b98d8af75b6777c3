// The measured scenarios of both gauges and the in-process bench that runs them.
#include "benchmarks/gauge_scenarios.h"

#include "autohelm/autohelm.h"
#include "autohelm/autohelm_layout.h"
#include "benchmarks/allocation_counter.h"
#include "panelhost/options/options.h"
#include "panelhost/system/bench_process.h"
#include "panelhost/system/song_folder.h"
#include "radio/gauge/radio_layout.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace gauge_bench {

namespace {

using panelhost::Host;

const char* const PROGRAM = "gauge bench";
constexpr int EXIT_GIVEN_UP = 2;

std::string out_dir;

[[noreturn]] void give_up(const std::string& why)
{
    std::fprintf(stderr, "%s: %s\n", PROGRAM, why.c_str());
    std::exit(EXIT_GIVEN_UP);
}

std::uint64_t mci_lines = 0;

// The stand-ins' trace is dropped, but for a count of the CD drive's commands.
void drop_trace(const char* line, void*)
{
    if (std::strncmp(line, "mci", 3) == 0)
        ++mci_lines;
}

// ---- the radio's buttons: a point in the middle of each hot spot of the gauge's layout ----

namespace layout = radio_layout;

constexpr PIXEL_POINT middle_of(layout::Box box)
{
    return {layout::centre(box).x, layout::centre(box).y};
}

constexpr PIXEL_POINT POWER = middle_of(layout::POWER_BUTTON);
constexpr PIXEL_POINT DOOR = middle_of(layout::DOOR_BUTTON);
constexpr PIXEL_POINT SOURCE_CD = middle_of(layout::MODE_BUTTONS[0]);
constexpr PIXEL_POINT SOURCE_FM = middle_of(layout::MODE_BUTTONS[1]);
constexpr PIXEL_POINT SOURCE_AM = middle_of(layout::MODE_BUTTONS[2]);
constexpr PIXEL_POINT PRESET[7] = {{0, 0},
                                   middle_of(layout::PRESET_BUTTONS[0]),
                                   middle_of(layout::PRESET_BUTTONS[1]),
                                   middle_of(layout::PRESET_BUTTONS[2]),
                                   middle_of(layout::PRESET_BUTTONS[3]),
                                   middle_of(layout::PRESET_BUTTONS[4]),
                                   middle_of(layout::PRESET_BUTTONS[5])};
constexpr PIXEL_POINT PREVIOUS = middle_of(layout::PREVIOUS_TRACK);
constexpr PIXEL_POINT NEXT = middle_of(layout::NEXT_TRACK);
constexpr PIXEL_POINT PAUSE = middle_of(layout::PAUSE_BUTTON);
constexpr PIXEL_POINT VOLUME_UP = middle_of(layout::VOLUME_UP);
constexpr PIXEL_POINT VOLUME_DOWN = middle_of(layout::VOLUME_DOWN);

// ---- the autopilot's knob and levers: the middle of each hot spot of its layout ----

// the same middle pixel as the radio's
constexpr PIXEL_POINT middle_of(PIXEL_BOX box)
{
    return middle_of(layout::Box{box.x, box.y, box.width, box.height});
}

constexpr PIXEL_POINT MASTER = middle_of(autohelm_layout::MASTER_LEVER);
constexpr PIXEL_POINT ENGAGE = middle_of(autohelm_layout::ENGAGE_LEVER);
constexpr PIXEL_POINT INHIBIT = middle_of(autohelm_layout::INHIBIT_LEVER);
constexpr PIXEL_POINT KNOB_DOWN = middle_of(autohelm_layout::KNOB_DOWN_HALF);
constexpr PIXEL_POINT KNOB_UP = middle_of(autohelm_layout::KNOB_UP_HALF);

// A volume runs 10000 hundredths of a decibel (or of the CD line's scale) in steps of 150: from
// either end, VOLUME_BATCH steps never reach the other, so each one changes the volume.
constexpr int VOLUME_BATCH = 50;
constexpr int VOLUME_TO_AN_END = 80;

void nothing(Host&) {}

void pass(Host& host)
{
    host.update_pass();
}

void press(Host& host, PIXEL_POINT point, int times)
{
    for (int i = 0; i < times; ++i)
        host.click(point);
}

void radio_on_cd(Host& host)
{
    press(host, POWER, 1);
    pass(host);
}

void radio_on_fm(Host& host)
{
    press(host, SOURCE_FM, 1);
    press(host, POWER, 1);
    pass(host);
}

void radio_on_cd_door_open(Host& host)
{
    radio_on_cd(host);
    press(host, DOOR, 1);
}

void radio_fm_volume_lowest(Host& host)
{
    radio_on_fm(host);
    press(host, VOLUME_DOWN, VOLUME_TO_AN_END);
}

void radio_fm_volume_highest(Host& host)
{
    radio_on_fm(host);
    press(host, VOLUME_UP, VOLUME_TO_AN_END);
}

void radio_cd_volume_lowest(Host& host)
{
    radio_on_cd(host);
    press(host, VOLUME_DOWN, VOLUME_TO_AN_END);
}

void radio_cd_volume_highest(Host& host)
{
    radio_on_cd(host);
    press(host, VOLUME_UP, VOLUME_TO_AN_END);
}

void volume_up_batch(Host& host)
{
    press(host, VOLUME_UP, VOLUME_BATCH);
}

void volume_down_batch(Host& host)
{
    press(host, VOLUME_DOWN, VOLUME_BATCH);
}

void kill(Host& host)
{
    host.kill();
}

// Install as the host does it when the panel loads: the gauge's install and initialize with
// their callback codes, the element pictures, the mouse table and the song probe.
void install(Host& host)
{
    host.install_and_initialize();
}

// The scenario is installed already when prepared; its act installs again after the restore's
// kill, so the first act needs a kill first.
void prepare_install(Host& host)
{
    host.kill();
}

void autohelm_master_on(Host& host)
{
    host.set_var(autohelm::VAR_AUTOPILOT_MASTER, 1);
    pass(host);
}

template <const PIXEL_POINT& POINT>
void click(Host& host)
{
    host.click(POINT);
}

template <int N>
void preset(Host& host)
{
    host.click(PRESET[N]);
}

// name                              gauge            songs  prepare                  act                     batch          restore            allocation-free
const std::vector<Scenario> SCENARIOS = {
    {"radio/pass/off",                Gauge::radio,    true,  nothing,                 pass,                   0,             nothing,           true},
    {"radio/pass/cd_playing",         Gauge::radio,    true,  radio_on_cd,             pass,                   0,             nothing,           true},
    {"radio/pass/cd_door_open",       Gauge::radio,    true,  radio_on_cd_door_open,   pass,                   0,             nothing,           true},
    {"radio/pass/fm_playing",         Gauge::radio,    true,  radio_on_fm,             pass,                   0,             nothing,           true},
    {"radio/click/power",             Gauge::radio,    true,  nothing,                 click<POWER>,           0,             nothing,           true},
    {"radio/click/door",              Gauge::radio,    true,  radio_on_cd,             click<DOOR>,            0,             nothing,           true},
    {"radio/click/cd",                Gauge::radio,    true,  radio_on_cd,             click<SOURCE_CD>,       0,             nothing,           true},
    {"radio/click/fm",                Gauge::radio,    true,  radio_on_fm,             click<SOURCE_FM>,       0,             nothing,           true},
    {"radio/click/am",                Gauge::radio,    true,  radio_on_fm,             click<SOURCE_AM>,       0,             nothing,           true},
    {"radio/click/preset_1",          Gauge::radio,    true,  radio_on_fm,             preset<1>,              0,             nothing,           true},
    {"radio/click/preset_2",          Gauge::radio,    true,  radio_on_fm,             preset<2>,              0,             nothing,           true},
    {"radio/click/preset_3",          Gauge::radio,    true,  radio_on_fm,             preset<3>,              0,             nothing,           true},
    {"radio/click/preset_4",          Gauge::radio,    true,  radio_on_fm,             preset<4>,              0,             nothing,           true},
    {"radio/click/preset_5",          Gauge::radio,    true,  radio_on_fm,             preset<5>,              0,             nothing,           true},
    {"radio/click/preset_6",          Gauge::radio,    true,  radio_on_fm,             preset<6>,              0,             nothing,           true},
    {"radio/click/preset_1_cd",       Gauge::radio,    true,  radio_on_cd,             preset<1>,              0,             nothing,           true},
    {"radio/click/previous",          Gauge::radio,    true,  radio_on_cd,             click<PREVIOUS>,        0,             nothing,           true},
    {"radio/click/next",              Gauge::radio,    true,  radio_on_cd,             click<NEXT>,            0,             nothing,           true},
    {"radio/click/pause",             Gauge::radio,    true,  radio_on_cd,             click<PAUSE>,           0,             nothing,           true},
    {"radio/click/pause_fm",          Gauge::radio,    true,  radio_on_fm,             click<PAUSE>,           0,             nothing,           true},
    {"radio/click/volume_up_fm",      Gauge::radio,    true,  radio_fm_volume_lowest,  click<VOLUME_UP>,       VOLUME_BATCH,  volume_down_batch, true},
    {"radio/click/volume_down_fm",    Gauge::radio,    true,  radio_fm_volume_highest, click<VOLUME_DOWN>,     VOLUME_BATCH,  volume_up_batch,   true},
    {"radio/click/volume_up_cd",      Gauge::radio,    true,  radio_cd_volume_lowest,  click<VOLUME_UP>,       VOLUME_BATCH,  volume_down_batch, true},
    {"radio/click/volume_down_cd",    Gauge::radio,    true,  radio_cd_volume_highest, click<VOLUME_DOWN>,     VOLUME_BATCH,  volume_up_batch,   true},
    {"radio/install/no_songs",        Gauge::radio,    false, prepare_install,         install,                1,             kill,              false},
    {"radio/install/six_songs",       Gauge::radio,    true,  prepare_install,         install,                1,             kill,              false},
    {"autohelm/pass/master_off",      Gauge::autohelm, false, nothing,                 pass,                   0,             nothing,           true},
    {"autohelm/pass/master_on",       Gauge::autohelm, false, autohelm_master_on,      pass,                   0,             nothing,           true},
    {"autohelm/click/master",         Gauge::autohelm, false, nothing,                 click<MASTER>,          0,             nothing,           true},
    {"autohelm/click/engage",         Gauge::autohelm, false, autohelm_master_on,      click<ENGAGE>,          0,             nothing,           true},
    {"autohelm/click/inhibit",        Gauge::autohelm, false, autohelm_master_on,      click<INHIBIT>,         0,             nothing,           true},
    {"autohelm/click/knob_down",      Gauge::autohelm, false, nothing,                 click<KNOB_DOWN>,       0,             nothing,           true},
    {"autohelm/click/knob_up",        Gauge::autohelm, false, nothing,                 click<KNOB_UP>,         0,             nothing,           true},
};

// The scenarios' two folders, with all six songs and with none, made once and removed as the
// process ends.
const panelhost::SongFolder& song_folder(bool songs)
{
    static panelhost::SongFolder with_songs, without_songs;
    panelhost::SongFolder& folder = songs ? with_songs : without_songs;
    std::string error;
    if (folder.path().empty() && !folder.make(songs, error))
        give_up(error);
    return folder;
}

}  // namespace

std::uint64_t mci_commands()
{
    return mci_lines;
}

const std::vector<Scenario>& scenarios()
{
    return SCENARIOS;
}

void set_up_process()
{
    if (!out_dir.empty())
        return;
    std::string error;
    if (!panelhost::program_folder(out_dir, error))
        give_up(error);
    song_folder(true);
    song_folder(false);
    panelhost::start_quiet_process(PROGRAM, EXIT_GIVEN_UP, drop_trace);
}

Session::Session(const Scenario& scenario) : scenario_(scenario)
{
    set_up_process();
    std::filesystem::current_path(song_folder(scenario.songs).path());
    panelhost::configure_devices();
    panelhost::HostOptions options;
    if (scenario.gauge == Gauge::radio) {
        options.module_path = out_dir + "/radio.so";
        options.gauge_name = "tuneset";
    } else {
        options.module_path = out_dir + "/autohelm.so";
        options.gauge_name = "autohelm.gau";
    }
    host_ = std::make_unique<Host>(options);
    std::string error;
    if (!host_->load(error))
        give_up(error);
    if (!allocation_counter::watch_module(options.module_path, error))
        give_up(error);
    host_->install_and_initialize();
    scenario.prepare(*host_);
}

Session::~Session()
{
    host_->unload();
}

}  // namespace gauge_bench
