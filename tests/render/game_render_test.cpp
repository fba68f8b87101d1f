// The game scene through the real window and OpenGL device under Xvfb: the crosshair on the screen's
// centre, the blood overlay at half health, and real relative mouse motion (xdotool) turning the view.
// (A bulge bends the vertices the device draws from, as the object tests check.)
#include <d3dx9.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <tuple>

#include "app/fade.h"
#include "app/globals.h"
#include "app/input.h"
#include "gl/control.h"
#include "player/player_state.h"
#include "player/update.h"
#include "render/render_support.h"
#include "resource/resource_cache.h"
#include "scene/game.h"
#include "sound/sound_bank.h"
#include "stage/obj.h"
#include "stage/stage_state.h"

using namespace render_test;

namespace {

class GameFrame : public Device {
protected:
    void SetUp() override {
        std::filesystem::current_path(QUILLMOOR_SOURCE_DIR);  // the folder holding the generated data/
        open();
        g_hWnd = hWnd;
        g_resourceCache = new ResourceCache();
        g_soundBank = new SoundBank();
        for (const char* mesh : {"gun.x", "sphere.x"}) ASSERT_TRUE(g_resourceCache->LoadMesh(mesh));
        for (auto [texture, file, w, h] : {std::tuple{&g_crosshairTexture, "crosshair.png", 128, 128},
                                           {&g_laserTexture, "laser.png", 128, 256},
                                           {&g_hitTexture, "efe_hit.png", 256, 64},
                                           {&g_bloodTexture, "blood.png", 640, 480},
                                           {&g_whiteTexture, "white.png", 3, 3}})
            ASSERT_TRUE(LoadTexture(texture, std::string("data/texture/") + file, w, h, 0));
        ASSERT_EQ(D3DXCreateSprite(device, &g_sprite), D3D_OK);
        FillSineTable();
        g_player = PlayerState{};
        ResetPlayer();
        g_fadeLevel = 0;
        g_fadeSpeed = 0;
    }
    void TearDown() override {
        ClearObjects();
        scene.Leave();
        for (IDirect3DTexture9** t : {&g_bloodTexture, &g_whiteTexture}) {
            if (*t) (*t)->Release();
            *t = nullptr;
        }
        if (g_sprite) g_sprite->Release();
        g_sprite = nullptr;
        g_resourceCache->ReleaseAll();
        delete g_resourceCache;
        g_resourceCache = nullptr;
        delete g_soundBank;
        g_soundBank = nullptr;
        Device::TearDown();
        g_hWnd = nullptr;
    }
    SGame scene;
};

TEST_F(GameFrame, TheCrosshairIsCentredAndTheBloodShowsAtHalfHealth) {
    UINT cw = 0, bw = 0, h = 0;
    const auto cross = Texels(g_crosshairTexture, cw, h);
    const auto blood = Texels(g_bloodTexture, bw, h);
    // At full health only the crosshair: its 64 × 64 texels from (288, 208) to (351, 271) over black.
    g_player.health = 255.5f;
    auto draw2D = [&] {
        clear(0xFF000000);
        scene.Draw2D();
    };
    auto p = frame(draw2D);
    int seen = 0, wrong = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint32_t t = cross[y * cw + x];
            const double k = (t >> 24) / 255.0;
            if (k > 0.5) ++seen;
            if (!Near(at(p, 288 + x, 208 + y), static_cast<int>(red(t) * k + 0.5), static_cast<int>(green(t) * k + 0.5),
                      static_cast<int>(blue(t) * k + 0.5), 6))
                ++wrong;
        }
    EXPECT_GT(seen, 50);
    EXPECT_EQ(wrong, 0) << "of 4096";
    int outside = 0;
    for (int y = 0; y < 480; y += 4)
        for (int x = 0; x < 640; x += 4)
            if ((x < 286 || x > 353 || y < 206 || y > 273) && (at(p, x, y) & 0xFFFFFF) != 0) ++outside;
    EXPECT_EQ(outside, 0);

    // At 127.5 the blood picture at alpha 255 - 127 (truncated) over black, away from the crosshair.
    g_player.health = 127.5f;
    p = frame(draw2D);
    const double a = 127 / 255.0;
    int checked = 0, off = 0, visible = 0;
    for (int y = 0; y < 480; y += 17)
        for (int x = 0; x < 640; x += 13) {
            if (x >= 280 && x < 360 && y >= 200 && y < 280) continue;
            const uint32_t t = blood[y * bw + x];
            const double k = a * (t >> 24) / 255.0;
            ++checked;
            if (red(at(p, x, y)) > 20) ++visible;
            if (!Near(at(p, x, y), static_cast<int>(red(t) * k + 0.5), static_cast<int>(green(t) * k + 0.5),
                      static_cast<int>(blue(t) * k + 0.5), 3))
                ++off;
        }
    EXPECT_EQ(off, 0) << "of " << checked;
    EXPECT_GT(visible, 0);
}

// Waits for SDL to pass on the motion xdotool made, as frames of the game would.
void PumpFor(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    MSG msg;
    while (std::chrono::steady_clock::now() < end) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

TEST_F(GameFrame, ARealMouseMotionOf150PixelsTurnsTenDegreesAtDivisor15) {
    if (std::system("command -v xdotool > /dev/null 2>&1") != 0) GTEST_SKIP() << "xdotool is not installed";
    g_mouseDivisor = 15.0f;
    g_input = InputState{};
    // As a stage starts: the cursor hidden (the pointer captured) and put on the client centre.
    frame([&] { device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0); });
    ShowCursor(FALSE);
    POINT rest{320, 240};
    ClientToScreen(hWnd, &rest);
    SetCursorPos(rest.x, rest.y);
    // The window at twice the picture's size: motion still counts one for one, not at half.
    const std::string window = "$(xdotool search --sync --onlyvisible --pid " + std::to_string(getpid()) + ")";
    ASSERT_EQ(std::system(("xdotool windowsize --sync " + window + " 1280 960").c_str()), 0);
    PumpFor(200);
    UpdatePlayer();  // whatever came before starts from rest
    const float before = g_player.yaw;
    ASSERT_EQ(std::system("xdotool mousemove_relative -- 150 -30"), 0);
    PumpFor(300);
    UpdatePlayer();
    EXPECT_EQ(std::pair(g_player.yaw - before, g_player.pitch), std::pair(10.0f, -2.0f));  // 150 / 15, -30 / 15
    POINT now;
    GetCursorPos(&now);
    ScreenToClient(hWnd, &now);
    EXPECT_EQ(std::pair(now.x, now.y), (std::pair<LONG, LONG>(320, 240)));  // back on the centre
    ShowCursor(TRUE);
}

}  // namespace
