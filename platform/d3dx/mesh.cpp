// D3DX buffers and meshes: memory the game may rewrite between draws, drawn straight from that memory.
#include "d3dx/mesh.h"

#include <crt_stdio.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <numeric>

UINT WINAPI D3DXGetFVFVertexSize(DWORD fvf) {
    // Position (three floats, four with RHW), normal, diffuse and specular colours, two floats per set of
    // texture coordinates.
    UINT size = (fvf & D3DFVF_XYZRHW) ? 16 : (fvf & D3DFVF_XYZ) ? 12 : 0;
    if (fvf & D3DFVF_NORMAL) size += 12;
    if (fvf & D3DFVF_DIFFUSE) size += 4;
    if (fvf & D3DFVF_SPECULAR) size += 4;
    return size + 8 * ((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
}

// ---- ID3DXBuffer ----

HRESULT WINAPI D3DXCreateBuffer(DWORD size, ID3DXBuffer** buffer) {
    if (!buffer) return D3DERR_INVALIDCALL;
    auto* impl = new (std::nothrow) ID3DXBuffer::Impl();
    if (!impl) return E_OUTOFMEMORY;
    impl->bytes.resize(size);
    *buffer = new ID3DXBuffer(impl);
    return D3D_OK;
}

ID3DXBuffer::~ID3DXBuffer() { delete impl; }
ULONG ID3DXBuffer::AddRef() { return ++impl->refs; }
ULONG ID3DXBuffer::Release() {
    ULONG left = --impl->refs;
    if (left == 0) delete this;
    return left;
}
void* ID3DXBuffer::GetBufferPointer() { return impl->bytes.empty() ? nullptr : impl->bytes.data(); }
DWORD ID3DXBuffer::GetBufferSize() { return static_cast<DWORD>(impl->bytes.size()); }

// ---- ID3DXMesh ----

struct MeshFactory {
    static ID3DXMesh* make(ID3DXMesh::Impl* impl) { return new ID3DXMesh(impl); }
};

void ID3DXMesh::Impl::rebuildRuns() {
    runs.clear();
    for (DWORD f = 0; f < attributes.size(); ++f) {
        if (runs.empty() || runs.back().attribute != attributes[f]) runs.push_back(Run{attributes[f], f, 0});
        ++runs.back().faceCount;
    }
}

ID3DXMesh::~ID3DXMesh() {
    if (impl->device) impl->device->Release();
    delete impl;
}
ULONG ID3DXMesh::AddRef() { return ++impl->refs; }
ULONG ID3DXMesh::Release() {
    ULONG left = --impl->refs;
    if (left == 0) delete this;
    return left;
}
DWORD ID3DXMesh::GetNumVertices() { return impl->vertexCount; }
DWORD ID3DXMesh::GetNumFaces() { return static_cast<DWORD>(impl->attributes.size()); }
DWORD ID3DXMesh::GetFVF() { return impl->fvf; }
DWORD ID3DXMesh::GetNumBytesPerVertex() { return impl->stride; }
DWORD ID3DXMesh::GetOptions() { return impl->options; }

HRESULT ID3DXMesh::GetDevice(IDirect3DDevice9** device) {
    if (!device) return D3DERR_INVALIDCALL;
    *device = impl->device;
    impl->device->AddRef();
    return D3D_OK;
}

HRESULT ID3DXMesh::LockVertexBuffer(DWORD flags, void** data) {
    if (!data) return D3DERR_INVALIDCALL;
    *data = impl->vertices.data();
    ++impl->vertexLocks;
    if (!(flags & D3DLOCK_READONLY)) {
        ++impl->writeLocks;
        ++impl->shapeVersion;
    }
    return D3D_OK;
}

HRESULT ID3DXMesh::UnlockVertexBuffer() {
    if (impl->vertexLocks == 0) return D3DERR_INVALIDCALL;
    --impl->vertexLocks;
    if (impl->writeLocks > 0) {
        --impl->writeLocks;
        ++impl->shapeVersion;  // whatever was written while it was locked is in now
    }
    return D3D_OK;
}

HRESULT ID3DXMesh::LockIndexBuffer(DWORD flags, void** data) {
    if (!data) return D3DERR_INVALIDCALL;
    *data = impl->indices.data();
    ++impl->indexLocks;
    if (!(flags & D3DLOCK_READONLY)) {
        ++impl->writeLocks;
        ++impl->shapeVersion;
    }
    return D3D_OK;
}

HRESULT ID3DXMesh::UnlockIndexBuffer() {
    if (impl->indexLocks == 0) return D3DERR_INVALIDCALL;
    --impl->indexLocks;
    if (impl->writeLocks > 0) {
        --impl->writeLocks;
        ++impl->shapeVersion;
    }
    return D3D_OK;
}

HRESULT ID3DXMesh::LockAttributeBuffer(DWORD, DWORD** data) {
    if (!data) return D3DERR_INVALIDCALL;
    *data = impl->attributes.data();
    ++impl->attributeLocks;
    return D3D_OK;
}

HRESULT ID3DXMesh::UnlockAttributeBuffer() {
    if (impl->attributeLocks == 0) return D3DERR_INVALIDCALL;
    if (--impl->attributeLocks == 0) impl->rebuildRuns();
    return D3D_OK;
}

HRESULT ID3DXMesh::DrawSubset(DWORD attribId) {
    IDirect3DDevice9* device = impl->device;
    device->SetFVF(impl->fvf);
    for (const auto& run : impl->runs) {
        if (run.attribute != attribId) continue;
        HRESULT hr = device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, impl->vertexCount, run.faceCount,
                                                    impl->indices.data() + 3 * run.faceStart, D3DFMT_INDEX16,
                                                    impl->vertices.data(), impl->stride);
        if (FAILED(hr)) return hr;
    }
    return D3D_OK;
}

namespace d3dx {

HRESULT createMesh(IDirect3DDevice9* device, DWORD options, DWORD fvf, std::vector<uint8_t> vertices,
                   const std::vector<uint32_t>& corners, const std::vector<DWORD>& attributes, ID3DXMesh** mesh) {
    if (!mesh) return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    if (!device || !(fvf & D3DFVF_XYZ) || corners.size() != attributes.size() * 3) return D3DERR_INVALIDCALL;
    if (options & D3DXMESH_32BIT) return E_NOTIMPL;  // the game's meshes all have 16-bit indices
    DWORD stride = D3DXGetFVFVertexSize(fvf);
    if (stride == 0 || vertices.size() % stride != 0) return D3DERR_INVALIDCALL;
    size_t vertexCount = vertices.size() / stride;
    if (vertexCount == 0 || vertexCount > 0xFFFF || attributes.empty()) return D3DXERR_INVALIDDATA;
    for (uint32_t c : corners)
        if (c >= vertexCount) return D3DXERR_INVALIDDATA;

    auto* impl = new (std::nothrow) ID3DXMesh::Impl();
    if (!impl) return E_OUTOFMEMORY;
    std::vector<uint32_t> order(attributes.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return attributes[a] < attributes[b]; });
    impl->indices.resize(corners.size());
    impl->attributes.resize(attributes.size());
    for (size_t f = 0; f < order.size(); ++f) {
        for (int k = 0; k < 3; ++k) impl->indices[3 * f + k] = static_cast<uint16_t>(corners[3 * order[f] + k]);
        impl->attributes[f] = attributes[order[f]];
    }
    impl->rebuildRuns();
    impl->device = device;
    device->AddRef();
    impl->options = options;
    impl->fvf = fvf;
    impl->stride = stride;
    impl->vertexCount = static_cast<DWORD>(vertexCount);
    impl->vertices = std::move(vertices);
    impl->vertices.resize(impl->vertices.size() + 16);
    *mesh = MeshFactory::make(impl);
    return D3D_OK;
}

bool readWholeFile(const char* path, std::vector<uint8_t>& bytes) {
    if (!path) return false;
    FILE* f = nullptr;
    if (fopen_s(&f, path, "rb") != 0) return false;
    bytes.clear();
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

}  // namespace d3dx
