// A gauge module of the tests' own with two gauges, one of each header version, that reports
// everything the host does to it as key events, so that a trace shows the host's behaviour.
#include "host/panel_host.h"
#include "platform/native/resources.h"
#include "platform/platform.h"
#include "tools/art/bitmap_writer.h"

#include <vector>

GAUGE_EXPORT IMPORT_TABLE ImportTable = {{IMPORT_ID_PANELS, nullptr}, {0, nullptr}};

namespace {

// ---- report channel: key events the tests read back ----
constexpr std::uint32_t REPORT_CALLBACK = 0x30000;   // + service code, value = extra data != 0
constexpr std::uint32_t REPORT_ROUTINE = 0x31000;    // + routine number
constexpr std::uint32_t REPORT_HANDLER = 0x32000;    // + handler number, value = x * 1000 + y
constexpr std::uint32_t REPORT_VAR = 0x33000;        // value = variable 201 as the last lookup saw it
constexpr std::uint32_t REPORT_FLAGS = 0x34000;      // value = the mouse flags >> 20

void report(std::uint32_t event, std::uint32_t value)
{
    panel_services(ImportTable)->trigger_key_event(event, value);
}

// ---- resources: pictures of known sizes, built when the library loads ----
tools::PaletteImage picture(int width, int height, std::uint8_t index, tools::Colour colour)
{
    tools::PaletteImage image(width, height);
    image.palette[index] = colour;
    image.fill_rect(0, 0, width, height, index);
    return image;
}

const std::vector<std::uint8_t> background_bits = tools::dib_bytes(picture(200, 100, 1, {200, 100, 50}));
const std::vector<std::uint8_t> icon0_bits = tools::dib_bytes(picture(10, 10, 2, {10, 200, 10}));
const std::vector<std::uint8_t> icon1_bits = tools::dib_bytes(picture(10, 12, 3, {10, 10, 200}));
const std::vector<std::uint8_t> needle_bits = tools::dib_bytes(picture(20, 4, 4, {250, 250, 250}));
const std::vector<std::uint8_t> broken_bits = {40, 0, 0, 0, 1, 2};

}  // namespace

extern "C" __attribute__((visibility("default"))) const NATIVE_RESOURCE native_resource_table[] = {
    {2, 1, nullptr, background_bits.data(), static_cast<std::uint32_t>(background_bits.size())},
    {2, 10, nullptr, icon0_bits.data(), static_cast<std::uint32_t>(icon0_bits.size())},
    {2, 11, nullptr, icon1_bits.data(), static_cast<std::uint32_t>(icon1_bits.size())},
    {2, 20, nullptr, needle_bits.data(), static_cast<std::uint32_t>(needle_bits.size())},
    {2, 30, nullptr, broken_bits.data(), static_cast<std::uint32_t>(broken_bits.size())},
    {0, 0, nullptr, nullptr, 0},
};

namespace {

// ---- the 610 gauge ----
extern GAUGEHDR probe610_header;
MODULE_VAR var_201 = {201, nullptr, 0, 0.0, 0.0};
int string_updates = 0;

std::int32_t HOST_CALL on_point(PIXEL_POINT* point, std::uint32_t flags)
{
    report(REPORT_HANDLER + 1, static_cast<std::uint32_t>(point->x * 1000 + point->y));
    report(REPORT_FLAGS, flags >> 20);
    return 0;
}

std::int32_t HOST_CALL on_var(PIXEL_POINT*, std::uint32_t)
{
    report(REPORT_VAR, static_cast<std::uint32_t>(var_201.value));
    return 0;
}

std::int32_t HOST_CALL on_message(PIXEL_POINT*, std::uint32_t)
{
    MessageBoxA(GetActiveWindow(), "probe says \"hello\"", nullptr, MB_ICONERROR);
    return 0;
}

std::int32_t HOST_CALL on_exit(PIXEL_POINT*, std::uint32_t)
{
    ExitProcess(7);
}

// kind               x    y   w   h   cursor       help    flags                                 event    function   data
MOUSERECT probe610_mouse[] = {
    {MOUSE_RECT_PARENT,     0,  0,  0,  0, CURSOR_NONE, 0x1234, 0,                                    0,       nullptr,   nullptr},
    {MOUSE_RECT_PARENT,    10, 10, 40, 40, CURSOR_NONE, 0x1235, 0,                                    0,       nullptr,   nullptr},
    {MOUSE_RECT_CHILD,      0,  0, 20, 40, CURSOR_HAND, 0,      MOUSE_LEFTSINGLE | MOUSE_DOWN_REPEAT, 0x20001, nullptr,   nullptr},
    {MOUSE_RECT_CHILD,     20,  0, 20, 40, CURSOR_HAND, 0x1236, MOUSE_LEFTSINGLE,                     0,       on_point,  nullptr},
    {MOUSE_RECT_END_PARENT, 0,  0,  0,  0, CURSOR_NONE, 0,      0,                                    0,       nullptr,   nullptr},
    // two parents that overlap in x 60..69; the second's child covers the overlap
    {MOUSE_RECT_PARENT,    50, 10, 20, 20, CURSOR_NONE, 0,      0,                                    0,       nullptr,   nullptr},
    {MOUSE_RECT_CHILD,      0,  0, 10, 20, CURSOR_HAND, 0,      MOUSE_LEFTSINGLE,                     0x20002, nullptr,   nullptr},
    {MOUSE_RECT_END_PARENT, 0,  0,  0,  0, CURSOR_NONE, 0,      0,                                    0,       nullptr,   nullptr},
    {MOUSE_RECT_PARENT,    60, 10, 20, 20, CURSOR_NONE, 0,      0,                                    0,       nullptr,   nullptr},
    {MOUSE_RECT_CHILD,      0,  0, 20, 20, CURSOR_HAND, 0,      MOUSE_LEFTSINGLE,                     0x20003, nullptr,   nullptr},
    {MOUSE_RECT_END_PARENT, 0,  0,  0,  0, CURSOR_NONE, 0,      0,                                    0,       nullptr,   nullptr},
    {MOUSE_RECT_PARENT,   100, 50, 30, 10, CURSOR_NONE, 0,      0,                                    0,       nullptr,   nullptr},
    {MOUSE_RECT_CHILD,      0,  0, 10, 10, CURSOR_HAND, 0,      MOUSE_LEFTSINGLE,                     0,       on_var,    nullptr},
    {MOUSE_RECT_CHILD,     10,  0, 10, 10, CURSOR_HAND, 0,      MOUSE_LEFTSINGLE,                     0,       on_message, nullptr},
    {MOUSE_RECT_CHILD,     20,  0, 10, 10, CURSOR_HAND, 0,      MOUSE_LEFTSINGLE,                     0,       on_exit,   nullptr},
    {MOUSE_RECT_END_PARENT, 0,  0,  0,  0, CURSOR_NONE, 0,      0,                                    0,       nullptr,   nullptr},
    {MOUSE_RECT_END_PARENT, 0,  0,  0,  0, CURSOR_NONE, 0,      0,                                    0,       nullptr,   nullptr},
    {MOUSE_RECT_EOL,        0,  0,  0,  0, CURSOR_NONE, 0,      0,                                    0,       nullptr,   nullptr},
};

double HOST_CALL needle_value(ELEMENT_HEADER*)
{
    return 42.5;
}

double HOST_CALL string_value(ELEMENT_HEADER* element)
{
    auto* string = reinterpret_cast<ELEMENT_STRING*>(element);
    ++string_updates;
    if (string->string)
        string->string[0] = static_cast<char>('0' + string_updates % 10);
    return string_updates;
}

FAILURE_RECORD no_failures[] = {{0, 0}};

ELEMENT_STRING probe610_string = {
    {ELEMENT_TYPE_STRING, -1, {5, 80}, {}, {}, &probe610_header, nullptr, nullptr, no_failures, IMAGE_HIDDEN, 0, 0},
    {}, string_value, 0, nullptr, 3, 30, 12, 0xFFFFFF, 0, 0xFFFFFF, "Courier New", FW_NORMAL, DEFAULT_CHARSET,
    DT_CENTER | DT_VCENTER | DT_SINGLELINE, nullptr, nullptr};
ELEMENT_NEEDLE probe610_needle = {
    {ELEMENT_TYPE_NEEDLE, 20, {100, 50}, {}, {1, 2}, &probe610_header, nullptr, nullptr, nullptr, 0, 0, 0},
    {}, needle_value, nullptr, 0, 0, nullptr, nullptr, 0};
ELEMENT_ICON probe610_icon = {
    {ELEMENT_TYPE_ICON, 10, {20, 20}, {}, {}, &probe610_header, nullptr, nullptr, nullptr, 0, 0, 0},
    {200, nullptr, 0, 0.0, 0.0}, nullptr, 0, nullptr, 0, ICON_SWITCH_TYPE_SET_CUR_ICON, 2, 0, 0, nullptr, 0};
ELEMENT_HEADER* probe610_background_next[] = {&probe610_icon.header, &probe610_needle.header, &probe610_string.header,
                                              nullptr};
ELEMENT_STATIC_IMAGE probe610_background = {
    {ELEMENT_TYPE_STATIC_IMAGE, 1, {0, 0}, {}, {}, &probe610_header, nullptr, probe610_background_next, nullptr, 0, 0, 0},
    nullptr, nullptr};
ELEMENT_HEADER* probe610_elements[] = {&probe610_background.header, nullptr};

ELEMENT_HEADER* probe610_root()
{
    return probe610_elements[0];
}

void HOST_CALL probe610_query()
{
    report(REPORT_ROUTINE + 0, 0);
    panel_services(ImportTable)->element_list_query(probe610_root());
}

void HOST_CALL probe610_install(void* resource)
{
    report(REPORT_ROUTINE + 1, 0);
    panel_services(ImportTable)->element_list_install(probe610_root(), resource);
    HOST_IMAGE* image = probe610_background.image;
    PIXEL_POINT size = {image ? image->width : 0, image ? image->height : 0};
    panel_services(ImportTable)->mouse_list_install(probe610_mouse, &probe610_header, &size);
    panel_services(ImportTable)->mouse_list_register(probe610_mouse, &probe610_header);
}

void HOST_CALL probe610_initialize()
{
    report(REPORT_ROUTINE + 2, 0);
    panel_services(ImportTable)->element_list_initialize(probe610_root());
    panel_services(ImportTable)->initialize_var(&var_201);
}

void HOST_CALL probe610_update()
{
    panel_services(ImportTable)->lookup_var(&var_201);
    panel_services(ImportTable)->element_list_update(probe610_root());
}

void HOST_CALL probe610_generate(std::uint32_t phase)
{
    panel_services(ImportTable)->element_list_generate(probe610_root(), phase);
}

void HOST_CALL probe610_draw()
{
    panel_services(ImportTable)->element_list_plot(probe610_root());
}

void HOST_CALL probe610_kill()
{
    report(REPORT_ROUTINE + 9, 0);
    panel_services(ImportTable)->mouse_list_unregister(probe610_mouse, &probe610_header);
    panel_services(ImportTable)->element_list_kill(probe610_root());
}

GAUGEHDR probe610_header = {GAUGE_HEADER_VERSION_610, "probe610", probe610_elements, probe610_query,
                            probe610_install, probe610_initialize, probe610_update, probe610_generate,
                            probe610_draw, probe610_kill, 0, 50, 0, 0.0f, 0.0f, {}, nullptr, nullptr, 0};

// ---- the 700 gauge: a branching tree, a header mouse table with tooltips, a gauge callback ----
extern GAUGEHDR probe700_header;

const char* HOST_CALL first_arg(double, std::uint32_t, const char*, MODULE_VAR*, GAUGEHDR*)
{
    return "one";
}

const char* HOST_CALL second_arg(double, std::uint32_t, const char*, MODULE_VAR*, GAUGEHDR*)
{
    return "two";
}

TOOLTIP_ARG probe700_args[2] = {
    {{}, 0, nullptr, 0, nullptr, {}, first_arg},
    {{}, 0, nullptr, 0, nullptr, {}, second_arg},
};

std::int32_t HOST_CALL on_left(PIXEL_POINT* point, std::uint32_t)
{
    report(REPORT_HANDLER + 2, static_cast<std::uint32_t>(point->x * 1000 + point->y));
    return 1;
}

// kind               x   y   w   h   cursor       help flags             event handler / text             data
MOUSERECT probe700_mouse[] = {
    {MOUSE_RECT_PARENT,     0,  0,  0,  0, CURSOR_NONE, 0, 0,                0, nullptr,                      nullptr},
    {MOUSE_RECT_PARENT,     0,  0, 50, 50, CURSOR_NONE, 0, 0,                0, nullptr,                      nullptr},
    {MOUSE_RECT_USER,       0,  0,  0,  0, CURSOR_NONE, 0, 0,                2, "A %1!s! B %2!s! C %3!s! %1!d!", probe700_args},
    {MOUSE_RECT_CHILD,      5,  5, 40, 40, CURSOR_HAND, 0, MOUSE_LEFTSINGLE, 0, on_left,                      nullptr},
    {MOUSE_RECT_END_PARENT, 0,  0,  0,  0, CURSOR_NONE, 0, 0,                0, nullptr,                      nullptr},
    {MOUSE_RECT_PARENT,    60,  0, 40, 40, CURSOR_NONE, 0, 0,                0, nullptr,                      nullptr},
    {MOUSE_RECT_USER,       0,  0,  0,  0, CURSOR_NONE, 0, 0,                0, "plain text",                 nullptr},
    {MOUSE_RECT_CHILD,      0,  0, 40, 40, CURSOR_HAND, 0, MOUSE_LEFTSINGLE, 0x20010, nullptr,                nullptr},
    {MOUSE_RECT_END_PARENT, 0,  0,  0,  0, CURSOR_NONE, 0, 0,                0, nullptr,                      nullptr},
    {MOUSE_RECT_END_PARENT, 0,  0,  0,  0, CURSOR_NONE, 0, 0,                0, nullptr,                      nullptr},
    {MOUSE_RECT_EOL,        0,  0,  0,  0, CURSOR_NONE, 0, 0,                0, nullptr,                      nullptr},
};

double HOST_CALL counter_value(ELEMENT_HEADER* element)
{
    return reinterpret_cast<ELEMENT_ICON*>(element)->value + 1;
}

// root -> (a -> (c), b): tree order root, a, c, b
ELEMENT_ICON probe700_c = {
    {ELEMENT_TYPE_ICON, 10, {1, 1}, {}, {}, &probe700_header, nullptr, nullptr, nullptr, IMAGE_HIDDEN, 0, 0},
    {}, counter_value, 0, nullptr, 0, 0, 2, 0, 0, nullptr, 0};
ELEMENT_HEADER* probe700_a_next[] = {&probe700_c.header, nullptr};
ELEMENT_ICON probe700_a = {
    {ELEMENT_TYPE_ICON, 10, {2, 2}, {}, {}, &probe700_header, nullptr, probe700_a_next, nullptr, 0, 0, 0},
    {202, nullptr, 0, 0.0, 0.0}, nullptr, 0, nullptr, 0, 0, 3, 0, 0, nullptr, 0};
ELEMENT_STATIC_IMAGE probe700_b = {
    {ELEMENT_TYPE_STATIC_IMAGE, 30, {3, 3}, {}, {}, &probe700_header, nullptr, nullptr, nullptr, 0, 0, 0},
    nullptr, nullptr};
ELEMENT_HEADER* probe700_root_next[] = {&probe700_a.header, &probe700_b.header, nullptr};
ELEMENT_STATIC_IMAGE probe700_root = {
    {ELEMENT_TYPE_STATIC_IMAGE, 1, {0, 0}, {}, {}, &probe700_header, nullptr, probe700_root_next, nullptr, 0, 0, 0},
    nullptr, nullptr};
ELEMENT_HEADER* probe700_elements[] = {&probe700_root.header, nullptr};

void HOST_CALL probe700_install(void* resource)
{
    panel_services(ImportTable)->element_list_install(probe700_elements[0], resource);
}

void HOST_CALL probe700_initialize()
{
    panel_services(ImportTable)->element_list_initialize(probe700_elements[0]);
}

void HOST_CALL probe700_update()
{
    panel_services(ImportTable)->element_list_update(probe700_elements[0]);
}

void HOST_CALL probe700_kill()
{
    panel_services(ImportTable)->element_list_kill(probe700_elements[0]);
}

void HOST_CALL probe700_callback(GAUGEHDR* gauge, std::int32_t service, std::uintptr_t extra)
{
    if (gauge == &probe700_header)
        report(REPORT_CALLBACK + static_cast<std::uint32_t>(service), extra != 0);
}

GAUGEHDR probe700_header = {GAUGE_HEADER_VERSION_700, "probe700", probe700_elements, nullptr,
                            probe700_install, probe700_initialize, probe700_update, nullptr,
                            nullptr, probe700_kill, 0, 60, 0, 0.0f, 0.0f, {}, probe700_mouse, probe700_callback, 0};

// A header of an unknown version, which the host refuses.
GAUGEHDR probe_bad_header = {500, "probe500", probe700_elements, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, 0, 0, 0, 0.0f, 0.0f, {}, nullptr, nullptr, 0};

void HOST_CALL probe_module_init() {}
void HOST_CALL probe_module_deinit() {}

}  // namespace

GAUGE_EXPORT MODULE_LINKAGE<4> Linkage = {
    {MODULE_ID_GAUGES, probe_module_init, probe_module_deinit, 0, 0, 0},
    {&probe610_header, &probe700_header, &probe_bad_header, nullptr}};
