// The panel file reader given any bytes: every line it reads or refuses is one of the text's, and
// what it reads is well formed.
#include "panelhost/panel/panel_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<panelhost::PanelWindow> sections;
    std::vector<panelhost::PanelProblem> problems;
    panelhost::read_panel_file(text, sections, problems);
    // however line ends are counted, there are no more lines than line-end characters and one
    int most_lines = static_cast<int>(std::count(text.begin(), text.end(), '\n') +
                                      std::count(text.begin(), text.end(), '\r')) + 1;
    auto in_text = [&](int line) { return line >= 1 && line <= most_lines; };
    int last = 0;
    for (const panelhost::PanelProblem& problem : problems) {
        if (!in_text(problem.line) || problem.line < last || problem.text.empty() || problem.warning)
            std::abort();
        last = problem.line;
    }
    last = 0;
    for (const panelhost::PanelWindow& section : sections) {
        if (!in_text(section.line) || section.line <= last || section.name.empty() || section.number < 0 ||
            (section.width && *section.width <= 0) || (section.height && *section.height <= 0) ||
            (section.height && !section.width))
            std::abort();
        last = section.line;
        for (const panelhost::PanelGaugeLine& gauge : section.gauges) {
            if (!in_text(gauge.line) || gauge.line <= last || gauge.key.empty() || gauge.module.empty() ||
                gauge.gauge.empty() || (gauge.width && *gauge.width <= 0) || (gauge.height && *gauge.height <= 0))
                std::abort();
            last = gauge.line;
        }
    }
    return 0;
}
