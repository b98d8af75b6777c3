// Input quoted in the bench's messages, safe on a terminal and cut where it is long.
#pragma once

#include "base/text.h"
#include "panelhost/base/limits.h"

#include <string>
#include <string_view>

namespace base {

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

}  // namespace base
