// The embedded resource table of a native module: what the PE resource section is to a Windows
// module. Every native module exports one, generated from its resource script.
#pragma once

#include <cstdint>

struct NATIVE_RESOURCE {
    std::uint32_t type;          // RT_ number; 0 ends the table
    std::uint32_t id;            // integer name, or 0 when the name is a text
    const char* name;            // text name, or null
    const unsigned char* data;
    std::uint32_t size;
};

#define NATIVE_RESOURCE_TABLE_SYMBOL "native_resource_table"
