// Ray against triangles (Möller–Trumbore), for one triangle and for every face of a mesh in index order.
#include <cstring>

#include "d3dx/mesh.h"

namespace {

struct Hit {
    float u, v, t;
};

// Both sides count; a ray parallel to the plane (det exactly 0) misses.
inline bool rayTriangle(const float* a, const float* b, const float* c, const float* o, const float* d, Hit& hit) {
    float e1x = b[0] - a[0], e1y = b[1] - a[1], e1z = b[2] - a[2];
    float e2x = c[0] - a[0], e2y = c[1] - a[1], e2z = c[2] - a[2];
    float px = d[1] * e2z - d[2] * e2y, py = d[2] * e2x - d[0] * e2z, pz = d[0] * e2y - d[1] * e2x;
    float det = e1x * px + e1y * py + e1z * pz;
    if (det == 0.0f) return false;
    float inv = 1.0f / det;
    float sx = o[0] - a[0], sy = o[1] - a[1], sz = o[2] - a[2];
    float u = (sx * px + sy * py + sz * pz) * inv;
    if (u < 0.0f || u > 1.0f) return false;
    float qx = sy * e1z - sz * e1y, qy = sz * e1x - sx * e1z, qz = sx * e1y - sy * e1x;
    float v = (d[0] * qx + d[1] * qy + d[2] * qz) * inv;
    if (v < 0.0f || u + v > 1.0f) return false;
    float t = (e2x * qx + e2y * qy + e2z * qz) * inv;
    if (t < 0.0f) return false;
    hit = Hit{u, v, t};
    return true;
}

}  // namespace

BOOL WINAPI D3DXIntersectTri(const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                             const D3DXVECTOR3* rayPos, const D3DXVECTOR3* rayDir, float* u, float* v, float* dist) {
    Hit h;
    if (!rayTriangle(&p0->x, &p1->x, &p2->x, &rayPos->x, &rayDir->x, h)) return FALSE;
    if (u) *u = h.u;
    if (v) *v = h.v;
    if (dist) *dist = h.t;
    return TRUE;
}

HRESULT WINAPI D3DXIntersect(ID3DXMesh* mesh, const D3DXVECTOR3* rayPos, const D3DXVECTOR3* rayDir, BOOL* hit,
                             DWORD* faceIndex, float* u, float* v, float* dist, ID3DXBuffer** allHits,
                             DWORD* countOfHits) {
    if (allHits) *allHits = nullptr;
    if (!mesh || !rayPos || !rayDir || !hit) return D3DERR_INVALIDCALL;
    const ID3DXMesh::Impl& m = *mesh->impl;
    const uint8_t* base = m.vertices.data();
    const size_t stride = m.stride;
    const uint16_t* idx = m.indices.data();
    const size_t faces = m.attributes.size();
    const float* o = &rayPos->x;
    const float* d = &rayDir->x;

    bool found = false;
    Hit best{0, 0, 0};
    DWORD bestFace = 0;
    DWORD count = 0;
    std::vector<D3DXINTERSECTINFO> list;
    for (size_t f = 0; f < faces; ++f) {
        const float* a = reinterpret_cast<const float*>(base + idx[3 * f] * stride);
        const float* b = reinterpret_cast<const float*>(base + idx[3 * f + 1] * stride);
        const float* c = reinterpret_cast<const float*>(base + idx[3 * f + 2] * stride);
        Hit h;
        if (!rayTriangle(a, b, c, o, d, h)) continue;
        ++count;
        if (allHits) list.push_back(D3DXINTERSECTINFO{static_cast<DWORD>(f), h.u, h.v, h.t});
        if (!found || h.t < best.t) {  // the first face keeps a tie
            found = true;
            best = h;
            bestFace = static_cast<DWORD>(f);
        }
    }
    *hit = found ? TRUE : FALSE;
    if (found) {
        if (faceIndex) *faceIndex = bestFace;
        if (u) *u = best.u;
        if (v) *v = best.v;
        if (dist) *dist = best.t;
    }
    if (countOfHits) *countOfHits = count;
    if (allHits && !list.empty()) {
        HRESULT hr = D3DXCreateBuffer(static_cast<DWORD>(list.size() * sizeof(D3DXINTERSECTINFO)), allHits);
        if (FAILED(hr)) return hr;
        std::memcpy((*allHits)->GetBufferPointer(), list.data(), list.size() * sizeof(D3DXINTERSECTINFO));
    }
    return D3D_OK;
}
