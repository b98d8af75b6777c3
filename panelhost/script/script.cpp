// The bench's script reader: each line matched against the command table and read by its row.
#include "panelhost/script/script.h"

#include "base/text.h"
#include "panelhost/base/limits.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace panelhost {
namespace {

using base::trim;

std::string_view next_word(std::string_view& rest)
{
    rest = trim(rest);
    std::size_t end = 0;
    while (end < rest.size() && !base::is_blank(rest[end]))
        ++end;
    std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    return word;
}

// A decimal number as C reads a double, finite, in digits, signs, a point and an exponent: no
// blank, no "inf" or "nan", no hexadecimal.
bool read_decimal_number(std::string_view word, double& value)
{
    if (word.empty() || word.size() > 64)
        return false;
    bool digit = false;
    for (char c : word) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c != '-' && c != '+' && c != '.' && c != 'e' && c != 'E')
            return false;
    }
    if (!digit)
        return false;
    std::string copy(word);
    char* end = nullptr;
    errno = 0;
    value = std::strtod(copy.c_str(), &end);
    return end == copy.c_str() + copy.size() && errno == 0 && std::isfinite(value);
}

bool read_arg(ArgKind kind, std::string_view word, ScriptArg& arg)
{
    switch (kind) {
    case ArgKind::Coordinate:
        return base::read_whole_number(word, INT32_MIN, INT32_MAX, arg.integer);
    case ArgKind::Count:
        return base::read_whole_number(word, 1, COUNT_LIMIT, arg.integer);
    case ArgKind::Millis:
        return base::read_whole_number(word, 0, WAIT_LIMIT_MS, arg.integer);
    case ArgKind::Id:
        return base::read_whole_number(word, 0, UINT32_MAX, arg.integer);
    case ArgKind::Number:
        return read_decimal_number(word, arg.number);
    case ArgKind::Word:
        arg.text = std::string(word);
        return !word.empty();
    case ArgKind::Text:
        arg.text = std::string(word);
        return true;
    }
    return false;
}

std::string expectation(const CommandSpec& spec)
{
    std::string text = "\"" + std::string(spec.usage) + "\"";
    bool coordinates = false, count = false, millis = false, id = false, number = false;
    for (ArgKind kind : spec.args) {
        coordinates |= kind == ArgKind::Coordinate;
        count |= kind == ArgKind::Count;
        millis |= kind == ArgKind::Millis;
        id |= kind == ArgKind::Id;
        number |= kind == ArgKind::Number;
    }
    std::string notes;
    auto note = [&](const std::string& text_note) { notes += (notes.empty() ? "" : "; ") + text_note; };
    if (coordinates)
        note("X and Y integers");
    if (count)
        note("N an integer from 1 to " + std::to_string(COUNT_LIMIT));
    if (millis)
        note("MS a whole number of milliseconds");
    if (id)
        note("ID a decimal integer from 0 to 4294967295");
    if (number)
        note("VALUE a decimal number");
    return notes.empty() ? text : text + " (" + notes + ")";
}

// Matches the line's leading words against the keywords, the longest keyword first.
const CommandSpec* find_spec(std::string_view line, std::string_view& rest)
{
    const CommandSpec* best = nullptr;
    std::string_view best_rest;
    for (const CommandSpec& spec : command_specs()) {
        std::string_view probe = line;
        std::string_view keyword = spec.keyword;
        bool matched = true;
        while (!keyword.empty()) {
            std::string_view want = next_word(keyword);
            if (next_word(probe) != want) {
                matched = false;
                break;
            }
        }
        if (matched && (!best || spec.keyword.size() > best->keyword.size())) {
            best = &spec;
            best_rest = probe;
        }
    }
    rest = best_rest;
    return best;
}

std::string command_list()
{
    std::string list;
    std::string_view previous;
    for (const CommandSpec& spec : command_specs()) {
        std::string_view first = spec.keyword.substr(0, spec.keyword.find(' '));
        if (first == previous)
            continue;
        list += (list.empty() ? "" : ", ") + std::string(first);
        previous = first;
    }
    return list;
}

}  // namespace

bool ScriptCommand::has_flag(std::string_view flag) const
{
    for (const std::string& given : flags)
        if (given == flag)
            return true;
    return false;
}

namespace {

// What may be said of a line whose words no keyword matches: what may follow a known first word
// ("cd"), else every command.
std::string unknown_command(std::string_view line)
{
    std::string_view word = next_word(line);
    std::string options;
    for (const CommandSpec& candidate : command_specs())
        if (candidate.keyword.substr(0, candidate.keyword.find(' ')) == word)
            options += (options.empty() ? "\"" : " or \"") + std::string(candidate.usage) + "\"";
    return options.empty() ? "a command (" + command_list() + ")" : options;
}

bool is_flag_of(const CommandSpec& spec, std::string_view word)
{
    bool is_flag = false;
    for (std::string_view flag : spec.flags)
        is_flag |= word == flag;
    return is_flag;
}

// The row's arguments in their order, from the rest of the line; an optional one may be left out,
// a flag in its place ending them. False when one does not read or a required one is missing.
bool read_arguments(const CommandSpec& spec, std::string_view& rest, ScriptCommand& command)
{
    for (std::size_t i = 0; i < spec.args.size(); ++i) {
        ArgKind kind = spec.args[i];
        std::string_view word = kind == ArgKind::Text ? trim(rest) : next_word(rest);
        if (kind == ArgKind::Text)
            rest = {};
        bool is_flag = is_flag_of(spec, word);
        if (word.empty() || is_flag) {
            if (kind == ArgKind::Text && i >= spec.required) {
                command.args.push_back(ScriptArg{});
                continue;
            }
            if (is_flag)
                rest = std::string_view(word.data(), rest.data() + rest.size() - word.data());
            return i >= spec.required;
        }
        ScriptArg arg;
        bool read = read_arg(kind, word, arg);
        command.args.push_back(std::move(arg));
        if (!read)
            return false;
    }
    return true;
}

// The flags after the arguments: each one of the row's, and each once.
bool read_flags(const CommandSpec& spec, std::string_view rest, ScriptCommand& command)
{
    for (std::string_view word = next_word(rest); !word.empty(); word = next_word(rest)) {
        if (!is_flag_of(spec, word) || command.has_flag(word))
            return false;
        command.flags.emplace_back(word);
    }
    return true;
}

// One line of the script, neither blank nor a comment, read by the row its keyword matches.
bool read_command(std::string_view line, int line_number, ScriptCommand& command, ScriptError& error)
{
    if (line.find('\0') != std::string_view::npos) {
        error = {line_number, "a line of text without NUL characters"};
        return false;
    }
    std::string_view rest;
    const CommandSpec* spec = find_spec(line, rest);
    if (!spec) {
        error = {line_number, unknown_command(line)};
        return false;
    }
    command.line = line_number;
    command.keyword = std::string(spec->keyword);
    command.spec = spec;
    if (!read_arguments(*spec, rest, command) || !read_flags(*spec, rest, command)) {
        error = {line_number, expectation(*spec)};
        return false;
    }
    return true;
}

}  // namespace

bool parse_script(std::string_view text, std::vector<ScriptCommand>& commands, ScriptError& error)
{
    // Editors that write UTF-8 may open the file with a byte-order mark; it is no command.
    text = base::without_byte_order_mark(text);
    int line_number = 0;
    while (!text.empty()) {
        std::string_view line = trim(base::next_line(text));
        ++line_number;
        if (line.empty() || line.front() == '#')
            continue;
        ScriptCommand command;
        if (!read_command(line, line_number, command, error))
            return false;
        commands.push_back(std::move(command));
    }
    return true;
}

}  // namespace panelhost
