// Small pieces of text and bytes that the bench, its simulated devices and the tools share, each
// with one rule: blanks trimmed, letters lowered, a whole number read, a byte-order mark skipped, little-endian
// bytes and files written.
#pragma once

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
