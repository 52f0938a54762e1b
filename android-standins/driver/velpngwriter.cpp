#include "velpngwriter.h"

#include <png.h>

bool velWritePng(const std::string &path, int width, int height, const std::vector<uint8_t> &rgba,
                 std::string *error)
{
    if (width <= 0 || height <= 0 ||
        rgba.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
        if (error)
            *error = "pixel data does not match the size";
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr)) {
        if (error)
            *error = std::string("cannot write ") + path + ": " + image.message;
        return false;
    }
    return true;
}

bool velReadPng(const std::string &path, int *width, int *height, std::vector<uint8_t> *rgba,
                std::string *error)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        if (error)
            *error = std::string("cannot read ") + path + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    rgba->resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba->data(), 0, nullptr)) {
        if (error)
            *error = std::string("cannot decode ") + path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    return true;
}
