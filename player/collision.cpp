// The player's collision: a ray along the motion, four along the world axes, then a ceiling ray or four
// floor rays, against every object near enough, in list order.
#include "player/collision.h"

#include <d3dx9.h>

#include <cmath>

#include "player/movement.h"
#include "player/player_state.h"
#include "sound/sound_bank.h"
#include "app/globals.h"
#include "stage/obj.h"

namespace {

bool AnyBulgeActive() {
    for (bool active : g_player.bulgeActive)
        if (active) return true;
    return false;
}

D3DXVECTOR3 TurnedAboutY(const D3DXVECTOR3& v, float degrees) {
    D3DXMATRIX turn;
    D3DXMatrixRotationY(&turn, degrees * kDegToRad);
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &v, &turn);
    return out;
}

// A wall ray: on a hit nearer than `reach` measured along the face normal, the eye is put back to
// `reach` from the face's plane. A hit whose normal is perpendicular to the ray (q = 0) has no such
// distance and leaves the eye where it is.
void PushAway(Obj* obj, const D3DXVECTOR3& direction, float reach) {
    PlayerState& p = g_player;
    float dist = 0.0f;
    DWORD face = 0;
    if (!obj->Intersect(p.position, direction, &dist, &face)) return;
    D3DXVECTOR3 n = obj->HitNormal(face);
    D3DXVECTOR3 back = -direction;
    float q = D3DXVec3Dot(&n, &back);
    if (q == 0.0f || !std::isfinite(q)) return;
    float t = std::fabs(reach / q);
    if (dist < t) p.position += n * q * (t - dist);
}

// Alive: a floor within reach puts the eye at its height above it (a hard landing dips the view and
// clacks, a fast one hurts). Dead: the eye settles 2 above a floor; the ray starts where the eye was
// before this frame's fall, so a fall faster than 2 a frame cannot pass through a floor.
void FloorRays(Obj* obj, float fallen) {
    PlayerState& p = g_player;
    const D3DXVECTOR3 down(0.0f, -1.0f, 0.0f);
    for (int a = 0; a < 360; a += 90) {
        D3DXVECTOR3 origin = p.position + TurnedAboutY(D3DXVECTOR3(kFloorProbe, 0.0f, 0.0f), a + p.yaw);
        if (p.dead) origin.y += fallen;
        float dist = 0.0f;
        if (!obj->Intersect(origin, down, &dist, nullptr)) continue;
        if (p.dead) {
            if (dist <= kDeadEyeHeight + fallen) {
                p.position.y += kDeadEyeHeight + fallen - dist;
                p.airborne = false;
                p.velocity.y = -0.5f;
            }
            continue;
        }
        float eye = kEyeHeight - p.landingDip / 5.0f;
        if (dist <= 12.01f - p.landingDip / 5.0f) {
            p.position.y += eye - dist;
            if (D3DXVec3Length(&p.velocity) >= 1.7f) {
                p.landingDip = 15.0f;
                g_soundBank->Play("kachi44.wav", -500, 0);
            }
            if (p.velocity.y < -4.5f) {
                g_soundBank->Play("bosu20.wav", 0, 0);
                p.health += p.velocity.y * 60.0f;
            }
            p.airborne = false;
            p.velocity.y = -0.5f;
            obj->playerOnTop = true;
        }
    }
}

void CeilingRay(Obj* obj) {
    PlayerState& p = g_player;
    float dist = 0.0f;
    if (obj->Intersect(p.position, D3DXVECTOR3(0.0f, 1.0f, 0.0f), &dist, nullptr) && dist < kHeadClearance) {
        p.position.y -= kHeadClearance - dist;
        p.velocity.y = 0.0f;
    }
}

}  // namespace

void CollidePlayer() {
    PlayerState& p = g_player;
    // How far the eye fell in this frame's step: the dead floor test looks back over it.
    const float fallen = p.velocity.y < 0.0f ? -p.velocity.y : 0.0f;
    const bool bent = AnyBulgeActive();
    p.airborne = true;
    for (Obj* obj = g_objRoot.next; obj; obj = obj->next) {
        if (obj->typeCode == TYPE_PLAYER_BODY || obj->typeCode == TYPE_LASER_TRAP) continue;
        D3DXVECTOR3 apart = obj->position - p.position;
        if (obj->typeCode != TYPE_STAGE && !(D3DXVec3Length(&apart) < kCollisionRange)) continue;

        // The rays must meet this object's own shape, bent as it was last drawn.
        if (bent) obj->WriteWorkVertices();

        // Along the motion as it is now: a floor met earlier in this pass has already tilted it down.
        // A dead eye has no motion ray; it only sinks onto the floor.
        if (!p.dead) {
            D3DXVECTOR3 motion;
            D3DXVec3Normalize(&motion, &p.velocity);
            PushAway(obj, motion, kForwardReach);
        }
        for (int a = 0; a < 360; a += 90) PushAway(obj, TurnedAboutY(D3DXVECTOR3(0.0f, 0.0f, 1.0f), a), kSideReach);

        obj->playerOnTop = false;
        if (obj->position.y >= p.position.y && obj->typeCode != TYPE_STAGE)
            CeilingRay(obj);
        else
            FloorRays(obj, fallen);
    }
}
