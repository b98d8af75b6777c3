// A committed bitmap file read as the bench reads a module's bitmap resource: the DIB after the
// file's 14-byte header, every access checked. Header only, for the tests that link the bench.
#pragma once

#include "panelhost/host/bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace test_support {

// The bitmap in the file; a failure of the test, and an empty bitmap, when it is not one.
inline panelhost::Bitmap read_bitmap_file(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    panelhost::Bitmap bitmap;
    std::string error;
    EXPECT_GT(bytes.size(), 14u) << path;
    if (bytes.size() > 14) {
        EXPECT_EQ(bytes[0], 'B') << path;
        EXPECT_TRUE(panelhost::read_dib(bytes.data() + 14, bytes.size() - 14, bitmap, error)) << path << ": " << error;
    }
    return bitmap;
}

}  // namespace test_support
