// Levers: the reach of E, one flip per press, every lever in reach, the state written in the frame of
// the flip, and what the lever-state list holds before a lever's first frame and for channels it lacks.
#include <gtest/gtest.h>

#include "stage/lever_states.h"
#include "stage/odoor.h"
#include "stage/olever.h"
#include "support/world.h"

using namespace testing_support;

namespace {

class LeverTest : public World {};

Sound Clunk(int frame) { return Played("bosu05.wav", -1500, 0, frame); }

// Handles 10 above the levers' origins; the eye exactly 14 from the first, 14.01 from the second.
TEST_F(LeverTest, EFlipsWithinFourteenOfTheHandleAndNotBeyond) {
    auto* near = MakeAs<OLever>(TYPE_LEVER, "leveroff.x", {0, 0, 0}, {1, 0});
    auto* far = MakeAs<OLever>(TYPE_LEVER, "leveroff.x", {0, 0, 28.01f}, {2, 1});
    EXPECT_EQ(g_leverStates, (std::vector<bool>{true, false, true}));  // each lever appends its initial state
    g_player.position = D3DXVECTOR3(0, 10, 14);
    UpdateObjects({'E'});
    EXPECT_EQ(std::pair(near->on, far->on), std::pair(true, true));  // the far one left on as it started
    EXPECT_EQ(sounds, std::vector<Sound>{Clunk(1)});
}

TEST_F(LeverTest, HeldEFlipsOnceAndTwoLeversInReachBothFlip) {
    auto* a = MakeAs<OLever>(TYPE_LEVER, "leveroff.x", {0, 0, 0}, {1, 0});
    auto* b = MakeAs<OLever>(TYPE_LEVER, "leveroff.x", {6, 0, 0}, {2, 1});
    g_player.position = D3DXVECTOR3(3, 10, 0);
    for (int i = 0; i < 10; ++i) UpdateObjects({'E'});  // held from the first frame: triggered once
    EXPECT_EQ(std::pair(a->on, b->on), std::pair(true, false));
    EXPECT_EQ(sounds, (std::vector<Sound>{Clunk(1), Clunk(1)}));
    UpdateObjects();
    UpdateObjects({'E'});
    EXPECT_EQ(std::pair(a->on, b->on), std::pair(false, true));
    EXPECT_EQ(sounds.size(), 4u);
}

// A door listed after its lever opens in the very frame of the flip: the lever writes its new state
// before the door reads it. One listed before the lever sees it a frame later.
TEST_F(LeverTest, TheFlipIsWrittenInTheSameFrame) {
    auto* before = MakeAs<ODoor>(TYPE_DOOR, "door.x", {0, 16, 20}, {1});
    Make(TYPE_LEVER, "leveroff.x", {0, 0, 0}, {1, 0});
    auto* after = MakeAs<ODoor>(TYPE_DOOR, "door.x", {0, 16, 0}, {1});
    g_player.position = D3DXVECTOR3(0, 10, 5);
    UpdateObjects({'E'});
    EXPECT_EQ(std::tuple(g_leverStates[1], after->openAmount, before->openAmount), std::tuple(true, 1.5f, 0.0f));
    UpdateObjects();
    EXPECT_EQ(before->openAmount, 1.5f);
}

TEST_F(LeverTest, AnObjectBeforeItsLeverReadsTheOldStateOnTheFirstFrame) {
    // A stage before left channel 1 on; the list is never cleared.
    Make(TYPE_LEVER, "leveron.x", {500, 0, 0}, {1, 1});
    UpdateObjects();
    ClearObjects();
    // The next stage: a door on channel 1, then its lever (off), appended as element 2.
    auto* door = MakeAs<ODoor>(TYPE_DOOR, "door.x", {0, 16, 0}, {1});
    Make(TYPE_LEVER, "leveroff.x", {0, 0, 30}, {1, 0});
    EXPECT_EQ(g_leverStates, (std::vector<bool>{true, true, false}));
    g_player.position = D3DXVECTOR3(0, 12, -20);
    UpdateObjects();
    EXPECT_TRUE(door->open);  // read before the lever wrote
    UpdateObjects();
    EXPECT_FALSE(door->open);
}

TEST_F(LeverTest, ChannelsTheListDoesNotReachReadFalseAndAWriteGrowsTheList) {
    EXPECT_EQ(std::pair(ReadLeverState(1), ReadLeverState(-1)), std::pair(false, false));
    auto* door = MakeAs<ODoor>(TYPE_DOOR, "door.x", {0, 16, 0}, {7});
    g_player.position = D3DXVECTOR3(0, 12, -10);
    UpdateObjects();
    EXPECT_EQ(std::pair(door->open, g_leverStates.size()), std::pair(false, size_t{1}));  // reading never grows it
    Make(TYPE_LEVER, "leveron.x", {0, 0, 0}, {5, 1});
    UpdateObjects();
    EXPECT_EQ(g_leverStates, (std::vector<bool>{true, true, false, false, false, true}));
    // Negative and absurd channels: nothing is written or reserved, the reads are false.
    Make(TYPE_LEVER, "leveron.x", {0, 0, 0}, {-3, 1});
    Make(TYPE_LEVER, "leveron.x", {0, 0, 0}, {3.0e9f, 1});
    UpdateObjects();
    EXPECT_EQ(g_leverStates.size(), 8u);
    EXPECT_LT(g_leverStates.capacity(), 100000u);
    EXPECT_FALSE(ReadLeverState(kMaxLeverChannel + 1));
}

TEST_F(LeverTest, DrawsTheMeshOfItsStateAndRestoresItsOwnShape) {
    ASSERT_TRUE(g_resourceCache->LoadMesh("leveroff.x"));
    auto* lever = MakeAs<OLever>(TYPE_LEVER, "leveron.x", {5, 0, 7}, {1, 1}, 90.0f);
    headless::recordDraws(true);
    DrawAll();
    const size_t onDraws = headless::recordedDraws().size();
    EXPECT_EQ(onDraws, g_resourceCache->Find("leveron.x")->materialCount);
    const D3DMATRIX& world = headless::recordedDraws()[0].state.world;
    EXPECT_NEAR(world._13, -1.0f, 1e-6);  // RotationY(90): x goes to −z
    EXPECT_EQ(world._41, 5.0f);
    EXPECT_EQ(lever->workVertices, lever->baseVertices);
    lever->on = false;
    DrawAll();
    EXPECT_EQ(headless::recordedDraws().size() - onDraws, g_resourceCache->Find("leveroff.x")->materialCount);
}

}  // namespace
