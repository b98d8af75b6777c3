// Small pieces of text and bytes that the bench, its simulated devices and the tools share, each
// with one rule: blanks trimmed, letters lowered, a whole number read, a byte-order mark skipped,
// input quoted in a message, little-endian bytes and files written.
#pragma once

#include "panelhost/base/limits.h"

#include <cstdint>
#include <fstream>
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
// False for anything else, a number of any length beyond the bounds among them.
inline bool read_whole_number(std::string_view text, long long low, long long high, long long& value)
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
    value = number;
    return true;
}

// The text without the byte-order mark that editors writing UTF-8 may put at its start.
inline std::string_view without_byte_order_mark(std::string_view text)
{
    constexpr std::string_view MARK = "\xEF\xBB\xBF";
    return text.substr(0, MARK.size()) == MARK ? text.substr(MARK.size()) : text;
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

// Input as a message quotes it, safe on a terminal: a control byte (an escape sequence's first, a
// NUL that would end the message, a line end that would start a false one) shown as \0, \t, \n,
// \r or \xHH, and so a C1 control (U+0080 to U+009F, which some terminals obey) and a byte that
// is not UTF-8; a backslash shown as \\, so that every backslash shown starts an escape. UTF-8
// text stays as it is. Past QUOTE_LIMIT_BYTES of the input the rest is cut, at a character's
// start, and "..." shows where.
inline std::string shown_input(std::string_view text)
{
    bool cut = text.size() > panelhost::QUOTE_LIMIT_BYTES;
    if (cut) {
        std::size_t end = panelhost::QUOTE_LIMIT_BYTES;
        for (std::size_t back = 0; back < 3 && end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80; ++back)
            --end;
        text = text.substr(0, end);
    }
    static const char HEX[] = "0123456789abcdef";
    std::string shown;
    auto escape = [&](unsigned char c) {
        shown += "\\x";
        shown += HEX[c >> 4];
        shown += HEX[c & 0xF];
    };
    for (std::size_t at = 0; at < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[at]);
        std::size_t length = utf8_character_length(text.substr(at));
        if (length == 0 || (length == 2 && c == 0xC2 && static_cast<unsigned char>(text[at + 1]) <= 0x9F)) {
            // not UTF-8, or a C1 control: each of its bytes escaped
            std::size_t bytes = length == 0 ? 1 : 2;
            for (std::size_t i = 0; i < bytes; ++i)
                escape(static_cast<unsigned char>(text[at + i]));
            at += bytes;
            continue;
        }
        at += length;
        if (length > 1) {
            shown.append(text.substr(at - length, length));
            continue;
        }
        switch (c) {
        case '\\': shown += "\\\\"; break;
        case '\t': shown += "\\t"; break;
        case '\n': shown += "\\n"; break;
        case '\r': shown += "\\r"; break;
        case '\0':
            // before a digit, \0 would read as the start of a longer number
            if (at < text.size() && text[at] >= '0' && text[at] <= '9')
                escape(c);
            else
                shown += "\\0";
            break;
        default:
            if (c < 0x20 || c == 0x7F)
                escape(c);
            else
                shown += static_cast<char>(c);
        }
    }
    return cut ? shown + "..." : shown;
}

// Little-endian writers of 16 and 32 bits, onto any container of bytes or chars.
template <class Bytes>
void put16(Bytes& out, std::uint32_t value)
{
    out.push_back(static_cast<typename Bytes::value_type>(value & 0xFF));
    out.push_back(static_cast<typename Bytes::value_type>((value >> 8) & 0xFF));
}

template <class Bytes>
void put32(Bytes& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// A file of the bytes, made anew; false when it cannot be written whole.
template <class Bytes>
bool write_file(const std::string& path, const Bytes& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace base
