// The autopilot module under the tests' recording host (tests/support): the records it exports and the
// exact arguments of its service calls, which panelhost's trace does not show.
#include "host/panel_host.h"
#include "platform/platform.h"
#include "tests/support/recorded_module.h"
#include "tests/support/recording_host.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <set>

namespace {

using Lines = std::vector<std::string>;
using test_support::pointer_text;

class AutohelmModule : public test_support::RecordedModuleTest {
protected:
    void SetUp() override
    {
        recorder.fill_background = true;
        recorder.background_picture = HOST_IMAGE{0, 300, 137};
        ASSERT_NO_FATAL_FAILURE(load_module("autohelm.so"));
    }

    void install()
    {
        gauge->query_routine();
        gauge->install_routine(module);
        gauge->initialize_routine();
    }

    ELEMENT_HEADER* root() const { return gauge->elements_list[0]; }
    // A service's line with the root as its argument.
    std::string on_root(const std::string& service) const { return service + " " + pointer_text(root()); }
    ELEMENT_HEADER* child(int index) const { return root()->next_element[index]; }
    // row 6, 9 or 12 of the installed table
    std::int32_t press(int row)
    {
        PIXEL_POINT point{1, 1};
        return recorder.installed_table[row].function.handler(&point, MOUSE_LEFTSINGLE);
    }
    double lever_value(int child_index, ELEMENT_HEADER* argument)
    {
        return reinterpret_cast<ELEMENT_ICON*>(child(child_index))->update_callback(argument);
    }
};

TEST_F(AutohelmModule, ExportedRecordsAndTheHeader)
{
    EXPECT_EQ(import_table->panels.id, IMPORT_ID_PANELS);
    EXPECT_EQ(import_table->end.id, 0u);
    EXPECT_EQ(import_table->end.pointer, nullptr);
    EXPECT_EQ(linkage->head.module_id, MODULE_ID_GAUGES);
    EXPECT_NE(linkage->head.module_init, nullptr);
    EXPECT_NE(linkage->head.module_deinit, nullptr);
    EXPECT_EQ(linkage->head.flags + linkage->head.priority + linkage->head.version, 0u);
    EXPECT_EQ(linkage->gauge_list[1], nullptr);

    EXPECT_EQ(gauge->gauge_header_version, 610u);
    EXPECT_STREQ(gauge->gauge_name, "autohelm.gau");
    EXPECT_EQ(gauge->elements_list[1], nullptr);
    EXPECT_EQ(gauge->reserved1, 0u);
    EXPECT_EQ(gauge->size_x_mm, 170u);
    // words 12 to 22: no height, no adjustments, no mouse table, no callback, no user data
    const auto* words = reinterpret_cast<const unsigned char*>(gauge);
    std::size_t from = offsetof(GAUGEHDR, size_y_mm);
    for (std::size_t at = from; at < sizeof(GAUGEHDR); ++at)
        EXPECT_EQ(words[at], 0) << "byte " << at << " of the header";

    // the init routines do nothing: no service is called
    linkage->head.module_init();
    linkage->head.module_deinit();
    EXPECT_EQ(recorder.calls, Lines{});
}

TEST_F(AutohelmModule, ElementTree)
{
    struct Expected {
        const char* name;
        std::uint32_t kind;
        std::int32_t bitmap, x, y, offset_x, offset_y;
        std::uint32_t image_flags, failure_action, var_id;
        bool callback;
    };
    // background first, then its next list in order
    const Expected expected[] = {
        {"background_image", ELEMENT_TYPE_STATIC_IMAGE, 101, 0, 0, 0, 0, 0x1, 0, 0, false},
        {"knob_needle", ELEMENT_TYPE_NEEDLE, 106, 49, 70, 37, 37, 0x3, 0, 107, false},
        {"master_switch_icon", ELEMENT_TYPE_ICON, 102, 94, 28, 0, 0, 0x3, 3, 103, false},
        {"engage_switch_icon", ELEMENT_TYPE_ICON, 102, 160, 28, 0, 0, 0x3, 3, 0, true},
        {"inhibit_switch_icon", ELEMENT_TYPE_ICON, 102, 226, 28, 0, 0, 0x3, 3, 0, true},
    };
    ASSERT_NE(root()->next_element, nullptr);
    EXPECT_EQ(root()->next_element[4], nullptr);
    for (int i = 0; i < 5; ++i) {
        const Expected& e = expected[i];
        ELEMENT_HEADER* element = i == 0 ? root() : child(i - 1);
        ASSERT_NE(element, nullptr) << e.name;
        EXPECT_EQ(element->element_type, e.kind) << e.name;
        EXPECT_EQ(element->resource_id, e.bitmap) << e.name;
        EXPECT_EQ(element->position.x, e.x) << e.name;
        EXPECT_EQ(element->position.y, e.y) << e.name;
        EXPECT_EQ(element->offset.x, e.offset_x) << e.name;
        EXPECT_EQ(element->offset.y, e.offset_y) << e.name;
        EXPECT_EQ(element->image_flags, e.image_flags) << e.name;
        EXPECT_EQ(element->gauge_header, gauge) << e.name;
        EXPECT_EQ(element->previous_element, nullptr) << e.name;
        if (i == 0) {
            EXPECT_EQ(element->failure_systems, nullptr) << e.name;
            continue;
        }
        EXPECT_EQ(element->next_element, nullptr) << e.name;
        ASSERT_NE(element->failure_systems, nullptr) << e.name;
        EXPECT_EQ(element->failure_systems[0].key, 1u) << e.name;
        EXPECT_EQ(element->failure_systems[0].action, e.failure_action) << e.name;
        EXPECT_EQ(element->failure_systems[1].key, 0u) << e.name;
        EXPECT_EQ(element->failure_systems[1].action, 0u) << e.name;
        if (e.kind == ELEMENT_TYPE_NEEDLE) {
            auto* needle = reinterpret_cast<ELEMENT_NEEDLE*>(element);
            EXPECT_EQ(needle->source_var.id, e.var_id) << e.name;
            EXPECT_EQ(needle->update_callback, nullptr) << e.name;
            EXPECT_EQ(needle->nonlinearity, nullptr) << e.name;
            continue;
        }
        auto* icon = reinterpret_cast<ELEMENT_ICON*>(element);
        EXPECT_EQ(icon->source_var.id, e.var_id) << e.name;
        EXPECT_EQ(icon->update_callback != nullptr, e.callback) << e.name;
        EXPECT_EQ(icon->picture_count, 2u) << e.name;
        EXPECT_EQ(icon->switch_type, ICON_SWITCH_TYPE_SET_CUR_ICON) << e.name;
    }
}

TEST_F(AutohelmModule, InstallBindsTheMouseTableToTheBackgroundJustLoaded)
{
    gauge->install_routine(module);
    Lines expected = {on_root("element_list_install") + " " + pointer_text(module), "mouse_list_install",
                      "mouse_list_register"};
    EXPECT_EQ(recorder.calls, expected);
    // the address of the width in the picture record that element_list_install filled in
    EXPECT_EQ(static_cast<void*>(recorder.installed_size), static_cast<void*>(&recorder.background_picture.width));
    EXPECT_EQ(recorder.installed_gauge, gauge);
    ASSERT_NE(recorder.installed_table, nullptr);
    EXPECT_EQ(recorder.registered, std::set<MOUSERECT*>{recorder.installed_table});
}

TEST_F(AutohelmModule, MouseTableRowByRow)
{
    struct Row {
        const char* name;
        std::uint32_t kind;
        std::int32_t x, y, width, height, cursor;
        std::uint32_t help, flags, event;
        bool handler;
    };
    // boxes of parents on the background, of children relative to their parent
    const Row expected[] = {
        // name                   kind                   x    y   w   h   cursor            help    flags       event    handler
        {"panel",                 MOUSE_RECT_PARENT,     0,   0,  0,  0,  CURSOR_NONE,      0xA70C, 0,          0,       false},
        {"knob",                  MOUSE_RECT_PARENT,     13,  33, 74, 74, CURSOR_NONE,      0xA42F, 0,          0,       false},
        {"knob, left half",       MOUSE_RECT_CHILD,      0,   0,  37, 74, CURSOR_DOWNARROW, 0,      0x20200000, 0x10158, false},
        {"knob, right half",      MOUSE_RECT_CHILD,      37,  0,  37, 74, CURSOR_UPARROW,   0,      0x20200000, 0x10157, false},
        {"knob's end",            MOUSE_RECT_END_PARENT, 0,   0,  0,  0,  CURSOR_NONE,      0,      0,          0,       false},
        {"master",                MOUSE_RECT_PARENT,     94,  28, 44, 84, CURSOR_NONE,      0xA403, 0,          0,       false},
        {"master, whole switch",  MOUSE_RECT_CHILD,      0,   0,  44, 84, CURSOR_HAND,      0,      0x20000000, 0,       true},
        {"master's end",          MOUSE_RECT_END_PARENT, 0,   0,  0,  0,  CURSOR_NONE,      0,      0,          0,       false},
        {"engage",                MOUSE_RECT_PARENT,     160, 28, 44, 84, CURSOR_NONE,      0xA402, 0,          0,       false},
        {"engage, whole switch",  MOUSE_RECT_CHILD,      0,   0,  44, 84, CURSOR_HAND,      0,      0x20000000, 0,       true},
        {"engage's end",          MOUSE_RECT_END_PARENT, 0,   0,  0,  0,  CURSOR_NONE,      0,      0,          0,       false},
        {"inhibit",               MOUSE_RECT_PARENT,     226, 28, 44, 84, CURSOR_NONE,      0xA402, 0,          0,       false},
        {"inhibit, whole switch", MOUSE_RECT_CHILD,      0,   0,  44, 84, CURSOR_HAND,      0,      0x20000000, 0,       true},
        {"inhibit's end",         MOUSE_RECT_END_PARENT, 0,   0,  0,  0,  CURSOR_NONE,      0,      0,          0,       false},
        {"panel's end",           MOUSE_RECT_END_PARENT, 0,   0,  0,  0,  CURSOR_NONE,      0,      0,          0,       false},
        {"end of table",          MOUSE_RECT_EOL,        0,   0,  0,  0,  CURSOR_NONE,      0,      0,          0,       false},
    };
    gauge->install_routine(module);
    ASSERT_NE(recorder.installed_table, nullptr);
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const Row& e = expected[i];
        const MOUSERECT& row = recorder.installed_table[i];
        EXPECT_EQ(row.rect_type, e.kind) << e.name;
        EXPECT_EQ(row.box.x, e.x) << e.name;
        EXPECT_EQ(row.box.y, e.y) << e.name;
        EXPECT_EQ(row.box.width, e.width) << e.name;
        EXPECT_EQ(row.box.height, e.height) << e.name;
        EXPECT_EQ(row.cursor, e.cursor) << e.name;
        EXPECT_EQ(row.help_id, e.help) << e.name;
        EXPECT_EQ(row.mouse_flags, e.flags) << e.name;
        EXPECT_EQ(row.event_id, e.event) << e.name;
        EXPECT_EQ(row.function.handler != nullptr, e.handler) << e.name;
        EXPECT_EQ(row.user_data, nullptr) << e.name;
    }
}

TEST_F(AutohelmModule, InstallWithoutABackgroundPicturePassesNoSize)
{
    recorder.fill_background = false;
    gauge->install_routine(module);
    EXPECT_EQ(recorder.installed_size, nullptr);
    EXPECT_EQ(recorder.registered.size(), 1u);
}

TEST_F(AutohelmModule, RoutinesInTheirOrder)
{
    struct Step {
        const char* name;
        void (*run)(GAUGEHDR*);
        Lines expected;
    };
    const Step steps[] = {
        {"query", [](GAUGEHDR* g) { g->query_routine(); }, {on_root("element_list_query")}},
        {"initialize", [](GAUGEHDR* g) { g->initialize_routine(); },
         {on_root("element_list_initialize"), "key 0x100ff 0", "initialize_var 103", "initialize_var 106",
          "initialize_var 108"}},
        {"update", [](GAUGEHDR* g) { g->update_routine(); },
         {"lookup_var 103", "lookup_var 106", "lookup_var 108", on_root("element_list_update")}},
        {"generate", [](GAUGEHDR* g) { g->generate_routine(7); }, {on_root("element_list_generate") + " 7"}},
        {"draw", [](GAUGEHDR* g) { g->draw_routine(); }, {on_root("element_list_plot")}},
    };
    gauge->install_routine(module);
    for (const Step& step : steps) {
        recorder.calls.clear();
        step.run(gauge);
        EXPECT_EQ(recorder.calls, step.expected) << step.name;
    }
}

TEST_F(AutohelmModule, KillTurnsTheClicksOffBeforeTheElementsGo)
{
    install();
    recorder.calls.clear();
    gauge->kill_routine();
    Lines expected = {"mouse_list_unregister", on_root("element_list_kill")};
    EXPECT_EQ(recorder.calls, expected);
    EXPECT_TRUE(recorder.registered.empty()) << "after kill a click must reach nothing";
}

TEST_F(AutohelmModule, ValueCallbacksAreExactlyZeroOrOneWhateverTheElement)
{
    install();
    ELEMENT_HEADER* arguments[] = {nullptr, root(), child(0), child(2), child(3)};
    for (ELEMENT_HEADER* argument : arguments) {
        EXPECT_EQ(lever_value(2, argument), 0.0);
        EXPECT_EQ(lever_value(3, argument), 0.0);
    }
    press(9);    // engage on
    for (ELEMENT_HEADER* argument : arguments) {
        EXPECT_EQ(lever_value(2, argument), 1.0);
        EXPECT_EQ(lever_value(3, argument), 0.0);
    }
    press(12);   // inhibit on
    press(9);    // engage off
    for (ELEMENT_HEADER* argument : arguments) {
        EXPECT_EQ(lever_value(2, argument), 0.0);
        EXPECT_EQ(lever_value(3, argument), 1.0);
    }
}

TEST_F(AutohelmModule, EveryHandlerReturnsZero)
{
    install();
    const double states[][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 0, 1}, {0, 1, 1}};
    for (const auto& state : states) {
        recorder.vars = {{103, state[0]}, {106, state[1]}, {108, state[2]}};
        gauge->update_routine();
        for (int row : {6, 9, 12, 9, 12, 6})
            EXPECT_EQ(press(row), 0) << "row " << row << " with 103=" << state[0] << " 106=" << state[1]
                                     << " 108=" << state[2];
    }
    // the point is not read
    for (int row : {6, 9, 12})
        EXPECT_EQ(recorder.installed_table[row].function.handler(nullptr, MOUSE_DOWN_REPEAT), 0) << "row " << row;
}

TEST_F(AutohelmModule, EntryPointSucceedsForEveryReasonAndDoesNothing)
{
    typedef BOOL(WINAPI * Entry)(HINSTANCE, DWORD, LPVOID);
    auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, "DllMain")));
    ASSERT_NE(entry, nullptr);
    for (DWORD reason : {DLL_PROCESS_ATTACH, DLL_THREAD_ATTACH, DLL_THREAD_DETACH, DLL_PROCESS_DETACH})
        EXPECT_EQ(entry(module, reason, nullptr), TRUE) << "reason " << reason;
    EXPECT_EQ(recorder.calls, Lines{});
}

}  // namespace
