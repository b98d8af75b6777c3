// Drawing artwork in RGB with smooth edges, then reducing it to an 8-bit palette picture.
#include "tools/art/art_canvas.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

namespace art {
namespace {

constexpr int SAMPLES = 4;  // per pixel side
constexpr int SAMPLE_COUNT = SAMPLES * SAMPLES;

int clamp_channel(int value)
{
    return std::clamp(value, 0, 255);
}

// How many of the pixel's samples lie inside the shape.
int samples_inside(const Shape& shape, int x, int y)
{
    int count = 0;
    for (int j = 0; j < SAMPLES; ++j)
        for (int i = 0; i < SAMPLES; ++i)
            if (shape.inside(x + (i + 0.5) / SAMPLES, y + (j + 0.5) / SAMPLES))
                ++count;
    return count;
}

int coverage_of(int samples)
{
    return (samples * 255 + SAMPLE_COUNT / 2) / SAMPLE_COUNT;
}

Rect bounds_of(double x0, double y0, double x1, double y1)
{
    int left = static_cast<int>(std::floor(x0)), top = static_cast<int>(std::floor(y0));
    int right = static_cast<int>(std::ceil(x1)), bottom = static_cast<int>(std::ceil(y1));
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

Rect union_of(Rect a, Rect b)
{
    if (a.width == 0 || a.height == 0)
        return b;
    if (b.width == 0 || b.height == 0)
        return a;
    int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
    int right = std::max(a.x + a.width, b.x + b.width), bottom = std::max(a.y + a.height, b.y + b.height);
    return {left, top, right - left, bottom - top};
}

Rect intersection_of(Rect a, Rect b)
{
    int left = std::max(a.x, b.x), top = std::max(a.y, b.y);
    int right = std::min(a.x + a.width, b.x + b.width), bottom = std::min(a.y + a.height, b.y + b.height);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

// ---- the 5 x 7 face -------------------------------------------------------------------------------------

struct Glyph {
    char character;
    const char* rows[GLYPH_ROWS];
};

// clang-format off
constexpr Glyph GLYPHS[] = {
    {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
};
// clang-format on

const Glyph& glyph_for(char character)
{
    for (const Glyph& glyph : GLYPHS)
        if (glyph.character == character)
            return glyph;
    throw std::invalid_argument(std::string("the display face has no glyph for '") + character + "'");
}

std::uint32_t key_of(Rgb colour)
{
    return std::uint32_t(colour.red) << 16 | std::uint32_t(colour.green) << 8 | std::uint32_t(colour.blue);
}

int channel_of(Rgb colour, int channel)
{
    return channel == 0 ? colour.red : channel == 1 ? colour.green : colour.blue;
}

struct ColourCount {
    Rgb colour;
    std::int64_t count;
};

struct Bucket {
    std::vector<ColourCount> colours;
    std::int64_t total = 0;

    int range(int channel) const
    {
        int low = 255, high = 0;
        for (const ColourCount& entry : colours) {
            low = std::min(low, channel_of(entry.colour, channel));
            high = std::max(high, channel_of(entry.colour, channel));
        }
        return high - low;
    }
    int widest_channel() const
    {
        int best = 0;
        for (int channel = 1; channel < 3; ++channel)
            if (range(channel) > range(best))
                best = channel;
        return best;
    }
    Rgb mean() const
    {
        std::int64_t sums[3] = {0, 0, 0};
        for (const ColourCount& entry : colours)
            for (int channel = 0; channel < 3; ++channel)
                sums[channel] += channel_of(entry.colour, channel) * entry.count;
        Rgb colour{int((sums[0] + total / 2) / total), int((sums[1] + total / 2) / total),
                   int((sums[2] + total / 2) / total)};
        // black is the transparent colour; a bucket of near-black colours must not become it
        return colour == BLACK ? Rgb{1, 1, 1} : colour;
    }
};

// Splits the bucket at the median of its widest channel, in a total order of the colours so that
// the split does not depend on the sort's handling of ties.
std::pair<Bucket, Bucket> split(Bucket bucket)
{
    int channel = bucket.widest_channel();
    std::sort(bucket.colours.begin(), bucket.colours.end(), [channel](const ColourCount& a, const ColourCount& b) {
        int ca = channel_of(a.colour, channel), cb = channel_of(b.colour, channel);
        return ca != cb ? ca < cb : key_of(a.colour) < key_of(b.colour);
    });
    std::size_t cut = 1;
    std::int64_t running = 0;
    for (std::size_t i = 0; i < bucket.colours.size(); ++i) {
        running += bucket.colours[i].count;
        if (running * 2 >= bucket.total) {
            cut = i + 1;
            break;
        }
    }
    cut = std::clamp<std::size_t>(cut, 1, bucket.colours.size() - 1);
    Bucket lower, upper;
    for (std::size_t i = 0; i < bucket.colours.size(); ++i) {
        Bucket& side = i < cut ? lower : upper;
        side.colours.push_back(bucket.colours[i]);
        side.total += bucket.colours[i].count;
    }
    return {lower, upper};
}

}  // namespace

Rgb mix(Rgb a, Rgb b, int num, int den)
{
    num = std::clamp(num, 0, den);
    auto channel = [&](int from, int to) { return (from * (den - num) + to * num + den / 2) / den; };
    return {channel(a.red, b.red), channel(a.green, b.green), channel(a.blue, b.blue)};
}

void Picture::blend(int x, int y, Rgb colour, int coverage)
{
    if (x < 0 || y < 0 || x >= width || y >= height || coverage <= 0)
        return;
    Rgb& pixel = at(x, y);
    pixel = mix(pixel, {clamp_channel(colour.red), clamp_channel(colour.green), clamp_channel(colour.blue)},
                std::min(coverage, 255), 255);
}

Shape rectangle(double x0, double y0, double x1, double y1)
{
    return {bounds_of(x0, y0, x1, y1), [=](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; }};
}

Shape rounded_rectangle(double x0, double y0, double x1, double y1, double radius)
{
    radius = std::max(0.0, std::min({radius, (x1 - x0) / 2, (y1 - y0) / 2}));
    return {bounds_of(x0, y0, x1, y1), [=](double x, double y) {
                if (x < x0 || x >= x1 || y < y0 || y >= y1)
                    return false;
                double nearest_x = std::clamp(x, x0 + radius, x1 - radius);
                double nearest_y = std::clamp(y, y0 + radius, y1 - radius);
                double dx = x - nearest_x, dy = y - nearest_y;
                return dx * dx + dy * dy <= radius * radius;
            }};
}

Shape disc(double cx, double cy, double radius)
{
    return {bounds_of(cx - radius, cy - radius, cx + radius, cy + radius), [=](double x, double y) {
                double dx = x - cx, dy = y - cy;
                return dx * dx + dy * dy <= radius * radius;
            }};
}

Shape ring(double cx, double cy, double inner, double outer)
{
    return {bounds_of(cx - outer, cy - outer, cx + outer, cy + outer), [=](double x, double y) {
                double dx = x - cx, dy = y - cy, d = dx * dx + dy * dy;
                return d > inner * inner && d <= outer * outer;
            }};
}

Shape triangle(double ax, double ay, double bx, double by, double cx, double cy)
{
    Rect bounds = bounds_of(std::min({ax, bx, cx}), std::min({ay, by, cy}), std::max({ax, bx, cx}),
                            std::max({ay, by, cy}));
    return {bounds, [=](double x, double y) {
                double e0 = (bx - ax) * (y - ay) - (by - ay) * (x - ax);
                double e1 = (cx - bx) * (y - by) - (cy - by) * (x - bx);
                double e2 = (ax - cx) * (y - cy) - (ay - cy) * (x - cx);
                return (e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0);
            }};
}

Shape stroke(double ax, double ay, double bx, double by, double half_width)
{
    Rect bounds = bounds_of(std::min(ax, bx) - half_width, std::min(ay, by) - half_width,
                            std::max(ax, bx) + half_width, std::max(ay, by) + half_width);
    return {bounds, [=](double x, double y) {
                double vx = bx - ax, vy = by - ay, length = vx * vx + vy * vy;
                double t = length == 0 ? 0 : std::clamp(((x - ax) * vx + (y - ay) * vy) / length, 0.0, 1.0);
                double dx = x - (ax + t * vx), dy = y - (ay + t * vy);
                return dx * dx + dy * dy <= half_width * half_width;
            }};
}

Shape united(std::vector<Shape> parts)
{
    Rect bounds;
    for (const Shape& part : parts)
        bounds = union_of(bounds, part.bounds);
    return {bounds, [parts = std::move(parts)](double x, double y) {
                for (const Shape& part : parts)
                    if (part.inside(x, y))
                        return true;
                return false;
            }};
}

Shape intersected(Shape a, Shape b)
{
    Rect bounds = intersection_of(a.bounds, b.bounds);
    return {bounds, [a = std::move(a), b = std::move(b)](double x, double y) { return a.inside(x, y) && b.inside(x, y); }};
}

Shape subtracted(Shape a, Shape b)
{
    Rect bounds = a.bounds;
    return {bounds, [a = std::move(a), b = std::move(b)](double x, double y) { return a.inside(x, y) && !b.inside(x, y); }};
}

Shape shifted(Shape shape, double dx, double dy)
{
    Rect bounds = bounds_of(shape.bounds.x + dx, shape.bounds.y + dy, shape.bounds.x + shape.bounds.width + dx,
                            shape.bounds.y + shape.bounds.height + dy);
    return {bounds, [shape = std::move(shape), dx, dy](double x, double y) { return shape.inside(x - dx, y - dy); }};
}

Mask coverage(const Shape& shape, int width, int height)
{
    Mask mask(width, height);
    Rect area = intersection_of(shape.bounds, {0, 0, width, height});
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x)
            mask.cover[std::size_t(y) * std::size_t(width) + std::size_t(x)] = coverage_of(samples_inside(shape, x, y));
    return mask;
}

Mask blurred(const Mask& mask, int radius)
{
    Mask result = mask;
    int span = 2 * radius + 1;
    for (int pass = 0; pass < 2; ++pass) {
        Mask across(result.width, result.height);
        for (int y = 0; y < result.height; ++y)
            for (int x = 0; x < result.width; ++x) {
                int sum = 0;
                for (int k = std::max(0, x - radius); k <= std::min(result.width - 1, x + radius); ++k)
                    sum += result.at(k, y);
                across.cover[std::size_t(y) * std::size_t(result.width) + std::size_t(x)] = (sum + span / 2) / span;
            }
        for (int y = 0; y < result.height; ++y)
            for (int x = 0; x < result.width; ++x) {
                int sum = 0;
                for (int k = std::max(0, y - radius); k <= std::min(result.height - 1, y + radius); ++k)
                    sum += across.at(x, k);
                result.cover[std::size_t(y) * std::size_t(result.width) + std::size_t(x)] = (sum + span / 2) / span;
            }
    }
    return result;
}

Shade flat(Rgb colour)
{
    return [colour](int, int) { return colour; };
}

Shade vertical(Rgb top, Rgb bottom, int y0, int y1)
{
    return [=](int, int y) { return y1 <= y0 ? top : mix(top, bottom, std::clamp(y - y0, 0, y1 - y0), y1 - y0); };
}

void fill(Picture& picture, const Shape& shape, const Shade& shade)
{
    Rect area = intersection_of(shape.bounds, {0, 0, picture.width, picture.height});
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x)
            if (int samples = samples_inside(shape, x, y))
                picture.blend(x, y, shade(x, y), coverage_of(samples));
}

void fill(Picture& picture, const Shape& shape, Rgb colour)
{
    fill(picture, shape, flat(colour));
}

void fill(Picture& picture, const Mask& mask, Rgb colour, int strength, Rect clip)
{
    Rect area = intersection_of(clip, {0, 0, std::min(picture.width, mask.width), std::min(picture.height, mask.height)});
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x)
            picture.blend(x, y, colour, (mask.at(x, y) * strength + 127) / 255);
}

Shape text(const std::string& characters, double x, double y, double cell, double dot)
{
    std::vector<const Glyph*> glyphs;
    for (char character : characters)
        glyphs.push_back(&glyph_for(character));
    Rect bounds = bounds_of(x, y, x + text_width(characters, cell), y + GLYPH_ROWS * cell);
    double corner = dot < cell ? dot / 3 : 0;
    return {bounds, [=](double px, double py) {
                if (px < x || py < y)
                    return false;
                int column = static_cast<int>(std::floor((px - x) / cell));
                int row = static_cast<int>(std::floor((py - y) / cell));
                std::size_t index = std::size_t(column / 6);
                if (row >= GLYPH_ROWS || index >= glyphs.size() || column % 6 == 5)
                    return false;
                if (glyphs[index]->rows[row][column % 6] != '#')
                    return false;
                double u = px - (x + column * cell), v = py - (y + row * cell);
                if (u >= dot || v >= dot)
                    return false;
                double nearest_u = std::clamp(u, corner, dot - corner), nearest_v = std::clamp(v, corner, dot - corner);
                double du = u - nearest_u, dv = v - nearest_v;
                return du * du + dv * dv <= corner * corner;
            }};
}

double text_width(const std::string& characters, double cell)
{
    return characters.empty() ? 0 : (6.0 * double(characters.size()) - 1) * cell;
}

tools::PaletteImage to_palette(const Picture& picture)
{
    std::map<std::uint32_t, std::int64_t> histogram;
    for (const Rgb& pixel : picture.pixels)
        if (!(pixel == BLACK))
            ++histogram[key_of(pixel)];
    std::vector<Bucket> buckets;
    if (!histogram.empty()) {
        Bucket all;
        for (const auto& [key, count] : histogram) {
            all.colours.push_back({{int(key >> 16), int(key >> 8 & 0xFF), int(key & 0xFF)}, count});
            all.total += count;
        }
        buckets.push_back(std::move(all));
    }
    while (buckets.size() < 255) {
        std::size_t chosen = buckets.size();
        std::int64_t best = -1;
        for (std::size_t i = 0; i < buckets.size(); ++i) {
            if (buckets[i].colours.size() < 2)
                continue;
            std::int64_t range = buckets[i].range(buckets[i].widest_channel());
            std::int64_t score = range * range * buckets[i].total;
            if (score > best) {
                best = score;
                chosen = i;
            }
        }
        if (chosen == buckets.size())
            break;
        auto [lower, upper] = split(std::move(buckets[chosen]));
        buckets[chosen] = std::move(lower);
        buckets.insert(buckets.begin() + std::ptrdiff_t(chosen) + 1, std::move(upper));
    }
    tools::PaletteImage image(picture.width, picture.height);
    std::map<std::uint32_t, std::uint8_t> index_of;
    for (std::size_t i = 0; i < buckets.size(); ++i) {
        Rgb colour = buckets[i].mean();
        image.palette[i + 1] = {std::uint8_t(colour.red), std::uint8_t(colour.green), std::uint8_t(colour.blue)};
        for (const ColourCount& entry : buckets[i].colours)
            index_of[key_of(entry.colour)] = static_cast<std::uint8_t>(i + 1);
    }
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const Rgb& pixel = picture.at(x, y);
            image.at(x, y) = pixel == BLACK ? 0 : index_of.at(key_of(pixel));
        }
    return image;
}

Picture cropped(const Picture& picture, Rect box)
{
    Picture result(box.width, box.height);
    for (int y = 0; y < box.height; ++y)
        for (int x = 0; x < box.width; ++x)
            if (picture.width > box.x + x && picture.height > box.y + y && box.x + x >= 0 && box.y + y >= 0)
                result.at(x, y) = picture.at(box.x + x, box.y + y);
    return result;
}

}  // namespace art
