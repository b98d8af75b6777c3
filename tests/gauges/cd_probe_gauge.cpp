// A gauge module of the tests' own over the CD and CD line back-ends: it opens and closes them at
// install and kill as the radio does, and its hot spots play, stop, ask and set the volume, so
// that the bench's drive and mixer options can be watched in a trace.
#include "host/panel_host.h"
#include "platform/platform.h"
#include "radio/audio/cd_device.h"
#include "radio/audio/cd_line_mixer.h"

GAUGE_EXPORT IMPORT_TABLE ImportTable = {{IMPORT_ID_PANELS, nullptr}, {0, nullptr}};

namespace {

constexpr std::uint32_t REPORT_PLAYING = 0x40001;   // value: cd_query_playing
constexpr std::uint32_t REPORT_TRACK = 0x40002;     // value: the current track, 0 if unknown

extern GAUGEHDR cd_probe_header;

void report(std::uint32_t event, std::uint32_t value)
{
    panel_services(ImportTable)->trigger_key_event(event, value);
}

std::int32_t HOST_CALL on_play_last(PIXEL_POINT*, std::uint32_t)
{
    cd_play_track(0);
    return 1;
}

std::int32_t HOST_CALL on_play_first(PIXEL_POINT*, std::uint32_t)
{
    cd_play_track(1);
    return 1;
}

std::int32_t HOST_CALL on_ask(PIXEL_POINT*, std::uint32_t)
{
    report(REPORT_PLAYING, cd_query_playing() ? 1 : 0);
    std::int32_t track = 0;
    cd_query_current_track(track);
    report(REPORT_TRACK, static_cast<std::uint32_t>(track));
    return 1;
}

std::int32_t HOST_CALL on_stop(PIXEL_POINT*, std::uint32_t)
{
    cd_stop();
    return 1;
}

std::int32_t HOST_CALL on_full_volume(PIXEL_POINT*, std::uint32_t)
{
    cd_line_set_volume(0);
    return 1;
}

// kind               x   y    w   h   cursor       help flags             event handler          data
MOUSERECT cd_probe_mouse[] = {
    {MOUSE_RECT_PARENT,     0,  0, 50, 10, CURSOR_NONE, 0, 0,                0, nullptr,         nullptr},
    {MOUSE_RECT_CHILD,      0,  0, 10, 10, CURSOR_HAND, 0, MOUSE_LEFTSINGLE, 0, on_play_last,    nullptr},
    {MOUSE_RECT_CHILD,     10,  0, 10, 10, CURSOR_HAND, 0, MOUSE_LEFTSINGLE, 0, on_play_first,   nullptr},
    {MOUSE_RECT_CHILD,     20,  0, 10, 10, CURSOR_HAND, 0, MOUSE_LEFTSINGLE, 0, on_ask,          nullptr},
    {MOUSE_RECT_CHILD,     30,  0, 10, 10, CURSOR_HAND, 0, MOUSE_LEFTSINGLE, 0, on_stop,         nullptr},
    {MOUSE_RECT_CHILD,     40,  0, 10, 10, CURSOR_HAND, 0, MOUSE_LEFTSINGLE, 0, on_full_volume,  nullptr},
    {MOUSE_RECT_END_PARENT, 0,  0,  0,  0, CURSOR_NONE, 0, 0,                0, nullptr,         nullptr},
    {MOUSE_RECT_EOL,        0,  0,  0,  0, CURSOR_NONE, 0, 0,                0, nullptr,         nullptr},
};

void HOST_CALL cd_probe_callback(GAUGEHDR*, std::int32_t service, std::uintptr_t)
{
    if (service == PANEL_SERVICE_PRE_INSTALL) {
        cd_open();
        cd_line_open();
        cd_line_set_volume(-8000);
        cd_stop();
    } else if (service == PANEL_SERVICE_PRE_KILL) {
        cd_line_close();
        cd_stop();
        cd_close();
    }
}

GAUGEHDR cd_probe_header = {GAUGE_HEADER_VERSION_700, "cdprobe", nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr, 0, 50, 10, 0.0f, 0.0f, {}, cd_probe_mouse,
                            cd_probe_callback, 0};

void HOST_CALL cd_probe_module_init() {}
void HOST_CALL cd_probe_module_deinit() {}

}  // namespace

GAUGE_EXPORT MODULE_LINKAGE<2> Linkage = {
    {MODULE_ID_GAUGES, cd_probe_module_init, cd_probe_module_deinit, 0, 0, 0}, {&cd_probe_header, nullptr}};
