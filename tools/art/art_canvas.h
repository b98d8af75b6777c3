// Drawing artwork in RGB with smooth edges, then reducing it to an 8-bit palette picture.
//
// Everything here is integer arithmetic or IEEE-exact floating point (+ - * / and sqrt, no
// contraction into fused operations), so that the same program draws the same bytes on every
// machine.
#pragma once

#include "tools/art/bitmap_writer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace art {

struct Rgb {
    int red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

constexpr Rgb BLACK = {0, 0, 0};

// a + (b - a) * num / den per channel, rounded
Rgb mix(Rgb a, Rgb b, int num, int den);

// A pixel rectangle: columns x .. x + width - 1, rows y .. y + height - 1.
struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    Picture() = default;
    Picture(int w, int h, Rgb colour = BLACK) : width(w), height(h), pixels(std::size_t(w) * std::size_t(h), colour) {}
    Rgb& at(int x, int y) { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    const Rgb& at(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    // Mixes colour over pixel (x, y) by coverage 0..255; points outside are ignored.
    void blend(int x, int y, Rgb colour, int coverage);
};

// A region of the plane in pixel units (pixel (x, y) spans x..x+1, y..y+1), with the pixels it
// may touch. Each pixel is sampled at 4 x 4 points.
struct Shape {
    Rect bounds;
    std::function<bool(double, double)> inside;
};

Shape rectangle(double x0, double y0, double x1, double y1);
Shape rounded_rectangle(double x0, double y0, double x1, double y1, double radius);
Shape disc(double cx, double cy, double radius);
Shape ring(double cx, double cy, double inner, double outer);
Shape triangle(double ax, double ay, double bx, double by, double cx, double cy);
// the points within half_width of the segment from a to b
Shape stroke(double ax, double ay, double bx, double by, double half_width);
Shape united(std::vector<Shape> parts);
Shape intersected(Shape a, Shape b);
Shape subtracted(Shape a, Shape b);
Shape shifted(Shape shape, double dx, double dy);

// Coverage 0..255 per pixel of a picture-sized plane.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<int> cover;

    Mask(int w, int h) : width(w), height(h), cover(std::size_t(w) * std::size_t(h), 0) {}
    int at(int x, int y) const { return cover[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

Mask coverage(const Shape& shape, int width, int height);
// Spreads a mask by two passes of a box blur of the given radius (a soft glow).
Mask blurred(const Mask& mask, int radius);

using Shade = std::function<Rgb(int x, int y)>;
Shade flat(Rgb colour);
// From top at row y0 to bottom at row y1, held beyond them.
Shade vertical(Rgb top, Rgb bottom, int y0, int y1);

void fill(Picture& picture, const Shape& shape, const Shade& shade);
void fill(Picture& picture, const Shape& shape, Rgb colour);
// Mixes colour in by the mask's coverage scaled by strength 0..255, only inside clip.
void fill(Picture& picture, const Mask& mask, Rgb colour, int strength, Rect clip);

// Text in a 5 x 7 face: each lit cell of a glyph is a square of side dot at a pitch of cell
// pixels, the glyphs 6 cells apart. dot == cell draws solid strokes, a smaller dot a dot matrix.
// Knows the digits, the space and the capitals the radio prints; any other character is a fault
// of the caller and throws std::invalid_argument.
Shape text(const std::string& characters, double x, double y, double cell, double dot);
double text_width(const std::string& characters, double cell);
constexpr int GLYPH_ROWS = 7;

// The picture with a palette: black stays index 0 (0, 0, 0); every other colour goes to one of at
// most 255 further entries, never to black, chosen by median cut over the picture's colours.
tools::PaletteImage to_palette(const Picture& picture);

// Pixels of picture within box, as a picture of the box's size.
Picture cropped(const Picture& picture, Rect box);

}  // namespace art
