// A whole game through the real WinMain: title, a stage with a lever, a door and a goal leading past the
// last stage, the clear screen, and back to the title at stage 1; every sound call with its frame.
#include <gtest/gtest.h>

#include <dsound.h>

#include <optional>

#include "app/fade.h"
#include "app/globals.h"
#include "app/scene_manager.h"
#include "player/player_state.h"
#include "sound/sound_bank.h"
#include "stage/odoor.h"
#include "stage/olever.h"
#include "support/game_run.h"
#include "support/pictures.h"
#include "support/stage_files.h"

using namespace testing_support;

namespace {

struct Heard {
    std::string name;
    LONG volume;
    DWORD flags;
    int frame;
    bool operator==(const Heard&) const = default;
};
void PrintTo(const Heard& h, std::ostream* out) {
    *out << h.name << " " << h.volume << " " << h.flags << " at " << h.frame;
}
std::vector<Heard> heard;
int currentFrame = 0;

bool On(SceneId id) { return g_sceneManager && g_sceneManager->current == g_sceneManager->scenes[id]; }

template <class T>
T* Find(uint16_t code) {
    for (Obj* o = g_objRoot.next; o; o = o->next)
        if (o->typeCode == code) return static_cast<T*>(o);
    return nullptr;
}

int Count(const std::string& name) {
    int n = 0;
    for (const Heard& h : heard) n += h.name == name;
    return n;
}

class ObjectsGameRun : public ::testing::Test {
protected:
    void SetUp() override {
        ResetForNewRun();
        WriteStageContent();
        WritePng("data/texture/clear.png", 640, 480, std::vector<uint32_t>(640 * 480, 0xFF808080));
        WriteStageList("stage1.txt\n");
        WriteStageFile("stage1.txt",
                       "0,12,-40,\n:\nfloor.x\nplycol.x\nleveroff.x\nleveron.x\ndoor.x\ngoal.x\n:\n"
                       "floor.x,1,0,0,0,0,0\n"
                       "plycol.x,10,0,0,0,0,0\n"
                       "leveroff.x,7,5,0,-40,0,0,1,0\n"
                       "door.x,4,0,16,0,0,0,1\n"
                       "goal.x,9,0,0,80,0,0,5\n");
        heard.clear();
        g_soundCallObserver = [](const SoundCall& c) {
            if (c.play) heard.push_back({c.name, c.volume, c.flags, currentFrame});
        };
    }
    void TearDown() override {
        g_soundCallObserver = nullptr;
        headless::reset();
    }
    TempFolder folder;
};

TEST_F(ObjectsGameRun, LeverDoorGoalClearAndBackToTheTitleAtStageOne) {
    std::optional<int> game, clear, title;
    int leverFrame = 0, goalFrame = 0;
    headless::setFrameLimit(2000);
    headless::onFrame([&](int frame) {
        currentFrame = frame;
        if (frame == 1) headless::holdKey(VK_RETURN, true);
        if (frame == 2) headless::holdKey(VK_RETURN, false);
        if (!game && On(SCENE_GAME)) {
            game = frame;
            EXPECT_EQ(g_leverStates, (std::vector<bool>{true, false}));
            headless::holdKey('E', true);  // the lever's handle is 5.4 from the eye
            leverFrame = frame;
        }
        if (game && frame == leverFrame + 1) {
            EXPECT_TRUE(Find<OLever>(TYPE_LEVER)->on);
            EXPECT_TRUE(Find<ODoor>(TYPE_DOOR)->open);  // after its lever in the list: the same frame
            EXPECT_EQ(Find<ODoor>(TYPE_DOOR)->openAmount, 1.5f);
        }
        if (game && frame == leverFrame + 60) {
            headless::holdKey('E', false);
            EXPECT_EQ(Find<ODoor>(TYPE_DOOR)->openAmount, 40.0f);
            EXPECT_TRUE(Find<OLever>(TYPE_LEVER)->on);   // held E flipped it once
            EXPECT_EQ(g_fadeLevel, 0);                   // the game's fade-in from white is over
            g_player.position = D3DXVECTOR3(0, 12, 80);  // on the goal, 80 from the door
            goalFrame = frame;
        }
        if (!clear && On(SCENE_CLEAR)) {
            clear = frame;
            EXPECT_EQ(g_stageIndex, 5);
        }
        if (clear && frame == *clear + 20) headless::holdKey(VK_RETURN, true);
        if (clear && !title && On(SCENE_TITLE)) {
            title = frame;
            EXPECT_EQ(g_stageIndex, 1);
            headless::pushKeyDown(VK_ESCAPE);
        }
    });
    EXPECT_EQ(RunGame(), 0);
    ASSERT_TRUE(game && clear && title);
    EXPECT_EQ(Count("bosu05.wav"), 1);
    EXPECT_EQ(Count("mecha32.wav"), 2);  // opening, and closing once the player is at the goal
    EXPECT_EQ(Count("mecha15.wav"), 1);
    for (const Heard& h : heard) {
        if (h.name == "bosu05.wav") {
            EXPECT_EQ(h, (Heard{"bosu05.wav", -1500, 0, leverFrame}));
        }
        if (h.name == "mecha32.wav") {
            EXPECT_TRUE(h == (Heard{"mecha32.wav", -1000, 0, leverFrame}) ||
                        h == (Heard{"mecha32.wav", -1000, 0, goalFrame}))
                << ::testing::PrintToString(h);
        }
        if (h.name == "mecha15.wav") {
            EXPECT_EQ(h, (Heard{"mecha15.wav", -1000, 0, goalFrame}));
        }
    }
    // The white fade from the level the game had reached (0) at +5: 51 frames, then the hand-over.
    EXPECT_EQ(*clear, goalFrame + 52);
    // Enter held 20 frames into the clear screen: 128 frames to black, then the title.
    EXPECT_EQ(*title, *clear + 20 + 129);
}

TEST_F(ObjectsGameRun, AFixedMeshTheStageDoesNotListIsReportedOncePerLoad) {
    // The goal's record names floor.x, and goal.x is not in the mesh list: the goal works but is not drawn.
    WriteStageFile("stage1.txt",
                   "0,12,-40,\n:\nfloor.x\nplycol.x\n:\n"
                   "floor.x,1,0,0,0,0,0\n"
                   "plycol.x,10,0,0,0,0,0\n"
                   "floor.x,9,0,-300,0,0,0,2\n");
    std::optional<int> game;
    int loads = 0;
    bool wasGame = false;
    headless::setFrameLimit(2000);
    headless::onFrame([&](int frame) {
        if (frame == 1) headless::holdKey(VK_RETURN, true);
        if (frame == 2) headless::holdKey(VK_RETURN, false);
        const bool isGame = On(SCENE_GAME);
        if (isGame && !wasGame) {
            ++loads;
            if (!game) game = frame;
        }
        wasGame = isGame;
        if (game && frame == *game + 100) g_player.health = 0.0f;  // dies: the stage is loaded again
        if (loads == 2 && isGame && frame > *game + 400) headless::pushKeyDown(VK_ESCAPE);
    });
    EXPECT_EQ(RunGame(), 0);
    EXPECT_EQ(loads, 2);
    const std::string log = Cp932ToUtf8(ReadFile("Log.txt"));
    const std::string line = " ||  Warning:メッシュ「goal.x」がステージで読み込まれていないので描画しません";
    int count = 0;
    for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++count;
    EXPECT_EQ(count, 2) << log;
}

}  // namespace
