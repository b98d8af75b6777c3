// The manual's HTML pieces: text escaped for it, and pictures carried in it as data URIs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace manual {

// The text with &, <, > and " written as character references, for an element or an attribute.
std::string escape(std::string_view text);

// RFC 4648 base64, padded, in one line.
std::string base64(const std::vector<std::uint8_t>& bytes);

// An <img> whose source is the PNG itself, with its size and its alternative text.
std::string inline_png(const std::vector<std::uint8_t>& png, int width, int height, std::string_view css_class,
                       std::string_view alt);

}  // namespace manual
