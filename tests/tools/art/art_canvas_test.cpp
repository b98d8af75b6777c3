// The artwork canvas: smooth edges, glows that stay within their reach, the display face, and the
// reduction to a palette that keeps black for transparency alone.
#include "tools/art/art_canvas.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

namespace {

art::Rgb palette_colour(const tools::PaletteImage& image, int x, int y)
{
    const tools::Colour& colour = image.palette[image.at(x, y)];
    return {colour.red, colour.green, colour.blue};
}

TEST(ArtCanvas, ShapeEdgesCoverWhatTheyCross)
{
    const struct {
        const char* name;
        art::Shape shape;
        int x, y;
        int coverage;
    } cases[] = {
        {"inside a whole-pixel rectangle", art::rectangle(2, 2, 5, 5), 3, 3, 255},
        {"just outside a whole-pixel rectangle", art::rectangle(2, 2, 5, 5), 5, 3, 0},
        {"on a half-pixel edge", art::rectangle(2, 2, 5.5, 5), 5, 3, 128},
        {"the corner cut off a rounded rectangle", art::rounded_rectangle(0, 0, 10, 10, 4), 0, 0, 0},
        {"the middle of a disc", art::disc(5, 5, 3), 4, 4, 255},
        {"outside a ring's hole", art::ring(5, 5, 2, 4), 4, 4, 0},
    };
    for (const auto& c : cases) {
        art::Mask mask = art::coverage(c.shape, 12, 12);
        EXPECT_EQ(mask.at(c.x, c.y), c.coverage) << c.name;
    }
}

// The radio's overlays rely on it: a glow of radius r reaches 2r pixels and no further.
TEST(ArtCanvas, GlowReachesTwiceItsRadiusAndNoFurther)
{
    art::Mask point(21, 21);
    point.cover[10 * 21 + 10] = 255 * 25;  // bright enough that the faintest spread does not round to 0
    art::Mask glow = art::blurred(point, 2);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x) {
            bool within = std::abs(x - 10) <= 4 && std::abs(y - 10) <= 4;
            EXPECT_EQ(glow.at(x, y) > 0, within) << "pixel " << x << ", " << y << " holds " << glow.at(x, y);
        }
}

TEST(ArtCanvas, DisplayFaceDrawsItsDotsAndRefusesUnknownCharacters)
{
    // '1' in the 5 x 7 face: the stem is the middle column, the foot spans three
    art::Mask one = art::coverage(art::text("1", 0, 0, 4, 3), 20, 28);
    EXPECT_EQ(one.at(9, 1), 255) << "the stem's top dot";
    EXPECT_EQ(one.at(1, 1), 0) << "nothing in the first column's top cell";
    EXPECT_EQ(one.at(5, 25), 255) << "the foot's left dot";
    EXPECT_EQ(one.at(11, 1), 0) << "the gap between two dots";
    EXPECT_EQ(art::text_width("FM 101", 4), 140);
    EXPECT_THROW(art::text("fm", 0, 0, 1, 1), std::invalid_argument);
}

TEST(ArtCanvas, FewColoursAreKeptExactly)
{
    art::Picture picture(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            picture.at(x, y) = (x + y) % 5 == 0 ? art::BLACK : art::Rgb{x * 16, y * 16, 200};
    tools::PaletteImage image = art::to_palette(picture);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(palette_colour(image, x, y), picture.at(x, y)) << "pixel " << x << ", " << y;
            EXPECT_EQ(image.at(x, y) == 0, picture.at(x, y) == art::BLACK) << "pixel " << x << ", " << y;
        }
}

// With more colours than the palette holds, near-black colours share entries, and none of them
// may become black, the colour the host leaves transparent.
TEST(ArtCanvas, ManyColoursNeverBecomeBlackAndStayClose)
{
    art::Picture picture(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            picture.at(x, y) = {x % 2, (x / 2) % 2, y % 2 == 0 ? 0 : x * 4};
    picture.at(0, 0) = art::BLACK;
    for (int i = 0; i < 64 * 8; ++i)
        picture.at(i % 64, 8 + i / 64) = {i % 256, (i * 7) % 256, (i * 13) % 256};
    tools::PaletteImage image = art::to_palette(picture);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            art::Rgb want = picture.at(x, y), got = palette_colour(image, x, y);
            if (want == art::BLACK) {
                EXPECT_EQ(image.at(x, y), 0) << "black pixel " << x << ", " << y;
                continue;
            }
            ASSERT_NE(image.at(x, y), 0) << "pixel " << x << ", " << y << " went to the transparent index";
            ASSERT_NE(got, art::BLACK) << "pixel " << x << ", " << y << " turned black";
            int error = std::abs(want.red - got.red) + std::abs(want.green - got.green) + std::abs(want.blue - got.blue);
            EXPECT_LE(error, 96) << "pixel " << x << ", " << y;
        }
}

}  // namespace
