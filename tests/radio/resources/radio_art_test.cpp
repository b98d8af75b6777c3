// The radio's committed bitmaps: ids, sizes and palettes, the resource script that names them, and
// what each picture shows where the radio's elements and hot spots lie on its face.
#include "panelhost/host/bitmap.h"
#include "tests/support/bitmap_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>

namespace {

struct Box {
    int x, y, width, height;
    bool holds(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
};

// the face's layout, as the module declares it
constexpr Box LIGHTING = {26, 61, 370, 67};
constexpr Box POWER_LIGHT = {378, 59, 27, 13};
constexpr Box STATION = {136, 58, 202, 43};
constexpr Box PRESET_STRIP = {150, 111, 197, 19};
constexpr Box MODE_STRIP = {417, 49, 30, 66};
constexpr Box TRACK_TEXT = {225, 65, 40, 32};
constexpr Box VOLUME_UP = {0, 51, 51, 33}, VOLUME_DOWN = {0, 85, 51, 34};
constexpr Box PAUSE = {120, 100, 24, 47}, PREVIOUS_TRACK = {352, 100, 24, 47}, NEXT_TRACK = {376, 100, 24, 47};
constexpr Box PRESET_BUTTONS[] = {{145, 100, 36, 47}, {181, 100, 34, 47}, {215, 100, 34, 47},
                                  {249, 100, 32, 47}, {281, 100, 35, 47}, {316, 100, 36, 47}};
constexpr Box MODE_BUTTONS[] = {{408, 48, 68, 23}, {408, 71, 68, 23}, {408, 94, 68, 23}};

std::string resource_dir()
{
    return RADIO_RESOURCE_DIR;
}

panelhost::Bitmap read_bitmap(int id)
{
    return test_support::read_bitmap_file(resource_dir() + "/bitmap_" + std::to_string(id) + ".bmp");
}

std::uint32_t pixel(const panelhost::Bitmap& bitmap, int x, int y)
{
    return bitmap.pixels[std::size_t(y) * std::size_t(bitmap.width) + std::size_t(x)];
}

int brightest_channel(std::uint32_t colour)
{
    return std::max({int(colour >> 16 & 0xFF), int(colour >> 8 & 0xFF), int(colour & 0xFF)});
}

bool far_apart(std::uint32_t a, std::uint32_t b)
{
    int distance = 0;
    for (int shift = 0; shift < 24; shift += 8)
        distance += std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF));
    return distance > 48;
}

// The lit (non-black) pixels of an overlay, in the face's coordinates.
std::vector<std::pair<int, int>> lit_pixels(const panelhost::Bitmap& bitmap, Box at)
{
    std::vector<std::pair<int, int>> lit;
    for (int y = 0; y < bitmap.height; ++y)
        for (int x = 0; x < bitmap.width; ++x)
            if (pixel(bitmap, x, y) != 0)
                lit.push_back({at.x + x, at.y + y});
    return lit;
}

struct Resource {
    const char* what;
    int first_id, pictures, width, height;
    Box at;  // where the host draws it; the needle turns about the knob instead
};

const Resource RESOURCES[] = {
    {"background", 4096, 1, 476, 147, {0, 0, 476, 147}},
    {"button lighting", 13824, 1, 370, 67, LIGHTING},
    {"power light", 13568, 1, 27, 13, POWER_LIGHT},
    {"station display", 12288, 13, 202, 43, STATION},
    {"preset strip", 9472, 7, 197, 19, PRESET_STRIP},
    {"mode strip", 8192, 3, 30, 66, MODE_STRIP},
    {"volume needle", 16384, 1, 31, 9, {0, 0, 31, 9}},
};

TEST(RadioArt, EveryBitmapHasItsSizeAndAFullPalette)
{
    for (const Resource& resource : RESOURCES)
        for (int id = resource.first_id; id < resource.first_id + resource.pictures; ++id) {
            panelhost::Bitmap bitmap = read_bitmap(id);
            EXPECT_EQ(bitmap.width, resource.width) << resource.what << " " << id;
            EXPECT_EQ(bitmap.height, resource.height) << resource.what << " " << id;
            EXPECT_EQ(bitmap.bits_per_pixel, 8) << resource.what << " " << id;
            EXPECT_EQ(bitmap.palette_size, 256) << resource.what << " " << id;
        }
}

TEST(RadioArt, ResourceScriptNamesEveryBitmapOnceAndNoOther)
{
    std::set<int> expected;
    for (const Resource& resource : RESOURCES)
        for (int id = resource.first_id; id < resource.first_id + resource.pictures; ++id)
            expected.insert(id);
    ASSERT_EQ(expected.size(), 27u);

    std::ifstream script(resource_dir() + "/radio.rc");
    ASSERT_TRUE(script) << "no radio.rc in " << resource_dir();
    const std::regex bitmap_line(R"re(^\s*(\d+)\s+BITMAP\s+"([^"]+)"\s*$)re");
    std::set<int> named;
    std::string line;
    while (std::getline(script, line)) {
        std::smatch match;
        if (!std::regex_match(line, match, bitmap_line))
            continue;
        int id = std::stoi(match[1]);
        EXPECT_TRUE(named.insert(id).second) << "bitmap " << id << " named twice";
        EXPECT_EQ(match[2].str(), "bitmap_" + std::to_string(id) + ".bmp") << line;
        EXPECT_TRUE(std::filesystem::exists(resource_dir() + "/" + match[2].str())) << line;
    }
    EXPECT_EQ(named, expected);

    for (const auto& entry : std::filesystem::directory_iterator(resource_dir()))
        if (entry.path().extension() == ".bmp") {
            std::string name = entry.path().filename().string();
            int id = std::stoi(name.substr(7));
            EXPECT_TRUE(named.count(id)) << name << " lies in the resources but the script does not name it";
        }
}

// The host draws the background with the transparency flag too, so black in it would show the
// panel behind.
TEST(RadioArt, BackgroundHoldsNoBlack)
{
    panelhost::Bitmap background = read_bitmap(4096);
    ASSERT_EQ(background.pixels.size(), 476u * 147u);
    for (int y = 0; y < 147; ++y)
        for (int x = 0; x < 476; ++x)
            ASSERT_NE(pixel(background, x, y), 0u) << "background pixel " << x << ", " << y << " is black";
}

// Black is transparent in the overlays and the needle: index 0 is black, and a lit pixel is
// never black, so nothing lit turns into a hole.
TEST(RadioArt, OverlaysAreBlackIndexZeroWhereUnlitAndNeverBlackWhereLit)
{
    for (const Resource& resource : RESOURCES) {
        if (resource.first_id == 4096)
            continue;
        for (int id = resource.first_id; id < resource.first_id + resource.pictures; ++id) {
            panelhost::Bitmap bitmap = read_bitmap(id);
            ASSERT_EQ(bitmap.palette.size(), 256u) << id;
            EXPECT_EQ(bitmap.palette[0], 0u) << resource.what << " " << id << ": palette entry 0 is not black";
            std::size_t lit = 0;
            for (std::size_t i = 0; i < bitmap.indices.size(); ++i) {
                bool black = bitmap.pixels[i] == 0;
                ASSERT_EQ(black, bitmap.indices[i] == 0)
                    << resource.what << " " << id << " pixel " << i << ": index " << int(bitmap.indices[i]) << ", colour "
                    << std::hex << bitmap.pixels[i];
                lit += !black;
            }
            EXPECT_GT(lit, 20u) << resource.what << " " << id << " shows next to nothing";
        }
    }
}

TEST(RadioArt, LightingLightsTheRockerAndTheSmallButtonsOnly)
{
    const struct {
        const char* name;
        Box box;
    } buttons[] = {{"volume up", VOLUME_UP}, {"volume down", VOLUME_DOWN}, {"pause", PAUSE},
                   {"previous track", PREVIOUS_TRACK}, {"next track", NEXT_TRACK}};
    std::map<std::string, int> lit_in;
    for (auto [x, y] : lit_pixels(read_bitmap(13824), LIGHTING)) {
        const char* owner = nullptr;
        for (const auto& button : buttons)
            if (button.box.holds(x, y))
                owner = button.name;
        ASSERT_TRUE(owner) << "the lighting lights " << x << ", " << y << ", on no button it lights";
        ++lit_in[owner];
    }
    for (const auto& button : buttons)
        EXPECT_GE(lit_in[button.name], 20) << button.name << " is barely lit";
}

// The host writes its text and the badge over the display, so what lies under them must be the
// dark glass.
TEST(RadioArt, DisplayWindowHoldsTheStationTrackDigitsAndPowerLight)
{
    panelhost::Bitmap background = read_bitmap(4096);
    for (int y = TRACK_TEXT.y; y < TRACK_TEXT.y + TRACK_TEXT.height; ++y)
        for (int x = TRACK_TEXT.x; x < TRACK_TEXT.x + TRACK_TEXT.width; ++x)
            ASSERT_LT(brightest_channel(pixel(background, x, y)), 48) << "under the track digits at " << x << ", " << y;
    std::vector<std::pair<int, Box>> overlays = {{13568, POWER_LIGHT}};
    for (int id = 12288; id <= 12300; ++id)
        overlays.push_back({id, STATION});
    for (auto [id, box] : overlays)
        for (auto [x, y] : lit_pixels(read_bitmap(id), box))
            ASSERT_LT(brightest_channel(pixel(background, x, y)), 48) << "bitmap " << id << " lights " << x << ", " << y
                                                                       << " off the display glass";
}

// ---- the station display read back ----------------------------------------------------------------------

struct Pattern {
    char character;
    const char* rows[7];
};

const Pattern PATTERNS[] = {
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
};

int first_lit_column(const Pattern& pattern)
{
    for (int column = 0; column < 5; ++column)
        for (const char* row : pattern.rows)
            if (row[column] == '#')
                return column;
    return 5;
}

// Reads a dot-matrix picture: bright dots on a 4-pixel pitch, 5 x 7 dots a character, characters
// 6 dots apart, words further apart. An unreadable glyph reads '?'.
std::string read_display(const panelhost::Bitmap& picture)
{
    auto bright = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < picture.width && y < picture.height && (pixel(picture, x, y) >> 8 & 0xFF) >= 160;
    };
    int top = picture.height;
    for (int y = 0; y < picture.height && top == picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (bright(x, y))
                top = y;
    std::string text;
    int next = 0, previous_origin = -1000;
    while (true) {
        int left = -1;
        for (int x = next; x < picture.width && left < 0; ++x)
            for (int y = top; y < std::min(top + 28, picture.height); ++y)
                if (bright(x, y))
                    left = x;
        if (left < 0)
            return text;
        const Pattern* found = nullptr;
        int origin = 0;
        for (const Pattern& pattern : PATTERNS) {
            origin = left - 4 * first_lit_column(pattern);
            bool same = true;
            for (int row = 0; row < 7 && same; ++row)
                for (int column = 0; column < 5 && same; ++column)
                    same = bright(origin + 4 * column + 1, top + 4 * row + 1) == (pattern.rows[row][column] == '#');
            if (same) {
                found = &pattern;
                break;
            }
        }
        if (!found)
            return text + "?";
        if (!text.empty() && origin - previous_origin > 24)
            text += ' ';
        text += found->character;
        previous_origin = origin;
        next = origin + 20;
    }
}

TEST(RadioArt, StationPicturesReadTheirStations)
{
    const char* expected[] = {"CD",      "FM 101",  "FM 102",  "FM 103",  "FM 104",  "FM 105", "FM 106",
                              "AM 1110", "AM 1120", "AM 1130", "AM 1140", "AM 1150", "AM 1160"};
    for (int picture = 0; picture < 13; ++picture)
        EXPECT_EQ(read_display(read_bitmap(12288 + picture)), expected[picture]) << "station picture " << picture;
}

// Nothing is cut off at the edge of the element, and in CD mode the host's track digits have
// their box to themselves.
TEST(RadioArt, StationPicturesStayInsideTheirBoxAndClearOfTheTrackDigits)
{
    for (int picture = 0; picture < 13; ++picture)
        for (auto [x, y] : lit_pixels(read_bitmap(12288 + picture), STATION)) {
            ASSERT_TRUE(x > STATION.x && y > STATION.y && x < STATION.x + STATION.width - 1 && y < STATION.y + STATION.height - 1)
                << "station picture " << picture << " lights its edge at " << x << ", " << y;
            if (picture == 0) {
                ASSERT_FALSE(TRACK_TEXT.holds(x, y)) << "the CD picture lights " << x << ", " << y << " in the track digits' box";
            }
        }
}

TEST(RadioArt, PresetStripMarksEachButtonOverItself)
{
    panelhost::Bitmap unmarked = read_bitmap(9478);
    for (int button = 0; button < 6; ++button) {
        Box over = PRESET_BUTTONS[button];
        bool lit = false;
        for (auto [x, y] : lit_pixels(unmarked, PRESET_STRIP))
            lit = lit || over.holds(x, y);
        EXPECT_TRUE(lit) << "the unmarked strip shows nothing over button " << button + 1;
    }
    for (int button = 0; button < 6; ++button) {
        panelhost::Bitmap marked = read_bitmap(9472 + button);
        Box over = PRESET_BUTTONS[button];
        int changed = 0;
        for (int y = 0; y < marked.height; ++y)
            for (int x = 0; x < marked.width; ++x) {
                // each picture has its own palette, so the unmarked numbers may differ slightly
                if (!far_apart(pixel(marked, x, y), pixel(unmarked, x, y)))
                    continue;
                ++changed;
                ASSERT_TRUE(over.holds(PRESET_STRIP.x + x, PRESET_STRIP.y + y))
                    << "the mark of button " << button + 1 << " reaches x " << PRESET_STRIP.x + x << ", outside "
                    << over.x << ".." << over.x + over.width - 1;
            }
        EXPECT_GT(changed, 30) << "button " << button + 1 << " is hardly marked";
    }
}

TEST(RadioArt, ModeStripLightsOneModeButton)
{
    const char* modes[] = {"CD", "FM", "AM"};
    for (int mode = 0; mode < 3; ++mode) {
        std::vector<std::pair<int, int>> lit = lit_pixels(read_bitmap(8192 + mode), MODE_STRIP);
        EXPECT_GT(lit.size(), 30u) << modes[mode];
        for (auto [x, y] : lit)
            ASSERT_TRUE(MODE_BUTTONS[mode].holds(x, y)) << "the " << modes[mode] << " picture lights " << x << ", " << y
                                                         << ", off the " << modes[mode] << " button";
    }
}

// The host turns the needle about its pivot (1, 4): the pointer runs to the right of it, as long as
// the picture allows, and symmetric about the pivot's row so that it turns true.
TEST(RadioArt, NeedlePointsRightFromItsPivot)
{
    panelhost::Bitmap needle = read_bitmap(16384);
    int reach = -1;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 31; ++x) {
            ASSERT_EQ(pixel(needle, x, y), pixel(needle, x, 8 - y)) << "pixel " << x << ", " << y << " and its mirror";
            if (pixel(needle, x, y) != 0) {
                ASSERT_GT(x, 1) << "the needle lights " << x << ", " << y << ", behind its pivot";
                reach = std::max(reach, x);
            }
        }
    EXPECT_GE(reach, 28) << "the pointer ends short of the knob's scale";
    EXPECT_NE(pixel(needle, 20, 4), 0u) << "the pointer is not on the pivot's row";
}

}  // namespace
