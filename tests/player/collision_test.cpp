// The player's collision against boxes: walls held at 6 along the motion and 4 along the world axes,
// ceilings at 5, floors at eye height, the order of the objects, rays that cannot push, and the death
// sequence settling the eye 2 above the floor.
#include <gtest/gtest.h>

#include <cmath>

#include "app/globals.h"
#include "player/player_world.h"
#include "resource/resource_cache.h"
#include "stage/factory.h"

using namespace testing_support;

namespace {

bool Finite(const D3DXVECTOR3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// A plain object of any type code, for the kinds of object the collision treats alike.
class Slab : public Obj {
public:
    Slab(ID3DXMesh* mesh, uint16_t code, D3DXVECTOR3 at) : Obj(mesh, code, at, 0, 0) {}
    void Update() override {}
    void Draw() override {}
};

class Collision : public PlayerWorld {
protected:
    void Append(Obj* obj) {
        Obj* tail = &g_objRoot;
        while (tail->next) tail = tail->next;
        tail->next = obj;
        obj->prev = tail;
    }
    ID3DXMesh* BoxMesh(const std::string& name, Box box) {
        Obj* shape = AddBoxes(name, {box});  // cached; the stage object itself is taken out again
        ID3DXMesh* mesh = shape->mesh;
        shape->prev->next = nullptr;
        delete shape;
        return mesh;
    }
};

TEST_F(Collision, WalkingIntoAWallStopsSixFromItsFace) {
    AddFloor();
    AddBoxes("wall.x", {{{-50, 0, 20}, {50, 100, 30}}});
    PlaceAt({0, 12, 0});
    Frames(100, {'W'});
    EXPECT_NEAR(g_player.position.z, 14.0f, 1e-4f);
    EXPECT_NEAR(g_player.position.y, 12.0f, 1e-4f);
}

TEST_F(Collision, WalkingSlantwiseIntoAWallStillStopsSixFromItsPlane) {
    AddFloor();
    AddBoxes("wall.x", {{{-500, 0, 20}, {500, 100, 30}}});
    PlaceAt({0, 12, 0});
    g_player.yaw = 45.0f;
    Frames(100, {'W'});
    // The side ray along +z alone would allow 16; the motion ray holds the eye at 14.
    EXPECT_NEAR(g_player.position.z, 14.0f, 1e-3f);
    EXPECT_GT(g_player.position.x, 30.0f);  // sliding along the wall
}

TEST_F(Collision, StandingBesideAWallIsPushedToFourAlongTheWorldAxisWhateverTheView) {
    AddFloor();
    AddBoxes("wall.x", {{{3, 0, -50}, {10, 100, 50}}});
    PlaceAt({0, 12, 0});
    g_player.yaw = 37.0f;
    Frame();
    EXPECT_NEAR(g_player.position.x, -1.0f, 1e-5f);
    EXPECT_NEAR(g_player.position.z, 0.0f, 1e-5f);
    Frames(10);
    EXPECT_NEAR(g_player.position.x, -1.0f, 1e-5f);
}

TEST_F(Collision, AnObjectAboveTheEyeIsACeilingFiveUnderWhichTheEyeIsHeld) {
    AddFloor();
    // Any object that is not stage geometry, with its origin above the eye: a lid 3 over a standing eye.
    Append(new Slab(BoxMesh("lid.x", {{-50, 0, -50}, {50, 5, 50}}), TYPE_STEP, {0, 15, 0}));
    PlaceAt({0, 12, 0});
    for (int f = 0; f < 5; ++f) {
        Frame();
        // The floor lifts the eye to 12 and the lid then puts it 5 under itself, every frame.
        EXPECT_NEAR(g_player.position.y, 10.0f, 1e-5f);
        EXPECT_EQ(g_player.velocity.y, 0.0f);
    }
}

TEST_F(Collision, StageGeometryAboveTheEyeIsNoCeiling) {
    AddFloor();
    AddBoxes("lid.x", {{{-50, 15, -50}, {50, 20, 50}}});
    PlaceAt({0, 12, 0});
    Frames(5);
    EXPECT_NEAR(g_player.position.y, 12.0f, 1e-5f);
}

TEST_F(Collision, ARisingEyeStopsSixUnderWhatItRisesInto) {
    AddFloor();
    Append(new Slab(BoxMesh("lid.x", {{-50, 0, -50}, {50, 5, 50}}), TYPE_STEP, {0, 20, 0}));
    PlaceAt({0, 12, 0});
    Frame({VK_SPACE});  // 13.5
    Frame();            // 14.9 would be 5.1 under the lid: the motion ray holds it at 6
    EXPECT_NEAR(g_player.position.y, 14.0f, 1e-4f);
    EXPECT_NEAR(g_player.velocity.y, 1.4f, 1e-6f);
}

TEST_F(Collision, AStepLowerThanTheEyeIsClimbedWhenListedBeforeTheFloor) {
    AddBoxes("step.x", {{{-50, 0, 20}, {50, 11, 60}}});
    AddFloor();
    PlaceAt({0, 12, 0});
    Frames(60, {'W'});
    EXPECT_NEAR(g_player.position.y, 23.0f, 1e-4f);
    EXPECT_GT(g_player.position.z, 30.0f);
    EXPECT_TRUE(g_objRoot.next->playerOnTop);
    EXPECT_FALSE(g_objRoot.next->next->playerOnTop);
}

TEST_F(Collision, TheSameStepListedAfterTheFloorBlocks) {
    // The floor tilts the velocity down to -0.5 first; the motion ray then meets the step's face.
    AddFloor();
    AddBoxes("step.x", {{{-50, 0, 20}, {50, 11, 60}}});
    PlaceAt({0, 12, 0});
    Frames(60, {'W'});
    EXPECT_NEAR(g_player.position.y, 12.0f, 1e-4f);
    EXPECT_NEAR(g_player.position.z, 14.0f, 1e-3f);
}

// Reports a hit at distance 1 on face 0 for rays along z, whose face 0 lies in a plane holding the ray.
class EdgeOn : public Slab {
public:
    using Slab::Slab;
    BOOL Intersect(D3DXVECTOR3, D3DXVECTOR3 direction, float* distance, DWORD* face) override {
        if (direction.x != 0.0f || direction.y != 0.0f || direction.z == 0.0f) return FALSE;
        *distance = 1.0f;
        if (face) *face = 0;
        return TRUE;
    }
};

TEST_F(Collision, AHitWhoseNormalIsAcrossTheRayDoesNotMoveThePlayer) {
    ID3DXMesh* edge = nullptr;
    {
        WriteText("data/xfile/edge.x", TrianglesX({{0, 0, 0}, {0, 0, 5}, {0, 5, 0}}));  // in the plane x = 0
        ASSERT_TRUE(g_resourceCache->LoadMesh("edge.x"));
        edge = g_resourceCache->Find("edge.x")->mesh;
    }
    AddFloor();
    PlaceAt({0, 12, 0});
    Frames(20, {'W'});
    const D3DXVECTOR3 expected = g_player.position;

    ClearObjects();
    AddFloor();
    Append(new EdgeOn(edge, TYPE_STEP, {0, 0, 10}));
    PlaceAt({0, 12, 0});
    Frames(20, {'W'});
    EXPECT_EQ(g_player.position, expected);
}

// One row per kind of object: the player stands on it, still, for 10,000 frames. Its motion ray has
// no direction every frame. Kinds that move by themselves only have to keep the eye finite.
struct Kind {
    uint16_t code;
    bool still;
};
const Kind kKinds[] = {{TYPE_STAGE, true},      {TYPE_STEP, false}, {TYPE_ELEVATOR, false}, {TYPE_DOOR, false},
                       {TYPE_LASER_TRAP, true}, {TYPE_LEVER, true}, {TYPE_GOAL, true},      {TYPE_PLAYER_BODY, true}};

TEST_F(Collision, StandingStillOnEveryKindOfObjectKeepsAFiniteUnchangedEye) {
    g_leverStates.assign(8, false);
    int tried = 0;
    for (const Kind& kind : kKinds) {
        const ObjectClass* row = FindObjectClass(kind.code);
        if (!row) continue;  // not built yet
        SCOPED_TRACE(row->name);
        ++tried;
        ClearObjects();
        g_resourceCache->ReleaseAll();
        const Box block{{-10, -4, -10}, {10, 0, 10}};
        for (const char* fixed : row->fixedMeshes)
            if (fixed) AddBoxes(fixed, {block})->prev->next = nullptr;
        AddFloor(-4.0f);
        const std::string meshName = row->recordMesh ? row->recordMesh : "block.x";
        Obj* obj = AddBoxes(meshName, {block}, kind.code);
        ASSERT_NE(obj, nullptr);
        // A zero direction meets nothing, whatever the kind.
        float dist = -1.0f;
        DWORD face = 0;
        EXPECT_FALSE(obj->Intersect({0, 12, 0}, {0, 0, 0}, &dist, &face));
        PlaceAt({0, 12, 0});
        Frames(10);
        const D3DXVECTOR3 settled = g_player.position;
        int firstBad = -1;
        for (int f = 0; f < 10000; ++f) {
            Frame();
            if (firstBad < 0 && (!Finite(g_player.position) || !Finite(g_player.velocity))) firstBad = f;
        }
        EXPECT_EQ(firstBad, -1);
        if (kind.still) {
            EXPECT_EQ(g_player.position, settled);
        }
    }
    EXPECT_GE(tried, 2);
}

// The death sequence: the view pitches down faster and faster, rolls with it, and the eye settles 2
// above the floor under it.
TEST_F(Collision, KilledStandingTheEyeSinksToTwoAboveTheFloorAndStays) {
    AddFloor();
    PlaceAt({0, 12, 0});
    g_player.health = 0.0f;
    Frame();  // the death begins; this frame still runs alive
    ASSERT_TRUE(g_player.dead);
    EXPECT_NEAR(g_player.position.y, 12.0f, 1e-5f);
    for (int k = 1; k <= 52; ++k) Frame();
    // 0.05 + 0.10 + ... + 2.60 = 68.9
    EXPECT_NEAR(g_player.pitch, 68.9f, 1e-3f);
    Frame();
    EXPECT_EQ(g_player.pitch, 70.0f);
    EXPECT_NEAR(g_player.up.x, -std::sin(70.0f * kDegToRad), 1e-6f);
    EXPECT_NEAR(g_player.up.y, std::cos(70.0f * kDegToRad), 1e-6f);
    // The target still looks down at the pitch this frame began with.
    EXPECT_NEAR(g_player.lookAt.y - g_player.position.y, -std::sin(68.9f * kDegToRad), 1e-4f);
    EXPECT_NEAR(g_player.position.y, 2.0f, 1e-4f);
    for (int k = 0; k < 300; ++k) {
        Frame();
        ASSERT_NEAR(g_player.position.y, 2.0f, 1e-4f) << k;
    }
}

TEST_F(Collision, KilledInALongFallTheEyeStillSettlesTwoAboveTheFloor) {
    AddFloor();
    PlaceAt({0, 3000, 0});
    while (g_player.velocity.y > -5.0f) Frame();
    g_player.health = 0.0f;
    Frame();
    ASSERT_TRUE(g_player.dead);
    int frames = 0;
    while (g_player.velocity.y > -9.0f && frames < 1000) {
        Frame();
        ++frames;
    }
    ASSERT_GT(g_player.position.y, 100.0f);  // falling 9 a frame well above the floor
    for (int k = 0; k < 600; ++k) Frame();
    EXPECT_NEAR(g_player.position.y, 2.0f, 1e-3f);
    for (int k = 0; k < 100; ++k) {
        Frame();
        ASSERT_NEAR(g_player.position.y, 2.0f, 1e-3f) << k;
    }
}

}  // namespace
