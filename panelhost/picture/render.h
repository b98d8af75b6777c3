// Drawing the gauge as the host would draw it now, to a PNG picture.
#pragma once

#include "host/panel_host.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace panelhost {

class Host;

// An RGB picture, 0x00RRGGBB per pixel, top row first.
struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    Canvas(int w, int h) : width(w), height(h), pixels(std::size_t(w) * std::size_t(h), 0) {}
    void put(int x, int y, std::uint32_t colour)
    {
        if (x >= 0 && y >= 0 && x < width && y < height)
            pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] = colour;
    }
    std::uint32_t get(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    // Mixes colour over the pixel by coverage 0..255.
    void blend(int x, int y, std::uint32_t colour, unsigned coverage);
};

// The point a needle turns toward for a value: the table's points interpolated between the two
// rows whose values enclose it; a value beyond the table takes the nearest end row's point.
struct NeedleTarget {
    double x = 0;
    double y = 0;
};
NeedleTarget needle_target(const NONLINEARITY* table, std::uint32_t rows, double value);

// The needle's turn in radians, clockwise on the screen from the picture's own direction (to
// the right of its pivot). With a table: toward the table's point. Without one: the value in
// degrees.
double needle_angle(const ELEMENT_NEEDLE& needle, double value);

// The font file that serves a face name: metric-compatible free fonts stand in for the
// Windows faces ("Courier New" is a monospaced face of the same widths).
std::string font_file(const char* face_name, std::int32_t weight);

// How the drawing shows the hot spots: not at all, each labelled with its tooltip, event or help
// id, or each with its number, counting in table order over the panel's gauges.
enum class HotSpots { None, Labelled, Numbered };

// Why the panel's picture cannot be made, in one line; empty when it can. A gauge alone without a
// background picture has no size; a window of no size (a section whose gauges only run, never
// drawn) has no picture; a window larger than MAX_PICTURE_SIDE on a side is refused before any
// of its memory is asked for. draw_panel refuses with these words; a live panel can answer with
// them too.
std::string picture_refusal(const Host& host);

// Draws the panel as the host would draw it now: a gauge alone, its visible elements in tree
// order at the background's size; a window, each gauge so drawn and put into its box, over the
// gauges of the lines before it (a gauge that is never drawn adds nothing). Then the hot spots,
// as asked. A picture it cannot make, by picture_refusal or for want of memory, is a refusal of
// one line in the error.
std::optional<Canvas> draw_panel(const Host& host, HotSpots hot_spots, std::string& error);
// The same, written to a PNG file.
bool render_gauge(const Host& host, const std::string& path, HotSpots hot_spots, std::string& error);

// The picture as a PNG file, made anew or over a file (or a device: /dev/null); a folder, a FIFO
// (it would hold the bench until something read it) or a socket is refused.
bool write_png(const Canvas& canvas, const std::string& path, std::string& error);
// The same picture as the bytes of a PNG file, for a document that carries its pictures inline;
// fast, compressed less and sooner, for a picture that is shown at once and thrown away.
bool encode_png(const Canvas& canvas, std::vector<std::uint8_t>& bytes, std::string& error, bool fast = false);

}  // namespace panelhost
