// Everything a Direct3D 9 device remembers between calls, kept the same way for every backend.
// Tests read it through the device's impl to see what the game has set.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <vector>

namespace d3d9 {

constexpr int kRenderStates = 256;
constexpr int kStages = 8;
constexpr int kStageStates = 33;
constexpr int kSamplerStates = 14;
constexpr int kLights = 8;

struct DeviceState {
    DWORD render[kRenderStates];
    DWORD stage[kStages][kStageStates];
    DWORD sampler[kStages][kSamplerStates];
    D3DLIGHT9 lights[kLights];
    bool lightEnabled[kLights];
    D3DMATERIAL9 material;
    D3DMATRIX world, view, projection;
    DWORD fvf;
    IDirect3DTexture9* textures[kStages];
    D3DVIEWPORT9 viewport;

    // Direct3D 9's documented defaults for a freshly created or reset device.
    void setDefaults(UINT backBufferWidth, UINT backBufferHeight, bool autoDepth);
};

// Counts of what the device was asked to do since it was created.
struct DeviceCounters {
    uint64_t clears = 0;
    uint64_t draws = 0;
    uint64_t primitives = 0;
    uint64_t beginScenes = 0;
    uint64_t endScenes = 0;
    uint64_t presents = 0;
    uint64_t failedPresents = 0;
    uint64_t resets = 0;
};

// Vertex layout of a flexible vertex format: where each element sits and the stride.
struct VertexLayout {
    int stride = 0;
    int normal = -1;   // byte offsets, -1 when absent
    int diffuse = -1;
    int specular = -1;
    int texcoord = -1;
    bool rhw = false;
};
VertexLayout layoutOf(DWORD fvf);

}  // namespace d3d9

struct IDirect3DTexture9::Impl {
    ULONG refs = 1;
    UINT width = 0, height = 0;
    UINT levels = 1;
    D3DFORMAT format = D3DFMT_A8R8G8B8;
    D3DPOOL pool = D3DPOOL_MANAGED;
    // Texels of every level as 32-bit ARGB words, level 0 first, rows top-down.
    std::vector<std::vector<uint32_t>> texels;
    uint32_t handle = 0;  // the backend's name for it, 0 before the first upload
    bool dirty = true;    // texels changed since the last upload
    bool locked[16] = {};
};

struct IDirect3DDevice9::Impl {
    ULONG refs = 1;
    D3DPRESENT_PARAMETERS params{};
    d3d9::DeviceState state{};
    d3d9::DeviceCounters counters{};
    bool inScene = false;
    bool lost = false;
};
