// The player's collision against boxes: walls held at 6 along the motion and 4 along the world axes,
// ceilings at 5, floors at eye height, the 50-unit range, the order of the objects, each object tested
// with its own shape, and rays that cannot push.
#include <gtest/gtest.h>

#include "player/collision.h"
#include "support/world.h"

using namespace testing_support;

namespace {

class Collision : public World {
protected:
    void SetUp() override {
        World::SetUp();
        Place({0, 12, 0});
    }
};

TEST_F(Collision, WalkingIntoAWallStopsSixFromItsFaceStraightOrSlantwise) {
    Floor();
    Boxes("wall.x", {{{-500, 0, 20}, {500, 100, 30}}});
    Frames(100, {'W'});
    ExpectNear(g_player.position, {0, 12, 14}, 1e-4f);
    Place({0, 12, 0});
    g_player.yaw = 45.0f;
    Frames(100, {'W'});
    // The side ray along +z alone would allow 16; the motion ray holds the eye at 14 while it slides.
    EXPECT_NEAR(g_player.position.z, 14.0f, 1e-3f);
    EXPECT_GT(g_player.position.x, 30.0f);
}

// A post 1 wide, 2 to the right of the eye, with the view turned 45 degrees: the ray along +x meets it
// and puts the eye 4 from its face, at x = −2; rays turned with the view would pass beside it.
TEST_F(Collision, SideRaysRunAlongTheWorldAxesWhateverTheView) {
    Floor();
    Boxes("post.x", {{{2, 0, -0.5f}, {3, 100, 0.5f}}});
    g_player.yaw = 45.0f;
    Frames(3);
    ExpectNear(g_player.position, {-2, 12, 0});
}

// An object whose origin is at or above the eye (and is not stage geometry) is only a ceiling: a hit
// nearer than 5 puts the eye 5 under it and stops its vertical motion; at exactly 5 nothing changes. Below,
// a step whose top is 9 under the eye, its origin 50 or 49.99 below: only an object nearer than 50 is met.
struct Slab {
    float origin, bottom, top;  // heights
    float vy, eye, vyAfter;
    bool onTop;
    bool stage = false;  // stage geometry rather than a step
};
class OneSlab : public Collision, public testing::WithParamInterface<Slab> {};
TEST_P(OneSlab, HoldsTheEyeAsWorkedOut) {
    const Slab& c = GetParam();
    Obj* step =
        Boxes("slab.x", {{{-50, c.bottom, -50}, {50, c.top, 50}}}, c.stage ? TYPE_STAGE : TYPE_STEP, {0, c.origin, 0});
    g_player.velocity.y = c.vy;
    CollidePlayer();
    EXPECT_NEAR(g_player.position.y, c.eye, 1e-4f);
    EXPECT_EQ(g_player.velocity.y, c.vyAfter);
    EXPECT_EQ(step->playerOnTop, c.onTop);
}
// Sinking at 0.1 under a lid, so that no motion ray goes up into it; at rest over the step, which holds
// the eye with its fall of 0.5 a frame as any floor does. Stage geometry above the eye is no ceiling.
// Rising at 1.4 with a lid 5.1 above: the motion ray holds the eye 6 under it, the rise goes on.
INSTANTIATE_TEST_SUITE_P(Boundary, OneSlab,
                         testing::Values(Slab{12, 5, 10, -0.1f, 12, -0.1f, false},
                                         Slab{12, 5.1f, 10.1f, 1.4f, 11.1f, 1.4f, false},
                                         Slab{12, 4.5f, 9.5f, -0.1f, 11.5f, 0, false},
                                         Slab{12, 3, 8, -0.1f, 10, 0, false}, Slab{-38, 40, 41, 0, 12, 0, false},
                                         Slab{-37.99f, 39.99f, 40.99f, 0, 15, -0.5f, true},
                                         Slab{12, 3, 8, -0.1f, 12, -0.1f, false, true}));

// A step lower than the eye is climbed when it is listed before the floor; after the floor, the floor
// has already tilted the motion down to −0.5 and the motion ray meets the step's face.
TEST_F(Collision, AStepIsClimbedOnlyWhenListedBeforeTheFloor) {
    Obj* step = Boxes("step.x", {{{-50, 0, 20}, {50, 11, 60}}});
    Floor();
    Frames(60, {'W'});
    EXPECT_NEAR(g_player.position.y, 23.0f, 1e-4f);
    EXPECT_TRUE(step->playerOnTop);

    ClearObjects();
    Floor();
    Boxes("step.x", {{{-50, 0, 20}, {50, 11, 60}}});
    Place({0, 12, 0});
    Frames(60, {'W'});
    ExpectNear(g_player.position, {0, 12, 14}, 1e-3f);
}

// Two objects on one mesh while a bulge is held: the buffer holds the first one's shape (raised by 5);
// the second, the one the player stands on, must be tested with its own flat shape: the eye stays 12
// above its top, not 17.
TEST_F(Collision, WithABulgeHeldEachObjectIsTestedWithItsOwnShape) {
    Obj* first = Boxes("shared.x", {{{-50, -10, -50}, {50, 0, 50}}}, TYPE_STAGE, {300, 0, 0});
    Obj* second = Make(TYPE_STAGE, "shared.x");
    second->workVertices = second->baseVertices;
    first->workVertices = first->baseVertices;
    for (D3DXVECTOR3& v : first->workVertices) v.y += 5.0f;
    first->WriteWorkVertices();
    g_player.bulgeActive[3] = true;  // held, but idle: nothing bends while drawn
    CollidePlayer();
    EXPECT_FLOAT_EQ(g_player.position.y, 12.0f);
    EXPECT_TRUE(second->playerOnTop);
}

// Reports a hit at distance 1 on face 0 for rays along z, a face lying in a plane that holds the ray.
class EdgeOn : public Obj {
public:
    EdgeOn(ID3DXMesh* mesh, D3DXVECTOR3 at) : Obj(mesh, TYPE_STEP, at, 0, 0) {}
    void Update() override {}
    void Draw() override {}
    BOOL Intersect(D3DXVECTOR3, D3DXVECTOR3 direction, float* distance, DWORD* face) override {
        if (direction.x != 0.0f || direction.y != 0.0f || direction.z == 0.0f) return FALSE;
        *distance = 1.0f;
        if (face) *face = 0;
        return TRUE;
    }
};

TEST_F(Collision, AHitWhoseNormalIsAcrossTheRayDoesNotMoveThePlayer) {
    Floor();
    Frames(20, {'W'});
    const D3DXVECTOR3 free = g_player.position;
    ID3DXMesh* edge = Mesh("edge.x", TrianglesX({{0, 0, 0}, {0, 0, 5}, {0, 5, 0}}));  // in the plane x = 0
    Append(new EdgeOn(edge, {0, 0, 10}));
    Place({0, 12, 0});
    Frames(20, {'W'});
    EXPECT_EQ(g_player.position, free);
}

}  // namespace
