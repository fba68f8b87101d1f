// The bulge on a turned object far from the origin, with spheres centred on vertices and one passing
// exactly through a vertex: every vertex moves exactly as the rule, measured in the world, moves it.
#include <gtest/gtest.h>

#include <cmath>

#include "player/player_world.h"

using namespace testing_support;

namespace {

// The rule itself: world position, distance to the centre, a push of (r - d) / 1.5 away from it.
void Reference(const Obj& obj, std::vector<D3DXVECTOR3>& work) {
    work = obj.baseVertices;
    const D3DXMATRIX world = obj.DrawMatrix();
    D3DXMATRIX ry, rx, rotation, inverse;
    D3DXMatrixRotationY(&ry, obj.yaw * kDegToRad);
    D3DXMatrixRotationX(&rx, obj.pitch * kDegToRad);
    rotation = ry * rx;
    D3DXMatrixInverse(&inverse, nullptr, &rotation);
    for (int i = 0; i < 4; ++i) {
        const float r = g_player.bulgeRadius[i];
        if (!(r > 1.0f)) continue;
        for (D3DXVECTOR3& v : work) {
            D3DXVECTOR3 p, u;
            D3DXVec3TransformCoord(&p, &v, &world);
            D3DXVECTOR3 delta = p - g_player.bulgeCenter[i];
            const float d = D3DXVec3Length(&delta);
            if (!(d < r)) continue;
            D3DXVec3TransformCoord(&u, &delta, &inverse);
            D3DXVec3Normalize(&u, &u);
            v += (r - d) / 1.5f * u;
        }
    }
}

class BulgeMargin : public PlayerWorld {};

TEST_F(BulgeMargin, EveryVertexMovesAsTheRuleSaysOnATurnedObjectFarFromTheOrigin) {
    std::vector<Box> boxes;
    for (int x = 0; x < 12; ++x)
        for (int z = 0; z < 12; ++z)
            boxes.push_back({{x * 3.0f, 0, z * 3.0f}, {x * 3.0f + 1.7f, 1.3f + x * 0.1f, z * 3.0f + 2.1f}});
    Obj* obj = AddBoxes("blocks.x", boxes, TYPE_STAGE, {1234.5f, -20.25f, -987.0f}, 33.0f, 21.0f);
    ASSERT_NE(obj, nullptr);
    const D3DXMATRIX world = obj->DrawMatrix();
    // Centres on a vertex, between vertices, and with a radius that puts vertices right on its edge.
    D3DXVECTOR3 corner;
    D3DXVec3TransformCoord(&corner, &obj->baseVertices[40], &world);
    D3DXVECTOR3 other;
    D3DXVec3TransformCoord(&other, &obj->baseVertices[700], &world);
    D3DXVECTOR3 apart = other - corner;
    g_player.bulgeCenter[0] = corner;
    g_player.bulgeRadius[0] = D3DXVec3Length(&apart);  // vertex 700 lies on the edge
    g_player.bulgeCenter[1] = corner + D3DXVECTOR3(0.37f, 0.5f, -0.21f);
    g_player.bulgeRadius[1] = 9.5f;
    g_player.bulgeCenter[2] = other;
    g_player.bulgeRadius[2] = 45.0f;
    g_player.bulgeRadius[3] = 1.0f;
    std::vector<D3DXVECTOR3> expected;
    Reference(*obj, expected);
    ApplyBulge(obj);
    ASSERT_EQ(obj->workVertices.size(), expected.size());
    int moved = 0;
    for (size_t v = 0; v < expected.size(); ++v) {
        ASSERT_EQ(obj->workVertices[v], expected[v]) << v;
        if (!(expected[v] == obj->baseVertices[v])) ++moved;
    }
    EXPECT_GT(moved, 100);
    EXPECT_LT(moved, static_cast<int>(expected.size()));
}

}  // namespace
