// The autopilot gauge module: its exported records, gauge header, element tree, sim variables
// and lifecycle routines.
#include "autohelm/autohelm.h"
#include "autohelm/autohelm_layout.h"
#include "platform/platform.h"

GAUGE_EXPORT IMPORT_TABLE ImportTable = {{IMPORT_ID_PANELS, nullptr}, {0, nullptr}};

namespace autohelm {
namespace {

using namespace autohelm_layout;

// a box's top left corner, where the host places an element's picture
constexpr PIXEL_POINT corner(PIXEL_BOX box) { return {box.x, box.y}; }

// ---- the element tree: the background, then the knob and the three levers drawn over it ----

constexpr std::uint32_t LEVER_PICTURES = 2;   // down, then up

constexpr std::uint32_t VAR_KNOB = 107;      // read by the host for the needle; no record of ours

// The host's failure key 1, with its actions 0 (knob) and 3 (levers).
FAILURE_RECORD knob_failures[] = {{1, 0}, {0, 0}};
FAILURE_RECORD master_switch_failures[] = {{1, 3}, {0, 0}};
FAILURE_RECORD engage_switch_failures[] = {{1, 3}, {0, 0}};
FAILURE_RECORD inhibit_switch_failures[] = {{1, 3}, {0, 0}};

double HOST_CALL engage_switch_value(ELEMENT_HEADER*);
double HOST_CALL inhibit_switch_value(ELEMENT_HEADER*);

constexpr std::uint32_t DRAWN_OVER = IMAGE_USE_TRANSPARENCY | IMAGE_USE_ERASE;

// Each element: its header on the first line, then the fields of its kind.
//   kind                       bitmap         position               prev pos   offset                  gauge             prev elem  next             failures                 image flags             special   reserved
ELEMENT_NEEDLE knob_needle = {
    {ELEMENT_TYPE_NEEDLE,       KNOB_ID,       KNOB_PIVOT,            {},        KNOB_PIVOT_IN_PICTURE,  &autohelm_header, nullptr,   nullptr,         knob_failures,           DRAWN_OVER,             0,        0},
    {VAR_KNOB, nullptr, 0, 0.0, 0.0}, nullptr, nullptr, 0, 0.0, nullptr, nullptr, 0};
ELEMENT_ICON master_switch_icon = {
    {ELEMENT_TYPE_ICON,         LEVER_ID,      corner(MASTER_LEVER),  {},        {0, 0},                 &autohelm_header, nullptr,   nullptr,         master_switch_failures,  DRAWN_OVER,             0,        0},
    {VAR_AUTOPILOT_MASTER, nullptr, 0, 0.0, 0.0}, nullptr, 0.0, nullptr, 0, ICON_SWITCH_TYPE_SET_CUR_ICON, LEVER_PICTURES, 0, 0, nullptr, 0};
ELEMENT_ICON engage_switch_icon = {
    {ELEMENT_TYPE_ICON,         LEVER_ID,      corner(ENGAGE_LEVER),  {},        {0, 0},                 &autohelm_header, nullptr,   nullptr,         engage_switch_failures,  DRAWN_OVER,             0,        0},
    {0, nullptr, 0, 0.0, 0.0}, engage_switch_value, 0.0, nullptr, 0, ICON_SWITCH_TYPE_SET_CUR_ICON, LEVER_PICTURES, 0, 0, nullptr, 0};
ELEMENT_ICON inhibit_switch_icon = {
    {ELEMENT_TYPE_ICON,         LEVER_ID,      corner(INHIBIT_LEVER), {},        {0, 0},                 &autohelm_header, nullptr,   nullptr,         inhibit_switch_failures, DRAWN_OVER,             0,        0},
    {0, nullptr, 0, 0.0, 0.0}, inhibit_switch_value, 0.0, nullptr, 0, ICON_SWITCH_TYPE_SET_CUR_ICON, LEVER_PICTURES, 0, 0, nullptr, 0};

ELEMENT_HEADER* background_next[] = {
    &knob_needle.header,
    &master_switch_icon.header,
    &engage_switch_icon.header,
    &inhibit_switch_icon.header,
    nullptr,
};
ELEMENT_STATIC_IMAGE background_image = {
    {ELEMENT_TYPE_STATIC_IMAGE, BACKGROUND_ID, {0, 0},                {},        {0, 0},                 &autohelm_header, nullptr,   background_next, nullptr,                 IMAGE_USE_TRANSPARENCY, 0,        0},
    nullptr, nullptr};

ELEMENT_HEADER* autohelm_element_list[] = {&background_image.header, nullptr};

ELEMENT_HEADER* root()
{
    return &background_image.header;
}

// The pixel size of the background picture as element_list_install has just filled it in:
// the width and height that follow the flags word of the host's image record. Without a
// picture (the host could not load it) there is no size to pass.
PIXEL_POINT* background_pixel_size()
{
    HOST_IMAGE* image = background_image.image;
    return image ? reinterpret_cast<PIXEL_POINT*>(&image->width) : nullptr;
}

// ---- the lifecycle routines ----

void HOST_CALL autohelm_query_routine()
{
    host()->element_list_query(root());
}

void HOST_CALL autohelm_install_routine(void* resource_handle)
{
    host()->element_list_install(root(), resource_handle);
    host()->mouse_list_install(autohelm_mouse_rects, &autohelm_header, background_pixel_size());
    host()->mouse_list_register(autohelm_mouse_rects, &autohelm_header);
    // The resource handle is the module's own instance handle.
    DisableThreadLibraryCalls(static_cast<HMODULE>(resource_handle));
}

// Every initialisation of the panel starts with the autopilot master off.
void HOST_CALL autohelm_initialize_routine()
{
    host()->element_list_initialize(root());
    host()->trigger_key_event(KEY_MASTER_OFF, 0);
    host()->initialize_var(&master_var);
    host()->initialize_var(&mode_var_106);
    host()->initialize_var(&mode_var_108);
}

// The variables are read before the elements, so that within one pass the handlers and the
// master lever see the same value of variable 103.
void HOST_CALL autohelm_update_routine()
{
    host()->lookup_var(&master_var);
    host()->lookup_var(&mode_var_106);
    host()->lookup_var(&mode_var_108);
    host()->element_list_update(root());
}

void HOST_CALL autohelm_generate_routine(std::uint32_t phase)
{
    host()->element_list_generate(root(), phase);
}

void HOST_CALL autohelm_draw_routine()
{
    host()->element_list_plot(root());
}

// The mouse table goes first, so that no click reaches a handler while the elements are gone.
void HOST_CALL autohelm_kill_routine()
{
    host()->mouse_list_unregister(autohelm_mouse_rects, &autohelm_header);
    host()->element_list_kill(root());
}

void HOST_CALL autohelm_module_init() {}

void HOST_CALL autohelm_module_deinit() {}

// ---- the value callbacks of the engage and inhibit levers: the picture to show ----

double HOST_CALL engage_switch_value(ELEMENT_HEADER*)
{
    return engage_switch_on ? 1.0 : 0.0;
}

double HOST_CALL inhibit_switch_value(ELEMENT_HEADER*)
{
    return inhibit_switch_on ? 1.0 : 0.0;
}

}  // namespace

MODULE_VAR master_var = {VAR_AUTOPILOT_MASTER, nullptr, 0, 0.0, 0.0};
MODULE_VAR mode_var_106 = {VAR_AUTOPILOT_MODE_106, nullptr, 0, 0.0, 0.0};
MODULE_VAR mode_var_108 = {VAR_AUTOPILOT_MODE_108, nullptr, 0, 0.0, 0.0};

std::int32_t engage_switch_on = 0;
std::int32_t inhibit_switch_on = 0;

GAUGEHDR autohelm_header = {
    GAUGE_HEADER_VERSION_610,      // 0: the older header: no mouse table or gauge callback of its own
    "autohelm.gau",                // 1: the name a panel uses for the gauge
    autohelm_element_list,         // 2
    autohelm_query_routine,        // 3
    autohelm_install_routine,      // 4
    autohelm_initialize_routine,   // 5
    autohelm_update_routine,       // 6
    autohelm_generate_routine,     // 7
    autohelm_draw_routine,         // 8
    autohelm_kill_routine,         // 9
    0,                             // 10: reserved
    170,                           // 11: default width in millimetres
    0,                             // 12 to 21 are zero in this header version:
    0.0f, 0.0f,                    //
    {},                            //
    nullptr,                       // 20: the install routine installs the mouse table itself
    nullptr,                       // 21: no gauge callback
    0,                             // 22: past the end of this header version
};

}  // namespace autohelm

GAUGE_EXPORT MODULE_LINKAGE<2> Linkage = {
    {MODULE_ID_GAUGES, autohelm::autohelm_module_init, autohelm::autohelm_module_deinit, 0, 0, 0},
    {&autohelm::autohelm_header, nullptr}};

// Loading the library does no work: everything starts from the host's calls.
MODULE_ENTRY_POINT BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
