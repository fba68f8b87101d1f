// The step: moves along its path every frame and turns round within 0.1 of either end; drawn from
// "step.x" after the bulge.
#include "stage/ostep.h"

#include "app/globals.h"
#include "resource/resource_cache.h"
#include "stage/describe.h"
#include "stage/fixed_mesh.h"

namespace {
constexpr float kEndReach = 0.1f;

float Distance(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    D3DXVECTOR3 d = a - b;
    return D3DXVec3Length(&d);
}
}  // namespace

OStep::OStep(ID3DXMesh* mesh, uint16_t typeCode, const D3DXVECTOR3& position, float yaw, float pitch,
             const D3DXVECTOR3& target, float speed)
    : Obj(mesh, typeCode, position, yaw, pitch), target(target), origin(position), speed(speed) {}

void OStep::Update() {
    D3DXVECTOR3 path = target - origin, dir;
    D3DXVec3Normalize(&dir, &path);
    position += dir * speed;
    if (Distance(target, position) < kEndReach) {
        speed = -speed;
        position = target;
    }
    if (Distance(origin, position) < kEndReach) {
        speed = -speed;
        position = origin;
    }
}

void OStep::Draw() {
    g_device->SetTexture(0, nullptr);
    D3DXMATRIX world = DrawMatrix();
    ApplyBulge(this);
    g_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    g_device->SetTransform(D3DTS_WORLD, &world);
    if (MeshRecord* record = FindFixedMesh("step.x")) record->Draw();
}

std::string OStep::DescribeState() const { return "speed " + Describe(speed) + " position " + Describe(position); }
