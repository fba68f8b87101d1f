// The narrow draw-submission seam under the Direct3D 9 device: one device, full state handed over
// with each draw, so a backend applies what changed and never has to track the game's calls itself.
// Implemented by gl/ (OpenGL 2.1 through the SDL window) and headless/ (counts, draws no pixels).
//
// Call order: renderCreate() after the window exists and before anything else here; every other call
// only while it is created; renderDestroy() last. Textures are created, filled and destroyed by name.
#pragma once

#include <cstdint>

#include "d3d9/state.h"

namespace seam {

struct RenderConfig {
    int width, height;  // the back buffer
    bool windowed;
    bool depthBuffer;
    int depthBits;  // 16 for D3DFMT_D16, 24 otherwise: a depth buffer exactly as fine as the one asked for
};

struct DisplayMode {
    int width, height, refreshRate;
};

bool renderCreate(const RenderConfig& config);
bool renderReset(const RenderConfig& config);
void renderDestroy();
DisplayMode renderDisplayMode();

uint32_t textureCreate(int width, int height, int levels, bool alpha);  // alpha false: reads as opaque
void textureUpload(uint32_t handle, int level, int width, int height, const uint32_t* argb);
void textureDestroy(uint32_t handle);

// Textures bound in `state` are uploaded (when dirty) before these are called.
void renderClear(const d3d9::DeviceState& state, DWORD flags, D3DCOLOR color, float z, DWORD stencil);

struct DrawCall {
    D3DPRIMITIVETYPE type;
    UINT primitiveCount;
    const void* vertices;
    UINT vertexCount;
    UINT stride;
    const uint16_t* indices;  // null for non-indexed draws
    const uint32_t* indices32;
};
void renderDraw(const d3d9::DeviceState& state, const DrawCall& call);

// Shows the back buffer and keeps the pace at 60 frames per second. False when the device is lost.
bool renderPresent();

// Copies the back buffer (width × height ARGB words, rows top-down). False where there are no pixels.
bool renderReadBack(uint32_t* argb);

}  // namespace seam
