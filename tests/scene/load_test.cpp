// The load screen's frame: nothing cleared, one overlay over the picture in the fade's colour at the
// fade's level (the overlay's own corners and colour are the sprite tests').
#include <gtest/gtest.h>

#include "app/fade.h"
#include "app/globals.h"
#include "app/scene_manager.h"
#include "d3d9/state.h"
#include "support/game_run.h"
#include "support/start_content.h"

using namespace testing_support;

namespace {

TEST(LoadScene, DrawsOnlyTheFadeOverlay) {
    TempFolder folder;
    ResetForNewRun();
    WriteStartContent();
    headless::onFrame([](int frame) {
        if (frame == 2) headless::pushKeyDown(VK_ESCAPE);
        if (frame != 1) return;
        Scene* load = g_sceneManager->scenes[SCENE_LOAD];
        g_fadeRed = g_fadeGreen = g_fadeBlue = 0;
        g_fadeLevel = 255;
        const uint64_t clears = g_device->impl->counters.clears;
        headless::recordDraws(true);
        g_device->BeginScene();
        load->Draw3D();
        load->Draw2D();
        g_device->EndScene();
        EXPECT_EQ(g_device->impl->counters.clears, clears) << "the previous picture stays";
        ASSERT_EQ(headless::recordedDraws().size(), 1u);
        EXPECT_EQ(headless::recordedDraws()[0].state.textures[0], g_whiteTexture);
        headless::recordDraws(false);
    });
    EXPECT_EQ(RunGame(), 0);
    headless::reset();
}

}  // namespace
