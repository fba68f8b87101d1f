// The gun: releasing and firing bulges, where the gun is held, and drawing the gun with its lamps, the
// bulge spheres (which grow and shrink as they are drawn), the beam of a shot and its sparkle.
#pragma once

#include <d3dx9.h>

// The largest a bulge grows, and the longest beam drawn (the far plane).
constexpr float kBulgeMaxRadius = 45.0f;
constexpr float kBeamMaxLength = 1000.0f;

// Right button held: every bulge lets go. Left button just pressed: a shot.
void StepGun();

// One right, one down and six ahead of the eye, turned with the view.
D3DXVECTOR3 GunPosition();

// After the stage objects, with the camera set. Leaves lighting off, and depth writing off when a
// sphere was drawn.
void DrawPlayer();
