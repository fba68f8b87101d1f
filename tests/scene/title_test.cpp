// The title screen frame by frame: turning, blinking, the press of Enter, the white fade and the
// hand-over to the load scene, through the real WinMain with scripted input.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

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

TEST_F(TitleRun, EnterSetsTheSceneUp) {
    Run(1, [](int frame) {
        if (frame != 0) return;
        STitle* t = Title();
        EXPECT_NE(t->titleTexture, nullptr);
        EXPECT_NE(t->pushEnterTexture, nullptr);
        EXPECT_EQ(t->angle, 0.0f);
        EXPECT_EQ(t->eye, D3DXVECTOR3(5, 22, -15));
        EXPECT_EQ(t->lookAt, D3DXVECTOR3(5, 20, 0));
        EXPECT_FALSE(t->started);
        EXPECT_EQ(g_fadeLevel, 0);
        EXPECT_EQ(g_fadeSpeed, 0);
        // The gun's lamps are tinted translucent blue; its other materials keep the file's own.
        MeshRecord* gun = g_resourceCache->Find("gun.x");
        ASSERT_NE(gun, nullptr);
        for (int i = 4; i <= 6; ++i) {
            EXPECT_EQ(gun->materials[i].Diffuse.b, 1.0f);
            EXPECT_EQ(gun->materials[i].Diffuse.a, 0.5f);
            EXPECT_EQ(gun->materials[i].Emissive.r, 0.1f);
            EXPECT_EQ(gun->materials[i].Ambient.a, 0.0f);
        }
        EXPECT_EQ(gun->materials[3].Diffuse.b, 0.5f);
        EXPECT_NE(g_resourceCache->Find("title.x"), nullptr);
    });
}

TEST_F(TitleRun, TurnsHalfADegreeAFrameAndBlinksWithinItsRange) {
    Run(800, [](int frame) {
        STitle* t = Title();
        if (frame == 100) {
            EXPECT_EQ(t->angle, 50.0f);
        }
        if (frame == 720) {
            EXPECT_EQ(t->angle, 360.0f);
        }  // only above 360 is turned back
        if (frame == 721) {
            EXPECT_EQ(t->angle, 0.5f);
        }
        if (frame >= 1) {
            EXPECT_GT(t->blink, 100.0f) << frame;
            EXPECT_LE(t->blink, 255.0f) << frame;
        }
        if (frame == 1) {
            EXPECT_EQ(t->blink, 255.0f);
        }  // 0 - 3 falls through 100 and starts over
        if (frame == 2) {
            EXPECT_EQ(t->blink, 252.0f);
        }
        EXPECT_TRUE(OnTitle());
    });
}

TEST_F(TitleRun, EnterPlaysTheSoundFadesToWhiteAndHandsOverIn128Frames) {
    std::vector<Sound> sounds;
    Run(145, [&sounds](int frame) {
        if (frame == 0) RecordSounds(&sounds);
        if (frame == 10) headless::holdKey(VK_RETURN, true);  // seen by frame 10's update
        if (frame == 20) headless::holdKey(VK_RETURN, false);
        if (frame == 30) headless::holdKey(VK_RETURN, true);  // a second press changes nothing
        if (frame == 10) {
            EXPECT_FALSE(Title()->started);
            EXPECT_FALSE(CursorSoundPlaying());
        }
        if (frame == 11) {
            STitle* t = Title();
            EXPECT_TRUE(t->started);
            EXPECT_EQ(t->speed, 5.0f);
            EXPECT_EQ(t->blink, 255.0f);
            EXPECT_EQ(g_fadeLevel, 2);  // set to 0 by the press, then one step of +2
            EXPECT_EQ(g_fadeSpeed, 2);
            EXPECT_EQ(g_fadeRed & 0xFF, 255);
            EXPECT_EQ(g_fadeGreen & 0xFF, 255);
            EXPECT_EQ(g_fadeBlue & 0xFF, 255);
            EXPECT_TRUE(CursorSoundPlaying());
        }
        if (frame == 12) {
            // The first started frame keeps the camera where it was and begins the glide.
            EXPECT_EQ(Title()->eye, D3DXVECTOR3(5, 22, -15));
            EXPECT_EQ(Title()->speed, 5.0f * 0.97f);
            EXPECT_EQ(Title()->blink, 205.0f);
        }
        if (frame == 13) {
            EXPECT_EQ(Title()->eye.x, 5.0f * 0.97f);
            EXPECT_EQ(Title()->lookAt.x, 5.0f * 0.97f);
            EXPECT_EQ(Title()->blink, 155.0f);
        }
        if (frame == 31) {
            EXPECT_EQ(g_fadeLevel, 42);
        }  // the second press did not restart the fade
        if (frame == 137) {
            EXPECT_TRUE(OnTitle());
            EXPECT_EQ(g_fadeLevel, 254);
        }
        if (frame == 138) {
            EXPECT_TRUE(OnTitle());
            EXPECT_EQ(g_fadeLevel, 255);
        }
        if (frame == 139) {
            // Frame 138's update saw the full fade and handed over.
            EXPECT_TRUE(OnLoad());
            EXPECT_EQ(g_fadeLevel, 255);
            EXPECT_EQ(Title()->titleTexture, nullptr);
            EXPECT_EQ(Title()->pushEnterTexture, nullptr);
            EXPECT_NE(g_resourceCache->Find("gun.x"), nullptr);  // meshes stay cached
        }
    });
    RecordSounds(nullptr);
    // The title's one sound: the confirm sound, once, at -10 dB, not looping. The next is the game's
    // background loop, started as the stage loaded in frame 139 hands over to the game scene.
    EXPECT_EQ(sounds, (std::vector<Sound>{Played("cursor37.wav", -1000, 0, 10),
                                          Played("mecha01.wav", -2500, DSBPLAY_LOOPING, 139)}));
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

TEST_F(TitleRun, GunCirclesTheTitleAndTheCameraGlidesFrameByFrame) {
    // Per drawn frame: the angle the title and gun are drawn at, and the camera's eye x and z (the
    // target is (eye x, 20, 0)). Enter goes down in frame 10, whose update still turns by 0.5; from
    // frame 11 on the turn is speed / 5 and the camera follows the speed of the frame before.
    struct Expected {
        int frame;
        float degrees, eyeX, eyeZ;
    };
    const Expected expected[] = {
        {3, 2.0f, 5, -15},  {9, 5.0f, 5, -15},          {10, 5.5f, 5, -15},
        {11, 6.5f, 5, -15}, {12, 7.47f, 4.85f, -14.7f}, {13, 8.4109f, 4.7045f, -14.409f},
    };
    Run(16, [&](int frame) {
        if (frame == 10) headless::holdKey(VK_RETURN, true);
        for (const Expected& e : expected) {
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
        }
        headless::recordDraws(true);  // from here on: this frame's draws only
    });
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

TEST_F(TitleRun, DrawsTheGreyClearTheTwoMeshesAndTheThreeSprites) {
    Run(3, [](int frame) {
        if (frame != 2) return;
        const d3d9::DeviceState& s = g_device->impl->state;
        EXPECT_EQ(s.render[D3DRS_SPECULARENABLE], DWORD(TRUE));
        EXPECT_EQ(s.render[D3DRS_ZWRITEENABLE], DWORD(TRUE));
        // The view looks from the eye to the target: the eye maps to the origin.
        D3DXVECTOR3 eye(5, 22, -15), seen;
        D3DXMATRIX view;
        std::memcpy(&view, &g_viewMatrix, sizeof view);
        D3DXVec3TransformCoord(&seen, &eye, &view);
        EXPECT_NEAR(D3DXVec3Length(&seen), 0.0f, 1e-4f);
        EXPECT_NEAR(g_projectionMatrix._11, 1.0f / std::tan(0.8726646f / 2) / 1.3333334f, 1e-5f);
        const d3d9::DeviceCounters& c = g_device->impl->counters;
        // Per frame: one clear, the title (1 subset) and the gun (7 subsets), then the sprites.
        EXPECT_EQ(c.clears, 2u);
        EXPECT_GE(c.draws, 2u * (1 + 7));
    });
}

}  // namespace
