// Reading the resources of a Windows PE file (a DLL or program) from its bytes, every offset the
// file states checked against the file's real size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

struct PeResource {
    std::uint32_t type_id = 0;        // RT_ number, or 0 when the type is a name
    std::string type_name;
    std::uint32_t id = 0;             // integer name, or 0 when the name is a text
    std::string name;
    std::uint32_t language = 0;
    std::vector<std::uint8_t> data;
};

// The resources in directory order (type, name, language). False with the reason when the file
// is not a PE file or its resource directory points outside the file; a PE file without
// resources gives an empty list.
bool read_pe_resources(const std::vector<std::uint8_t>& file, std::vector<PeResource>& resources,
                       std::string& error);

// One line per fact, for example "bitmap 101 300x137 8bpp 256 colours", "rcdata CLICK_RCD 184 bytes",
// "version FileVersion \"1, 0, 0, 1\"".
std::vector<std::string> describe_pe_resource(const PeResource& resource);

}  // namespace tools
