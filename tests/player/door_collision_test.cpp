// A shut door bent by a bulge holds the player off the shape that is drawn: each panel is ray-tested with
// its own bent positions and pushes back along its own face, wherever the bulge sits and wherever the
// player walks into the door.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "support/world.h"
#include "resource/resource_cache.h"
#include "stage/lever_states.h"
#include "stage/odoor.h"

using namespace testing_support;

namespace {

struct Approach {
    const char* name;
    D3DXVECTOR3 bulge;  // where the shot landed
    float side;         // the side the player comes from: -1 from -z, +1 from +z
    float x;            // where on the door the walk aims: the eye's x
    bool meets;         // the walk's straight line meets the door as the bulge left it drawn
};

class BentDoor : public World, public testing::WithParamInterface<Approach> {
protected:
    void SetUp() override {
        World::SetUp();
        g_leverStates.assign(2, false);  // channel 1 off: the door stays shut
    }

    // The drawn surface of every panel, in the world: the panel's slice placed by its world matrix.
    // True when the segment from `a` to `b` passes through it.
    static bool CrossesDrawnDoor(ODoor* door, const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
        D3DXVECTOR3 dir = b - a;
        const float length = D3DXVec3Length(&dir);
        if (length == 0.0f) return false;
        dir /= length;
        ID3DXMesh* mesh = door->mesh;
        const DWORD n = mesh->GetNumVertices();
        const uint16_t* index = nullptr;
        mesh->LockIndexBuffer(D3DLOCK_READONLY, (void**)&index);
        bool crossed = false;
        for (int panel = 0; panel < 4 && !crossed; ++panel) {
            D3DXMATRIX world, rotation;
            door->PanelMatrices(panel, world, rotation);
            const D3DXVECTOR3* slice = door->workVertices.data() + size_t(n) * panel;
            for (DWORD f = 0; f < mesh->GetNumFaces() && !crossed; ++f) {
                D3DXVECTOR3 p[3];
                for (int k = 0; k < 3; ++k) D3DXVec3TransformCoord(&p[k], &slice[index[3 * f + k]], &world);
                float u, v, d;
                if (D3DXIntersectTri(&p[0], &p[1], &p[2], &a, &dir, &u, &v, &d) && d <= length) crossed = true;
            }
        }
        mesh->UnlockIndexBuffer();
        return crossed;
    }
};

// The door stands at (0, 16, 0) across the z axis on a floor at 0 (panels at z ±1); the player walks
// straight at it from 30 away for 120 frames, the game's order each frame: objects, player, then the
// draw that bends the panels. However the shot bent the panels, the eye never passes through the
// drawn door.
TEST_P(BentDoor, StopsThePlayerAtTheDrawnPanels) {
    const Approach& a = GetParam();
    Floor();
    auto* door = MakeAs<ODoor>(TYPE_DOOR, "door.x", {0, 16, 0}, {1});
    ASSERT_NE(door, nullptr);
    Place({a.x, 12, 30 * a.side});
    g_player.yaw = a.side < 0 ? 0.0f : 180.0f;
    g_player.bulgeCenter[3] = a.bulge;
    g_player.bulgeRadius[3] = 45.0f;
    g_player.bulgeActive[3] = true;
    Frame({}, true);  // the first draw bends the slices
    for (int i = 0; i < 120; ++i) {
        const D3DXVECTOR3 before = g_player.position;
        Frame({'W'}, true);
        ASSERT_FALSE(CrossesDrawnDoor(door, before, g_player.position))
            << "frame " << i << " from " << before.x << "," << before.y << "," << before.z << " to "
            << g_player.position.x << "," << g_player.position.y << "," << g_player.position.z;
    }
    EXPECT_EQ(door->openAmount, 0.0f);
    // The eye ends in front of the door as drawn, and where the walk's straight line meets the drawn
    // door the walk was held (free, 120 frames at 0.7 would carry it 84, past the door at 30); a bulge
    // can push the panels aside from the line (they are vertices like any other), and then the way is free.
    const D3DXVECTOR3 start(a.x, 12, 30 * a.side);
    EXPECT_FALSE(CrossesDrawnDoor(door, start, g_player.position));
    ASSERT_EQ(CrossesDrawnDoor(door, start, start + D3DXVECTOR3(0, 0, -60 * a.side)), a.meets);
    D3DXVECTOR3 walked = g_player.position - start;
    if (a.meets) {
        EXPECT_LT(D3DXVec3Length(&walked), 60.0f);
    }
}

// The panels: 0 lower right, 1 upper right, 2 upper left, 3 lower left (seen from -z). Shots on the
// door's face at each panel, from each side, and beside the door on the floor.
const Approach kApproaches[] = {
    {"FrontAtPanel0", {8, 8, -1}, -1, 8, true},     {"FrontAtPanel1", {8, 24, -1}, -1, 8, true},
    {"FrontAtPanel2", {-8, 24, -1}, -1, -8, true},  {"FrontAtPanel3", {-8, 8, -1}, -1, -8, true},
    {"BackAtPanel0", {8, 8, 1}, 1, 8, true},        {"BackAtPanel2", {-8, 24, 1}, 1, -8, true},
    {"FrontCentre", {0, 16, -1}, -1, 2, true},      {"BackCentre", {0, 16, 1}, 1, -2, true},
    {"FloorInFront", {4, 0, -6}, -1, 4, true},      {"FloorBehind", {-4, 0, 6}, 1, -4, true},
    {"BesideTheDoor", {44, 12, -1}, -1, 36, false}, {"AboveTheDoor", {-4, 34, -1}, -1, -4, true},
    {"WalkAtTheEdge", {10, 10, -1}, -1, 15, true},  {"WalkAtTheOtherEdge", {-10, 20, -1}, -1, -15, true},
};
INSTANTIATE_TEST_SUITE_P(Door, BentDoor, testing::ValuesIn(kApproaches),
                         [](const testing::TestParamInfo<Approach>& info) { return std::string(info.param.name); });

}  // namespace
