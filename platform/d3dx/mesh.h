// Inside the D3DX stand-in: how meshes, buffers and decoded pictures are kept, and the entry points the
// loaders share (also used by tests and benchmarks to build meshes and decode pictures directly).
#pragma once

#include <d3dx9.h>

#include <cstdint>
#include <string>
#include <vector>

struct ID3DXBuffer::Impl {
    ULONG refs = 1;
    std::vector<uint8_t> bytes;
};

struct ID3DXMesh::Impl {
    ULONG refs = 1;
    IDirect3DDevice9* device = nullptr;  // referenced for the mesh's life, as D3DX does
    DWORD options = 0;
    DWORD fvf = 0;
    DWORD stride = 0;
    DWORD vertexCount = 0;
    // vertexCount × stride bytes, handed to the device as they are, then 16 spare bytes so that the
    // ray test may load any position as four floats.
    std::vector<uint8_t> vertices;
    std::vector<uint16_t> indices;  // three per face
    std::vector<DWORD> attributes;  // one per face
    struct Run {
        DWORD attribute, faceStart, faceCount;
    };
    std::vector<Run> runs;  // consecutive faces of one attribute, rebuilt when the attributes change
    int vertexLocks = 0, indexLocks = 0, attributeLocks = 0;
    // Bumped whenever the positions or the triangles may have changed (every lock that is not read-only,
    // and its unlock), so that the ray test knows when its block bounds are stale.
    uint64_t shapeVersion = 0;
    int writeLocks = 0;  // locks without D3DLOCK_READONLY not yet unlocked
    // The ray test's bounds of each run of kRayBlock consecutive faces (six floats: low x y z, high x y z),
    // as of boundsVersion.
    std::vector<float> blockBounds;
    uint64_t boundsVersion = ~uint64_t{0};

    void rebuildRuns();
};

namespace d3dx {

// Makes a mesh from packed vertices, triangle corners and one attribute per triangle. The triangles
// are stably sorted by attribute first, so that subset i is attribute i.
HRESULT createMesh(IDirect3DDevice9* device, DWORD options, DWORD fvf, std::vector<uint8_t> vertices,
                   const std::vector<uint32_t>& corners, const std::vector<DWORD>& attributes, ID3DXMesh** mesh);

// A picture as 32-bit ARGB words, rows top-down.
struct Image {
    UINT width = 0, height = 0;
    bool hasAlpha = false;
    std::vector<uint32_t> argb;
};

// Decodes a PNG held in memory. False for anything that is not a well-formed PNG of sensible size.
bool decodePng(const void* data, size_t size, Image& image);

bool readWholeFile(const char* path, std::vector<uint8_t>& bytes);

}  // namespace d3dx
