// radio_art_sheet RESOURCES OUT [--hotspots]: composes the radio's bitmaps as the host draws them,
// to look at: the radio off, on in CD mode playing track 7, on FM preset 4 and on AM preset 5
// (OUT/off.png, cd.png, fm4.png, am5.png, and all four enlarged in OUT/sheet.png), and the display
// with each of the 13 station pictures (OUT/stations.png). --hotspots outlines the hot spots in
// red and the elements' boxes in green.
#include "panelhost/host/bitmap.h"
#include "panelhost/picture/render.h"
#include "radio/gauge/radio_layout.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>

namespace {

using panelhost::Bitmap;
using panelhost::Canvas;
namespace layout = radio_layout;

std::map<int, Bitmap> load_bitmaps(const std::string& dir)
{
    std::map<int, Bitmap> bitmaps;
    auto load = [&](int id) {
        std::string path = dir + "/bitmap_" + std::to_string(id) + ".bmp";
        std::ifstream file(path, std::ios::binary);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::string error;
        if (bytes.size() <= 14 || !panelhost::read_dib(bytes.data() + 14, bytes.size() - 14, bitmaps[id], error))
            throw std::runtime_error("cannot read " + path + (error.empty() ? "" : ": " + error));
    };
    for (int id : {layout::BACKGROUND_ID, layout::LIGHTING_ID, layout::POWER_LIGHT_ID, layout::NEEDLE_ID})
        load(id);
    for (int i = 0; i < layout::STATION_PICTURES; ++i)
        load(layout::STATION_ID + i);
    for (int i = 0; i < layout::PRESET_PICTURES; ++i)
        load(layout::PRESET_ID + i);
    for (int i = 0; i < layout::MODE_PICTURES; ++i)
        load(layout::MODE_ID + i);
    return bitmaps;
}

void draw(Canvas& canvas, const Bitmap& bitmap, int left, int top, bool transparent)
{
    for (int y = 0; y < bitmap.height; ++y)
        for (int x = 0; x < bitmap.width; ++x) {
            std::uint32_t colour = bitmap.pixels[std::size_t(y) * std::size_t(bitmap.width) + std::size_t(x)];
            if (!(transparent && colour == 0))
                canvas.put(left + x, top + y, colour);
        }
}

// The needle turned about its pivot toward the table's point for value, as the bench turns it.
void draw_needle(Canvas& canvas, const Bitmap& bitmap, double value)
{
    NONLINEARITY table[std::size(layout::NEEDLE_TABLE)];
    for (std::size_t i = 0; i < std::size(table); ++i)
        table[i] = {{layout::NEEDLE_TABLE[i].point.x, layout::NEEDLE_TABLE[i].point.y}, double(layout::NEEDLE_TABLE[i].value)};
    ELEMENT_NEEDLE needle{};
    needle.header.position = {layout::KNOB_CENTRE.x, layout::KNOB_CENTRE.y};
    needle.header.offset = {layout::NEEDLE_PIVOT.x, layout::NEEDLE_PIVOT.y};
    needle.nonlinearity = table;
    needle.nonlinearity_count = std::size(table);
    double angle = panelhost::needle_angle(needle, value);
    double cosine = std::cos(angle), sine = std::sin(angle);
    double pivot_x = needle.header.position.x + 0.5, pivot_y = needle.header.position.y + 0.5;
    double origin_x = needle.header.offset.x + 0.5, origin_y = needle.header.offset.y + 0.5;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            double dx = x + 0.5 - pivot_x, dy = y + 0.5 - pivot_y;
            int px = static_cast<int>(std::floor(cosine * dx + sine * dy + origin_x));
            int py = static_cast<int>(std::floor(-sine * dx + cosine * dy + origin_y));
            if (px < 0 || py < 0 || px >= bitmap.width || py >= bitmap.height)
                continue;
            std::uint32_t colour = bitmap.pixels[std::size_t(py) * std::size_t(bitmap.width) + std::size_t(px)];
            if (colour != 0)
                canvas.put(x, y, colour);
        }
}

// The CD track's two digits, centred in their box in the face that serves the gauge's font.
void draw_track(Canvas& canvas, const std::string& digits)
{
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) != 0)
        throw std::runtime_error("the font rasteriser did not start");
    std::string font = panelhost::font_file(layout::TRACK_FONT, layout::TRACK_FONT_WEIGHT);
    if (FT_New_Face(library, font.c_str(), 0, &face) != 0) {
        FT_Done_FreeType(library);
        throw std::runtime_error("cannot read font " + font);
    }
    layout::Box box = layout::TRACK_TEXT_BOX;
    double em = std::min(box.height * 0.8, box.width / (double(digits.size()) * 0.62));
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::floor(em)));
    long width = 0;
    for (unsigned char c : digits)
        if (FT_Load_Char(face, c, FT_LOAD_DEFAULT) == 0)
            width += face->glyph->advance.x;
    int ascender = static_cast<int>(face->size->metrics.ascender >> 6);
    int descender = static_cast<int>(face->size->metrics.descender >> 6);
    int baseline = box.y + (box.height - (ascender - descender)) / 2 + ascender;
    long pen = static_cast<long>(box.x + (box.width - static_cast<int>(width >> 6)) / 2) << 6;
    const layout::Colour track = layout::TRACK_COLOUR;
    const std::uint32_t colour = std::uint32_t(track.red) << 16 | std::uint32_t(track.green) << 8 | std::uint32_t(track.blue);
    for (unsigned char c : digits) {
        if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlot glyph = face->glyph;
        for (unsigned row = 0; row < glyph->bitmap.rows; ++row)
            for (unsigned column = 0; column < glyph->bitmap.width; ++column) {
                int x = static_cast<int>(pen >> 6) + glyph->bitmap_left + static_cast<int>(column);
                int y = baseline - glyph->bitmap_top + static_cast<int>(row);
                if (box.x <= x && x < box.right() && box.y <= y && y < box.bottom())
                    canvas.blend(x, y, colour, glyph->bitmap.buffer[row * unsigned(glyph->bitmap.pitch) + column]);
            }
        pen += glyph->advance.x;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

void outline(Canvas& canvas, layout::Box box, std::uint32_t colour)
{
    for (int x = box.x; x < box.right(); ++x) {
        canvas.put(x, box.y, colour);
        canvas.put(x, box.bottom() - 1, colour);
    }
    for (int y = box.y; y < box.bottom(); ++y) {
        canvas.put(box.x, y, colour);
        canvas.put(box.right() - 1, y, colour);
    }
}

void outline_layout(Canvas& canvas)
{
    const std::uint32_t hot = 0xFF4040, element = 0x40FF40;
    for (layout::Box box : {layout::POWER_BUTTON, layout::DOOR_BUTTON, layout::VOLUME_UP, layout::VOLUME_DOWN,
                            layout::PREVIOUS_TRACK, layout::NEXT_TRACK, layout::PAUSE_BUTTON})
        outline(canvas, box, hot);
    for (layout::Box box : layout::MODE_BUTTONS)
        outline(canvas, box, hot);
    for (layout::Box box : layout::PRESET_BUTTONS)
        outline(canvas, box, hot);
    for (layout::Box box : {layout::LIGHTING_BOX, layout::POWER_LIGHT_BOX, layout::STATION_BOX, layout::PRESET_BOX,
                            layout::MODE_BOX, layout::TRACK_TEXT_BOX})
        outline(canvas, box, element);
}

struct Scene {
    const char* name;
    bool on;
    int station, preset, mode;
    double volume;
    const char* track;  // the digits the host writes while a disc plays, or null
};

constexpr Scene SCENES[] = {
    {"off", false, 0, 0, 0, -15000, nullptr},
    {"cd", true, 0, 6, 0, -8000, "07"},
    {"fm4", true, 4, 3, 1, -2000, nullptr},
    {"am5", true, 11, 4, 2, -6000, nullptr},
};

Canvas compose(const std::map<int, Bitmap>& bitmaps, const Scene& scene, bool hotspots)
{
    Canvas canvas(layout::FRONT_WIDTH, layout::FRONT_HEIGHT);
    draw(canvas, bitmaps.at(layout::BACKGROUND_ID), 0, 0, false);
    if (scene.on) {
        auto overlay = [&](int id, layout::Box box) { draw(canvas, bitmaps.at(id), box.x, box.y, true); };
        overlay(layout::LIGHTING_ID, layout::LIGHTING_BOX);
        overlay(layout::POWER_LIGHT_ID, layout::POWER_LIGHT_BOX);
        overlay(layout::STATION_ID + scene.station, layout::STATION_BOX);
        overlay(layout::PRESET_ID + scene.preset, layout::PRESET_BOX);
        overlay(layout::MODE_ID + scene.mode, layout::MODE_BOX);
    }
    draw_needle(canvas, bitmaps.at(layout::NEEDLE_ID), scene.volume);
    if (scene.track)
        draw_track(canvas, scene.track);
    if (hotspots)
        outline_layout(canvas);
    return canvas;
}

// The pictures one above the other, each enlarged scale times, on a grey ground.
Canvas stacked(const std::vector<Canvas>& pictures, int scale)
{
    const int gap = 8;
    int width = 0, height = gap;
    for (const Canvas& picture : pictures) {
        width = std::max(width, picture.width * scale + 2 * gap);
        height += picture.height * scale + gap;
    }
    Canvas sheet(width, height);
    std::fill(sheet.pixels.begin(), sheet.pixels.end(), 0x808080u);
    int top = gap;
    for (const Canvas& picture : pictures) {
        for (int y = 0; y < picture.height * scale; ++y)
            for (int x = 0; x < picture.width * scale; ++x)
                sheet.put(gap + x, top + y, picture.get(x / scale, y / scale));
        top += picture.height * scale + gap;
    }
    return sheet;
}

void save(const Canvas& canvas, const std::string& path)
{
    std::string error;
    if (!panelhost::write_png(canvas, path, error))
        throw std::runtime_error(error);
}

}  // namespace

int main(int argc, char** argv)
{
    bool hotspots = argc == 4 && std::string(argv[3]) == "--hotspots";
    if (argc != 3 && !hotspots) {
        std::fprintf(stderr, "usage: radio_art_sheet RESOURCES OUT [--hotspots]\n");
        return 2;
    }
    std::string out = argv[2];
    try {
        std::map<int, Bitmap> bitmaps = load_bitmaps(argv[1]);
        std::vector<Canvas> scenes;
        for (const Scene& scene : SCENES) {
            scenes.push_back(compose(bitmaps, scene, hotspots));
            save(scenes.back(), out + "/" + scene.name + ".png");
        }
        save(stacked(scenes, 2), out + "/sheet.png");
        std::vector<Canvas> displays;
        // the display window and a little of the face round it
        const layout::Box bezel = layout::DISPLAY_BEZEL;
        const layout::Box window = {bezel.x - 3, bezel.y - 4, bezel.width + 5, bezel.height + 7};
        for (int station = 0; station < layout::STATION_PICTURES; ++station) {
            Scene scene = {"station", true, station, 0, station == 0 ? 0 : station <= 6 ? 1 : 2, -5000, nullptr};
            Canvas whole = compose(bitmaps, scene, false);
            Canvas part(window.width, window.height);
            for (int y = 0; y < window.height; ++y)
                for (int x = 0; x < window.width; ++x)
                    part.put(x, y, whole.get(window.x + x, window.y + y));
            displays.push_back(part);
        }
        save(stacked(displays, 2), out + "/stations.png");
    } catch (const std::exception& fault) {
        std::fprintf(stderr, "radio_art_sheet: %s\n", fault.what());
        return 1;
    }
    return 0;
}
