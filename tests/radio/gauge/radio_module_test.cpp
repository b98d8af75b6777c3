// The radio module under the tests' recording host (tests/support): the exported records, the element
// chain and the 67 mouse rows as the host reads them, the routines' service calls, the gauge
// callback's codes and chain walks, the track display's text buffer, and COM at kill.
#include "host/panel_host.h"
#include "platform/native/media_registry.h"
#include "platform/platform.h"
#include "platform/sim/cd_drive.h"
#include "platform/sim/media.h"
#include "platform/sim/mixer.h"
#include "tests/support/recorded_module.h"
#include "tests/support/recording_host.h"
#include "tests/support/trace_lines.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
using test_support::pointer_text;
Lines trace;   // the platform's lines

void collect(const char* line, void*)
{
    trace.emplace_back(line);
}

// The hot spots in table order: the four rows of hot spot k start at row 4k - 3.
struct HotSpot {
    const char* name;
    std::int32_t x, y, w, h;          // the parent box
    std::int32_t child_w, child_h;
    std::int32_t cursor;
    std::uint32_t flags;
    const char* tooltip;
    bool arguments;                   // the tooltip row names the three arguments
};
const HotSpot HOT_SPOTS[16] = {
    {"power", 410, 0, 66, 46, 66, 46, CURSOR_HAND, 0x20000000, "Power On/Off (%1!s!)", true},
    {"door", 0, 0, 63, 48, 63, 48, CURSOR_HAND, 0x20000000, "Open/Close CD Door", false},
    {"mode CD", 408, 48, 68, 23, 68, 23, CURSOR_HAND, 0x20000000, "Mode Select - CD Player", false},
    {"mode FM", 408, 71, 68, 23, 68, 23, CURSOR_HAND, 0x20000000, "Mode Select - FM Radio", false},
    {"mode AM", 408, 94, 68, 23, 68, 23, CURSOR_HAND, 0x20000000, "Mode Select - AM Radio", false},
    {"preset 1", 145, 100, 36, 47, 36, 47, CURSOR_HAND, 0x20000000, "%2!s! 1", true},
    {"preset 2", 181, 100, 36, 47, 34, 47, CURSOR_HAND, 0x20000000, "%2!s! 2", true},
    {"preset 3", 215, 100, 36, 47, 34, 47, CURSOR_HAND, 0x20000000, "%2!s! 3", true},
    {"preset 4", 249, 100, 36, 47, 32, 47, CURSOR_HAND, 0x20000000, "%2!s! 4", true},
    {"preset 5", 281, 100, 36, 47, 35, 47, CURSOR_HAND, 0x20000000, "%2!s! 5", true},
    {"preset 6", 316, 100, 36, 47, 36, 47, CURSOR_HAND, 0x20000000, "%2!s! 6", true},
    {"volume down", 0, 85, 51, 34, 51, 34, CURSOR_DOWNARROW, 0x20200000, "Decrease Volume Level", false},
    {"volume up", 0, 51, 51, 33, 51, 33, CURSOR_UPARROW, 0x20200000, "Increase Volume Level", false},
    {"previous track", 352, 100, 24, 47, 24, 47, CURSOR_DOWNARROW, 0x20000000, "Previous CD Track", false},
    {"next track", 376, 100, 24, 47, 24, 47, CURSOR_UPARROW, 0x20000000, "Next CD Track", false},
    {"pause", 120, 100, 24, 47, 24, 47, CURSOR_HAND, 0x20000000, "Pause On/Off (%3!s!)", true},
};
// The mouse table's rows of the hot spots, by their place in it.
enum Button {
    ROW_POWER, ROW_DOOR, ROW_MODE_CD, ROW_MODE_FM, ROW_MODE_AM, ROW_PRESET_1, ROW_PRESET_2, ROW_PRESET_3,
    ROW_PRESET_4 = 8, ROW_VOLUME_DOWN = 11, ROW_VOLUME_UP, ROW_PREV_TRACK, ROW_NEXT_TRACK, ROW_PAUSE
};

class RadioModule : public test_support::RecordedModuleTest {
protected:
    void SetUp() override
    {
        trace.clear();
        sim::cd_drive().reset();
        sim::mixer().reset();
        sim::media::reset();
        sim::set_trace_sink(collect, nullptr);
        ASSERT_NO_FATAL_FAILURE(load_module("radio.so"));
    }

    void TearDown() override
    {
        RecordedModuleTest::TearDown();
        sim::set_trace_sink(nullptr, nullptr);
        sim::media::reset();
    }

    ELEMENT_HEADER* root() const { return gauge->elements_list[0]; }
    // The element k links down the chain.
    ELEMENT_HEADER* element(int position) const
    {
        ELEMENT_HEADER* at = root();
        for (int step = 0; step < position; ++step)
            at = at->next_element[0];
        return at;
    }
    const MOUSERECT& row(int index) const { return gauge->mouse_rect[index]; }
    void press(Button button)
    {
        PIXEL_POINT point{1, 1};
        ASSERT_EQ(row(4 * button + 3).function.handler(&point, MOUSE_LEFTSINGLE), 1);
    }
    double value_of(int position)
    {
        ELEMENT_HEADER* at = element(position);
        switch (at->element_type) {
        case ELEMENT_TYPE_ICON:
            return reinterpret_cast<ELEMENT_ICON*>(at)->update_callback(at);
        case ELEMENT_TYPE_NEEDLE:
            return reinterpret_cast<ELEMENT_NEEDLE*>(at)->update_callback(at);
        default:
            return reinterpret_cast<ELEMENT_STRING*>(at)->update_callback(at);
        }
    }
    std::vector<std::uint32_t> chain_flags() const
    {
        std::vector<std::uint32_t> flags;
        for (int position = 0; position < 8; ++position)
            flags.push_back(element(position)->image_flags);
        return flags;
    }
};

TEST_F(RadioModule, ExportedRecordsAndTheHeader)
{
    EXPECT_EQ(import_table->panels.id, 0x0Fu);
    EXPECT_EQ(import_table->end.id, 0u);
    EXPECT_EQ(import_table->end.pointer, nullptr);
    EXPECT_EQ(linkage->head.module_id, 0x13u);
    ASSERT_NE(linkage->head.module_init, nullptr);
    ASSERT_NE(linkage->head.module_deinit, nullptr);
    EXPECT_EQ(linkage->head.flags, 0u);
    EXPECT_EQ(linkage->head.priority, 0u);
    EXPECT_EQ(linkage->head.version, 0u);
    EXPECT_EQ(linkage->gauge_list[1], nullptr);

    EXPECT_EQ(gauge->gauge_header_version, 700u);
    EXPECT_STREQ(gauge->gauge_name, "tuneset");
    EXPECT_EQ(gauge->elements_list[1], nullptr);
    for (auto routine : {(void*)gauge->query_routine, (void*)gauge->install_routine, (void*)gauge->initialize_routine,
                         (void*)gauge->update_routine, (void*)gauge->generate_routine, (void*)gauge->draw_routine,
                         (void*)gauge->kill_routine, (void*)gauge->gauge_callback})
        EXPECT_NE(routine, nullptr);
    EXPECT_EQ(gauge->reserved1, 0u);
    EXPECT_EQ(gauge->size_x_mm, 98u);
    EXPECT_EQ(gauge->size_y_mm, 0u);
    EXPECT_EQ(gauge->x_adjust, 0.0f);
    EXPECT_EQ(gauge->y_adjust, 0.0f);
    for (std::uint32_t word : gauge->reserved2)
        EXPECT_EQ(word, 0u);
    EXPECT_NE(gauge->mouse_rect, nullptr);
    EXPECT_EQ(gauge->user_data, 0u);

    // the init routines do nothing
    linkage->head.module_init();
    linkage->head.module_deinit();
    EXPECT_EQ(recorder.calls, Lines{});
    EXPECT_EQ(trace, Lines{});
}

TEST_F(RadioModule, TheElementChainAtLoad)
{
    struct Expected {
        const char* name;
        std::uint32_t kind;
        std::int32_t bitmap, x, y, offset_x, offset_y;
        std::uint32_t flags;
        std::uint32_t pictures;   // icons
        bool callback;
    };
    const Expected expected[8] = {
        {"background", ELEMENT_TYPE_STATIC_IMAGE, 4096, 0, 0, 0, 0, 0x4001, 0, false},
        {"button lights", ELEMENT_TYPE_ICON, 13824, 26, 61, 0, 0, 0x40000007, 1, false},
        {"power light", ELEMENT_TYPE_ICON, 13568, 378, 59, 0, 0, 0x40000007, 1, true},
        {"station", ELEMENT_TYPE_ICON, 12288, 136, 58, 0, 0, 0x40000007, 13, true},
        {"preset", ELEMENT_TYPE_ICON, 9472, 150, 111, 0, 0, 0x40000007, 7, true},
        {"mode", ELEMENT_TYPE_ICON, 8192, 417, 49, 0, 0, 0x40000007, 3, true},
        {"volume needle", ELEMENT_TYPE_NEEDLE, 16384, 83, 84, 1, 4, 0x4003, 0, true},
        {"track display", ELEMENT_TYPE_STRING, -1, 225, 65, 0, 0, 0x40000007, 0, true},
    };
    ELEMENT_HEADER* at = root();
    for (int position = 0; position < 8; ++position) {
        const Expected& e = expected[position];
        SCOPED_TRACE(e.name);
        ASSERT_NE(at, nullptr);
        EXPECT_EQ(at->element_type, e.kind);
        EXPECT_EQ(at->resource_id, e.bitmap);
        EXPECT_EQ(at->position.x, e.x);
        EXPECT_EQ(at->position.y, e.y);
        EXPECT_EQ(at->offset.x, e.offset_x);
        EXPECT_EQ(at->offset.y, e.offset_y);
        EXPECT_EQ(at->image_flags, e.flags);
        EXPECT_EQ(at->gauge_header, gauge);
        EXPECT_EQ(at->previous_element, nullptr);
        EXPECT_EQ(at->failure_systems, nullptr);
        EXPECT_EQ(at->special_flags, 0u);
        if (e.kind == ELEMENT_TYPE_ICON) {
            auto* icon = reinterpret_cast<ELEMENT_ICON*>(at);
            EXPECT_EQ(icon->source_var.id, 0u);
            EXPECT_EQ(icon->update_callback != nullptr, e.callback);
            EXPECT_EQ(icon->switch_type, ICON_SWITCH_TYPE_SET_CUR_ICON);
            EXPECT_EQ(icon->picture_count, e.pictures);
            EXPECT_EQ(icon->scroll_x, 0);
            EXPECT_EQ(icon->scroll_y, 0);
        }
        // one successor each, the last none
        if (position < 7) {
            ASSERT_NE(at->next_element, nullptr);
            EXPECT_EQ(at->next_element[1], nullptr);
            at = at->next_element[0];
        } else {
            EXPECT_EQ(at->next_element, nullptr);
        }
    }

    auto* needle = reinterpret_cast<ELEMENT_NEEDLE*>(element(6));
    EXPECT_EQ(needle->source_var.id, 0u);
    ASSERT_EQ(needle->nonlinearity_count, 4u);
    const NONLINEARITY table[4] = {{{61, 107}, -15000.0}, {{52, 84}, -10000.0}, {{84, 53}, -5000.0}, {{116, 84}, 0.0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(needle->nonlinearity[i].point.x, table[i].point.x) << "needle row " << i;
        EXPECT_EQ(needle->nonlinearity[i].point.y, table[i].point.y) << "needle row " << i;
        EXPECT_EQ(needle->nonlinearity[i].value, table[i].value) << "needle row " << i;
    }

    auto* text = reinterpret_cast<ELEMENT_STRING*>(element(7));
    for (const MODULE_VAR& var : text->source_var)
        EXPECT_EQ(var.id, 0u);
    EXPECT_EQ(text->string, nullptr) << "the host allocates the text";
    EXPECT_EQ(text->max_chars, 2u);
    EXPECT_EQ(text->box_width, 40);
    EXPECT_EQ(text->box_height, 32);
    EXPECT_EQ(text->foreground_color, 0x00FFF7F7u);
    EXPECT_EQ(text->background_color, 0u);
    EXPECT_EQ(text->highlight_color, 0x00FFF7F7u);
    EXPECT_STREQ(text->font_name, "Courier New");
    EXPECT_EQ(text->font_weight, 400);
    EXPECT_EQ(text->font_charset, 1u);
    EXPECT_EQ(text->draw_flags, 0x25u);
    EXPECT_EQ(text->highlight_list, nullptr);
}

// The callbacks are wired to their elements: in FM mode with preset 4 each reads a different field.
TEST_F(RadioModule, EachDisplayReadsItsField)
{
    EXPECT_EQ(value_of(2), 0.0) << "power light, off";
    EXPECT_EQ(value_of(4), 6.0) << "preset indicator in CD mode";
    EXPECT_EQ(value_of(6), -15000.0) << "needle, off";
    press(ROW_MODE_FM);
    press(ROW_PRESET_4);
    press(ROW_POWER);
    EXPECT_EQ(value_of(2), 1.0) << "power light";
    EXPECT_EQ(value_of(3), 4.0) << "station: FM 104";
    EXPECT_EQ(value_of(4), 3.0) << "preset indicator: button 4";
    EXPECT_EQ(value_of(5), 1.0) << "mode indicator: FM";
    EXPECT_EQ(value_of(6), -2000.0) << "needle: the music volume";
    press(ROW_MODE_CD);
    press(ROW_VOLUME_DOWN);
    EXPECT_EQ(value_of(3), 0.0) << "station: CD";
    EXPECT_EQ(value_of(4), 6.0) << "preset indicator: none marked";
    EXPECT_EQ(value_of(6), -8150.0) << "needle: the CD line's volume";
}

TEST_F(RadioModule, TheSixtySevenMouseRows)
{
    auto expect_row = [&](int index, std::uint32_t kind, PIXEL_BOX box, std::int32_t cursor, std::uint32_t flags,
                          std::uint32_t event, const char* text, void* data) {
        const MOUSERECT& r = row(index);
        SCOPED_TRACE("row " + std::to_string(index));
        EXPECT_EQ(r.rect_type, kind);
        EXPECT_EQ(r.box.x, box.x);
        EXPECT_EQ(r.box.y, box.y);
        EXPECT_EQ(r.box.width, box.width);
        EXPECT_EQ(r.box.height, box.height);
        EXPECT_EQ(r.cursor, cursor);
        EXPECT_EQ(r.help_id, 0u);
        EXPECT_EQ(r.mouse_flags, flags);
        EXPECT_EQ(r.event_id, event);
        if (text) {
            EXPECT_STREQ(r.function.text, text);
        } else if (kind != MOUSE_RECT_CHILD) {
            EXPECT_EQ(r.function.handler, nullptr);
        }
        EXPECT_EQ(r.user_data, data);
    };
    void* args = row(2).user_data;
    ASSERT_NE(args, nullptr);
    expect_row(0, MOUSE_RECT_PARENT, {0, 0, 0, 0}, CURSOR_NONE, 0, 0, nullptr, nullptr);
    std::set<MOUSE_HANDLER> handlers;
    for (int k = 0; k < 16; ++k) {
        const HotSpot& h = HOT_SPOTS[k];
        SCOPED_TRACE(h.name);
        int first = 4 * k + 1;
        expect_row(first, MOUSE_RECT_PARENT, {h.x, h.y, h.w, h.h}, CURSOR_NONE, 0, 0, nullptr, nullptr);
        expect_row(first + 1, MOUSE_RECT_USER, {0, 0, 0, 0}, CURSOR_NONE, 0, h.arguments ? 3 : 0, h.tooltip,
                   h.arguments ? args : nullptr);
        expect_row(first + 2, MOUSE_RECT_CHILD, {0, 0, h.child_w, h.child_h}, h.cursor, h.flags, 0, nullptr, nullptr);
        expect_row(first + 3, MOUSE_RECT_END_PARENT, {0, 0, 0, 0}, CURSOR_NONE, 0, 0, nullptr, nullptr);
        EXPECT_NE(row(first + 2).function.handler, nullptr);
        handlers.insert(row(first + 2).function.handler);
    }
    EXPECT_EQ(handlers.size(), 16u) << "a handler of its own for every hot spot";
    expect_row(65, MOUSE_RECT_END_PARENT, {0, 0, 0, 0}, CURSOR_NONE, 0, 0, nullptr, nullptr);
    expect_row(66, MOUSE_RECT_EOL, {0, 0, 0, 0}, CURSOR_NONE, 0, 0, nullptr, nullptr);
}

TEST_F(RadioModule, TheThreeTooltipArguments)
{
    auto* args = static_cast<TOOLTIP_ARG*>(row(2).user_data);
    for (int i = 0; i < 3; ++i) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&args[i]);
        for (std::size_t at = 0; at < offsetof(TOOLTIP_ARG, string_callback); ++at)
            ASSERT_EQ(bytes[at], 0) << "argument " << i + 1 << ", byte " << at;
        ASSERT_NE(args[i].string_callback, nullptr);
    }
    // whatever the host passes, only the state counts
    MODULE_VAR var{7, nullptr, 0, 3.0, 0.0};
    auto text = [&](int i) { return std::string(args[i].string_callback(42.0, 9, "x", &var, gauge)); };
    struct Step {
        const char* name;
        Button press;
        const char* power;
        const char* source;
        const char* pause;
    };
    EXPECT_EQ("off", text(0));
    EXPECT_EQ("CD Player Track", text(1));
    EXPECT_EQ("off", text(2));
    const Step steps[] = {
        {"power on", ROW_POWER, "on", "CD Player Track", "off"},
        {"pause", ROW_PAUSE, "on", "CD Player Track", "on"},
        {"FM", ROW_MODE_FM, "on", "FM Radio Preset", "off"},
        {"AM", ROW_MODE_AM, "on", "AM Radio Preset", "off"},
        {"pause in AM", ROW_PAUSE, "on", "AM Radio Preset", "on"},
        {"power off", ROW_POWER, "off", "AM Radio Preset", "off"},
    };
    for (const Step& step : steps) {
        press(step.press);
        EXPECT_EQ(step.power, text(0)) << step.name;
        EXPECT_EQ(step.source, text(1)) << step.name;
        EXPECT_EQ(step.pause, text(2)) << step.name;
    }
}

// Each routine hands the root to its service, and none touches the mouse lists: the host
// installs the header's table itself.
TEST_F(RadioModule, TheRoutinesCallTheirServicesWithTheRoot)
{
    std::string root_text = pointer_text(root());
    gauge->query_routine();
    gauge->install_routine(reinterpret_cast<void*>(0x1234));
    gauge->initialize_routine();
    gauge->update_routine();
    gauge->generate_routine(5);
    gauge->draw_routine();
    gauge->kill_routine();
    Lines expected = {"element_list_query " + root_text,
                      "element_list_install " + root_text + " " + pointer_text(reinterpret_cast<void*>(0x1234)),
                      "element_list_initialize " + root_text,
                      "element_list_update " + root_text,
                      "element_list_generate " + root_text + " 5",
                      "element_list_plot " + root_text,
                      "element_list_kill " + root_text};
    EXPECT_LINES(expected, recorder.calls);
}

TEST_F(RadioModule, TheCallbackIgnoresEveryCodeButTwoSixAndTwelve)
{
    press(ROW_POWER);
    trace.clear();
    std::vector<std::uint32_t> at_load = chain_flags();
    for (std::int32_t code : {0, 1, 3, 4, 5, 7, 8, 9, 10, 11, 13, 14, -1, 100}) {
        gauge->gauge_callback(gauge, code, reinterpret_cast<std::uintptr_t>(module));
        EXPECT_EQ(at_load, chain_flags()) << "code " << code;
    }
    EXPECT_EQ(trace, Lines{}) << "no device was touched";
    EXPECT_EQ(recorder.calls, Lines{}) << "no service was called";
    // while code 6 shows the displays of a radio that is on
    gauge->gauge_callback(gauge, PANEL_SERVICE_PRE_UPDATE, 0);
    std::vector<std::uint32_t> shown = {0x4001, 0x7, 0x7, 0x7, 0x7, 0x7, 0x4003, 0x40000007};
    EXPECT_EQ(shown, chain_flags());
}

// The walks stop where a chain ends: a chain of three elements, and one whose second element
// has an empty successor list, get the bits of the positions they have and nothing else.
TEST_F(RadioModule, TheChainWalksStopWhereTheChainEnds)
{
    ELEMENT_HEADER e[3] = {};
    ELEMENT_HEADER* next_of_0[] = {&e[1], nullptr};
    ELEMENT_HEADER* next_of_1[] = {&e[2], nullptr};
    e[0].next_element = next_of_0;
    e[1].next_element = next_of_1;
    ELEMENT_HEADER* list[] = {&e[0], nullptr};
    GAUGEHDR short_gauge{};
    short_gauge.elements_list = list;

    gauge->gauge_callback(&short_gauge, PANEL_SERVICE_PRE_UPDATE, 0);   // off: set on 1 to 5 and 7
    EXPECT_EQ(e[0].image_flags, 0u);
    EXPECT_EQ(e[1].image_flags, IMAGE_HIDDEN);
    EXPECT_EQ(e[2].image_flags, IMAGE_HIDDEN);
    press(ROW_POWER);
    gauge->gauge_callback(&short_gauge, PANEL_SERVICE_PRE_UPDATE, 0);   // on: cleared again
    EXPECT_EQ(e[1].image_flags, 0u);
    EXPECT_EQ(e[2].image_flags, 0u);

    ELEMENT_HEADER* empty[] = {nullptr};
    e[1].next_element = empty;
    e[2].image_flags = 0x5;
    press(ROW_POWER);
    gauge->gauge_callback(&short_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
    EXPECT_EQ(e[1].image_flags, IMAGE_HIDDEN);
    EXPECT_EQ(e[2].image_flags, 0x5u) << "past an empty successor list nothing is reached";
    EXPECT_EQ(chain_flags()[1], 0x40000007u) << "the radio's own chain is not touched";
}

// The display's text holds two characters and a terminator, whatever number the drive reports.
TEST_F(RadioModule, TheTrackTextNeverExceedsItsTwoCharacters)
{
    struct Reply {
        const char* reply;
        const char* text;
        double track;   // what the display keeps as the current track
    };
    const Reply replies[] = {
        {"7", "07", 7},
        {"07", "07", 7},
        {"12", "12", 12},
        {"99", "99", 99},
        {"0", "00", 0},
        {"abc", "00", 0},
        {"100", "--", 100},
        {"-3", "--", -3},
        {"2147483647", "--", 2147483647.0},
        {"-2147483648", "--", -2147483648.0},
    };
    press(ROW_POWER);   // CD mode: the disc plays
    auto* display = reinterpret_cast<ELEMENT_STRING*>(element(7));
    for (const Reply& r : replies) {
        SCOPED_TRACE(std::string("reply \"") + r.reply + "\"");
        // a scripted answer stays until the drive is reset; preset 1 then starts the disc again
        sim::cd_drive().reset();
        press(ROW_PRESET_1);
        sim::cd_drive().script_answer("status cdaudio current track", 0, r.reply);
        char buffer[16];
        std::memset(buffer, '#', sizeof buffer);
        display->string = buffer;
        double value = display->update_callback(element(7));
        display->string = nullptr;
        EXPECT_EQ(std::string(buffer, 2), r.text);
        EXPECT_EQ(buffer[2], '\0');
        for (std::size_t at = 3; at < sizeof buffer; ++at)
            ASSERT_EQ(buffer[at], '#') << "written past the text at byte " << at;
        EXPECT_EQ(value, r.track);
    }
    // a host that gave no text gets none written
    EXPECT_EQ(display->update_callback(element(7)), -2147483648.0);
}

// The digits show while the drive answers "playing"; once the drive is gone its mode query fails,
// and the reply of the query before must not keep them lit.
TEST_F(RadioModule, TheTrackDigitsGoOutWhenTheDriveGoesAway)
{
    gauge->gauge_callback(gauge, PANEL_SERVICE_PRE_INSTALL, reinterpret_cast<std::uintptr_t>(module));
    auto* display = reinterpret_cast<ELEMENT_STRING*>(element(7));
    char text[3] = {};
    display->string = text;
    // One update pass as the host makes it: the gauge callback, then the elements' updates.
    auto pass = [&] {
        gauge->gauge_callback(gauge, PANEL_SERVICE_PRE_UPDATE, 0);
        display->update_callback(element(7));
    };
    auto digits_hidden = [&] { return (element(7)->image_flags & IMAGE_HIDDEN) != 0; };
    press(ROW_POWER);   // on in CD mode: track 1 plays
    pass();
    pass();
    EXPECT_FALSE(digits_hidden()) << "the disc plays";
    EXPECT_EQ(std::string(text), "01");

    sim::cd_drive().set_installed(false);
    pass();   // the display's query fails
    pass();
    EXPECT_TRUE(digits_hidden()) << "the pass after the failed query hides the digits";
    pass();
    EXPECT_TRUE(digits_hidden()) << "and they stay hidden";
    display->string = nullptr;
    gauge->gauge_callback(gauge, PANEL_SERVICE_PRE_KILL, 0);
}

// Every control but the door and the volume buttons plays the click once, never looping; the
// click's buffer is the one sound buffer the radio holds.
TEST_F(RadioModule, EachClickingControlPlaysTheClickOnceWithNoFlags)
{
    gauge->gauge_callback(gauge, PANEL_SERVICE_PRE_INSTALL, reinterpret_cast<std::uintptr_t>(module));
    auto click_buffer = [] {
        std::vector<sim::SoundBufferInfo> buffers = sim::sound_buffer_infos();
        EXPECT_EQ(buffers.size(), 1u) << "the click's buffer alone";
        return buffers.empty() ? sim::SoundBufferInfo{} : buffers.front();
    };
    ASSERT_EQ(click_buffer().plays, 0u);
    unsigned plays = 0;
    for (int k = 0; k < 16; ++k) {
        const Button button = static_cast<Button>(k);
        SCOPED_TRACE(HOT_SPOTS[k].name);
        bool clicks = button != ROW_DOOR && button != ROW_VOLUME_DOWN && button != ROW_VOLUME_UP;
        press(button);
        sim::SoundBufferInfo click = click_buffer();
        plays += clicks ? 1 : 0;
        EXPECT_EQ(click.plays, plays);
        EXPECT_EQ(click.last_play_flags, 0u) << "a click that loops never ends";
    }
    gauge->gauge_callback(gauge, PANEL_SERVICE_PRE_KILL, 0);
}

// Kill gives COM back what install took: one CoUninitialize after a CoInitialize that succeeded,
// none after one that failed; and no device object, file or view outlives the kill.
TEST_F(RadioModule, KillBalancesComAndLeavesNothingOpen)
{
    struct ComCase {
        const char* name;
        bool fail_initialize;
        int depth_after_install;   // above the host's own
    };
    const ComCase cases[] = {{"CoInitialize succeeds", false, 1}, {"CoInitialize fails", true, 0}};
    // the host's thread has COM of its own, which the radio must not end
    ASSERT_GE(CoInitialize(nullptr), 0);
    int host_depth = sim::com_initialization_depth();
    for (const ComCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.fail_initialize)
            sim::media::fail_call("CoInitialize", E_FAIL);
        std::size_t objects = sim::live_com_objects(), handles = sim::open_handle_count(),
                    views = sim::mapped_view_count();
        gauge->gauge_callback(gauge, PANEL_SERVICE_PRE_INSTALL, reinterpret_cast<std::uintptr_t>(module));
        EXPECT_EQ(sim::com_initialization_depth(), host_depth + c.depth_after_install);
        gauge->gauge_callback(gauge, PANEL_SERVICE_PRE_KILL, 0);
        EXPECT_EQ(sim::com_initialization_depth(), host_depth);
        EXPECT_EQ(sim::live_com_objects(), objects);
        EXPECT_EQ(sim::open_handle_count(), handles);
        EXPECT_EQ(sim::mapped_view_count(), views);
        sim::media::clear_failures();
    }
    CoUninitialize();
}

}  // namespace
