// What a stage load leaves for the game scene: its three textures and the goal flag.
#pragma once

#include <d3d9.h>

extern IDirect3DTexture9* g_laserTexture;      // the gun's beam and the laser traps' beams
extern IDirect3DTexture9* g_hitTexture;        // the sparkle where a shot lands
extern IDirect3DTexture9* g_crosshairTexture;  // 64 × 64 at the top left of a 128 × 128 texture
extern bool g_goalReached;                     // set by the goal, cleared by every stage load
