// The PE resource reader given any file: it reads or refuses, and describes what it read.
#include "tools/pe/pe_resource_reader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> file(data, data + size);
    std::vector<tools::PeResource> resources;
    std::string error;
    if (!tools::read_pe_resources(file, resources, error)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    for (const tools::PeResource& resource : resources)
        tools::describe_pe_resource(resource);
    return 0;
}
