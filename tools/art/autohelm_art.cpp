// Draws the autopilot panel's four bitmaps: autohelm_art DIR writes background.bmp (101),
// lever_down.bmp (102), lever_up.bmp (105) and knob.bmp (106) into DIR, the same bytes on every run.
#include "autohelm/autohelm_layout.h"
#include "tools/art/bitmap_writer.h"

#include <cstdio>
#include <string>

namespace {

using tools::PaletteImage;
using namespace autohelm_layout;

// the lever's palette: black, then four greys from shadow to highlight
constexpr std::uint8_t BLACK = 0, SHADOW = 1, GREY = 2, LIGHT = 3, HIGHLIGHT = 4;

PaletteImage background()
{
    return PaletteImage(PANEL_WIDTH, PANEL_HEIGHT);   // every pixel palette index 0, black
}

// The lever down: a pivot on the middle line, the shaft running down from it and a grip at its
// end, shaded from the left. Nothing is drawn above the middle line.
PaletteImage lever_down()
{
    PaletteImage image(LEVER_WIDTH, LEVER_HEIGHT);
    image.palette[BLACK] = {0, 0, 0};
    image.palette[SHADOW] = {64, 64, 64};
    image.palette[GREY] = {128, 128, 128};
    image.palette[LIGHT] = {176, 176, 176};
    image.palette[HIGHLIGHT] = {224, 224, 224};
    int middle = LEVER_HEIGHT / 2;
    // the pivot: a plate across the switch
    image.fill_rect(8, middle, 28, 6, SHADOW);
    image.fill_rect(8, middle, 28, 1, GREY);
    // the shaft
    image.fill_rect(18, middle + 6, 8, 24, GREY);
    image.fill_rect(18, middle + 6, 2, 24, LIGHT);
    image.fill_rect(24, middle + 6, 2, 24, SHADOW);
    // the grip, with rounded corners
    image.fill_rect(13, middle + 30, 18, 10, GREY);
    image.fill_rect(13, middle + 30, 18, 2, HIGHLIGHT);
    image.fill_rect(13, middle + 30, 2, 10, LIGHT);
    image.fill_rect(29, middle + 30, 2, 10, SHADOW);
    image.fill_rect(13, middle + 38, 18, 2, SHADOW);
    for (int x : {13, 30})
        for (int y : {middle + 30, middle + 39})
            image.set(x, y, BLACK);
    return image;
}

// The lever up: the pixels of the lever down, mirrored top to bottom.
PaletteImage lever_up()
{
    PaletteImage down = lever_down();
    PaletteImage image = down;
    for (int y = 0; y < down.height; ++y)
        for (int x = 0; x < down.width; ++x)
            image.at(x, y) = down.at(x, down.height - 1 - y);
    return image;
}

PaletteImage knob()
{
    PaletteImage image(KNOB_SIDE, KNOB_SIDE);
    image.palette[1] = {41, 16, 8};
    image.fill_rect(0, 0, KNOB_SIDE, KNOB_SIDE, 1);
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: autohelm_art DIR\n");
        return 2;
    }
    std::string dir = argv[1];
    struct Output {
        const char* name;
        PaletteImage image;
    };
    const Output outputs[] = {
        {"background.bmp", background()},
        {"lever_down.bmp", lever_down()},
        {"lever_up.bmp", lever_up()},
        {"knob.bmp", knob()},
    };
    for (const Output& output : outputs) {
        std::string path = dir + "/" + output.name;
        if (!base::write_file(path, tools::bmp_file_bytes(output.image))) {
            std::fprintf(stderr, "autohelm_art: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
