// Saving a frame as an opaque 24-bit PNG picture.
#include "screenshot.h"

#include <png.h>

#include <cstdio>

namespace replay {

bool WritePng(const std::string& path, const std::vector<uint32_t>& argb, int width, int height) {
    if (argb.size() < static_cast<size_t>(width) * height) return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> row(static_cast<size_t>(width) * 3);
    bool ok = false;
    if (png && info && !setjmp(png_jmpbuf(png))) {
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                uint32_t c = argb[static_cast<size_t>(y) * width + x];
                row[x * 3] = static_cast<png_byte>(c >> 16);
                row[x * 3 + 1] = static_cast<png_byte>(c >> 8);
                row[x * 3 + 2] = static_cast<png_byte>(c);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return ok;
}

}  // namespace replay
