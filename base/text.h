// Small pieces of text that the simulated devices, the bench and the tools share, each with one
// rule: blanks trimmed, letters lowered, a whole number read, a byte-order mark skipped, a line
// taken, a UTF-8 character measured.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

namespace base {

// A space, a tab, a line end, a vertical tab or a form feed: what "blank" means in a line.
inline bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

inline std::string_view trim(std::string_view text)
{
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// ASCII letters in lower case; every other byte as it is (names of files, keys, commands).
inline std::string lower(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

// A whole number as the bench reads one wherever it reads one: an optional minus sign, then
// decimal digits and nothing else (no blank, no plus sign, no other base), within [low, high].
// False for anything else, a number of any length beyond the bounds among them. The value may be
// of any integer type that holds [low, high].
template <class Integer>
bool read_whole_number(std::string_view text, long long low, long long high, Integer& value)
{
    bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty())
        return false;
    // The magnitude is gathered as unsigned, so that the most negative number reads too.
    constexpr unsigned long long MOST = static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + 1;
    unsigned long long magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        unsigned digit = static_cast<unsigned>(c - '0');
        if (magnitude > (MOST - digit) / 10)
            return false;
        magnitude = magnitude * 10 + digit;
    }
    if (!negative && magnitude == MOST)
        return false;
    long long number = negative ? static_cast<long long>(0 - magnitude) : static_cast<long long>(magnitude);
    if (number < low || number > high)
        return false;
    value = static_cast<Integer>(number);
    return true;
}

// The text without the byte-order mark that editors writing UTF-8 may put at its start.
inline std::string_view without_byte_order_mark(std::string_view text)
{
    constexpr std::string_view MARK = "\xEF\xBB\xBF";
    return text.substr(0, MARK.size()) == MARK ? text.substr(MARK.size()) : text;
}

// The next line of the text, which moves past it and its line end. A line ends at LF, at CR LF
// or at a CR alone, so that a text saved with any of the three conventions reads, and counts its
// lines, alike; CR CR LF is two line ends.
inline std::string_view next_line(std::string_view& text)
{
    std::size_t end = text.find_first_of("\r\n");
    std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos)
        end = text.size();
    else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
        end += 2;
    else
        end += 1;
    text.remove_prefix(end);
    return line;
}

// The same, but the CRs before an LF end one line with it: CR CR LF is one line end, as in a file
// whose line ends were converted twice on its way between machines.
inline std::string_view next_line_joining_returns(std::string_view& text)
{
    std::size_t end = text.find_first_of("\r\n");
    std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos) {
        text = {};
        return line;
    }
    std::size_t after = end + 1;
    if (text[end] == '\r') {
        std::size_t returns = text.find_first_not_of('\r', end);
        if (returns != std::string_view::npos && text[returns] == '\n')
            after = returns + 1;
    }
    text.remove_prefix(after);
    return line;
}

// The length of the UTF-8 character at the start of the text, 0 when it does not start with one
// (a byte that is no character's first, a character cut short, an overlong or surrogate form).
inline std::size_t utf8_character_length(std::string_view text)
{
    auto byte = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    unsigned first = byte(0);
    // the first byte: the character's length and the range its second byte must fall in
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;
    if (first < 0x80)
        return text.empty() ? 0 : 1;
    if (first >= 0xC2 && first <= 0xDF)
        length = 2;
    else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        low = first == 0xE0 ? 0xA0 : 0x80;
        high = first == 0xED ? 0x9F : 0xBF;
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        low = first == 0xF0 ? 0x90 : 0x80;
        high = first == 0xF4 ? 0x8F : 0xBF;
    } else
        return 0;
    if (byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

}  // namespace base
