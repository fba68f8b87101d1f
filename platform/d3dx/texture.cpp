// Textures from PNG pictures: decoded (d3dx::decodePng), sized, keyed and filtered the way D3DX does it,
// and written into a device texture through LockRect.
#include <algorithm>
#include <cstring>

#include "d3dx/mesh.h"

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
