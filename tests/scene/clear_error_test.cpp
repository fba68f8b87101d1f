// The clear screen frame by frame (the fade in from black, Enter after it or held from entry cutting it
// short, the fade to black and the title at stage 1, the background loop silenced) and the error scene's dead
// end, through the real WinMain with scripted input.
#include <gtest/gtest.h>

#include <dsound.h>

#include <algorithm>
#include <functional>
#include <map>

#include "app/fade.h"
#include "app/globals.h"
#include "app/input.h"
#include "app/scene_manager.h"
#include "scene/clear.h"
#include "sound/sound_bank.h"
#include "support/game_run.h"
#include "support/pictures.h"
#include "support/start_content.h"

using namespace testing_support;

namespace {

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

class ClearRun : public ::testing::Test {
protected:
    void SetUp() override {
        ResetForNewRun();
        WriteStartContent();
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

TEST_F(ClearRun, FadesInOver255FramesWaitsForEnterThenFadesOutToTheTitleAtStageOne) {
    // After N updates: 255 - N while fading in, one level a frame, then 0 until frame 300's update sees
    // Enter, shows the picture at once and takes the first step to black (2); then 2 a frame (the second
    // press in frame 320 changes nothing) to 254 after 427 updates and 255 after 428, whose update hands
    // over to the title at stage 1.
    const std::map<int, int> fadeOut = {{301, 2}, {321, 42}, {427, 254}, {428, 255}};
    Run(440, [&](int frame) {
        if (frame == 0) {
            g_stageIndex = 5;
            SwitchTo(SCENE_CLEAR);
            EXPECT_NE(Clear()->clearTexture, nullptr);
            EXPECT_EQ(g_fadeLevel, 255);
            EXPECT_EQ(g_fadeSpeed, -1);
            EXPECT_EQ(g_fadeRed | g_fadeGreen | g_fadeBlue, 0);
            return;
        }
        if (frame == 300 || frame == 320) headless::holdKey(VK_RETURN, true);  // seen by that frame's update
        if (frame == 310) headless::holdKey(VK_RETURN, false);
        if (frame <= 300) {
            EXPECT_EQ(g_fadeLevel, std::max(0, 255 - frame)) << frame;
            EXPECT_FALSE(Clear()->leaving) << frame;
        }
        if (auto f = fadeOut.find(frame); f != fadeOut.end()) {
            EXPECT_EQ(g_fadeLevel, f->second) << frame;
        }
        if (frame == 301) {
            EXPECT_TRUE(Clear()->leaving);
            EXPECT_EQ(g_fadeSpeed, 2);
        }
        EXPECT_EQ(On(SCENE_CLEAR), frame <= 428) << frame;
        EXPECT_EQ(On(SCENE_TITLE), frame > 428) << frame;
        EXPECT_EQ(g_stageIndex, frame <= 428 ? 5 : 1) << frame;
        if (frame == 429) {
            EXPECT_EQ(Clear()->clearTexture, nullptr);
        }
    });
}

// Enter counts while held, not only when pressed: held since before the clear screen came (the error
// scene, which reads no input, stood in frames 0 and 1), it starts the fade out at the first update.
TEST_F(ClearRun, EnterHeldFromBeforeEntryStartsTheFadeOutOnTheFirstUpdateAndTheLoopIsSilent) {
    Run(140, [](int frame) {
        if (frame == 0) {
            SwitchTo(SCENE_ERROR);
            headless::holdKey(VK_RETURN, true);
        }
        if (frame == 2) {
            ASSERT_EQ(g_input.enter.now, 1);  // sampled down already
            g_soundBank->Play("mecha01.wav", -2000, DSBPLAY_LOOPING);  // the stage's background
            g_soundBank->Play("mecha01.wav", -2000, DSBPLAY_LOOPING);  // and a second voice
            SwitchTo(SCENE_CLEAR);
        }
        if (frame == 3) {
            EXPECT_TRUE(Clear()->leaving);
            EXPECT_EQ(g_fadeLevel, 2);
        }
        if (frame == 131) {
            EXPECT_TRUE(On(SCENE_TITLE));
        }
        if (frame >= 2) {
            EXPECT_FALSE(Playing("mecha01.wav")) << frame;
        }
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
            EXPECT_EQ(g_fadeLevel, 17);
            EXPECT_TRUE(g_fatalError);
        },
        1);
    ASSERT_FALSE(headless::messageBoxes().empty());
    EXPECT_EQ(headless::messageBoxes().back().text, "data/texture/clear.pngの読み込みに失敗しました");
}

TEST_F(ClearRun, TheErrorSceneStaysDrawsNothingAndReadsNoInput) {
    Run(60, [](int frame) {
        if (frame == 0) {
            SwitchTo(SCENE_ERROR);
            headless::recordDraws(true);
        }
        if (frame == 10) headless::holdKey(VK_RETURN, true);
        if (frame == 20) headless::holdKey('E', true);
        if (frame >= 1) {
            EXPECT_TRUE(On(SCENE_ERROR)) << frame;
        }
        if (frame == 59) {
            EXPECT_TRUE(headless::recordedDraws().empty());
            headless::recordDraws(false);
        }
    });
}

}  // namespace
