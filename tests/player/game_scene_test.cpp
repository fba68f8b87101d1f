// The game scene: what Enter sets up, the frame's order (objects, then the player), the hand-over at
// the end of a stage, the 3D pass's clear and camera, the 2D pass and Leave.
#include <gtest/gtest.h>

#include <dsound.h>

#include <cstring>
#include <tuple>

#include "app/fade.h"
#include "app/globals.h"
#include "d3d9/state.h"
#include "scene/game.h"
#include "stage/stage_state.h"
#include "support/world.h"

using namespace testing_support;

namespace {

class GameScene : public World {
protected:
    void SetUp() override {
        World::SetUp();
        ArmedPlayer();
        for (IDirect3DTexture9** t : {&g_whiteTexture, &g_bloodTexture})
            ASSERT_EQ(g_device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, t, nullptr), D3D_OK);
        ASSERT_EQ(D3DXCreateSprite(g_device, &g_sprite), D3D_OK);
    }
    void TearDown() override {
        g_whiteTexture->Release();
        g_bloodTexture->Release();
        g_sprite->Release();
        g_whiteTexture = g_bloodTexture = nullptr;
        g_sprite = nullptr;
        World::TearDown();
    }
    // The colour of the sprite drawn with `texture`, and its far corner.
    static DWORD Colour(IDirect3DTexture9* texture, D3DXVECTOR3* corner2 = nullptr) {
        for (const auto& d : headless::recordedDraws()) {
            if (d.state.textures[0] != texture || d.stride != 24) continue;
            if (corner2) std::memcpy(corner2, d.vertices.data() + 48, 12);
            DWORD colour;
            std::memcpy(&colour, d.vertices.data() + 12, 4);
            return colour;
        }
        ADD_FAILURE() << "not drawn";
        return 0;
    }
    SGame scene;
};

TEST_F(GameScene, EnterHidesTheCursorTurnsFogOffFadesInFromWhiteAndRestartsTheHum) {
    const int shown = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    g_device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    EXPECT_TRUE(scene.Enter());
    EXPECT_EQ(ShowCursor(TRUE), shown);  // one lower than before Enter, then raised again here
    EXPECT_EQ(g_device->impl->state.render[D3DRS_FOGENABLE], static_cast<DWORD>(FALSE));
    EXPECT_EQ(std::tie(g_fadeLevel, g_fadeSpeed, g_fadeRed, g_fadeGreen, g_fadeBlue),
              std::make_tuple(255, -5, 255, 255, 255));
    EXPECT_EQ(sounds, (std::vector<Sound>{Played("mecha01.wav", -2500, DSBPLAY_LOOPING, frame)}));
}

// An object that notes the health it sees when it updates.
class Probe : public Obj {
public:
    explicit Probe(ID3DXMesh* mesh) : Obj(mesh, TYPE_STEP, {0, -500, 0}, 0, 0) {}
    void Update() override { seen = g_player.health; }
    void Draw() override {}
    float seen = 0.0f;
};

// The player's health step adds half a point: the object sees 100 only if it runs before the player.
TEST_F(GameScene, UpdateRunsTheObjectsThenThePlayer) {
    auto* probe = new Probe(g_objRoot.next->mesh);
    Append(probe);
    g_player.health = 100.0f;
    EXPECT_EQ(scene.Update(), SCENE_GAME);
    EXPECT_EQ(std::pair(probe->seen, g_player.health), std::pair(100.0f, 100.5f));
}

// Goal first, then death; either only once the fade level, a signed 16-bit number, has reached 255;
// stages 1 to 4 load, anything else is the end of the game.
struct End {
    bool goal, dead;
    int16_t fade;
    int stage;
    SceneId next;
};
TEST_F(GameScene, AtTheStagesEndItWaitsForTheFadeThenLoadsOrClears) {
    const End ends[] = {
        {true, false, 255, 1, SCENE_LOAD},  {true, false, 255, 4, SCENE_LOAD},   {true, false, 255, 0, SCENE_CLEAR},
        {true, false, 255, 5, SCENE_CLEAR}, {true, false, 255, -1, SCENE_CLEAR}, {true, false, 254, 2, SCENE_GAME},
        {true, false, -1, 2, SCENE_GAME},   {true, false, 256, 2, SCENE_LOAD},   {false, true, 255, 3, SCENE_LOAD},
        {false, true, 254, 3, SCENE_GAME},  {false, true, -1, 3, SCENE_GAME},    {false, true, 256, 3, SCENE_LOAD},
        {true, true, 255, 5, SCENE_CLEAR},  {false, false, 255, 2, SCENE_GAME},
    };
    for (const End& c : ends) {
        g_player.dead = c.dead;
        g_goalReached = c.goal;
        g_fadeLevel = c.fade;
        g_stageIndex = c.stage;
        g_fadeSpeed = 0;
        EXPECT_EQ(scene.Update(), c.next) << c.goal << c.dead << " fade " << c.fade << " stage " << c.stage;
        EXPECT_EQ(g_stageIndex, c.stage);
    }
}

TEST_F(GameScene, TheThreePassClearsGreyAndLooksFromTheEye) {
    g_player.lookAt = D3DXVECTOR3(0, 12, 1);
    g_player.bulgeRadius[2] = 3.0f;  // a sphere turns depth writing off while it is drawn
    headless::recordDraws(true);
    scene.Draw3D();
    ASSERT_EQ(headless::recordedClears().size(), 1u);
    const auto& clear = headless::recordedClears()[0];
    EXPECT_EQ(std::pair(clear.colour, clear.flags), std::pair(0xFF969696u, DWORD{D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER}));
    // Afterwards: depth writing on, no lighting, blending over what is drawn.
    const auto& render = g_device->impl->state.render;
    EXPECT_EQ(std::tuple(render[D3DRS_ZWRITEENABLE], render[D3DRS_LIGHTING], render[D3DRS_DESTBLEND]),
              std::tuple(DWORD{TRUE}, DWORD{FALSE}, DWORD{D3DBLEND_INVSRCALPHA}));
    // The eye at (0, 12, 0) looking along +z: the view moves the world down by 12; far plane 1000.
    EXPECT_NEAR(g_viewMatrix._42, -12.0f, 1e-5f);
    EXPECT_NEAR(g_projectionMatrix._43, -1000.0f / 999.0f, 1e-5f);
}

// The blood's alpha is 255 − health truncated, kept within 0..255; the fade's colour takes low bytes.
TEST_F(GameScene, TheCrosshairSitsOnTheCentreAndTheBloodShowsByHealth) {
    g_fadeLevel = 40;
    g_fadeRed = 0x1FF;
    g_fadeGreen = 0;
    g_fadeBlue = 0x10;
    const std::pair<float, DWORD> levels[] = {{255.5f, 0}, {254.9f, 0}, {127.5f, 127}, {1.0f, 254}, {-44.5f, 255}};
    for (auto [health, alpha] : levels) {
        g_player.health = health;
        headless::recordDraws(true);
        scene.Draw2D();
        EXPECT_EQ(Colour(g_bloodTexture) >> 24, alpha) << health;
    }
    D3DXVECTOR3 corner;
    EXPECT_EQ(Colour(g_crosshairTexture, &corner) >> 24, 255u);
    EXPECT_EQ(corner, D3DXVECTOR3(352, 272, 0));  // 64 × 64 centred on (320, 240)
    EXPECT_EQ(Colour(g_whiteTexture), 0x28FF0010u);
}

TEST_F(GameScene, LeaveReleasesTheStageTexturesOnce) {
    scene.Leave();
    EXPECT_TRUE(!g_laserTexture && !g_hitTexture && !g_crosshairTexture);
    scene.Leave();  // nothing left to release
}

}  // namespace
