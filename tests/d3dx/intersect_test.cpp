// D3DXIntersect: misses, random rays measured by the one-by-one triangle test (nearest hit, barycentrics,
// every hit), and the runs of faces bounded anew after a write.
#include <d3dx9.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "app/globals.h"
#include "d3dx/mesh.h"
#include "support/device.h"

using namespace testing_support;

namespace {

// A positions-only mesh of the given triangles, all of attribute 0.
ID3DXMesh* makeMesh(const std::vector<float>& positions, const std::vector<uint32_t>& corners) {
    std::vector<uint8_t> bytes(positions.size() * 4);
    std::memcpy(bytes.data(), positions.data(), bytes.size());
    ID3DXMesh* mesh = nullptr;
    EXPECT_EQ(d3dx::createMesh(g_device, D3DXMESH_MANAGED, D3DFVF_XYZ, bytes, corners,
                               std::vector<DWORD>(corners.size() / 3, 0), &mesh),
              D3D_OK);
    return mesh;
}

// A rolling grid of 60 × 60 quads (7,200 faces), as stage surfaces are built: consecutive faces close
// together, so the ray test leaves out most runs of faces by their bounds.
ID3DXMesh* makeHills(std::vector<float>& positions) {
    const int n = 60;
    for (int r = 0; r <= n; ++r)
        for (int c = 0; c <= n; ++c)
            positions.insert(positions.end(),
                             {c * 2.0f - 60.0f, 3.0f * std::sin(c * 0.3f) * std::cos(r * 0.2f), r * 2.0f - 60.0f});
    std::vector<uint32_t> corners;
    for (uint32_t r = 0; r < n; ++r)
        for (uint32_t c = 0; c < n; ++c) {
            uint32_t a = r * (n + 1) + c, b = a + 1, d = a + n + 1, e = d + 1;
            corners.insert(corners.end(), {a, d, e, a, e, b});
        }
    return makeMesh(positions, corners);
}

// The three corners of every face, read back from the mesh.
std::vector<D3DXVECTOR3> faceCorners(ID3DXMesh* mesh) {
    void* v = nullptr;
    void* i = nullptr;
    mesh->LockVertexBuffer(D3DLOCK_READONLY, &v);
    mesh->LockIndexBuffer(D3DLOCK_READONLY, &i);
    std::vector<D3DXVECTOR3> out;
    for (DWORD k = 0; k < 3 * mesh->GetNumFaces(); ++k)
        out.emplace_back(static_cast<const float*>(v) + 3 * static_cast<const uint16_t*>(i)[k]);
    mesh->UnlockIndexBuffer();
    mesh->UnlockVertexBuffer();
    return out;
}

class Intersect : public DeviceTest {};

TEST_F(Intersect, MissesLeaveTheOutputsAlone) {
    ID3DXMesh* triangle = makeMesh({0, 0, 0, 2, 0, 0, 0, 2, 0}, {0, 1, 2});  // in the z = 0 plane
    BOOL hit = TRUE;
    DWORD face = 99, count = 7;
    float dist = -1;
    ID3DXBuffer* all = reinterpret_cast<ID3DXBuffer*>(1);
    const D3DXVECTOR3 rays[][2] = {
        {{0.5f, 0.5f, -5}, {0, 0, -1}},  // pointing away
        {{5, 5, -5}, {0, 0, 1}},         // passing beside
        {{0.5f, 0.5f, -5}, {0, 0, 0}},   // no direction at all
        {{-1, 0.5f, 1}, {1, 0, 0}},      // parallel to its plane, off it
    };
    for (const auto& ray : rays) {
        ASSERT_EQ(D3DXIntersect(triangle, &ray[0], &ray[1], &hit, &face, nullptr, nullptr, &dist, &all, &count),
                  D3D_OK);
        // No hit, no hits listed, no list; the face and distance as they were.
        EXPECT_EQ(std::tuple(hit, count, all, face, dist), std::tuple(FALSE, 0u, nullptr, 99u, -1.0f));
    }
    triangle->Release();
}

// Random rays against a mesh: the four-at-a-time path and the runs of faces left out by their bounds
// must find exactly the faces, distances and barycentrics that the one-by-one triangle test finds, the
// nearest being the first of equals.
void expectEveryFaceAgrees(ID3DXMesh* mesh, const std::vector<float>& positions, float range, int minHits) {
    const std::vector<D3DXVECTOR3> p = faceCorners(mesh);
    uint32_t seed = 777;
    auto next = [&](float r) {
        seed = seed * 1664525u + 1013904223u;
        return (static_cast<float>(seed >> 8) / 16777216.0f * 2.0f - 1.0f) * r;
    };
    int hits = 0;
    for (int k = 0; k < 600; ++k) {
        D3DXVECTOR3 o(next(range), next(range / 3), next(range)), d;
        switch (k % 4) {
            case 0: d = D3DXVECTOR3(0, -1, 0); break;                   // the floor rays
            case 1: d = D3DXVECTOR3(next(1), 0, next(1)); break;        // the side rays: level
            case 2: d = D3DXVECTOR3(next(1), next(1), next(1)); break;  // anything
            default: d = D3DXVECTOR3(0, 0, k % 8 == 3 ? 1.0f : -1.0f);  // along an axis, two zero parts
        }
        if (k % 50 == 7) o = D3DXVECTOR3(&positions[3 * (k * 13 % (positions.size() / 3))]);  // from a vertex
        std::vector<D3DXINTERSECTINFO> want;
        D3DXINTERSECTINFO nearest{};
        for (DWORD f = 0; f < mesh->GetNumFaces(); ++f) {
            D3DXINTERSECTINFO h{f, 0, 0, 0};
            if (!D3DXIntersectTri(&p[3 * f], &p[3 * f + 1], &p[3 * f + 2], &o, &d, &h.U, &h.V, &h.Dist)) continue;
            if (want.empty() || h.Dist < nearest.Dist) nearest = h;
            want.push_back(h);
        }
        BOOL hit = FALSE;
        DWORD face = 0, count = 0;
        float u = 0, v = 0, dist = 0;
        ID3DXBuffer* all = nullptr;
        D3DXIntersect(mesh, &o, &d, &hit, &face, &u, &v, &dist, &all, &count);
        ASSERT_EQ(hit != FALSE, !want.empty()) << k;
        ASSERT_EQ(count, want.size()) << k;
        if (!hit) continue;
        ++hits;
        ASSERT_EQ(std::tuple(face, dist, u, v), std::tuple(nearest.FaceIndex, nearest.Dist, nearest.U, nearest.V)) << k;
        ASSERT_EQ(all->GetBufferSize(), want.size() * sizeof(D3DXINTERSECTINFO)) << k;
        auto* info = static_cast<D3DXINTERSECTINFO*>(all->GetBufferPointer());
        for (size_t i = 0; i < want.size(); ++i)
            ASSERT_EQ(std::memcmp(&info[i], &want[i], sizeof want[i]), 0) << k << " hit " << i;
        all->Release();
    }
    EXPECT_GT(hits, minHits);  // the sample really exercises hits
}

TEST_F(Intersect, RandomTrianglesAndHillsFindExactlyWhatEveryFaceWouldGive) {
    // 301 random faces: nine runs of 32 and a short one, and a last group of one past the four-at-a-time
    // loop; then the hills, where far runs of faces are left out.
    uint32_t seed = 12345;
    std::vector<float> positions;
    std::vector<uint32_t> corners;
    for (uint32_t i = 0; i < 3 * 301; ++i) {
        seed = seed * 1664525u + 1013904223u;
        positions.push_back(static_cast<float>(seed >> 8) / 16777216.0f * 20.0f - 10.0f);
        corners.push_back((i * 7) % 301);
    }
    ID3DXMesh* mesh = makeMesh(positions, corners);
    expectEveryFaceAgrees(mesh, positions, 12, 50);
    mesh->Release();
    positions.clear();
    mesh = makeHills(positions);
    expectEveryFaceAgrees(mesh, positions, 70, 100);
    mesh->Release();
}

TEST_F(Intersect, RunsOfFacesAreBoundedAnewAfterEveryWrite) {
    std::vector<float> positions;
    ID3DXMesh* mesh = makeHills(positions);
    const D3DXVECTOR3 o(1.0f, 50.0f, 1.0f), down(0, -1, 0);
    BOOL hit = FALSE;
    D3DXIntersect(mesh, &o, &down, &hit, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(hit);  // the runs are bounded here
    // Push every vertex out sideways by 500 in place, as the bulge rewrites a stage mesh: found only there.
    void* v = nullptr;
    mesh->LockVertexBuffer(0, &v);
    for (size_t i = 0; i < positions.size(); i += 3) static_cast<float*>(v)[i] += 500.0f;
    // Vertex (row 0, column 16) raised 50: of the first run of 32 faces only its last, 31, has that corner,
    // and the run's box must still hold it. A level ray at height 25 and z -59.5 meets face 31 first.
    static_cast<float*>(v)[3 * 16 + 1] = 50.0f;
    mesh->UnlockVertexBuffer();
    const D3DXVECTOR3 far(501.0f, 50.0f, 1.0f), side(460.0f, 25.0f, -59.5f), along(1, 0, 0);
    D3DXIntersect(mesh, &far, &down, &hit, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(hit);
    DWORD face = 0;
    D3DXIntersect(mesh, &side, &along, &hit, &face, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(std::pair(hit, face), std::pair(TRUE, DWORD(31)));
    D3DXIntersect(mesh, &o, &down, &hit, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(hit);
    mesh->Release();
}

// The triangle test the random rays take as their measure.
TEST(IntersectTri, SingleTriangleFromBothSides) {
    D3DXVECTOR3 a(0, 0, 0), b(2, 0, 0), c(0, 2, 0), origin(0.5f, 0.25f, 4), down(0, 0, -1), up(0, 0, 1);
    float u = 0, v = 0, dist = 0;
    EXPECT_TRUE(D3DXIntersectTri(&a, &b, &c, &origin, &down, &u, &v, &dist));
    EXPECT_EQ(std::tuple(u, v, dist), std::tuple(0.25f, 0.125f, 4.0f));  // x = 2u, y = 2v: exact in binary
    D3DXVECTOR3 below(0.5f, 0.25f, -1);
    EXPECT_TRUE(D3DXIntersectTri(&a, &b, &c, &below, &up, &u, &v, &dist));
    EXPECT_FLOAT_EQ(dist, 1.0f);
    D3DXVECTOR3 outside(1.5f, 1.5f, 4);
    EXPECT_FALSE(D3DXIntersectTri(&a, &b, &c, &outside, &down, &u, &v, &dist));
}

}  // namespace
