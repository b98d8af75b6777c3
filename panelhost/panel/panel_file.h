// A panel configuration as the simulator reads it: its window and virtual cockpit sections, each
// with its size and its gauge lines ("gauge00=radio!tuneset, 20, 100, 98").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace panelhost {

struct PanelGaugeLine {
    int line = 0;                      // in the file, from 1
    std::string key;                   // "gauge00", as written
    std::string module;                // "radio"
    std::string gauge;                 // "tuneset"
    long x = 0;                        // in the window's units, within 32 bits
    long y = 0;
    std::optional<long> width;         // as given; else (missing or empty) the gauge's own default;
    std::optional<long> height;        // else from the width and the gauge's shape. 0 x 0: a gauge
                                       // that runs and is never drawn
    std::string parameters;            // what follows the height, as written: the gauge's own
};

// The two kinds of section that show gauges: a window of the 2D panel, and a virtual cockpit's
// panel, a texture that the 3D cockpit's model shows.
enum class PanelSectionKind { Window, VirtualCockpit };

struct PanelWindow {
    int line = 0;                      // of its section heading
    std::string name;                  // "Window00", "Vcockpit01", as written
    PanelSectionKind kind = PanelSectionKind::Window;
    int number = 0;                    // 0 for Window00, 1 for Vcockpit01
    std::optional<long> width;         // size_mm=WIDTH[,HEIGHT]; a virtual cockpit's pixel_size
    std::optional<long> height;        // where it has no size_mm. 0 x 0: a section that is never
                                       // drawn, whose gauges only run
    std::vector<PanelGaugeLine> gauges;
};

struct PanelProblem {
    int line = 0;
    std::string text;
    bool warning = false;              // said, but the panel runs all the same
};

// Reads the window and virtual cockpit sections and their gauge lines. What cannot be read (a
// gauge line that does not parse, a number that does not read, a size with one side 0 or larger
// than MAX_PICTURE_SIDE, a key that looks like a gauge line but is not one, two gauge lines with
// one key) is a problem with its line, the input it quotes shown by base::shown_input; the lines
// that read are kept. A line ends at CR LF, LF or CR, and CR CR LF (a file's line ends converted
// twice) is one line end; a byte-order mark at the start is skipped.
void read_panel_file(std::string_view text, std::vector<PanelWindow>& windows, std::vector<PanelProblem>& problems);

// Whether a key, not itself a gauge line's, looks like a misspelled one ("guage03", "gage12"):
// letters close to "gauge", then digits.
bool looks_like_gauge_key(std::string_view key);

}  // namespace panelhost
