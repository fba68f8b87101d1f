// The title screen frame by frame: turning, blinking, the press of Enter, the white fade and the
// hand-over to the load scene, through the real WinMain with scripted input.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>

#include "app/globals.h"
#include "app/input.h"
#include "app/fade.h"
#include "app/scene_manager.h"
#include "d3d9/state.h"
#include "resource/resource_cache.h"
#include "scene/title.h"
#include "sound/sound_bank.h"
#include "support/game_run.h"
#include "support/world.h"
#include "support/sound_files.h"
#include "support/stage_files.h"
#include "support/start_content.h"

using namespace testing_support;

namespace {

STitle* Title() { return static_cast<STitle*>(g_sceneManager->scenes[SCENE_TITLE]); }
bool OnTitle() { return g_sceneManager->current == g_sceneManager->scenes[SCENE_TITLE]; }
bool OnLoad() { return g_sceneManager->current == g_sceneManager->scenes[SCENE_LOAD]; }

bool CursorSoundPlaying() {
    SoundEntry* e = g_soundBank->Find("cursor37.wav");
    if (!e) return false;
    for (auto* voice : e->voices) {
        DWORD status = 0;
        if (voice && SUCCEEDED(voice->GetStatus(&status)) && (status & DSBSTATUS_PLAYING)) return true;
    }
    return false;
}

class TitleRun : public ::testing::Test {
protected:
    void SetUp() override {
        ResetForNewRun();
        WriteSmallStage();  // the start content and a stage for the load that follows the title
        // A confirm sound long enough to be heard playing a few frames after the press.
        WaveSpec second;
        second.samples = std::string(44100, '\x10');
        WriteSound("cursor37.wav", WaveBytes(second));
    }
    void TearDown() override { headless::reset(); }

    // Runs the game with `script` called at the start of every frame (N updates have run at frame N),
    // ending after `frames` frames.
    void Run(int frames, std::function<void(int)> script) {
        headless::onFrame([=](int frame) {
            if (frame == frames)
                headless::pushKeyDown(VK_ESCAPE);
            else
                script(frame);
        });
        EXPECT_EQ(RunGame(), 0);
    }
    TempFolder folder;
};

TEST_F(TitleRun, TintsTheGunsLampsTurnsHalfADegreeAFrameAndBlinksWithinItsRange) {
    Run(800, [](int frame) {
        STitle* t = Title();
        if (frame == 0) {
            // The gun's lamps are tinted translucent blue; its other materials keep the file's own.
            MeshRecord* gun = g_resourceCache->Find("gun.x");
            ASSERT_NE(gun, nullptr);
            for (int i = 4; i <= 6; ++i) {
                EXPECT_EQ(gun->materials[i].Diffuse.b, 1.0f);
                EXPECT_EQ(gun->materials[i].Diffuse.a, 0.5f);
            }
            EXPECT_EQ(gun->materials[3].Diffuse.b, 0.5f);
        }
        // Only above 360 is the angle turned back.
        for (auto [at, degrees] : {std::pair{100, 50.0f}, {720, 360.0f}, {721, 0.5f}})
            if (frame == at) {
                EXPECT_EQ(t->angle, degrees);
            }
        if (frame >= 1) {
            EXPECT_GT(t->blink, 100.0f) << frame;
            EXPECT_LE(t->blink, 255.0f) << frame;
        }
        if (frame == 1) {
            EXPECT_EQ(t->blink, 255.0f);  // 0 - 3 falls through 100 and starts over
        }
        if (frame == 2) {
            EXPECT_EQ(t->blink, 252.0f);
        }
        EXPECT_TRUE(OnTitle());
    });
}

// The gun's world at `degrees` round the title: 3 out along +z, turned about y, then lifted to 20.
D3DXMATRIX GunWorld(float degrees) {
    const float a = degrees * 0.01745329238474369f, c = std::cos(a), s = std::sin(a);
    return D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 3 * s, 20, 3 * c, 1);
}

void ExpectMatrixNear(const D3DMATRIX& got, const D3DXMATRIX& want, int frame, const char* what) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(got.m[r][c], want.m[r][c], 1e-4f) << what << " [" << r << "][" << c << "] in frame " << frame;
}

TEST_F(TitleRun, EnterPlaysTheSoundFadesToWhiteGlidesTheCameraAndHandsOverIn128Frames) {
    // The fade after N updates: 0 until frame 10's update sees Enter and sets it to 0 with one step of
    // +2, then +2 a frame (the second press in frame 30 does not restart it): 254 after 137 updates,
    // 255 after 138, whose update sees it full and hands over to the load scene.
    const std::map<int, int> fade = {{10, 0}, {11, 2}, {31, 42}, {137, 254}, {138, 255}, {139, 255}};
    // Per drawn frame: the angle the title and gun are drawn at, and the camera's eye x and z (the
    // target is (eye x, 20, 0)). Frame 10's update still turns by 0.5; from frame 11 on the turn is
    // speed / 5 and the camera follows the speed of the frame before.
    struct Drawn {
        int frame;
        float degrees, eyeX, eyeZ;
    };
    const Drawn drawn[] = {
        {3, 2.0f, 5, -15},  {9, 5.0f, 5, -15},          {10, 5.5f, 5, -15},
        {11, 6.5f, 5, -15}, {12, 7.47f, 4.85f, -14.7f}, {13, 8.4109f, 4.7045f, -14.409f},
    };
    std::vector<Sound> sounds;
    Run(145, [&](int frame) {
        if (frame == 0) RecordSounds(&sounds);
        if (frame == 10 || frame == 30) headless::holdKey(VK_RETURN, true);  // seen by that frame's update
        if (frame == 20) headless::holdKey(VK_RETURN, false);
        if (auto f = fade.find(frame); f != fade.end()) {
            EXPECT_EQ(g_fadeLevel, f->second) << frame;
            EXPECT_EQ(OnLoad(), frame == 139) << frame;
        }
        if (frame == 10) {
            EXPECT_FALSE(Title()->started);
            EXPECT_FALSE(CursorSoundPlaying());
        }
        if (frame == 11) {
            EXPECT_TRUE(Title()->started);
            EXPECT_EQ(g_fadeSpeed, 2);
            EXPECT_EQ(g_fadeRed & g_fadeGreen & g_fadeBlue & 0xFF, 255);
            EXPECT_TRUE(CursorSoundPlaying());
        }
        // Once started the prompt flickers: 255 at the press, then 50 less a frame.
        for (auto [at, blink] : {std::pair{11, 255.0f}, {12, 205.0f}, {13, 155.0f}})
            if (frame == at) {
                EXPECT_EQ(Title()->blink, blink);
            }
        for (const Drawn& e : drawn) {
            if (frame != e.frame + 1) continue;
            // The draws of frame e.frame: the title (one subset), then the gun's seven subsets.
            const auto& draws = headless::recordedDraws();
            ASSERT_GE(draws.size(), 8u);
            D3DXMATRIX titleWorld;
            D3DXMatrixRotationY(&titleWorld, e.degrees * 0.01745329238474369f);
            ExpectMatrixNear(draws[0].state.world, titleWorld, e.frame, "title world");
            for (size_t i = 1; i < 8; ++i)
                ExpectMatrixNear(draws[i].state.world, GunWorld(e.degrees), e.frame, "gun world");
            D3DXVECTOR3 eye(e.eyeX, 22, e.eyeZ), at(e.eyeX, 20, 0), up(0, 1, 0);
            D3DXMATRIX view;
            D3DXMatrixLookAtLH(&view, &eye, &at, &up);
            ExpectMatrixNear(draws[1].state.view, view, e.frame, "view");
            D3DXMATRIX projection;  // 50 degrees of view at 4:3, from 1 to 1000
            D3DXMatrixPerspectiveFovLH(&projection, 50 * 0.01745329238474369f, 4.0f / 3, 1, 1000);
            ExpectMatrixNear(draws[1].state.projection, projection, e.frame, "projection");
        }
        if (frame == 139) {
            EXPECT_EQ(Title()->titleTexture, nullptr);
            EXPECT_EQ(Title()->pushEnterTexture, nullptr);
            EXPECT_NE(g_resourceCache->Find("gun.x"), nullptr);  // meshes stay cached
        }
        headless::recordDraws(frame < 14);  // from here on: this frame's draws only
    });
    RecordSounds(nullptr);
    // The title's one sound: the confirm sound, once, at -10 dB, not looping. The next is the game's
    // background loop, started as the stage loaded in frame 139 hands over to the game scene.
    EXPECT_EQ(sounds, (std::vector<Sound>{Played("cursor37.wav", -1000, 0, 10),
                                          Played("mecha01.wav", -2500, DSBPLAY_LOOPING, 139)}));
}

TEST_F(TitleRun, EnterHeldFromTheSceneBeforeDoesNotStartItAndTexturesComeBack) {
    Run(60, [](int frame) {
        SceneManager* m = g_sceneManager;
        if (frame == 0) {
            // Another scene is current while Enter goes down and stays down.
            headless::holdKey(VK_RETURN, true);
            m->current->Leave();
            EXPECT_EQ(Title()->titleTexture, nullptr);
            m->current = m->scenes[SCENE_ERROR];
            m->current->Enter();
        }
        if (frame == 5) {
            g_fadeLevel = 200;
            g_fadeSpeed = -3;
            m->current->Leave();
            m->current = m->scenes[SCENE_TITLE];
            m->current->Enter();
            EXPECT_NE(Title()->titleTexture, nullptr);
            EXPECT_NE(Title()->pushEnterTexture, nullptr);
            EXPECT_EQ(g_fadeLevel, 0);  // shown at once, no fade-in
            EXPECT_EQ(g_fadeSpeed, 0);
        }
        if (frame > 5) {
            EXPECT_FALSE(Title()->started) << frame;
        }
    });
}

}  // namespace
