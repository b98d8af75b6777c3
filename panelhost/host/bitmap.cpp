// Reading the bitmap resources of a module.
#include "panelhost/host/bitmap.h"

#include "base/bytes.h"
#include "panelhost/base/limits.h"

#include <cstring>

namespace panelhost {
namespace {

using base::get16;
using base::get32;

constexpr std::uint32_t INFO_HEADER_SIZE = 40;

}  // namespace

bool read_dib(const std::uint8_t* data, std::size_t size, Bitmap& bitmap, std::string& error)
{
    bitmap = Bitmap{};
    if (!data || size < INFO_HEADER_SIZE) {
        error = "shorter than a bitmap info header";
        return false;
    }
    std::uint32_t header_size = get32(data);
    if (header_size < INFO_HEADER_SIZE || header_size > size) {
        error = "bitmap info header size " + std::to_string(header_size) + " does not fit";
        return false;
    }
    std::int64_t width = static_cast<std::int32_t>(get32(data + 4));
    std::int64_t height = static_cast<std::int32_t>(get32(data + 8));
    std::uint16_t planes = get16(data + 12);
    std::uint16_t bits = get16(data + 14);
    std::uint32_t compression = get32(data + 16);
    std::uint32_t colours_used = get32(data + 32);
    bool top_down = height < 0;
    if (top_down)
        height = -height;
    if (width <= 0 || height <= 0 || width > MAX_PICTURE_SIDE || height > MAX_PICTURE_SIDE) {
        error = "bitmap size " + std::to_string(width) + " x " + std::to_string(height) + " out of range";
        return false;
    }
    if (planes != 1 || compression != 0) {
        error = "compressed or multi-plane bitmaps are not read";
        return false;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
        error = "bitmap depth " + std::to_string(bits) + " is not read";
        return false;
    }
    std::uint32_t palette_size = 0;
    if (bits <= 8) {
        palette_size = colours_used ? colours_used : (1u << bits);
        if (palette_size > (1u << bits)) {
            error = "palette of " + std::to_string(palette_size) + " colours for a depth of " + std::to_string(bits);
            return false;
        }
    }
    std::size_t palette_bytes = std::size_t(palette_size) * 4;
    if (size - header_size < palette_bytes) {
        error = "palette runs past the resource";
        return false;
    }
    std::size_t stride = ((std::size_t(width) * bits + 31) / 32) * 4;
    std::size_t pixel_offset = header_size + palette_bytes;
    if ((size - pixel_offset) / stride < std::size_t(height)) {
        error = "pixel rows run past the resource";
        return false;
    }

    bitmap.width = static_cast<int>(width);
    bitmap.height = static_cast<int>(height);
    bitmap.bits_per_pixel = bits;
    bitmap.palette_size = static_cast<int>(palette_size);
    for (std::uint32_t i = 0; i < palette_size; ++i) {
        const std::uint8_t* entry = data + header_size + i * 4;
        bitmap.palette.push_back(std::uint32_t(entry[2]) << 16 | std::uint32_t(entry[1]) << 8 | entry[0]);
    }
    bitmap.pixels.resize(std::size_t(width) * std::size_t(height));
    if (bits <= 8)
        bitmap.indices.resize(bitmap.pixels.size());
    for (std::int64_t row = 0; row < height; ++row) {
        std::int64_t source_row = top_down ? row : height - 1 - row;
        const std::uint8_t* line = data + pixel_offset + std::size_t(source_row) * stride;
        for (std::int64_t x = 0; x < width; ++x) {
            std::size_t at = std::size_t(row) * std::size_t(width) + std::size_t(x);
            std::uint32_t colour = 0;
            if (bits <= 8) {
                std::size_t bit = std::size_t(x) * bits;
                unsigned index = (line[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                bitmap.indices[at] = static_cast<std::uint8_t>(index);
                colour = index < palette_size ? bitmap.palette[index] : 0;
            } else {
                const std::uint8_t* p = line + std::size_t(x) * (bits / 8);
                colour = std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
            }
            bitmap.pixels[at] = colour;
        }
    }
    return true;
}

}  // namespace panelhost
