// Device-independent bitmaps as a module's bitmap resources hold them: the info header, the
// palette and the rows, with no file header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace panelhost {

struct Bitmap {
    int width = 0;
    int height = 0;
    int bits_per_pixel = 0;
    int palette_size = 0;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB
    std::vector<std::uint32_t> pixels;   // 0x00RRGGBB, top row first
    std::vector<std::uint8_t> indices;   // palette index per pixel (palette images), top row first
};

// Reads an uncompressed 1, 4, 8, 24 or 32 bits-per-pixel DIB of at most 16384 pixels a side.
// Every read stays inside [data, data + size). On damage it names the fault and answers false.
bool read_dib(const std::uint8_t* data, std::size_t size, Bitmap& bitmap, std::string& error);

}  // namespace panelhost
