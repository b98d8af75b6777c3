// The panel file reader given any bytes: every line it reads or refuses is one of the text's, what
// it reads is well formed (sizes of 0 on both sides or on neither, within the largest picture;
// places of 32 bits), and what it says quotes the text safely (no control byte, a bounded length).
#include "panelhost/panel/panel_file.h"

#include "panelhost/base/limits.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

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
    // a message quotes at most two fields of the text, each cut and each byte escaped in four
    constexpr std::size_t LONGEST_PROBLEM = 2 * 4 * panelhost::QUOTE_LIMIT_BYTES + 512;
    auto safe = [](const std::string& text) {
        return std::none_of(text.begin(), text.end(), [](char c) {
            auto byte = static_cast<unsigned char>(c);
            return byte < 0x20 || byte == 0x7F;
        });
    };
    int last = 0;
    for (const panelhost::PanelProblem& problem : problems) {
        if (!in_text(problem.line) || problem.line < last || problem.text.empty() || problem.warning ||
            !safe(problem.text) || problem.text.size() > LONGEST_PROBLEM)
            std::abort();
        last = problem.line;
    }
    auto size_sound = [](const std::optional<long>& size) {
        return !size || (*size >= 0 && *size <= panelhost::MAX_PICTURE_SIDE);
    };
    last = 0;
    for (const panelhost::PanelWindow& section : sections) {
        if (!in_text(section.line) || section.line <= last || section.name.empty() || section.number < 0 ||
            !size_sound(section.width) || !size_sound(section.height) || (section.height && !section.width) ||
            (section.width == 0 && section.height != 0) || (section.height == 0 && section.width != 0))
            std::abort();
        last = section.line;
        for (const panelhost::PanelGaugeLine& gauge : section.gauges) {
            if (!in_text(gauge.line) || gauge.line <= last || gauge.key.empty() || gauge.module.empty() ||
                gauge.gauge.empty() || !size_sound(gauge.width) || !size_sound(gauge.height) ||
                (gauge.width == 0) != (gauge.height == 0) || gauge.x < INT32_MIN || gauge.x > INT32_MAX ||
                gauge.y < INT32_MIN || gauge.y > INT32_MAX)
                std::abort();
            last = gauge.line;
        }
    }
    return 0;
}
