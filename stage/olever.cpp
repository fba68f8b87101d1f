// The lever: E within reach of its handle flips it, with a clunk; drawn from "leveron.x" or "leveroff.x".
#include "stage/olever.h"

#include "app/globals.h"
#include "app/input.h"
#include "player/player_state.h"
#include "sound/sound_bank.h"
#include "stage/describe.h"
#include "stage/fixed_mesh.h"
#include "stage/lever_states.h"

namespace {
constexpr float kReach = 14.0f;         // from the eye to the handle
constexpr float kHandleHeight = 10.0f;  // the handle above the lever's origin
}  // namespace

OLever::OLever(ID3DXMesh* mesh, uint16_t typeCode, const D3DXVECTOR3& position, float yaw, float pitch, int channel,
               int initialState)
    : Obj(mesh, typeCode, position, yaw, pitch), channel(channel), on(initialState != 0) {
    ReserveLeverChannel(channel);
    AppendLeverState(on);
}

void OLever::Update() {
    D3DXVECTOR3 d = position + D3DXVECTOR3(0.0f, kHandleHeight, 0.0f) - g_player.position;
    if (D3DXVec3Length(&d) <= kReach && g_input.e.Triggered()) {
        on = !on;
        g_soundBank->Play("bosu05.wav", -1500, 0);
    }
    WriteLeverState(channel, on);
}

void OLever::Draw() {
    g_device->SetTexture(0, nullptr);
    D3DXMATRIX world = DrawMatrix();
    RestoreBaseVertices();  // never bent; puts its own shape back into a shared mesh
    g_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    g_device->SetTransform(D3DTS_WORLD, &world);
    if (MeshRecord* record = FindFixedMesh(on ? "leveron.x" : "leveroff.x")) record->Draw();
}

std::string OLever::DescribeState() const {
    return "on " + std::to_string(on ? 1 : 0) + " channel " + std::to_string(channel);
}
