// Laser traps: idle while their channel is off, the beam measured every second active frame, stopped by
// the nearest object but never by a trap, the damage and the beep, and how the beam is drawn.
#include <gtest/gtest.h>

#include <tuple>

#include "app/globals.h"
#include "player/player_state.h"
#include "resource/resource_cache.h"
#include "stage/olasertrap.h"
#include "support/world.h"

using namespace testing_support;

namespace {

// A trap at (0, 20, 0) looking down -z; the player's body (plycol.x: a cylinder of radius 2.5 round the
// eye) with the eye at (0, 20, -30), so the beam meets the body 27.5 from the trap.
class LaserTrapTest : public World {
protected:
    void SetUp() override {
        World::SetUp();
        g_leverStates.assign(3, false);  // channel 2 switches the trap
        g_player.position = D3DXVECTOR3(0, 20, -30);
        g_player.health = 255.0f;
    }
    OLaserTrap* Trap(D3DXVECTOR3 at = {0, 20, 0}, float yawSpeed = 0.0f, float pitchSpeed = 0.0f) {
        return static_cast<OLaserTrap*>(Make(TYPE_LASER_TRAP, "ltrap.x", at, {2, yawSpeed, pitchSpeed}));
    }
    void Body() { Make(TYPE_PLAYER_BODY, "plycol.x", g_player.position); }
    static Sound Beep(int frame) { return {true, "beep07.wav", -2000, 0, frame}; }
};

TEST_F(LaserTrapTest, IdleWhileOffThenTurnsAndAlternatesItsPhase) {
    OLaserTrap* trap = Trap({0, 20, 0}, 3.0f, -1.0f);
    trap->yaw = 359.0f;
    for (int i = 0; i < 5; ++i) UpdateObjects();
    EXPECT_EQ(std::tie(trap->phase, trap->yaw, trap->pitch, trap->beamLength), std::make_tuple(0, 359.0f, 0.0f, -1.0f));
    EXPECT_TRUE(sounds.empty());

    // On: the phase alternates; the yaw 362 is turned back by a whole turn, the pitch -1 brought up by one.
    // Off again with the phase at 1: phase and angles held.
    for (auto [on, phase, yaw, pitch] : {std::tuple{true, 1, 2.0f, 359.0f},
                                         {true, 0, 5.0f, 358.0f},
                                         {true, 1, 8.0f, 357.0f},
                                         {false, 1, 8.0f, 357.0f}}) {
        g_leverStates[2] = on;
        UpdateObjects();
        EXPECT_EQ(std::tie(trap->phase, trap->yaw, trap->pitch), std::tie(phase, yaw, pitch)) << yaw;
    }
}

TEST_F(LaserTrapTest, AnAbsurdTurningSpeedFromABrokenFileStillEndsEachFrame) {
    OLaserTrap* trap = Trap({0, 20, 0}, 1.0e30f, -3.0e38f);
    g_leverStates[2] = true;
    for (int i = 0; i < 4; ++i) UpdateObjects();  // whole turns taken off in one step, not 10^27 of them
    EXPECT_TRUE(trap->yaw >= 0.0f && trap->yaw <= 360.0f) << trap->yaw;
    EXPECT_TRUE(trap->pitch >= 0.0f && trap->pitch <= 360.0f) << trap->pitch;
}

TEST_F(LaserTrapTest, TheBodyAsNearestHitCosts128OnTheMeasuringFramesWhileThePlayerLives) {
    Body();
    OLaserTrap* trap = Trap();
    g_leverStates[2] = true;
    UpdateObjects();  // the first active frame tests the body only, and nothing has been measured yet
    EXPECT_EQ(g_player.health, 255.0f);
    UpdateObjects();  // measured against everything: the body is nearest
    EXPECT_EQ(std::pair(trap->beamLength, g_player.health), std::pair(27.5f, 127.0f));
    UpdateObjects();  // the body alone, no nearer than the measured length: no hit
    EXPECT_EQ(g_player.health, 127.0f);
    UpdateObjects();
    EXPECT_EQ(g_player.health, -1.0f);
    // A dead player hears the beep but loses nothing.
    g_player.dead = true;
    g_player.health = 0.0f;
    UpdateObjects();
    UpdateObjects();
    EXPECT_EQ(g_player.health, 0.0f);
    EXPECT_EQ(sounds, (std::vector<Sound>{Beep(2), Beep(4), Beep(6)}));
}

TEST_F(LaserTrapTest, ABodyComingNearerIsHitOnEveryFrame) {
    Body();
    Trap();
    g_leverStates[2] = true;
    g_player.health = 1000.0f;
    UpdateObjects();
    for (int i = 0; i < 4; ++i) {
        g_player.position.z += 1.0f;  // the body follows the eye in its own Update, before the trap's
        UpdateObjects();
    }
    EXPECT_EQ(g_player.health, 1000.0f - 4 * 128.0f);
    EXPECT_EQ(sounds, (std::vector<Sound>{Beep(2), Beep(3), Beep(4), Beep(5)}));
}

TEST_F(LaserTrapTest, AWallStopsTheBeamFromTheFirstActiveFrameOn) {
    BoxMesh("wall.x", {{{-20, -20, -0.5f}, {20, 20, 0.5f}}});
    Body();
    Make(TYPE_STAGE, "wall.x", {0, 20, -15});
    OLaserTrap* trap = Trap();
    for (int i = 0; i < 3; ++i) UpdateObjects();
    g_leverStates[2] = true;  // switched on with the player behind the wall
    for (int i = 0; i < 6; ++i) {
        UpdateObjects();
        EXPECT_EQ(g_player.health, 255.0f) << "frame " << frame - 1;
    }
    EXPECT_FLOAT_EQ(trap->beamLength, 14.5f);
    EXPECT_TRUE(sounds.empty());
}

TEST_F(LaserTrapTest, NeverHitsItselfOrAnotherTrap) {
    Body();
    OLaserTrap* first = Trap();
    OLaserTrap* second = Trap({0, 20, -10});  // in the first one's line, the player behind it
    UpdateObjects();
    g_leverStates[2] = true;
    UpdateObjects();
    UpdateObjects();
    EXPECT_EQ(std::pair(first->beamLength, second->beamLength), std::pair(27.5f, 17.5f));
    EXPECT_EQ(g_player.health, 255.0f - 2 * 128.0f);
    EXPECT_EQ(sounds, (std::vector<Sound>{Beep(3), Beep(3)}));
}

// A body whose face and a wall's face are both exactly 27.5 from the trap: the one listed first is the
// nearest, so the body costs 128 only when it comes before the wall.
TEST_F(LaserTrapTest, AnEqualDistanceKeepsTheFirstHit) {
    BoxMesh("body.x", {{{-3, -3, -1}, {3, 3, 2.5f}}});
    BoxMesh("wall.x", {{{-20, -20, -1}, {20, 20, 0}}});
    for (bool bodyFirst : {true, false}) {
        ClearObjects();
        g_player.health = 255.0f;
        if (bodyFirst) Make(TYPE_PLAYER_BODY, "body.x", g_player.position);
        Make(TYPE_STAGE, "wall.x", {0, 20, -27.5f});
        if (!bodyFirst) Make(TYPE_PLAYER_BODY, "body.x", g_player.position);
        OLaserTrap* trap = Trap();
        g_leverStates[2] = true;
        UpdateObjects();
        UpdateObjects();
        EXPECT_EQ(std::pair(trap->beamLength, g_player.health), std::pair(27.5f, bodyFirst ? 127.0f : 255.0f));
    }
}

TEST_F(LaserTrapTest, TheBeamIsDrawnOnMeasuringFramesStretchedToItsLength) {
    Body();
    ASSERT_TRUE(g_resourceCache->LoadMesh("laser.x"));
    OLaserTrap* trap = Trap();
    g_leverStates[2] = true;
    trap->yaw = 180.0f;  // looking down +z, away from the player
    const MeshRecord* body = g_resourceCache->Find("ltrap.x");
    const DWORD beamMaterials = g_resourceCache->Find("laser.x")->materialCount;
    UpdateObjects();
    UpdateObjects();  // phase 0: nothing hit
    EXPECT_EQ(trap->beamLength, -1.0f);
    headless::recordDraws(true);
    trap->Draw();
    const auto& draws = headless::recordedDraws();
    ASSERT_EQ(draws.size(), body->materialCount + beamMaterials);
    const d3d9::DeviceState& beamState = draws.back().state;
    // Scaling(1, 1, -1) × RotationY(180) × Translation(0, 20, 0): the beam points back along -z.
    ExpectNear({beamState.world._11, beamState.world._33, beamState.world._42}, {-1, 1, 20}, 1e-6f);
    // Depth writing off for the beam alone: on for the body before it and again after it.
    const auto zWrite = [](const d3d9::DeviceState& s) { return s.render[D3DRS_ZWRITEENABLE]; };
    EXPECT_EQ(std::tuple(zWrite(draws.front().state), zWrite(beamState), zWrite(g_device->impl->state)),
              std::tuple(DWORD{TRUE}, DWORD{FALSE}, DWORD{TRUE}));
    EXPECT_EQ(draws.front().state.world._33, -1.0f);

    // Facing the player: stretched to 27.5; on the phase-1 frame and while off, the body alone.
    trap->yaw = 0.0f;
    UpdateObjects();
    UpdateObjects();
    headless::recordDraws(true);
    trap->Draw();
    EXPECT_FLOAT_EQ(headless::recordedDraws().back().state.world._33, 27.5f);
    UpdateObjects();
    headless::recordDraws(true);
    trap->Draw();
    EXPECT_EQ(headless::recordedDraws().size(), body->materialCount);
    headless::recordDraws(false);
}

}  // namespace
