// The bulge on positions: the rule one step at a time, and the same rule four positions at a time.
#include "stage/bulge.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "player/player_state.h"

namespace {

struct Sphere {
    D3DXVECTOR3 centre;
    float radius;
};

// The spheres that are not idle (radius above 1), in slot order.
int ActiveSpheres(Sphere out[4]) {
    int n = 0;
    for (int i = 0; i < 4; ++i)
        if (g_player.bulgeRadius[i] > 1.0f) out[n++] = {g_player.bulgeCenter[i], g_player.bulgeRadius[i]};
    return n;
}

// A position found inside a sphere moves away from its centre, along the direction from the centre
// turned back into the object's own axes.
inline void Push(D3DXVECTOR3& position, const D3DXVECTOR3& delta, float dist, float radius,
                 const D3DXMATRIX& inverseRotation) {
    D3DXVECTOR3 u;
    D3DXVec3TransformCoord(&u, &delta, &inverseRotation);
    D3DXVec3Normalize(&u, &u);
    float push = (radius - dist) / 1.5f;
    position += push * u;
}

// One position through every active sphere, in order.
inline void BulgeOne(D3DXVECTOR3& position, const Sphere* spheres, int n, const D3DXMATRIX& world,
                     const D3DXMATRIX& inverseRotation) {
    for (int k = 0; k < n; ++k) {
        D3DXVECTOR3 p;
        D3DXVec3TransformCoord(&p, &position, &world);
        D3DXVECTOR3 delta = p - spheres[k].centre;
        float dist = D3DXVec3Length(&delta);
        if (dist < spheres[k].radius) Push(position, delta, dist, spheres[k].radius, inverseRotation);
    }
}

}  // namespace

bool BulgePositionsPlain(const D3DXVECTOR3* base, D3DXVECTOR3* work, DWORD count, const D3DXMATRIX& world,
                         const D3DXMATRIX& rotation) {
    std::copy(base, base + count, work);
    bool any = false;
    D3DXMATRIX inverseRotation;
    bool haveInverse = false;
    for (int i = 0; i < 4; ++i) {
        const float radius = g_player.bulgeRadius[i];
        if (!(radius > 1.0f)) continue;
        any = true;
        const D3DXVECTOR3& centre = g_player.bulgeCenter[i];
        for (DWORD v = 0; v < count; ++v) {
            D3DXVECTOR3 p;
            D3DXVec3TransformCoord(&p, &work[v], &world);
            D3DXVECTOR3 delta = p - centre;
            float dist = D3DXVec3Length(&delta);
            if (dist < radius) {
                if (!haveInverse) {
                    D3DXMatrixInverse(&inverseRotation, nullptr, &rotation);
                    haveInverse = true;
                }
                Push(work[v], delta, dist, radius, inverseRotation);
            }
        }
    }
    return any;
}

bool BulgePositions(const D3DXVECTOR3* base, D3DXVECTOR3* work, DWORD count, const D3DXMATRIX& world,
                    const D3DXMATRIX& rotation) {
    Sphere spheres[4];
    const int n = ActiveSpheres(spheres);
    if (n == 0) {
        std::copy(base, base + count, work);
        return false;
    }
    D3DXMATRIX inverseRotation;
    D3DXMatrixInverse(&inverseRotation, nullptr, &rotation);
    // Each position meets the spheres in slot order; positions do not affect each other, so taking them
    // one (or four) at a time through all spheres gives what sphere after sphere over all positions gives.
    DWORD v = 0;
#if defined(__SSE2__)
    // The same operations in the same order as D3DXVec3TransformCoord and D3DXVec3Length, four lanes at
    // once: x·_11 + y·_21 + z·_31 + _41 (added left to right), divided by w; the square root of
    // dx² + dy² + dz². No fused multiply-add, so every lane rounds as the plain code does.
    const __m128 m11 = _mm_set1_ps(world._11), m21 = _mm_set1_ps(world._21), m31 = _mm_set1_ps(world._31),
                 m41 = _mm_set1_ps(world._41);
    const __m128 m12 = _mm_set1_ps(world._12), m22 = _mm_set1_ps(world._22), m32 = _mm_set1_ps(world._32),
                 m42 = _mm_set1_ps(world._42);
    const __m128 m13 = _mm_set1_ps(world._13), m23 = _mm_set1_ps(world._23), m33 = _mm_set1_ps(world._33),
                 m43 = _mm_set1_ps(world._43);
    const __m128 m14 = _mm_set1_ps(world._14), m24 = _mm_set1_ps(world._24), m34 = _mm_set1_ps(world._34),
                 m44 = _mm_set1_ps(world._44);
    const D3DXMATRIX& inv = inverseRotation;
    const __m128 i11 = _mm_set1_ps(inv._11), i21 = _mm_set1_ps(inv._21), i31 = _mm_set1_ps(inv._31),
                 i41 = _mm_set1_ps(inv._41);
    const __m128 i12 = _mm_set1_ps(inv._12), i22 = _mm_set1_ps(inv._22), i32 = _mm_set1_ps(inv._32),
                 i42 = _mm_set1_ps(inv._42);
    const __m128 i13 = _mm_set1_ps(inv._13), i23 = _mm_set1_ps(inv._23), i33 = _mm_set1_ps(inv._33),
                 i43 = _mm_set1_ps(inv._43);
    const __m128 i14 = _mm_set1_ps(inv._14), i24 = _mm_set1_ps(inv._24), i34 = _mm_set1_ps(inv._34),
                 i44 = _mm_set1_ps(inv._44);
    const __m128 one = _mm_set1_ps(1.0f);
    __m128 farOut[4];
    for (int k = 0; k < n; ++k) farOut[k] = _mm_set1_ps(spheres[k].radius * spheres[k].radius * 1.001f);
    auto row = [](__m128 x, __m128 y, __m128 z, __m128 a, __m128 b, __m128 c, __m128 d) {
        return _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(x, a), _mm_mul_ps(y, b)), _mm_mul_ps(z, c)), d);
    };
    for (; v + 4 <= count; v += 4) {
        const D3DXVECTOR3* b = base + v;
        alignas(16) float X[4] = {b[0].x, b[1].x, b[2].x, b[3].x};
        alignas(16) float Y[4] = {b[0].y, b[1].y, b[2].y, b[3].y};
        alignas(16) float Z[4] = {b[0].z, b[1].z, b[2].z, b[3].z};
        __m128 x = _mm_load_ps(X), y = _mm_load_ps(Y), z = _mm_load_ps(Z);
        // The world positions are worked out again only after a push has moved one of the four.
        __m128 px = x, py = y, pz = z;
        bool moved = true;
        for (int k = 0; k < n; ++k) {
            if (moved) {
                __m128 w = row(x, y, z, m14, m24, m34, m44);
                px = row(x, y, z, m11, m21, m31, m41);
                py = row(x, y, z, m12, m22, m32, m42);
                pz = row(x, y, z, m13, m23, m33, m43);
                // A division by exactly 1 changes nothing: skipped when all four w are 1, as they are
                // for the game's matrices and finite positions.
                if (_mm_movemask_ps(_mm_cmpeq_ps(w, one)) != 0xF) {
                    px = _mm_div_ps(px, w);
                    py = _mm_div_ps(py, w);
                    pz = _mm_div_ps(pz, w);
                }
                moved = false;
            }
            __m128 dx = _mm_sub_ps(px, _mm_set1_ps(spheres[k].centre.x));
            __m128 dy = _mm_sub_ps(py, _mm_set1_ps(spheres[k].centre.y));
            __m128 dz = _mm_sub_ps(pz, _mm_set1_ps(spheres[k].centre.z));
            __m128 squared = _mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dy, dy)), _mm_mul_ps(dz, dz));
            // Far outside (the squared distance beyond the squared radius with a wide margin) the square
            // root could only confirm it: the usual case, skipped. NaN lanes fail the test and go on.
            if (_mm_movemask_ps(_mm_cmpgt_ps(squared, farOut[k])) == 0xF) continue;
            __m128 dist = _mm_sqrt_ps(squared);
            const __m128 radius = _mm_set1_ps(spheres[k].radius);
            const __m128 inside = _mm_cmplt_ps(dist, radius);
            if (!_mm_movemask_ps(inside)) continue;
            // The push, as Push does it: the direction turned back (a point through the inverse rotation,
            // divided by its w), normalised (zero stays zero), scaled by (radius − dist) / 1.5 and added.
            __m128 iw = row(dx, dy, dz, i14, i24, i34, i44);
            __m128 ux = row(dx, dy, dz, i11, i21, i31, i41), uy = row(dx, dy, dz, i12, i22, i32, i42),
                   uz = row(dx, dy, dz, i13, i23, i33, i43);
            if (_mm_movemask_ps(_mm_cmpeq_ps(iw, one)) != 0xF) {
                ux = _mm_div_ps(ux, iw);
                uy = _mm_div_ps(uy, iw);
                uz = _mm_div_ps(uz, iw);
            }
            __m128 length =
                _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(ux, ux), _mm_mul_ps(uy, uy)), _mm_mul_ps(uz, uz)));
            __m128 nonZero = _mm_cmpneq_ps(length, _mm_setzero_ps());
            ux = _mm_and_ps(nonZero, _mm_div_ps(ux, length));
            uy = _mm_and_ps(nonZero, _mm_div_ps(uy, length));
            uz = _mm_and_ps(nonZero, _mm_div_ps(uz, length));
            __m128 push = _mm_div_ps(_mm_sub_ps(radius, dist), _mm_set1_ps(1.5f));
            moved = true;
            x = _mm_or_ps(_mm_and_ps(inside, _mm_add_ps(x, _mm_mul_ps(ux, push))), _mm_andnot_ps(inside, x));
            y = _mm_or_ps(_mm_and_ps(inside, _mm_add_ps(y, _mm_mul_ps(uy, push))), _mm_andnot_ps(inside, y));
            z = _mm_or_ps(_mm_and_ps(inside, _mm_add_ps(z, _mm_mul_ps(uz, push))), _mm_andnot_ps(inside, z));
        }
        _mm_store_ps(X, x);
        _mm_store_ps(Y, y);
        _mm_store_ps(Z, z);
        for (int lane = 0; lane < 4; ++lane) work[v + lane] = D3DXVECTOR3(X[lane], Y[lane], Z[lane]);
    }
#endif
    for (; v < count; ++v) {
        work[v] = base[v];
        BulgeOne(work[v], spheres, n, world, inverseRotation);
    }
    return true;
}
