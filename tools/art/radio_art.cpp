// Draws the radio's 27 bitmaps: radio_art DIR writes bitmap_ID.bmp for each resource id into DIR,
// the same bytes on every run.
//
// The front is drawn whole, once dark (the background) and once for every lit state an overlay
// shows. An overlay is what its lit state changes on the front, black (transparent) elsewhere, so
// that it lies exactly over the background the host draws it on; a lit part that strays out of
// its element's box is a fault of the drawing and stops the run.
#include "tools/art/art_canvas.h"
#include "radio/gauge/radio_layout.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

using art::Picture;
using art::Rgb;
using art::Shape;
namespace layout = radio_layout;

// ---- colours --------------------------------------------------------------------------------------------

constexpr Rgb FACE_TOP = {52, 53, 57}, FACE_BOTTOM = {30, 31, 34};
constexpr Rgb FACE_EDGE_LIGHT = {84, 85, 90}, FACE_EDGE_DARK = {14, 14, 16};
constexpr Rgb SEAM = {12, 12, 14};
constexpr Rgb BUTTON_TOP = {78, 79, 85}, BUTTON_BOTTOM = {50, 51, 56};
constexpr Rgb BUTTON_HIGHLIGHT = {118, 119, 126}, BUTTON_SHADOW = {30, 30, 34};
constexpr Rgb PRINT = {176, 178, 186};
constexpr Rgb SLOT_RECESS_TOP = {16, 16, 18}, SLOT_RECESS_BOTTOM = {40, 40, 44};
constexpr Rgb SLOT = {5, 5, 6}, SLOT_LIP = {72, 72, 78};
constexpr Rgb BEZEL = {20, 20, 23}, BEZEL_LIGHT = {92, 93, 99};
constexpr Rgb GLASS_TOP = {16, 26, 36}, GLASS_BOTTOM = {6, 10, 15};
constexpr Rgb KNOB_RIM = {24, 24, 27}, KNOB_LIGHT = {104, 105, 112}, KNOB_DARK = {38, 39, 43};
constexpr Rgb DISPLAY_LIT = {168, 226, 255}, DISPLAY_GLOW = {40, 120, 190};
constexpr Rgb BACKLIGHT = {150, 212, 255}, BACKLIGHT_GLOW = {70, 140, 210};
constexpr Rgb SELECTED = {255, 178, 64}, SELECTED_GLOW = {220, 110, 30};
constexpr Rgb NEEDLE = {255, 140, 44};

// ---- what is lit --------------------------------------------------------------------------------------

constexpr int PRESET_DARK = -1;     // the radio off: the preset numbers unlit
constexpr int PRESET_NONE = 6;      // numbers lit, no button marked (CD mode)
static_assert(PRESET_NONE == layout::PRESET_PICTURES - 1, "the last preset strip marks no button");

struct Lights {
    bool buttons = false;           // the rocker's arrows and the pause and track buttons
    bool power = false;             // the badge in the display
    int station = -1;               // the station picture, or none
    int preset = PRESET_DARK;       // the marked preset button, PRESET_NONE, or PRESET_DARK
    int mode = -1;                  // the lit mode button, or none
};

art::Rect rect_of(layout::Box box)
{
    return {box.x, box.y, box.width, box.height};
}

// A printed symbol, or the same symbol backlit with a soft glow inside its button.
void symbol(Picture& front, const Shape& shape, bool lit, art::Rect button, Rgb light = BACKLIGHT,
            Rgb glow = BACKLIGHT_GLOW)
{
    if (lit) {
        art::fill(front, art::blurred(art::coverage(shape, front.width, front.height), 1), glow, 150, button);
        art::fill(front, shape, light);
    } else {
        art::fill(front, shape, PRINT);
    }
}

// A raised key: a dark seam around it, a lit upper edge, a shaded face.
void key(Picture& front, double x0, double y0, double x1, double y1, double radius)
{
    art::fill(front, art::rounded_rectangle(x0, y0, x1, y1, radius), SEAM);
    art::fill(front, art::rounded_rectangle(x0 + 1, y0 + 1, x1 - 1, y1 - 1, radius - 1), BUTTON_HIGHLIGHT);
    art::fill(front, art::rounded_rectangle(x0 + 1, y0 + 2, x1 - 1, y1 - 1, radius - 1), BUTTON_SHADOW);
    art::fill(front, art::rounded_rectangle(x0 + 2, y0 + 2, x1 - 2, y1 - 2, radius - 1.5),
              art::vertical(BUTTON_TOP, BUTTON_BOTTOM, int(y0), int(y1)));
}

// A key filling a hot spot but for a seam of one pixel on each side.
art::Rect key_in(Picture& front, layout::Box box, int inset_y = 2)
{
    key(front, box.x + 1, box.y + inset_y, box.right() - 1, box.bottom() - inset_y, 3.5);
    return {box.x + 2, box.y + inset_y + 1, box.width - 4, box.height - 2 * inset_y - 2};
}

Shape centred_text(const std::string& characters, double centre_x, double top, double cell)
{
    return art::text(characters, centre_x - art::text_width(characters, cell) / 2, top, cell, cell);
}

// ---- the parts of the front -------------------------------------------------------------------------

void draw_faceplate(Picture& front)
{
    art::fill(front, art::rectangle(0, 0, front.width, front.height),
              art::vertical(FACE_TOP, FACE_BOTTOM, 0, front.height - 1));
    art::fill(front, art::rectangle(0, 0, front.width, 1), FACE_EDGE_LIGHT);
    art::fill(front, art::rectangle(0, 0, 1, front.height), FACE_EDGE_LIGHT);
    art::fill(front, art::rectangle(0, front.height - 1, front.width, front.height), FACE_EDGE_DARK);
    art::fill(front, art::rectangle(front.width - 1, 0, front.width, front.height), FACE_EDGE_DARK);
}

void draw_door_button(Picture& front)
{
    layout::Box box = layout::DOOR_BUTTON;
    key(front, box.x + 3, box.y + 3, box.right() - 3, box.bottom() - 3, 5);
    double centre = (box.x + box.right()) / 2.0;
    // the eject sign: a triangle over a bar
    art::fill(front, art::triangle(centre, 13, centre - 10, 24, centre + 10, 24), PRINT);
    art::fill(front, art::rectangle(centre - 10, 27, centre + 10, 30), PRINT);
}

void draw_disc_slot(Picture& front)
{
    art::fill(front, art::rounded_rectangle(74, 11, 400, 33, 9), art::vertical(SLOT_RECESS_TOP, SLOT_RECESS_BOTTOM, 11, 33));
    art::fill(front, art::rounded_rectangle(86, 19.5, 388, 27, 3.5), SLOT_LIP);
    art::fill(front, art::rounded_rectangle(86, 18.5, 388, 25.5, 3.5), SLOT);
}

void draw_power_button(Picture& front)
{
    layout::Box box = layout::POWER_BUTTON;
    key(front, box.x + 3, box.y + 3, box.right() - 3, box.bottom() - 3, 5);
    double centre = (box.x + box.right()) / 2.0;
    // the power sign: a ring open at the top, a bar through the opening
    Shape opening = art::rectangle(centre - 3.2, 6, centre + 3.2, 17);
    art::fill(front, art::subtracted(art::ring(centre, 18, 5, 6.8), opening), PRINT);
    art::fill(front, art::stroke(centre, 9.5, centre, 17, 0.9), PRINT);
    art::fill(front, centred_text("POWER", centre, 29, 1), PRINT);
}

void draw_volume_rocker(Picture& front, bool lit)
{
    const double x0 = 20, x1 = 49, top = layout::VOLUME_UP.y + 2, bottom = layout::VOLUME_DOWN.bottom() - 2;
    const double seam = layout::VOLUME_DOWN.y - 0.5;
    art::fill(front, art::rounded_rectangle(x0, top, x1, bottom, 7), SEAM);
    art::fill(front, art::rounded_rectangle(x0 + 1, top + 1, x1 - 1, bottom - 1, 6), BUTTON_HIGHLIGHT);
    art::fill(front, art::rounded_rectangle(x0 + 1, top + 2, x1 - 1, bottom - 1, 6), BUTTON_SHADOW);
    art::fill(front, art::rounded_rectangle(x0 + 2, top + 2, x1 - 2, bottom - 2, 5),
              art::vertical(BUTTON_TOP, BUTTON_BOTTOM, int(top), int(bottom)));
    // the groove between the two halves
    art::fill(front, art::rectangle(x0 + 1, seam - 1, x1 - 1, seam + 0.5), SEAM);
    art::fill(front, art::rectangle(x0 + 2, seam + 0.5, x1 - 2, seam + 1.5), BUTTON_HIGHLIGHT);
    double centre = (x0 + x1) / 2;
    art::Rect rocker = {int(x0) + 2, int(top) + 2, int(x1 - x0) - 4, int(bottom - top) - 4};
    symbol(front, art::triangle(centre, 64, centre - 6, 73, centre + 6, 73), lit, rocker);
    symbol(front, art::triangle(centre, 105, centre - 6, 96, centre + 6, 96), lit, rocker);
    // the word VOL, its letters stacked beside the rocker
    const char* letters[] = {"V", "O", "L"};
    for (int i = 0; i < 3; ++i)
        art::fill(front, art::text(letters[i], 8, 72 + 10 * i, 1, 1), PRINT);
}

// The direction in which the needle points for a volume value, as the host turns it: toward the
// point of the needle table, interpolated between the two enclosing rows.
void needle_direction(int value, double& dx, double& dy)
{
    const auto& table = layout::NEEDLE_TABLE;
    double x = table[0].point.x, y = table[0].point.y;
    for (std::size_t i = 0; i + 1 < std::size(table); ++i)
        if (value >= table[i].value && value <= table[i + 1].value) {
            double t = double(value - table[i].value) / double(table[i + 1].value - table[i].value);
            x = table[i].point.x + t * (table[i + 1].point.x - table[i].point.x);
            y = table[i].point.y + t * (table[i + 1].point.y - table[i].point.y);
            break;
        }
    dx = x - layout::KNOB_CENTRE.x;
    dy = y - layout::KNOB_CENTRE.y;
    double length = std::sqrt(dx * dx + dy * dy);
    dx /= length;
    dy /= length;
}

void draw_knob(Picture& front)
{
    // the host turns the needle about the centre of the pivot pixel
    const double cx = layout::KNOB_CENTRE.x + 0.5, cy = layout::KNOB_CENTRE.y + 0.5;
    // the scale: a tick every 10 dB, longer ones at the ends and the middle, a dot at the off mark
    for (int value = -10000; value <= 0; value += 1000) {
        double dx, dy;
        needle_direction(value, dx, dy);
        bool major = value % 5000 == 0;
        double inner = major ? 26.5 : 28, outer = 31.5;
        art::fill(front, art::stroke(cx + dx * inner, cy + dy * inner, cx + dx * outer, cy + dy * outer, major ? 0.85 : 0.6),
                  PRINT);
    }
    double dx, dy;
    needle_direction(layout::NEEDLE_TABLE[0].value, dx, dy);
    art::fill(front, art::disc(cx + dx * 29.5, cy + dy * 29.5, 1.6), PRINT);
    // the knob: a dark skirt, a face lit from the upper left, a small cap over the spindle
    art::fill(front, art::disc(cx + 0.5, cy + 1, 24.5), SEAM);
    art::fill(front, art::disc(cx, cy, 24), KNOB_RIM);
    art::Shade face = [cx, cy](int x, int y) {
        double along = ((x + 0.5 - cx) + (y + 0.5 - cy)) / 44.0;  // -1 upper left .. +1 lower right
        int step = static_cast<int>(std::lround((along + 1) * 50));
        return art::mix(KNOB_LIGHT, KNOB_DARK, step, 100);
    };
    art::fill(front, art::disc(cx, cy, 22), face);
    art::Shade dish = [cx, cy](int x, int y) {
        double along = ((x + 0.5 - cx) + (y + 0.5 - cy)) / 36.0;
        int step = static_cast<int>(std::lround((1 - along) * 50));
        return art::mix(KNOB_LIGHT, KNOB_DARK, step, 100);
    };
    art::fill(front, art::disc(cx, cy, 18), dish);
    art::fill(front, art::disc(cx, cy, 5.5), KNOB_RIM);
    art::fill(front, art::disc(cx - 0.5, cy - 0.5, 4.5), KNOB_DARK);
}

void draw_display_window(Picture& front)
{
    // the bezel holds the station's whole box, down to the row above the keys: a lit lower rim,
    // then the glass 3 pixels inside it
    layout::Box bezel = layout::DISPLAY_BEZEL;
    art::fill(front, art::rounded_rectangle(bezel.x, bezel.y, bezel.right(), bezel.bottom(), 5), BEZEL_LIGHT);
    art::fill(front, art::rounded_rectangle(bezel.x, bezel.y, bezel.right(), bezel.bottom() - 1, 5), BEZEL);
    art::fill(front, art::rounded_rectangle(bezel.x + 3, bezel.y + 3, bezel.right() - 3, bezel.bottom() - 3, 3),
              art::vertical(GLASS_TOP, GLASS_BOTTOM, bezel.y + 3, bezel.bottom() - 4));
}

void draw_power_badge(Picture& front)
{
    layout::Box box = layout::POWER_LIGHT_BOX;
    Shape frame = art::subtracted(art::rounded_rectangle(box.x + 1, box.y + 1, box.right() - 1, box.bottom() - 1, 2.5),
                                  art::rounded_rectangle(box.x + 2.2, box.y + 2.2, box.right() - 2.2, box.bottom() - 2.2, 1.5));
    Shape word = centred_text("ON", (box.x + box.right()) / 2.0, box.y + 3, 1);
    Shape badge = art::united({frame, word});
    art::fill(front, art::blurred(art::coverage(badge, front.width, front.height), 1), DISPLAY_GLOW, 150, rect_of(box));
    art::fill(front, badge, DISPLAY_LIT);
}

// Picture 0 reads CD; 1 to 6 an FM station, 101 to 106; 7 to 12 an AM station, 1110 to 1160.
void station_words(int picture, std::string& band, std::string& number)
{
    if (picture == 0) {
        band = "CD";
        number = "";
    } else if (picture <= 6) {
        band = "FM";
        number = std::to_string(100 + picture);
    } else {
        band = "AM";
        number = std::to_string(1100 + 10 * (picture - 6));
    }
}

void draw_station(Picture& front, int picture)
{
    layout::Box box = layout::STATION_BOX;
    std::string band, number;
    station_words(picture, band, number);
    // a dot-matrix face: the band at the left, the station number ending at the right
    const double pitch = 4, dot = 3;
    const double top = box.y + 8;
    const double band_left = box.x + 12;
    const double number_right = box.right() - 12 + (pitch - dot);
    Shape words = art::united({art::text(band, band_left, top, pitch, dot),
                               art::text(number, number_right - art::text_width(number, pitch), top, pitch, dot)});
    art::fill(front, art::blurred(art::coverage(words, front.width, front.height), 2), DISPLAY_GLOW, 170, rect_of(box));
    art::fill(front, words, DISPLAY_LIT);
}

void draw_bottom_keys(Picture& front, const Lights& lights)
{
    // pause: two bars
    art::Rect pause = key_in(front, layout::PAUSE_BUTTON);
    double centre = (layout::PAUSE_BUTTON.x + layout::PAUSE_BUTTON.right()) / 2.0;
    symbol(front, art::united({art::rectangle(centre - 4, 112, centre - 1.5, 121), art::rectangle(centre + 1.5, 112, centre + 4, 121)}),
           lights.buttons, pause);
    // previous and next track: a triangle against a bar
    art::Rect previous = key_in(front, layout::PREVIOUS_TRACK);
    centre = (layout::PREVIOUS_TRACK.x + layout::PREVIOUS_TRACK.right()) / 2.0;
    symbol(front, art::united({art::rectangle(centre - 5, 112, centre - 3, 121), art::triangle(centre - 3, 116.5, centre + 5, 112, centre + 5, 121)}),
           lights.buttons, previous);
    art::Rect next = key_in(front, layout::NEXT_TRACK);
    centre = (layout::NEXT_TRACK.x + layout::NEXT_TRACK.right()) / 2.0;
    symbol(front, art::united({art::rectangle(centre + 3, 112, centre + 5, 121), art::triangle(centre + 3, 116.5, centre - 5, 112, centre - 5, 121)}),
           lights.buttons, next);
    // the presets: their numbers, lit while the radio is on, the selected one marked by a bar
    for (int i = 0; i < 6; ++i) {
        layout::Box box = layout::PRESET_BUTTONS[i];
        art::Rect face = key_in(front, box);
        // the strip's glow ends at the strip
        face.y = layout::PRESET_BOX.y;
        face.height = layout::PRESET_BOX.height;
        double middle = (box.x + box.right()) / 2.0;
        Shape number = centred_text(std::to_string(i + 1), middle, 112, 2);
        bool marked = lights.preset == i;
        if (lights.preset == PRESET_DARK) {
            symbol(front, number, false, face);
        } else if (marked) {
            Shape bar = art::rounded_rectangle(middle - 8, 127, middle + 8, 129, 0.8);
            symbol(front, art::united({number, bar}), true, face, SELECTED, SELECTED_GLOW);
        } else {
            symbol(front, number, true, face);
        }
    }
}

void draw_mode_keys(Picture& front, int lit)
{
    const char* labels[] = {"CD", "FM", "AM"};
    for (int i = 0; i < 3; ++i) {
        layout::Box box = layout::MODE_BUTTONS[i];
        art::Rect face = key_in(front, {box.x + 1, box.y, box.width - 2, box.height}, 1);
        double middle = box.y + box.height / 2.0;
        Shape label = art::text(labels[i], layout::MODE_BOX.x + 4, middle - 7, 2, 2);
        symbol(front, label, lit == i, face, SELECTED, SELECTED_GLOW);
    }
}

Picture front(const Lights& lights)
{
    Picture picture(layout::FRONT_WIDTH, layout::FRONT_HEIGHT);
    draw_faceplate(picture);
    draw_door_button(picture);
    draw_disc_slot(picture);
    draw_power_button(picture);
    draw_volume_rocker(picture, lights.buttons);
    draw_knob(picture);
    draw_display_window(picture);
    if (lights.power)
        draw_power_badge(picture);
    if (lights.station >= 0)
        draw_station(picture, lights.station);
    draw_bottom_keys(picture, lights);
    draw_mode_keys(picture, lights.mode);
    return picture;
}

// What the lit front changes on the dark one, within box; black elsewhere.
Picture overlay(const Picture& lit, const Picture& dark, layout::Box box, const std::string& name)
{
    Picture picture(box.width, box.height);
    for (int y = 0; y < lit.height; ++y)
        for (int x = 0; x < lit.width; ++x) {
            if (lit.at(x, y) == dark.at(x, y))
                continue;
            if (x < box.x || y < box.y || x >= box.right() || y >= box.bottom())
                throw std::logic_error(name + ": the lit part reaches (" + std::to_string(x) + ", " + std::to_string(y) +
                                       "), outside its element");
            picture.at(x - box.x, y - box.y) = lit.at(x, y);
        }
    return picture;
}

// The knob's pointer: pointing right from the pivot, from the cap's edge to the scale.
Picture needle()
{
    Picture picture(layout::NEEDLE_WIDTH, layout::NEEDLE_HEIGHT);
    double y = layout::NEEDLE_PIVOT.y + 0.5;
    art::fill(picture, art::united({art::triangle(8, y - 1.6, 30.5, y - 0.6, 30.5, y + 0.6),
                                    art::triangle(8, y - 1.6, 30.5, y + 0.6, 8, y + 1.6)}),
              NEEDLE);
    return picture;
}

struct Output {
    int id;
    Picture picture;
};

std::vector<Output> draw_all()
{
    std::vector<Output> outputs;
    const Picture dark = front(Lights{});
    for (const Rgb& pixel : dark.pixels)
        if (pixel == art::BLACK)
            throw std::logic_error("the background holds black, which the host may show through");
    outputs.push_back({layout::BACKGROUND_ID, dark});

    Lights buttons;
    buttons.buttons = true;
    outputs.push_back({layout::LIGHTING_ID, overlay(front(buttons), dark, layout::LIGHTING_BOX, "button lighting")});

    Lights power;
    power.power = true;
    outputs.push_back({layout::POWER_LIGHT_ID, overlay(front(power), dark, layout::POWER_LIGHT_BOX, "power light")});

    for (int picture = 0; picture < layout::STATION_PICTURES; ++picture) {
        Lights station;
        station.station = picture;
        outputs.push_back({layout::STATION_ID + picture,
                           overlay(front(station), dark, layout::STATION_BOX, "station " + std::to_string(picture))});
    }
    for (int picture = 0; picture < layout::PRESET_PICTURES; ++picture) {
        Lights preset;
        preset.preset = picture;
        outputs.push_back({layout::PRESET_ID + picture,
                           overlay(front(preset), dark, layout::PRESET_BOX, "preset strip " + std::to_string(picture))});
    }
    for (int picture = 0; picture < layout::MODE_PICTURES; ++picture) {
        Lights mode;
        mode.mode = picture;
        outputs.push_back({layout::MODE_ID + picture,
                           overlay(front(mode), dark, layout::MODE_BOX, "mode strip " + std::to_string(picture))});
    }
    outputs.push_back({layout::NEEDLE_ID, needle()});
    return outputs;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: radio_art DIR\n");
        return 2;
    }
    std::string dir = argv[1];
    std::vector<Output> outputs;
    try {
        outputs = draw_all();
    } catch (const std::exception& fault) {
        std::fprintf(stderr, "radio_art: %s\n", fault.what());
        return 1;
    }
    for (const Output& output : outputs) {
        std::string path = dir + "/bitmap_" + std::to_string(output.id) + ".bmp";
        if (!base::write_file(path, tools::bmp_file_bytes(art::to_palette(output.picture)))) {
            std::fprintf(stderr, "radio_art: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
