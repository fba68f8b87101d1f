// d3dx::decodePng with the Windows Imaging Component, which every Windows has (Windows).
#include <wincodec.h>
#include <windows.h>

#include <cstring>

#include "d3dx/mesh.h"

namespace d3dx {

namespace {

template <typename T>
struct ComRef {
    T* p = nullptr;
    ~ComRef() {
        if (p) p->Release();
    }
    T** out() { return &p; }
    T* operator->() const { return p; }
};

bool decodeWith(IWICImagingFactory* factory, const void* data, size_t size, Image& image) {
    ComRef<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.out())) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)), static_cast<DWORD>(size))))
        return false;
    ComRef<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromStream(stream.p, &GUID_ContainerFormatPng, WICDecodeMetadataCacheOnDemand,
                                                decoder.out())))
        return false;
    ComRef<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    if (FAILED(decoder->GetFrame(0, frame.out())) || FAILED(frame->GetSize(&width, &height))) return false;
    // Larger than any texture the device makes: refuse before allocating.
    if (width == 0 || height == 0 || width > 8192 || height > 8192) return false;

    WICPixelFormatGUID format;
    if (FAILED(frame->GetPixelFormat(&format))) return false;
    bool alpha = format == GUID_WICPixelFormat32bppBGRA || format == GUID_WICPixelFormat32bppRGBA ||
                 format == GUID_WICPixelFormat64bppRGBA || format == GUID_WICPixelFormat64bppBGRA;
    if (!alpha) {
        // A palette with transparent entries (tRNS) has alpha too.
        ComRef<IWICPalette> palette;
        BOOL paletteAlpha = FALSE;
        if (SUCCEEDED(factory->CreatePalette(palette.out())) && SUCCEEDED(frame->CopyPalette(palette.p)) &&
            SUCCEEDED(palette->HasAlpha(&paletteAlpha)))
            alpha = paletteAlpha != FALSE;
    }

    // Bytes B, G, R, A, not premultiplied: one little-endian ARGB word per pixel.
    ComRef<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.out())) ||
        FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return false;
    std::vector<uint32_t> argb(static_cast<size_t>(width) * height);
    if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(argb.size() * 4),
                                     reinterpret_cast<BYTE*>(argb.data()))))
        return false;
    image.width = width;
    image.height = height;
    image.hasAlpha = alpha;
    image.argb = std::move(argb);
    return true;
}

}  // namespace

bool decodePng(const void* data, size_t size, Image& image) {
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!data || size < 8 || size > 0xFFFFFFFFu || std::memcmp(data, kSignature, 8) != 0) return false;
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool ok = false;
    {
        ComRef<IWICImagingFactory> factory;
        if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                       reinterpret_cast<void**>(factory.out()))))
            ok = decodeWith(factory.p, data, size, image);
    }
    if (SUCCEEDED(init)) CoUninitialize();
    if (!ok) image.argb.clear();
    return ok;
}

}  // namespace d3dx
