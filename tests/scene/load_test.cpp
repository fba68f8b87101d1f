// The load screen's frame: nothing cleared, one overlay over the whole 640 × 480 picture in the fade's
// colour at the fade's level.
#include <gtest/gtest.h>

#include <cstring>

#include "app/fade.h"
#include "app/globals.h"
#include "app/scene_manager.h"
#include "d3d9/state.h"
#include "support/game_run.h"
#include "support/start_content.h"

using namespace testing_support;

namespace {

struct SpriteVertex {
    float x, y, z;
    D3DCOLOR color;
    float u, v;
};

TEST(LoadScene, DrawsOnlyTheFadeOverlayBlackAtFullLevelAndTransparentAtZero) {
    TempFolder folder;
    ResetForNewRun();
    WriteStartContent();
    headless::onFrame([](int frame) {
        if (frame == 2) headless::pushKeyDown(VK_ESCAPE);
        if (frame != 1) return;
        Scene* load = g_sceneManager->scenes[SCENE_LOAD];
        g_fadeRed = g_fadeGreen = g_fadeBlue = 0;
        for (int level : {255, 0}) {
            g_fadeLevel = level;
            const uint64_t clears = g_device->impl->counters.clears;
            headless::recordDraws(true);
            g_device->BeginScene();
            load->Draw3D();
            load->Draw2D();
            g_device->EndScene();
            EXPECT_EQ(g_device->impl->counters.clears, clears) << "the previous picture stays";
            const auto& draws = headless::recordedDraws();
            ASSERT_EQ(draws.size(), 1u) << level;
            const auto& d = draws[0];
            EXPECT_EQ(d.state.textures[0], g_whiteTexture);
            EXPECT_EQ(d.state.render[D3DRS_ALPHABLENDENABLE], DWORD(TRUE));
            EXPECT_EQ(d.state.render[D3DRS_SRCBLEND], DWORD(D3DBLEND_SRCALPHA));
            EXPECT_EQ(d.state.render[D3DRS_DESTBLEND], DWORD(D3DBLEND_INVSRCALPHA));
            ASSERT_EQ(d.stride, sizeof(SpriteVertex));
            ASSERT_EQ(d.vertices.size(), 4 * sizeof(SpriteVertex));
            SpriteVertex v[4];
            std::memcpy(v, d.vertices.data(), sizeof v);
            const float corners[4][2] = {{0, 0}, {640, 0}, {640, 480}, {0, 480}};
            for (int i = 0; i < 4; ++i) {
                EXPECT_FLOAT_EQ(v[i].x, corners[i][0]) << level << " corner " << i;
                EXPECT_FLOAT_EQ(v[i].y, corners[i][1]) << level << " corner " << i;
                // Opaque black over everything at 255; at 0 the blend leaves the picture as it was.
                EXPECT_EQ(v[i].color, D3DCOLOR_ARGB(level, 0, 0, 0)) << level << " corner " << i;
            }
        }
        headless::recordDraws(false);
    });
    EXPECT_EQ(RunGame(), 0);
    headless::reset();
}

}  // namespace
