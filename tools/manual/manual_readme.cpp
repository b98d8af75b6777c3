// The pilots' readme's sections as the manual's HTML.
#include "tools/manual/manual_readme.h"

#include "base/text.h"
#include "tools/manual/manual_html.h"

#include <cctype>
#include <vector>

namespace manual {
namespace {

std::vector<std::string_view> readme_lines(std::string_view readme)
{
    std::vector<std::string_view> lines;
    while (!readme.empty()) {
        std::string_view line = base::next_line(readme);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
    }
    return lines;
}

bool underline(std::string_view line)
{
    return !line.empty() && line.find_first_not_of('-') == std::string_view::npos;
}

std::size_t indent(std::string_view line)
{
    std::size_t spaces = line.find_first_not_of(' ');
    return spaces == std::string_view::npos ? line.size() : spaces;
}

// "12. Copy ...": the length of the step's number and its ". ", 0 for a line that starts none.
std::size_t step_mark(std::string_view line)
{
    std::size_t digits = 0;
    while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits])))
        ++digits;
    return digits > 0 && line.substr(digits, 2) == ". " ? digits + 2 : 0;
}

// A block's lines joined into the words of one paragraph.
std::string words(const std::vector<std::string_view>& block, std::size_t skip_first)
{
    std::string text;
    for (std::size_t i = 0; i < block.size(); ++i)
        text += (i == 0 ? "" : " ") + std::string(base::trim(block[i].substr(i == 0 ? skip_first : 0)));
    return "<p>" + escape(text) + "</p>\n";
}

// A block's lines as they stand, less the indent they share.
std::string preformatted(const std::vector<std::string_view>& block)
{
    std::size_t shared = indent(block.front());
    for (std::string_view line : block)
        shared = std::min(shared, indent(line));
    std::string text;
    for (std::string_view line : block)
        text += std::string(line.substr(shared)) + "\n";
    return "<pre>" + escape(text) + "</pre>\n";
}

// The blocks of the section, each its lines between empty lines.
std::vector<std::vector<std::string_view>> blocks_of(const std::vector<std::string_view>& lines, std::size_t from)
{
    std::vector<std::vector<std::string_view>> blocks;
    std::vector<std::string_view> block;
    for (std::size_t i = from; i < lines.size(); ++i) {
        // The next section's heading ends this one.
        if (i + 1 < lines.size() && underline(lines[i + 1]) && !lines[i].empty())
            break;
        if (base::trim(lines[i]).empty()) {
            if (!block.empty())
                blocks.push_back(block);
            block.clear();
        } else {
            block.push_back(lines[i]);
        }
    }
    if (!block.empty())
        blocks.push_back(block);
    return blocks;
}

}  // namespace

std::string readme_section_html(std::string_view readme, std::string_view heading)
{
    std::vector<std::string_view> lines = readme_lines(readme);
    std::size_t at = 0;
    while (at + 1 < lines.size() && !(lines[at] == heading && underline(lines[at + 1])))
        ++at;
    if (at + 1 >= lines.size())
        return "";
    std::string html;
    std::size_t step_indent = 0;   // the words' indent within the open step; 0: no list open
    for (const std::vector<std::string_view>& block : blocks_of(lines, at + 2)) {
        std::size_t mark = step_mark(block.front());
        std::size_t level = indent(block.front());
        if (mark > 0 && level == 0) {
            html += step_indent > 0 ? "</li>\n<li>" : "<ol>\n<li>";
            html += words(block, mark);
            step_indent = mark;
        } else if (step_indent > 0 && level >= step_indent) {
            html += level == step_indent ? words(block, 0) : preformatted(block);
        } else {
            if (step_indent > 0)
                html += "</li>\n</ol>\n";
            step_indent = 0;
            html += level == 0 ? words(block, 0) : preformatted(block);
        }
    }
    if (step_indent > 0)
        html += "</li>\n</ol>\n";
    return html;
}

}  // namespace manual
