// Fuzz target for the .x mesh reader: any bytes must load cleanly or fail cleanly, and a loaded mesh
// must draw and answer ray tests without reading outside its buffers.
#include <d3dx9.h>

#include <cstddef>
#include <cstdint>

#include "fuzz_device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* materials = nullptr;
    DWORD count = 0;
    if (D3DXLoadMeshFromXInMemory(data, static_cast<DWORD>(size), D3DXMESH_MANAGED, FuzzDevice(), nullptr, &materials,
                                  nullptr, &count, &mesh) != D3D_OK)
        return 0;
    auto* list = static_cast<D3DXMATERIAL*>(materials->GetBufferPointer());
    volatile size_t nameBytes = 0;
    for (DWORD i = 0; i < count; ++i)
        for (const char* c = list[i].pTextureFilename; c && *c; ++c) nameBytes = nameBytes + 1;
    FuzzDevice()->BeginScene();
    for (DWORD i = 0; i < count; ++i) mesh->DrawSubset(i);
    FuzzDevice()->EndScene();
    D3DXVECTOR3 origin(0, 0, -100), direction(0.01f, 0.02f, 1);
    BOOL hit = FALSE;
    DWORD face = 0, hits = 0;
    float u, v, dist;
    ID3DXBuffer* all = nullptr;
    D3DXIntersect(mesh, &origin, &direction, &hit, &face, &u, &v, &dist, &all, &hits);
    if (all) all->Release();
    materials->Release();
    mesh->Release();
    return 0;
}
