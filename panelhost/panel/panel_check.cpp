// Checking a panel configuration's gauge lines against the folder of gauge modules.
#include "panelhost/panel/panel_check.h"

#include "base/text.h"
#include "panelhost/base/files.h"
#include "panelhost/base/limits.h"
#include "panelhost/base/shown_input.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

namespace panelhost {
namespace {

#if defined(_WIN32)
const char* const MODULE_EXTENSIONS[] = {".gau", ".dll"};
#else
const char* const MODULE_EXTENSIONS[] = {".so"};
#endif

using base::lower;
using base::shown_input;

std::string box_text(const PIXEL_BOX& box)
{
    return std::to_string(box.x) + ", " + std::to_string(box.y) + ", " + std::to_string(box.width) + " x " +
           std::to_string(box.height);
}

// The modules of the lines, each loaded once, or why it cannot be.
struct LoadedModule {
    std::unique_ptr<Module> module;
    std::string error;
};

// A gauge's element records are its module's own, so the bench shows each gauge once in a
// section, at the first line that names it: that line for a later one, null for the first.
class Showings {
public:
    const PanelGaugeLine* shown_before(const std::string& file, const PanelGaugeLine& line)
    {
        const PanelGaugeLine*& first = first_[{file, line.gauge}];
        if (first)
            return first;
        first = &line;
        return nullptr;
    }

private:
    std::map<std::pair<std::string, std::string>, const PanelGaugeLine*> first_;   // by file and gauge
};

// Where a gauge's box lies in its section: a part of it outside is not drawn, and a box wholly
// outside can never be seen. A section without a size_mm has no right or bottom edge.
enum class BoxFit { Inside, Partly, Wholly };

BoxFit box_fit(const PIXEL_BOX& box, const PanelWindow& section)
{
    long left = box.x, top = box.y, right = long(box.x) + box.width, bottom = long(box.y) + box.height;
    if (right <= 0 || bottom <= 0 || (section.width && left >= *section.width) ||
        (section.height && top >= *section.height))
        return BoxFit::Wholly;
    if (left < 0 || top < 0 || (section.width && right > *section.width) || (section.height && bottom > *section.height))
        return BoxFit::Partly;
    return BoxFit::Inside;
}

// A section of no size, 0 x 0, shows nothing: its gauges run and are never drawn.
bool never_drawn(const PanelWindow& section)
{
    return section.width == 0;
}

std::string section_size(const PanelWindow& section)
{
    if (!section.width)
        return "";
    return " (" + std::to_string(*section.width) + " x " +
           (section.height ? std::to_string(*section.height) : std::string("any height")) + ")";
}

// A gauge line under check, and what the checks before have found of it.
struct LineCheck {
    explicit LineCheck(const PanelGaugeLine& line) : line(line) {}

    const PanelGaugeLine& line;
    std::string file;                  // the module's file, once found
    Module* module = nullptr;          // the module, once it loads
    GAUGEHDR* header = nullptr;        // the gauge's header, once found in it
};

std::optional<PanelProblem> problem(const PanelGaugeLine& line, const std::string& text, bool warning = false)
{
    return PanelProblem{line.line, shown_input(line.key) + ": " + text, warning};
}

// "radio!tuneset", as a message shows it.
std::string gauge_name(const PanelGaugeLine& line)
{
    return shown_input(line.module) + "!" + shown_input(line.gauge);
}

// ---- the checks of a gauge line, in their order: each gives its problem, or none --------------------

std::optional<PanelProblem> module_found(LineCheck& check, const ModuleFolder& folder)
{
    const PanelGaugeLine& line = check.line;
    check.file = folder.find(line.module);
    if (!check.file.empty())
        return std::nullopt;
    return problem(line, "no module \"" + shown_input(line.module) + "\" in " + folder.path() + " (looked for " +
                             module_file_names(line.module) + ")");
}

std::optional<PanelProblem> shown_before(const LineCheck& check, Showings& showings)
{
    const PanelGaugeLine& line = check.line;
    const PanelGaugeLine* first = showings.shown_before(check.file, line);
    if (!first)
        return std::nullopt;
    return problem(line,
                   gauge_name(line) + " is shown already by " + shown_input(first->key) + " (line " +
                       std::to_string(first->line) + "); a gauge's records are its module's own, so the bench "
                       "shows it once, at its first line",
                   true);
}

// Each module is loaded once, at the first line that names it; its later lines get the same
// module or the same error.
std::optional<PanelProblem> module_loads(LineCheck& check, std::map<std::string, LoadedModule>& modules,
                                         bool intercept)
{
    LoadedModule& loaded = modules[check.file];
    if (!loaded.module && loaded.error.empty())
        loaded.module = Module::load(check.file, intercept, loaded.error);
    check.module = loaded.module.get();
    if (check.module)
        return std::nullopt;
    return problem(check.line, loaded.error);
}

std::optional<PanelProblem> gauge_found(LineCheck& check)
{
    const PanelGaugeLine& line = check.line;
    check.header = check.module->find_gauge(line.gauge);
    if (check.header)
        return std::nullopt;
    std::string names;
    for (GAUGEHDR* gauge : check.module->gauges())
        names += (names.empty() ? "\"" : ", \"") + shown_input(gauge->gauge_name ? gauge->gauge_name : "") + "\"";
    return problem(line, "module \"" + shown_input(line.module) + "\" has no gauge \"" + shown_input(line.gauge) +
                             "\"; its gauges: " + (names.empty() ? "none" : names));
}

std::optional<PanelProblem> header_sound(const LineCheck& check)
{
    std::string fault = header_fault(check.header);
    if (fault.empty())
        return std::nullopt;
    return problem(check.line, "gauge \"" + shown_input(check.line.gauge) + "\" " + fault);
}

// A gauge of no size has no box; a box larger than any picture cannot be drawn (its line's size,
// or the gauge's own default size and shape, scale it so); a gauge with a box in a section of no
// size runs and is never drawn.
std::optional<PanelProblem> box_in_section(const LineCheck& check, const PanelWindow& window)
{
    const PanelGaugeLine& line = check.line;
    PanelPlacement placement{line.key, "", check.file, line.gauge, line.x, line.y, line.width, line.height};
    if (placement.never_drawn())
        return std::nullopt;
    PIXEL_BOX box = placement_box(placement, check.header, check.module->background_size(check.header));
    if (box.width > MAX_PICTURE_SIDE || box.height > MAX_PICTURE_SIDE)
        return problem(line, "the gauge's box (" + box_text(box) + ") is larger than the largest picture the bench draws, " +
                                 std::to_string(MAX_PICTURE_SIDE) + " x " + std::to_string(MAX_PICTURE_SIDE));
    if (never_drawn(window))
        return problem(line,
                       "the gauge's box (" + box_text(box) + ") lies in " + window.name +
                           ", a section of no size (0 x 0): the gauge runs and is never drawn",
                       true);
    BoxFit fit = box_fit(box, window);
    if (fit == BoxFit::Inside)
        return std::nullopt;
    if (fit == BoxFit::Partly)
        return problem(line,
                       "the gauge's box (" + box_text(box) + ") reaches outside " + window.name + section_size(window) +
                           ": the part outside is not shown",
                       true);
    return problem(line, "the gauge's box (" + box_text(box) + ") lies wholly outside " + window.name +
                             section_size(window) + ": it can never be seen");
}

}  // namespace

ModuleFolder::ModuleFolder(std::string folder) : folder_(std::move(folder))
{
    std::error_code failure;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, failure))
        if (entry.is_regular_file(failure))
            files.push_back(entry.path());
    // Of names that differ only in the case of their letters, the first in byte order is found.
    std::sort(files.begin(), files.end());
    for (const std::filesystem::path& file : files)
        files_.emplace(lower(file.filename().string()), file.string());
}

std::string ModuleFolder::find(const std::string& module) const
{
    for (char c : module)
        if (static_cast<unsigned char>(c) < 0x20)
            return "";
    for (const char* extension : MODULE_EXTENSIONS) {
        auto found = files_.find(lower(module + extension));
        if (found != files_.end())
            return found->second;
    }
    return "";
}

std::string module_file_names(const std::string& module)
{
    std::string names;
    for (const char* extension : MODULE_EXTENSIONS)
        names += (names.empty() ? "" : ", ") + shown_input(module) + extension;
    return names;
}

std::vector<PanelPlacement> window_placements(const PanelWindow& window, const ModuleFolder& folder)
{
    std::vector<PanelPlacement> placements;
    Showings showings;
    for (const PanelGaugeLine& line : window.gauges) {
        std::string file = folder.find(line.module);
        if (!file.empty() && showings.shown_before(file, line))
            continue;
        placements.push_back({line.key, line.module + "!" + line.gauge, file, line.gauge, line.x, line.y, line.width,
                              line.height});
    }
    return placements;
}

std::vector<PanelProblem> read_and_check_panel(std::string_view text, const ModuleFolder& folder, bool intercept,
                                               std::vector<PanelWindow>& sections)
{
    std::vector<PanelProblem> problems;
    read_panel_file(text, sections, problems);
    std::vector<PanelProblem> checked = check_panel(sections, folder, intercept);
    problems.insert(problems.end(), checked.begin(), checked.end());
    std::stable_sort(problems.begin(), problems.end(),
                     [](const PanelProblem& a, const PanelProblem& b) { return a.line < b.line; });
    return problems;
}

void place_section(const PanelWindow& section, const ModuleFolder& folder, HostOptions& options)
{
    options.window_name = section.name;
    options.window_gauges = window_placements(section, folder);
    for (PanelPlacement& placement : options.window_gauges)
        placement.module_path = base::whole_path(placement.module_path);
    options.window_width = section.width;
    options.window_height = section.height;
}

// A line's checks stop at its first problem: each check needs what the ones before found.
std::vector<PanelProblem> check_panel(const std::vector<PanelWindow>& windows, const ModuleFolder& folder,
                                      bool intercept)
{
    std::vector<PanelProblem> problems;
    std::map<std::string, LoadedModule> modules;   // by file
    for (const PanelWindow& window : windows) {
        Showings showings;
        for (const PanelGaugeLine& line : window.gauges) {
            LineCheck check(line);
            std::optional<PanelProblem> found = module_found(check, folder);
            if (!found)
                found = shown_before(check, showings);
            if (!found)
                found = module_loads(check, modules, intercept);
            if (!found)
                found = gauge_found(check);
            if (!found)
                found = header_sound(check);
            if (!found)
                found = box_in_section(check, window);
            if (found)
                problems.push_back(*found);
        }
    }
    std::stable_sort(problems.begin(), problems.end(),
                     [](const PanelProblem& a, const PanelProblem& b) { return a.line < b.line; });
    return problems;
}

}  // namespace panelhost
