// The title, load, clear and error scenes frame by frame through the real WinMain with scripted input:
// the title turning, blinking, Enter's white fade and the hand-over to the load scene; the load screen's
// one overlay; the clear screen's fade in from black, Enter after it or held from entry cutting it short,
// the fade to black and the title at stage 1 with the background loop silenced; the error scene's dead end.
#include <gtest/gtest.h>

#include <dsound.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <tuple>

#include "app/fade.h"
#include "app/globals.h"
#include "app/input.h"
#include "app/scene_manager.h"
#include "d3d9/state.h"
#include "resource/resource_cache.h"
#include "scene/clear.h"
#include "scene/title.h"
#include "sound/sound_bank.h"
#include "support/game_run.h"
#include "support/pictures.h"
#include "support/sound_files.h"
#include "support/stage_files.h"
#include "support/world.h"
#include "support/start_content.h"

using namespace testing_support;

namespace {

STitle* Title() { return static_cast<STitle*>(g_sceneManager->scenes[SCENE_TITLE]); }
SClear* Clear() { return static_cast<SClear*>(g_sceneManager->scenes[SCENE_CLEAR]); }
bool On(SceneId id) { return g_sceneManager->current == g_sceneManager->scenes[id]; }

// What the game scene does when the last goal's fade is full: the current scene leaves, the next enters.
void SwitchTo(SceneId id) {
    g_sceneManager->current->Leave();
    g_sceneManager->current = g_sceneManager->scenes[id];
    g_sceneManager->current->Enter();
}

bool Playing(const char* name) {
    SoundEntry* e = g_soundBank->Find(name);
    if (!e) return false;
    for (auto* voice : e->voices) {
        DWORD status = 0;
        if (voice && SUCCEEDED(voice->GetStatus(&status)) && (status & DSBSTATUS_PLAYING)) return true;
    }
    return false;
}

// In the frames `want` names, `got` is the value it gives.
void ExpectAt(int frame, const std::map<int, float>& want, float got, const char* what) {
    if (auto w = want.find(frame); w != want.end()) {
        EXPECT_EQ(got, w->second) << what << " in frame " << frame;
    }
}

class SceneRun : public ::testing::Test {
protected:
    void SetUp() override {
        ResetForNewRun();
        WriteSmallStage();  // the start content and a stage for the load that follows the title
        // A confirm sound long enough to be heard playing a few frames after the press.
        WaveSpec second;
        second.samples = std::string(44100, '\x10');
        WriteSound("cursor37.wav", WaveBytes(second));
        WritePng("data/texture/clear.png", 640, 480, std::vector<uint32_t>(640 * 480, 0xFF20A040));
    }
    void TearDown() override { headless::reset(); }
    // `script` runs at the start of every frame (N updates have run at frame N); the run ends after
    // `frames` and WinMain returns `result`.
    void Run(int frames, std::function<void(int)> script, int result = 0) {
        headless::onFrame([=](int frame) {
            if (frame == frames)
                headless::pushKeyDown(VK_ESCAPE);
            else
                script(frame);
        });
        EXPECT_EQ(RunGame(), result);
    }
    TempFolder folder;
};
using TitleRun = SceneRun;
using ClearRun = SceneRun;

TEST_F(TitleRun, TintsTheGunsLampsTurnsHalfADegreeAFrameAndBlinksWithinItsRange) {
    Run(800, [](int frame) {
        STitle* t = Title();
        if (frame == 0) {
            // The gun's lamps are tinted translucent blue; its other materials keep the file's own.
            MeshRecord* gun = g_resourceCache->Find("gun.x");
            ASSERT_NE(gun, nullptr);
            for (int i = 4; i <= 6; ++i)
                EXPECT_EQ(std::make_tuple(gun->materials[i].Diffuse.b, gun->materials[i].Diffuse.a),
                          std::make_tuple(1.0f, 0.5f));
            EXPECT_EQ(gun->materials[3].Diffuse.b, 0.5f);
        }
        // Only above 360 is the angle turned back.
        ExpectAt(frame, {{100, 50}, {720, 360}, {721, 0.5f}}, t->angle, "angle");
        // The first update's 0 - 3 falls through 100 and starts over at 255.
        ExpectAt(frame, {{1, 255}, {2, 252}}, t->blink, "blink");
        EXPECT_TRUE(frame == 0 || (t->blink > 100.0f && t->blink <= 255.0f)) << t->blink << " in frame " << frame;
        EXPECT_TRUE(On(SCENE_TITLE));
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
    const std::map<int, float> fade = {{10, 0}, {11, 2}, {31, 42}, {137, 254}, {138, 255}, {139, 255}};
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
        ExpectAt(frame, fade, g_fadeLevel, "fade");
        EXPECT_EQ(On(SCENE_LOAD), frame == 139) << frame;
        // Frame 10's update is the first to see the press: started, the confirm sound, a +2 fade to white.
        if (frame == 10 || frame == 11) {
            EXPECT_EQ(std::make_tuple(Title()->started, Playing("cursor37.wav")),
                      std::make_tuple(frame == 11, frame == 11));
        }
        if (frame == 11) {
            EXPECT_EQ(std::make_tuple(int(g_fadeSpeed), g_fadeRed & g_fadeGreen & g_fadeBlue & 0xFF),
                      std::make_tuple(2, 255));
        }
        // Once started the prompt flickers: 255 at the press, then 50 less a frame.
        ExpectAt(frame, {{11, 255}, {12, 205}, {13, 155}}, Title()->blink, "blink");
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
        if (frame == 139) {  // the textures are let go; meshes stay cached
            EXPECT_TRUE(!Title()->titleTexture && !Title()->pushEnterTexture && g_resourceCache->Find("gun.x"));
        }
        headless::recordDraws(frame < 14);  // from here on: this frame's draws only
    });
    RecordSounds(nullptr);
    // The title's one sound: the confirm sound, once, at -10 dB, not looping. The next is the game's
    // background loop, started as the stage loaded in frame 139 hands over to the game scene.
    EXPECT_EQ(sounds, (std::vector<Sound>{Played("cursor37.wav", -1000, 0, 10),
                                          Played("mecha01.wav", -2500, DSBPLAY_LOOPING, 139)}));
}

// The load screen's frame: nothing cleared, one overlay over the picture in the fade's colour at the
// fade's level (the overlay's own corners and colour are the sprite tests').
TEST_F(SceneRun, TheLoadSceneDrawsOnlyTheFadeOverlay) {
    Run(2, [](int frame) {
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
}

TEST_F(ClearRun, FadesInOver255FramesWaitsForEnterThenFadesOutToTheTitleAtStageOne) {
    // After N updates: 255 - N while fading in, one level a frame, then 0 until frame 300's update sees
    // Enter, shows the picture at once and takes the first step to black (2); then 2 a frame (the second
    // press in frame 320 changes nothing) to 254 after 427 updates and 255 after 428, whose update hands
    // over to the title at stage 1.
    const std::map<int, float> fadeOut = {{301, 2}, {321, 42}, {427, 254}, {428, 255}};
    Run(440, [&](int frame) {
        if (frame == 0) {
            g_stageIndex = 5;
            SwitchTo(SCENE_CLEAR);
            EXPECT_NE(Clear()->clearTexture, nullptr);
            EXPECT_EQ(std::make_tuple(int(g_fadeLevel), int(g_fadeSpeed), g_fadeRed | g_fadeGreen | g_fadeBlue),
                      std::make_tuple(255, -1, 0));
            return;
        }
        if (frame == 300 || frame == 320) headless::holdKey(VK_RETURN, true);  // seen by that frame's update
        if (frame == 310) headless::holdKey(VK_RETURN, false);
        if (frame <= 300) {
            EXPECT_EQ(g_fadeLevel, std::max(0, 255 - frame)) << frame;
            EXPECT_FALSE(Clear()->leaving) << frame;
        }
        ExpectAt(frame, fadeOut, g_fadeLevel, "fade");
        if (frame == 301) {
            EXPECT_EQ(std::make_tuple(Clear()->leaving, int(g_fadeSpeed)), std::make_tuple(true, 2));
        }
        // The clear scene at stage 5 until frame 428's update hands over to the title at stage 1.
        EXPECT_EQ(std::make_tuple(On(SCENE_CLEAR), On(SCENE_TITLE), g_stageIndex),
                  frame <= 428 ? std::make_tuple(true, false, 5) : std::make_tuple(false, true, 1))
            << frame;
        if (frame == 429) {
            EXPECT_EQ(Clear()->clearTexture, nullptr);
        }
    });
}

// Enter counts while held, not only when pressed: held since before the clear screen came, it starts
// the fade out at the first update; still held, it does not start the title that follows. Before it the
// error scene stood in frames 0 and 1, Enter going down in the first: it stays, draws nothing and reads
// no input.
TEST_F(ClearRun, EnterHeldFromBeforeEntryStartsTheFadeOutButNotTheTitleAfterAndTheLoopIsSilent) {
    Run(180, [](int frame) {
        if (frame == 0) {
            SwitchTo(SCENE_ERROR);
            EXPECT_EQ(Title()->titleTexture, nullptr);  // the title let its pictures go
            headless::holdKey(VK_RETURN, true);
            headless::recordDraws(true);
        }
        if (frame == 1 || frame == 2) {
            EXPECT_TRUE(On(SCENE_ERROR) && headless::recordedDraws().empty()) << frame;
        }
        if (frame == 2) {
            headless::recordDraws(false);
            ASSERT_EQ(g_input.enter.now, 1);  // sampled down already
            g_soundBank->Play("mecha01.wav", -2000, DSBPLAY_LOOPING);  // the stage's background
            g_soundBank->Play("mecha01.wav", -2000, DSBPLAY_LOOPING);  // and a second voice
            SwitchTo(SCENE_CLEAR);
        }
        if (frame == 3) {
            EXPECT_EQ(std::make_tuple(Clear()->leaving, int(g_fadeLevel)), std::make_tuple(true, 2));
        }
        if (frame == 131) {  // the title, its pictures back, shown at once: no fade in
            EXPECT_TRUE(On(SCENE_TITLE) && Title()->titleTexture && Title()->pushEnterTexture);
            EXPECT_EQ(std::make_tuple(int(g_fadeLevel), int(g_fadeSpeed)), std::make_tuple(0, 0));
        }
        EXPECT_TRUE(frame < 2 || !Playing("mecha01.wav")) << frame;
        EXPECT_TRUE(frame <= 131 || !Title()->started) << frame;
    });
}

TEST_F(ClearRun, AMissingPictureEndsTheRunAndLeavesTheFadeAlone) {
    std::filesystem::remove("data/texture/clear.png");
    Run(
        10,
        [](int frame) {
            if (frame != 0) return;
            g_fadeLevel = 17;
            EXPECT_FALSE(Clear()->Enter());
            EXPECT_EQ(std::make_tuple(int(g_fadeLevel), g_fatalError), std::make_tuple(17, true));
        },
        1);
    ASSERT_FALSE(headless::messageBoxes().empty());
    EXPECT_EQ(headless::messageBoxes().back().text, "data/texture/clear.pngの読み込みに失敗しました");
}

}  // namespace
