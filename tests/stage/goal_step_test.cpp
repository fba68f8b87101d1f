// The goal (its reach, its sound once, the next stage and the white fade) and moving steps (arrival
// and return, ends passed at high speed, the slow step that never leaves, the bulge on the drawn step).
#include <gtest/gtest.h>

#include <tuple>

#include "app/fade.h"
#include "app/globals.h"
#include "player/player_state.h"
#include "stage/ogoal.h"
#include "stage/ostep.h"
#include "stage/stage_state.h"
#include "support/world.h"

using namespace testing_support;

namespace {

class GoalTest : public World {};
class StepTest : public World {
protected:
    OStep* Step(float speed, D3DXVECTOR3 target) {
        return static_cast<OStep*>(Make(TYPE_STEP, "step.x", {0, 0, 0}, {target.x, target.y, target.z, speed}));
    }
};

// Its next stage 0 lies outside the list and is passed on as it is: the game scene sends 0 and 5 on to
// the clear screen.
TEST_F(GoalTest, ReachedWithinTenOfThePointAboveItOnceWithItsSound) {
    Make(TYPE_GOAL, "goal.x", {0, 0, 0}, {0});
    g_stageIndex = 2;
    g_fadeLevel = 40;
    g_fadeSpeed = 0;
    g_player.position = D3DXVECTOR3(0, 12, 10);  // exactly 10 from (0, 12, 0): not yet
    UpdateObjects();
    EXPECT_EQ(std::tie(g_goalReached, g_stageIndex, g_fadeSpeed), std::make_tuple(false, 2, 0));

    g_player.position = D3DXVECTOR3(0, 12, 9.99f);
    for (int i = 0; i < 10; ++i) UpdateObjects();
    // The white fade climbs from where it stands.
    EXPECT_EQ(std::tie(g_goalReached, g_stageIndex, g_fadeSpeed, g_fadeRed, g_fadeGreen, g_fadeBlue, g_fadeLevel),
              std::make_tuple(true, 0, 5, 255, 255, 255, 40));
    EXPECT_EQ(sounds, (std::vector<Sound>{{true, "mecha15.wav", -1000, 0, 2}}));
}

TEST_F(StepTest, ArrivesAfterTwentyFramesAndIsBackTwentyLater) {
    OStep* step = Step(0.5f, {10, 0, 0});
    for (int i = 1; i <= 40; ++i) {
        UpdateObjects();
        float expected = i <= 20 ? 0.5f * i : 10.0f - 0.5f * (i - 20);
        EXPECT_EQ(step->position, D3DXVECTOR3(expected, 0, 0)) << i;
        EXPECT_EQ(step->speed, i < 20 || i == 40 ? 0.5f : -0.5f) << i;
    }
}

TEST_F(StepTest, TooFastItPassesItsEndAndTooSlowItNeverLeaves) {
    OStep* fast = Step(0.3f, {10.05f, 0, 0});  // 9.9 and 10.2 are both 0.15 from the end
    OStep* slow = Step(0.05f, {0, 0, 10});
    OStep* tenth = Step(0.1f, {0, 0, 20});     // its first move ends 0.1 from its start, not within 0.1
    OStep* snapping = Step(0.32f, {1, 0, 0});  // 0.96 snaps onto the end, 0.04 back onto the start
    OStep* finer = Step(0.16f, {1, 0, 0});     // the same in six steps each way
    for (int i = 0; i < 100; ++i) UpdateObjects();
    EXPECT_NEAR(fast->position.x, 30.0f, 1e-3);
    EXPECT_EQ(fast->speed, 0.3f);
    EXPECT_EQ(slow->position, D3DXVECTOR3(0, 0, 0));
    EXPECT_NEAR(tenth->position.z, 10.0f, 1e-3);
    // Six frames a round trip, 1 - 0.32 in the fourth; twelve for the finer one, 4 × 0.16 in the fourth.
    EXPECT_FLOAT_EQ(snapping->position.x, 0.68f);
    EXPECT_FLOAT_EQ(finer->position.x, 0.64f);
}

TEST_F(StepTest, DrawnBentByTheBulgeWithItsDrawMatrix) {
    OStep* step = Step(0.5f, {10, 0, 0});
    step->position = D3DXVECTOR3(4, 2, 0);
    g_player.bulgeCenter[0] = D3DXVECTOR3(4, 2, 0);  // the middle of the slab's top
    g_player.bulgeRadius[0] = 6.0f;
    step->workVertices = step->baseVertices;  // as loaded: only the draw can move them
    headless::recordDraws(true);
    step->Draw();
    ASSERT_FALSE(headless::recordedDraws().empty());
    const D3DMATRIX& world = headless::recordedDraws()[0].state.world;
    EXPECT_EQ(std::pair(world._41, world._42), std::pair(4.0f, 2.0f));
    headless::recordDraws(false);
    int moved = 0;
    for (size_t v = 0; v < step->baseVertices.size(); ++v) moved += step->workVertices[v] != step->baseVertices[v];
    EXPECT_GT(moved, 0);
}

}  // namespace
