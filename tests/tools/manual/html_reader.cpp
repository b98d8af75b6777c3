// The strict HTML reader of the manual's tests.
#include "tests/tools/manual/html_reader.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace manual_test {

namespace {

const std::set<std::string, std::less<>> VOID_ELEMENTS = {"area", "base", "br", "col", "embed", "hr", "img",
                                                         "input", "link", "meta", "source", "track", "wbr"};
// Their content is text up to their end tag, whatever it holds.
const std::set<std::string, std::less<>> RAW_TEXT_ELEMENTS = {"script", "style"};

const std::map<std::string, std::string, std::less<>> NAMED_REFERENCES = {
    {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"},
    {"nbsp", "\xC2\xA0"}, {"times", "\xC3\x97"},
};

void append_utf8(std::string& out, unsigned long code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

class Reader {
public:
    explicit Reader(std::string_view html) : html_(html) {}

    bool content(Node& parent, const std::string& open_tag);
    const std::string& error() const { return error_; }

private:
    bool at_end() const { return position_ >= html_.size(); }
    bool starts(std::string_view prefix) const { return html_.substr(position_, prefix.size()) == prefix; }
    bool fault(const std::string& why)
    {
        long line = 1 + std::count(html_.begin(), html_.begin() + static_cast<long>(std::min(position_, html_.size())), '\n');
        error_ = "line " + std::to_string(line) + ": " + why;
        return false;
    }
    void skip_spaces()
    {
        while (!at_end() && std::isspace(static_cast<unsigned char>(html_[position_])))
            ++position_;
    }
    std::string name();
    bool decode(std::string_view raw, std::string& out);
    bool skip_past(std::string_view end, const char* what);
    bool start_tag(Node& element, bool& closed);
    bool end_tag(std::string& tag);

    std::string_view html_;
    std::size_t position_ = 0;
    std::string error_;
};

std::string Reader::name()
{
    std::string result;
    while (!at_end()) {
        unsigned char c = static_cast<unsigned char>(html_[position_]);
        if (!std::isalnum(c) && c != '-' && c != '_' && c != ':')
            break;
        result += static_cast<char>(std::tolower(c));
        ++position_;
    }
    return result;
}

bool Reader::decode(std::string_view raw, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '&') {
            out += raw[i];
            continue;
        }
        std::size_t end = raw.find(';', i);
        if (end == std::string_view::npos || end - i > 12)
            return fault("an ampersand that begins no character reference: \"" + std::string(raw.substr(i, 12)) + "\"");
        std::string_view reference = raw.substr(i + 1, end - i - 1);
        if (!reference.empty() && reference[0] == '#') {
            bool hex = reference.size() > 1 && (reference[1] == 'x' || reference[1] == 'X');
            std::string digits(reference.substr(hex ? 2 : 1));
            if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [&](char c) {
                    return hex ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c));
                }))
                return fault("a numeric character reference that does not read: &" + std::string(reference) + ";");
            append_utf8(out, std::stoul(digits, nullptr, hex ? 16 : 10));
        } else {
            auto found = NAMED_REFERENCES.find(reference);
            if (found == NAMED_REFERENCES.end())
                return fault("an unknown character reference: &" + std::string(reference) + ";");
            out += found->second;
        }
        i = end;
    }
    return true;
}

bool Reader::skip_past(std::string_view end, const char* what)
{
    std::size_t found = html_.find(end, position_);
    if (found == std::string_view::npos)
        return fault(std::string(what) + " is not closed");
    position_ = found + end.size();
    return true;
}

// After "<": the name, the attributes, and ">" or "/>".
bool Reader::start_tag(Node& element, bool& closed)
{
    element.tag = name();
    if (element.tag.empty())
        return fault("a \"<\" that begins no tag");
    for (;;) {
        skip_spaces();
        if (at_end())
            return fault("the tag <" + element.tag + "> is not closed");
        if (starts("/>")) {
            position_ += 2;
            closed = true;
            return true;
        }
        if (starts(">")) {
            ++position_;
            closed = false;
            return true;
        }
        std::string attribute = name();
        if (attribute.empty())
            return fault("the tag <" + element.tag + "> has an attribute without a name");
        skip_spaces();
        std::string value;
        if (starts("=")) {
            ++position_;
            skip_spaces();
            std::string_view raw;
            if (starts("\"") || starts("'")) {
                char quote = html_[position_];
                std::size_t end = html_.find(quote, position_ + 1);
                if (end == std::string_view::npos)
                    return fault("the value of " + attribute + " in <" + element.tag + "> is not closed");
                raw = html_.substr(position_ + 1, end - position_ - 1);
                position_ = end + 1;
            } else {
                std::size_t start = position_;
                while (!at_end() && !std::isspace(static_cast<unsigned char>(html_[position_])) && html_[position_] != '>')
                    ++position_;
                raw = html_.substr(start, position_ - start);
            }
            if (!decode(raw, value))
                return false;
        }
        if (element.attributes.count(attribute))
            return fault("the tag <" + element.tag + "> has two " + attribute + " attributes");
        element.attributes[attribute] = value;
    }
}

// After "</": the name and ">".
bool Reader::end_tag(std::string& tag)
{
    tag = name();
    skip_spaces();
    if (tag.empty() || !starts(">"))
        return fault("an end tag that does not read");
    ++position_;
    return true;
}

bool Reader::content(Node& parent, const std::string& open_tag)
{
    while (!at_end()) {
        if (starts("<!--")) {
            if (!skip_past("-->", "a comment"))
                return false;
        } else if (starts("<!")) {
            if (!skip_past(">", "a declaration"))
                return false;
        } else if (starts("</")) {
            position_ += 2;
            std::string tag;
            if (!end_tag(tag))
                return false;
            if (tag != open_tag)
                return fault("</" + tag + "> closes no open element" +
                             (open_tag.empty() ? std::string() : " (the open one is <" + open_tag + ">)"));
            return true;
        } else if (starts("<")) {
            ++position_;
            Node element;
            bool closed = false;
            if (!start_tag(element, closed))
                return false;
            if (!closed && RAW_TEXT_ELEMENTS.count(element.tag)) {
                std::size_t end = html_.find("</" + element.tag, position_);
                if (end == std::string_view::npos)
                    return fault("<" + element.tag + "> is not closed");
                Node text;
                text.text = std::string(html_.substr(position_, end - position_));
                element.children.push_back(std::move(text));
                position_ = end + 2;
                std::string tag;
                if (!end_tag(tag))
                    return false;
            } else if (!closed && !VOID_ELEMENTS.count(element.tag)) {
                if (!content(element, element.tag))
                    return false;
            }
            parent.children.push_back(std::move(element));
        } else {
            std::size_t end = html_.find('<', position_);
            if (end == std::string_view::npos)
                end = html_.size();
            Node text;
            if (!decode(html_.substr(position_, end - position_), text.text))
                return false;
            position_ = end;
            parent.children.push_back(std::move(text));
        }
    }
    if (!open_tag.empty())
        return fault("<" + open_tag + "> is not closed");
    return true;
}

void collect(const Node& node, const std::function<bool(const Node&)>& test, std::vector<const Node*>& found)
{
    for (const Node& child : node.children) {
        if (child.is_text())
            continue;
        if (test(child))
            found.push_back(&child);
        collect(child, test, found);
    }
}

}  // namespace

std::string Node::attribute(const std::string& name) const
{
    auto found = attributes.find(name);
    return found == attributes.end() ? std::string() : found->second;
}

bool Node::has_class(std::string_view name) const
{
    std::string classes = attribute("class");
    std::size_t start = 0;
    while (start < classes.size()) {
        std::size_t end = classes.find(' ', start);
        if (end == std::string::npos)
            end = classes.size();
        if (std::string_view(classes).substr(start, end - start) == name)
            return true;
        start = end + 1;
    }
    return false;
}

std::string Node::inner_text() const
{
    if (is_text())
        return text;
    std::string all;
    for (const Node& child : children)
        all += child.inner_text();
    return all;
}

bool read_html(std::string_view html, Node& root, std::string& error)
{
    root = Node{};
    root.tag = "#document";
    Reader reader(html);
    if (!reader.content(root, "")) {
        error = reader.error();
        return false;
    }
    return true;
}

std::vector<const Node*> find_all(const Node& node, const std::function<bool(const Node&)>& test)
{
    std::vector<const Node*> found;
    collect(node, test, found);
    return found;
}

std::vector<const Node*> find_all(const Node& node, std::string_view tag)
{
    return find_all(node, [&](const Node& element) { return element.tag == tag; });
}

std::vector<const Node*> find_all(const Node& node, std::string_view tag, std::string_view css_class)
{
    return find_all(node, [&](const Node& element) { return element.tag == tag && element.has_class(css_class); });
}

}  // namespace manual_test
