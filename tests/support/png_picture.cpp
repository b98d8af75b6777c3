#include "tests/support/png_picture.h"

#include <png.h>

namespace test_support {

namespace {

// The image's header is read already; the pixels follow as RGB.
Picture finish_read(png_image& image)
{
    Picture picture;
    image.format = PNG_FORMAT_RGB;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr))
        picture = Picture{};
    return picture;
}

}  // namespace

Picture read_png(const std::string& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return Picture{};
    return finish_read(image);
}

Picture decode_png(const std::uint8_t* bytes, std::size_t size)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes, size))
        return Picture{};
    return finish_read(image);
}

}  // namespace test_support
