// Levers: the reach of E, one flip per press, every lever in reach, and what the lever-state list holds
// before, during and after a lever's first frame, including channels the list does not reach.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/input.h"
#include "player/player_state.h"
#include "resource/resource_cache.h"
#include "stage/lever_states.h"
#include "stage/odoor.h"
#include "stage/olever.h"
#include "support/object_world.h"

using namespace testing_support;

namespace {

class LeverTest : public ObjectWorldTest {};

const RecordedSound Clunk(int frame) { return {true, "bosu05.wav", -1500, 0, frame}; }

TEST_F(LeverTest, EFlipsWithinFourteenOfTheHandleAndNotBeyond) {
    // Handles at (0, 10, 0) and (100, 10, 0); the eye exactly 14 from the first along z.
    auto* near = static_cast<OLever*>(Make(TYPE_LEVER, "leveroff.x", {0, 0, 0}, {1, 0}));
    auto* far = static_cast<OLever*>(Make(TYPE_LEVER, "leveroff.x", {100, 0, 0}, {2, 1}));
    EXPECT_EQ(g_leverStates, (std::vector<bool>{true, false, true}));  // each lever appends its initial state
    g_player.position = D3DXVECTOR3(0, 10, 14);
    SampleE(true);
    UpdateAll();
    EXPECT_TRUE(near->on);
    EXPECT_TRUE(far->on);
    EXPECT_EQ(sounds, (std::vector<RecordedSound>{Clunk(1)}));
    EXPECT_EQ(near->DescribeState(), "on 1 channel 1");

    // 14.01 from the second lever's handle: out of reach.
    g_player.position = D3DXVECTOR3(100, 10, -14.01f);
    SampleE(false);
    UpdateAll();
    SampleE(true);
    UpdateAll();
    EXPECT_TRUE(far->on);
    EXPECT_TRUE(near->on);
    EXPECT_EQ(sounds.size(), 1u);
    EXPECT_EQ(g_leverStates, (std::vector<bool>{true, true, true}));
}

TEST_F(LeverTest, HeldEFlipsOnceAndTwoLeversInReachBothFlip) {
    auto* a = static_cast<OLever*>(Make(TYPE_LEVER, "leveroff.x", {0, 0, 0}, {1, 0}));
    auto* b = static_cast<OLever*>(Make(TYPE_LEVER, "leveroff.x", {6, 0, 0}, {2, 1}));
    g_player.position = D3DXVECTOR3(3, 10, 0);
    for (int i = 0; i < 10; ++i) {
        SampleE(true);  // held from the first frame: triggered on the first only
        UpdateAll();
    }
    EXPECT_TRUE(a->on);
    EXPECT_FALSE(b->on);
    EXPECT_EQ(sounds, (std::vector<RecordedSound>{Clunk(1), Clunk(1)}));
    EXPECT_EQ(g_leverStates, (std::vector<bool>{true, true, false}));
    SampleE(false);
    UpdateAll();
    SampleE(true);
    UpdateAll();
    EXPECT_FALSE(a->on);
    EXPECT_TRUE(b->on);
    EXPECT_EQ(sounds.size(), 4u);
    EXPECT_EQ(sounds.back(), Clunk(12));
}

TEST_F(LeverTest, AnObjectBeforeItsLeverReadsTheOldStateOnTheFirstFrame) {
    // A stage before left channel 1 on; the list is never cleared.
    Make(TYPE_LEVER, "leveron.x", {500, 0, 0}, {1, 1});
    UpdateAll();
    ClearObjects();
    EXPECT_EQ(g_leverStates, (std::vector<bool>{true, true}));

    // The next stage: a door on channel 1, then its lever (off), appended as element 2.
    auto* door = static_cast<ODoor*>(Make(TYPE_DOOR, "door.x", {0, 16, 0}, {1}));
    Make(TYPE_LEVER, "leveroff.x", {0, 0, 30}, {1, 0});
    EXPECT_EQ(g_leverStates, (std::vector<bool>{true, true, false}));
    g_player.position = D3DXVECTOR3(0, 12, -20);
    UpdateAll();
    EXPECT_TRUE(door->open);  // read before the lever wrote
    EXPECT_EQ(g_leverStates[1], false);
    UpdateAll();
    EXPECT_FALSE(door->open);
    EXPECT_EQ(door->openAmount, 0.0f);
    EXPECT_EQ(sounds.size(), 2u);  // opening and closing
}

TEST_F(LeverTest, ChannelsTheListDoesNotReachReadFalseAndAWriteGrowsTheList) {
    EXPECT_FALSE(ReadLeverState(1));
    EXPECT_FALSE(ReadLeverState(-1));
    EXPECT_TRUE(ReadLeverState(0));
    auto* door = static_cast<ODoor*>(Make(TYPE_DOOR, "door.x", {0, 16, 0}, {7}));
    g_player.position = D3DXVECTOR3(0, 12, -10);
    UpdateAll();
    EXPECT_FALSE(door->open);
    EXPECT_EQ(g_leverStates.size(), 1u);  // reading never grows it

    auto* lever = static_cast<OLever*>(Make(TYPE_LEVER, "leveron.x", {0, 0, 0}, {5, 1}));
    EXPECT_EQ(g_leverStates.size(), 2u);
    UpdateAll();
    EXPECT_EQ(g_leverStates, (std::vector<bool>{true, true, false, false, false, true}));
    EXPECT_TRUE(lever->on);

    // Negative and absurd channels: nothing is written, nothing is reserved, the reads are false.
    size_t before = g_leverStates.size();
    Make(TYPE_LEVER, "leveron.x", {0, 0, 0}, {-3, 1});
    Make(TYPE_LEVER, "leveron.x", {0, 0, 0}, {3.0e9f, 1});
    UpdateAll();
    EXPECT_EQ(g_leverStates.size(), before + 2);
    EXPECT_LT(g_leverStates.capacity(), 100000u);
    EXPECT_FALSE(ReadLeverState(kMaxLeverChannel + 1));
    auto* wild = static_cast<OLever*>(g_objRoot.next->next->next->next);
    EXPECT_EQ(wild->channel, 2147483647);  // held at the end of the int range
}

TEST_F(LeverTest, DrawsTheMeshOfItsStateAndRestoresItsOwnShape) {
    Load({"leveroff.x"});
    auto* lever = static_cast<OLever*>(Make(TYPE_LEVER, "leveron.x", {5, 0, 7}, {1, 1}, 90.0f));
    headless::recordDraws(true);
    DrawAll();
    size_t onDraws = headless::recordedDraws().size();
    EXPECT_EQ(onDraws, g_resourceCache->Find("leveron.x")->materialCount);
    const D3DMATRIX& world = headless::recordedDraws()[0].state.world;
    EXPECT_NEAR(world._11, 0.0f, 1e-6);
    EXPECT_NEAR(world._13, -1.0f, 1e-6);  // RotationY(90): x goes to -z
    EXPECT_EQ(world._41, 5.0f);
    EXPECT_EQ(world._43, 7.0f);
    EXPECT_EQ(lever->workVertices, lever->baseVertices);
    lever->on = false;
    DrawAll();
    EXPECT_EQ(headless::recordedDraws().size() - onDraws, g_resourceCache->Find("leveroff.x")->materialCount);
    headless::recordDraws(false);
}

}  // namespace
