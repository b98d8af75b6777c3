// A panel configuration's gauge lines checked against the folder of gauge modules, as the
// simulator would use them: the module of each line found, its gauge in it, the gauge inside
// its window.
#pragma once

#include "panelhost/host/host.h"
#include "panelhost/panel/panel_file.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace panelhost {

// The gauges folder, listed once for a run: a simulator's gauges folder holds thousands of files,
// and a panel file names a module at each of its hundreds of lines.
class ModuleFolder {
public:
    explicit ModuleFolder(std::string folder);

    // The folder as it was named.
    const std::string& path() const { return folder_; }
    // The file that holds the module of a gauge line ("radio" of "radio!tuneset"): the first of
    // the build's names for it (radio.gau, then radio.dll; natively radio.so) in the folder,
    // whatever the case of its letters, as Windows finds files; empty if there is none. A name
    // with a control character is no file's: Windows holds no such name.
    std::string find(const std::string& module) const;

private:
    std::string folder_;
    std::map<std::string, std::string> files_;   // by the name in lower case: the first in byte order
};

// The names looked for, for the messages ("radio.gau, radio.dll"), the module's name shown as
// messages show input.
std::string module_file_names(const std::string& module);

// Every problem of every section's gauge lines, each with its line: a module not in the folder or
// that cannot be loaded, a gauge its module does not have (with the names it has), a gauge wholly
// outside its section or larger than the largest picture; and as warnings a gauge partly outside
// it, a gauge with a size in a section of none (it runs, never drawn), and a gauge that a section
// names again (the bench runs its first line). A gauge of no size (0 x 0) has no box to check.
std::vector<PanelProblem> check_panel(const std::vector<PanelWindow>& windows, const ModuleFolder& folder,
                                      bool intercept);

// The section's gauge lines as the host places them, their modules found in the folder; a gauge
// named again in the section is placed at its first line only.
std::vector<PanelPlacement> window_placements(const PanelWindow& window, const ModuleFolder& folder);

// The panel file read and its gauge lines checked against the folder: its sections, and every
// problem of the reading and of the check in the order of their lines (a line's reading problem
// before its check's).
std::vector<PanelProblem> read_and_check_panel(std::string_view text, const ModuleFolder& folder, bool intercept,
                                               std::vector<PanelWindow>& sections);

// The host's options for a window of the panel: the section's name and size, and its gauges placed
// as window_placements places them, each module's path made whole, so that it holds when the run
// moves to another folder.
void place_section(const PanelWindow& section, const ModuleFolder& folder, HostOptions& options);

}  // namespace panelhost
