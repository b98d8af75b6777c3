// Reading bitmap resources, well made and damaged.
#include "panelhost/host/bitmap.h"
#include "panelhost/base/limits.h"
#include "tools/art/bitmap_writer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<std::uint8_t> sample()
{
    tools::PaletteImage image(5, 3);
    image.palette[1] = {255, 0, 0};
    image.palette[2] = {0, 0, 255};
    image.at(0, 0) = 1;   // top left red
    image.at(4, 2) = 2;   // bottom right blue
    return tools::dib_bytes(image);
}

TEST(BitmapReader, ReadsAPaletteImageTopRowFirst)
{
    std::vector<std::uint8_t> bytes = sample();
    panelhost::Bitmap bitmap;
    std::string error;
    ASSERT_TRUE(panelhost::read_dib(bytes.data(), bytes.size(), bitmap, error)) << error;
    EXPECT_EQ(bitmap.width, 5);
    EXPECT_EQ(bitmap.height, 3);
    EXPECT_EQ(bitmap.bits_per_pixel, 8);
    EXPECT_EQ(bitmap.palette_size, 256);
    EXPECT_EQ(bitmap.pixels[0], 0xFF0000u);
    EXPECT_EQ(bitmap.pixels[14], 0x0000FFu);
    EXPECT_EQ(bitmap.indices[14], 2);
    EXPECT_EQ(bitmap.pixels[1], 0u);
}

TEST(BitmapReader, RefusesDamagedResourcesWithoutReadingPastThem)
{
    std::vector<std::uint8_t> good = sample();
    struct Case {
        const char* name;
        std::size_t keep;                  // bytes kept of the good image
        std::size_t patch_at;
        std::vector<std::uint8_t> patch;   // bytes written at patch_at
        const char* error_start;
    } cases[] = {
        {"empty", 0, 0, {}, "shorter than"},
        {"header cut", 39, 0, {}, "shorter than"},
        {"palette cut", 40 + 100, 0, {}, "palette runs past"},
        {"last row cut", good.size() - 1, 0, {}, "pixel rows run past"},
        {"zero width", good.size(), 4, {0, 0, 0, 0}, "bitmap size 0"},
        {"huge height", good.size(), 8, {0, 0, 0, 0x40}, "bitmap size"},
        {"compressed", good.size(), 16, {1}, "compressed"},
        {"odd depth", good.size(), 14, {7}, "bitmap depth 7"},
        {"header size past end", good.size(), 0, {0xFF, 0xFF, 0xFF, 0x7F}, "bitmap info header size"},
        {"too many colours", good.size(), 32, {0, 2, 0, 0}, "palette of 512"},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(c.keep));
        for (std::size_t i = 0; i < c.patch.size(); ++i)
            bytes[c.patch_at + i] = c.patch[i];
        panelhost::Bitmap bitmap;
        std::string error;
        EXPECT_FALSE(panelhost::read_dib(bytes.data(), bytes.size(), bitmap, error)) << c.name;
        EXPECT_EQ(error.rfind(c.error_start, 0), 0u) << c.name << ": got " << error;
    }
}

// A bitmap is a picture like any other: at most MAX_PICTURE_SIDE a side, refused past it before
// its pixels are read, even when the resource holds them all.
TEST(BitmapReader, ABitmapIsAtMostTheLargestPicture)
{
    struct Case {
        const char* name;
        int width, height;
        bool read;
    } cases[] = {
        {"the widest", int(panelhost::MAX_PICTURE_SIDE), 1, true},
        {"the highest", 1, int(panelhost::MAX_PICTURE_SIDE), true},
        {"a pixel wider", int(panelhost::MAX_PICTURE_SIDE) + 1, 1, false},
        {"a pixel higher", 1, int(panelhost::MAX_PICTURE_SIDE) + 1, false},
    };
    for (const Case& c : cases) {
        tools::PaletteImage image(c.width, c.height);
        std::vector<std::uint8_t> bytes = tools::dib_bytes(image);
        panelhost::Bitmap bitmap;
        std::string error;
        EXPECT_EQ(panelhost::read_dib(bytes.data(), bytes.size(), bitmap, error), c.read) << c.name << ": " << error;
        if (!c.read) {
            EXPECT_EQ(error, "bitmap size " + std::to_string(c.width) + " x " + std::to_string(c.height) + " out of range")
                << c.name;
        }
    }
}

TEST(BitmapReader, ReadsTopDownAndTrueColourRows)
{
    // 2 x 2, 24 bits, top-down: rows padded to 8 bytes
    std::vector<std::uint8_t> bytes(40, 0);
    bytes[0] = 40;
    bytes[4] = 2;
    std::int32_t height = -2;
    std::memcpy(&bytes[8], &height, 4);
    bytes[12] = 1;
    bytes[14] = 24;
    const std::uint8_t rows[] = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 1, 2, 3, 0, 0};
    bytes.insert(bytes.end(), std::begin(rows), std::end(rows));
    panelhost::Bitmap bitmap;
    std::string error;
    ASSERT_TRUE(panelhost::read_dib(bytes.data(), bytes.size(), bitmap, error)) << error;
    EXPECT_EQ(bitmap.pixels[0], 0xFF0000u) << "top left is the first row stored";
    EXPECT_EQ(bitmap.pixels[1], 0x00FF00u);
    EXPECT_EQ(bitmap.pixels[2], 0x0000FFu);
    EXPECT_EQ(bitmap.pixels[3], 0x030201u);
}

}  // namespace
