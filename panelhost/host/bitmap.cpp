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

// What the info header says, and where the palette and the rows lie.
struct Layout {
    std::uint32_t header_size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool top_down = false;
    std::uint16_t bits = 0;
    std::uint32_t palette_size = 0;
    std::size_t stride = 0;         // bytes a row, padded to 32 bits
    std::size_t pixel_offset = 0;   // of the first row
};

// The info header's fields, each checked: its own size, the picture's size, no compression or
// planes, a depth the bench reads, a palette no larger than the depth has colours.
bool read_info_header(const std::uint8_t* data, std::size_t size, Layout& layout, std::string& error)
{
    if (!data || size < INFO_HEADER_SIZE) {
        error = "shorter than a bitmap info header";
        return false;
    }
    layout.header_size = get32(data);
    if (layout.header_size < INFO_HEADER_SIZE || layout.header_size > size) {
        error = "bitmap info header size " + std::to_string(layout.header_size) + " does not fit";
        return false;
    }
    layout.width = static_cast<std::int32_t>(get32(data + 4));
    layout.height = static_cast<std::int32_t>(get32(data + 8));
    std::uint16_t planes = get16(data + 12);
    layout.bits = get16(data + 14);
    std::uint32_t compression = get32(data + 16);
    std::uint32_t colours_used = get32(data + 32);
    layout.top_down = layout.height < 0;
    if (layout.top_down)
        layout.height = -layout.height;
    if (layout.width <= 0 || layout.height <= 0 || layout.width > MAX_PICTURE_SIDE || layout.height > MAX_PICTURE_SIDE) {
        error = "bitmap size " + std::to_string(layout.width) + " x " + std::to_string(layout.height) + " out of range";
        return false;
    }
    if (planes != 1 || compression != 0) {
        error = "compressed or multi-plane bitmaps are not read";
        return false;
    }
    std::uint16_t bits = layout.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
        error = "bitmap depth " + std::to_string(bits) + " is not read";
        return false;
    }
    if (bits <= 8)
        layout.palette_size = colours_used ? colours_used : (1u << bits);
    if (bits <= 8 && layout.palette_size > (1u << bits)) {
        error = "palette of " + std::to_string(layout.palette_size) + " colours for a depth of " + std::to_string(bits);
        return false;
    }
    return true;
}

// The palette and the rows the header gives lie within the resource.
bool within_resource(std::size_t size, Layout& layout, std::string& error)
{
    std::size_t palette_bytes = std::size_t(layout.palette_size) * 4;
    if (size - layout.header_size < palette_bytes) {
        error = "palette runs past the resource";
        return false;
    }
    layout.stride = ((std::size_t(layout.width) * layout.bits + 31) / 32) * 4;
    layout.pixel_offset = layout.header_size + palette_bytes;
    if ((size - layout.pixel_offset) / layout.stride < std::size_t(layout.height)) {
        error = "pixel rows run past the resource";
        return false;
    }
    return true;
}

void read_palette(const std::uint8_t* data, const Layout& layout, Bitmap& bitmap)
{
    for (std::uint32_t i = 0; i < layout.palette_size; ++i) {
        const std::uint8_t* entry = data + layout.header_size + i * 4;
        bitmap.palette.push_back(std::uint32_t(entry[2]) << 16 | std::uint32_t(entry[1]) << 8 | entry[0]);
    }
}

// The rows top first, whichever way the resource holds them; a palette image keeps each pixel's
// index too, and an index past the palette is black.
void read_rows(const std::uint8_t* data, const Layout& layout, Bitmap& bitmap)
{
    const unsigned bits = layout.bits;
    bitmap.pixels.resize(std::size_t(layout.width) * std::size_t(layout.height));
    if (bits <= 8)
        bitmap.indices.resize(bitmap.pixels.size());
    for (std::int64_t row = 0; row < layout.height; ++row) {
        std::int64_t source_row = layout.top_down ? row : layout.height - 1 - row;
        const std::uint8_t* line = data + layout.pixel_offset + std::size_t(source_row) * layout.stride;
        for (std::int64_t x = 0; x < layout.width; ++x) {
            std::size_t at = std::size_t(row) * std::size_t(layout.width) + std::size_t(x);
            std::uint32_t colour = 0;
            if (bits <= 8) {
                std::size_t bit = std::size_t(x) * bits;
                unsigned index = (line[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                bitmap.indices[at] = static_cast<std::uint8_t>(index);
                colour = index < layout.palette_size ? bitmap.palette[index] : 0;
            } else {
                const std::uint8_t* p = line + std::size_t(x) * (bits / 8);
                colour = std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
            }
            bitmap.pixels[at] = colour;
        }
    }
}

}  // namespace

bool read_dib(const std::uint8_t* data, std::size_t size, Bitmap& bitmap, std::string& error)
{
    bitmap = Bitmap{};
    Layout layout;
    if (!read_info_header(data, size, layout, error) || !within_resource(size, layout, error))
        return false;
    bitmap.width = static_cast<int>(layout.width);
    bitmap.height = static_cast<int>(layout.height);
    bitmap.bits_per_pixel = layout.bits;
    bitmap.palette_size = static_cast<int>(layout.palette_size);
    read_palette(data, layout, bitmap);
    read_rows(data, layout, bitmap);
    return true;
}

}  // namespace panelhost
