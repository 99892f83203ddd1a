// PNG files of pictures, through libpng's simplified API.
#include <png.h>

#include <cstring>
#include <map>
#include <stdexcept>

#include "picture.h"

void Picture::savePng(const std::string &path) const {
    if (empty()) {
        throw std::runtime_error("no picture to save as " + path);
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width_);
    image.height = static_cast<png_uint_32>(height_);

    // Colours in the order they first appear, so that the same picture
    // always gives the same file.
    std::map<unsigned long, unsigned char> index;
    std::vector<unsigned char> colourMap;
    std::vector<unsigned char> indices;
    indices.reserve(rgb_.size() / 3);
    for (std::size_t i = 0; i < rgb_.size() && index.size() <= 256; i += 3) {
        const unsigned long key = (static_cast<unsigned long>(rgb_[i]) << 16) |
                                  (static_cast<unsigned long>(rgb_[i + 1]) << 8) | rgb_[i + 2];
        auto found = index.find(key);
        if (found == index.end()) {
            if (index.size() == 256) {
                index.emplace(key, 0);  // one too many: not colour-mapped
                break;
            }
            found = index.emplace(key, static_cast<unsigned char>(index.size())).first;
            colourMap.insert(colourMap.end(), {rgb_[i], rgb_[i + 1], rgb_[i + 2]});
        }
        indices.push_back(found->second);
    }
    int written;
    if (index.size() <= 256) {
        image.format = PNG_FORMAT_RGB_COLORMAP;
        image.colormap_entries = static_cast<png_uint_32>(index.size());
        written = png_image_write_to_file(&image, path.c_str(), 0, indices.data(), width_, colourMap.data());
    } else {
        image.format = PNG_FORMAT_RGB;
        written = png_image_write_to_file(&image, path.c_str(), 0, rgb_.data(), width_ * 3, nullptr);
    }
    if (written == 0) {
        const std::string message = image.message;
        png_image_free(&image);
        throw std::runtime_error("cannot write " + path + ": " + message);
    }
}

Picture Picture::loadPng(const std::string &path) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        throw std::runtime_error("cannot read " + path + ": " + image.message);
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    const png_color black{0, 0, 0};
    if (png_image_finish_read(&image, &black, rgb.data(), 0, nullptr) == 0) {
        const std::string message = image.message;
        png_image_free(&image);
        throw std::runtime_error("cannot read " + path + ": " + message);
    }
    return Picture(static_cast<int>(image.width), static_cast<int>(image.height), std::move(rgb));
}
