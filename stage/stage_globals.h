// What a stage load leaves for the game: the goal flag and the three textures the game scene and the
// gun draw with.
#pragma once

#include <d3d9.h>

// Set by the goal when the player reaches it; cleared by every stage load.
extern bool g_goalReached;

// Loaded by every stage load, released when the game scene is left; null when not loaded.
extern IDirect3DTexture9* g_laserTexture;      // "data/texture/laser.png", 128 × 256
extern IDirect3DTexture9* g_hitTexture;        // "data/texture/efe_hit.png", 256 × 64
extern IDirect3DTexture9* g_crosshairTexture;  // "data/texture/crosshair.png", 128 × 128
