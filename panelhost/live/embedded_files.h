// Files compiled into the bench (the live panel's page), as cmake/embed_files.cmake writes them.
#pragma once

#include <cstddef>

namespace panelhost {

struct EmbeddedFile {
    const char* name;              // "live.js"; null ends a table
    const unsigned char* bytes;
    std::size_t size;
};

}  // namespace panelhost
