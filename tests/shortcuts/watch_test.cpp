// The gates on a live world: a door passed shut and the ways of not passing it, and each condition's
// history (from the load on, the stale first frame left out), only while the player lives on the stage.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/globals.h"
#include "app/scene.h"
#include "player/player_state.h"
#include "stage/odoor.h"
#include "stage/stage_state.h"
#include "support/world.h"
#include "tools/shortcuts/watch.h"

using namespace shortcuts;
using namespace testing_support;

namespace {

class WatchTest : public World {
protected:
    void Read(const std::string& text) {
        std::string error;
        ASSERT_TRUE(ParseGates(text, 1, "/", gates, error)) << error;
        watch = std::make_unique<Watch>(gates);
    }
    // The stage's load (`stage` is the one loaded), then game frames as Step asks for them.
    void LoadStage(int stage = 1) {
        g_stageIndex = stage;
        watch->Observe(n++, SCENE_LOAD);
    }
    // One game frame, the eye at `eye`; the names of the gates met in it.
    std::vector<std::string> Step(D3DXVECTOR3 eye = {0, 12, -30}) {
        g_player.position = eye;
        std::vector<std::string> names;
        for (const Met& m : watch->Observe(n++, SCENE_GAME)) names.push_back(gates.gates[m.gate].name);
        return names;
    }
    // The gates read from `text`, stage 1 loaded and its first game frame played (whose state is stale).
    void Start(const std::string& text) {
        Read(text);
        LoadStage();
        Step();
    }
    // A shot in the frame before that put a bulge's centre at `at`; a miss leaves slot 3 as slot 2.
    void Shot(D3DXVECTOR3 at, bool miss = false) {
        g_player.shotFlash = 245;
        g_player.bulgeActive[3] = true;
        g_player.bulgeCenter[2] = miss ? at : D3DXVECTOR3(99, 99, 99);
        g_player.bulgeCenter[3] = at;
    }

    Gates gates;
    std::unique_ptr<Watch> watch;
    int n = 0;
    const std::vector<std::string> none{};
    static std::vector<std::string> only(const char* name) { return {name}; }
};

// The door stands at (0, 16, 0): its plane is z = 0 turned by its yaw, its square 32 wide round the
// origin (y 0 to 32). The eye walks the (x, z) points at height 12.
struct DoorWalk {
    const char* what;
    float yaw, open, y;
    std::vector<std::pair<float, float>> path;
    bool passed;
};

class DoorPassing : public WatchTest, public testing::WithParamInterface<DoorWalk> {};

TEST_P(DoorPassing, CountsOnlyAPassageThroughTheShutSquare) {
    const DoorWalk& w = GetParam();
    ODoor* door = static_cast<ODoor*>(Make(TYPE_DOOR, "door.x", {0, 16, 0}, {0}, w.yaw));
    door->openAmount = w.open;
    Read("gate through door 1\n");
    LoadStage();
    bool passed = false;
    for (const auto& [x, z] : w.path) passed = passed || !Step({x, w.y, z}).empty();
    EXPECT_EQ(passed, w.passed) << w.what;
}

const std::vector<std::pair<float, float>> kAcross = {{5, -10}, {5, -6}, {5, -2}, {5, 2}, {5, 6}, {5, 10}};

INSTANTIATE_TEST_SUITE_P(
    Walks, DoorPassing,
    testing::Values(
        DoorWalk{"straight through, shut", 0, 0, 12, kAcross, true},
        DoorWalk{"back the other way", 0, 0, 12, {{-3, 9}, {-3, 3}, {-3, -3}, {-3, -9}}, true},
        // 3.9 a panel leaves a gap of 7.8, narrower than the body's 8.
        DoorWalk{"opened 3.9", 0, 3.9f, 12, kAcross, true}, DoorWalk{"opened 4", 0, 4, 12, kAcross, false},
        DoorWalk{"wide open", 0, 40, 12, kAcross, false}, DoorWalk{"over the top", 0, 0, 33, kAcross, false},
        DoorWalk{"beside it", 0, 0, 12, {{17, -10}, {17, 0.5f}, {17, 10}}, false},
        DoorWalk{"into the panels and back", 0, 0, 12, {{5, -10}, {5, -2}, {5, 1}, {5, 3}, {5, -2}, {5, -10}}, false},
        DoorWalk{"stuck just past the plane", 0, 0, 12, {{5, -10}, {5, -2}, {5, 2}, {5, 3.9f}}, false},
        // Turned a quarter, the door's plane is x = 0.
        DoorWalk{"a turned door, across x", 90, 0, 12, {{-10, 5}, {-2, 5}, {2, 5}, {10, 5}}, true},
        DoorWalk{"a turned door, along z", 90, 0, 12, {{5, -10}, {5, 10}}, false}));

TEST_F(WatchTest, TheGoalWithAChannelNeverOnCountsFromTheSecondFrameOfThePlay) {
    Read("gate early goal never 1\n");
    g_leverStates = {true, true};  // what the last play left on channel 1
    LoadStage();
    EXPECT_EQ(Step(), none);  // the first game frame: the levers have not written yet
    g_leverStates[1] = false;
    EXPECT_EQ(Step(), none);
    g_goalReached = true;
    EXPECT_EQ(Step(), only("early"));
    EXPECT_EQ(Step(), none);  // once

    g_goalReached = false;
    Start("gate early goal never 1\n");  // a new play
    g_leverStates[1] = true;             // on for a frame
    Step();
    g_leverStates[1] = false;
    g_goalReached = true;
    EXPECT_EQ(Step(), none);
}

TEST_F(WatchTest, AShotThatLandedInTheBoxKeepsTheGateShutAMissDoesNot) {
    const char* high = "gate high enter -10 30 -10 10 60 10 unshot -5 -5 -5 5 5 5\n";
    Start(high);
    Shot({0, 0, 0}, true);  // a miss
    Step();
    Shot({8, 0, 0});  // outside the box
    Step();
    EXPECT_EQ(Step({0, 40, 0}), only("high"));

    Start(high);
    Shot({4, -4, 4});
    Step();
    g_player.shotFlash = 235;
    EXPECT_EQ(Step({0, 40, 0}), none);
}

TEST_F(WatchTest, ObjectsStoodOnChannelsNowAndTheGroundAreEachConditions) {
    Obj* goal = Make(TYPE_GOAL, "goal.x", {50, 0, 50}, {2});
    g_leverStates = {true, false, true};
    const char* both =
        "gate off enter -1 0 -1 1 20 1 off 1 grounded\n"
        "gate on enter -1 0 -1 1 20 1 on 2 unridden 1\n";
    Start(both);
    g_player.airborne = true;
    EXPECT_EQ(Step({0, 12, 0}), only("on"));
    g_player.airborne = false;
    EXPECT_EQ(Step({0, 12, 0}), only("off"));

    Start(both);
    goal->playerOnTop = true;  // stood on for one frame
    Step();
    goal->playerOnTop = false;
    g_leverStates[1] = true;  // channel 1 on now
    EXPECT_EQ(Step({0, 12, 0}), none);
}

TEST_F(WatchTest, OnlyAPlayerAliveOnTheWatchedStageMeetsGates) {
    Read("gate g goal\n");
    g_goalReached = true;
    LoadStage(2);  // another stage
    EXPECT_EQ(Step(), none);
    LoadStage();
    g_player.health = 0.0f;  // a fatal hit, the death not begun yet
    EXPECT_EQ(Step(), none);
    g_player.dead = true;
    EXPECT_EQ(Step(), none);
    EXPECT_FALSE(watch->Playing());
    g_player.health = 255.5f;
    g_player.dead = false;
    EXPECT_EQ(Step(), only("g"));
    EXPECT_TRUE(watch->Playing());
}

TEST_F(WatchTest, AGateNamingAMissingOrWrongObjectIsAProblem) {
    Make(TYPE_GOAL, "goal.x", {50, 0, 50}, {2});
    Start("gate d door 1\n");
    EXPECT_EQ(watch->Problem(), "gate d: object 1 is not a door (type 9)");
    Start("gate g goal unridden 7\n");
    EXPECT_EQ(watch->Problem(), "gate g: stage 1 has 1 objects, no object 7");
}

}  // namespace
