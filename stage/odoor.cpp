// The door: opening and closing with its sound, the four panels drawn and bent one by one with the lamp
// showing the channel, and the ray test against the panels where they are.
#include "stage/odoor.h"

#include <algorithm>

#include "app/globals.h"
#include "player/player_state.h"
#include "sound/sound_bank.h"
#include "stage/describe.h"
#include "stage/fixed_mesh.h"
#include "stage/lever_states.h"

namespace {
constexpr float kNear = 50.0f;  // the player must be closer than this for the door to open
constexpr float kSlide = 1.5f;  // per frame
constexpr float kFullyOpen = 40.0f;
constexpr DWORD kLampMaterial = 1;
}  // namespace

ODoor::ODoor(ID3DXMesh* mesh, uint16_t typeCode, const D3DXVECTOR3& position, float yaw, float pitch, int channel)
    : Obj(mesh, typeCode, position, yaw, pitch, 4), channel(channel) {
    // Every panel starts with the shape as loaded, so that a ray test before the first draw meets it.
    const size_t n = baseVertices.size();
    for (size_t i = 0; i < 4; ++i) std::copy(baseVertices.begin(), baseVertices.end(), workVertices.begin() + i * n);
}

void ODoor::Update() {
    D3DXVECTOR3 d = g_player.position - position;
    if (D3DXVec3Length(&d) < kNear && ReadLeverState(channel)) {
        if (!open) g_soundBank->Play("mecha32.wav", -1000, 0);
        open = true;
    } else {
        if (open) g_soundBank->Play("mecha32.wav", -1000, 0);
        open = false;
    }
    if (open) {
        openAmount += kSlide;
        if (openAmount > kFullyOpen) openAmount = kFullyOpen;
    } else {
        openAmount -= kSlide;
        if (openAmount < 0.0f) openAmount = 0.0f;
    }
}

void ODoor::PanelMatrices(int panel, D3DXMATRIX& world, D3DXMATRIX& rotation) const {
    D3DXMATRIX slide, quarter, turn, place;
    D3DXMatrixTranslation(&slide, openAmount, -openAmount, 0.0f);
    D3DXMatrixRotationZ(&quarter, 90.0f * panel * kDegToRad);
    D3DXMatrixRotationYawPitchRoll(&turn, yaw * kDegToRad, pitch * kDegToRad, 0.0f);
    D3DXMatrixTranslation(&place, position.x, position.y, position.z);
    rotation = quarter * turn;
    world = slide * rotation * place;
}

void ODoor::Draw() {
    g_device->SetTexture(0, nullptr);
    const DWORD n = static_cast<DWORD>(baseVertices.size());
    MeshRecord* record = FindFixedMesh("door.x");
    for (int i = 0; i < 4; ++i) {
        D3DXMATRIX world, rotation;
        PanelMatrices(i, world, rotation);
        g_device->SetTransform(D3DTS_WORLD, &world);
        ApplySliceBulge(mesh, baseVertices.data(), workVertices.data() + static_cast<size_t>(n) * i, n, world,
                        rotation);
        g_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
        if (!record) continue;
        SetLamp(record, kLampMaterial, ReadLeverState(channel));
        record->Draw();
    }
}

BOOL ODoor::Intersect(D3DXVECTOR3 rayOrigin, D3DXVECTOR3 rayDirection, float* distance, DWORD* faceIndex) {
    float nearest = -1.0f;
    BOOL result = FALSE;
    // A ray without a direction (a player standing still) meets nothing, as with every other object.
    if (rayDirection.x == 0.0f && rayDirection.y == 0.0f && rayDirection.z == 0.0f) {
        if (distance) *distance = nearest;
        return FALSE;
    }
    D3DXVECTOR3 unit;
    D3DXVec3Normalize(&unit, &rayDirection);
    for (int i = 0; i < 4; ++i) {
        D3DXMATRIX world, rotation, inverse;
        PanelMatrices(i, world, rotation);
        D3DXMatrixInverse(&inverse, nullptr, &world);
        D3DXVECTOR3 origin, direction;
        D3DXVec3TransformCoord(&origin, &rayOrigin, &inverse);
        D3DXVec3TransformNormal(&direction, &unit, &inverse);
        // The panels share one mesh: each is tested with the positions the last draw bent for it.
        WriteSlice(i);
        BOOL hit = FALSE;
        DWORD face = 0;
        float d = 0.0f;
        D3DXIntersect(mesh, &origin, &direction, &hit, &face, nullptr, nullptr, &d, nullptr, nullptr);
        if (hit && (nearest == -1.0f || d < nearest)) {
            nearest = d;
            result = TRUE;
            hitPanel = i;
            if (faceIndex) *faceIndex = face;
        }
    }
    if (distance) *distance = nearest;
    return result;
}

D3DXVECTOR3 ODoor::HitNormal(DWORD face) {
    DWORD corner[3];
    if (!FaceCorners(mesh, face, corner)) return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3* slice = workVertices.data() + baseVertices.size() * hitPanel;
    const D3DXVECTOR3 p[3] = {slice[corner[0]], slice[corner[1]], slice[corner[2]]};
    D3DXMATRIX world, rotation;
    PanelMatrices(hitPanel, world, rotation);
    return TurnedNormal(p, rotation);
}

std::string ODoor::DescribeState() const {
    return "open " + std::to_string(open ? 1 : 0) + " amount " + Describe(openAmount);
}
