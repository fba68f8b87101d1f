// The two pictures start-up loads (data/texture/white.png and blood.png), written into the current
// folder so that benchmarks can run the real start-up.
#pragma once

#include <png.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace bench_scene {

inline bool WriteStartPictures() {
    std::filesystem::create_directories("data/texture");
    auto write = [](const char* path, int width, int height, uint32_t argb) {
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, argb);
        png_image image;
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        image.width = width;
        image.height = height;
        image.format = PNG_FORMAT_BGRA;
        return png_image_write_to_file(&image, path, 0, pixels.data(), 0, nullptr) != 0;
    };
    // A small blood picture: the texture is still 640 × 480, the decoding is kept out of the figures.
    return write("data/texture/white.png", 3, 3, 0xFFFFFFFFu) && write("data/texture/blood.png", 4, 4, 0x80C00000u);
}

}  // namespace bench_scene
