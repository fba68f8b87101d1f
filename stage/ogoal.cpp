// The goal: within 10 of the point 12 above it the stage is finished; drawn from "goal.x", never bent.
#include "stage/ogoal.h"

#include "app/fade.h"
#include "app/globals.h"
#include "player/player_state.h"
#include "sound/sound_bank.h"
#include "stage/fixed_mesh.h"
#include "stage/stage_state.h"

namespace {
constexpr float kReach = 10.0f;
constexpr float kCentreHeight = 12.0f;
}  // namespace

OGoal::OGoal(ID3DXMesh* mesh, uint16_t typeCode, const D3DXVECTOR3& position, float yaw, float pitch, int nextStage)
    : Obj(mesh, typeCode, position, yaw, pitch), nextStage(nextStage) {}

void OGoal::Update() {
    D3DXVECTOR3 d = position + D3DXVECTOR3(0.0f, kCentreHeight, 0.0f) - g_player.position;
    if (!(D3DXVec3Length(&d) < kReach)) return;
    if (!g_goalReached) g_soundBank->Play("mecha15.wav", -1000, 0);
    g_stageIndex = nextStage;
    g_goalReached = true;
    // To white from wherever the fade stands: full after at most 51 frames.
    g_fadeSpeed = 5;
    g_fadeRed = g_fadeGreen = g_fadeBlue = 255;
}

void OGoal::Draw() {
    g_device->SetTexture(0, nullptr);
    D3DXMATRIX world = DrawMatrix();
    RestoreBaseVertices();
    g_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    g_device->SetTransform(D3DTS_WORLD, &world);
    if (MeshRecord* record = FindFixedMesh("goal.x")) record->Draw();
}

std::string OGoal::DescribeState() const { return "next " + std::to_string(nextStage); }
