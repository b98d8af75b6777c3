// A panel configuration's gauge lines checked against the folder of gauge modules, as the
// simulator would use them: the module of each line found, its gauge in it, the gauge inside
// its window.
#pragma once

#include "panelhost/host/host.h"
#include "panelhost/panel/panel_file.h"

#include <string>
#include <vector>

namespace panelhost {

// The file that holds the module of a gauge line ("radio" of "radio!tuneset"): the first of the
// build's names for it (radio.gau, then radio.dll; natively radio.so) in the folder, whatever the
// case of its letters, as Windows finds files; empty if there is none.
std::string find_module_file(const std::string& folder, const std::string& module);
// The names looked for, for the messages ("radio.gau, radio.dll").
std::string module_file_names(const std::string& module);

// Every problem of every section's gauge lines, each with its line: a module not in the folder or
// that cannot be loaded, a gauge its module does not have (with the names it has), a gauge wholly
// outside its section; and as warnings a gauge partly outside it, and a gauge that a section
// names again (the bench runs its first line).
std::vector<PanelProblem> check_panel(const std::vector<PanelWindow>& windows, const std::string& folder,
                                      bool intercept);

// The section's gauge lines as the host places them, their modules found in the folder; a gauge
// named again in the section is placed at its first line only.
std::vector<PanelPlacement> window_placements(const PanelWindow& window, const std::string& folder);

}  // namespace panelhost
