// D3DXIntersect on known geometry: nearest hit, both sides, hits from inside, every hit, misses.
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

// The cube from -1 to 1 as twelve outward-facing triangles (positions only).
ID3DXMesh* makeCube() {
    std::vector<float> positions;
    for (int i = 0; i < 8; ++i) {
        positions.push_back(i & 1 ? 1.0f : -1.0f);
        positions.push_back(i & 2 ? 1.0f : -1.0f);
        positions.push_back(i & 4 ? 1.0f : -1.0f);
    }
    std::vector<uint8_t> bytes(positions.size() * 4);
    std::memcpy(bytes.data(), positions.data(), bytes.size());
    const uint32_t quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 4, 6, 2}, {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 6, 7, 3}};
    std::vector<uint32_t> corners;
    for (const auto& q : quads) corners.insert(corners.end(), {q[0], q[1], q[2], q[0], q[2], q[3]});
    ID3DXMesh* mesh = nullptr;
    EXPECT_EQ(
        d3dx::createMesh(g_device, D3DXMESH_MANAGED, D3DFVF_XYZ, bytes, corners, std::vector<DWORD>(12, 0), &mesh),
        D3D_OK);
    return mesh;
}

D3DXVECTOR3 corner(ID3DXMesh* mesh, DWORD face, int k) {
    void* v = nullptr;
    void* i = nullptr;
    mesh->LockVertexBuffer(0, &v);
    mesh->LockIndexBuffer(0, &i);
    uint16_t index = static_cast<uint16_t*>(i)[3 * face + k];
    D3DXVECTOR3 p(static_cast<float*>(v) + 3 * index);
    mesh->UnlockIndexBuffer();
    mesh->UnlockVertexBuffer();
    return p;
}

class Intersect : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        cube = makeCube();
    }
    void TearDown() override {
        if (cube) cube->Release();
        DeviceTest::TearDown();
    }
    ID3DXMesh* cube = nullptr;
};

TEST_F(Intersect, NearestHitWithFaceBarycentricsAndRayParameter) {
    D3DXVECTOR3 origin(0.5f, -0.25f, -5.0f), direction(0, 0, 2);  // not unit length
    BOOL hit = FALSE;
    DWORD face = 99, count = 0;
    float u = -1, v = -1, dist = -1;
    ID3DXBuffer* all = nullptr;
    ASSERT_EQ(D3DXIntersect(cube, &origin, &direction, &hit, &face, &u, &v, &dist, &all, &count), D3D_OK);
    EXPECT_TRUE(hit);
    EXPECT_FLOAT_EQ(dist, 2.0f);  // 4 units away along a direction of length 2
    EXPECT_LT(face, 2u);          // the z = -1 side
    D3DXVECTOR3 a = corner(cube, face, 0), b = corner(cube, face, 1), c = corner(cube, face, 2);
    D3DXVECTOR3 onTriangle = a + (b - a) * u + (c - a) * v, along = origin + direction * dist;
    EXPECT_NEAR(onTriangle.x, along.x, 1e-6f);
    EXPECT_NEAR(onTriangle.y, along.y, 1e-6f);
    EXPECT_NEAR(onTriangle.z, -1.0f, 1e-6f);
    // It leaves through the far side too: both hits are listed in face order.
    ASSERT_EQ(count, 2u);
    ASSERT_NE(all, nullptr);
    ASSERT_EQ(all->GetBufferSize(), 2 * sizeof(D3DXINTERSECTINFO));
    auto* info = static_cast<D3DXINTERSECTINFO*>(all->GetBufferPointer());
    EXPECT_EQ(info[0].FaceIndex, face);
    EXPECT_FLOAT_EQ(info[0].Dist, 2.0f);
    EXPECT_GE(info[1].FaceIndex, 2u);
    EXPECT_LT(info[1].FaceIndex, 4u);
    EXPECT_FLOAT_EQ(info[1].Dist, 3.0f);
    all->Release();
}

TEST_F(Intersect, FromInsideTheBackOfTheWallCounts) {
    D3DXVECTOR3 origin(0.1f, 0.2f, 0.3f), direction(1, 0, 0);
    BOOL hit = FALSE;
    DWORD face = 99, count = 0;
    float dist = -1;
    ASSERT_EQ(D3DXIntersect(cube, &origin, &direction, &hit, &face, nullptr, nullptr, &dist, nullptr, &count), D3D_OK);
    EXPECT_TRUE(hit);
    EXPECT_EQ(count, 1u);
    EXPECT_TRUE(face == 6 || face == 7);  // the x = +1 side
    EXPECT_NEAR(dist, 0.9f, 1e-6f);
}

TEST_F(Intersect, MissesLeaveTheOutputsAlone) {
    BOOL hit = TRUE;
    DWORD face = 99, count = 7;
    float dist = -1;
    ID3DXBuffer* all = reinterpret_cast<ID3DXBuffer*>(1);
    const D3DXVECTOR3 rays[][2] = {
        {{0, 0, -5}, {0, 0, -1}},  // pointing away
        {{0, 5, -5}, {0, 0, 1}},   // passing above
        {{0, 0, -5}, {0, 0, 0}},   // no direction at all
        {{3, 0, 0}, {0, 1, 0}},    // parallel to the x = +1 side, outside it
    };
    for (const auto& ray : rays) {
        ASSERT_EQ(D3DXIntersect(cube, &ray[0], &ray[1], &hit, &face, nullptr, nullptr, &dist, &all, &count), D3D_OK);
        EXPECT_FALSE(hit);
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(all, nullptr);
        EXPECT_EQ(face, 99u);
        EXPECT_EQ(dist, -1.0f);
    }
}

TEST_F(Intersect, FollowsVerticesRewrittenInPlace) {
    // Push the z = -1 side out to z = -3, as the bulge does with a stage mesh.
    void* data = nullptr;
    cube->LockVertexBuffer(0, &data);
    auto* p = static_cast<float*>(data);
    for (int i = 0; i < 8; ++i)
        if (!(i & 4)) p[3 * i + 2] = -3.0f;
    cube->UnlockVertexBuffer();
    D3DXVECTOR3 origin(0.5f, -0.25f, -5.0f), direction(0, 0, 1);
    BOOL hit = FALSE;
    float dist = 0;
    D3DXIntersect(cube, &origin, &direction, &hit, nullptr, nullptr, nullptr, &dist, nullptr, nullptr);
    EXPECT_TRUE(hit);
    EXPECT_FLOAT_EQ(dist, 2.0f);
}

TEST_F(Intersect, AgreesWithTheSingleTriangleTestOnEveryFaceOfARandomMesh) {
    // Random triangles and rays: the four-at-a-time path must find exactly the faces the one-by-one test finds.
    uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f * 20.0f - 10.0f;
    };
    std::vector<float> positions;
    for (int i = 0; i < 3 * 301; ++i) positions.push_back(next());
    std::vector<uint8_t> bytes(positions.size() * 4);
    std::memcpy(bytes.data(), positions.data(), bytes.size());
    std::vector<uint32_t> corners;
    for (uint32_t i = 0; i < 3 * 301; ++i) corners.push_back((i * 7) % 301);
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(
        d3dx::createMesh(g_device, D3DXMESH_MANAGED, D3DFVF_XYZ, bytes, corners, std::vector<DWORD>(301, 0), &mesh),
        D3D_OK);
    int rays = 0, hitRays = 0;
    for (; rays < 500; ++rays) {
        D3DXVECTOR3 origin(next(), next(), next()), direction(next(), next(), next());
        BOOL hit = FALSE;
        DWORD face = 0, count = 0;
        float dist = 0;
        ID3DXBuffer* all = nullptr;
        D3DXIntersect(mesh, &origin, &direction, &hit, &face, nullptr, nullptr, &dist, &all, &count);
        std::vector<DWORD> expected;
        float nearest = 0;
        DWORD nearestFace = 0;
        for (DWORD f = 0; f < 301; ++f) {
            D3DXVECTOR3 a = corner(mesh, f, 0), b = corner(mesh, f, 1), c = corner(mesh, f, 2);
            float t = 0;
            if (!D3DXIntersectTri(&a, &b, &c, &origin, &direction, nullptr, nullptr, &t)) continue;
            if (expected.empty() || t < nearest) {
                nearest = t;
                nearestFace = f;
            }
            expected.push_back(f);
        }
        ASSERT_EQ(count, expected.size());
        ASSERT_EQ(hit, !expected.empty());
        if (!hit) continue;
        ++hitRays;
        EXPECT_EQ(face, nearestFace);
        EXPECT_EQ(dist, nearest);
        auto* info = static_cast<D3DXINTERSECTINFO*>(all->GetBufferPointer());
        for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(info[i].FaceIndex, expected[i]);
        all->Release();
    }
    EXPECT_GT(hitRays, 50);  // the sample really exercises hits
    mesh->Release();
}

TEST(IntersectTri, SingleTriangleFromBothSides) {
    D3DXVECTOR3 a(0, 0, 0), b(2, 0, 0), c(0, 2, 0), origin(0.5f, 0.5f, 4), down(0, 0, -1), up(0, 0, 1);
    float u = 0, v = 0, dist = 0;
    EXPECT_TRUE(D3DXIntersectTri(&a, &b, &c, &origin, &down, &u, &v, &dist));
    EXPECT_FLOAT_EQ(u, 0.25f);
    EXPECT_FLOAT_EQ(v, 0.25f);
    EXPECT_FLOAT_EQ(dist, 4.0f);
    D3DXVECTOR3 below(0.5f, 0.5f, -1);
    EXPECT_TRUE(D3DXIntersectTri(&a, &b, &c, &below, &up, &u, &v, &dist));
    EXPECT_FLOAT_EQ(dist, 1.0f);
    D3DXVECTOR3 outside(1.5f, 1.5f, 4);
    EXPECT_FALSE(D3DXIntersectTri(&a, &b, &c, &outside, &down, &u, &v, &dist));
}

}  // namespace

namespace {

// A rolling grid of 60 × 60 quads (7,200 faces), as stage surfaces are built: consecutive faces close
// together, so the ray test leaves out most runs of faces by their bounds.
ID3DXMesh* makeHills(std::vector<float>& positions) {
    const int n = 60;
    positions.clear();
    for (int r = 0; r <= n; ++r)
        for (int c = 0; c <= n; ++c)
            positions.insert(positions.end(),
                             {c * 2.0f - 60.0f, 3.0f * std::sin(c * 0.3f) * std::cos(r * 0.2f), r * 2.0f - 60.0f});
    std::vector<uint8_t> bytes(positions.size() * 4);
    std::memcpy(bytes.data(), positions.data(), bytes.size());
    std::vector<uint32_t> corners;
    for (uint32_t r = 0; r < n; ++r)
        for (uint32_t c = 0; c < n; ++c) {
            uint32_t a = r * (n + 1) + c, b = a + 1, d = a + n + 1, e = d + 1;
            corners.insert(corners.end(), {a, d, e, a, e, b});
        }
    ID3DXMesh* mesh = nullptr;
    EXPECT_EQ(d3dx::createMesh(g_device, D3DXMESH_MANAGED, D3DFVF_XYZ, bytes, corners,
                               std::vector<DWORD>(corners.size() / 3, 0), &mesh),
              D3D_OK);
    return mesh;
}

// Every face tested one by one: the nearest (the first of equals) and how many.
bool BruteForce(ID3DXMesh* mesh, const D3DXVECTOR3& o, const D3DXVECTOR3& d, DWORD& face, float& dist, DWORD& count) {
    void* v = nullptr;
    void* i = nullptr;
    mesh->LockVertexBuffer(D3DLOCK_READONLY, &v);
    mesh->LockIndexBuffer(D3DLOCK_READONLY, &i);
    const auto* p = static_cast<const float*>(v);
    const auto* idx = static_cast<const uint16_t*>(i);
    bool found = false;
    count = 0;
    for (DWORD f = 0; f < mesh->GetNumFaces(); ++f) {
        D3DXVECTOR3 a(&p[3 * idx[3 * f]]), b(&p[3 * idx[3 * f + 1]]), c(&p[3 * idx[3 * f + 2]]);
        float t = 0;
        if (!D3DXIntersectTri(&a, &b, &c, &o, &d, nullptr, nullptr, &t)) continue;
        ++count;
        if (!found || t < dist) {
            found = true;
            dist = t;
            face = f;
        }
    }
    mesh->UnlockIndexBuffer();
    mesh->UnlockVertexBuffer();
    return found;
}

}  // namespace

TEST_F(Intersect, LeavingOutFarRunsOfFacesFindsExactlyWhatEveryFaceWouldGive) {
    std::vector<float> positions;
    ID3DXMesh* mesh = makeHills(positions);
    ASSERT_NE(mesh, nullptr);
    uint32_t seed = 777;
    auto next = [&](float range) {
        seed = seed * 1664525u + 1013904223u;
        return (static_cast<float>(seed >> 8) / 16777216.0f * 2.0f - 1.0f) * range;
    };
    int hits = 0;
    for (int k = 0; k < 600; ++k) {
        D3DXVECTOR3 o(next(70), next(20), next(70)), d;
        switch (k % 4) {
            case 0: d = D3DXVECTOR3(0, -1, 0); break;                   // the floor rays
            case 1: d = D3DXVECTOR3(next(1), 0, next(1)); break;        // the side rays: level
            case 2: d = D3DXVECTOR3(next(1), next(1), next(1)); break;  // anything
            default: d = D3DXVECTOR3(0, 0, k % 8 == 3 ? 1.0f : -1.0f);  // along an axis, two zero parts
        }
        if (k % 50 == 7) o = D3DXVECTOR3(&positions[3 * (k * 13 % 3721)]);  // from a vertex itself
        BOOL hit = FALSE;
        DWORD face = 0, count = 0, wantFace = 0, wantCount = 0;
        float dist = 0, wantDist = 0;
        D3DXIntersect(mesh, &o, &d, &hit, &face, nullptr, nullptr, &dist, nullptr, &count);
        const bool want = BruteForce(mesh, o, d, wantFace, wantDist, wantCount);
        ASSERT_EQ(hit != FALSE, want) << k;
        ASSERT_EQ(count, wantCount) << k;
        if (!want) continue;
        ++hits;
        ASSERT_EQ(face, wantFace) << k;
        ASSERT_EQ(dist, wantDist) << k;
    }
    EXPECT_GT(hits, 100);  // the sample really exercises hits
    mesh->Release();
}

TEST_F(Intersect, RunsOfFacesAreBoundedAnewAfterEveryWrite) {
    std::vector<float> positions;
    ID3DXMesh* mesh = makeHills(positions);
    const D3DXVECTOR3 o(1.0f, 50.0f, 1.0f), down(0, -1, 0);
    BOOL hit = FALSE;
    float before = 0, after = 0;
    D3DXIntersect(mesh, &o, &down, &hit, nullptr, nullptr, nullptr, &before, nullptr, nullptr);
    ASSERT_TRUE(hit);
    // Lift every vertex by 30 in place, as the bulge rewrites a stage mesh, and ask again.
    void* v = nullptr;
    mesh->LockVertexBuffer(0, &v);
    for (size_t i = 1; i < positions.size(); i += 3) static_cast<float*>(v)[i] += 30.0f;
    mesh->UnlockVertexBuffer();
    D3DXIntersect(mesh, &o, &down, &hit, nullptr, nullptr, nullptr, &after, nullptr, nullptr);
    ASSERT_TRUE(hit);
    EXPECT_NEAR(after, before - 30.0f, 1e-4f);
    // Pushed out sideways beyond the old bounds: still found.
    mesh->LockVertexBuffer(0, &v);
    for (size_t i = 0; i < positions.size(); i += 3) static_cast<float*>(v)[i] += 500.0f;
    mesh->UnlockVertexBuffer();
    const D3DXVECTOR3 far(501.0f, 80.0f, 1.0f);
    D3DXIntersect(mesh, &far, &down, &hit, nullptr, nullptr, nullptr, &after, nullptr, nullptr);
    EXPECT_TRUE(hit);
    D3DXIntersect(mesh, &o, &down, &hit, nullptr, nullptr, nullptr, &after, nullptr, nullptr);
    EXPECT_FALSE(hit);
    mesh->Release();
}
