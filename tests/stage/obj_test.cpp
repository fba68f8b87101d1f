// The object list, the two matrices, the ray test and the bulge, with pushed positions worked out by
// hand from the rule: a vertex inside a sphere moves (radius − distance) / 1.5 away from its centre.
#include "stage/obj.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "app/globals.h"
#include "player/player_state.h"
#include "resource/resource_cache.h"
#include "stage/bulge.h"
#include "stage/factory.h"
#include "stage/oplycol.h"
#include "stage/ostage.h"
#include "support/world.h"

using namespace testing_support;

namespace {

// Vertex i of the mesh's buffer, first set to `set` if given.
D3DXVECTOR3 BufferVertex(ID3DXMesh* mesh, DWORD i, const D3DXVECTOR3* set = nullptr) {
    BYTE* v = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v));
    if (set) std::memcpy(v + 32 * i, set, sizeof *set);
    D3DXVECTOR3 p;
    std::memcpy(&p, v + 32 * i, sizeof p);
    mesh->UnlockVertexBuffer();
    return p;
}

class Objects : public World {
protected:
    void SetUp() override {
        World::SetUp();
        // Vertex 0 at the origin, the others far from every sphere used below.
        points = Mesh("points.x", StageMeshX({{0, 0, 0}, {1, 0, 0}, {100, 0, 0}, {0, 100, 0}}));
        floor = Mesh("grid.x", FloorMeshX(40.0f, 4));
    }
    void Sphere(int slot, D3DXVECTOR3 centre, float radius) {
        g_player.bulgeCenter[slot] = centre;
        g_player.bulgeRadius[slot] = radius;
    }
    ID3DXMesh* points = nullptr;
    ID3DXMesh* floor = nullptr;
};

}  // namespace

TEST_F(Objects, TheListKeepsCreationOrderAndClearsWhole) {
    ClearObjects();  // on an empty list: nothing happens
    Obj* a = Make(TYPE_STAGE, "grid.x");
    Obj* b = Make(TYPE_PLAYER_BODY, "points.x");
    Obj* c = Make(TYPE_STAGE, "grid.x", {0, 5, 0});
    ASSERT_TRUE(a && b && c);
    const Obj* order[] = {&g_objRoot, a, b, c, nullptr};
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(order[i - 1]->next, order[i]) << i;
        EXPECT_EQ(order[i]->prev, order[i - 1]) << i;
    }
    EXPECT_EQ(c->next, nullptr);
    EXPECT_EQ(dynamic_cast<OStage*>(a)->meshName, "grid.x");
    EXPECT_NE(dynamic_cast<OPlyCol*>(b), nullptr);
    EXPECT_EQ(a->baseVertices.size(), 25u);  // copied once from the mesh
    EXPECT_EQ(a->workVertices.size(), 25u);
    EXPECT_EQ(a->baseVertices[6], D3DXVECTOR3(-10, 0, -10));

    ClearObjects();
    EXPECT_EQ(g_objRoot.next, nullptr);
    EXPECT_EQ(g_objRoot.prev, nullptr);
    Obj* again = Make(TYPE_STAGE, "grid.x");
    EXPECT_EQ(again->prev, &g_objRoot);
}

TEST(Factory, ParametersTakenAsIntegersTruncateTowardZeroAndNeverOverflow) {
    EXPECT_EQ(ParamAsInt(2.9f), 2);
    EXPECT_EQ(ParamAsInt(-2.9f), -2);
    EXPECT_EQ(ParamAsInt(1e30f), INT_MAX);
    EXPECT_EQ(ParamAsInt(-1e30f), INT_MIN);
    EXPECT_EQ(ParamAsInt(std::nanf("")), 0);
}

TEST_F(Objects, DrawMatrixTurnsYawFirstHitMatrixPitchFirst) {
    Obj* o = Make(TYPE_STAGE, "points.x", {10, 20, 30}, {}, 90.0f, 30.0f);
    D3DXMATRIX draw = o->DrawMatrix(), hit = o->HitMatrix();
    D3DXVECTOR3 forward(0, 0, 1), p;
    // Yaw first: +z turns to +x, which the pitch about x leaves alone.
    D3DXVec3TransformCoord(&p, &forward, &draw);
    ExpectNear(p, D3DXVECTOR3(11, 20, 30));
    // Pitch first: +z tips down to (0, −sin 30°, cos 30°), then the yaw turns it toward +x.
    D3DXVec3TransformCoord(&p, &forward, &hit);
    ExpectNear(p, D3DXVECTOR3(10 + 0.8660254f, 19.5f, 30));

    // With either angle zero the two agree.
    for (auto [yaw, pitch] : {std::pair{90.0f, 0.0f}, std::pair{0.0f, 30.0f}}) {
        o->yaw = yaw;
        o->pitch = pitch;
        D3DXMATRIX a = o->DrawMatrix(), b = o->HitMatrix();
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(a.m[i / 4][i % 4], b.m[i / 4][i % 4], 1e-6f) << yaw << " " << pitch;
    }
}

TEST_F(Objects, IntersectGivesWorldDistanceWhateverTheDirectionsLength) {
    Obj* o = Make(TYPE_STAGE, "grid.x", {0, -2, 0}, {}, 30.0f, 0.0f);
    float unit = 0, five = 0;
    DWORD face = 99;
    ASSERT_TRUE(o->Intersect({3, 10, 4}, {0, -1, 0}, &unit, &face));
    EXPECT_FLOAT_EQ(unit, 12.0f);
    EXPECT_LT(face, 32u);
    ASSERT_TRUE(o->Intersect({3, 10, 4}, {0, -5, 0}, &five, nullptr));
    EXPECT_FLOAT_EQ(five, unit);
    // Pitched 90 degrees the floor stands up as a wall across the z axis at z = 0.
    o->yaw = 0.0f;
    o->pitch = 90.0f;
    o->position = D3DXVECTOR3(0, 0, 0);
    ASSERT_TRUE(o->Intersect({1, 1, -7}, {0, 0, 2}, &five, nullptr));
    EXPECT_NEAR(five, 7.0f, 1e-4f);
    EXPECT_FALSE(o->Intersect({1, 1, -7}, {0, 0, -2}, &five, nullptr));
}

// The object's yaw, the spheres in slots 0 to 3 (radius 1 or less: idle), and where vertex 0 (at the
// origin) and vertex 1 (at (1, 0, 0)) end in object space.
struct Push {
    const char* name;
    float yaw;
    std::array<std::pair<D3DXVECTOR3, float>, 4> spheres;
    D3DXVECTOR3 v0, v1;
};
class Bulged : public Objects, public testing::WithParamInterface<Push> {};
TEST_P(Bulged, MovesVerticesInsideAwayFromTheCentre) {
    const Push& c = GetParam();
    Obj* o = Make(TYPE_STAGE, "points.x", {0, 0, 0}, {}, c.yaw, 0.0f);
    const D3DXVECTOR3 other(7, 7, 7);  // what another object wrote last
    BufferVertex(points, 0, &other);
    for (int i = 0; i < 4; ++i) Sphere(i, c.spheres[i].first, c.spheres[i].second);
    ApplyBulge(o);
    ExpectNear(o->workVertices[0], c.v0, 1e-6f);
    ExpectNear(o->workVertices[1], c.v1, 1e-6f);
    EXPECT_EQ(o->workVertices[2], D3DXVECTOR3(100, 0, 0));  // far from every sphere
    EXPECT_EQ(o->baseVertices[0], D3DXVECTOR3(0, 0, 0));    // never changed
    // The buffer gets the bent positions; with every sphere idle it is left as it was.
    ExpectNear(BufferVertex(points, 0), c.name == std::string("Idle") ? D3DXVECTOR3(7, 7, 7) : o->workVertices[0], 0.0f);
}
const std::pair<D3DXVECTOR3, float> kIdle = {{0, 0, 0}, 1.0f};
const Push kPushes[] = {
    // Vertex 0 is 3 inside: pushed (5 − 3) / 1.5 along −x; vertex 1 is 2 from the centre: (5 − 2) / 1.5.
    {"OneSphere", 0, {{{{3, 0, 0}, 5.0f}, kIdle, kIdle, kIdle}}, {-4.0f / 3.0f, 0, 0}, {-1, 0, 0}},
    // Yawed 90 degrees, object-space (1, 0, 0) stands at world (0, 0, −1): 2 from a centre at (0, 0, −3),
    // pushed (4 − 2) / 1.5 along the world's +z, which is −x in object space; the origin, 3 from it, 2/3.
    {"InWorldSpace", 90, {{{{0, 0, -3}, 4.0f}, kIdle, kIdle, kIdle}}, {-2.0f / 3.0f, 0, 0}, {1 - 4.0f / 3.0f, 0, 0}},
    // Sphere 0 first: the origin goes to (−2, 0, 0), 2 from sphere 1's centre, and is pushed back 4/3;
    // (1, 0, 0) goes 8/3 to −5/3, 7/3 from sphere 1's centre, and comes back (4 − 7/3) / 1.5 = 10/9.
    {"SlotZeroFirst", 0, {{{{2, 0, 0}, 5.0f}, {{-4, 0, 0}, 4.0f}, kIdle, kIdle}}, {-2.0f / 3.0f, 0, 0},
     {-5.0f / 9.0f, 0, 0}},
    // The other order: the origin is exactly 4 from sphere 0 (not inside), then pushed by sphere 1 only.
    {"OtherOrder", 0, {{{{-4, 0, 0}, 4.0f}, {{2, 0, 0}, 5.0f}, kIdle, kIdle}}, {-2, 0, 0}, {-5.0f / 3.0f, 0, 0}},
    // Only vertices strictly inside move: the origin is exactly on the surface; (1, 0, 0) is 2 inside.
    {"OnTheSurface", 0, {{kIdle, kIdle, kIdle, {{3, 0, 0}, 3.0f}}}, {0, 0, 0}, {1.0f / 3.0f, 0, 0}},
    {"Idle", 0, {{kIdle, kIdle, kIdle, kIdle}}, {0, 0, 0}, {1, 0, 0}},
};
INSTANTIATE_TEST_SUITE_P(Spheres, Bulged, testing::ValuesIn(kPushes),
                         [](const testing::TestParamInfo<Push>& info) { return std::string(info.param.name); });

TEST_F(Objects, TwoStagesSharingAMeshAreEachDrawnWithTheirOwnBulge) {
    Obj* near = Make(TYPE_STAGE, "points.x", {0, 0, 0});
    Obj* far = Make(TYPE_STAGE, "points.x", {0, 0, 50});
    Sphere(2, {3, 0, 0}, 5.0f);
    headless::recordDraws(true);
    near->Draw();
    far->Draw();
    const auto& draws = headless::recordedDraws();
    ASSERT_EQ(draws.size(), 2u);
    for (const auto& d : draws) {
        ASSERT_EQ(d.stride, 32u);
        ASSERT_GE(d.vertices.size(), 4u * 32u);
    }
    D3DXVECTOR3 first, second;
    std::memcpy(&first, draws[0].vertices.data(), sizeof first);
    std::memcpy(&second, draws[1].vertices.data(), sizeof second);
    ExpectNear(first, {-4.0f / 3.0f, 0, 0});
    EXPECT_EQ(second, D3DXVECTOR3(0, 0, 0));  // 50 away: its own, unbent positions
    EXPECT_EQ(draws[0].state.world._43, 0.0f);
    EXPECT_EQ(draws[1].state.world._43, 50.0f);
}

TEST_F(Objects, ThePlayerBodyFollowsTheEyeAndDrawsNothing) {
    Obj* body = Make(TYPE_PLAYER_BODY, "points.x", {1, 2, 3}, {}, 45.0f, 0.0f);
    g_player.position = D3DXVECTOR3(-5, 12, 8);
    body->Update();
    EXPECT_EQ(body->position, D3DXVECTOR3(-5, 12, 8));
    EXPECT_EQ(body->yaw, 45.0f);
    headless::recordDraws(true);
    body->Draw();
    EXPECT_TRUE(headless::recordedDraws().empty());
    EXPECT_EQ(body->workVertices, body->baseVertices);
    EXPECT_EQ(g_device->impl->state.world._41, -5.0f);
}

TEST(Bulge, FourAtATimeMatchesThePlainRuleBitForBit) {
    // Random positions (a count that leaves a tail after the groups of four), random placements and
    // spheres, some idle, some swallowing whole regions; every float must come out identical.
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> coordinate(-30.0f, 30.0f), angle(-180.0f, 180.0f), radius(0.5f, 45.0f);
    const PlayerState saved = g_player;
    for (int round = 0; round < 40; ++round) {
        std::vector<D3DXVECTOR3> base(1003);
        for (D3DXVECTOR3& p : base) p = D3DXVECTOR3(coordinate(random), coordinate(random) / 4, coordinate(random));
        if (round % 4 == 1) {  // positions no matrix can place: the division by w is not skipped for them
            base[5].x = std::numeric_limits<float>::infinity();
            base[9].y = std::nanf("");
        }
        for (int i = 0; i < 4; ++i) {
            g_player.bulgeCenter[i] = D3DXVECTOR3(coordinate(random), coordinate(random) / 4, coordinate(random));
            g_player.bulgeRadius[i] = round % 5 == 0 && i == 1 ? 1.0f : radius(random);
        }
        D3DXMATRIX ry, rx, t;
        D3DXMatrixRotationY(&ry, angle(random) * kDegToRad);
        D3DXMatrixRotationX(&rx, angle(random) * kDegToRad);
        D3DXMatrixTranslation(&t, coordinate(random) / 4, coordinate(random) / 4, coordinate(random) / 4);
        const D3DXMATRIX rotation = ry * rx, world = ry * rx * t;
        std::vector<D3DXVECTOR3> fast(base.size()), plain(base.size());
        EXPECT_EQ(BulgePositions(base.data(), fast.data(), static_cast<DWORD>(base.size()), world, rotation),
                  BulgePositionsPlain(base.data(), plain.data(), static_cast<DWORD>(base.size()), world, rotation));
        EXPECT_EQ(std::memcmp(fast.data(), plain.data(), fast.size() * sizeof(D3DXVECTOR3)), 0) << "round " << round;
        int moved = 0;
        for (size_t i = 0; i < base.size(); ++i) moved += fast[i] != base[i];
        EXPECT_GT(moved, 0) << "round " << round;  // the comparison is about pushed positions too
    }
    for (int i = 0; i < 4; ++i) g_player.bulgeRadius[i] = 1.0f;
    std::vector<D3DXVECTOR3> base(5, D3DXVECTOR3(1, 2, 3)), work(5);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    EXPECT_FALSE(BulgePositions(base.data(), work.data(), 5, identity, identity));
    EXPECT_EQ(work, base);
    g_player = saved;
}
