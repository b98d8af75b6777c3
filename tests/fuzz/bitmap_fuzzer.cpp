// The bitmap reader given any resource bytes: it reads or refuses without reading past them.
#include "panelhost/host/bitmap.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A copy of exactly the input's size, so that a read past it is caught.
    std::uint8_t* copy = static_cast<std::uint8_t*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(copy, data, size);
    panelhost::Bitmap bitmap;
    std::string error;
    if (panelhost::read_dib(copy, size, bitmap, error)) {
        if (bitmap.pixels.size() != std::size_t(bitmap.width) * std::size_t(bitmap.height))
            std::abort();
    } else if (error.empty()) {
        std::abort();
    }
    std::free(copy);
    return 0;
}
