// Ray against triangles (Möller–Trumbore), for one triangle and for every face of a mesh in index order.
#include <xmmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "d3dx/mesh.h"

namespace {

struct Hit {
    float u, v, t;
};

// Both sides count; a ray parallel to the plane (det exactly 0) misses. The bounds are checked on the
// numerators against det before anything is divided, which keeps the common miss cheap.
inline bool rayTriangle(const float* a, const float* b, const float* c, const float* o, const float* d, Hit& hit) {
    float e1x = b[0] - a[0], e1y = b[1] - a[1], e1z = b[2] - a[2];
    float e2x = c[0] - a[0], e2y = c[1] - a[1], e2z = c[2] - a[2];
    float px = d[1] * e2z - d[2] * e2y, py = d[2] * e2x - d[0] * e2z, pz = d[0] * e2y - d[1] * e2x;
    float det = e1x * px + e1y * py + e1z * pz;
    float sx = o[0] - a[0], sy = o[1] - a[1], sz = o[2] - a[2];
    float un = sx * px + sy * py + sz * pz;
    // With det's sign folded in, U = un / det lies in [0, 1] exactly when 0 <= un' <= det'.
    float sign = det < 0.0f ? -1.0f : 1.0f;
    float absDet = det * sign;
    if (!(un * sign >= 0.0f && un * sign <= absDet) || det == 0.0f) return false;
    float qx = sy * e1z - sz * e1y, qy = sz * e1x - sx * e1z, qz = sx * e1y - sy * e1x;
    float vn = d[0] * qx + d[1] * qy + d[2] * qz;
    if (vn * sign < 0.0f || (un + vn) * sign > absDet) return false;
    float tn = e2x * qx + e2y * qy + e2z * qz;
    if (tn * sign < 0.0f) return false;
    float inv = 1.0f / det;
    hit = Hit{un * inv, vn * inv, tn * inv};
    return true;
}

// Four faces at once with SSE: the same arithmetic as rayTriangle, lane by lane, so the lanes it marks
// are exactly the faces rayTriangle accepts. Returns a 4-bit mask of candidate hits.
inline int fourFaces(const float* const* a, const float* const* b, const float* const* c, const __m128 o[3],
                     const __m128 d[3]) {
    // One unaligned load per corner (its x, y, z and a spare float), turned into x, y and z across lanes.
    __m128 a0 = _mm_loadu_ps(a[0]), a1 = _mm_loadu_ps(a[1]), a2 = _mm_loadu_ps(a[2]), a3 = _mm_loadu_ps(a[3]);
    __m128 b0 = _mm_loadu_ps(b[0]), b1 = _mm_loadu_ps(b[1]), b2 = _mm_loadu_ps(b[2]), b3 = _mm_loadu_ps(b[3]);
    __m128 c0 = _mm_loadu_ps(c[0]), c1 = _mm_loadu_ps(c[1]), c2 = _mm_loadu_ps(c[2]), c3 = _mm_loadu_ps(c[3]);
    _MM_TRANSPOSE4_PS(a0, a1, a2, a3);
    _MM_TRANSPOSE4_PS(b0, b1, b2, b3);
    _MM_TRANSPOSE4_PS(c0, c1, c2, c3);
    __m128 ax = a0, ay = a1, az = a2;
    __m128 e1x = _mm_sub_ps(b0, ax), e1y = _mm_sub_ps(b1, ay), e1z = _mm_sub_ps(b2, az);
    __m128 e2x = _mm_sub_ps(c0, ax), e2y = _mm_sub_ps(c1, ay), e2z = _mm_sub_ps(c2, az);
    __m128 px = _mm_sub_ps(_mm_mul_ps(d[1], e2z), _mm_mul_ps(d[2], e2y));
    __m128 py = _mm_sub_ps(_mm_mul_ps(d[2], e2x), _mm_mul_ps(d[0], e2z));
    __m128 pz = _mm_sub_ps(_mm_mul_ps(d[0], e2y), _mm_mul_ps(d[1], e2x));
    __m128 det = _mm_add_ps(_mm_add_ps(_mm_mul_ps(e1x, px), _mm_mul_ps(e1y, py)), _mm_mul_ps(e1z, pz));
    __m128 sx = _mm_sub_ps(o[0], ax), sy = _mm_sub_ps(o[1], ay), sz = _mm_sub_ps(o[2], az);
    __m128 un = _mm_add_ps(_mm_add_ps(_mm_mul_ps(sx, px), _mm_mul_ps(sy, py)), _mm_mul_ps(sz, pz));
    const __m128 signBit = _mm_set1_ps(-0.0f), zero = _mm_setzero_ps();
    __m128 sign = _mm_and_ps(det, signBit);
    __m128 absDet = _mm_xor_ps(det, sign);
    __m128 us = _mm_xor_ps(un, sign);
    __m128 ok = _mm_and_ps(_mm_and_ps(_mm_cmpge_ps(us, zero), _mm_cmple_ps(us, absDet)), _mm_cmpneq_ps(det, zero));
    if (_mm_movemask_ps(ok) == 0) return 0;
    __m128 qx = _mm_sub_ps(_mm_mul_ps(sy, e1z), _mm_mul_ps(sz, e1y));
    __m128 qy = _mm_sub_ps(_mm_mul_ps(sz, e1x), _mm_mul_ps(sx, e1z));
    __m128 qz = _mm_sub_ps(_mm_mul_ps(sx, e1y), _mm_mul_ps(sy, e1x));
    __m128 vn = _mm_add_ps(_mm_add_ps(_mm_mul_ps(d[0], qx), _mm_mul_ps(d[1], qy)), _mm_mul_ps(d[2], qz));
    __m128 vs = _mm_xor_ps(vn, sign);
    ok = _mm_and_ps(ok, _mm_and_ps(_mm_cmpge_ps(vs, zero), _mm_cmple_ps(_mm_xor_ps(_mm_add_ps(un, vn), sign), absDet)));
    return _mm_movemask_ps(ok);
}

// Faces per bounding box of the ray test. Stage meshes are built surface by surface, so consecutive
// faces lie close together and most boxes are far from any one ray.
constexpr size_t kRayBlock = 32;

// The boxes of every run of kRayBlock faces, each grown by a margin far beyond the rounding of the
// triangle test, so that a ray missing a box cannot hit any of its faces.
void buildBlockBounds(ID3DXMesh::Impl& m) {
    const size_t faces = m.attributes.size();
    const size_t blocks = (faces + kRayBlock - 1) / kRayBlock;
    m.blockBounds.resize(blocks * 6);
    for (size_t b = 0; b < blocks; ++b) {
        // Each position is loaded as four floats (the buffer keeps 16 spare bytes at its end).
        __m128 lo = _mm_set1_ps(INFINITY), hi = _mm_set1_ps(-INFINITY);
        const size_t end = std::min(faces, (b + 1) * kRayBlock);
        for (size_t k = 3 * b * kRayBlock; k < 3 * end; ++k) {
            const __m128 p = _mm_loadu_ps(reinterpret_cast<const float*>(m.vertices.data() + m.indices[k] * m.stride));
            lo = _mm_min_ps(lo, p);
            hi = _mm_max_ps(hi, p);
        }
        float l[4], h[4];
        _mm_storeu_ps(l, lo);
        _mm_storeu_ps(h, hi);
        float extent = 1.0f;
        for (int a = 0; a < 3; ++a) extent = std::max({extent, std::fabs(l[a]), std::fabs(h[a])});
        const float margin = 1e-3f * extent;
        for (int a = 0; a < 3; ++a) {
            m.blockBounds[6 * b + a] = l[a] - margin;
            m.blockBounds[6 * b + 3 + a] = h[a] + margin;
        }
    }
}

// True when the ray (t >= 0) certainly passes the box by. Anything not a number keeps the box.
inline bool rayMissesBox(const float* o, const float* d, const float* box) {
    float tNear = 0.0f, tFar = INFINITY;
    for (int a = 0; a < 3; ++a) {
        const float lo = box[a], hi = box[3 + a];
        if (d[a] == 0.0f) {
            if (o[a] < lo || o[a] > hi) return true;
            continue;
        }
        float t1 = (lo - o[a]) / d[a], t2 = (hi - o[a]) / d[a];
        if (t1 > t2) std::swap(t1, t2);
        if (t1 > tNear) tNear = t1;
        if (t2 < tFar) tFar = t2;
        if (tNear > tFar) return true;
    }
    return false;
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
    auto position = [&](size_t corner) { return reinterpret_cast<const float*>(base + idx[corner] * stride); };
    const __m128 o4[3] = {_mm_set1_ps(o[0]), _mm_set1_ps(o[1]), _mm_set1_ps(o[2])};
    const __m128 d4[3] = {_mm_set1_ps(d[0]), _mm_set1_ps(d[1]), _mm_set1_ps(d[2])};
    // Faces f0 to f1 - 1, in order, exactly as one pass over them all would take them.
    auto scan = [&](size_t f, size_t end) {
        for (;;) {
            // Skip ahead four faces at a time while none of them can be hit; the face-by-face loop
            // below settles every candidate with the same arithmetic.
            while (f + 4 <= end) {
                const float* a[4] = {position(3 * f), position(3 * f + 3), position(3 * f + 6), position(3 * f + 9)};
                const float* b[4] = {position(3 * f + 1), position(3 * f + 4), position(3 * f + 7),
                                     position(3 * f + 10)};
                const float* c[4] = {position(3 * f + 2), position(3 * f + 5), position(3 * f + 8),
                                     position(3 * f + 11)};
                int mask = fourFaces(a, b, c, o4, d4);
                if (mask) {
                    f += __builtin_ctz(static_cast<unsigned>(mask));
                    break;
                }
                f += 4;
            }
            if (f >= end) break;
            const float* a = reinterpret_cast<const float*>(base + idx[3 * f] * stride);
            const float* b = reinterpret_cast<const float*>(base + idx[3 * f + 1] * stride);
            const float* c = reinterpret_cast<const float*>(base + idx[3 * f + 2] * stride);
            Hit h;
            if (!rayTriangle(a, b, c, o, d, h)) {
                ++f;
                continue;
            }
            ++count;
            if (allHits) list.push_back(D3DXINTERSECTINFO{static_cast<DWORD>(f), h.u, h.v, h.t});
            if (!found || h.t < best.t) {  // the first face keeps a tie
                found = true;
                best = h;
                bestFace = static_cast<DWORD>(f);
            }
            ++f;
        }
    };
    ID3DXMesh::Impl& shape = *mesh->impl;
    if (faces >= 4 * kRayBlock && shape.vertexLocks == 0 && shape.indexLocks == 0) {
        // Whole runs of faces whose box the ray passes by are left out; the rest in order as before.
        if (shape.boundsVersion != shape.shapeVersion) {
            buildBlockBounds(shape);
            shape.boundsVersion = shape.shapeVersion;
        }
        for (size_t blk = 0, start = 0; start < faces; ++blk, start += kRayBlock)
            if (!rayMissesBox(o, d, &shape.blockBounds[6 * blk])) scan(start, std::min(faces, start + kRayBlock));
    } else {
        scan(0, faces);
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
