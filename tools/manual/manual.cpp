// manual OUT.html: the pilots' manual of the release, one self-contained HTML file. Its pictures,
// hot spots, tooltips and pointers come from the native builds of the gauges, run through the
// bench in this process; the same build always writes the same bytes.
#include "example_panel.h"
#include "pilots_readme.h"
#include "panel_version.h"
#include "panelhost/panel/panel_check.h"
#include "panelhost/panel/panel_file.h"
#include "tools/manual/manual_bench.h"
#include "tools/manual/manual_gauges.h"
#include "tools/manual/manual_html.h"
#include "tools/manual/manual_readme.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using manual::GaugeManual;
using manual::GaugeRun;
using manual::HotSpot;
using manual::escape;

const std::string TITLE = std::string("Panel gauges ") + PANEL_VERSION_TEXT;

const char STYLE[] = R"css(
body { font-family: sans-serif; line-height: 1.5; color: #1d1d1d; background: #fdfdfb;
       max-width: 62em; margin: 0 auto; padding: 1em 1.5em 3em; }
h1 { font-size: 1.9em; margin-bottom: 0; }
h2 { font-size: 1.45em; border-bottom: 1px solid #c8c8c0; padding-bottom: 0.15em; margin-top: 2em; }
h3 { font-size: 1.15em; margin-top: 1.6em; }
.subtitle { margin-top: 0.2em; color: #555; }
nav ol { padding-left: 1.4em; }
code, pre { font-family: monospace, monospace; font-size: 0.95em; }
pre { background: #f0f0ea; border: 1px solid #d8d8d0; padding: 0.6em 0.9em; overflow-x: auto; }
table { border-collapse: collapse; margin: 0.8em 0; }
th, td { border: 1px solid #c8c8c0; padding: 0.3em 0.55em; text-align: left; vertical-align: top; }
th { background: #ecece4; }
td.number { text-align: right; font-weight: bold; }
td.figure { text-align: right; white-space: nowrap; }
figure { margin: 1em 0; }
figure img { display: block; max-width: 100%; height: auto; background: #000; }
figcaption { font-size: 0.92em; color: #444; margin-top: 0.3em; }
.pictures { display: flex; flex-wrap: wrap; gap: 0.5em 1.5em; }
.help code, .tooltip { white-space: nowrap; }
.note { border-left: 3px solid #b0b0a0; padding-left: 0.8em; color: #333; }
)css";

// What stops the manual: said on one line, once the bench's folder is gone.
struct Failure {
    std::string why;
};

[[noreturn]] void fail(const std::string& why)
{
    throw Failure{why};
}

std::string module_path(const manual::BenchProcess& process, const char* module)
{
    std::string path = panelhost::ModuleFolder(process.module_folder()).find(module);
    if (path.empty())
        fail("no module " + panelhost::module_file_names(module) + " beside this program in " + process.module_folder());
    return path;
}

// A fresh run of one gauge alone, taken through the steps.
std::unique_ptr<GaugeRun> gauge_run(const manual::BenchProcess& process, const GaugeManual& gauge,
                                    const std::vector<manual::Step>& steps)
{
    panelhost::HostOptions options;
    options.module_path = module_path(process, gauge.module);
    options.gauge_name = gauge.gauge;
    auto run = std::make_unique<GaugeRun>(options);
    std::string error;
    if (!run->start(error) || !manual::run_steps(*run, gauge, steps, error))
        fail(error);
    return run;
}

std::vector<HotSpot> hot_spots(const GaugeRun& run)
{
    std::vector<HotSpot> spots;
    std::string error;
    if (!run.hot_spots(spots, error))
        fail(error);
    return spots;
}

std::string picture(const GaugeRun& run, panelhost::HotSpots style, const std::string& css_class, const std::string& alt)
{
    std::vector<std::uint8_t> png;
    std::string error;
    if (!run.picture(style, png, error))
        fail(error);
    PIXEL_POINT size = run.size();
    return manual::inline_png(png, size.x, size.y, css_class, alt);
}

std::string hex_id(std::uint32_t id)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", id);
    return text;
}

// ---- the controls' tooltips, state by state ----

std::string tooltip_html(const panelhost::Tooltip& tooltip)
{
    switch (tooltip.kind) {
    case panelhost::Tooltip::Text:
        return "<q class=\"tooltip\">" + escape(tooltip.text) + "</q>";
    case panelhost::Tooltip::Help:
        return "<span class=\"help\">the simulator's help text <code>" + hex_id(tooltip.help_id) + "</code></span>";
    case panelhost::Tooltip::None:
        break;
    }
    return "none";
}

bool same(const panelhost::Tooltip& a, const panelhost::Tooltip& b)
{
    return a.kind == b.kind && a.text == b.text && a.help_id == b.help_id;
}

// The tooltips one hot spot showed in the states, in the order first seen, each with the
// condition that tells it apart: the first facet along which the texts and the conditions go
// one to one, else the whole condition of the state it was first seen in.
std::string tooltip_cell(const GaugeManual& gauge, const std::vector<panelhost::Tooltip>& by_state)
{
    std::vector<std::size_t> first_seen;
    for (std::size_t s = 0; s < by_state.size(); ++s) {
        bool known = false;
        for (std::size_t f : first_seen)
            known = known || same(by_state[f], by_state[s]);
        if (!known)
            first_seen.push_back(s);
    }
    if (first_seen.size() == 1)
        return tooltip_html(by_state[first_seen[0]]);
    auto condition_of = [&](std::size_t state, std::size_t facet) {
        return std::string(gauge.tooltip_states[state].conditions[facet]);
    };
    for (std::size_t facet = 0; facet < gauge.facets.size(); ++facet) {
        bool one_to_one = true;
        for (std::size_t a = 0; a < by_state.size() && one_to_one; ++a)
            for (std::size_t b = 0; b < by_state.size() && one_to_one; ++b)
                one_to_one = same(by_state[a], by_state[b]) == (condition_of(a, facet) == condition_of(b, facet));
        if (!one_to_one)
            continue;
        std::string cell;
        for (std::size_t s : first_seen)
            cell += (cell.empty() ? "" : "<br>") + tooltip_html(by_state[s]) + " " + escape(condition_of(s, facet));
        return cell;
    }
    std::string cell;
    for (std::size_t s : first_seen) {
        std::string conditions;
        for (std::size_t facet = 0; facet < gauge.facets.size(); ++facet)
            conditions += (conditions.empty() ? "" : ", ") + condition_of(s, facet);
        cell += (cell.empty() ? "" : "<br>") + tooltip_html(by_state[s]) + " " + escape(conditions);
    }
    return cell;
}

// The numbered picture and the table of the gauge's controls: one row a hot spot, numbered as
// the picture numbers them.
std::string controls_section(const manual::BenchProcess& process, const GaugeManual& gauge)
{
    std::vector<HotSpot> spots;
    std::string numbered;
    {
        std::unique_ptr<GaugeRun> fresh = gauge_run(process, gauge, {});
        spots = hot_spots(*fresh);
        numbered = picture(*fresh, panelhost::HotSpots::Numbered, "controls",
                           std::string(gauge.title) + " with its " + std::to_string(spots.size()) + " controls numbered");
    }
    std::vector<int> control_of;
    std::string error;
    if (!manual::match_controls(gauge, spots, control_of, error))
        fail(error);

    std::vector<std::vector<panelhost::Tooltip>> tooltips(spots.size());
    for (const manual::TooltipState& state : gauge.tooltip_states) {
        if (state.conditions.size() != gauge.facets.size())
            fail(std::string(gauge.title) + ": a tooltip state gives " + std::to_string(state.conditions.size()) +
                 " conditions for " + std::to_string(gauge.facets.size()) + " facets");
        std::vector<HotSpot> now = hot_spots(*gauge_run(process, gauge, state.steps));
        if (now.size() != spots.size())
            fail(std::string(gauge.title) + ": the mouse table changed its hot spots between states");
        for (std::size_t s = 0; s < spots.size(); ++s)
            tooltips[s].push_back(now[s].tooltip);
    }

    std::string html = "<h3>Controls</h3>\n<p>Every place that answers a click is outlined and numbered below. "
                       "Hold the pointer still over one to see its tooltip.</p>\n";
    html += "<figure>" + numbered + "<figcaption>" + escape(gauge.title) + ", its controls numbered.</figcaption></figure>\n";
    html += "<table class=\"controls\">\n<tr><th>No.</th><th>Control</th><th>What it does</th><th>Tooltip</th>"
            "<th>Pointer</th></tr>\n";
    for (std::size_t s = 0; s < spots.size(); ++s) {
        const manual::Control& control = gauge.controls[std::size_t(control_of[s])];
        html += "<tr><td class=\"number\">" + std::to_string(spots[s].number) + "</td><td>" + escape(control.name) +
                "</td><td>" + control.does + "</td><td>" + tooltip_cell(gauge, tooltips[s]) +
                "</td><td class=\"cursor\">" + escape(manual::cursor_name(spots[s].cursor)) + "</td></tr>\n";
    }
    html += "</table>\n";
    return html;
}

std::string pictures_section(const manual::BenchProcess& process, const GaugeManual& gauge, const char* heading)
{
    std::string html = std::string("<h3>") + heading + "</h3>\n<div class=\"pictures\">\n";
    for (const manual::Scene& scene : gauge.scenes) {
        std::unique_ptr<GaugeRun> run = gauge_run(process, gauge, scene.steps);
        html += "<figure>" + picture(*run, panelhost::HotSpots::None, std::string("state ") + scene.id, scene.caption) +
                "<figcaption>" + scene.caption + "</figcaption></figure>\n";
    }
    return html + "</div>\n";
}

// ---- the sections ----

struct GaugeFacts {
    PIXEL_POINT size{};
    std::uint32_t default_width = 0;
    PIXEL_BOX default_box{};   // a gauge line without a width
};

GaugeFacts gauge_facts(const manual::BenchProcess& process, const GaugeManual& gauge)
{
    std::unique_ptr<GaugeRun> run = gauge_run(process, gauge, {});
    GaugeFacts facts;
    facts.size = run->size();
    facts.default_width = run->header()->size_x_mm;
    panelhost::PanelPlacement no_width;
    facts.default_box = panelhost::placement_box(no_width, run->header(), facts.size);
    return facts;
}

std::string size_text(long width, long height)
{
    return std::to_string(width) + " &times; " + std::to_string(height);
}

std::string gauges_section(const GaugeFacts& radio, const GaugeFacts& autopilot)
{
    return "<section id=\"gauges\">\n<h2>The two gauges</h2>\n"
           "<p><b>The radio</b> (<code>radio.gau</code>) is a cockpit entertainment radio with a CD player, " +
           size_text(radio.size.x, radio.size.y) +
           " pixels. It plays the audio CD in your computer's CD drive or, as its FM and AM stations, six music "
           "files of your own.</p>\n"
           "<p><b>The autopilot panel</b> (<code>autohelm.gau</code>) is a small autopilot switch panel, " +
           size_text(autopilot.size.x, autopilot.size.y) +
           " pixels: a rotary knob and three lever switches, from left to right master, engage and inhibit, "
           "that work the simulator's autopilot.</p>\n</section>\n";
}

// The release's example panel, read and checked as the bench checks a panel: one window of a
// given size with the two gauges, run for two frames.
struct ExampleWindow {
    std::string text;   // the panel file as the zip holds it
    panelhost::PanelWindow window;
    std::unique_ptr<GaugeRun> run;
};

ExampleWindow example_window(const manual::BenchProcess& process)
{
    ExampleWindow example;
    example.text.assign(reinterpret_cast<const char*>(EXAMPLE_PANEL), sizeof EXAMPLE_PANEL - 1);
    panelhost::ModuleFolder folder(process.module_folder());
    std::vector<panelhost::PanelWindow> windows;
    for (const panelhost::PanelProblem& problem : panelhost::read_and_check_panel(example.text, folder, false, windows))
        fail("the example panel, line " + std::to_string(problem.line) + ": " + problem.text);
    if (windows.size() != 1 || windows[0].gauges.size() != 2 || !windows[0].width || !windows[0].height)
        fail("the example panel is not one window of a given size with the two gauges");
    example.window = windows[0];
    panelhost::HostOptions options;
    panelhost::place_section(example.window, folder, options);
    example.run = std::make_unique<GaugeRun>(options);
    std::string error;
    if (!example.run->start(error))
        fail("the example panel: " + error);
    example.run->frames(2);
    return example;
}

// The pilots' readme, the one place of their words on installing and on the songs, as the zip
// holds it: its version put in.
std::string pilots_readme()
{
    std::string readme(reinterpret_cast<const char*>(PILOTS_README), sizeof PILOTS_README - 1);
    const std::string VERSION_MARK = "@VERSION@";
    for (std::size_t at = readme.find(VERSION_MARK); at != std::string::npos; at = readme.find(VERSION_MARK, at))
        readme.replace(at, VERSION_MARK.size(), PANEL_VERSION_TEXT);
    return readme;
}

// A section of the readme, in a division of its own.
std::string readme_section(const std::string& heading)
{
    std::string html = manual::readme_section_html(pilots_readme(), heading);
    if (html.empty())
        fail("the pilots' readme has no section \"" + heading + "\"");
    return "<div class=\"readme\">\n" + html + "</div>\n";
}

// What each field of a gauge line is, with each gauge's default width and the box a line without
// a width gives it.
std::string gauge_line_fields(const GaugeFacts& radio, const GaugeFacts& autopilot)
{
    return "<p>A gauge line reads <code>gaugeNN=MODULE!GAUGE, X, Y, WIDTH</code>, and may have a HEIGHT "
           "after the width; <code>size_mm</code> gives the window's width and height. All the numbers are in "
           "the window's own units, the same in every line of the section.</p>\n"
           "<table class=\"fields\">\n<tr><th>In the line</th><th>What it is</th></tr>\n"
           "<tr><td><code>gauge00</code></td><td>The line's key: <code>gauge00</code>, <code>gauge01</code>, "
           "and so on, each once in the window.</td></tr>\n"
           "<tr><td><code>radio!tuneset</code></td><td>The module's file name without <code>.gau</code>, then "
           "the gauge in it: <code>radio!tuneset</code> for the radio, <code>autohelm!autohelm.gau</code> for "
           "the autopilot panel.</td></tr>\n"
           "<tr><td>X, Y</td><td>Where the gauge's top-left corner lies in the window: X across from the "
           "window's left edge, Y down from its top.</td></tr>\n"
           "<tr><td>WIDTH</td><td>The gauge's width. Without it the gauge takes its default width: " +
           std::to_string(radio.default_width) + " for the radio and " + std::to_string(autopilot.default_width) +
           " for the autopilot panel, so that a line without a width shows the radio " +
           size_text(radio.default_box.width, radio.default_box.height) + " and the autopilot panel " +
           size_text(autopilot.default_box.width, autopilot.default_box.height) + ".</td></tr>\n"
           "<tr><td>HEIGHT</td><td>Usually left out, as in the example: the height then follows from the width "
           "as the gauge's face is shaped.</td></tr>\n</table>\n";
}

// The example window: its size, each gauge's box in it, and its picture.
std::string example_window_html(const ExampleWindow& example)
{
    const panelhost::PanelWindow& window = example.window;
    std::string html = "<p>The zip's example panel file, <code>panel.cfg</code>, holds this window section:</p>\n"
                       "<pre class=\"panel\">" + escape(example.text) + "</pre>\n"
                       "<p>In the example the window is " + size_text(*window.width, *window.height) +
                       "; it shows</p>\n<ul>\n";
    for (const panelhost::PlacedGauge& placed : example.run->host().placed())
        html += "<li><code>" + escape(placed.key) + "</code>, <code>" + escape(placed.name) + "</code>: its corner at " +
                std::to_string(placed.box.x) + ", " + std::to_string(placed.box.y) + ", " +
                size_text(placed.box.width, placed.box.height) + "</li>\n";
    html += "</ul>\n<figure>" +
            picture(*example.run, panelhost::HotSpots::None, "window", "The example window with both gauges") +
            "<figcaption>The example window: the radio above, the autopilot panel below.</figcaption></figure>\n";
    return html;
}

std::string installing_section(const manual::BenchProcess& process, const GaugeFacts& radio, const GaugeFacts& autopilot)
{
    ExampleWindow example = example_window(process);
    return "<section id=\"installing\">\n<h2>Installing</h2>\n" + readme_section("Installing, in four steps") +
           gauge_line_fields(radio, autopilot) + example_window_html(example) + "</section>\n";
}

std::string radio_section(const manual::BenchProcess& process, const GaugeFacts& radio)
{
    const GaugeManual& gauge = manual::radio_manual();
    std::string html = "<section id=\"radio\">\n<h2>" + escape(gauge.title) + "</h2>\n"
                       "<p>The radio, " + size_text(radio.size.x, radio.size.y) +
                       " pixels, plays the audio CD in your computer's CD drive or, in FM and AM mode, six songs of "
                       "your own. While it is on, its display shows the CD's track or the station, the chosen "
                       "source lights up (and in FM and AM mode the chosen preset), and the knob at the left shows "
                       "the volume of the source the volume buttons act on. Every button but the CD door and the "
                       "volume buttons clicks as you press it.</p>\n";
    html += controls_section(process, gauge);
    html += pictures_section(process, gauge, "What the radio shows");
    html += "<h3 id=\"songs\">Your songs</h3>\n"
            "<p>Where the radio finds your songs, which preset plays which, and what a missing song shows: step 4 "
            "of <a href=\"#installing\">Installing</a>.</p>\n"
            "<h3 id=\"cd\">The CD</h3>\n"
            "<p>In CD mode the radio plays the disc in your computer's CD drive from the chosen track to the end of "
            "the disc, and then from track 1 again, for as long as it is on in CD mode and not paused. The display "
            "shows the track playing. When the CD cannot start (no drive, no disc) after a mode, preset or track "
            "button, the radio says so; at power-on and on resuming from pause it says nothing and keeps trying "
            "track 1. The CD's loudness is set on the sound card's mixer.</p>\n"
            "<p>The radio keeps its state (power, source, preset, volumes) for as long as the simulator keeps the "
            "gauge loaded. A fresh load starts it off, in CD mode, on preset 1.</p>\n";
    return html + "</section>\n";
}

std::string autopilot_section(const manual::BenchProcess& process, const GaugeFacts& autopilot)
{
    const GaugeManual& gauge = manual::autohelm_manual();
    std::string html = "<section id=\"autopilot\">\n<h2>" + escape(gauge.title) + "</h2>\n"
                       "<p>The autopilot panel, " + size_text(autopilot.size.x, autopilot.size.y) +
                       " pixels, has a rotary knob and three lever switches: from left to right master, engage "
                       "and inhibit. The master lever shows the simulator's autopilot master, whatever switched it; "
                       "the engage and inhibit levers stay where you put them, for as long as the simulator keeps "
                       "the gauge loaded. Each time the panel starts the gauge, the gauge switches the autopilot "
                       "master off once.</p>\n";
    html += controls_section(process, gauge);
    html += "<p class=\"note\">The autopilot panel's controls have no tooltip text of their own: each names a help "
            "id, and the simulator shows its own help text for that id.</p>\n";
    html += pictures_section(process, gauge, "The levers");
    html += "<h3>Flying with the levers</h3>\n<ul>\n"
            "<li>Set the engage lever up and the inhibit lever down before you switch the master on: the master "
            "switch then engages the autopilot's modes in the same click.</li>\n"
            "<li>With the master on, a click on either lever releases the modes if any is engaged, and engages "
            "them if none is and the levers allow it (engage up, inhibit down).</li>\n"
            "<li>The inhibit lever up keeps the master switch from engaging the modes.</li>\n</ul>\n";
    return html + "</section>\n";
}

std::string messages_section()
{
    std::string songs;
    for (int song = 1; song <= 6; ++song)
        songs += (song == 1 ? "" : song == 6 ? " or " : ", ") + std::string("<q class=\"message\">song") +
                 std::to_string(song) + " not installed</q>";
    return "<section id=\"messages\">\n<h2>Messages</h2>\n"
           "<p>The radio may show these messages, each in a box with an OK button. Click OK and the flight goes "
           "on; the autopilot panel shows none.</p>\n"
           "<table class=\"messages\">\n<tr><th>Message</th><th>Box title</th><th>When</th><th>What to do</th></tr>\n"
           "<tr><td><q class=\"message\">Audio CD Not Installed</q></td><td><span class=\"caption\">MCI "
           "Error</span></td><td>A mode, preset or track button asked for the CD and it could not start: no CD "
           "drive, or no audio disc in it.</td><td>Put an audio CD in the drive, or listen in FM or AM "
           "mode.</td></tr>\n"
           "<tr><td>" + songs + "</td><td>Error (the system's own title)</td><td>A preset, the FM or AM "
           "button, power or pause asked for a song that was not found when the panel loaded.</td><td>Put the "
           "song in the <code>Sound</code> folder (see <a href=\"#songs\">Your songs</a>) and load the panel "
           "again.</td></tr>\n"
           "<tr><td><q class=\"message\">Unable to open Mixer Controls.</q></td><td><span class=\"caption\">Volume "
           "Control Error</span></td><td>The panel loaded the radio on a computer whose sound card has no mixer: "
           "the radio cannot set the CD's loudness.</td><td>Everything else works. Set the CD's loudness with the "
           "computer's own volume control.</td></tr>\n"
           "<tr><td><q class=\"message\">Unable to close Mixer Controls.</q></td><td><span class=\"caption\">Volume "
           "Control Error</span></td><td>The radio was removed (the panel closed or reloaded) on such a "
           "computer.</td><td>Nothing: it follows the message above.</td></tr>\n</table>\n</section>\n";
}

// Measured under 64-bit Wine 8.0: the radio reinstalled 200 times in one process.
struct WineRow {
    const char* songs;
    const char* first_load;
    const char* after_50;
    const char* after_200;
};
constexpr WineRow WINE_MEASURES[] = {
    {"none",                "4 threads, 32 MB",  "4 threads, 33 MB",  "4 threads, 34 MB"},
    {"all six as <code>.mp3</code>", "29 threads, 57 MB", "29 threads, 61 MB", "29 threads, 70 MB"},
    {"all six as <code>.wma</code>", "29 threads, 57 MB", "29 threads, 61 MB", "29 threads, 69 MB"},
};

std::string wine_section()
{
    std::string html =
        "<section id=\"wine\">\n<h2>Running the simulator under Wine</h2>\n"
        "<p>This is for pilots who run the simulator under Wine, on Linux or another system. The radio looks for a song's file before it asks the media framework to play it, so a song you do "
        "not have costs nothing. That matters under Wine: Wine 8.0's media framework keeps a thread and about "
        "1 MB for the life of the process after every attempt to play that fails, and a radio that asked for "
        "every name of every song at each panel load would pile them up, 24 a load. Measured under 64-bit "
        "Wine with the radio reloaded 200 times in one process, the process's threads and resident memory:</p>\n"
        "<table class=\"wine\">\n<tr><th>Songs in <code>Sound</code></th><th>After the first load</th>"
        "<th>After 50 reloads</th><th>After 200 reloads</th></tr>\n";
    for (const WineRow& row : WINE_MEASURES)
        html += std::string("<tr><td>") + row.songs + "</td><td class=\"figure\">" + row.first_load +
                "</td><td class=\"figure\">" + row.after_50 + "</td><td class=\"figure\">" + row.after_200 +
                "</td></tr>\n";
    html += "</table>\n"
            "<p>A radio without that check counted, with no songs, 28, 1&nbsp;228 and 4&nbsp;828 threads (55 MB, "
            "1.2 GB, 4.7 GB), and with <code>.mp3</code> songs 35, 335 and 1&nbsp;235 threads. Your songs may carry "
            "any of the four extensions; the songs that play keep 25 threads of Wine's framework for as long as "
            "the simulator runs, however often the panel loads.</p>\n";
    html += "<h3>Which songs play under Wine</h3>\n" + readme_section("Running the simulator under Wine") + "</section>\n";
    return html;
}

std::string document(const manual::BenchProcess& process)
{
    GaugeFacts radio = gauge_facts(process, manual::radio_manual());
    GaugeFacts autopilot = gauge_facts(process, manual::autohelm_manual());
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
                       escape(TITLE) + "</title>\n<style>" + STYLE + "</style>\n</head>\n<body>\n";
    html += "<header>\n<h1>" + escape(TITLE) +
            "</h1>\n<p class=\"subtitle\">The pilot's manual of the cockpit radio and the autopilot panel</p>\n"
            "</header>\n<nav>\n<ol>\n"
            "<li><a href=\"#gauges\">The two gauges</a></li>\n"
            "<li><a href=\"#installing\">Installing</a></li>\n"
            "<li><a href=\"#radio\">The radio</a></li>\n"
            "<li><a href=\"#autopilot\">The autopilot panel</a></li>\n"
            "<li><a href=\"#messages\">Messages</a></li>\n"
            "<li><a href=\"#wine\">Running the simulator under Wine</a></li>\n</ol>\n</nav>\n<main>\n";
    html += gauges_section(radio, autopilot);
    html += installing_section(process, radio, autopilot);
    html += radio_section(process, radio);
    html += autopilot_section(process, autopilot);
    html += messages_section();
    html += wine_section();
    html += "</main>\n<footer>\n<p>" + escape(TITLE) + "</p>\n</footer>\n</body>\n</html>\n";
    return html;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: manual OUT.html\n");
        return 2;
    }
    std::string html;
    try {
        // The bench works in a folder of its own; OUT is written from the folder the run began in.
        manual::BenchProcess process;
        std::string error;
        if (!process.start(error))
            fail(error);
        html = document(process);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "manual: %s\n", failure.why.c_str());
        return 1;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << html;
    out.close();
    if (!out) {
        std::fprintf(stderr, "manual: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
