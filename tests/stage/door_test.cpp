// Doors: opening and shutting by 1.5 a frame with the sound once each way, the panels' world matrices,
// the ray test against the moved panels, the per-panel bulge, the lamp on material 1, and a door bent by
// a bulge holding the player off the shape that is drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "app/globals.h"
#include "player/player_state.h"
#include "resource/resource_cache.h"
#include "stage/odoor.h"
#include "support/world.h"

using namespace testing_support;

namespace {

// A lamp's colours as drawn: diffuse with its alpha, emissive, ambient.
std::vector<float> Lamp(const D3DMATERIAL9& m) {
    return {m.Diffuse.r,  m.Diffuse.g,  m.Diffuse.b, m.Diffuse.a, m.Emissive.r,
            m.Emissive.g, m.Emissive.b, m.Ambient.r, m.Ambient.g, m.Ambient.b};
}

// door.x is one 40 × 40 quarter of a door: panel 0 covers x 0..40, y -40..0 and is 1.6 thick (the
// plate's faces at z ±0.8); the door at (0, 16, 0) stands upright across the z axis.
class DoorTest : public World {
protected:
    ODoor* Door(int channel = 0) {
        return static_cast<ODoor*>(Make(TYPE_DOOR, "door.x", {0, 16, 0}, {float(channel)}));
    }
    static Sound Whirr(int frame) { return {true, "mecha32.wav", -1000, 0, frame}; }
    // The nearest face of the door as drawn (each panel's slice placed by its own world matrix) on the
    // ray from `origin` along the unit `dir`, worked out triangle by triangle: its distance (-1 for
    // none) and its normal from its drawn corners.
    static float DrawnHit(ODoor* door, D3DXVECTOR3 origin, D3DXVECTOR3 dir, D3DXVECTOR3* normal = nullptr) {
        ID3DXMesh* mesh = door->mesh;
        const DWORD n = mesh->GetNumVertices();
        const uint16_t* index = nullptr;
        mesh->LockIndexBuffer(D3DLOCK_READONLY, (void**)&index);
        float nearest = -1;
        for (int panel = 0; panel < 4; ++panel) {
            D3DXMATRIX world, rotation;
            door->PanelMatrices(panel, world, rotation);
            for (DWORD f = 0; f < mesh->GetNumFaces(); ++f) {
                D3DXVECTOR3 p[3];
                for (int k = 0; k < 3; ++k)
                    D3DXVec3TransformCoord(&p[k], &door->workVertices[n * panel + index[3 * f + k]], &world);
                float u, v, d;
                if (!D3DXIntersectTri(&p[0], &p[1], &p[2], &origin, &dir, &u, &v, &d) || (nearest >= 0 && d >= nearest))
                    continue;
                nearest = d;
                D3DXVECTOR3 e1 = p[1] - p[0], e2 = p[2] - p[0];
                if (normal) D3DXVec3Normalize(normal, D3DXVec3Cross(normal, &e1, &e2));
            }
        }
        mesh->UnlockIndexBuffer();
        return nearest;
    }
};

// Within 49.9 it opens 1.5 a frame up to 40 (in frame 27) and holds; from frame 29, 50 away, it shuts
// the same way, shut in frame 55. The sound plays once each way.
TEST_F(DoorTest, OpensToFortyWithin49Point9AndShutsAtFifty) {
    ODoor* door = Door();  // channel 0: on from start-up, no lever writes it
    g_player.position = D3DXVECTOR3(0, 16, -49.9f);
    for (int i = 1; i <= 56; ++i) {
        if (i == 29) g_player.position.z = -50.0f;
        UpdateObjects();
        const float want = i <= 28 ? std::min(1.5f * i, 40.0f) : std::max(40.0f - 1.5f * (i - 28), 0.0f);
        EXPECT_EQ(std::pair(door->openAmount, door->open), std::pair(want, i <= 28)) << "frame " << i;
    }
    EXPECT_EQ(sounds, (std::vector<Sound>{Whirr(1), Whirr(29)}));
}

TEST_F(DoorTest, RaysMeetTheMovedPanelsTheNearestWinningAndMissInTheGap) {
    // Shut: straight at the plate of panel 1 (up and right of the centre, its face at z -0.8), the same
    // with a long direction; along the door's plane panel 2's outer edge at x -40 comes before panel 1,
    // panel 0's before panel 3; no direction, no hit, from inside a panel too. Open: the panels have slid
    // 40 along the diagonals, the middle is a gap and panel 1 stands at (40..80, 56..96).
    // {open, origin, direction, distance (-1: no hit)}
    const std::tuple<float, D3DXVECTOR3, D3DXVECTOR3, float> rays[] = {
        {0, {8, 24, -50}, {0, 0, 1}, 49.2f},   {0, {8, 24, -50}, {0, 0, 5}, 49.2f},
        {0, {-100, 24, 0}, {1, 0, 0}, 60.0f},  {0, {100, 8, 0}, {-1, 0, 0}, 60.0f},
        {0, {8, 24, 0}, {0, 0, 0}, -1.0f},     {40, {8, 24, -50}, {0, 0, 1}, -1.0f},
        {40, {30, 16, -50}, {0, 0, 1}, -1.0f}, {40, {48, 64, -50}, {0, 0, 1}, 49.2f},
    };
    ODoor* door = Door();
    for (const auto& [open, origin, dir, want] : rays) {
        door->openAmount = open;
        float d = 7.0f;
        DWORD face = 12345;  // the sideways rays pass no face pointer
        const BOOL hit = door->Intersect(origin, dir, &d, want == 60.0f ? nullptr : &face);
        EXPECT_EQ(hit != FALSE, want >= 0.0f) << open << " from " << origin.x << "," << origin.y;
        EXPECT_NEAR(d, want, 1e-4f) << open << " from " << origin.x << "," << origin.y;
        EXPECT_EQ(face != 12345u, want == 49.2f);
    }
}

TEST_F(DoorTest, DrawsFourPanelsWithTheirMatricesAndTheLampOfItsChannel) {
    g_leverStates = {false, true, false};
    ODoor* green = Door(1);
    Make(TYPE_DOOR, "door.x", {100, 16, 0}, {2});  // red
    green->openAmount = 40.0f;
    MeshRecord* record = g_resourceCache->Find("door.x");
    ASSERT_GE(record->materialCount, 2u);
    const float alpha = record->materials[1].Diffuse.a;
    const DWORD m = record->materialCount;
    headless::recordDraws(true);
    DrawAll();
    const auto& draws = headless::recordedDraws();
    ASSERT_EQ(draws.size(), 8 * m);
    // Panel i sits at the slide (40, -40) turned by 90 × i about z: (40, -40), (40, 40), (-40, 40), (-40, -40).
    const float corner[4][2] = {{40, -40}, {40, 40}, {-40, 40}, {-40, -40}};
    for (int i = 0; i < 4; ++i) {
        const D3DMATRIX& w = draws[i * m].state.world;
        ExpectNear({w._41, w._42, w._43}, {corner[i][0], 16 + corner[i][1], 0}, 1e-4f);
    }
    // The lamp material as each door's panels were drawn: green (0.1, 1, 0.1) on channel 1, red (1, 0.1,
    // 0.1) on channel 2, on the diffuse (its alpha kept), emissive and ambient colours.
    for (int panel = 0; panel < 8; ++panel) {
        const float r = panel < 4 ? 0.1f : 1.0f, g = panel < 4 ? 1.0f : 0.1f;
        EXPECT_EQ(Lamp(draws[panel * m + 1].state.material),
                  (std::vector<float>{r, g, 0.1f, alpha, r, g, 0.1f, r, g, 0.1f}))
            << panel;
    }
    EXPECT_EQ(record->materials[1].Diffuse.r, 1.0f);  // the last door drawn leaves its colour
    headless::recordDraws(false);
}

TEST_F(DoorTest, ABulgeTouchingOnePanelBendsOnlyThatPanelsSlice) {
    ODoor* door = Door();
    g_player.bulgeCenter[3] = D3DXVECTOR3(40, 56, 0);  // panel 1's outer corner, 5 across
    g_player.bulgeRadius[3] = 5.0f;
    door->Draw();
    const size_t n = door->baseVertices.size();
    ASSERT_EQ(door->workVertices.size(), 4 * n);
    std::vector<bool> moved(4, false);
    for (int panel = 0; panel < 4; ++panel)
        for (size_t v = 0; v < n; ++v)
            moved[panel] = moved[panel] || door->workVertices[panel * n + v] != door->baseVertices[v];
    EXPECT_EQ(moved, (std::vector<bool>{false, true, false, false}));
    // The plate's front corner there (panel 0's (40, -40, -0.8), turned a quarter) is 0.8 from the
    // centre: pushed away from it, along the door's -z, by (5 - 0.8) / 1.5.
    const auto& base = door->baseVertices;
    const size_t corner = std::find(base.begin(), base.end(), D3DXVECTOR3(40, -40, -0.8f)) - base.begin();
    ASSERT_LT(corner, n);
    ExpectNear(door->workVertices[n + corner], {40, -40, -0.8f - 4.2f / 1.5f}, 1e-4f);
}

// After a draw with a bulge, a ray at the door meets what was drawn: the nearest drawn triangle over the
// four panels, and the normal the collision pushes along is that triangle's.
TEST_F(DoorTest, RaysMeetEachPanelAsDrawnAndTheNormalIsTheDrawnFaces) {
    ODoor* door = Door();
    g_player.bulgeCenter[3] = D3DXVECTOR3(6, 10, -1);  // in front of panel 0, 45 across: every panel bends
    g_player.bulgeRadius[3] = 45.0f;
    door->Draw();
    int hits = 0;
    // Rays between the lines of the panels' 4-unit grid, so that none meets two bent faces at once.
    for (float x = -13; x <= 15; x += 4)
        for (float y = 3; y <= 31; y += 4) {
            const D3DXVECTOR3 origin(x, y, -60), dir(0, 0, 1);
            D3DXVECTOR3 wantNormal(0, 0, 0);
            const float want = DrawnHit(door, origin, dir, &wantNormal);
            float got = 0;
            DWORD face = 0;
            const BOOL hit = door->Intersect(origin, dir, &got, &face);
            ASSERT_EQ(hit != FALSE, want >= 0) << x << "," << y;
            if (!hit) continue;
            ++hits;
            EXPECT_NEAR(got, want, 1e-3f) << x << "," << y;
            ExpectNear(door->HitNormal(face), wantNormal, 1e-3f);
        }
    EXPECT_GT(hits, 40);  // of the 64 rays, most meet the bent door
}

struct Approach {
    const char* name;
    D3DXVECTOR3 bulge;  // where the shot landed
    float side;         // the side the player comes from: -1 from -z, +1 from +z
    float x;            // where on the door the walk aims: the eye's x
    bool meets;         // the walk's straight line meets the door as the bulge left it drawn
};
class BentDoor : public DoorTest, public testing::WithParamInterface<Approach> {
protected:
    // True when the segment from `a` to `b` passes through the door as drawn.
    static bool Crosses(ODoor* door, const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
        D3DXVECTOR3 dir = b - a;
        const float length = D3DXVec3Length(&dir);
        const float d = length > 0.0f ? DrawnHit(door, a, dir / length) : -1.0f;
        return d >= 0.0f && d <= length;
    }
};

// A shut door on a floor at 0; the player walks straight at it from 30 away for 120 frames, the game's
// order each frame: objects, player, then the draw that bends the panels. However the shot bent the
// panels, the eye never passes through the drawn door.
TEST_P(BentDoor, StopsThePlayerAtTheDrawnPanels) {
    const Approach& a = GetParam();
    g_leverStates.assign(2, false);  // channel 1 off: the door stays shut
    Floor();
    ODoor* door = Door(1);
    const D3DXVECTOR3 start(a.x, 12, 30 * a.side);
    Place(start);
    g_player.yaw = a.side < 0 ? 0.0f : 180.0f;
    g_player.bulgeCenter[3] = a.bulge;
    g_player.bulgeRadius[3] = 45.0f;
    g_player.bulgeActive[3] = true;
    Frame({}, true);  // the first draw bends the slices
    for (int i = 0; i < 120; ++i) {
        const D3DXVECTOR3 before = g_player.position;
        Frame({'W'}, true);
        ASSERT_FALSE(Crosses(door, before, g_player.position))
            << "frame " << i << " from " << before.x << "," << before.y << "," << before.z << " to "
            << g_player.position.x << "," << g_player.position.y << "," << g_player.position.z;
    }
    EXPECT_EQ(door->openAmount, 0.0f);
    // The eye ends in front of the door as drawn, and where the walk's straight line meets the drawn
    // door the walk was held (free, 120 frames at 0.7 would carry it 84, past the door at 30); a bulge
    // can push the panels aside from the line (they are vertices like any other), and then the way is free.
    EXPECT_FALSE(Crosses(door, start, g_player.position));
    ASSERT_EQ(Crosses(door, start, start + D3DXVECTOR3(0, 0, -60 * a.side)), a.meets);
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
