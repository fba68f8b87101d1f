// Walking, jumping, falling and health on flat ground, frame by frame, against numbers worked out from
// the rules: gravity 0.1, a jump of 1.5, friction 0.37 on the ground, 0.99 in the air, 0.4 dead.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "app/fade.h"
#include "player/collision.h"
#include "support/world.h"

using namespace testing_support;

namespace {

class Movement : public World {
protected:
    void SetUp() override {
        World::SetUp();
        floor = Floor(0.0f);
        Place({0, 12, 0});
    }
    Obj* floor = nullptr;
};

TEST_F(Movement, StandingJumpIsAirborneThirtyFramesAndLandsQuietly) {
    Frame({VK_SPACE});
    EXPECT_FLOAT_EQ(g_player.position.y, 13.5f);
    // Heights 1.5k − 0.05k(k − 1) above the standing eye: 1.5 again after 30 frames, 0 after 31.
    for (int f = 2; f <= 30; ++f) {
        Frame();
        ASSERT_TRUE(g_player.airborne) << f;
    }
    EXPECT_NEAR(g_player.position.y, 13.5f, 1e-3f);
    Frame();
    EXPECT_NEAR(g_player.position.y, 12.0f, 1e-4f);
    // Landed at a speed of 1.5, below 1.7: no dip and no clack.
    EXPECT_EQ(std::tuple(g_player.airborne, g_player.landingDip, sounds.size(), floor->playerOnTop),
              std::tuple(false, 0.0f, size_t{0}, true));
}

TEST_F(Movement, RunningJumpLandsWithTheDipAndTheClack) {
    Frame({'W', VK_SPACE});
    EXPECT_FLOAT_EQ(g_player.velocity.z, 1.2f);  // across the ground exactly 1.2
    for (int f = 2; f <= 30; ++f) {
        Frame({'W'});
        // In the air the push is 0.05 and friction 0.99: v tends to 4.95, so v = 4.95 − 3.75 · 0.99^(f − 1).
        ASSERT_NEAR(g_player.velocity.z, 4.95f - 3.75f * std::pow(0.99f, f - 1), 1e-4f) << f;
    }
    Frame({'W'});
    // Landing at |(0, −1.5, 2.18)| = 2.64, at least 1.7: the dip and the clack, no damage.
    EXPECT_EQ(std::pair(g_player.airborne, g_player.landingDip), std::pair(false, 15.0f));
    EXPECT_EQ(sounds, std::vector<Sound>{Played("kachi44.wav", -500, 0, 31)});
}

// SPACE held: a jump in frame 1, 30 frames in the air, the landing in frame 31, then ten frames on the
// ground before the next jump (the cooldown of 10 counts down once per ground frame and jumps at 0):
// frames 1, 41, 81. The third lands in frame 111; let go in frame 114, the cooldown is gone and the
// press in frame 115 jumps at once.
TEST_F(Movement, HeldSpaceJumpsAgainAfterTenFramesOnTheGroundAndReleasingResetsIt) {
    std::vector<int> jumps;
    for (int f = 1; f <= 113; ++f) {
        const bool grounded = !g_player.airborne;
        Frame({VK_SPACE});
        if (grounded && g_player.airborne) jumps.push_back(f);
    }
    EXPECT_EQ(jumps, (std::vector<int>{1, 41, 81}));
    ASSERT_FALSE(g_player.airborne);
    Frame();
    Frame({VK_SPACE});
    EXPECT_EQ(std::pair(g_player.airborne, g_player.velocity.y), std::pair(true, 1.5f));
}

TEST_F(Movement, WalkingSettlesAtAboutSevenTenthsAndFootstepsFallEveryThirtyTwoFrames) {
    Frames(130, {'W'});
    // The phase climbs 6 a frame and turns past 180 and below 0: a step in frames 31, 63, 95, 127.
    auto step = [](int f) { return Played("bosu08.wav", -1000, 0, f); };
    EXPECT_EQ(sounds, (std::vector<Sound>{step(31), step(63), step(95), step(127)}));
    // v = (v + 1.2) · 0.37 settles at 0.444 / 0.63.
    EXPECT_NEAR(g_player.velocity.z, 0.444f / 0.63f, 1e-4f);
    EXPECT_EQ(g_player.bobPhase, 12);  // turned at −6 in frame 127, three steps up since
    EXPECT_FLOAT_EQ(g_player.bobOffset.x, 12.0f / 350.0f);
}

TEST_F(Movement, OpposedKeysAddNothingButStillWalk) {
    Frames(40, {'W', 'S'});
    EXPECT_EQ(g_player.position.z, 0.0f);
    EXPECT_EQ(sounds, std::vector<Sound>{Played("bosu08.wav", -1000, 0, 31)});
}

// An object taking 128 from the living player in the frames it is armed, as a laser does.
class Zapper : public Obj {
public:
    explicit Zapper(ID3DXMesh* mesh) : Obj(mesh, TYPE_LASER_TRAP, {0, -500, 0}, 0, 0) {}
    void Update() override {
        if (armed-- > 0) g_player.health -= 128.0f;
    }
    void Draw() override {}
    int armed = 0;
};

// Full health rests at 255.5 (clamped to 255, then half a point). Objects run before the health step:
// 255.5 − 128 = 127.5, +0.5 = 128; a second hit in the next frame leaves exactly 0, which kills; one
// frame later the half point in between keeps the player alive.
TEST_F(Movement, LaserHitsTwoFramesInARowKillButNotTwoFramesApart) {
    auto* zap = new Zapper(floor->mesh);
    Append(zap);
    Frames(3);
    EXPECT_EQ(g_player.health, 255.5f);
    zap->armed = 2;
    Frame();
    EXPECT_EQ(g_player.health, 128.0f);
    Frame();
    EXPECT_EQ(std::tie(g_player.dead, g_player.health, g_fadeSpeed), std::make_tuple(true, 0.0f, 2));

    Place({0, 12, 0});
    g_player.health = 128.5f;
    zap->armed = 1;
    Frame();
    EXPECT_EQ(std::pair(g_player.health, g_player.dead), std::pair(1.0f, false));
}

// A floor 11 under the eye with the player coming down at v: damage only below −4.5, 60 per unit; every
// landing here clacks (at least 1.7), a damaging one thuds too.
TEST_F(Movement, OnlyALandingFasterThanFourAndAHalfHurts) {
    for (auto [vy, thud] :
         {std::pair{-4.5f, false}, {std::nextafter(-4.5f, -5.0f), true}, {-1.7f, false}, {-5.0f, true}}) {
        Place({0, 11, 0});
        g_player.landingDip = 0.0f;  // left by the landing before
        g_player.velocity = D3DXVECTOR3(0, vy, 0);
        sounds.clear();
        CollidePlayer();
        EXPECT_EQ(std::tuple(g_player.position.y, g_player.health, sounds.size()),
                  std::tuple(12.0f, thud ? 255.0f + vy * 60.0f : 255.0f, thud ? size_t{2} : size_t{1}))
            << vy;
    }
}

TEST_F(Movement, FallingOutOfTheStageKillsOnTheNextFrame) {
    ClearObjects();
    Place({0, -199.5f, 0});
    Frames(3);  // on the ground by the reset, then −199.6, −199.8
    EXPECT_FLOAT_EQ(g_player.position.y, -199.8f);
    Frame();  // −200.1: caught
    EXPECT_EQ(std::tie(g_player.position.y, g_player.health, g_player.dead), std::make_tuple(-199.0f, 0.0f, false));
    Frame();
    EXPECT_TRUE(g_player.dead);
}

TEST_F(Movement, FallingSpeedIsCappedAtFiveAndTheWholeSpeedAtSeven) {
    ClearObjects();
    Place({0, 20000, 0});
    Frames(80, {'W'});
    EXPECT_EQ(g_player.velocity.y, -5.0f);
    Frames(2000, {'W'});
    EXPECT_NEAR(D3DXVec3Length(&g_player.velocity), 7.0f, 1e-4f);
}

// Dead on the ground the slide loses 0.6 a frame and stops below 0.1: 2 → 0.8, 0.32, 0.128, then 0.
TEST_F(Movement, ADeadPlayerSlidesToAStopWithFourTenthsLeftEachFrame) {
    Place({0, 2, 0});  // where a dead eye rests
    g_player.dead = true;
    g_player.velocity = D3DXVECTOR3(2, 0, 0);
    Frames(6);
    EXPECT_NEAR(g_player.position.x, 0.8f + 0.32f + 0.128f, 1e-5f);
    EXPECT_EQ(g_player.velocity.x, 0.0f);
}

// The death sequence: the pitch speeds up by 0.05 a frame to 70 and the view rolls with it (where the eye
// settles: the long fall below).
TEST_F(Movement, KilledStandingTheViewKeelsOver) {
    g_player.health = 0.0f;
    Frame();  // the death begins; this frame still runs alive
    ASSERT_TRUE(g_player.dead);
    Frames(52);
    EXPECT_NEAR(g_player.pitch, 68.9f, 1e-3f);  // 0.05 + 0.10 + ... + 2.60
    Frame();
    EXPECT_EQ(g_player.pitch, 70.0f);
    EXPECT_NEAR(g_player.up.x, -std::sin(70.0f * kDegToRad), 1e-6f);
    // The target still looks down at the pitch this frame began with.
    EXPECT_NEAR(g_player.lookAt.y - g_player.position.y, -std::sin(68.9f * kDegToRad), 1e-4f);
}

TEST_F(Movement, KilledInALongFallTheEyeStillSettlesTwoAboveTheFloor) {
    Place({0, 3000, 0});
    g_player.dead = true;
    g_player.airborne = true;
    while (g_player.velocity.y > -9.0f) Frame();  // falling 9 a frame, more than the eye height of 2
    ASSERT_GT(g_player.position.y, 100.0f);
    Frames(600);
    EXPECT_NEAR(g_player.position.y, 2.0f, 1e-3f);
}

}  // namespace
