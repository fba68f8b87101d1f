// The common part of every stage object: construction, its two matrices, the ray test, and the bulge.
#include "stage/obj.h"

#include <cstring>

#include "player/player_state.h"
#include "stage/bulge.h"

ORoot g_objRoot;

ORoot::~ORoot() {
    if (this == &g_objRoot) ClearObjects();
}

Obj::Obj(ID3DXMesh* mesh, uint16_t typeCode, const D3DXVECTOR3& position, float yaw, float pitch, int slices)
    : position(position), yaw(yaw), pitch(pitch), typeCode(typeCode), mesh(mesh) {
    DWORD n = mesh->GetNumVertices();
    workVertices.resize(static_cast<size_t>(n) * slices);
    baseVertices.resize(n);
    BYTE* vertices = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&vertices));
    if (vertices)
        for (DWORD i = 0; i < n; ++i)
            std::memcpy(&baseVertices[i], vertices + kStageVertexSize * i, sizeof(D3DXVECTOR3));
    mesh->UnlockVertexBuffer();
}

D3DXMATRIX Obj::DrawMatrix() const {
    D3DXMATRIX ry, rx, t;
    D3DXMatrixRotationY(&ry, yaw * kDegToRad);
    D3DXMatrixRotationX(&rx, pitch * kDegToRad);
    D3DXMatrixTranslation(&t, position.x, position.y, position.z);
    return ry * rx * t;
}

D3DXMATRIX Obj::HitMatrix() const {
    D3DXMATRIX r, t;
    D3DXMatrixRotationYawPitchRoll(&r, yaw * kDegToRad, pitch * kDegToRad, 0.0f);
    D3DXMatrixTranslation(&t, position.x, position.y, position.z);
    return r * t;
}

BOOL Obj::Intersect(D3DXVECTOR3 rayOrigin, D3DXVECTOR3 rayDirection, float* distance, DWORD* faceIndex) {
    // A ray without a direction (a player standing still) meets nothing.
    if (rayDirection.x == 0.0f && rayDirection.y == 0.0f && rayDirection.z == 0.0f) return FALSE;
    D3DXMATRIX world = HitMatrix();
    D3DXMATRIX inverse;
    D3DXMatrixInverse(&inverse, nullptr, &world);
    D3DXVECTOR3 origin, direction;
    D3DXVec3TransformCoord(&origin, &rayOrigin, &inverse);
    D3DXVec3Normalize(&rayDirection, &rayDirection);
    D3DXVec3TransformNormal(&direction, &rayDirection, &inverse);
    BOOL hit = FALSE;
    D3DXIntersect(mesh, &origin, &direction, &hit, faceIndex, nullptr, nullptr, distance, nullptr, nullptr);
    return hit;
}

bool FaceCorners(ID3DXMesh* mesh, DWORD face, DWORD corner[3]) {
    if (!mesh || face >= mesh->GetNumFaces()) return false;
    void* indices = nullptr;
    if (FAILED(mesh->LockIndexBuffer(D3DLOCK_READONLY, &indices))) return false;
    for (int i = 0; i < 3; ++i) corner[i] = static_cast<const uint16_t*>(indices)[3 * face + i];
    mesh->UnlockIndexBuffer();
    const DWORD count = mesh->GetNumVertices();
    return corner[0] < count && corner[1] < count && corner[2] < count;
}

D3DXVECTOR3 TurnedNormal(const D3DXVECTOR3 corner[3], const D3DXMATRIX& turn) {
    D3DXVECTOR3 e1 = corner[1] - corner[0], e2 = corner[2] - corner[0], n;
    D3DXVec3Cross(&n, &e1, &e2);
    D3DXVec3TransformNormal(&n, &n, &turn);
    D3DXVec3Normalize(&n, &n);
    return n;
}

D3DXVECTOR3 Obj::HitNormal(DWORD face) {
    DWORD corner[3];
    if (!FaceCorners(mesh, face, corner)) return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 p[3];
    BYTE* vertices = nullptr;
    if (FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&vertices))))
        return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    for (int i = 0; i < 3; ++i) std::memcpy(&p[i], vertices + kStageVertexSize * corner[i], sizeof(D3DXVECTOR3));
    mesh->UnlockVertexBuffer();
    return TurnedNormal(p, HitMatrix());
}

void Obj::WriteWorkVertices() { WriteSlice(0); }

void Obj::WriteSlice(size_t slice) {
    BYTE* vertices = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&vertices));
    const size_t n = baseVertices.size();
    if (vertices)
        for (size_t i = 0; i < n; ++i)
            std::memcpy(vertices + kStageVertexSize * i, &workVertices[slice * n + i], sizeof(D3DXVECTOR3));
    mesh->UnlockVertexBuffer();
}

void Obj::RestoreBaseVertices() {
    std::copy(baseVertices.begin(), baseVertices.end(), workVertices.begin());
    WriteWorkVertices();
}

void ApplySliceBulge(ID3DXMesh* mesh, const D3DXVECTOR3* base, D3DXVECTOR3* work, DWORD count, const D3DXMATRIX& world,
                     const D3DXMATRIX& rotation) {
    BYTE* vertices = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&vertices));
    // With a sphere active every position is written (the shared mesh gets this object's shape);
    // with none the buffer keeps whatever it last received.
    if (BulgePositions(base, work, count, world, rotation) && vertices)
        for (DWORD v = 0; v < count; ++v) std::memcpy(vertices + kStageVertexSize * v, &work[v], sizeof(D3DXVECTOR3));
    mesh->UnlockVertexBuffer();
}

void ApplyBulge(Obj* obj) {
    D3DXMATRIX ry, rx;
    D3DXMatrixRotationY(&ry, obj->yaw * kDegToRad);
    D3DXMatrixRotationX(&rx, obj->pitch * kDegToRad);
    ApplySliceBulge(obj->mesh, obj->baseVertices.data(), obj->workVertices.data(),
                    static_cast<DWORD>(obj->baseVertices.size()), obj->DrawMatrix(), ry * rx);
}
