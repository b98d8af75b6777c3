// Checking a panel configuration's gauge lines against the folder of gauge modules.
#include "panelhost/panel_check.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>

namespace panelhost {
namespace {

#if defined(_WIN32)
const char* const MODULE_EXTENSIONS[] = {".gau", ".dll"};
#else
const char* const MODULE_EXTENSIONS[] = {".so"};
#endif

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

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

}  // namespace

std::string find_module_file(const std::string& folder, const std::string& module)
{
    std::error_code failure;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder, failure))
        if (entry.is_regular_file(failure))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const char* extension : MODULE_EXTENSIONS) {
        std::string wanted = lower(module + extension);
        for (const std::filesystem::path& file : files)
            if (lower(file.filename().string()) == wanted)
                return file.string();
    }
    return "";
}

std::string module_file_names(const std::string& module)
{
    std::string names;
    for (const char* extension : MODULE_EXTENSIONS)
        names += (names.empty() ? "" : ", ") + module + extension;
    return names;
}

std::vector<PanelPlacement> window_placements(const PanelWindow& window, const std::string& folder)
{
    std::vector<PanelPlacement> placements;
    for (const PanelGaugeLine& line : window.gauges)
        placements.push_back({line.key, line.module + "!" + line.gauge, find_module_file(folder, line.module), line.gauge,
                              line.x, line.y, line.width, line.height});
    return placements;
}

std::vector<PanelProblem> check_panel(const std::vector<PanelWindow>& windows, const std::string& folder,
                                      bool intercept)
{
    std::vector<PanelProblem> problems;
    std::map<std::string, LoadedModule> modules;   // by file
    for (const PanelWindow& window : windows) {
        std::map<std::pair<std::string, std::string>, const PanelGaugeLine*> shown;   // by file and gauge
        for (const PanelGaugeLine& line : window.gauges) {
            auto problem = [&](const std::string& text) { problems.push_back({line.line, line.key + ": " + text}); };
            std::string file = find_module_file(folder, line.module);
            // A gauge's element records are its module's own: one gauge can be shown once a window.
            if (!file.empty()) {
                const PanelGaugeLine*& first = shown[{file, line.gauge}];
                if (first) {
                    problem(line.module + "!" + line.gauge + " is shown already by " + first->key + " (line " +
                            std::to_string(first->line) + "); a gauge's records are its module's own, so a window "
                            "shows each gauge once");
                    continue;
                }
                first = &line;
            }
            if (file.empty()) {
                problem("no module \"" + line.module + "\" in " + folder + " (looked for " +
                        module_file_names(line.module) + ")");
                continue;
            }
            LoadedModule& loaded = modules[file];
            if (!loaded.module && loaded.error.empty())
                loaded.module = Module::load(file, intercept, loaded.error);
            if (!loaded.module) {
                problem(loaded.error);
                continue;
            }
            GAUGEHDR* header = loaded.module->find_gauge(line.gauge);
            if (!header) {
                std::string names;
                for (GAUGEHDR* gauge : loaded.module->gauges())
                    names += (names.empty() ? "\"" : ", \"") + std::string(gauge->gauge_name ? gauge->gauge_name : "") + "\"";
                problem("module \"" + line.module + "\" has no gauge \"" + line.gauge + "\"; its gauges: " +
                        (names.empty() ? "none" : names));
                continue;
            }
            if (std::string fault = header_fault(header); !fault.empty()) {
                problem("gauge \"" + line.gauge + "\" " + fault);
                continue;
            }
            PanelPlacement placement{line.key, "", file, line.gauge, line.x, line.y, line.width, line.height};
            PIXEL_BOX box = placement_box(placement, header, loaded.module->background_size(header));
            bool outside = box.x < 0 || box.y < 0 || (window.width && long(box.x) + box.width > *window.width) ||
                           (window.height && long(box.y) + box.height > *window.height);
            if (!outside)
                continue;
            std::string size;
            if (window.width)
                size = " (" + std::to_string(*window.width) + " x " +
                       (window.height ? std::to_string(*window.height) : std::string("any height")) + ")";
            problem("the gauge's box (" + box_text(box) + ") reaches outside " + window.name + size);
        }
    }
    std::sort(problems.begin(), problems.end(),
              [](const PanelProblem& a, const PanelProblem& b) { return a.line < b.line; });
    return problems;
}

}  // namespace panelhost
