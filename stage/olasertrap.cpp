// The laser trap: every second active frame the beam is measured against every object, on the frames
// between only against the player's body, up to the length measured before.
#include "stage/olasertrap.h"

#include <cmath>

#include "app/globals.h"
#include "player/player_state.h"
#include "sound/sound_bank.h"
#include "stage/describe.h"
#include "stage/fixed_mesh.h"
#include "stage/lever_states.h"

namespace {
constexpr float kDamage = 128.0f;

// Back into 0..360 by whole turns; an absurd angle from a broken stage file is brought near first so
// that the turning back ends.
void WrapDegrees(float& angle) {
    if (std::fabs(angle) > 1.0e6f) angle = std::fmod(angle, 360.0f);
    while (angle > 360.0f) angle -= 360.0f;
    while (angle < 0.0f) angle += 360.0f;
}
}  // namespace

OLaserTrap::OLaserTrap(ID3DXMesh* mesh, uint16_t typeCode, const D3DXVECTOR3& position, float yaw, float pitch,
                       int channel, float yawSpeed, float pitchSpeed)
    : Obj(mesh, typeCode, position, yaw, pitch), yawSpeed(yawSpeed), pitchSpeed(pitchSpeed), channel(channel) {
    ReserveLeverChannel(channel);
}

void OLaserTrap::Update() {
    if (!ReadLeverState(channel)) return;  // idle: it keeps its angles and its phase
    phase = 1 - phase;
    yaw += yawSpeed;
    WrapDegrees(yaw);
    pitch += pitchSpeed;
    WrapDegrees(pitch);
    const bool everything = phase == 0;
    if (everything)
        beamLength = -1.0f;
    else if (!measured)
        return;

    D3DXMATRIX turn;
    D3DXMatrixRotationYawPitchRoll(&turn, yaw * kDegToRad, pitch * kDegToRad, 0.0f);
    D3DXVECTOR3 ahead(0.0f, 0.0f, -1.0f), dir;
    D3DXVec3TransformCoord(&dir, &ahead, &turn);
    D3DXVec3Normalize(&dir, &dir);

    Obj* nearest = nullptr;
    for (Obj* o = g_objRoot.next; o; o = o->next) {
        if (o->typeCode == TYPE_LASER_TRAP) continue;  // never itself, never another trap
        if (!everything && o->typeCode != TYPE_PLAYER_BODY) continue;
        float d = 0.0f;
        if (o->Intersect(position, dir, &d, nullptr) && (d < beamLength || beamLength == -1.0f)) {
            beamLength = d;
            nearest = o;
        }
    }
    if (everything) measured = true;
    if (nearest && nearest->typeCode == TYPE_PLAYER_BODY) {
        g_soundBank->Play("beep07.wav", -2000, 0);
        if (!g_player.dead) g_player.health -= kDamage;
    }
}

void OLaserTrap::Draw() {
    g_device->SetTexture(0, nullptr);
    D3DXMATRIX world = HitMatrix();  // the beam's own rotation
    g_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    g_device->SetTransform(D3DTS_WORLD, &world);
    if (MeshRecord* body = FindFixedMesh("ltrap.x")) body->Draw();
    if (ReadLeverState(channel) && phase == 0) {
        // The beam mesh runs from 0 to -1 along its z axis: stretched by the measured length (by -1,
        // behind the trap, when nothing was hit).
        D3DXMATRIX stretch, beamWorld;
        D3DXMatrixScaling(&stretch, 1.0f, 1.0f, beamLength);
        beamWorld = stretch * world;
        g_device->SetTransform(D3DTS_WORLD, &beamWorld);
        g_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
        g_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        if (MeshRecord* beam = FindFixedMesh("laser.x")) beam->Draw();
    }
    g_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
}

std::string OLaserTrap::DescribeState() const {
    return "phase " + std::to_string(phase) + " beam " + Describe(beamLength) + " yaw " + Describe(yaw) + " pitch " +
           Describe(pitch);
}
