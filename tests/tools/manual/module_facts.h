// What the manual must agree with, asked of the native modules through the bench: each gauge's
// hot spots with their cursors and every tooltip a pilot can make them show, the numbered picture
// of the fresh gauge, and the messages the radio shows.
#pragma once

#include "tests/support/png_picture.h"

#include <compare>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace manual_test {

struct HotSpotFacts {
    std::int32_t cursor = 0;
    // "text:Power On/Off (on)" or "help:0xA42F", in every state reached
    std::set<std::string> tooltips;
};

struct GaugeFacts {
    std::string section;                  // the manual's section of the gauge: "radio"
    int width = 0, height = 0;
    std::vector<HotSpotFacts> hot_spots;  // in table order: hot spot N is hot_spots[N - 1]
    test_support::Picture numbered;       // the fresh gauge with its hot spots numbered
};

// A gauge alone from a module of the build's output folder, its states explored from a fresh
// load: every hot spot clicked in every state found, until no click shows new tooltips. Each
// state is replayed from a fresh load, so the module's state is only what the clicks made it.
GaugeFacts gauge_facts(const std::string& section, const std::string& module_file, const std::string& gauge_name);

// "text:..." or "help:0x...": the key a tooltip is known by.
std::string tooltip_key_text(const std::string& text);
std::string tooltip_key_help(std::uint32_t help_id);

struct Message {
    std::string text;
    std::string caption;   // empty: the system's own title
    auto operator<=>(const Message& other) const = default;
};

// The message boxes of the radio run by panelhost: without songs (every preset chosen in FM
// mode), without a disc (a mode button in CD mode), without a mixer (load and removal).
std::set<Message> radio_messages();

}  // namespace manual_test
