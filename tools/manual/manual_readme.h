// The pilots' readme (tools/release/README.txt, README.txt in the release zip) is the one place the
// pilots' words on installing the gauges, on where the songs go and on the radio under Wine are
// written: the manual shows its sections as HTML.
#pragma once

#include <string>
#include <string_view>

namespace manual {

// The readme's section under the heading (a line, and under it a line of dashes), as HTML: its
// paragraphs; its numbered steps as one list, a step's own later paragraphs indented as its words
// are; and any lines indented further, or indented at the section's own level, as preformatted
// text. Empty when the readme has no such section.
std::string readme_section_html(std::string_view readme, std::string_view heading);

}  // namespace manual
