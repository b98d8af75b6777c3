// The manual checked against the modules: the hot spots of each gauge's table, its tooltips,
// cursors and pictures, the messages, the example panel, the Wine figures, the pilots' readme's
// words, the version, and no reference to anything outside the file.
#pragma once

#include "tests/tools/manual/module_facts.h"

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace manual_test {

struct ManualFacts {
    std::string version;                          // "1.0.0"
    std::vector<GaugeFacts> gauges;
    std::string example_panel;                    // the release's example panel file
    std::set<Message> messages;                   // every message box the radio shows
    std::vector<std::vector<std::string>> wine;   // the measured rows of the Wine table of docs/gauges.md
    std::string readme;                           // the pilots' readme, its version put in
};

// Every way the manual departs from the facts, one line each; empty when it agrees.
std::vector<std::string> check_manual(std::string_view html, const ManualFacts& facts);

// The rows of the table in docs/gauges.md's paragraph on running the simulator under Wine, each
// cell's text without its code marks; empty when it has no such table.
std::vector<std::vector<std::string>> gauges_doc_wine_rows(std::string_view doc);
// The words of the readme's section under the heading (a line, and under it a line of dashes), with
// their spaces made one and its steps' numbers left out; empty when it has no such section.
std::string readme_section_words(std::string_view readme, std::string_view heading);

// RFC 4648 base64 with its padding; false for anything else.
bool decode_base64(std::string_view text, std::vector<std::uint8_t>& bytes);

}  // namespace manual_test
