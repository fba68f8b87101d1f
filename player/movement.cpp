// Walking, jumping, gravity and friction, the head bob with its footsteps, and the health step.
#include "player/movement.h"

#include <d3dx9.h>

#include "app/fade.h"
#include "app/globals.h"
#include "app/input.h"
#include "player/collision.h"
#include "player/player_state.h"
#include "sound/sound_bank.h"

namespace {

void ZeroIfTiny(D3DXVECTOR3& v, float below) {
    if (D3DXVec3Length(&v) < below) v = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

float SineOfDegrees(int degrees) {
    int i = degrees % 360;
    if (i < 0) i += 360;
    return g_sineTable[i];
}

// The keys add a push of length s in the direction they ask for, turned with the view.
void Walk(bool& walking) {
    PlayerState& p = g_player;
    const float s = p.airborne ? 1.2f - 1.15f : 1.2f;
    D3DXMATRIX turn;
    D3DXMatrixRotationY(&turn, p.yaw * kDegToRad);
    D3DXVECTOR3 wish(0.0f, 0.0f, 0.0f);
    const struct {
        const KeyState& key;
        D3DXVECTOR3 push;
    } keys[] = {
        {g_input.w, {0.0f, 0.0f, s}},
        {g_input.s, {0.0f, 0.0f, -s}},
        {g_input.a, {-s, 0.0f, 0.0f}},
        {g_input.d, {s, 0.0f, 0.0f}},
    };
    walking = false;
    for (const auto& k : keys) {
        if (!k.key.Down()) continue;
        walking = true;
        D3DXVECTOR3 turned;
        D3DXVec3TransformCoord(&turned, &k.push, &turn);
        wish += turned;
    }
    D3DXVec3Normalize(&wish, &wish);
    p.velocity += wish * s;
}

// The gun sways with the stride; a footstep sounds at each end of the sway.
void Bob(bool walking) {
    PlayerState& p = g_player;
    if (walking && !p.airborne) {
        p.bobPhase += 6 * p.bobStep;
        if (p.bobPhase > 180 || p.bobPhase < 0) {
            p.bobStep = -p.bobStep;
            g_soundBank->Play("bosu08.wav", -1000, 0);
        }
        p.bobOffset = D3DXVECTOR3(static_cast<float>(p.bobPhase) / 350.0f, SineOfDegrees(p.bobPhase) / 10.0f, 0.0f);
    } else {
        p.bobPhase = 0;
        p.bobStep = 1;
        p.bobOffset *= 0.9f;
        ZeroIfTiny(p.bobOffset, 0.01f);
    }
}

}  // namespace

void StepHealth() {
    PlayerState& p = g_player;
    if (p.health > 255.0f) p.health = 255.0f;
    if (p.health <= 0.0f) {
        p.dead = true;
        g_fadeSpeed = 2;
        g_fadeRed = g_fadeGreen = g_fadeBlue = 0;
        p.health = 0.0f;
    } else {
        p.health += 0.5f;
    }
}

void MovePlayer() {
    PlayerState& p = g_player;
    bool walking = false;
    Walk(walking);
    Bob(walking);

    if (!p.airborne) {
        p.velocity.y = 0.0f;
        p.velocity.x *= 0.37f;
        p.velocity.z *= 0.37f;
        if (p.jumpCooldown > 0) --p.jumpCooldown;
    } else {
        p.velocity.y -= 0.1f;
        p.velocity.x *= 0.99f;
        p.velocity.z *= 0.99f;
    }
    ZeroIfTiny(p.velocity, 0.01f);

    // A standing player jumps straight up; a moving one keeps exactly 1.2 across the ground.
    if (!p.airborne && p.jumpCooldown <= 0 && g_input.space.Down()) {
        D3DXVec3Normalize(&p.velocity, &p.velocity);
        p.velocity.x *= 1.2f;
        p.velocity.z *= 1.2f;
        p.velocity.y = 1.5f;
        p.airborne = true;
        p.jumpCooldown = 10;
    }
    if (!g_input.space.Down()) p.jumpCooldown = 0;

    p.landingDip -= 1.0f;
    if (p.landingDip < 0.0f) p.landingDip = 0.0f;

    if (p.velocity.y < -5.0f) p.velocity.y = -5.0f;
    if (D3DXVec3Length(&p.velocity) > 7.0f) {
        D3DXVec3Normalize(&p.velocity, &p.velocity);
        p.velocity *= 7.0f;
    }
    p.position += p.velocity;

    // Out of the stage: dead from the next frame on.
    if (p.position.y < -200.0f) {
        p.health = 0.0f;
        p.position.y = -199.0f;
    }
    CollidePlayer();
}
