// d3dx::decodePng with libpng (Linux).
#include <png.h>

#include <cstring>

#include "d3dx/mesh.h"

namespace d3dx {

namespace {
// zlib cannot shrink data by more than about 1:1032, so a picture whose rows need far more bytes than
// the file could inflate to is refused before anything is allocated for it.
bool plausibleSize(const uint8_t* bytes, size_t size) {
    if (size < 33 || std::memcmp(bytes + 12, "IHDR", 4) != 0) return false;
    auto word = [&](size_t at) {
        return uint64_t(bytes[at]) << 24 | uint64_t(bytes[at + 1]) << 16 | uint64_t(bytes[at + 2]) << 8 | bytes[at + 3];
    };
    uint64_t width = word(16), height = word(20), depth = bytes[24];
    int channels = bytes[25] == 2 ? 3 : bytes[25] == 4 ? 2 : bytes[25] == 6 ? 4 : 1;
    uint64_t rowBytes = 1 + (width * channels * depth + 7) / 8;
    return height * rowBytes <= uint64_t(size) * 1100 + 4096;
}
}  // namespace

bool decodePng(const void* data, size_t size, Image& image) {
    if (!data || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0) return false;
    if (!plausibleSize(static_cast<const uint8_t*>(data), size)) return false;
    // The simplified API keeps libpng's longjmp inside libpng: every error comes back as a zero result.
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data, size)) {
        png_image_free(&png);
        return false;
    }
    // Larger than any texture the device makes: refuse before allocating.
    if (png.width == 0 || png.height == 0 || png.width > 8192 || png.height > 8192) {
        png_image_free(&png);
        return false;
    }
    image.hasAlpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    png.format = PNG_FORMAT_BGRA;  // bytes B, G, R, A: one little-endian ARGB word per pixel
    image.width = png.width;
    image.height = png.height;
    image.argb.assign(static_cast<size_t>(png.width) * png.height, 0);
    if (!png_image_finish_read(&png, nullptr, image.argb.data(), static_cast<png_int_32>(png.width * 4), nullptr)) {
        png_image_free(&png);
        image.argb.clear();
        return false;
    }
    return true;
}

}  // namespace d3dx
