// The gun step and the drawing of the gun, its lamps, the bulge spheres, the beam and the sparkle.
#include "player/gun.h"

#include <cstdlib>

#include "app/globals.h"
#include "app/input.h"
#include "player/player_state.h"
#include "resource/resource_cache.h"
#include "sound/sound_bank.h"
#include "stage/obj.h"
#include "stage/stage_state.h"

namespace {

struct BeamVertex {
    float x, y, z;
    D3DCOLOR colour;
    float u, v;
};
constexpr DWORD kBeamFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

D3DXMATRIX ViewRotation() {
    D3DXMATRIX r;
    D3DXMatrixRotationYawPitchRoll(&r, g_player.yaw * kDegToRad, g_player.pitch * kDegToRad, 0.0f);
    return r;
}

D3DXVECTOR3 Turned(const D3DXVECTOR3& v, const D3DXMATRIX& r) {
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &v, &r);
    return out;
}

D3DXMATRIX TurnedAt(const D3DXMATRIX& r, const D3DXVECTOR3& at) {
    D3DXMATRIX t;
    D3DXMatrixTranslation(&t, at.x, at.y, at.z);
    return r * t;
}

D3DMATERIAL9 LampMaterial(bool on) {
    D3DMATERIAL9 m;
    ZeroMemory(&m, sizeof m);
    D3DCOLORVALUE colour = on ? D3DCOLORVALUE{1.0f, 0.1f, 0.1f, 0.5f} : D3DCOLORVALUE{0.1f, 0.1f, 1.0f, 0.5f};
    m.Diffuse = colour;
    colour.a = 0.0f;
    m.Ambient = colour;
    m.Emissive = colour;
    return m;
}

// Red lamps for the bulges held, blue for the rest; the cached record keeps the change.
void LightLamps(MeshRecord* gun) {
    int held = 0;
    for (bool active : g_player.bulgeActive) held += active ? 1 : 0;
    if (held > 3 || gun->materialCount < 7) return;
    for (int i = 0; i < 3; ++i) gun->materials[4 + i] = LampMaterial(i < held);
}

void DrawGun() {
    const D3DXMATRIX r = ViewRotation();
    D3DXMATRIX world;
    if (!g_player.dead) {
        D3DXVECTOR3 g = GunPosition();
        if (g_player.shotFlash > 100) {
            g.x += static_cast<float>(std::rand() % 11 - 5) / 150.0f;
            g.y += static_cast<float>(std::rand() % 11 - 5) / 150.0f;
            g.z += static_cast<float>(std::rand() % 11 - 5) / 150.0f;
        }
        g += Turned(g_player.bobOffset, r);
        world = TurnedAt(r, g);
    } else {
        // Dropped: on its side on the floor, ten along +z from the fallen player.
        D3DXMATRIX side;
        D3DXMatrixRotationYawPitchRoll(&side, 0.0f, 0.0f, 1.5707963705062866f);
        const D3DXVECTOR3& at = g_player.position;
        world = TurnedAt(side, D3DXVECTOR3(at.x, at.y - 2.0f, at.z + 10.0f));
    }
    g_device->SetTransform(D3DTS_WORLD, &world);
    MeshRecord* gun = g_resourceCache->Find("gun.x");
    if (!gun) return;
    LightLamps(gun);
    gun->Draw();
}

// Each sphere is drawn at the radius it had, then grows toward 45 while held or shrinks away.
void DrawSpheres() {
    MeshRecord* sphere = g_resourceCache->Find("sphere.x");
    for (int i = 0; i < 4; ++i) {
        float& radius = g_player.bulgeRadius[i];
        if (!(radius > 1.0f)) continue;
        g_device->SetTexture(0, nullptr);
        D3DMATERIAL9 m;
        ZeroMemory(&m, sizeof m);
        m.Diffuse = D3DCOLORVALUE{0.5f, 0.5f, 0.7f, static_cast<float>(i + 2) / 15.0f};
        m.Emissive = D3DCOLORVALUE{0.15f * i, 0.15f * i, 0.21f * i, 0.0f};
        g_device->SetMaterial(&m);
        const D3DXVECTOR3& c = g_player.bulgeCenter[i];
        D3DXMATRIX scale, place;
        D3DXMatrixScaling(&scale, radius, radius, radius);
        D3DXMatrixTranslation(&place, c.x, c.y, c.z);
        const D3DXMATRIX world = scale * place;
        if (g_player.bulgeActive[i]) {
            radius *= 1.1f;
            if (radius > kBulgeMaxRadius) radius = kBulgeMaxRadius;
        } else {
            radius /= 1.08f;
        }
        g_device->SetTransform(D3DTS_WORLD, &world);
        g_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        if (sphere && sphere->mesh) sphere->mesh->DrawSubset(0);
    }
}

void Quad(BeamVertex (&v)[4], const D3DXVECTOR3 (&corners)[4], D3DCOLOR colour, const float (&u)[4],
          const float (&vv)[4]) {
    for (int i = 0; i < 4; ++i) v[i] = BeamVertex{corners[i].x, corners[i].y, corners[i].z, colour, u[i], vv[i]};
}

float Jitter10() { return static_cast<float>(std::rand() % 10 - 5) / 10.0f; }

// A chain of ribbons one unit wide, facing the camera, from the muzzle to a little past the bulge's
// centre. A muzzle on the centre itself draws the first ribbon only; no beam runs past the far plane.
void DrawBeam(const D3DXMATRIX& r, const D3DXVECTOR3& muzzle, const D3DXVECTOR3& b, D3DCOLOR colour) {
    const D3DXVECTOR3 toTarget = g_player.bulgeCenter[3] - g_player.position;
    const float reach = D3DXVec3Length(&toTarget);
    const bool still = b.x == 0.0f && b.y == 0.0f && b.z == 0.0f;
    const float u[4] = {0.0f, 1.0f, 1.0f, 0.0f}, v[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    D3DXVECTOR3 prev = muzzle;
    for (int n = 1;; ++n) {
        D3DXVECTOR3 j;
        j.x = Jitter10();
        j.y = Jitter10();
        j.z = Jitter10();
        D3DXVECTOR3 cur = muzzle + static_cast<float>(n + 1) * b + j;
        const D3DXMATRIX mc = TurnedAt(r, cur), mp = TurnedAt(r, prev);
        const D3DXVECTOR3 corners[4] = {
            Turned(D3DXVECTOR3(-0.5f, 0.0f, 0.0f), mc), Turned(D3DXVECTOR3(0.5f, 0.0f, 0.0f), mc),
            Turned(D3DXVECTOR3(0.5f, 0.0f, 0.0f), mp), Turned(D3DXVECTOR3(-0.5f, 0.0f, 0.0f), mp)};
        BeamVertex quad[4];
        Quad(quad, corners, colour, u, v);
        g_device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(BeamVertex));
        D3DXVECTOR3 along = static_cast<float>(n) * b;
        if (still || D3DXVec3Length(&along) > reach || static_cast<float>(n + 2) > kBeamMaxLength) break;
        prev = cur;
    }
}

// A 5 × 5 square at the bulge's centre showing one of the first three frames of the hit texture.
void DrawSparkle(const D3DXMATRIX& r, D3DCOLOR colour) {
    const int frame = std::rand() % 3;
    const float u0 = static_cast<float>(64 * frame) / 256.0f, u1 = static_cast<float>(64 * frame + 64) / 256.0f;
    const D3DXVECTOR3 corners[4] = {{-2.5f, 2.5f, 0.0f}, {2.5f, 2.5f, 0.0f}, {2.5f, -2.5f, 0.0f}, {-2.5f, -2.5f, 0.0f}};
    const float u[4] = {u0, u1, u1, u0}, v[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    BeamVertex quad[4];
    Quad(quad, corners, colour, u, v);
    D3DXVECTOR3 at = g_player.bulgeCenter[3];
    at.z += static_cast<float>(std::rand() % 7 - 3) / 10.0f;
    at.y += static_cast<float>(std::rand() % 7 - 3) / 10.0f;
    at.x += static_cast<float>(std::rand() % 7 - 3) / 10.0f;
    const D3DXMATRIX world = TurnedAt(r, at);
    g_device->SetTransform(D3DTS_WORLD, &world);
    g_device->SetTexture(0, g_hitTexture);
    g_device->SetFVF(kBeamFvf);
    g_device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(BeamVertex));
}

}  // namespace

void StepGun() {
    PlayerState& p = g_player;
    if (g_input.mouseRight.Down()) {
        if (p.bulgeActive[0] || p.bulgeActive[1] || p.bulgeActive[2] || p.bulgeActive[3])
            g_soundBank->Play("mecha23_b.wav", -1000, 0);
        for (bool& active : p.bulgeActive) active = false;
    }
    if (!g_input.mouseLeft.Triggered()) return;

    p.shotFlash = 255;
    D3DXVECTOR3 d = p.lookAt - p.position;
    D3DXVec3Normalize(&d, &d);
    // The queue moves on: slot 3 keeps its centre and flag until something is hit.
    for (int i = 0; i < 3; ++i) p.bulgeRadius[i] = p.bulgeRadius[i + 1];
    p.bulgeRadius[3] = 2.0f;
    for (int i = 0; i < 3; ++i) p.bulgeCenter[i] = p.bulgeCenter[i + 1];
    p.bulgeActive[1] = p.bulgeActive[2];
    p.bulgeActive[2] = p.bulgeActive[3];
    p.bulgeActive[0] = false;
    g_soundBank->Play("puu35.wav", -1000, 0);
    g_soundBank->Play("mecha07.wav", -2000, 0);

    const bool bent = p.bulgeActive[0] || p.bulgeActive[1] || p.bulgeActive[2] || p.bulgeActive[3];
    const D3DXMATRIX r = ViewRotation();
    float best = -1.0f;
    for (Obj* obj = g_objRoot.next; obj; obj = obj->next) {
        if (obj->typeCode == TYPE_PLAYER_BODY) continue;
        if (obj->typeCode != TYPE_LASER_TRAP && bent) obj->WriteWorkVertices();
        float dist = 0.0f;
        if (!obj->Intersect(p.position, d, &dist, nullptr)) continue;
        if (best == -1.0f || dist < best) {
            best = dist;
            p.bulgeCenter[3] = p.position + Turned(D3DXVECTOR3(0.0f, 0.0f, dist), r);
            p.bulgeActive[3] = true;
        }
    }
}

D3DXVECTOR3 GunPosition() { return g_player.position + Turned(D3DXVECTOR3(1.0f, -1.0f, 6.0f), ViewRotation()); }

void DrawPlayer() {
    g_device->SetTexture(0, nullptr);
    DrawGun();
    DrawSpheres();
    g_device->SetRenderState(D3DRS_LIGHTING, FALSE);

    const D3DXMATRIX r = ViewRotation();
    const D3DXVECTOR3 m = Turned(D3DXVECTOR3(1.0f, -1.0f, 3.0f) + g_player.bobOffset, r);
    const D3DXVECTOR3 muzzle = g_player.position + m;
    D3DXVECTOR3 b = g_player.bulgeCenter[3] - muzzle;
    D3DXVec3Normalize(&b, &b);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    g_device->SetTransform(D3DTS_WORLD, &identity);
    const D3DCOLOR colour = (static_cast<D3DCOLOR>(g_player.shotFlash) << 24) | 0xFFFFFF;
    g_device->SetTexture(0, g_laserTexture);
    g_device->SetFVF(kBeamFvf);
    if (g_player.shotFlash > 0) DrawBeam(r, muzzle, b, colour);
    if (g_player.shotFlash > 0 && g_player.bulgeActive[3]) DrawSparkle(r, colour);
}
