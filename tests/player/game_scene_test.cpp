// The game scene: what Enter sets up, the hand-over at the end of a stage (goal before death, the
// stage number tested unsigned), the 2D pass (crosshair, blood by health, fade) and Leave.
#include <gtest/gtest.h>

#include <cstring>

#include "app/fade.h"
#include "app/globals.h"
#include "d3d9/state.h"
#include "headless/control.h"
#include "player/player_world.h"
#include "resource/resource_cache.h"
#include "scene/game.h"
#include "stage/stage_state.h"
#include "support/start_content.h"

using namespace testing_support;

namespace {

class GameScene : public PlayerWorld {
protected:
    void SetUp() override {
        PlayerWorld::SetUp();
        WriteText("data/xfile/gun.x", SmallMeshX(7));
        WriteText("data/xfile/sphere.x", SmallMeshX(1));
        ASSERT_TRUE(g_resourceCache->LoadMesh("gun.x"));
        ASSERT_TRUE(g_resourceCache->LoadMesh("sphere.x"));
        for (IDirect3DTexture9** t :
             {&g_laserTexture, &g_hitTexture, &g_crosshairTexture, &g_whiteTexture, &g_bloodTexture})
            ASSERT_EQ(g_device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, t, nullptr), D3D_OK);
        ASSERT_EQ(D3DXCreateSprite(g_device, &g_sprite), D3D_OK);
        AddFloor();
        PlaceAt({0, 12, 0});
        g_goalReached = false;
        g_fadeLevel = 0;
        g_stageIndex = 1;
    }
    void TearDown() override {
        scene.Leave();
        for (IDirect3DTexture9** t : {&g_whiteTexture, &g_bloodTexture}) {
            (*t)->Release();
            *t = nullptr;
        }
        g_sprite->Release();
        g_sprite = nullptr;
        PlayerWorld::TearDown();
    }
    // The quad the sprite drew with `texture`: its four corners and colour.
    struct SpriteQuad {
        D3DXVECTOR3 corner[4];
        DWORD colour;
    };
    static bool FindQuad(IDirect3DTexture9* texture, SpriteQuad& out) {
        for (const auto& d : headless::recordedDraws()) {
            if (d.state.textures[0] != texture || d.stride != 24) continue;
            for (int i = 0; i < 4; ++i) std::memcpy(&out.corner[i], d.vertices.data() + 24 * i, 12);
            std::memcpy(&out.colour, d.vertices.data() + 12, 4);
            return true;
        }
        return false;
    }
    void Draw2D() {
        headless::recordDraws(true);
        g_device->BeginScene();
        scene.Draw2D();
        g_device->EndScene();
    }
    SGame scene;
};

TEST_F(GameScene, EnterHidesTheCursorTurnsFogOffFadesInFromWhiteAndRestartsTheHum) {
    const int shown = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    g_device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    EXPECT_TRUE(scene.Enter());
    EXPECT_EQ(ShowCursor(TRUE), shown);  // one lower than before Enter, then raised again here
    ShowCursor(FALSE);
    DWORD fog = 1;
    g_device->GetRenderState(D3DRS_FOGENABLE, &fog);
    EXPECT_EQ(fog, static_cast<DWORD>(FALSE));
    EXPECT_EQ(g_fadeLevel, 255);
    EXPECT_EQ(g_fadeSpeed, -5);
    EXPECT_EQ(g_fadeRed & 0xFF, 255);
    EXPECT_EQ(g_fadeGreen & 0xFF, 255);
    EXPECT_EQ(g_fadeBlue & 0xFF, 255);
    EXPECT_EQ(Described(sounds), std::vector<std::string>{"mecha01.wav -2500 1"});
}

TEST_F(GameScene, TheStageEndsOnlyOnceTheFadeCoversTheScreen) {
    struct Case {
        bool goal, dead;
        int16_t fade;
        int stage;
        SceneId next;
    };
    const Case cases[] = {
        {true, false, 255, 1, SCENE_LOAD},   {true, false, 255, 2, SCENE_LOAD},  {true, false, 255, 3, SCENE_LOAD},
        {true, false, 255, 4, SCENE_LOAD},   {true, false, 255, 0, SCENE_CLEAR}, {true, false, 255, 5, SCENE_CLEAR},
        {true, false, 255, -1, SCENE_CLEAR}, {true, false, 250, 2, SCENE_GAME},  {false, true, 255, 3, SCENE_LOAD},
        {false, true, 254, 3, SCENE_GAME},   {true, true, 255, 5, SCENE_CLEAR},  {false, false, 255, 2, SCENE_GAME},
        {true, false, -1, 2, SCENE_GAME},  // the level is compared signed
    };
    for (const Case& c : cases) {
        PlaceAt({0, 12, 0});
        g_player.dead = c.dead;
        g_goalReached = c.goal;
        g_fadeLevel = c.fade;
        g_stageIndex = c.stage;
        EXPECT_EQ(scene.Update(), c.next) << c.goal << c.dead << " " << c.fade << " " << c.stage;
        EXPECT_EQ(g_stageIndex, c.stage);
    }
}

TEST_F(GameScene, UpdateRunsTheObjectsThenThePlayer) {
    g_player.health = 100.0f;
    scene.Update();
    EXPECT_EQ(g_player.health, 100.5f);
    EXPECT_TRUE(g_objRoot.next->playerOnTop);
}

TEST_F(GameScene, TheCrosshairSitsOnTheCentreAndTheBloodShowsByHealth) {
    g_player.health = 127.5f;
    g_fadeLevel = 40;
    g_fadeRed = 0x1FF;  // only the low byte counts
    g_fadeGreen = 0;
    g_fadeBlue = 0x10;
    Draw2D();
    SpriteQuad q;
    ASSERT_TRUE(FindQuad(g_crosshairTexture, q));
    EXPECT_EQ(q.corner[0], D3DXVECTOR3(288, 208, 0));
    EXPECT_EQ(q.corner[2], D3DXVECTOR3(352, 272, 0));
    EXPECT_EQ(q.colour, 0xFFFFFFFFu);
    ASSERT_TRUE(FindQuad(g_bloodTexture, q));
    EXPECT_EQ(q.corner[0], D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(q.corner[2], D3DXVECTOR3(640, 480, 0));
    EXPECT_EQ(q.colour, 0x7FFFFFFFu);  // 255 - 127.5 truncated: 127
    ASSERT_TRUE(FindQuad(g_whiteTexture, q));
    EXPECT_EQ(q.colour, 0x28FF0010u);
    EXPECT_EQ(q.corner[2], D3DXVECTOR3(640, 480, 0));

    const struct {
        float health;
        DWORD alpha;
    } levels[] = {{255.5f, 0}, {255.0f, 0}, {0.0f, 255}, {254.9f, 0}, {1.0f, 254}, {-44.5f, 255}};
    for (const auto& l : levels) {
        g_player.health = l.health;
        Draw2D();
        ASSERT_TRUE(FindQuad(g_bloodTexture, q));
        EXPECT_EQ(q.colour >> 24, l.alpha) << l.health;
    }
}

TEST_F(GameScene, TheThreePassLeavesDepthWritingOnAndTheViewAtTheEye) {
    g_player.lookAt = D3DXVECTOR3(0, 12, 1);
    g_player.bulgeRadius[2] = 3.0f;  // a sphere turns depth writing off while it is drawn
    g_device->BeginScene();
    scene.Draw3D();
    g_device->EndScene();
    DWORD z = 0, lighting = 1, blend = 0;
    g_device->GetRenderState(D3DRS_ZWRITEENABLE, &z);
    g_device->GetRenderState(D3DRS_LIGHTING, &lighting);
    g_device->GetRenderState(D3DRS_DESTBLEND, &blend);
    EXPECT_EQ(z, static_cast<DWORD>(TRUE));
    EXPECT_EQ(lighting, static_cast<DWORD>(FALSE));
    EXPECT_EQ(blend, static_cast<DWORD>(D3DBLEND_INVSRCALPHA));
    // The eye at (0, 12, 0) looking along +z: the view moves the world down by 12.
    EXPECT_NEAR(g_viewMatrix._42, -12.0f, 1e-5f);
    EXPECT_NEAR(g_viewMatrix._33, 1.0f, 1e-6f);
    EXPECT_NEAR(g_projectionMatrix._43, -1000.0f / 999.0f, 1e-5f);
}

TEST_F(GameScene, LeaveReleasesTheStageTexturesOnce) {
    scene.Leave();
    EXPECT_EQ(g_laserTexture, nullptr);
    EXPECT_EQ(g_hitTexture, nullptr);
    EXPECT_EQ(g_crosshairTexture, nullptr);
    scene.Leave();  // nothing left to release
}

}  // namespace
