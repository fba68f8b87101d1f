// What a stage load leaves for the game scene: its three textures and the goal flag.
#pragma once

#include <d3d9.h>

// Loaded by every stage load, released when the game scene is left; null when not loaded.
extern IDirect3DTexture9* g_laserTexture;      // "data/texture/laser.png", 128 × 256: the beams
extern IDirect3DTexture9* g_hitTexture;        // "data/texture/efe_hit.png", 256 × 64: a shot's sparkle
extern IDirect3DTexture9* g_crosshairTexture;  // "data/texture/crosshair.png", 128 × 128

// Set by the goal when the player reaches it; cleared by every stage load.
extern bool g_goalReached;
