// Escaping and inline pictures for the manual's HTML.
#include "tools/manual/manual_html.h"

namespace manual {

std::string escape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c; break;
        }
    return out;
}

std::string base64(const std::vector<std::uint8_t>& bytes)
{
    static const char DIGITS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        std::uint32_t group = std::uint32_t(bytes[i]) << 16 | std::uint32_t(bytes[i + 1]) << 8 | bytes[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6)
            out += DIGITS[group >> shift & 0x3F];
    }
    std::size_t left = bytes.size() - i;
    if (left > 0) {
        std::uint32_t group = std::uint32_t(bytes[i]) << 16 | (left == 2 ? std::uint32_t(bytes[i + 1]) << 8 : 0);
        out += DIGITS[group >> 18 & 0x3F];
        out += DIGITS[group >> 12 & 0x3F];
        out += left == 2 ? DIGITS[group >> 6 & 0x3F] : '=';
        out += '=';
    }
    return out;
}

std::string inline_png(const std::vector<std::uint8_t>& png, int width, int height, std::string_view css_class,
                       std::string_view alt)
{
    return "<img class=\"" + escape(css_class) + "\" width=\"" + std::to_string(width) + "\" height=\"" +
           std::to_string(height) + "\" alt=\"" + escape(alt) + "\" src=\"data:image/png;base64," + base64(png) +
           "\">";
}

}  // namespace manual
