// A stage played through the real WinMain headless: the player dies, the screen fades to black, the
// stage loads again and play resumes with the view at rest although the death sequence parked the
// cursor at a screen point outside the window's centre; the mouse then turns the view as before.
#include <gtest/gtest.h>

#include "app/fade.h"
#include "app/globals.h"
#include "app/scene_manager.h"
#include "player/player_state.h"
#include "support/game_run.h"
#include "support/stage_files.h"

using namespace testing_support;

namespace {

bool InGame() { return g_sceneManager && g_sceneManager->current == g_sceneManager->scenes[SCENE_GAME]; }

TEST(StagePlay, AfterADeathTheReloadedStageStartsWithTheViewAtRest) {
    ResetForNewRun();
    TempFolder folder;
    WriteSmallStage();
    int entered = -1, died = -1, reloaded = -1, turnedAt = -1;
    float yawBeforeDeath = 0.0f;
    headless::onFrame([&](int frame) {
        if (frame == 2) headless::holdKey(VK_RETURN, true);
        if (frame == 4) headless::holdKey(VK_RETURN, false);
        const bool game = InGame();
        if (game && entered < 0) entered = frame;
        if (entered >= 0 && frame == entered + 60) {
            headless::moveMouse(45, 0);  // 3 degrees
        }
        if (entered >= 0 && frame == entered + 62) {
            yawBeforeDeath = g_player.yaw;
            g_player.health = 0.0f;  // as a laser would leave it
            died = frame;
        }
        if (died >= 0 && frame > died && frame < died + 40 && frame % 5 == 0) headless::moveMouse(30, -20);
        if (died >= 0 && reloaded < 0 && game && !g_player.dead && frame > died + 2) {
            reloaded = frame;
            EXPECT_EQ(g_player.yaw, 0.0f);
            EXPECT_EQ(g_player.pitch, 0.0f);
            EXPECT_EQ(g_stageIndex, 1);
        }
        if (reloaded >= 0 && frame == reloaded + 3) {
            EXPECT_EQ(g_player.yaw, 0.0f);  // no jump from where the cursor was parked
            EXPECT_EQ(g_player.pitch, 0.0f);
            headless::moveMouse(15, 0);
            turnedAt = frame;
        }
        if (turnedAt >= 0 && frame == turnedAt + 2) {
            EXPECT_EQ(g_player.yaw, 1.0f);
            headless::pushKeyDown(VK_ESCAPE);
        }
    });
    headless::setFrameLimit(1000);
    EXPECT_EQ(RunGame(), 0);
    ASSERT_GE(entered, 0);
    EXPECT_EQ(yawBeforeDeath, 3.0f);
    ASSERT_GE(reloaded, 0);
    // Dead from the frame after the hit; black after 128 frames of the fade; one frame of the load scene.
    EXPECT_GE(reloaded - died, 128);
    EXPECT_LE(reloaded - died, 134);
    EXPECT_GE(turnedAt, 0);
    headless::reset();
}

}  // namespace
