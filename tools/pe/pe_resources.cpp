// pe_resources FILE: prints the resources of a Windows PE file, one line per fact, in the order
// of its resource directory. Exit status 1 when the file cannot be read or is damaged.
#include "tools/pe/pe_resource_reader.h"

#include <cstdio>
#include <fstream>
#include <iterator>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pe_resources FILE\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "pe_resources: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<tools::PeResource> resources;
    std::string error;
    if (!tools::read_pe_resources(bytes, resources, error)) {
        std::fprintf(stderr, "pe_resources: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    for (const tools::PeResource& resource : resources)
        for (const std::string& line : tools::describe_pe_resource(resource))
            std::printf("%s\n", line.c_str());
    return 0;
}
