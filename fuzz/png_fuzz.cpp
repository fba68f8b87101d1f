// Fuzz target for the PNG texture loader: any bytes must give a texture or a failure code, never a
// crash, an overrun or an unbounded allocation.
#include <d3dx9.h>

#include <cstddef>
#include <cstdint>

#include "fuzz_device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // As the game loads its pictures: a fixed size, unscaled, one level.
    IDirect3DTexture9* texture = nullptr;
    D3DXIMAGE_INFO info{};
    if (FAILED(D3DXCreateTextureFromFileInMemoryEx(FuzzDevice(), data, static_cast<UINT>(size), 32, 16, 1, 0,
                                                   D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_DEFAULT, 0,
                                                   &info, nullptr, &texture)))
        return 0;
    texture->Release();
    // And stretched to its own power-of-two size with a full mip chain, for pictures of modest size.
    if (info.Width <= 512 && info.Height <= 512 &&
        SUCCEEDED(D3DXCreateTextureFromFileInMemoryEx(
            FuzzDevice(), data, static_cast<UINT>(size), D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
            D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0xFF000000, nullptr, nullptr, &texture)))
        texture->Release();
    return 0;
}
