// The real WinMain, headless: start-up order, the ways out of the loop, and the log it leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <regex>
#include <tuple>

#include "app/globals.h"
#include "app/scene_manager.h"
#include "d3d9/state.h"
#include "diag/log.h"
#include "support/failing_new.h"
#include "support/game_run.h"
#include "support/start_content.h"
#include "support/pictures.h"
#include "support/sound_files.h"

using namespace testing_support;

namespace {

class GameRun : public ::testing::Test {
protected:
    void SetUp() override {
        ResetForNewRun();
        WriteStartContent();
    }
    void TearDown() override { headless::reset(); }
    TempFolder folder;
};

size_t indexOf(const std::vector<std::string>& trace, const std::string& what) {
    auto it = std::find(trace.begin(), trace.end(), what);
    return it == trace.end() ? std::string::npos : static_cast<size_t>(it - trace.begin());
}

// The run showed `count` boxes (the first is the start-up question), the last with this text, title and flags.
void ExpectBoxes(size_t count, const std::string& text, const std::string& title, UINT flags) {
    ASSERT_EQ(headless::messageBoxes().size(), count);
    const auto& box = headless::messageBoxes().back();
    EXPECT_EQ(std::tie(box.text, box.title, box.flags), std::tie(text, title, flags));
}

TEST_F(GameRun, StartUpRunsInItsOrderAndLeavesItsFixedSetUp) {
    headless::recordTrace(true);
    bool sawTitleCurrent = false;
    headless::onFrame([&](int frame) {
        if (frame != 0) return;
        // Everything start-up creates exists before the first frame.
        sawTitleCurrent = g_sceneManager && g_sceneManager->current == g_sceneManager->scenes[SCENE_TITLE];
        EXPECT_EQ(g_leverStates, std::vector<bool>{true});
        EXPECT_EQ(std::make_tuple(g_stageIndex, g_mouseDivisor), std::make_tuple(1, 15.0f));
        EXPECT_TRUE(std::filesystem::exists("Log.txt"));
        // Answered "no": a visible 640 × 480 window with the cursor shown.
        int w = 0, h = 0;
        headless::clientSize(w, h);
        EXPECT_EQ(std::make_tuple(w, h, headless::windowVisible(), headless::relativeMouse(), g_fullScreen),
                  std::make_tuple(640, 480, true, false, false));
        EXPECT_TRUE(g_presentParams.Windowed);
        // The render set-up that the real device's pictures do not show (depth, blending, culling, the
        // ambient light and the lights' downward tilt are checked in the rendering tests).
        const d3d9::DeviceState& s = g_device->impl->state;
        EXPECT_EQ(s.stage[0][D3DTSS_ALPHAOP], DWORD(D3DTOP_MODULATE));
        EXPECT_EQ(s.stage[0][D3DTSS_ALPHAARG2], DWORD(D3DTA_DIFFUSE));
        EXPECT_EQ(s.sampler[0][D3DSAMP_MIPFILTER], DWORD(D3DTEXF_LINEAR));
        EXPECT_EQ(s.fvf, DWORD(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1));
        // Four white lights from the four sides: direction (x, z) each.
        const float dirs[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(
                std::make_tuple(s.lightEnabled[i], s.lights[i].Type, s.lights[i].Direction.x, s.lights[i].Direction.z),
                std::make_tuple(true, D3DLIGHT_DIRECTIONAL, dirs[i][0], dirs[i][1]))
                << "light " << i;
        EXPECT_FALSE(s.lightEnabled[4]);
        headless::pushKeyDown(VK_ESCAPE);
    });
    EXPECT_EQ(RunGame(), 0);
    EXPECT_TRUE(sawTitleCurrent);
    const auto& t = headless::traceLog();
    std::vector<std::string> order = {
        "RegisterClassA",  "CreateWindowExA",    "MessageBoxA",         "ShowWindow",        "UpdateWindow",
        "SetFocus",        "AdjustWindowRect",   "SetWindowPos",        "Direct3DCreate9",   "CreateDevice",
        "timeBeginPeriod", "DirectSoundCreate8", "SetCooperativeLevel", "CreateSoundBuffer", "timeEndPeriod"};
    std::vector<std::string> firsts;  // the first call of each step, in the order they came
    for (const std::string& call : t)
        if (indexOf(order, call) != std::string::npos && indexOf(firsts, call) == std::string::npos)
            firsts.push_back(call);
    EXPECT_EQ(firsts, order);
    ExpectBoxes(1, "フルスクリーンで起動しますか？", "確認", MB_YESNO);
}

TEST_F(GameRun, OtherKeysGoNowhereClosingTheWindowOrEscapeEndsNormallyAndASecondRunAppends) {
    headless::recordTrace(true);
    headless::onFrame([](int frame) {
        if (frame == 1) {
            headless::pushKeyDown('A');
            headless::pushKeyDown(VK_RETURN);
            headless::pushKeyDown('W', true);
        }
        if (frame == 3) headless::pushClose();
    });
    EXPECT_EQ(RunGame(), 0);
    EXPECT_EQ(headless::frameCount(), 3);  // the other keys did not end the run
    EXPECT_EQ(indexOf(headless::traceLog(), "DefWindowProcA WM_KEYDOWN"), std::string::npos);
    EXPECT_EQ(WndProc(nullptr, WM_KEYDOWN, 'A', 0), 0);
    EXPECT_NE(indexOf(headless::traceLog(), "DefWindowProcA WM_CLOSE"), std::string::npos);
    EXPECT_FALSE(headless::windowExists());

    // Escape ends the second run at once, with the normal end logged after the first run's.
    ResetForNewRun();
    headless::onFrame([](int frame) {
        if (frame == 30) headless::pushKeyDown(VK_ESCAPE);
    });
    EXPECT_EQ(RunGame(), 0);
    EXPECT_EQ(headless::frameCount(), 30);
    std::string once = EndOfRunPattern(" ||  正常終了");
    EXPECT_TRUE(std::regex_match(ReadFile("Log.txt"), std::regex(once + once)));
    // Nothing of the run is left behind: device, Direct3D, scene manager, sound bank, audio output.
    EXPECT_EQ((std::vector<bool>{!g_device, !g_d3d, !g_sceneManager, !g_soundBank, !headless::audioOutputOpen()}),
              std::vector<bool>(5, true));
}

TEST_F(GameRun, UnwritableLogShowsItsBoxCreatesNothingAndFails) {
    std::filesystem::create_directory("Log.txt");  // even root cannot open a folder for writing
    bool sceneManagerCreated = false;
    headless::onFrame([&](int) { sceneManagerCreated = sceneManagerCreated || g_sceneManager != nullptr; });
    EXPECT_NE(RunGame(), 0);
    EXPECT_FALSE(sceneManagerCreated);
    ExpectBoxes(2, "ログファイルの出力に失敗しました", "Error", MB_OK);
    EXPECT_TRUE(std::filesystem::is_directory("Log.txt"));
    EXPECT_LE(headless::frameCount(), 1);
}

TEST_F(GameRun, NoWindowEndsAtOnceWithoutBoxOrLog) {
    headless::failWindowCreation(true);
    EXPECT_NE(RunGame(), 0);
    EXPECT_TRUE(headless::messageBoxes().empty());
    EXPECT_FALSE(std::filesystem::exists("Log.txt"));
}

TEST_F(GameRun, NoDeviceShowsItsBoxAndLeavesTheLogAlone) {
    headless::failDevice(true);
    headless::recordTrace(true);
    EXPECT_NE(RunGame(), 0);
    ExpectBoxes(2, "DirectX9が初期化できません。\n未対応のパソコンと思われます。", "ERROR", MB_ICONERROR);
    EXPECT_EQ(std::count(headless::traceLog().begin(), headless::traceLog().end(), "CreateDevice"), 3);
    EXPECT_FALSE(std::filesystem::exists("Log.txt"));
    EXPECT_EQ(g_d3d, nullptr);
}

// Answered "yes": full screen. A present that fails is reset every frame while the game goes on.
TEST_F(GameRun, FullScreenHidesTheCursorAsksForX8R8G8B8AndResetsAFailingPresentEveryFrame) {
    headless::queueAnswer(IDYES);
    headless::onFrame([](int frame) {
        if (frame == 0) {
            const D3DPRESENT_PARAMETERS& p = g_presentParams;
            // The hidden cursor over the focused window captures the mouse for mouse look.
            EXPECT_EQ(std::make_tuple(g_fullScreen, p.Windowed, p.BackBufferFormat, p.BackBufferWidth,
                                      p.BackBufferHeight, headless::relativeMouse()),
                      std::make_tuple(true, FALSE, D3DFMT_X8R8G8B8, 640u, 480u, true));
        }
        if (frame == 2) headless::failPresent(true);
        if (frame == 7) {
            // Frames 2..6 presented and failed: five resets, one per frame.
            const auto& counters = g_device->impl->counters;
            EXPECT_EQ(std::make_tuple(counters.resets, counters.failedPresents), std::make_tuple(5u, 5u));
            headless::failPresent(false);
        }
        if (frame == 9) {
            EXPECT_EQ(g_device->impl->counters.resets, 6u);
            headless::pushKeyDown(VK_ESCAPE);
        }
    });
    EXPECT_EQ(RunGame(), 0);
}

// `events`, then how the log ends after a failed run: the end line, 96 "=", an empty line.
std::vector<std::string> EndingAbnormally(std::vector<std::string> events) {
    for (std::string end : {std::string("log  ||  異常終了"), "log " + std::string(96, '='), std::string("log ")})
        events.push_back(end);
    return events;
}

// A scene that records what the manager does to it.
struct FakeScene : Scene {
    SceneId id;
    SceneId next;
    bool failInUpdate = false;
    std::vector<std::string>* events;
    FakeScene(SceneId id, std::vector<std::string>* events) : id(id), next(id), events(events) {}
    void Note(const char* what) { events->push_back(what + (" " + std::to_string(id))); }
    bool Enter() override {
        Note("enter");
        return true;
    }
    SceneId Update() override {
        Note("update");
        if (failInUpdate) g_fatalError = true;
        return next;
    }
    void Draw3D() override { Note("draw3d"); }
    void Draw2D() override { Note("draw2d"); }
    void Leave() override { Note("leave"); }
};

// Swaps the five real scenes for fakes once start-up has made them.
std::vector<FakeScene*> installFakes(std::vector<std::string>* events) {
    std::vector<FakeScene*> fakes;
    for (int i = 0; i < 5; ++i) {
        delete g_sceneManager->scenes[i];
        auto* f = new FakeScene(static_cast<SceneId>(i), events);
        g_sceneManager->scenes[i] = f;
        fakes.push_back(f);
    }
    g_sceneManager->current = fakes[0];
    return fakes;
}

// Runs the game, with fakes in place from frame 0, to `result`; `script` runs at every frame after.
void RunWithFakes(int result, std::vector<std::string>& events, std::function<void(int, FakeScene& title)> script) {
    std::vector<FakeScene*> fakes;
    headless::onFrame([&](int frame) {
        if (frame == 0) fakes = installFakes(&events);
        script(frame, *fakes[0]);
    });
    EXPECT_EQ(RunGame(), result);
}

TEST_F(GameRun, SceneSwitchRunsLeaveEnterAndDrawsTheNewSceneInTheSameFrame) {
    std::vector<std::string> events;
    RunWithFakes(0, events, [&](int frame, FakeScene& title) {
        if (frame == 3) title.next = SCENE_LOAD;
        if (frame == 4) {
            EXPECT_EQ(events, (std::vector<std::string>{"update 0", "draw3d 0", "draw2d 0", "update 0", "draw3d 0",
                                                        "draw2d 0", "update 0", "draw3d 0", "draw2d 0", "update 0",
                                                        "leave 0", "enter 1", "draw3d 1", "draw2d 1"}));
            events.clear();
            headless::pushKeyDown(VK_ESCAPE);
        }
    });
    // Shutdown leaves only the current scene.
    EXPECT_EQ(events, (std::vector<std::string>{"leave 1"}));
}

TEST_F(GameRun, FailureInUpdateStillSwitchesButDrawsNothingAndEndsAbnormally) {
    std::vector<std::string> events;
    RunWithFakes(1, events, [&](int frame, FakeScene& title) {
        if (frame == 2) {
            title.failInUpdate = true;
            title.next = SCENE_LOAD;
            events.clear();
        }
    });
    EXPECT_EQ(events, (std::vector<std::string>{"update 0", "leave 0", "enter 1", "leave 1"}));
    EXPECT_EQ(headless::frameCount(), 3);  // the failing frame still presented, and no frame after it
    EXPECT_TRUE(std::regex_match(ReadFile("Log.txt"), std::regex(EndOfRunPattern(" ||  異常終了"))));
}

TEST_F(GameRun, MissingWhiteTextureShowsItsBoxFinishesStartUpAndDrawsNothing) {
    std::filesystem::remove("data/texture/white.png");
    BoxAndLogSequence sequence;
    bool startUpFinished = false;
    std::vector<std::string> events;
    headless::onFrame([&](int frame) {
        if (frame != 0) return;
        startUpFinished = g_sprite && g_bloodTexture && g_resourceCache && g_sceneManager && g_stageIndex == 1 &&
                          g_leverStates == std::vector<bool>{true} && g_sineTable[90] > 0.99f;
        EXPECT_EQ(g_whiteTexture, nullptr);
        installFakes(&events);
    });
    EXPECT_EQ(RunGame(), 1);
    EXPECT_TRUE(startUpFinished);
    ExpectBoxes(2, "data/texture/white.pngの読み込みに失敗しました", "Error", MB_OK);
    // One frame ran with no scene updated or drawn; the quit it posted ended the loop.
    EXPECT_EQ(headless::frameCount(), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"leave 0"}));
    // A texture writes its log line before its box.
    EXPECT_EQ(sequence.Events(),
              EndingAbnormally({"box 確認: フルスクリーンで起動しますか？",
                                "log  ||  Error: テクスチャ「data/texture/white.png」の読み込みに失敗しました",
                                "box Error: data/texture/white.pngの読み込みに失敗しました"}));
}

TEST_F(GameRun, EveryStartSoundMissingShowsThenLogsEachInLoadOrder) {
    for (const auto& e : std::filesystem::directory_iterator("data/sound")) std::filesystem::remove(e.path());
    BoxAndLogSequence sequence;
    EXPECT_EQ(RunGame(), 1);
    std::vector<std::string> expected = {"box 確認: フルスクリーンで起動しますか？"};
    // The fifteen loads in their order; "puu35.wav" failed the first time, so its second load fails again.
    for (const char* name : {"bosu08.wav", "puu35.wav", "mecha07.wav", "mecha23_b.wav", "puu35.wav", "mecha01.wav",
                             "kachi44.wav", "bosu20.wav", "bosu05.wav", "mecha32.wav", "beep07.wav", "cursor37.wav",
                             "mecha00.wav", "close01.wav", "mecha15.wav"}) {
        expected.push_back(std::string("box Error: 「") + name + "」の読み込みに失敗しました");
        expected.push_back(std::string("log  ||  Error:「") + name + "」の読み込みに失敗しました");
    }
    EXPECT_EQ(sequence.Events(), EndingAbnormally(expected));
}

TEST(OutOfMemory, LogsShowsAndEndsTheRunWithAFailure) {
    // A request far beyond any machine; then every allocation failing even after the reserve is freed,
    // the box's own included: the handler is called again from inside itself and must still end the run
    // with the end lines written.
    for (bool failEverything : {false, true}) {
        TempFolder folder;
        EXPECT_EXIT(
            {
                headless::reset();
                g_log.open("Log.txt");
                std::set_new_handler(OutOfMemoryHandler);
                testing_support::FailEveryAllocation(failEverything);
                volatile size_t size = failEverything ? 16 : size_t(1) << 62;
                char* p = new char[size];
                p[0] = 1;
            },
            ::testing::ExitedWithCode(1), "");
        std::string log = ReadFile("Log.txt");
        std::string expected = LogLinePattern(" ||  メモリ確保に失敗しました") + EndOfRunPattern(" ||  異常終了");
        EXPECT_TRUE(std::regex_match(log, std::regex(expected))) << failEverything << log;
    }
}

}  // namespace
