// Drawing the gauge: pictures, turned needles and text strings, over libpng and FreeType.
#include "panelhost/picture/render.h"

#include "panelhost/base/files.h"
#include "panelhost/base/limits.h"
#include "base/text.h"
#include "panelhost/base/shown_input.h"

#include "panelhost/host/host.h"
#include "panelhost/base/trace.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <new>
#include <optional>

namespace panelhost {
namespace {

constexpr double PI = 3.14159265358979323846;
constexpr const char* FONT_FOLDER = "/usr/share/fonts/truetype/liberation/";

std::uint32_t rgb_from_colorref(std::uint32_t colour)
{
    return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}

// ---- text -----------------------------------------------------------------------------------------------

class Fonts {
public:
    Fonts() { ready_ = FT_Init_FreeType(&library_) == 0; }
    ~Fonts()
    {
        for (auto& [path, face] : faces_)
            FT_Done_Face(face);
        if (ready_)
            FT_Done_FreeType(library_);
    }
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    FT_Face face(const std::string& path, std::string& error)
    {
        if (!ready_) {
            error = "the font rasteriser did not start";
            return nullptr;
        }
        auto found = faces_.find(path);
        if (found != faces_.end())
            return found->second;
        FT_Face face = nullptr;
        if (FT_New_Face(library_, path.c_str(), 0, &face) != 0) {
            error = "cannot read font " + path;
            return nullptr;
        }
        faces_[path] = face;
        return face;
    }

private:
    FT_Library library_ = nullptr;
    bool ready_ = false;
    std::map<std::string, FT_Face> faces_;
};

struct TextBox {
    int x, y, width, height;
};

int text_width(FT_Face face, const std::string& text)
{
    long width = 0;
    for (unsigned char c : text)
        if (FT_Load_Char(face, c, FT_LOAD_DEFAULT) == 0)
            width += face->glyph->advance.x;
    return static_cast<int>(width >> 6);
}

// Draws one line of text into the box as DrawText's flags place it, clipped to the box.
void draw_text(Canvas& canvas, FT_Face face, const std::string& text, TextBox box, std::uint32_t colour,
               std::uint32_t flags)
{
    int width = text_width(face, text);
    int x = box.x;
    if (flags & DT_CENTER)
        x = box.x + (box.width - width) / 2;
    else if (flags & DT_RIGHT)
        x = box.x + box.width - width;
    int ascender = static_cast<int>(face->size->metrics.ascender >> 6);
    int descender = static_cast<int>(face->size->metrics.descender >> 6);
    int baseline = box.y + ascender;
    if (flags & DT_VCENTER)
        baseline = box.y + (box.height - (ascender - descender)) / 2 + ascender;
    else if (flags & DT_BOTTOM)
        baseline = box.y + box.height + descender;
    long pen = static_cast<long>(x) << 6;
    for (unsigned char c : text) {
        if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlot glyph = face->glyph;
        int left = static_cast<int>(pen >> 6) + glyph->bitmap_left;
        int top = baseline - glyph->bitmap_top;
        for (unsigned row = 0; row < glyph->bitmap.rows; ++row)
            for (unsigned column = 0; column < glyph->bitmap.width; ++column) {
                int px = left + static_cast<int>(column), py = top + static_cast<int>(row);
                if (px < box.x || py < box.y || px >= box.x + box.width || py >= box.y + box.height)
                    continue;
                unsigned coverage = glyph->bitmap.buffer[row * static_cast<unsigned>(glyph->bitmap.pitch) + column];
                canvas.blend(px, py, colour, coverage);
            }
        pen += glyph->advance.x;
    }
}

// ---- elements -------------------------------------------------------------------------------------------

void draw_picture(Canvas& canvas, const Bitmap& bitmap, int left, int top, bool transparent)
{
    for (int y = 0; y < bitmap.height; ++y)
        for (int x = 0; x < bitmap.width; ++x) {
            std::uint32_t colour = bitmap.pixels[std::size_t(y) * std::size_t(bitmap.width) + std::size_t(x)];
            if (transparent && colour == 0)
                continue;
            canvas.put(left + x, top + y, colour);
        }
}

void draw_needle(Canvas& canvas, const Bitmap& bitmap, const ELEMENT_NEEDLE& needle, double value, bool transparent)
{
    double angle = needle_angle(needle, value);
    double cosine = std::cos(angle), sine = std::sin(angle);
    double pivot_x = needle.header.position.x + 0.5, pivot_y = needle.header.position.y + 0.5;
    double origin_x = needle.header.offset.x + 0.5, origin_y = needle.header.offset.y + 0.5;
    double reach = 0;
    for (double cx : {0.0, double(bitmap.width)})
        for (double cy : {0.0, double(bitmap.height)})
            reach = std::max(reach, std::hypot(cx - origin_x, cy - origin_y));
    int x0 = static_cast<int>(std::floor(pivot_x - reach)), x1 = static_cast<int>(std::ceil(pivot_x + reach));
    int y0 = static_cast<int>(std::floor(pivot_y - reach)), y1 = static_cast<int>(std::ceil(pivot_y + reach));
    for (int y = std::max(y0, 0); y < std::min(y1, canvas.height); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, canvas.width); ++x) {
            double dx = x + 0.5 - pivot_x, dy = y + 0.5 - pivot_y;
            // Each gauge pixel takes the picture pixel that the turn brings onto it.
            double sx = cosine * dx + sine * dy + origin_x;
            double sy = -sine * dx + cosine * dy + origin_y;
            int px = static_cast<int>(std::floor(sx)), py = static_cast<int>(std::floor(sy));
            if (px < 0 || py < 0 || px >= bitmap.width || py >= bitmap.height)
                continue;
            std::uint32_t colour = bitmap.pixels[std::size_t(py) * std::size_t(bitmap.width) + std::size_t(px)];
            if (transparent && colour == 0)
                continue;
            canvas.put(x, y, colour);
        }
}

bool draw_string(Canvas& canvas, Fonts& fonts, const ELEMENT_STRING& string, std::string& error)
{
    TextBox box{string.header.position.x, string.header.position.y, string.box_width, string.box_height};
    bool transparent = string.header.image_flags & IMAGE_USE_TRANSPARENCY;
    std::uint32_t background = rgb_from_colorref(string.background_color);
    if (!(transparent && background == 0))
        for (int y = box.y; y < box.y + box.height; ++y)
            for (int x = box.x; x < box.x + box.width; ++x)
                canvas.put(x, y, background);
    if (!string.string || !string.string[0] || box.width <= 0 || box.height <= 0)
        return true;
    FT_Face face = fonts.face(font_file(string.font_name, string.font_weight), error);
    if (!face)
        return false;
    // The record gives the box and its character count, not a size: the text is as large as
    // the box allows for that many characters of a face whose advance is about 0.6 em.
    double chars = std::max<std::uint32_t>(string.max_chars, 1);
    double em = std::min(box.height * 0.8, box.width / (chars * 0.62));
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::max(1.0, std::floor(em))));
    draw_text(canvas, face, string.string, box, rgb_from_colorref(string.foreground_color), string.draw_flags);
    return true;
}

// ---- hot spots ------------------------------------------------------------------------------------------

constexpr std::uint32_t HOT_SPOT_COLOURS[] = {0xFF4040, 0x40FF40, 0x4080FF, 0xFFFF40, 0xFF40FF, 0x40FFFF, 0xFF9020};

void outline(Canvas& canvas, const PIXEL_BOX& box, std::uint32_t colour)
{
    for (int x = box.x; x < box.x + box.width; ++x) {
        canvas.put(x, box.y, colour);
        canvas.put(x, box.y + box.height - 1, colour);
    }
    for (int y = box.y; y < box.y + box.height; ++y) {
        canvas.put(box.x, y, colour);
        canvas.put(box.x + box.width - 1, y, colour);
    }
}

std::string hot_spot_label(const MouseRegistration& registration, const MouseHotSpot& hot_spot)
{
    MouseHit hit;
    hit.hot_spot = &hot_spot;
    hit.group = hot_spot.group;
    Tooltip tooltip = tooltip_for(registration.layout, hit, registration.gauge);
    std::string label;
    if (tooltip.kind == Tooltip::Text)
        label = tooltip.text;
    char text[64];
    if (hot_spot.row->event_id) {
        std::snprintf(text, sizeof text, "key 0x%x", hot_spot.row->event_id);
        label += (label.empty() ? "" : " | ") + std::string(text);
    }
    if (tooltip.kind == Tooltip::Help) {
        std::snprintf(text, sizeof text, "help 0x%x", tooltip.help_id);
        label += (label.empty() ? "" : " | ") + std::string(text);
    }
    if (hot_spot.row->mouse_flags & MOUSE_DOWN_REPEAT)
        label += " (repeats)";
    return label.empty() ? "handler" : label;
}

// Where a gauge's pixels lie in the picture: the gauge's own pixels, or its box in a window.
struct Placement {
    PIXEL_BOX box;
    PIXEL_POINT size;   // the gauge's pixels

    PIXEL_BOX map(const PIXEL_BOX& area) const
    {
        if (box.width == size.x && box.height == size.y)
            return {box.x + area.x, box.y + area.y, area.width, area.height};
        auto across = [&](std::int64_t value) { return static_cast<std::int32_t>(value * box.width / size.x); };
        auto down = [&](std::int64_t value) { return static_cast<std::int32_t>(value * box.height / size.y); };
        std::int32_t x0 = across(area.x), y0 = down(area.y);
        std::int32_t x1 = across(std::int64_t(area.x) + area.width), y1 = down(std::int64_t(area.y) + area.height);
        return {box.x + x0, box.y + y0, std::max(x1 - x0, 1), std::max(y1 - y0, 1)};
    }
};

// Outlines the gauge's hot spots in table order, each labelled with what it does or with its
// number, counting on from `number`.
bool draw_hot_spots(Canvas& canvas, Fonts& fonts, const Gauge& gauge, const Placement& placement, HotSpots style,
                    int& number, std::string& error)
{
    FT_Face face = fonts.face(font_file("Arial", style == HotSpots::Numbered ? FW_BOLD : FW_NORMAL), error);
    if (!face)
        return false;
    FT_Set_Pixel_Sizes(face, 0, style == HotSpots::Numbered ? 12 : 10);
    for (const MouseRegistration& registration : gauge.registrations())
        for (const MouseHotSpot& hot_spot : registration.layout.hot_spots) {
            std::uint32_t colour = HOT_SPOT_COLOURS[(number - 1) % std::size(HOT_SPOT_COLOURS)];
            PIXEL_BOX area = placement.map(hot_spot.area);
            outline(canvas, area, colour);
            std::string label =
                style == HotSpots::Numbered ? std::to_string(number) : hot_spot_label(registration, hot_spot);
            ++number;
            int width = text_width(face, label) + 4;
            TextBox box{area.x + 1, area.y + 1, width, style == HotSpots::Numbered ? 15 : 12};
            for (int y = box.y; y < box.y + box.height; ++y)
                for (int x = box.x; x < box.x + box.width; ++x)
                    if (x >= 0 && y >= 0 && x < canvas.width && y < canvas.height)
                        canvas.blend(x, y, 0x000000, 170);
            draw_text(canvas, face, label, {box.x + 2, box.y, width, box.height}, colour, DT_VCENTER);
        }
    return true;
}

// Draws the gauge's visible elements in tree order onto a picture of its background's size.
bool draw_elements(Canvas& canvas, Fonts& fonts, const Gauge& gauge, std::string& error)
{
    std::size_t index = 0;
    for (ELEMENT_HEADER* element : element_tree(gauge.root())) {
        std::size_t number = index++;
        if (element->image_flags & IMAGE_HIDDEN)
            continue;
        bool transparent = element->image_flags & IMAGE_USE_TRANSPARENCY;
        auto bitmap_of = [&](const HOST_IMAGE* record) -> const Bitmap* {
            const LoadedImage* image = gauge.image(record);
            return image ? &image->bitmap : nullptr;
        };
        switch (element->element_type) {
        case ELEMENT_TYPE_STATIC_IMAGE:
            if (const Bitmap* bitmap = bitmap_of(reinterpret_cast<ELEMENT_STATIC_IMAGE*>(element)->image))
                draw_picture(canvas, *bitmap, element->position.x, element->position.y, transparent);
            break;
        case ELEMENT_TYPE_ICON: {
            auto* icon = reinterpret_cast<ELEMENT_ICON*>(element);
            std::uint32_t count = std::max<std::uint32_t>(icon->picture_count, 1);
            const Bitmap* bitmap = nullptr;
            if (icon->pictures && icon->picture_shown >= 0 && std::uint32_t(icon->picture_shown) < count)
                bitmap = bitmap_of(icon->pictures[icon->picture_shown]);
            if (bitmap)
                draw_picture(canvas, *bitmap, element->position.x, element->position.y, transparent);
            else
                tracef("warning element %zu: icon has no picture for value %s", number,
                       float_text(icon->value).c_str());
            break;
        }
        case ELEMENT_TYPE_NEEDLE: {
            auto* needle = reinterpret_cast<ELEMENT_NEEDLE*>(element);
            if (const Bitmap* bitmap = bitmap_of(needle->image))
                draw_needle(canvas, *bitmap, *needle, needle->value, transparent);
            break;
        }
        case ELEMENT_TYPE_STRING:
            if (!draw_string(canvas, fonts, *reinterpret_cast<ELEMENT_STRING*>(element), error))
                return false;
            break;
        default:
            break;
        }
    }
    return true;
}

// Puts a gauge, drawn at its own size, into its box of the window: each window pixel is the mean
// of the gauge pixels that fall in it (the nearest one where the box is larger than the gauge).
// Where the gauge's pictures are transparent the window shows what lies under them: the gauge is
// drawn once over black and once over white, and where the two differ it lets the window through.
bool place_gauge(Canvas& window, Fonts& fonts, const Gauge& gauge, const PIXEL_BOX& box, std::string& error)
{
    PIXEL_POINT size = gauge.background_size();
    if (size.x <= 0 || size.y <= 0 || box.width <= 0 || box.height <= 0)
        return true;
    Canvas over_black(size.x, size.y);
    if (!draw_elements(over_black, fonts, gauge, error))
        return false;
    // A background drawn whole, without transparency, hides the window: one drawing is enough.
    ELEMENT_HEADER* root = gauge.root();
    bool opaque = root && root->element_type == ELEMENT_TYPE_STATIC_IMAGE && !(root->image_flags & IMAGE_HIDDEN) &&
                  !(root->image_flags & IMAGE_USE_TRANSPARENCY) && root->position.x <= 0 && root->position.y <= 0;
    Canvas over_white = opaque ? over_black : Canvas(size.x, size.y);
    if (!opaque) {
        std::fill(over_white.pixels.begin(), over_white.pixels.end(), 0xFFFFFFu);
        if (!draw_elements(over_white, fonts, gauge, error))
            return false;
    }
    int right = static_cast<int>(std::min<std::int64_t>(std::int64_t(box.x) + box.width, window.width));
    int bottom = static_cast<int>(std::min<std::int64_t>(std::int64_t(box.y) + box.height, window.height));
    for (int y = std::max(box.y, 0); y < bottom; ++y)
        for (int x = std::max(box.x, 0); x < right; ++x) {
            std::int64_t sx0 = (std::int64_t(x) - box.x) * size.x / box.width;
            std::int64_t sx1 = std::max(sx0 + 1, (std::int64_t(x) - box.x + 1) * size.x / box.width);
            std::int64_t sy0 = (std::int64_t(y) - box.y) * size.y / box.height;
            std::int64_t sy1 = std::max(sy0 + 1, (std::int64_t(y) - box.y + 1) * size.y / box.height);
            std::uint64_t sums[3] = {}, light = 0, count = 0;
            for (std::int64_t sy = sy0; sy < sy1 && sy < size.y; ++sy)
                for (std::int64_t sx = sx0; sx < sx1 && sx < size.x; ++sx) {
                    std::uint32_t black = over_black.get(int(sx), int(sy)), white = over_white.get(int(sx), int(sy));
                    for (int channel = 0; channel < 3; ++channel)
                        sums[channel] += black >> (8 * channel) & 0xFF;
                    // how much of the white shows through: the gauge's transparency here
                    light += (white & 0xFF) - (black & 0xFF);
                    ++count;
                }
            if (count == 0)
                continue;
            std::uint32_t under = window.get(x, y);
            std::uint32_t mixed = 0;
            for (int channel = 0; channel < 3; ++channel) {
                std::uint64_t seen = (under >> (8 * channel) & 0xFF) * light / 255;
                mixed |= static_cast<std::uint32_t>(std::min<std::uint64_t>((sums[channel] + seen + count / 2) / count, 255))
                         << (8 * channel);
            }
            window.put(x, y, mixed);
        }
    return true;
}

}  // namespace

void Canvas::blend(int x, int y, std::uint32_t colour, unsigned coverage)
{
    if (x < 0 || y < 0 || x >= width || y >= height || coverage == 0)
        return;
    std::uint32_t old = get(x, y);
    std::uint32_t mixed = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        unsigned a = old >> shift & 0xFF, b = colour >> shift & 0xFF;
        mixed |= ((a * (255 - coverage) + b * coverage + 127) / 255) << shift;
    }
    put(x, y, mixed);
}

NeedleTarget needle_target(const NONLINEARITY* table, std::uint32_t rows, double value)
{
    if (!table || rows == 0)
        return {};
    std::uint32_t lowest = 0, highest = 0;
    for (std::uint32_t i = 0; i < rows; ++i) {
        if (table[i].value < table[lowest].value)
            lowest = i;
        if (table[i].value > table[highest].value)
            highest = i;
    }
    for (std::uint32_t i = 0; i + 1 < rows; ++i) {
        const NONLINEARITY& a = table[i];
        const NONLINEARITY& b = table[i + 1];
        double low = std::min(a.value, b.value), high = std::max(a.value, b.value);
        if (value < low || value > high)
            continue;
        double t = high == low ? 0.0 : (value - a.value) / (b.value - a.value);
        return {a.point.x + t * (b.point.x - a.point.x), a.point.y + t * (b.point.y - a.point.y)};
    }
    const NONLINEARITY& end = value < table[lowest].value ? table[lowest] : table[highest];
    return {double(end.point.x), double(end.point.y)};
}

double needle_angle(const ELEMENT_NEEDLE& needle, double value)
{
    if (!needle.nonlinearity || needle.nonlinearity_count == 0)
        return std::isfinite(value) ? std::fmod(value, 360.0) * PI / 180.0 : 0.0;
    NeedleTarget target = needle_target(needle.nonlinearity, needle.nonlinearity_count, value);
    return std::atan2(target.y - needle.header.position.y, target.x - needle.header.position.x);
}

std::string font_file(const char* face_name, std::int32_t weight)
{
    std::string name = base::lower(face_name ? face_name : "");
    std::string family = "LiberationSans";
    if (name.find("courier") != std::string::npos || name.find("mono") != std::string::npos ||
        name.find("consol") != std::string::npos)
        family = "LiberationMono";
    else if (name.find("times") != std::string::npos || name.find("serif") != std::string::npos)
        family = "LiberationSerif";
    return std::string(FONT_FOLDER) + family + (weight >= 600 ? "-Bold.ttf" : "-Regular.ttf");
}

bool write_png(const Canvas& canvas, const std::string& path, std::string& error)
{
    if (std::string kind = base::not_a_file_or_device(path); !kind.empty()) {
        error = "cannot write " + base::shown_input(path) + ": it is " + kind + ", not a regular file";
        return false;
    }
    std::vector<std::uint8_t> bytes;
    if (!encode_png(canvas, bytes, error))
        return false;
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file && std::fclose(file) != 0)
        written = false;
    if (!written) {
        error = "cannot write " + base::shown_input(path) + (errno ? std::string(": ") + std::strerror(errno) : std::string());
        return false;
    }
    return true;
}

bool encode_png(const Canvas& canvas, std::vector<std::uint8_t>& bytes, std::string& error, bool fast)
try {
    std::vector<std::uint8_t> rgb;
    rgb.reserve(canvas.pixels.size() * 3);
    for (std::uint32_t colour : canvas.pixels) {
        rgb.push_back(static_cast<std::uint8_t>(colour >> 16));
        rgb.push_back(static_cast<std::uint8_t>(colour >> 8));
        rgb.push_back(static_cast<std::uint8_t>(colour));
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(canvas.width);
    image.height = static_cast<png_uint_32>(canvas.height);
    image.format = PNG_FORMAT_RGB;
    if (fast)
        image.flags |= PNG_IMAGE_FLAG_FAST;
    // Written once, into a buffer as large as the picture could ever need.
    png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(image);
    bytes.resize(size);
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, rgb.data(), canvas.width * 3, nullptr)) {
        error = std::string("cannot encode the picture as PNG: ") + image.message;
        bytes.clear();
        return false;
    }
    bytes.resize(size);
    return true;
} catch (const std::bad_alloc&) {
    bytes.clear();
    error = "the PNG file of a picture of " + std::to_string(canvas.width) + " x " + std::to_string(canvas.height) +
            " needs more memory than the bench can have";
    return false;
}

std::string picture_refusal(const Host& host)
{
    PIXEL_POINT size = host.window_size();
    if (!host.is_window())
        return size.x > 0 && size.y > 0 ? "" : "the gauge has no background picture to give the drawing its size";
    std::string window = host.options().window_name + " is " + std::to_string(size.x) + " x " + std::to_string(size.y);
    if (size.x <= 0 || size.y <= 0)
        return window + ": a panel of no size has no picture (its gauges run, never drawn)";
    if (size.x > MAX_PICTURE_SIDE || size.y > MAX_PICTURE_SIDE)
        return window + ", larger than the largest picture the bench draws, " + std::to_string(MAX_PICTURE_SIDE) + " x " +
               std::to_string(MAX_PICTURE_SIDE);
    return "";
}

// Every canvas is at most MAX_PICTURE_SIDE a side (the window's by picture_refusal, a gauge's by
// its background bitmap's), yet the memory may be short of even that: the drawing then stops with
// a refusal, as for any picture it cannot make.
std::optional<Canvas> draw_panel(const Host& host, HotSpots hot_spots, std::string& error)
try {
    error = picture_refusal(host);
    if (!error.empty())
        return std::nullopt;
    PIXEL_POINT size = host.window_size();
    Canvas canvas(size.x, size.y);
    Fonts fonts;
    for (const PlacedGauge& placed : host.placed()) {
        bool drawn = host.is_window() ? place_gauge(canvas, fonts, *placed.gauge, placed.box, error)
                                      : draw_elements(canvas, fonts, *placed.gauge, error);
        if (!drawn)
            return std::nullopt;
    }
    int number = 1;
    if (hot_spots != HotSpots::None)
        for (const PlacedGauge& placed : host.placed()) {
            if (placed.box.width <= 0 || placed.box.height <= 0)
                continue;   // never drawn: no hot spot of it shows
            PIXEL_POINT gauge_size = placed.gauge->background_size();
            Placement placement{host.is_window() ? placed.box : PIXEL_BOX{0, 0, gauge_size.x, gauge_size.y}, gauge_size};
            if (gauge_size.x <= 0 || gauge_size.y <= 0)
                placement = {PIXEL_BOX{placed.box.x, placed.box.y, 1, 1}, PIXEL_POINT{1, 1}};
            if (!draw_hot_spots(canvas, fonts, *placed.gauge, placement, hot_spots, number, error))
                return std::nullopt;
        }
    return canvas;
} catch (const std::bad_alloc&) {
    PIXEL_POINT size = host.window_size();
    error = "a picture of " + std::to_string(size.x) + " x " + std::to_string(size.y) +
            " needs more memory than the bench can have";
    return std::nullopt;
}

bool render_gauge(const Host& host, const std::string& path, HotSpots hot_spots, std::string& error)
{
    std::optional<Canvas> canvas = draw_panel(host, hot_spots, error);
    return canvas && write_png(*canvas, path, error);
}

}  // namespace panelhost
