// What the sound card received from the radio, for a person to hear and see: the captured
// stream as a WAV file, and a picture of its loudness over time with each press of the session
// marked and named (found by its click, or by the script's time since the press before).
//     sound_listen CAPTURE RATE CHANNELS FORMAT SCRIPT CLICK.wav OUT_DIR
// writes OUT_DIR/radio.wav (16-bit PCM) and OUT_DIR/radio.png.
#include "tools/sound/radio_presses.h"
#include "tools/sound/sound_capture.h"

#include "base/bytes.h"
#include "base/text.h"
#include "panelhost/picture/render.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace sound;

constexpr int PIXELS_PER_SECOND = 100;
constexpr int LABEL_ROWS = 5;           // the presses' names take turns over these rows
constexpr int ROW_HEIGHT = 16;
constexpr int TOP = 12 + LABEL_ROWS * ROW_HEIGHT;
constexpr int PLOT_HEIGHT = 300;
constexpr int LEFT = 72;
constexpr int BOTTOM = 30;
constexpr double FLOOR_DB = -90;        // the picture's loudness runs from here to full scale
constexpr double WINDOW_S = 0.01;       // one loudness value for each 10 ms
constexpr const char* FONT = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
constexpr std::uint32_t BACKGROUND = 0x101418, GRID = 0x2C333B, LOUDNESS = 0x4CC46A, PEAK = 0x1F5A33,
                        CLICKING = 0xFFA040, SILENT_PRESS = 0x60A0FF, TEXT = 0xE8E8E8;

class Text {
public:
    Text() { ready_ = FT_Init_FreeType(&library_) == 0 && FT_New_Face(library_, FONT, 0, &face_) == 0; }
    ~Text()
    {
        if (face_)
            FT_Done_Face(face_);
        if (library_)
            FT_Done_FreeType(library_);
    }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    bool ready() const { return ready_; }

    // One line of text, its top left at (x, y), 12 pixels high.
    void draw(panelhost::Canvas& canvas, const std::string& text, int x, int y, std::uint32_t colour)
    {
        FT_Set_Pixel_Sizes(face_, 0, 12);
        int baseline = y + static_cast<int>(face_->size->metrics.ascender >> 6);
        long pen = static_cast<long>(x) << 6;
        for (unsigned char c : text) {
            if (FT_Load_Char(face_, c, FT_LOAD_RENDER) != 0)
                continue;
            const FT_GlyphSlot glyph = face_->glyph;
            for (unsigned row = 0; row < glyph->bitmap.rows; ++row)
                for (unsigned column = 0; column < glyph->bitmap.width; ++column) {
                    int px = static_cast<int>(pen >> 6) + glyph->bitmap_left + static_cast<int>(column);
                    int py = baseline - glyph->bitmap_top + static_cast<int>(row);
                    if (px >= 0 && py >= 0 && px < canvas.width && py < canvas.height)
                        canvas.blend(px, py, colour,
                                     glyph->bitmap.buffer[row * static_cast<unsigned>(glyph->bitmap.pitch) + column]);
                }
            pen += glyph->advance.x;
        }
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    bool ready_ = false;
};

bool write_wave(const std::string& path, const Signal& signal)
{
    std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F'};
    const std::uint32_t data = static_cast<std::uint32_t>(signal.samples.size() * 2);
    base::put32(out, 36 + data);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    base::put32(out, 16);
    base::put16(out, 1);   // PCM
    base::put16(out, static_cast<std::uint16_t>(signal.channels));
    base::put32(out, static_cast<std::uint32_t>(signal.rate));
    base::put32(out, static_cast<std::uint32_t>(signal.rate * signal.channels * 2));
    base::put16(out, static_cast<std::uint16_t>(signal.channels * 2));
    base::put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    base::put32(out, data);
    for (float sample : signal.samples) {
        long value = std::lround(std::clamp(double(sample), -1.0, 1.0) * 32767);
        base::put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(value)));
    }
    return base::write_file(path, out);
}

int y_of(double db)
{
    double share = (std::clamp(db, FLOOR_DB, 0.0) - FLOOR_DB) / -FLOOR_DB;
    return TOP + PLOT_HEIGHT - static_cast<int>(std::lround(share * PLOT_HEIGHT));
}

void vertical(panelhost::Canvas& canvas, int x, int from, int to, std::uint32_t colour)
{
    for (int y = from; y < to; ++y)
        canvas.put(x, y, colour);
}

void horizontal(panelhost::Canvas& canvas, int y, int from, int to, std::uint32_t colour)
{
    for (int x = from; x < to; ++x)
        canvas.put(x, y, colour);
}

// The picture: the loudness of each 10 ms (its mean power, and the loudest sample faintly
// behind it), the decibel grid, the seconds, and each press a line with its name above.
bool draw(const Signal& capture, const std::vector<Press>& presses, const Placement& placement,
          const std::string& path, std::string& error)
{
    Text text;
    if (!text.ready()) {
        error = std::string("cannot read the font ") + FONT;
        return false;
    }
    const double seconds = capture.seconds(capture.frames());
    const int width = LEFT + static_cast<int>(std::ceil(seconds * PIXELS_PER_SECOND)) + 20;
    panelhost::Canvas canvas(width, TOP + PLOT_HEIGHT + BOTTOM);
    std::fill(canvas.pixels.begin(), canvas.pixels.end(), BACKGROUND);
    for (int db = 0; db >= FLOOR_DB; db -= 10) {
        horizontal(canvas, y_of(db), LEFT, width, GRID);
        text.draw(canvas, std::to_string(db) + " dBFS", 4, y_of(db) - 7, TEXT);
    }
    for (int second = 0; second <= seconds; ++second) {
        int x = LEFT + second * PIXELS_PER_SECOND;
        vertical(canvas, x, TOP, TOP + PLOT_HEIGHT, GRID);
        text.draw(canvas, std::to_string(second) + " s", x - 6, TOP + PLOT_HEIGHT + 8, TEXT);
    }
    const std::size_t window = capture.frame_at(WINDOW_S);
    const std::vector<float> mono = channel(capture, -1);
    for (int x = LEFT; x < width; ++x) {
        std::size_t from = capture.frame_at(double(x - LEFT) / PIXELS_PER_SECOND);
        if (from + window > capture.frames())
            break;
        vertical(canvas, x, y_of(peak_db(capture, from, from + window)), TOP + PLOT_HEIGHT, PEAK);
        vertical(canvas, x, y_of(rms_db(mono, from, from + window)), TOP + PLOT_HEIGHT, LOUDNESS);
    }
    for (std::size_t i = 0; i < presses.size(); ++i) {
        int x = LEFT + static_cast<int>(std::lround(placement.presses[i].seconds * PIXELS_PER_SECOND));
        int row = static_cast<int>(i % LABEL_ROWS);
        std::uint32_t colour = presses[i].clicks ? CLICKING : SILENT_PRESS;
        vertical(canvas, x, 8 + row * ROW_HEIGHT + 12, TOP + PLOT_HEIGHT, colour);
        text.draw(canvas, presses[i].name, x + 2, 6 + row * ROW_HEIGHT, colour);
    }
    return panelhost::write_png(canvas, path, error);
}

}  // namespace

int main(int argc, char** argv)
{
    long long rate = 0, channels = 0;
    if (argc != 8 || !base::read_whole_number(argv[2], 1, 768000, rate) ||
        !base::read_whole_number(argv[3], 1, 64, channels)) {
        std::fprintf(stderr, "usage: sound_listen CAPTURE RATE CHANNELS FORMAT SCRIPT CLICK.wav OUT_DIR\n");
        return 2;
    }
    std::string error, script;
    Signal capture, click;
    std::vector<Press> presses;
    std::ifstream script_file(argv[5], std::ios::binary);
    script.assign(std::istreambuf_iterator<char>(script_file), std::istreambuf_iterator<char>());
    if (!read_raw(argv[1], int(rate), int(channels), argv[4], capture, error) || !read_wave(argv[6], click, error) ||
        !read_presses(script, presses, error)) {
        std::fprintf(stderr, "sound_listen: %s\n", error.c_str());
        return 1;
    }
    const std::string out = argv[7];
    Session session = place_session(channel(capture, -1), capture.rate, click, presses);
    const Placement& placement = session.placement;
    const std::vector<Occurrence>& clicks = session.clicks;
    for (const std::string& fault : placement.faults)
        std::printf("note: %s\n", fault.c_str());
    if (!write_wave(out + "/radio.wav", capture)) {
        std::fprintf(stderr, "sound_listen: cannot write %s/radio.wav\n", out.c_str());
        return 1;
    }
    if (!draw(capture, presses, placement, out + "/radio.png", error)) {
        std::fprintf(stderr, "sound_listen: %s\n", error.c_str());
        return 1;
    }
    std::printf("%.1f s of sound, %zu presses (%zu clicks heard): %s/radio.wav, %s/radio.png\n",
                capture.seconds(capture.frames()), presses.size(), clicks.size(), out.c_str(), out.c_str());
    for (std::size_t i = 0; i < presses.size(); ++i)
        std::printf("  %7.3f s  %s%s\n", placement.presses[i].seconds, presses[i].name.c_str(),
                    presses[i].clicks && placement.presses[i].click < 0 ? " (no click heard)" : "");
    return 0;
}
