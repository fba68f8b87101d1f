// The gun: the four slots as a queue, the lamps, the pick (laser traps included), the release, the
// spheres growing and shrinking as they are drawn, the gun's place and shake, the beam and the sparkle.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "player/gun.h"
#include "resource/resource_cache.h"
#include "stage/stage_state.h"
#include "support/world.h"

using namespace testing_support;

namespace {

class Gun : public World {
protected:
    void SetUp() override {
        World::SetUp();
        ArmedPlayer();
        Boxes("wall.x", {{{-100, -10, 50}, {100, 100, 60}}});  // 50 ahead; its corners far from any hit
    }
    // A click: pressed in one frame, released in the next, both drawn.
    void Shoot() {
        Frame({VK_LBUTTON}, true);
        Frame({}, true);
    }
    // The lamps (materials 4 to 6) lit red, counted; they light from the first.
    int LampsOn() {
        const D3DMATERIAL9* m = g_resourceCache->Find("gun.x")->materials + 4;
        int on = 0;
        while (on < 3 && m[on].Diffuse.r == 1.0f && m[on].Diffuse.b == 0.1f && m[on].Emissive.r == 1.0f) ++on;
        for (int i = on; i < 3; ++i) EXPECT_EQ(m[i].Diffuse.b, 1.0f) << "off is blue";
        return on;
    }
    static std::vector<const headless::RecordedDraw*> DrawsWith(IDirect3DTexture9* texture) {
        std::vector<const headless::RecordedDraw*> out;
        for (const auto& d : headless::recordedDraws())
            if (d.state.textures[0] == texture && d.stride == 24) out.push_back(&d);
        return out;
    }
    static D3DXVECTOR3 Vertex(const headless::RecordedDraw& d, int i) {
        D3DXVECTOR3 v;
        std::memcpy(&v, d.vertices.data() + 24 * i, sizeof v);
        return v;
    }
};

// The wall is 50 ahead: a shot at yaw a lands at (50 tan a, 12, 50).
TEST_F(Gun, FourHitsInARowHoldThreeAndLetTheFirstGo) {
    const float yaws[4] = {0.0f, 5.0f, 10.0f, 15.0f};
    for (int k = 0; k < 4; ++k) {
        g_player.yaw = yaws[k];
        sounds.clear();
        Shoot();
        EXPECT_EQ(sounds, (std::vector<Sound>{Played("puu35.wav", -1000, 0, frame - 2),
                                              Played("mecha07.wav", -2000, 0, frame - 2)}));
        EXPECT_NEAR(g_player.bulgeCenter[3].x, 50.0f * std::tan(yaws[k] * kDegToRad), 1e-3f) << k;
        EXPECT_NEAR(g_player.bulgeCenter[3].z, 50.0f, 1e-3f) << k;
        EXPECT_EQ(LampsOn(), std::min(k + 1, 3)) << k;
    }
    EXPECT_FALSE(g_player.bulgeActive[0]);
    EXPECT_TRUE(g_player.bulgeActive[1] && g_player.bulgeActive[2] && g_player.bulgeActive[3]);
    // Slot 0 holds the first bulge, let go and shrinking: drawn 6 frames growing by 1.1, then 2 at 1 / 1.08.
    EXPECT_NEAR(g_player.bulgeCenter[0].x, 0.0f, 1e-3f);
    EXPECT_NEAR(g_player.bulgeRadius[0], 2.0f * std::pow(1.1f, 6) / 1.08f / 1.08f, 1e-4f);
}

// On a fresh stage slot 3 is not active: a shot that meets nothing draws its beam but no sparkle. After
// a hit, a shot into open space moves the queue on with slot 3 kept: the newest bulge is held twice.
TEST_F(Gun, AShotThatHitsNothingHasNoSparkleAndRestartsTheNewestBulge) {
    g_player.yaw = 180.0f;  // nothing that way
    headless::recordDraws(true);
    Frame({VK_LBUTTON}, true);
    EXPECT_FALSE(DrawsWith(g_laserTexture).empty());
    EXPECT_TRUE(DrawsWith(g_hitTexture).empty());
    g_player.yaw = 0.0f;
    headless::recordDraws(true);
    Frame({}, true);
    Frame({VK_LBUTTON}, true);
    EXPECT_EQ(DrawsWith(g_hitTexture).size(), 1u);
    const D3DXVECTOR3 first = g_player.bulgeCenter[3];
    g_player.yaw = 180.0f;
    Frame({}, true);
    Frame({VK_LBUTTON}, true);
    EXPECT_EQ(g_player.bulgeCenter[3], first);
    EXPECT_EQ(g_player.bulgeCenter[2], first);
    EXPECT_TRUE(g_player.bulgeActive[3] && g_player.bulgeActive[2]);
    EXPECT_EQ(LampsOn(), 2);  // the one bulge counts twice
}

TEST_F(Gun, ReleaseAndShotInOneFrameKeepTheNewBulge) {
    Shoot();
    Shoot();
    sounds.clear();
    Frame({VK_RBUTTON, VK_LBUTTON}, true);
    const int f = frame - 1;
    EXPECT_EQ(sounds, (std::vector<Sound>{Played("mecha23_b.wav", -1000, 0, f), Played("puu35.wav", -1000, 0, f),
                                          Played("mecha07.wav", -2000, 0, f)}));
    EXPECT_FALSE(g_player.bulgeActive[0] || g_player.bulgeActive[1] || g_player.bulgeActive[2]);
    EXPECT_EQ(LampsOn(), 1);
    Frame({VK_RBUTTON}, true);  // still held: the new one goes too, with the sound once
    Frame({VK_RBUTTON}, true);  // nothing left: no sound
    EXPECT_EQ(sounds.size(), 4u);
    EXPECT_FALSE(g_player.bulgeActive[3]);
    EXPECT_EQ(LampsOn(), 0);
}

TEST_F(Gun, ALaserTrapTakesTheShotButNotThePlayer) {
    class Trap : public Obj {
    public:
        Trap(ID3DXMesh* mesh) : Obj(mesh, TYPE_LASER_TRAP, {0, 0, 30}, 0, 0) {}
        void Update() override {}
        void Draw() override {}
    };
    Append(new Trap(BoxMesh("trap.x", {{{-2, 0, 0}, {2, 20, 2}}})));
    Shoot();
    EXPECT_NEAR(g_player.bulgeCenter[3].z, 30.0f, 1e-4f);
    Frame({VK_RBUTTON});
    Frames(60, {'W'});  // walks through it
    EXPECT_GT(g_player.position.z, 33.0f);
}

// A plate whose buffer still shows it 70 ahead while its own last-drawn shape stands 20 ahead (as when
// another object on its mesh wrote it last), no bulge held before the shot: the wall, listed before the
// plate, is hit first and sets slot 3, so from then on each object is tested with its own shape.
TEST_F(Gun, OnceAShotHasHitLaterObjectsAreTestedWithTheirOwnShape) {
    Obj* plate = Boxes("plate.x", {{{-20, -10, 70}, {20, 40, 75}}});
    plate->workVertices = plate->baseVertices;
    for (D3DXVECTOR3& v : plate->workVertices) v.z -= 50.0f;
    Frame({VK_LBUTTON});
    EXPECT_NEAR(g_player.bulgeCenter[3].z, 20.0f, 1e-4f);
}

// Drawn frames only: 2 · 1.1^32 = 42.2, so 45 in the 33rd; let go, 45 / 1.08^49 = 1.04, idle in the 50th.
TEST_F(Gun, ASphereGrowsToFortyFiveInItsThirtyThirdDrawnFrameAndIsGoneInTheFiftiethAfterRelease) {
    headless::recordDraws(true);
    Frame({VK_LBUTTON}, true);
    const D3DXVECTOR3 c = g_player.bulgeCenter[3];
    const headless::RecordedDraw* sphere = nullptr;
    for (const auto& d : headless::recordedDraws())
        if (d.state.world._11 == 2.0f && d.state.world._41 == c.x && d.state.world._43 == c.z) sphere = &d;
    ASSERT_NE(sphere, nullptr);  // first drawn at 2, in slot 3's colour, without depth writes
    EXPECT_FLOAT_EQ(sphere->state.material.Diffuse.a, 5.0f / 15.0f);
    EXPECT_EQ(sphere->state.render[D3DRS_ZWRITEENABLE], static_cast<DWORD>(FALSE));
    headless::recordDraws(false);
    for (int k = 2; k <= 32; ++k) Frame({}, true);
    EXPECT_LT(g_player.bulgeRadius[3], 45.0f);
    Frame({}, true);
    EXPECT_EQ(g_player.bulgeRadius[3], 45.0f);
    Frames(5);  // not drawn: no growth
    Frame({VK_RBUTTON});
    for (int k = 1; k <= 49; ++k) Frame({}, true);
    EXPECT_GT(g_player.bulgeRadius[3], 1.0f);
    Frame({}, true);
    EXPECT_LE(g_player.bulgeRadius[3], 1.0f);
}

TEST_F(Gun, TheGunIsHeldRightLowAndAheadAndDroppedBesideADeadPlayer) {
    g_player.yaw = 90.0f;  // (1, −1, 6) turned a quarter to the right: (6, −1, −1) from the eye
    ExpectNear(GunPosition(), {6, 11, -1});
    g_player.dead = true;
    headless::recordDraws(true);
    DrawPlayer();
    // On its side (a quarter turn about z), 2 below the eye and 10 along +z whatever the view.
    const D3DMATRIX& lying = headless::recordedDraws().front().state.world;
    const float dropped[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 10, 10, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR((&lying._11)[i], dropped[i], 1e-5f) << i;
}

// While the flash is above 100 the gun shakes on each axis by a whole number of 150ths, at most 5.
TEST_F(Gun, RightAfterAShotTheGunShakesByUpToFiveHundredFiftieths) {
    std::srand(1);
    long largest = 0;
    for (int i = 0; i < 60; ++i) {
        g_player.shotFlash = 101;
        headless::recordDraws(true);
        DrawPlayer();
        const D3DMATRIX& w = headless::recordedDraws().front().state.world;
        const D3DXVECTOR3 at = GunPosition();
        for (float off : {w._41 - at.x, w._42 - at.y, w._43 - at.z}) {
            ASSERT_NEAR(off * 150.0f, std::round(off * 150.0f), 1e-2f);
            largest = std::max(largest, std::lround(std::fabs(off * 150.0f)));
        }
    }
    EXPECT_EQ(largest, 5);
    g_player.shotFlash = 100;
    headless::recordDraws(true);
    DrawPlayer();
    EXPECT_EQ(headless::recordedDraws().front().state.world._41, GunPosition().x);
}

// The eye 50.5 from the wall: ribbon points at 2, 3, ... 52 from the muzzle (1, 11, 2.5), 51 ribbons,
// in white at the flash (245 in the shot frame, 10 less each frame: 25 frames with a beam).
TEST_F(Gun, TheBeamRunsFromTheMuzzleToJustPastTheBulgeForTwentyFiveFrames) {
    Place({0, 12, -0.5f});
    headless::recordDraws(true);
    Frame({VK_LBUTTON}, true);
    auto beam = DrawsWith(g_laserTexture);
    auto sparkle = DrawsWith(g_hitTexture);
    ASSERT_EQ(beam.size(), 51u);
    ASSERT_EQ(sparkle.size(), 1u);
    for (const auto* d : beam) {
        DWORD colour;
        std::memcpy(&colour, d->vertices.data() + 12, 4);
        ASSERT_EQ(colour, 0xF5FFFFFFu);
    }
    const D3DXVECTOR3 muzzle(1, 11, 2.5f);
    D3DXVECTOR3 b = D3DXVECTOR3(0, 12, 50) - muzzle, last = Vertex(*beam.back(), 0) + D3DXVECTOR3(0.5f, 0, 0) - muzzle;
    D3DXVec3Normalize(&b, &b);
    EXPECT_NEAR(D3DXVec3Dot(&last, &b), 52.0f, 0.9f);  // give or take its jitter of half a unit
    // The sparkle: 5 × 5 at the bulge, within 0.3 of it on each axis.
    const D3DMATRIX& at = sparkle[0]->state.world;
    ExpectNear({at._41, at._42, at._43}, {0, 12, 50}, 0.31f);
    EXPECT_EQ(Vertex(*sparkle[0], 1), D3DXVECTOR3(2.5f, 2.5f, 0.0f));
    int framesWithBeam = 1;
    for (int f = 0; f < 30; ++f) {
        headless::recordDraws(true);
        Frame({}, true);
        framesWithBeam += !DrawsWith(g_laserTexture).empty();
    }
    EXPECT_EQ(framesWithBeam, 25);
}

TEST_F(Gun, ABeamFromTheBulgeItselfIsOneRibbonAndNoBeamRunsPastTheFarPlane) {
    g_player.shotFlash = 50;
    g_player.bulgeCenter[3] = D3DXVECTOR3(1, 11, 3);  // the muzzle
    headless::recordDraws(true);
    DrawPlayer();
    EXPECT_EQ(DrawsWith(g_laserTexture).size(), 1u);
    // A centre left far away, as after a shot into nothing on a stage that kept an old one.
    g_player.bulgeCenter[3] = D3DXVECTOR3(0, 12, 1.0e9f);
    headless::recordDraws(true);
    DrawPlayer();
    auto beam = DrawsWith(g_laserTexture);
    EXPECT_EQ(beam.size(), 999u);
    D3DXVECTOR3 far = Vertex(*beam.back(), 0) - D3DXVECTOR3(1, 11, 3);
    EXPECT_LE(D3DXVec3Length(&far), kBeamMaxLength + 1.0f);
}

}  // namespace
