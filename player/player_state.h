// The one player: its state record, shared by the stage objects, the movement, the gun and the scenes.
#pragma once

#include <d3dx9.h>

#include <cstdint>

struct PlayerState {
    D3DXVECTOR3 position;        // the eye (camera)
    D3DXVECTOR3 lookAt;          // position plus the unit view direction
    D3DXVECTOR3 startPosition;   // from the stage file
    D3DXVECTOR3 bulgeCenter[4];  // slot 3 is the newest bulge, slot 0 the oldest
    D3DXVECTOR3 up;              // tilted while the death sequence runs
    D3DXVECTOR3 velocity;        // units per frame
    D3DXVECTOR3 bobOffset;       // the gun's walking sway
    float yaw;                   // degrees, not wrapped; 0 looks along +z
    float pitch;                 // degrees, positive looks down
    bool airborne;               // no floor under the player in the last collision pass
    int16_t jumpCooldown;        // frames on the ground before a held SPACE jumps again
    float landingDip;            // lowers the eye by landingDip / 5 after a hard landing
    bool bulgeActive[4];         // an active bulge grows, an inactive one shrinks
    uint16_t shotFlash;          // 255 at a shot, 10 less each frame
    float bulgeRadius[4];        // 1.0: the slot is idle
    float health;                // 255 is full; at or below 0 the player dies
    bool dead;                   // the death sequence runs
    int32_t bobPhase;            // degrees, normally 0..180
    int32_t bobStep;             // +1 or -1 (0 at program start)
    float fallSpin;              // the death sequence's pitch speed, degrees per frame
};

extern PlayerState g_player;

// Puts the player at its start position with full health, a level view and no bulges. Always true.
bool ResetPlayer();

// Degrees to radians, as every angle of the game is turned before it meets a matrix.
constexpr float kDegToRad = 0.01745329238474369f;
