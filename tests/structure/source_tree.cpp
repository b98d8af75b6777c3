// Reading the sources' folders, includes and functions, as text: no compiler is asked, so that the
// rules hold for every build's files alike, the Windows build's among them.
#include "tests/structure/source_tree.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <regex>
#include <set>

namespace structure {
namespace {

namespace fs = std::filesystem;

// The folders of the sources, bottom to top. The shared text helpers and the host's interface
// stand on nothing; the platform on the helpers; the gauges on the platform and the interface;
// the bench above them; the tools and the benchmarks on top.
struct Floor {
    std::string_view folder;
    int floor;
};
constexpr Floor FLOORS[] = {
    {"base", 0}, {"host", 0}, {"platform", 1}, {"radio", 2}, {"autohelm", 2}, {"panelhost", 3},
    {"tools", 4}, {"benchmarks", 4},
};

bool is_source(const fs::path& path)
{
    static const std::set<std::string> EXTENSIONS = {".h", ".hpp", ".c", ".cc", ".cpp"};
    return EXTENSIONS.count(path.extension().string()) > 0;
}

std::string top_folder(std::string_view path)
{
    return std::string(path.substr(0, path.find('/')));
}

std::string read_file(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The path from the root of a file that exists in the tree, normalised; empty when there is none.
std::string tree_path(const fs::path& root, const fs::path& candidate)
{
    std::error_code failure;
    if (!fs::is_regular_file(candidate, failure))
        return "";
    fs::path relative = fs::relative(fs::weakly_canonical(candidate, failure), fs::weakly_canonical(root, failure), failure);
    std::string text = relative.generic_string();
    return failure || text.empty() || text.rfind("..", 0) == 0 ? "" : text;
}

bool identifier_char(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// ---- the rooms that reach each other ----

// The rooms of one folder in circles: each room mapped to the number of its circle, for the rooms
// of a circle of two or more (Tarjan's strongly connected components).
std::map<std::string, int> circles(const std::map<std::string, std::set<std::string>>& edges)
{
    std::map<std::string, int> index, low, circle;
    std::vector<std::string> stack;
    std::set<std::string> on_stack;
    int next = 0, circles_found = 0;
    std::function<void(const std::string&)> visit = [&](const std::string& room) {
        index[room] = low[room] = next++;
        stack.push_back(room);
        on_stack.insert(room);
        auto out = edges.find(room);
        if (out != edges.end())
            for (const std::string& to : out->second) {
                if (!index.count(to)) {
                    visit(to);
                    low[room] = std::min(low[room], low[to]);
                } else if (on_stack.count(to))
                    low[room] = std::min(low[room], index[to]);
            }
        if (low[room] != index[room])
            return;
        std::vector<std::string> members;
        std::string member;
        do {
            member = stack.back();
            stack.pop_back();
            on_stack.erase(member);
            members.push_back(member);
        } while (member != room);
        if (members.size() > 1) {
            for (const std::string& m : members)
                circle[m] = circles_found;
            ++circles_found;
        }
    };
    for (const auto& [room, targets] : edges)
        if (!index.count(room))
            visit(room);
    return circle;
}

// ---- the text without comments, literals and directives ----

class Blanker {
public:
    explicit Blanker(std::string_view text) : text_(text), out_(text) {}

    std::string run()
    {
        while (at_ < text_.size()) {
            char c = text_[at_];
            if (c == '\n') {
                line_start_ = true;
                ++at_;
            } else if (line_start_ && c == '#')
                directive();
            else if (starts("//"))
                line_comment();
            else if (starts("/*"))
                block_comment();
            else if (c == '"' && raw_prefix())
                raw_string();
            else if (c == '"')
                quoted('"');
            else if (c == '\'' && !digit_separator())
                quoted('\'');
            else {
                if (c != ' ' && c != '\t' && c != '\r')
                    line_start_ = false;
                ++at_;
            }
        }
        return out_;
    }

private:
    bool starts(std::string_view what) const { return text_.substr(at_, what.size()) == what; }

    void blank(std::size_t end)
    {
        for (; at_ < end && at_ < text_.size(); ++at_)
            if (text_[at_] != '\n')
                out_[at_] = ' ';
    }

    // A directive runs to its line's end, and on past a line that ends in a backslash.
    void directive()
    {
        std::size_t end = at_;
        while (end < text_.size() && (text_[end] != '\n' || (end > 0 && text_[end - 1] == '\\')))
            ++end;
        blank(end);
    }

    void line_comment() { blank(text_.find('\n', at_) == std::string_view::npos ? text_.size() : text_.find('\n', at_)); }

    void block_comment()
    {
        std::size_t end = text_.find("*/", at_ + 2);
        blank(end == std::string_view::npos ? text_.size() : end + 2);
    }

    // R"delimiter( ... )delimiter", alone or after an encoding prefix (u8R, LR, uR, UR).
    bool raw_prefix() const
    {
        if (at_ == 0 || text_[at_ - 1] != 'R')
            return false;
        std::size_t start = at_ - 1;
        while (start > 0 && identifier_char(text_[start - 1]))
            --start;
        std::string_view prefix = text_.substr(start, at_ - start);
        return prefix == "R" || prefix == "u8R" || prefix == "LR" || prefix == "uR" || prefix == "UR";
    }

    void raw_string()
    {
        std::size_t open = text_.find('(', at_);
        if (open == std::string_view::npos) {
            blank(text_.size());
            return;
        }
        std::string close = ")" + std::string(text_.substr(at_ + 1, open - at_ - 1)) + "\"";
        std::size_t end = text_.find(close, open);
        ++at_;   // the opening quote stays
        blank(end == std::string_view::npos ? text_.size() : end + close.size() - 1);
        ++at_;   // and the closing one
    }

    // "text" or 'c': the quotes stay, what lies between them is blanked.
    void quoted(char quote)
    {
        ++at_;
        while (at_ < text_.size() && text_[at_] != quote && text_[at_] != '\n') {
            if (text_[at_] == '\\' && at_ + 1 < text_.size())
                out_[at_++] = ' ';
            out_[at_++] = ' ';
        }
        if (at_ < text_.size() && text_[at_] == quote)
            ++at_;
    }

    // 1'000'000: a quote between digits of a number.
    bool digit_separator() const
    {
        return at_ > 0 && at_ + 1 < text_.size() && std::isxdigit(static_cast<unsigned char>(text_[at_ - 1])) &&
               std::isxdigit(static_cast<unsigned char>(text_[at_ + 1])) && number_before();
    }

    bool number_before() const
    {
        std::size_t start = at_;
        while (start > 0 && (identifier_char(text_[start - 1]) || text_[start - 1] == '\''))
            --start;
        return std::isdigit(static_cast<unsigned char>(text_[start]));
    }

    std::string_view text_;
    std::string out_;
    std::size_t at_ = 0;
    bool line_start_ = true;
};

// ---- the functions ----

// What a brace opens. A container holds definitions (a namespace, a class); a function's body is
// measured; data (an initializer, an enumeration) and the blocks inside a body are not.
enum class Opens { Container, Function, Data, Initializer, Block };

// The text before a brace at a container's level, each character with its line.
struct Head {
    std::string text;
    std::vector<int> lines;

    void add(char c, int line)
    {
        if (text.empty() && (c == ' ' || c == '\t' || c == '\r' || c == '\n'))
            return;
        text += c;
        lines.push_back(line);
    }
    void clear()
    {
        text.clear();
        lines.clear();
    }
};

// Where the parameter list starts, or npos: the first parenthesis at the head's top level, after
// an operator's own "()".
std::size_t parameters_at(std::string_view head)
{
    std::size_t at = head.find('(');
    if (at == std::string_view::npos)
        return at;
    if (at >= 8 && head.substr(at - 8, 8) == "operator" && head.substr(at, 2) == "()")
        return head.find('(', at + 2);
    return at;
}

// An '=' at the head's top level that assigns (an initializer), not one of an operator's name or
// of a comparison.
bool assigns(std::string_view head)
{
    int depth = 0;
    for (std::size_t i = 0; i < head.size(); ++i) {
        char c = head[i];
        if (c == '(' || c == '[')
            ++depth;
        else if (c == ')' || c == ']')
            --depth;
        else if (c == '=' && depth == 0) {
            char before = i > 0 ? head[i - 1] : ' ';
            char after = i + 1 < head.size() ? head[i + 1] : ' ';
            std::string_view left = head.substr(0, i);
            while (!left.empty() && std::string_view("=<>!+-*/%&|^").find(left.back()) != std::string_view::npos)
                left.remove_suffix(1);
            bool operator_name = left.size() >= 8 && left.substr(left.size() - 8) == "operator";
            if (!operator_name && std::string_view("=<>!").find(before) == std::string_view::npos && after != '=')
                return true;
        }
    }
    return false;
}

// The head without its leading template parameter lists and attributes.
std::string_view declaration(std::string_view head)
{
    for (;;) {
        while (!head.empty() && std::isspace(static_cast<unsigned char>(head.front())))
            head.remove_prefix(1);
        if (head.rfind("template", 0) == 0 && head.find('<') != std::string_view::npos) {
            std::size_t at = head.find('<');
            int depth = 0;
            for (; at < head.size(); ++at) {
                depth += head[at] == '<' ? 1 : head[at] == '>' ? -1 : 0;
                if (depth == 0)
                    break;
            }
            head.remove_prefix(std::min(head.size(), at + 1));
        } else if (head.rfind("[[", 0) == 0 && head.find("]]") != std::string_view::npos)
            head.remove_prefix(head.find("]]") + 2);
        else
            return head;
    }
}

bool starts_with_word(std::string_view text, std::string_view word)
{
    return text.rfind(word, 0) == 0 && (text.size() == word.size() || !identifier_char(text[word.size()]));
}

std::size_t closing_parenthesis(std::string_view text, std::size_t open)
{
    int depth = 0;
    for (std::size_t at = open; at < text.size(); ++at) {
        depth += text[at] == '(' ? 1 : text[at] == ')' ? -1 : 0;
        if (depth == 0)
            return at;
    }
    return std::string_view::npos;
}

Opens classify(std::string_view head)
{
    std::string_view text = declaration(head);
    if (starts_with_word(text, "namespace") || text == "extern \"\"" || text.empty())
        return Opens::Container;
    if (starts_with_word(text, "enum") || assigns(text))
        return Opens::Data;
    if (starts_with_word(text, "class") || starts_with_word(text, "struct") || starts_with_word(text, "union"))
        return Opens::Container;
    std::size_t open = parameters_at(text);
    if (open == std::string_view::npos)
        return Opens::Data;
    // A constructor's member given by braces (": width_{w}") is its initializer list, not its body.
    std::size_t close = closing_parenthesis(text, open);
    std::string_view after = close == std::string_view::npos ? std::string_view() : text.substr(close + 1);
    while (!after.empty() && std::isspace(static_cast<unsigned char>(after.front())))
        after.remove_prefix(1);
    bool initializers = !after.empty() && after.front() == ':' && after.substr(0, 2) != "::";
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    char last = text.empty() ? ' ' : text.back();
    if (initializers && (identifier_char(last) || last == '>'))
        return Opens::Initializer;
    return Opens::Function;
}

// The function's name as written before its parameters ("GaugeRun::start", "operator==") and
// the line it stands on.
void name_of(const Head& head, std::string& name, int& line)
{
    std::size_t skipped = head.text.size() - declaration(head.text).size();
    std::size_t open = parameters_at(std::string_view(head.text).substr(skipped));
    open = open == std::string_view::npos ? head.text.size() : open + skipped;
    std::size_t start = open;
    while (start > 0 && std::isspace(static_cast<unsigned char>(head.text[start - 1])))
        --start;
    std::size_t end = start;
    if (start >= 2 && head.text.compare(start - 2, 2, "()") == 0)
        start -= 2;
    while (start > 0 && std::string_view("=<>!+-*/%&|^[]").find(head.text[start - 1]) != std::string_view::npos)
        --start;
    while (start > 0 && (identifier_char(head.text[start - 1]) || head.text[start - 1] == ':' || head.text[start - 1] == '~'))
        --start;
    name = head.text.substr(start, end - start);
    line = head.lines.empty() ? 0 : head.lines[std::min(start, head.lines.size() - 1)];
}

}  // namespace

// ---- the public face ----

std::vector<std::string> source_files(const fs::path& root)
{
    std::vector<std::string> files;
    for (const Floor& floor : FLOORS) {
        std::error_code failure;
        fs::path folder = root / floor.folder;
        if (!fs::is_directory(folder, failure))
            continue;
        for (fs::recursive_directory_iterator it(folder, failure), end; it != end; it.increment(failure))
            if (it->is_regular_file(failure) && is_source(it->path()))
                files.push_back(fs::relative(it->path(), root).generic_string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

int floor_of(std::string_view path)
{
    std::string top = top_folder(path);
    for (const Floor& floor : FLOORS)
        if (floor.folder == top)
            return floor.floor;
    return -1;
}

std::string room_of(std::string_view path)
{
    std::size_t first = path.find('/');
    std::size_t second = first == std::string_view::npos ? first : path.find('/', first + 1);
    return std::string(second == std::string_view::npos ? path : path.substr(0, second + 1));
}

std::vector<Include> includes_of(const fs::path& root, const std::string& file)
{
    static const std::regex INCLUDE(R"(^\s*#\s*include\s*(["<])([^">]+)[">])");
    std::vector<Include> includes;
    std::string text = read_file(root / file);
    std::size_t start = 0;
    for (int line = 1; start < text.size(); ++line) {
        std::size_t end = text.find('\n', start);
        std::string row = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        std::smatch match;
        if (!std::regex_search(row, match, INCLUDE))
            continue;
        Include include{file, line, match[2].str(), ""};
        if (match[1].str() == "\"")
            include.target = tree_path(root, (root / file).parent_path() / include.written);
        if (include.target.empty())
            include.target = tree_path(root, root / include.written);
        includes.push_back(include);
    }
    return includes;
}

std::vector<Fault> include_faults(const fs::path& root)
{
    std::vector<Fault> faults;
    std::vector<Include> between_rooms;
    std::map<std::string, std::set<std::string>> edges;
    for (const std::string& file : source_files(root))
        for (const Include& include : includes_of(root, file)) {
            if (include.target.empty()) {
                // a path into a floor's folder that leads nowhere; other names are the system's
                if (include.written.find('/') != std::string::npos && floor_of(include.written) >= 0)
                    faults.push_back({include, "it names no file of the tree"});
                continue;
            }
            int from = floor_of(file), to = floor_of(include.target);
            if (to < 0)
                continue;
            if (top_folder(file) != top_folder(include.target)) {
                if (to > from)
                    faults.push_back({include, "it runs upward, from " + top_folder(file) + "/ (floor " + std::to_string(from) +
                                                   ") to " + top_folder(include.target) + "/ (floor " + std::to_string(to) + ")"});
                else if (to == from)
                    faults.push_back({include, "it runs sideways, between " + top_folder(file) + "/ and " +
                                                   top_folder(include.target) + "/ of one floor"});
                continue;
            }
            if (room_of(file) != room_of(include.target)) {
                edges[room_of(file)].insert(room_of(include.target));
                between_rooms.push_back(include);
            }
        }
    std::map<std::string, int> circle = circles(edges);
    for (const Include& include : between_rooms) {
        auto a = circle.find(room_of(include.file)), b = circle.find(room_of(include.target));
        if (a != circle.end() && b != circle.end() && a->second == b->second)
            faults.push_back({include, "its rooms " + room_of(include.file) + " and " + room_of(include.target) +
                                           " reach each other through their includes"});
    }
    return faults;
}

std::vector<RoomIncludes> room_includes(const fs::path& root)
{
    std::map<std::string, std::set<std::string>> rooms;
    for (const std::string& file : source_files(root)) {
        std::set<std::string>& includes = rooms[room_of(file)];
        for (const Include& include : includes_of(root, file))
            if (!include.target.empty() && room_of(include.target) != room_of(file))
                includes.insert(room_of(include.target));
    }
    std::vector<RoomIncludes> table;
    for (const auto& [room, includes] : rooms)
        table.push_back({room, std::vector<std::string>(includes.begin(), includes.end())});
    return table;
}

std::string code_only(std::string_view text)
{
    return Blanker(text).run();
}

bool functions_of(std::string_view text, const std::string& file, std::vector<Function>& functions, std::string& error)
{
    std::string code = code_only(text);
    struct Frame {
        Opens opens;
        Function function;
    };
    std::vector<Frame> frames;
    Head head;
    int line = 1;
    auto at_container_level = [&] {
        return frames.empty() || frames.back().opens == Opens::Container;
    };
    for (std::size_t at = 0; at < code.size(); ++at) {
        char c = code[at];
        if (c == '\n')
            ++line;
        if (!at_container_level()) {
            if (c == '{')
                frames.push_back({Opens::Block, {}});
            else if (c == '}') {
                Frame closed = frames.back();
                frames.pop_back();
                if (closed.opens == Opens::Function) {
                    closed.function.lines = line - closed.function.line + 1;
                    functions.push_back(closed.function);
                    head.clear();
                } else if (closed.opens == Opens::Data || closed.opens == Opens::Initializer)
                    head.add('}', line);
            }
            continue;
        }
        if (c == '{') {
            Opens opens = classify(head.text);
            Frame frame{opens, {}};
            if (opens == Opens::Function) {
                frame.function.file = file;
                name_of(head, frame.function.name, frame.function.line);
            }
            if (opens == Opens::Container)
                head.clear();
            frames.push_back(frame);
        } else if (c == '}') {
            if (frames.empty()) {
                error = file + ":" + std::to_string(line) + ": a closing brace without its opening one";
                return false;
            }
            frames.pop_back();
            head.clear();
        } else if (c == ';')
            head.clear();
        else if (c == ':' && code.compare(at, 2, "::") != 0 && (at == 0 || code[at - 1] != ':')) {
            std::string_view label = declaration(head.text);
            while (!label.empty() && std::isspace(static_cast<unsigned char>(label.back())))
                label.remove_suffix(1);
            if (label == "public" || label == "private" || label == "protected")
                head.clear();
            else
                head.add(c, line);
        } else
            head.add(c == '\n' || c == '\t' || c == '\r' ? ' ' : c, line);
    }
    if (!frames.empty()) {
        error = file + ": " + std::to_string(frames.size()) + " opening braces without their closing ones";
        return false;
    }
    return true;
}

}  // namespace structure
