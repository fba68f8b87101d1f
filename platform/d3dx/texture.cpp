// Textures from PNG pictures: decoded with libpng, sized, keyed and filtered the way D3DX does it, and
// written into a device texture through LockRect.
#include <png.h>

#include <algorithm>
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

namespace {

UINT roundUpToPowerOfTwo(UINT v) {
    UINT p = 1;
    while (p < v) p <<= 1;
    return p;
}

uint8_t channel(uint32_t argb, int shift) { return static_cast<uint8_t>(argb >> shift); }

// Bilinear sample of the image at texel-centre coordinates (x, y), clamped at the edges.
uint32_t sampleLinear(const d3dx::Image& img, float x, float y) {
    x = std::clamp(x, 0.0f, static_cast<float>(img.width - 1));
    y = std::clamp(y, 0.0f, static_cast<float>(img.height - 1));
    UINT x0 = static_cast<UINT>(x), y0 = static_cast<UINT>(y);
    UINT x1 = std::min(x0 + 1, img.width - 1), y1 = std::min(y0 + 1, img.height - 1);
    float fx = x - x0, fy = y - y0;
    uint32_t p00 = img.argb[y0 * img.width + x0], p10 = img.argb[y0 * img.width + x1];
    uint32_t p01 = img.argb[y1 * img.width + x0], p11 = img.argb[y1 * img.width + x1];
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        float top = channel(p00, shift) * (1 - fx) + channel(p10, shift) * fx;
        float bottom = channel(p01, shift) * (1 - fx) + channel(p11, shift) * fx;
        out |= static_cast<uint32_t>(top * (1 - fy) + bottom * fy + 0.5f) << shift;
    }
    return out;
}

// The picture in a width × height level: copied to the top left (FILTER_NONE), or stretched.
std::vector<uint32_t> fitImage(const d3dx::Image& img, UINT width, UINT height, DWORD filter) {
    std::vector<uint32_t> out(static_cast<size_t>(width) * height, 0);
    DWORD kind = filter & 0xFF;
    if (kind == D3DX_FILTER_NONE || (img.width == width && img.height == height)) {
        UINT w = std::min(width, img.width), h = std::min(height, img.height);
        for (UINT y = 0; y < h; ++y)
            std::memcpy(&out[static_cast<size_t>(y) * width], &img.argb[static_cast<size_t>(y) * img.width], w * 4);
        return out;
    }
    float sx = static_cast<float>(img.width) / width, sy = static_cast<float>(img.height) / height;
    for (UINT y = 0; y < height; ++y) {
        for (UINT x = 0; x < width; ++x) {
            float cx = (x + 0.5f) * sx - 0.5f, cy = (y + 0.5f) * sy - 0.5f;
            out[static_cast<size_t>(y) * width + x] =
                kind == D3DX_FILTER_POINT
                    ? img.argb[std::min(static_cast<UINT>((y + 0.5f) * sy), img.height - 1) * img.width +
                               std::min(static_cast<UINT>((x + 0.5f) * sx), img.width - 1)]
                    : sampleLinear(img, cx, cy);
        }
    }
    return out;
}

// The next smaller level from the one above it: a 2 × 2 box average, the top-left texel, or a crop.
std::vector<uint32_t> nextLevel(const std::vector<uint32_t>& above, UINT aw, UINT ah, UINT w, UINT h, DWORD filter) {
    std::vector<uint32_t> out(static_cast<size_t>(w) * h, 0);
    DWORD kind = filter & 0xFF;
    for (UINT y = 0; y < h; ++y) {
        for (UINT x = 0; x < w; ++x) {
            if (kind == D3DX_FILTER_NONE) {
                out[y * w + x] = above[y * aw + x];
                continue;
            }
            UINT x0 = std::min(2 * x, aw - 1), y0 = std::min(2 * y, ah - 1);
            if (kind == D3DX_FILTER_POINT) {
                out[y * w + x] = above[y0 * aw + x0];
                continue;
            }
            UINT x1 = std::min(x0 + 1, aw - 1), y1 = std::min(y0 + 1, ah - 1);
            uint32_t q[4] = {above[y0 * aw + x0], above[y0 * aw + x1], above[y1 * aw + x0], above[y1 * aw + x1]};
            uint32_t v = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                uint32_t sum = 2;
                for (uint32_t t : q) sum += channel(t, shift);
                v |= (sum / 4) << shift;
            }
            out[y * w + x] = v;
        }
    }
    return out;
}

HRESULT fillLevel(IDirect3DTexture9* texture, UINT level, const std::vector<uint32_t>& texels, UINT w, UINT h,
                  bool opaque) {
    D3DLOCKED_RECT locked;
    HRESULT hr = texture->LockRect(level, &locked, nullptr, 0);
    if (FAILED(hr)) return hr;
    for (UINT y = 0; y < h; ++y) {
        auto* row =
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch);
        for (UINT x = 0; x < w; ++x) row[x] = opaque ? (texels[y * w + x] | 0xFF000000u) : texels[y * w + x];
    }
    return texture->UnlockRect(level);
}

}  // namespace

HRESULT WINAPI D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT size, UINT width,
                                                   UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                                   D3DPOOL pool, DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                                   D3DXIMAGE_INFO* srcInfo, PALETTEENTRY*,
                                                   IDirect3DTexture9** texture) {
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (!device || !data || size == 0) return D3DERR_INVALIDCALL;
    d3dx::Image img;
    if (!d3dx::decodePng(data, size, img)) return D3DXERR_INVALIDDATA;
    if (srcInfo)
        *srcInfo = D3DXIMAGE_INFO{img.width,        img.height, 1, 1, img.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8,
                                  D3DRTYPE_TEXTURE, D3DXIFF_PNG};

    if (width == 0 || width == D3DX_DEFAULT) width = roundUpToPowerOfTwo(img.width);
    if (width == D3DX_DEFAULT_NONPOW2 || width == D3DX_FROM_FILE) width = img.width;
    if (height == 0 || height == D3DX_DEFAULT) height = roundUpToPowerOfTwo(img.height);
    if (height == D3DX_DEFAULT_NONPOW2 || height == D3DX_FROM_FILE) height = img.height;
    if (mipLevels == D3DX_DEFAULT) mipLevels = 0;  // the full chain
    if (mipLevels == D3DX_FROM_FILE) mipLevels = 1;  // a PNG holds one level
    if (format == D3DFMT_UNKNOWN) format = img.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    if (format != D3DFMT_X8R8G8B8) format = D3DFMT_A8R8G8B8;  // the only two formats the device keeps
    if (filter == D3DX_DEFAULT) filter = D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER;
    if (mipFilter == D3DX_DEFAULT) mipFilter = D3DX_FILTER_BOX;

    // The colour key is compared with opaque ARGB pixels; a key of 0 keys nothing.
    if (colorKey != 0)
        for (auto& px : img.argb)
            if (px == colorKey) px = 0;

    IDirect3DTexture9* made = nullptr;
    HRESULT hr = device->CreateTexture(width, height, mipLevels, usage, format, pool, &made, nullptr);
    if (FAILED(hr)) return hr;
    bool opaque = format == D3DFMT_X8R8G8B8;
    std::vector<uint32_t> level = fitImage(img, width, height, filter);
    UINT w = width, h = height;
    for (UINT l = 0; l < made->GetLevelCount(); ++l) {
        if (l > 0) {
            UINT nw = std::max(1u, w / 2), nh = std::max(1u, h / 2);
            level = nextLevel(level, w, h, nw, nh, mipFilter);
            w = nw;
            h = nh;
        }
        hr = fillLevel(made, l, level, w, h, opaque);
        if (FAILED(hr)) {
            made->Release();
            return hr;
        }
    }
    *texture = made;
    return D3D_OK;
}

HRESULT WINAPI D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, LPCSTR file, UINT width, UINT height,
                                            UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                            DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo,
                                            PALETTEENTRY* palette, IDirect3DTexture9** texture) {
    if (texture) *texture = nullptr;
    std::vector<uint8_t> bytes;
    if (!d3dx::readWholeFile(file, bytes)) return D3DXERR_INVALIDDATA;
    return D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), static_cast<UINT>(bytes.size()), width, height,
                                               mipLevels, usage, format, pool, filter, mipFilter, colorKey, srcInfo,
                                               palette, texture);
}

HRESULT WINAPI D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR file, IDirect3DTexture9** texture) {
    return D3DXCreateTextureFromFileExA(device, file, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                        D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, texture);
}
