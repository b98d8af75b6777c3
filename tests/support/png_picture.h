// A PNG written by the bench, read back as RGB pixels for the render tests, from a file or from
// the bytes a document carries inline.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    // The pixel at (x, y) as 0xRRGGBB.
    std::uint32_t at(int x, int y) const
    {
        std::size_t i = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
        return std::uint32_t(rgb[i]) << 16 | std::uint32_t(rgb[i + 1]) << 8 | rgb[i + 2];
    }
};

// The picture in the file; an empty one (0 x 0) when it cannot be read.
Picture read_png(const std::string& path);
// The picture in a PNG file's bytes; an empty one when they do not decode.
Picture decode_png(const std::uint8_t* bytes, std::size_t size);

}  // namespace test_support
