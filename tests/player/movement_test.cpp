// Walking, jumping, falling and health, frame by frame on flat ground, against numbers worked out from
// the rules: gravity 0.1, a jump of 1.5, friction 0.37 on the ground and 0.99 in the air.
#include <gtest/gtest.h>

#include <cmath>

#include "app/fade.h"
#include "app/globals.h"
#include "player/player_world.h"

using namespace testing_support;

namespace {

// An object that takes 128 from the living player's health in the frames it is armed, as a laser does.
class Zapper : public Obj {
public:
    explicit Zapper(ID3DXMesh* mesh) : Obj(mesh, TYPE_LASER_TRAP, {0, -500, 0}, 0, 0) {}
    void Update() override {
        if (armed && !g_player.dead) g_player.health -= 128.0f;
        armed = false;
    }
    void Draw() override {}
    bool armed = false;
};

class Movement : public PlayerWorld {
protected:
    void SetUp() override {
        PlayerWorld::SetUp();
        floor = AddFloor(0.0f);
        PlaceAt({0, 12, 0});
    }
    Obj* floor = nullptr;
};

TEST_F(Movement, StandingJumpIsAirborneThirtyFramesAndLandsQuietly) {
    Frame({VK_SPACE});
    EXPECT_FLOAT_EQ(g_player.velocity.y, 1.5f);
    EXPECT_FLOAT_EQ(g_player.position.y, 13.5f);
    for (int f = 1; f <= 30; ++f) {
        EXPECT_TRUE(g_player.airborne) << "after frame " << f;
        if (f < 30) Frame();
    }
    // Heights 1.5k - 0.05k(k - 1) above the standing eye: 1.5 after 30 frames, 0 after 31.
    EXPECT_NEAR(g_player.position.y, 13.5f, 1e-3f);
    Frame();
    EXPECT_FALSE(g_player.airborne);
    EXPECT_NEAR(g_player.position.y, 12.0f, 1e-4f);
    EXPECT_EQ(g_player.velocity.y, -0.5f);
    EXPECT_EQ(g_player.landingDip, 0.0f);  // landed at a speed of 1.5
    EXPECT_TRUE(sounds.empty());
    EXPECT_TRUE(floor->playerOnTop);
}

TEST_F(Movement, RunningJumpLandsWithTheDipAndTheClack) {
    Frame({'W', VK_SPACE});
    EXPECT_FLOAT_EQ(g_player.velocity.z, 1.2f);  // across the ground exactly 1.2
    for (int f = 2; f <= 30; ++f) {
        Frame({'W'});
        // In the air the push is 0.05 and friction 0.99: 4.95 - 3.75 · 0.99^(f - 1).
        EXPECT_NEAR(g_player.velocity.z, 4.95f - 3.75f * std::pow(0.99f, f - 1), 1e-4f) << f;
        EXPECT_TRUE(g_player.airborne);
    }
    EXPECT_TRUE(sounds.empty());
    Frame({'W'});
    EXPECT_FALSE(g_player.airborne);
    // Landing at sqrt(2.176² + 1.5²) = 2.64, at least 1.7: the dip and the clack, nothing else.
    EXPECT_EQ(g_player.landingDip, 15.0f);
    EXPECT_EQ(Described(sounds), std::vector<std::string>{"kachi44.wav -500 0"});
    EXPECT_NEAR(g_player.position.y, 12.0f, 1e-4f);
}

TEST_F(Movement, WalkingSettlesAtAboutSevenTenthsAndFootstepsFallEveryThirtyTwoFrames) {
    std::vector<int> steps;
    for (int f = 1; f <= 130; ++f) {
        size_t before = sounds.size();
        Frame({'W'});
        for (size_t i = before; i < sounds.size(); ++i) {
            EXPECT_EQ(Described(sounds, i)[0], "bosu08.wav -1000 0");
            steps.push_back(f);
        }
    }
    EXPECT_EQ(steps, (std::vector<int>{31, 63, 95, 127}));
    // v = (v + 1.2) · 0.37 settles at 0.444 / 0.63.
    EXPECT_NEAR(g_player.velocity.z, 0.444f / 0.63f, 1e-4f);
    EXPECT_NEAR(g_player.velocity.x, 0.0f, 1e-6f);
    EXPECT_FALSE(g_player.airborne);
    // The phase turned at -6 in frame 127 and has climbed three steps since.
    EXPECT_EQ(g_player.bobPhase, 12);
    EXPECT_FLOAT_EQ(g_player.bobOffset.x, 12.0f / 350.0f);
}

TEST_F(Movement, WalkingWithTheBobNeverStartedMakesNoFootsteps) {
    g_player.bobStep = 0;  // as at program start
    Frames(200, {'W'});
    EXPECT_TRUE(sounds.empty());
    EXPECT_EQ(g_player.bobPhase, 0);
}

TEST_F(Movement, OpposedKeysAddNothingButStillWalk) {
    Frames(40, {'W', 'S'});
    EXPECT_EQ(g_player.velocity.z, 0.0f);
    EXPECT_EQ(g_player.position.z, 0.0f);
    EXPECT_EQ(Described(sounds), std::vector<std::string>{"bosu08.wav -1000 0"});  // at frame 31
}

TEST_F(Movement, HealthRestsAtTwoHundredFiftyFiveAndAHalf) {
    g_player.health = 250.0f;
    Frames(10);
    EXPECT_EQ(g_player.health, 255.0f);
    Frame();
    EXPECT_EQ(g_player.health, 255.5f);
    Frames(5);
    EXPECT_EQ(g_player.health, 255.5f);
}

TEST_F(Movement, LaserHitsTwoFramesInARowKillButNotTwoFramesApart) {
    Zapper* zap = new Zapper(floor->mesh);
    floor->next = zap;
    zap->prev = floor;
    Frame();
    ASSERT_EQ(g_player.health, 255.5f);
    zap->armed = true;
    Frame();
    EXPECT_EQ(g_player.health, 128.0f);  // 127.5 after the hit, 128 after this frame's health step
    zap->armed = true;
    Frame();
    EXPECT_EQ(g_player.health, 0.0f);
    EXPECT_TRUE(g_player.dead);
    EXPECT_EQ(g_fadeSpeed, 2);
    EXPECT_EQ(g_fadeRed | g_fadeGreen | g_fadeBlue, 0);

    PlaceAt({0, 12, 0});
    g_player.health = 128.5f;  // a hit one frame later than the first
    zap->armed = true;
    Frame();  // 0.5 survives
    EXPECT_EQ(g_player.health, 1.0f);
    EXPECT_FALSE(g_player.dead);
}

TEST_F(Movement, ALandingFasterThanFourAndAHalfKillsFromFullHealth) {
    PlaceAt({0, 212, 0});
    g_player.health = 255.5f;
    int landed = 0;
    for (int f = 1; f <= 200 && !landed; ++f) {
        Frame();
        if (!g_player.airborne) landed = f;
    }
    ASSERT_GT(landed, 0);
    // Falling 200 takes 64 frames: the speed reaches the cap of 5 by then.
    EXPECT_EQ(Described(sounds), (std::vector<std::string>{"kachi44.wav -500 0", "bosu20.wav 0 0"}));
    EXPECT_FLOAT_EQ(g_player.health, 255.5f - 5.0f * 60.0f);
    EXPECT_FALSE(g_player.dead);  // the next health step begins the death
    EXPECT_NEAR(g_player.position.y, 12.0f, 1e-3f);
    Frame();
    EXPECT_TRUE(g_player.dead);
    EXPECT_EQ(g_player.health, 0.0f);
}

TEST_F(Movement, FallingOutOfTheStageKillsOnTheNextFrame) {
    ClearObjects();
    PlaceAt({0, -199.5f, 0});
    Frame();  // on the ground by the reset: no fall yet
    EXPECT_EQ(g_player.position.y, -199.5f);
    Frames(2);  // -199.6, -199.8
    EXPECT_FLOAT_EQ(g_player.position.y, -199.8f);
    Frame();  // -200.1: caught
    EXPECT_EQ(g_player.position.y, -199.0f);
    EXPECT_EQ(g_player.health, 0.0f);
    EXPECT_FALSE(g_player.dead);
    Frame();
    EXPECT_TRUE(g_player.dead);
}

TEST_F(Movement, FallingSpeedIsCappedAtFiveAndTheWholeSpeedAtSeven) {
    ClearObjects();
    PlaceAt({0, 20000, 0});
    Frames(80, {'W'});
    EXPECT_EQ(g_player.velocity.y, -5.0f);
    Frames(2000, {'W'});
    EXPECT_NEAR(D3DXVec3Length(&g_player.velocity), 7.0f, 1e-4f);
    EXPECT_GT(g_player.velocity.z, 4.85f);
}

}  // namespace
