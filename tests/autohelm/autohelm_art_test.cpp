// The autopilot panel's committed bitmaps: sizes, depth, palettes and what they show.
#include "panelhost/host/bitmap.h"
#include "tests/support/bitmap_file.h"

#include <gtest/gtest.h>

namespace {

panelhost::Bitmap read_bitmap(const std::string& name)
{
    return test_support::read_bitmap_file(std::string(AUTOHELM_RESOURCE_DIR) + "/" + name);
}

bool is_grey(std::uint32_t colour)
{
    std::uint32_t red = colour >> 16 & 0xFF, green = colour >> 8 & 0xFF, blue = colour & 0xFF;
    return red == green && green == blue && red != 0;
}

TEST(AutohelmArt, SizesAndDepth)
{
    struct Expected {
        const char* file;
        int width, height;
    };
    const Expected expected[] = {
        {"background.bmp", 300, 137},
        {"lever_down.bmp", 44, 84},
        {"lever_up.bmp", 44, 84},
        {"knob.bmp", 76, 76},
    };
    for (const Expected& e : expected) {
        panelhost::Bitmap bitmap = read_bitmap(e.file);
        EXPECT_EQ(bitmap.width, e.width) << e.file;
        EXPECT_EQ(bitmap.height, e.height) << e.file;
        EXPECT_EQ(bitmap.bits_per_pixel, 8) << e.file;
        EXPECT_EQ(bitmap.palette_size, 256) << e.file;
    }
}

TEST(AutohelmArt, BackgroundIsBlackIndexZero)
{
    panelhost::Bitmap background = read_bitmap("background.bmp");
    ASSERT_FALSE(background.indices.empty());
    for (std::size_t i = 0; i < background.indices.size(); ++i)
        ASSERT_EQ(background.indices[i], 0) << "pixel " << i;
    EXPECT_EQ(background.palette[0], 0u);
}

TEST(AutohelmArt, LeverDownIsGreyInTheLowerHalfOnly)
{
    panelhost::Bitmap lever = read_bitmap("lever_down.bmp");
    ASSERT_EQ(lever.pixels.size(), 44u * 84u);
    int grey_below = 0;
    for (int y = 0; y < lever.height; ++y)
        for (int x = 0; x < lever.width; ++x) {
            std::uint32_t colour = lever.pixels[std::size_t(y) * 44 + std::size_t(x)];
            if (y < lever.height / 2)
                ASSERT_EQ(colour, 0u) << "upper half pixel " << x << ", " << y << " is not black";
            else if (colour != 0) {
                ASSERT_TRUE(is_grey(colour)) << "pixel " << x << ", " << y << " is " << std::hex << colour;
                ++grey_below;
            }
        }
    EXPECT_GT(grey_below, 200) << "too little lever drawn";
}

TEST(AutohelmArt, LeverUpIsLeverDownMirroredTopToBottom)
{
    panelhost::Bitmap down = read_bitmap("lever_down.bmp");
    panelhost::Bitmap up = read_bitmap("lever_up.bmp");
    ASSERT_EQ(down.indices.size(), up.indices.size());
    EXPECT_EQ(down.palette, up.palette);
    for (int y = 0; y < 84; ++y)
        for (int x = 0; x < 44; ++x)
            ASSERT_EQ(up.indices[std::size_t(y) * 44 + std::size_t(x)],
                      down.indices[std::size_t(83 - y) * 44 + std::size_t(x)])
                << "pixel " << x << ", " << y;
}

TEST(AutohelmArt, KnobIsOneColour)
{
    panelhost::Bitmap knob = read_bitmap("knob.bmp");
    ASSERT_FALSE(knob.pixels.empty());
    const std::uint32_t expected = 41u << 16 | 16u << 8 | 8u;
    for (std::size_t i = 0; i < knob.pixels.size(); ++i)
        ASSERT_EQ(knob.pixels[i], expected) << "pixel " << i << " is " << std::hex << knob.pixels[i];
}

}  // namespace
