// Writing 8-bit palette bitmaps, as the generators of the modules' artwork make them.
#pragma once

#include <array>

#include "base/bytes.h"
#include <cstdint>
#include <string>
#include <vector>

namespace tools {

struct Colour {
    std::uint8_t red, green, blue;
};

// An 8-bit palette picture: pixel (x, y) with y downward holds a palette index.
struct PaletteImage {
    int width = 0;
    int height = 0;
    std::array<Colour, 256> palette{};
    std::vector<std::uint8_t> pixels;

    PaletteImage() = default;
    PaletteImage(int w, int h) : width(w), height(h), pixels(std::size_t(w) * std::size_t(h), 0) {}

    std::uint8_t& at(int x, int y) { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    std::uint8_t at(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    void set(int x, int y, std::uint8_t index)
    {
        if (x >= 0 && y >= 0 && x < width && y < height)
            at(x, y) = index;
    }
    void fill_rect(int x, int y, int w, int h, std::uint8_t index)
    {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                set(i, j, index);
    }
};

using base::put16;
using base::put32;

// The picture as a bitmap resource holds it: info header, 256-entry palette, bottom-up rows.
inline std::vector<std::uint8_t> dib_bytes(const PaletteImage& image)
{
    std::vector<std::uint8_t> out;
    std::uint32_t stride = (std::uint32_t(image.width) + 3) & ~3u;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(image.width));
    put32(out, static_cast<std::uint32_t>(image.height));
    put16(out, 1);
    put16(out, 8);
    put32(out, 0);
    put32(out, stride * std::uint32_t(image.height));
    put32(out, 2835);   // 72 dots per inch
    put32(out, 2835);
    put32(out, 256);
    put32(out, 0);
    for (const Colour& colour : image.palette) {
        out.push_back(colour.blue);
        out.push_back(colour.green);
        out.push_back(colour.red);
        out.push_back(0);
    }
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x)
            out.push_back(image.at(x, y));
        for (std::uint32_t pad = std::uint32_t(image.width); pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

// The picture as a .bmp file: the 14-byte file header, then the resource bytes.
inline std::vector<std::uint8_t> bmp_file_bytes(const PaletteImage& image)
{
    std::vector<std::uint8_t> dib = dib_bytes(image);
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, static_cast<std::uint32_t>(14 + dib.size()));
    put32(out, 0);
    put32(out, 14 + 40 + 256 * 4);
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

}  // namespace tools
