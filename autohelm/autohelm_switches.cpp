// The autopilot's knob and lever switches: the mouse table and the three switch handlers.
#include "autohelm/autohelm.h"
#include "autohelm/autohelm_layout.h"

namespace autohelm {
namespace {

using namespace autohelm_layout;

// a child row's box, relative to its parent's; whole() covers all of it
constexpr PIXEL_BOX within(PIXEL_BOX parent, PIXEL_BOX box)
{
    return {box.x - parent.x, box.y - parent.y, box.width, box.height};
}
constexpr PIXEL_BOX whole(PIXEL_BOX parent) { return within(parent, parent); }
constexpr PIXEL_BOX NO_BOX = {0, 0, 0, 0};

// help ids
constexpr std::uint32_t HELP_PANEL = 0xA70C;
constexpr std::uint32_t HELP_KNOB = 0xA42F;
constexpr std::uint32_t HELP_MASTER_SWITCH = 0xA403;
constexpr std::uint32_t HELP_MODE_SWITCH = 0xA402;   // shared by the engage and inhibit levers

constexpr std::uint32_t KNOB_CLICK = MOUSE_LEFTSINGLE | MOUSE_DOWN_REPEAT;

bool is_set(const MODULE_VAR& var)
{
    return var.value != 0.0;
}

void send(std::uint32_t event_id)
{
    host()->trigger_key_event(event_id, 0);
}

void engage_modes()
{
    send(KEY_MODE_ENGAGE_FIRST);
    send(KEY_MODE_ENGAGE_SECOND);
}

void release_modes()
{
    send(KEY_MODE_RELEASE_FIRST);
    send(KEY_MODE_RELEASE_SECOND);
}

bool any_mode_engaged()
{
    return is_set(mode_var_106) || is_set(mode_var_108);
}

// Every handler decides from the variables as the last update read them, not from what it sent
// before: the host's own autopilot state governs the next click.

std::int32_t HOST_CALL on_master_switch(PIXEL_POINT*, std::uint32_t)
{
    if (is_set(master_var)) {
        send(KEY_MASTER_OFF);
        return 0;
    }
    send(KEY_MASTER_ON);
    if (engage_switch_on == 1 && inhibit_switch_on == 0)
        engage_modes();
    return 0;
}

std::int32_t HOST_CALL on_engage_switch(PIXEL_POINT*, std::uint32_t)
{
    engage_switch_on = engage_switch_on ? 0 : 1;
    if (!is_set(master_var))
        return 0;
    if (any_mode_engaged()) {
        release_modes();
        return 0;
    }
    if (inhibit_switch_on == 0)
        engage_modes();
    return 0;
}

std::int32_t HOST_CALL on_inhibit_switch(PIXEL_POINT*, std::uint32_t)
{
    inhibit_switch_on = inhibit_switch_on ? 0 : 1;
    if (!is_set(master_var))
        return 0;
    if (any_mode_engaged()) {
        release_modes();
        return 0;
    }
    if (engage_switch_on == 1)
        engage_modes();
    return 0;
}

}  // namespace

// Parent boxes are in pixels of the background, child boxes relative to their parent.
// kind                   box                                   cursor            help                flags             event          handler            data
MOUSERECT autohelm_mouse_rects[16] = {
    {MOUSE_RECT_PARENT,     NO_BOX,                               CURSOR_NONE,      HELP_PANEL,         0,                0,             nullptr,           nullptr},
    {MOUSE_RECT_PARENT,     KNOB_BUTTON,                          CURSOR_NONE,      HELP_KNOB,          0,                0,             nullptr,           nullptr},
    {MOUSE_RECT_CHILD,      within(KNOB_BUTTON, KNOB_DOWN_HALF),  CURSOR_DOWNARROW, 0,                  KNOB_CLICK,       KEY_KNOB_DOWN, nullptr,           nullptr},
    {MOUSE_RECT_CHILD,      within(KNOB_BUTTON, KNOB_UP_HALF),    CURSOR_UPARROW,   0,                  KNOB_CLICK,       KEY_KNOB_UP,   nullptr,           nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                               CURSOR_NONE,      0,                  0,                0,             nullptr,           nullptr},
    {MOUSE_RECT_PARENT,     MASTER_LEVER,                         CURSOR_NONE,      HELP_MASTER_SWITCH, 0,                0,             nullptr,           nullptr},
    {MOUSE_RECT_CHILD,      whole(MASTER_LEVER),                  CURSOR_HAND,      0,                  MOUSE_LEFTSINGLE, 0,             on_master_switch,  nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                               CURSOR_NONE,      0,                  0,                0,             nullptr,           nullptr},
    {MOUSE_RECT_PARENT,     ENGAGE_LEVER,                         CURSOR_NONE,      HELP_MODE_SWITCH,   0,                0,             nullptr,           nullptr},
    {MOUSE_RECT_CHILD,      whole(ENGAGE_LEVER),                  CURSOR_HAND,      0,                  MOUSE_LEFTSINGLE, 0,             on_engage_switch,  nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                               CURSOR_NONE,      0,                  0,                0,             nullptr,           nullptr},
    {MOUSE_RECT_PARENT,     INHIBIT_LEVER,                        CURSOR_NONE,      HELP_MODE_SWITCH,   0,                0,             nullptr,           nullptr},
    {MOUSE_RECT_CHILD,      whole(INHIBIT_LEVER),                 CURSOR_HAND,      0,                  MOUSE_LEFTSINGLE, 0,             on_inhibit_switch, nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                               CURSOR_NONE,      0,                  0,                0,             nullptr,           nullptr},
    {MOUSE_RECT_END_PARENT, NO_BOX,                               CURSOR_NONE,      0,                  0,                0,             nullptr,           nullptr},
    {MOUSE_RECT_EOL,        NO_BOX,                               CURSOR_NONE,      0,                  0,                0,             nullptr,           nullptr},
};

}  // namespace autohelm
