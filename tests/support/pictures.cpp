// PNG files for tests, written with libpng's simplified API.
#include "support/pictures.h"

#include <png.h>

#include <cstring>
#include <fstream>
#include <stdexcept>

namespace testing_support {

std::string EncodePng(int width, int height, const std::vector<uint32_t>& argb) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_BGRA;  // an ARGB word in memory, little-endian
    const void* source = argb.data();
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, source, 0, nullptr)) throw std::runtime_error("png size");
    std::string out(size, '\0');
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, source, 0, nullptr))
        throw std::runtime_error("png write");
    out.resize(size);
    return out;
}

void WritePng(const std::filesystem::path& path, int width, int height, const std::vector<uint32_t>& argb) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << EncodePng(width, height, argb);
}

void WriteStartTextures() {
    WritePng("data/texture/white.png", 3, 3, std::vector<uint32_t>(9, 0xFFFFFFFFu));
    WritePng("data/texture/blood.png", 640, 480, std::vector<uint32_t>(640 * 480, 0x80C00000u));
}

}  // namespace testing_support
