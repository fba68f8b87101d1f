// What the OpenGL device's files share: the off-screen back buffer and the draw-state applier.
#pragma once

#include <SDL_opengl.h>

#include "d3d9/state.h"

namespace gl {

// The back buffer size of the current device.
extern int backWidth, backHeight;

// Puts the device state onto the GL context before a draw (transforms, lights, material, render
// states, texture stage and sampler) for vertices of the given layout.
void applyState(const d3d9::DeviceState& state, const d3d9::VertexLayout& layout);

// The GL texture name behind a device texture handle.
GLuint textureName(uint32_t handle);
bool textureHasMips(uint32_t handle);

// Sets the context to Direct3D's defaults once it is created.
void initDefaults();

}  // namespace gl
