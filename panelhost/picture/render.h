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

// Draws the panel as the host would draw it now: a gauge alone, its visible elements in tree
// order at the background's size; a window, each gauge so drawn and put into its box, over the
// gauges of the lines before it. Then the hot spots, as asked.
std::optional<Canvas> draw_panel(const Host& host, HotSpots hot_spots, std::string& error);
// The same, written to a PNG file.
bool render_gauge(const Host& host, const std::string& path, HotSpots hot_spots, std::string& error);

bool write_png(const Canvas& canvas, const std::string& path, std::string& error);
// The same picture as the bytes of a PNG file, for a document that carries its pictures inline;
// fast, compressed less and sooner, for a picture that is shown at once and thrown away.
bool encode_png(const Canvas& canvas, std::vector<std::uint8_t>& bytes, std::string& error, bool fast = false);

}  // namespace panelhost
