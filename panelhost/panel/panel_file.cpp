// Reading a panel configuration: its window sections, their sizes and their gauge lines.
#include "panelhost/panel/panel_file.h"

#include "panelhost/base/limits.h"
#include "base/text.h"
#include "panelhost/base/shown_input.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <map>

namespace panelhost {
namespace {

using base::lower;
using base::read_whole_number;
using base::shown_input;
using base::trim;

// The letters of a key and the number after them ("gauge", 3 for "gauge03"); false if the key is
// not letters then digits.
bool split_key(std::string_view key, std::string& letters, int& number)
{
    std::size_t digits = key.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(key[digits - 1])))
        --digits;
    if (digits == 0 || digits == key.size() || key.size() - digits > 4)
        return false;
    for (std::size_t i = 0; i < digits; ++i)
        if (!std::isalpha(static_cast<unsigned char>(key[i])))
            return false;
    letters = lower(key.substr(0, digits));
    read_whole_number(key.substr(digits), 0, 9999, number);
    return true;
}

// The edits (a letter put in, taken out, changed, or two neighbours swapped) from one word to the
// other.
int edit_distance(const std::string& a, const std::string& b)
{
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = static_cast<int>(i);
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            int change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// "a WIDTH of 98", "the default HEIGHT"
std::string side_text(const char* name, const std::optional<long>& size)
{
    return size ? std::string("a ") + name + " of " + std::to_string(*size) : std::string("the default ") + name;
}

const std::string LARGEST_PICTURE = std::to_string(MAX_PICTURE_SIDE) + " x " + std::to_string(MAX_PICTURE_SIDE);

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (;;) {
        std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

// An optional size field: empty means the gauge's own default, as a missing one does; 0 a gauge
// that runs and is never drawn (with the other side 0 too).
bool read_size_field(std::string_view text, const char* name, std::optional<long>& size, std::string& problem)
{
    if (trim(text).empty())
        return true;
    long value = 0;
    if (!read_whole_number(trim(text), LONG_MIN, LONG_MAX, value)) {
        problem = std::string("the ") + name + " \"" + shown_input(trim(text)) + "\" is not a whole number";
        return false;
    }
    if (value < 0) {
        problem = std::string("the ") + name + " " + std::to_string(value) + " is below 0";
        return false;
    }
    if (value > MAX_PICTURE_SIDE) {
        problem = std::string("the ") + name + " " + std::to_string(value) +
                  " is larger than the largest picture the bench draws, " + LARGEST_PICTURE;
        return false;
    }
    size = value;
    return true;
}

// A gauge of no size is 0 x 0: it runs every frame and is never drawn, as a virtual cockpit's
// logic gauges are. A WIDTH of 0 alone keeps the gauge's shape, so its height is 0 too; one side 0
// and the other not is no size at all.
bool read_no_size(PanelGaugeLine& gauge, std::string& problem)
{
    if (gauge.width == 0 && !gauge.height)
        gauge.height = 0;
    if ((gauge.width == 0) == (gauge.height == 0))
        return true;
    problem = side_text("WIDTH", gauge.width) + " and " + side_text("HEIGHT", gauge.height) +
              ": a gauge that is never drawn has both 0, a gauge that is drawn neither";
    return false;
}

// The parts of "module!gauge, x, y[, width[, height[, parameters]]]"; false with the problem when
// they do not read. What follows the height is the gauge's own (a file of its settings, a word),
// kept as written.
bool read_gauge_value(std::string_view value, PanelGaugeLine& gauge, std::string& problem)
{
    std::vector<std::string_view> parts = split(value, ',');
    std::string_view name = trim(parts[0]);
    std::size_t bang = name.find('!');
    if (parts.size() < 3 || bang == std::string_view::npos || bang == 0 || bang + 1 == name.size()) {
        problem = "expected MODULE!GAUGE, X, Y[, WIDTH[, HEIGHT[, PARAMETERS]]], not \"" + shown_input(value) + "\"";
        return false;
    }
    gauge.module = std::string(trim(name.substr(0, bang)));
    gauge.gauge = std::string(trim(name.substr(bang + 1)));
    // A place is a point of the window as the host keeps it, a number of 32 bits.
    const char* const PLACES[] = {"X", "Y"};
    long place[2] = {};
    for (int i = 0; i < 2; ++i) {
        if (!read_whole_number(trim(parts[i + 1]), LONG_MIN, LONG_MAX, place[i])) {
            problem = std::string("the ") + PLACES[i] + " \"" + shown_input(trim(parts[i + 1])) + "\" is not a whole number";
            return false;
        }
        if (place[i] < INT32_MIN || place[i] > INT32_MAX) {
            problem = std::string("the ") + PLACES[i] + " " + std::to_string(place[i]) + " lies beyond a window's points, " +
                      std::to_string(INT32_MIN) + " to " + std::to_string(INT32_MAX);
            return false;
        }
    }
    gauge.x = place[0];
    gauge.y = place[1];
    if (parts.size() > 3 && !read_size_field(parts[3], "WIDTH", gauge.width, problem))
        return false;
    if (parts.size() > 4 && !read_size_field(parts[4], "HEIGHT", gauge.height, problem))
        return false;
    if (!read_no_size(gauge, problem))
        return false;
    if (parts.size() > 5)
        gauge.parameters = std::string(trim(value.substr(static_cast<std::size_t>(parts[5].data() - value.data()))));
    return true;
}

// "size_mm=WIDTH[,HEIGHT]" or "pixel_size=WIDTH[,HEIGHT]"; false with the problem when it does not
// read. A section of no size, 0 x 0 (or a width of 0 alone), shows no picture: its gauges run and
// are never drawn, as a virtual cockpit's panel of logic gauges. A section that is drawn is at
// most MAX_PICTURE_SIDE a side.
bool read_section_size(std::string_view key, std::string_view value, long& width, std::optional<long>& height,
                       std::string& problem)
{
    std::vector<std::string_view> sizes = split(value, ',');
    long second = 0;
    if (sizes.size() > 2 || !read_whole_number(trim(sizes[0]), LONG_MIN, LONG_MAX, width) || width < 0 ||
        (sizes.size() == 2 && (!read_whole_number(trim(sizes[1]), LONG_MIN, LONG_MAX, second) || second < 0))) {
        problem = shown_input(key) + ": expected WIDTH[,HEIGHT], whole numbers of 0 or more, not \"" + shown_input(value) +
                  "\"";
        return false;
    }
    if (sizes.size() == 2)
        height = second;
    else if (width == 0)
        height = 0;
    std::string size = std::to_string(width) + (height ? " x " + std::to_string(*height) : std::string());
    if (height && (width == 0) != (*height == 0)) {
        problem = shown_input(key) + ": " + size +
                  " has one side 0: a section of no size, whose gauges run and are never drawn, is 0 x 0";
        return false;
    }
    if (width > MAX_PICTURE_SIDE || (height && *height > MAX_PICTURE_SIDE)) {
        problem = shown_input(key) + ": " + size + " is larger than the largest picture the bench draws, " + LARGEST_PICTURE;
        return false;
    }
    return true;
}

// The section a heading opens, if it is one that shows gauges ("Window06", "VCockpit01").
bool gauge_section(std::string_view heading, int line_number, PanelWindow& section)
{
    std::string letters;
    int number = 0;
    if (!split_key(heading, letters, number))
        return false;
    if (letters == "window")
        section.kind = PanelSectionKind::Window;
    else if (letters == "vcockpit")
        section.kind = PanelSectionKind::VirtualCockpit;
    else
        return false;
    section.line = line_number;
    section.name = std::string(heading);
    section.number = number;
    return true;
}

}  // namespace

bool looks_like_gauge_key(std::string_view key)
{
    std::string letters;
    int number = 0;
    if (!split_key(key, letters, number) || letters == "gauge")
        return false;
    return edit_distance(letters, "gauge") <= 2;
}

namespace {

// The reading of a panel file, line by line: the section the lines belong to, and what it has
// read of it so far.
class PanelReader {
public:
    PanelReader(std::vector<PanelWindow>& windows, std::vector<PanelProblem>& problems)
        : windows_(windows), problems_(problems)
    {
    }

    // A line without its comment and its blanks, not empty: a section's heading or a key's line.
    void line(std::string_view line, int line_number)
    {
        if (line.front() == '[') {
            heading(line, line_number);
            return;
        }
        std::size_t equals = line.find('=');
        if (!window_ || equals == std::string_view::npos)
            return;
        std::string_view key = trim(line.substr(0, equals));
        std::string_view value = trim(line.substr(equals + 1));
        std::string letters;
        int number = 0;
        std::string lowered = lower(key);
        // A virtual cockpit's panel is a texture of pixel_size pixels; where it gives size_mm too,
        // that is the size its gauge lines count in.
        bool pixel_size = lowered == "pixel_size" && window_->kind == PanelSectionKind::VirtualCockpit;
        if (lowered == "size_mm" || pixel_size)
            size_line(key, value, pixel_size, line_number);
        else if (split_key(key, letters, number) && letters == "gauge")
            gauge_line(key, lowered, value, line_number);
        else if (looks_like_gauge_key(key))
            problems_.push_back({line_number, "\"" + shown_input(key) +
                                                  "\" is not a gauge line's key (gaugeNN): the simulator skips the line"});
    }

private:
    // "[Window00]": a section that shows gauges is read from here on, any other is skipped.
    void heading(std::string_view line, int line_number)
    {
        window_ = nullptr;
        keys_seen_.clear();
        sized_by_mm_ = false;
        std::size_t close = line.find(']');
        std::string_view heading = trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
        PanelWindow section;
        if (gauge_section(heading, line_number, section)) {
            windows_.push_back(std::move(section));
            window_ = &windows_.back();
        }
    }

    void size_line(std::string_view key, std::string_view value, bool pixel_size, int line_number)
    {
        long width = 0;
        std::optional<long> height;
        std::string problem;
        if (!read_section_size(key, value, width, height, problem)) {
            problems_.push_back({line_number, problem});
            return;
        }
        if (pixel_size && sized_by_mm_)
            return;
        window_->width = width;
        window_->height = height;
        sized_by_mm_ = !pixel_size;
    }

    void gauge_line(std::string_view key, const std::string& lowered, std::string_view value, int line_number)
    {
        auto seen = keys_seen_.find(lowered);
        if (seen != keys_seen_.end()) {
            problems_.push_back({line_number, shown_input(key) + ": a second line with this key in " + window_->name +
                                                  " (the first is line " + std::to_string(seen->second) + ")"});
            return;
        }
        keys_seen_[lowered] = line_number;
        PanelGaugeLine gauge;
        gauge.line = line_number;
        gauge.key = std::string(key);
        std::string problem;
        if (!read_gauge_value(value, gauge, problem)) {
            problems_.push_back({line_number, shown_input(gauge.key) + ": " + problem});
            return;
        }
        window_->gauges.push_back(std::move(gauge));
    }

    std::vector<PanelWindow>& windows_;
    std::vector<PanelProblem>& problems_;
    PanelWindow* window_ = nullptr;        // the section being read, if it is one that shows gauges
    std::map<std::string, int> keys_seen_;  // its gauge keys, lower case, and their lines
    bool sized_by_mm_ = false;             // its size is its size_mm
};

}  // namespace

void read_panel_file(std::string_view text, std::vector<PanelWindow>& windows, std::vector<PanelProblem>& problems)
{
    PanelReader reader(windows, problems);
    int line_number = 0;
    text = base::without_byte_order_mark(text);
    while (!text.empty()) {
        std::string_view line = base::next_line_joining_returns(text);
        ++line_number;
        if (std::size_t comment = line.find("//"); comment != std::string_view::npos)
            line = line.substr(0, comment);
        line = trim(line);
        if (!line.empty() && line.front() != ';')
            reader.line(line, line_number);
    }
}

}  // namespace panelhost
