// The checks of the manual against the modules' facts.
#include "tests/tools/manual/manual_check.h"

#include "host/panel_host.h"
#include "tests/tools/manual/html_reader.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace manual_test {

namespace {

// What a pilot reads for each cursor of a mouse row.
const std::map<std::int32_t, std::string> CURSOR_NAMES = {
    {CURSOR_HAND, "hand"},
    {CURSOR_UPARROW, "up arrow"},
    {CURSOR_DOWNARROW, "down arrow"},
    {CURSOR_LEFTARROW, "left arrow"},
    {CURSOR_RIGHTARROW, "right arrow"},
};

// Elements that fetch or run something.
const char* const FORBIDDEN_ELEMENTS[] = {"script", "link", "iframe", "frame", "object", "embed", "base", "audio",
                                          "video", "source"};
// Attributes that name something to fetch or follow.
const char* const REFERENCE_ATTRIBUTES[] = {"src", "href", "srcset", "action", "formaction", "data", "poster",
                                            "background", "cite", "manifest", "xlink:href"};

const char PNG_DATA[] = "data:image/png;base64,";

// Spaces of every kind made one, none at either end.
std::string plain(const std::string& text)
{
    std::string spaced;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\xC2\xA0") == 0) {
            spaced += ' ';
            ++i;
        } else {
            spaced += text[i];
        }
    }
    std::string out;
    for (char c : spaced) {
        bool space = std::isspace(static_cast<unsigned char>(c));
        if (space && (out.empty() || out.back() == ' '))
            continue;
        out += space ? ' ' : c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::vector<const Node*> element_children(const Node& node, std::string_view tag)
{
    std::vector<const Node*> found;
    for (const Node& child : node.children)
        if (child.tag == tag)
            found.push_back(&child);
    return found;
}

class Checker {
public:
    Checker(const Node& root, const ManualFacts& facts) : root_(root), facts_(facts) {}

    std::vector<std::string> run();

private:
    void fault(const std::string& why) { faults_.push_back(why); }
    void check_self_contained();
    void check_style_text(const std::string& css, const std::string& where);
    void check_version();
    void check_pictures();
    void check_gauge(const GaugeFacts& gauge);
    void check_tooltips_everywhere();
    void check_example_panel();
    void check_messages();
    void check_wine();
    void check_readme();
    void check_table(const char* table_class, const char* what, const std::vector<std::vector<std::string>>& measured);
    // The tooltip keys a piece of the manual shows: its quoted tooltip texts and its help ids.
    std::vector<std::string> tooltips_in(const Node& node);
    const Node* one(const Node& within, std::string_view tag, std::string_view css_class, const std::string& what);

    const Node& root_;
    const ManualFacts& facts_;
    std::vector<std::string> faults_;
};

const Node* Checker::one(const Node& within, std::string_view tag, std::string_view css_class, const std::string& what)
{
    std::vector<const Node*> found = find_all(within, tag, css_class);
    if (found.size() != 1) {
        fault(what + ": " + std::to_string(found.size()) + " <" + std::string(tag) + " class=\"" +
              std::string(css_class) + "\"> elements, not one");
        return nullptr;
    }
    return found[0];
}

void Checker::check_style_text(const std::string& css, const std::string& where)
{
    std::string lower = css;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower.find("@import") != std::string::npos)
        fault(where + ": an @import fetches a stylesheet from outside the file");
    for (std::size_t at = lower.find("url("); at != std::string::npos; at = lower.find("url(", at + 4)) {
        std::size_t start = at + 4;
        while (start < lower.size() && (lower[start] == ' ' || lower[start] == '"' || lower[start] == '\''))
            ++start;
        if (lower.compare(start, 5, "data:") != 0)
            fault(where + ": a url( that is not inline data: " + css.substr(at, 40));
    }
}

void Checker::check_self_contained()
{
    for (const char* tag : FORBIDDEN_ELEMENTS)
        if (!find_all(root_, tag).empty())
            fault(std::string("the manual has a <") + tag + "> element, which fetches or runs something");
    std::set<std::string> ids;
    for (const Node* element : find_all(root_, [](const Node& node) { return node.has_attribute("id"); }))
        ids.insert(element->attribute("id"));
    for (const Node* element : find_all(root_, [](const Node&) { return true; })) {
        for (const auto& [name, value] : element->attributes) {
            std::string lower = value;
            std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
            if (lower.find("http:") != std::string::npos || lower.find("https:") != std::string::npos ||
                lower.rfind("//", 0) == 0)
                fault("<" + element->tag + " " + name + "=\"" + value.substr(0, 60) + "\">: a network reference");
        }
        for (const char* name : REFERENCE_ATTRIBUTES) {
            if (!element->has_attribute(name))
                continue;
            std::string value = element->attribute(name);
            if (std::string(name) == "href") {
                if (value.empty() || value[0] != '#' || !ids.count(value.substr(1)))
                    fault("<" + element->tag + " href=\"" + value.substr(0, 60) +
                          "\">: not a link to a place in the manual itself");
            } else if (!(std::string(name) == "src" && element->tag == "img" && value.rfind(PNG_DATA, 0) == 0)) {
                fault("<" + element->tag + " " + name + "=\"" + value.substr(0, 60) +
                      "\">: a reference to something outside the file");
            }
        }
        if (element->has_attribute("style"))
            check_style_text(element->attribute("style"), "<" + element->tag + " style>");
    }
    for (const Node* style : find_all(root_, "style"))
        check_style_text(style->inner_text(), "<style>");
}

void Checker::check_version()
{
    const std::string expected = "Panel gauges " + facts_.version;
    std::vector<const Node*> titles = find_all(root_, "title");
    if (titles.size() != 1 || plain(titles[0]->inner_text()) != expected)
        fault("the title is not \"" + expected + "\"" +
              (titles.empty() ? std::string() : ": it reads \"" + plain(titles[0]->inner_text()) + "\""));
    std::vector<const Node*> headings = find_all(root_, "h1");
    if (headings.empty() || plain(headings[0]->inner_text()) != expected)
        fault("the first heading is not \"" + expected + "\"" +
              (headings.empty() ? std::string() : ": it reads \"" + plain(headings[0]->inner_text()) + "\""));
}

void Checker::check_pictures()
{
    for (const Node* image : find_all(root_, "img")) {
        std::string src = image->attribute("src");
        std::string alt = image->attribute("alt");
        std::string name = "the picture \"" + alt.substr(0, 50) + "\"";
        if (plain(alt).empty())
            fault("a picture has no alternative text");
        if (src.rfind(PNG_DATA, 0) != 0) {
            fault(name + " is not an inline PNG");
            continue;
        }
        std::vector<std::uint8_t> bytes;
        test_support::Picture picture;
        if (decode_base64(std::string_view(src).substr(sizeof PNG_DATA - 1), bytes))
            picture = test_support::decode_png(bytes.data(), bytes.size());
        if (picture.width == 0 || picture.height == 0) {
            fault(name + " does not decode as a PNG");
            continue;
        }
        if (image->attribute("width") != std::to_string(picture.width) ||
            image->attribute("height") != std::to_string(picture.height))
            fault(name + " is " + std::to_string(picture.width) + " x " + std::to_string(picture.height) +
                  ", its size attributes say " + image->attribute("width") + " x " + image->attribute("height"));
    }
}

std::vector<std::string> Checker::tooltips_in(const Node& node)
{
    std::vector<std::string> keys;
    for (const Node* quote : find_all(node, "q", "tooltip"))
        keys.push_back(tooltip_key_text(quote->inner_text()));
    for (const Node* help : find_all(node, "span", "help")) {
        std::vector<const Node*> codes = find_all(*help, "code");
        std::string id = codes.size() == 1 ? plain(codes[0]->inner_text()) : "";
        std::size_t end = 0;
        unsigned long value = 0;
        bool reads = id.size() > 2 && id.rfind("0x", 0) == 0;
        if (reads) {
            value = std::stoul(id.substr(2), &end, 16);
            reads = end == id.size() - 2;
        }
        if (!reads) {
            fault("a help text whose id does not read: \"" + plain(help->inner_text()) + "\"");
            continue;
        }
        keys.push_back(tooltip_key_help(static_cast<std::uint32_t>(value)));
    }
    return keys;
}

void Checker::check_gauge(const GaugeFacts& gauge)
{
    const Node* section = nullptr;
    for (const Node* candidate : find_all(root_, "section"))
        if (candidate->attribute("id") == gauge.section)
            section = candidate;
    if (!section) {
        fault("no section with the id \"" + gauge.section + "\"");
        return;
    }
    const std::string name = "section " + gauge.section;

    if (const Node* table = one(*section, "table", "controls", name)) {
        std::vector<int> rows_of(gauge.hot_spots.size() + 1, 0);
        int row_index = 0;
        for (const Node* row : find_all(*table, "tr")) {
            std::vector<const Node*> cells = element_children(*row, "td");
            if (cells.empty())
                continue;   // the heading row
            ++row_index;
            std::vector<const Node*> numbers = find_all(*row, "td", "number");
            std::string number_text = numbers.size() == 1 ? plain(numbers[0]->inner_text()) : "";
            int number = 0;
            if (!number_text.empty() && std::all_of(number_text.begin(), number_text.end(),
                                                    [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
                number = std::stoi(number_text);
            if (number < 1 || number > static_cast<int>(gauge.hot_spots.size())) {
                fault(name + ", row " + std::to_string(row_index) + ": \"" + number_text + "\" is no hot spot's number (1 to " +
                      std::to_string(gauge.hot_spots.size()) + ")");
                continue;
            }
            ++rows_of[std::size_t(number)];
            if (number != row_index)
                fault(name + ", row " + std::to_string(row_index) + " is numbered " + std::to_string(number) +
                      ": the table is not in the picture's order");
            const HotSpotFacts& spot = gauge.hot_spots[std::size_t(number) - 1];
            const std::string which = name + ", hot spot " + std::to_string(number);

            std::vector<std::string> shown = tooltips_in(*row);
            for (const std::string& key : shown)
                if (!spot.tooltips.count(key))
                    fault(which + ": the tooltip " + key + " is not one the module composes there");
            for (const std::string& key : spot.tooltips)
                if (std::find(shown.begin(), shown.end(), key) == shown.end())
                    fault(which + ": the module's tooltip " + key + " is missing");

            auto expected_cursor = CURSOR_NAMES.find(spot.cursor);
            std::vector<const Node*> cursors = find_all(*row, "td", "cursor");
            std::string cursor = cursors.size() == 1 ? plain(cursors[0]->inner_text()) : "(no cursor cell)";
            if (expected_cursor == CURSOR_NAMES.end())
                fault(which + ": the row's cursor " + std::to_string(spot.cursor) + " has no name a pilot would know");
            else if (cursor != expected_cursor->second)
                fault(which + ": the pointer reads \"" + cursor + "\", the row's cursor is the " + expected_cursor->second);
        }
        for (std::size_t number = 1; number < rows_of.size(); ++number)
            if (rows_of[number] != 1)
                fault(name + ": hot spot " + std::to_string(number) + " appears " + std::to_string(rows_of[number]) +
                      " times in the table, not once");
    }

    if (const Node* image = one(*section, "img", "controls", name)) {
        std::vector<std::uint8_t> bytes;
        test_support::Picture picture;
        std::string src = image->attribute("src");
        if (src.rfind(PNG_DATA, 0) == 0 && decode_base64(std::string_view(src).substr(sizeof PNG_DATA - 1), bytes))
            picture = test_support::decode_png(bytes.data(), bytes.size());
        if (picture.width != gauge.numbered.width || picture.height != gauge.numbered.height ||
            picture.rgb != gauge.numbered.rgb)
            fault(name + ": the controls picture is not the bench's numbered picture of the fresh gauge");
    }
    std::vector<const Node*> states = find_all(*section, "img", "state");
    if (states.empty())
        fault(name + ": no pictures of the gauge's states");
    for (const Node* image : states)
        if (image->attribute("width") != std::to_string(gauge.width) ||
            image->attribute("height") != std::to_string(gauge.height))
            fault(name + ": the picture \"" + image->attribute("alt").substr(0, 50) + "\" is not of the gauge's size");
}

void Checker::check_tooltips_everywhere()
{
    std::set<std::string> composed;
    for (const GaugeFacts& gauge : facts_.gauges)
        for (const HotSpotFacts& spot : gauge.hot_spots)
            composed.insert(spot.tooltips.begin(), spot.tooltips.end());
    for (const std::string& key : tooltips_in(root_))
        if (!composed.count(key))
            fault("the manual shows the tooltip " + key + ", which no hot spot composes");
}

void Checker::check_example_panel()
{
    if (const Node* panel = one(root_, "pre", "panel", "the example panel"))
        if (panel->inner_text() != facts_.example_panel)
            fault("the example panel section is not the release's example panel file: it reads\n" +
                  panel->inner_text());
}

void Checker::check_messages()
{
    std::set<Message> shown;
    if (const Node* table = one(root_, "table", "messages", "the messages")) {
        for (const Node* row : find_all(*table, "tr")) {
            std::vector<const Node*> cells = element_children(*row, "td");
            if (cells.size() < 2)
                continue;
            std::vector<const Node*> captions = find_all(*cells[1], "span", "caption");
            std::string caption = captions.size() == 1 ? plain(captions[0]->inner_text()) : "";
            for (const Node* message : find_all(*cells[0], "q", "message"))
                shown.insert({message->inner_text(), caption});
        }
    }
    for (const Message& message : shown)
        if (!facts_.messages.count(message))
            fault("the message \"" + message.text + "\" (title \"" + message.caption + "\") is not one the radio shows");
    for (const Message& message : facts_.messages)
        if (!shown.count(message))
            fault("the radio's message \"" + message.text + "\" (title \"" + message.caption +
                  "\") is not in the messages table");
    for (const Node* message : find_all(root_, "q", "message")) {
        bool known = false;
        for (const Message& real : facts_.messages)
            known = known || real.text == message->inner_text();
        if (!known)
            fault("the manual quotes the message \"" + message->inner_text() + "\", which the radio never shows");
    }
}

void Checker::check_table(const char* table_class, const char* what,
                          const std::vector<std::vector<std::string>>& measured)
{
    std::vector<std::vector<std::string>> rows;
    if (const Node* table = one(root_, "table", table_class, what))
        for (const Node* row : find_all(*table, "tr")) {
            std::vector<const Node*> cells = element_children(*row, "td");
            if (cells.empty())
                continue;
            std::vector<std::string> texts;
            for (const Node* cell : cells)
                texts.push_back(plain(cell->inner_text()));
            rows.push_back(texts);
        }
    if (measured.empty())
        fault(std::string("docs/gauges.md has no table of ") + what + " to check the manual's against");
    if (rows != measured) {
        std::string both;
        for (const auto& row : rows)
            for (const std::string& cell : row)
                both += "[" + cell + "]";
        both += " against docs/gauges.md's ";
        for (const auto& row : measured)
            for (const std::string& cell : row)
                both += "[" + cell + "]";
        fault(std::string(what) + " are not the measured ones: " + both);
    }
}

void Checker::check_wine()
{
    check_table("wine", "the Wine figures", facts_.wine);
}

// The pilots' words on installing, the songs and Wine are the readme's, word for word, in the
// order the manual shows its sections.
void Checker::check_readme()
{
    const char* const SECTIONS[] = {"Installing, in four steps", "Running the simulator under Wine"};
    std::vector<const Node*> shown = find_all(root_, "div", "readme");
    if (shown.size() != std::size(SECTIONS)) {
        fault("the manual shows " + std::to_string(shown.size()) + " sections of the pilots' readme, not " +
              std::to_string(std::size(SECTIONS)));
        return;
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        std::string words = readme_section_words(facts_.readme, SECTIONS[i]);
        if (words.empty())
            fault(std::string("the pilots' readme has no section \"") + SECTIONS[i] + "\"");
        else if (plain(shown[i]->inner_text()) != words)
            fault(std::string("the manual's \"") + SECTIONS[i] + "\" is not the pilots' readme's words: it reads\n" +
                  plain(shown[i]->inner_text()) + "\nwhere the readme reads\n" + words);
    }
}

std::vector<std::string> Checker::run()
{
    check_self_contained();
    check_version();
    check_pictures();
    for (const GaugeFacts& gauge : facts_.gauges)
        check_gauge(gauge);
    check_tooltips_everywhere();
    check_example_panel();
    check_messages();
    check_wine();
    check_readme();
    return faults_;
}

}  // namespace

std::vector<std::string> check_manual(std::string_view html, const ManualFacts& facts)
{
    Node root;
    std::string error;
    if (!read_html(html, root, error))
        return {"the manual does not read as HTML: " + error};
    return Checker(root, facts).run();
}

// The rows of the first table after the paragraph whose heading row starts with `heading`.
static std::vector<std::vector<std::string>> gauges_doc_table_rows(std::string_view doc, std::string_view paragraph_text,
                                                                  std::string_view heading)
{
    std::vector<std::vector<std::string>> rows;
    std::size_t paragraph = doc.find(paragraph_text);
    if (paragraph == std::string_view::npos)
        return rows;
    std::size_t header = doc.find(heading, paragraph);
    if (header == std::string_view::npos)
        return rows;
    std::size_t line_start = doc.find('\n', header + 1);   // past the heading row
    line_start = line_start == std::string_view::npos ? line_start : doc.find('\n', line_start + 1);   // and the rule
    while (line_start != std::string_view::npos && doc.compare(line_start + 1, 1, "|") == 0) {
        std::size_t line_end = doc.find('\n', line_start + 1);
        std::string line(doc.substr(line_start + 1, line_end == std::string_view::npos ? std::string_view::npos
                                                                                          : line_end - line_start - 1));
        std::vector<std::string> cells;
        std::size_t start = 1;
        for (std::size_t bar = line.find('|', start); bar != std::string::npos; bar = line.find('|', start)) {
            std::string cell = line.substr(start, bar - start);
            cell.erase(std::remove(cell.begin(), cell.end(), '`'), cell.end());
            cells.push_back(plain(cell));
            start = bar + 1;
        }
        rows.push_back(cells);
        line_start = line_end;
    }
    return rows;
}

std::vector<std::vector<std::string>> gauges_doc_wine_rows(std::string_view doc)
{
    return gauges_doc_table_rows(doc, "Running the simulator under Wine", "\n| songs in");
}

std::string readme_section_words(std::string_view readme, std::string_view heading)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < readme.size();) {
        std::size_t end = readme.find('\n', start);
        std::string line(readme.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end == std::string_view::npos ? readme.size() : end + 1;
    }
    auto dashes = [](const std::string& line) {
        return !line.empty() && line.find_first_not_of('-') == std::string::npos;
    };
    std::string words;
    bool inside = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        bool heading_here = !lines[i].empty() && i + 1 < lines.size() && dashes(lines[i + 1]);
        if (heading_here && inside)
            break;
        if (heading_here && lines[i] == heading) {
            inside = true;
            ++i;   // past its line of dashes
            continue;
        }
        if (!inside)
            continue;
        // A step's number is the list's, not its words: "1. Copy" reads "Copy".
        std::size_t digits = lines[i].find_first_not_of("0123456789");
        bool step = digits > 0 && digits != std::string::npos && lines[i].compare(digits, 2, ". ") == 0;
        words += (step ? lines[i].substr(digits + 2) : lines[i]) + "\n";
    }
    return plain(words);
}

bool decode_base64(std::string_view text, std::vector<std::uint8_t>& bytes)
{
    static const std::string DIGITS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    bytes.clear();
    if (text.size() % 4 != 0)
        return false;
    for (std::size_t i = 0; i < text.size(); i += 4) {
        std::uint32_t group = 0;
        int padding = 0;
        for (std::size_t j = 0; j < 4; ++j) {
            char c = text[i + j];
            if (c == '=' && i + 4 == text.size() && j >= 2) {
                ++padding;
                group <<= 6;
                continue;
            }
            std::size_t digit = DIGITS.find(c);
            if (digit == std::string::npos || padding > 0)
                return false;
            group = group << 6 | static_cast<std::uint32_t>(digit);
        }
        bytes.push_back(static_cast<std::uint8_t>(group >> 16));
        if (padding < 2)
            bytes.push_back(static_cast<std::uint8_t>(group >> 8));
        if (padding < 1)
            bytes.push_back(static_cast<std::uint8_t>(group));
    }
    return true;
}

}  // namespace manual_test
