// Hit-testing and tooltip composition over mouse rectangle tables.
#include "panelhost/host/mouse.h"

#include <gtest/gtest.h>

namespace {

using panelhost::hit_test;
using panelhost::read_mouse_table;

std::int32_t HOST_CALL handler_a(PIXEL_POINT*, std::uint32_t) { return 1; }
std::int32_t HOST_CALL handler_b(PIXEL_POINT*, std::uint32_t) { return 1; }
std::int32_t HOST_CALL handler_c(PIXEL_POINT*, std::uint32_t) { return 1; }

// A gauge of 200 x 100 with three groups: two overlapping parents, one nested parent with an
// offset child, and a gap between boxes.
// kind                 x    y   w   h  cursor       help   flags             event function   data
MOUSERECT table[] = {
    {MOUSE_RECT_PARENT,     0,   0,  0,  0, CURSOR_NONE, 0x100, 0,                0, nullptr,   nullptr},
    {MOUSE_RECT_PARENT,    10,  10, 30, 20, CURSOR_NONE, 0x101, 0,                0, nullptr,   nullptr},
    {MOUSE_RECT_CHILD,      0,   0, 20, 20, CURSOR_HAND, 0,     MOUSE_LEFTSINGLE, 0, handler_a, nullptr},
    {MOUSE_RECT_END_PARENT, 0,   0,  0,  0, CURSOR_NONE, 0,     0,                0, nullptr,   nullptr},
    {MOUSE_RECT_PARENT,    30,  10, 30, 20, CURSOR_NONE, 0x102, 0,                0, nullptr,   nullptr},
    {MOUSE_RECT_CHILD,      0,   0, 30, 20, CURSOR_HAND, 0,     MOUSE_LEFTSINGLE, 0, handler_b, nullptr},
    {MOUSE_RECT_END_PARENT, 0,   0,  0,  0, CURSOR_NONE, 0,     0,                0, nullptr,   nullptr},
    {MOUSE_RECT_PARENT,   100,  50, 50, 40, CURSOR_NONE, 0,     0,                0, nullptr,   nullptr},
    {MOUSE_RECT_PARENT,    10,  10, 30, 20, CURSOR_NONE, 0,     0,                0, nullptr,   nullptr},
    {MOUSE_RECT_CHILD,      5,   5, 10, 10, CURSOR_HAND, 0x103, MOUSE_LEFTSINGLE, 0, handler_c, nullptr},
    {MOUSE_RECT_END_PARENT, 0,   0,  0,  0, CURSOR_NONE, 0,     0,                0, nullptr,   nullptr},
    {MOUSE_RECT_END_PARENT, 0,   0,  0,  0, CURSOR_NONE, 0,     0,                0, nullptr,   nullptr},
    {MOUSE_RECT_END_PARENT, 0,   0,  0,  0, CURSOR_NONE, 0,     0,                0, nullptr,   nullptr},
    {MOUSE_RECT_EOL,        0,   0,  0,  0, CURSOR_NONE, 0,     0,                0, nullptr,   nullptr},
};

struct HitCase {
    const char* name;
    PIXEL_POINT point;
    MOUSE_HANDLER handler;   // null: no hot spot
    PIXEL_POINT relative;
};

TEST(MouseHitTest, FirstChildInTableOrderUnderThePointWins)
{
    panelhost::MouseTable layout = read_mouse_table(table, {200, 100});
    ASSERT_TRUE(layout.faults.empty());
    const HitCase cases[] = {
        {"inside the first child", {10, 10}, handler_a, {0, 0}},
        {"last pixel of the first child", {29, 29}, handler_a, {19, 19}},
        {"first parent only, second child's box", {30, 10}, handler_b, {0, 0}},
        {"overlap of both parents, past the first child", {35, 15}, handler_b, {5, 5}},
        {"below both parents", {20, 30}, nullptr, {}},
        {"nested parent's offset child", {115, 65}, handler_c, {0, 0}},
        {"nested child's far corner", {124, 74}, handler_c, {9, 9}},
        {"nested parent outside its child", {112, 62}, nullptr, {}},
        {"between all boxes", {80, 5}, nullptr, {}},
        {"outside the gauge", {-1, 5}, nullptr, {}},
    };
    for (const HitCase& c : cases) {
        panelhost::MouseHit hit = hit_test(layout, c.point);
        MOUSE_HANDLER got = hit.hot_spot ? hit.hot_spot->row->function.handler : nullptr;
        EXPECT_EQ(got, c.handler) << c.name;
        if (c.handler) {
            EXPECT_EQ(hit.relative.x, c.relative.x) << c.name;
            EXPECT_EQ(hit.relative.y, c.relative.y) << c.name;
        }
    }
}

TEST(MouseHitTest, ChildBoxIsClippedByItsParent)
{
    // kind                x   y   w   h  cursor       help flags             event function   data
    MOUSERECT clipped[] = {
        {MOUSE_RECT_PARENT,    10, 10, 10, 10, CURSOR_NONE, 0, 0,                0, nullptr,   nullptr},
        {MOUSE_RECT_CHILD,      0,  0, 30, 30, CURSOR_HAND, 0, MOUSE_LEFTSINGLE, 0, handler_a, nullptr},
        {MOUSE_RECT_END_PARENT, 0,  0,  0,  0, CURSOR_NONE, 0, 0,                0, nullptr,   nullptr},
        {MOUSE_RECT_EOL,        0,  0,  0,  0, CURSOR_NONE, 0, 0,                0, nullptr,   nullptr},
    };
    panelhost::MouseTable layout = read_mouse_table(clipped, {100, 100});
    EXPECT_NE(hit_test(layout, {19, 19}).hot_spot, nullptr);
    EXPECT_EQ(hit_test(layout, {25, 25}).hot_spot, nullptr) << "a child reaches only as far as its parent";
}

struct TooltipCase {
    const char* name;
    PIXEL_POINT point;
    panelhost::Tooltip::Kind kind;
    std::uint32_t help_id;
};

TEST(MouseTooltip, WalksOutwardFromTheHotSpotToTheFirstHelpId)
{
    panelhost::MouseTable layout = read_mouse_table(table, {200, 100});
    const TooltipCase cases[] = {
        {"child without help: its parent's", {12, 12}, panelhost::Tooltip::Help, 0x101},
        {"child with its own help", {115, 65}, panelhost::Tooltip::Help, 0x103},
        {"no hot spot: the deepest parent's", {20, 30}, panelhost::Tooltip::Help, 0x100},
        {"outside the gauge", {300, 300}, panelhost::Tooltip::None, 0},
    };
    for (const TooltipCase& c : cases) {
        panelhost::Tooltip tooltip = tooltip_for(layout, hit_test(layout, c.point), nullptr);
        EXPECT_EQ(tooltip.kind, c.kind) << c.name;
        EXPECT_EQ(tooltip.help_id, c.help_id) << c.name;
    }
}

const char* HOST_CALL say_on(double, std::uint32_t, const char*, MODULE_VAR*, GAUGEHDR*) { return "on"; }
const char* HOST_CALL say_fm(double, std::uint32_t, const char*, MODULE_VAR*, GAUGEHDR*) { return "FM Radio Preset"; }
const char* HOST_CALL say_null(double, std::uint32_t, const char*, MODULE_VAR*, GAUGEHDR*) { return nullptr; }

TEST(MouseTooltip, ReplacesEachInsertWithItsArgument)
{
    TOOLTIP_ARG args[3] = {
        {{}, 0, nullptr, 0, nullptr, {}, say_on},
        {{}, 0, nullptr, 0, nullptr, {}, say_fm},
        {{}, 0, nullptr, 0, nullptr, {}, say_null},
    };
    struct Case {
        const char* text;
        std::uint32_t count;
        const char* expected;
    } cases[] = {
        {"Power On/Off (%1!s!)", 3, "Power On/Off (on)"},
        {"%2!s! 4", 3, "FM Radio Preset 4"},
        {"%1!s!%1!s!", 3, "onon"},
        {"null text: [%3!s!]", 3, "null text: []"},
        {"beyond the count: %2!s!", 1, "beyond the count: %2!s!"},
        {"other inserts stay: %1!d! %4!s! %0!s! 100%", 3, "other inserts stay: %1!d! %4!s! %0!s! 100%"},
        {"trailing %", 3, "trailing %"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(panelhost::compose_tooltip(c.text, args, c.count, nullptr), c.expected) << c.text;
    EXPECT_EQ(panelhost::compose_tooltip("no args %1!s!", nullptr, 3, nullptr), "no args %1!s!");
}

TEST(MouseTable, ReportsTablesThatAreNotWellFormed)
{
    // kind                 x  y  w  h  cursor       help flags event function data
    MOUSERECT unclosed[] = {
        {MOUSE_RECT_PARENT,     0, 0, 9, 9, CURSOR_NONE, 0, 0, 0, nullptr, nullptr},
        {MOUSE_RECT_END_PARENT, 0, 0, 0, 0, CURSOR_NONE, 0, 0, 0, nullptr, nullptr},
        {MOUSE_RECT_END_PARENT, 0, 0, 0, 0, CURSOR_NONE, 0, 0, 0, nullptr, nullptr},
        {9,                     0, 0, 0, 0, CURSOR_NONE, 0, 0, 0, nullptr, nullptr},
        {MOUSE_RECT_PARENT,     0, 0, 9, 9, CURSOR_NONE, 0, 0, 0, nullptr, nullptr},
        {MOUSE_RECT_EOL,        0, 0, 0, 0, CURSOR_NONE, 0, 0, 0, nullptr, nullptr},
    };
    panelhost::MouseTable layout = read_mouse_table(unclosed, {10, 10});
    ASSERT_EQ(layout.faults.size(), 3u);
    EXPECT_EQ(layout.faults[0], "row 2 closes a group that is not open");
    EXPECT_EQ(layout.faults[1], "row 3 has unknown kind 9");
    EXPECT_EQ(layout.faults[2], "a group is not closed");
}

}  // namespace
