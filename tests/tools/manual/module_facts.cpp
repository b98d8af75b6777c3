// The modules' own answers for the manual's tests, asked through the bench in this process (the
// hot spots and tooltips) and through the built panelhost (the message boxes).
#include "tests/tools/manual/module_facts.h"

#include "panelhost/system/clock.h"
#include "panelhost/host/host.h"
#include "panelhost/options/options.h"
#include "panelhost/picture/render.h"
#include "panelhost/base/trace.h"
#include "platform/sim/simulation.h"
#include "radio/gauge/radio_layout.h"
#include "tests/support/panelhost_runner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <optional>

namespace manual_test {

namespace {

// No reachable state of either gauge comes near this; a walk that reaches it has not ended.
constexpr std::size_t MAX_STATES = 64;
constexpr int SETTLING_FRAMES = 3;

void drop_line(const char*, void*) {}

void set_up_bench()
{
    sim::set_trace_sink(drop_line, nullptr);
    panelhost::set_trace_enabled(false);
    panelhost::configure_devices();
}

void frame(panelhost::Host& host)
{
    host.update_pass();
    panelhost::pump_messages();
    panelhost::advance_clock(55);
}

std::unique_ptr<panelhost::Host> fresh_gauge(const std::string& module_file, const std::string& gauge_name)
{
    panelhost::HostOptions options;
    options.module_path = test_support::out_dir() + "/" + module_file;
    options.gauge_name = gauge_name;
    auto host = std::make_unique<panelhost::Host>(options);
    std::string error;
    if (!host->load(error)) {
        ADD_FAILURE() << error;
        return nullptr;
    }
    host->install_and_initialize();
    frame(*host);
    return host;
}

std::vector<PIXEL_POINT> hot_spot_centres(const panelhost::Host& host)
{
    std::vector<PIXEL_POINT> centres;
    for (const panelhost::MouseRegistration& registration : host.registrations())
        for (const panelhost::MouseHotSpot& hot_spot : registration.layout.hot_spots)
            centres.push_back({hot_spot.area.x + hot_spot.area.width / 2, hot_spot.area.y + hot_spot.area.height / 2});
    return centres;
}

std::vector<std::string> tooltips_now(const panelhost::Host& host)
{
    std::vector<std::string> keys;
    for (PIXEL_POINT centre : hot_spot_centres(host)) {
        panelhost::Tooltip tooltip = host.first_gauge()->tooltip(centre);
        keys.push_back(tooltip.kind == panelhost::Tooltip::Text   ? tooltip_key_text(tooltip.text)
                       : tooltip.kind == panelhost::Tooltip::Help ? tooltip_key_help(tooltip.help_id)
                                                                  : "none");
    }
    return keys;
}

// The tooltips after the clicks, one frame after each, from a fresh load.
std::vector<std::string> tooltips_after(const std::string& module_file, const std::string& gauge_name,
                                        const std::vector<std::size_t>& clicks)
{
    std::unique_ptr<panelhost::Host> host = fresh_gauge(module_file, gauge_name);
    if (!host)
        return {};
    std::vector<PIXEL_POINT> centres = hot_spot_centres(*host);
    for (std::size_t spot : clicks) {
        host->click(centres[spot]);
        frame(*host);
    }
    return tooltips_now(*host);
}

test_support::Picture picture_of(const panelhost::Canvas& canvas)
{
    test_support::Picture picture;
    picture.width = canvas.width;
    picture.height = canvas.height;
    for (std::uint32_t colour : canvas.pixels) {
        picture.rgb.push_back(static_cast<std::uint8_t>(colour >> 16));
        picture.rgb.push_back(static_cast<std::uint8_t>(colour >> 8));
        picture.rgb.push_back(static_cast<std::uint8_t>(colour));
    }
    return picture;
}

std::optional<Message> message_of(const std::string& line)
{
    // msgbox "TEXT" "CAPTION" 0xSTYLE
    const std::string prefix = "msgbox \"";
    if (line.rfind(prefix, 0) != 0)
        return std::nullopt;
    std::size_t text_end = line.find("\" \"", prefix.size());
    std::size_t caption_end = line.rfind("\" 0x");
    if (text_end == std::string::npos || caption_end == std::string::npos || caption_end < text_end + 3)
        return std::nullopt;
    return Message{line.substr(prefix.size(), text_end - prefix.size()),
                   line.substr(text_end + 3, caption_end - text_end - 3)};
}

std::string click_line(radio_layout::Box box)
{
    return "click " + std::to_string(box.x + box.width / 2) + " " + std::to_string(box.y + box.height / 2) + "\n";
}

void add_messages(const test_support::RunResult& run, std::set<Message>& messages)
{
    EXPECT_EQ(run.status, 0) << run.err;
    for (const std::string& line : run.lines())
        if (std::optional<Message> message = message_of(line))
            messages.insert(*message);
}

}  // namespace

std::string tooltip_key_text(const std::string& text)
{
    return "text:" + text;
}

std::string tooltip_key_help(std::uint32_t help_id)
{
    char text[32];
    std::snprintf(text, sizeof text, "help:0x%X", help_id);
    return text;
}

GaugeFacts gauge_facts(const std::string& section, const std::string& module_file, const std::string& gauge_name)
{
    set_up_bench();
    GaugeFacts facts;
    facts.section = section;
    {
        std::unique_ptr<panelhost::Host> host = fresh_gauge(module_file, gauge_name);
        if (!host)
            return facts;
        for (int i = 0; i < SETTLING_FRAMES; ++i)
            frame(*host);
        PIXEL_POINT size = host->background_size();
        facts.width = size.x;
        facts.height = size.y;
        for (const panelhost::MouseRegistration& registration : host->registrations())
            for (const panelhost::MouseHotSpot& hot_spot : registration.layout.hot_spots)
                facts.hot_spots.push_back({hot_spot.row->cursor, {}});
        std::string error;
        std::optional<panelhost::Canvas> canvas = panelhost::draw_panel(*host, panelhost::HotSpots::Numbered, error);
        if (!canvas)
            ADD_FAILURE() << error;
        else
            facts.numbered = picture_of(*canvas);
    }

    std::vector<std::vector<std::size_t>> states = {{}};
    std::set<std::vector<std::string>> seen;
    auto record = [&](const std::vector<std::string>& tooltips) {
        for (std::size_t spot = 0; spot < tooltips.size() && spot < facts.hot_spots.size(); ++spot)
            facts.hot_spots[spot].tooltips.insert(tooltips[spot]);
        return seen.insert(tooltips).second;
    };
    record(tooltips_after(module_file, gauge_name, {}));
    for (std::size_t state = 0; state < states.size(); ++state) {
        if (states.size() > MAX_STATES) {
            ADD_FAILURE() << gauge_name << ": more than " << MAX_STATES << " states, the walk has not ended";
            break;
        }
        for (std::size_t spot = 0; spot < facts.hot_spots.size(); ++spot) {
            std::vector<std::size_t> clicks = states[state];
            clicks.push_back(spot);
            if (record(tooltips_after(module_file, gauge_name, clicks)))
                states.push_back(clicks);
        }
    }
    return facts;
}

std::set<Message> radio_messages()
{
    namespace layout = radio_layout;
    const std::string radio = test_support::out_dir() + "/radio.so";
    std::set<Message> messages;

    std::string presets;
    for (int preset = 1; preset < 6; ++preset)
        presets += click_line(layout::PRESET_BUTTONS[preset]);
    add_messages(test_support::run_panelhost({"--cwd", test_support::make_temp_dir(), radio, "tuneset"},
                                             click_line(layout::MODE_BUTTONS[1]) + click_line(layout::POWER_BUTTON) +
                                                 presets),
                 messages);
    add_messages(test_support::run_panelhost({"--no-cd-disc", radio, "tuneset"},
                                             click_line(layout::POWER_BUTTON) + click_line(layout::MODE_BUTTONS[0])),
                 messages);
    add_messages(test_support::run_panelhost({"--no-mixer", radio, "tuneset"}, ""), messages);
    return messages;
}

}  // namespace manual_test
