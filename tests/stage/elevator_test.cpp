// Elevators: the silent approach and the snap at a stop, the ride with its loop and arrival sound, the
// carry (twice on the first frame, never lifting the player itself), the way back to stop A, the stop
// test's tolerance, stops that coincide, and the lamp on material 2.
#include <gtest/gtest.h>

#include <dsound.h>

#include <algorithm>
#include <cstring>

#include "app/globals.h"
#include "player/player_state.h"
#include "resource/resource_cache.h"
#include "stage/oelevator.h"
#include "support/object_world.h"

using namespace testing_support;

namespace {

class ElevatorTest : public ObjectWorldTest {
protected:
    void SetUp() override {
        ObjectWorldTest::SetUp();
        g_leverStates.assign(2, true);  // channel 1 drives the elevators here
    }
    OElevator* Elevator(D3DXVECTOR3 a, D3DXVECTOR3 b, float speed) {
        return static_cast<OElevator*>(Make(TYPE_ELEVATOR, "elevator.x", a, {b.x, b.y, b.z, speed, 1}));
    }
    // The player standing on the deck, as the collision leaves it after each frame.
    void StandOn(OElevator* e) {
        g_player.position.y = e->position.y + 12.0f;
        e->playerOnTop = true;
    }
    int Count(const RecordedSound& s) { return static_cast<int>(std::count(sounds.begin(), sounds.end(), s)); }
    static RecordedSound Loop(int frame) { return {true, "mecha00.wav", -2000, DSBPLAY_LOOPING, frame}; }
    static RecordedSound Halt(int frame) { return {false, "mecha00.wav", 0, 0, frame}; }
    static RecordedSound Arrival(int frame) { return {true, "close01.wav", -1000, 0, frame}; }
};

TEST_F(ElevatorTest, ComesSilentlyToTheStopNearADistantPlayerAndSnapsThere) {
    OElevator* e = Elevator({0, 0, 0}, {100, 0, 0}, 1.0f);
    g_player.position = D3DXVECTOR3(100, 12, 30);  // 32 from B, far from A
    for (int i = 1; i <= 99; ++i) {
        UpdateAll();
        EXPECT_EQ(e->position, D3DXVECTOR3(float(i), 0, 0)) << i;
    }
    EXPECT_TRUE(sounds.empty());
    UpdateAll();  // within one step of B: there
    EXPECT_EQ(e->position, D3DXVECTOR3(100, 0, 0));
    UpdateAll();
    EXPECT_EQ(e->position, D3DXVECTOR3(100, 0, 0));
    // Resting at a stop only ever stops the loop; nothing plays.
    EXPECT_EQ(sounds, (std::vector<RecordedSound>{Halt(100), Halt(101)}));
    EXPECT_FALSE(e->riding);
}

TEST_F(ElevatorTest, RidesThePlayerAcrossWithTheLoopAndTheArrivalSound) {
    OElevator* e = Elevator({0, 0, 0}, {100, 0, 0}, 1.0f);
    g_player.position = D3DXVECTOR3(0, 12, 0);
    StandOn(e);
    UpdateAll();
    // The first frame of a ride moves the elevator twice and the player once.
    EXPECT_EQ(e->position, D3DXVECTOR3(2, 0, 0));
    EXPECT_EQ(g_player.position, D3DXVECTOR3(1, 12, 0));
    EXPECT_TRUE(e->riding);
    EXPECT_TRUE(e->motionSound);
    EXPECT_EQ(e->DescribeState(), "riding 1 motion 1 step 1.0000,0.0000,0.0000 position 2.0000,0.0000,0.0000");
    EXPECT_EQ(sounds, (std::vector<RecordedSound>{Halt(1), Halt(1), Loop(1)}));
    for (int i = 2; i <= 98; ++i) {
        StandOn(e);
        UpdateAll();
        EXPECT_EQ(e->position.x, float(i + 1)) << i;
        EXPECT_EQ(g_player.position.x, float(i)) << i;
    }
    EXPECT_EQ(sounds.size(), 3u);  // no sound on the way
    // Within one step of B: snapped, loop stopped, the arrival played; the carry still runs after the
    // snap, so it rests one step beyond B and pushes the player along while the player stays on it.
    StandOn(e);
    UpdateAll();
    EXPECT_EQ(e->position.x, 101.0f);
    EXPECT_EQ(g_player.position.x, 99.0f);
    StandOn(e);
    UpdateAll();
    EXPECT_EQ(e->position.x, 101.0f);
    EXPECT_EQ(g_player.position.x, 100.0f);
    EXPECT_EQ(Count(Arrival(99)), 1);
    EXPECT_EQ(Count(Loop(1)), 1);
    EXPECT_EQ(sounds.size(), 6u);  // and the two stops at the snaps
    EXPECT_EQ(sounds[3], Halt(99));
    EXPECT_EQ(sounds[5], Halt(100));

    // Off it and away: the ride ends. Back on it: a ride toward the stop farther from the player, A.
    e->playerOnTop = false;
    g_player.position = D3DXVECTOR3(140, 12, 0);
    UpdateAll();
    EXPECT_FALSE(e->riding);
    EXPECT_EQ(e->position.x, 100.0f);
    g_player.position = D3DXVECTOR3(100, 12, 0);
    StandOn(e);
    UpdateAll();
    EXPECT_EQ(e->position.x, 98.0f);
    EXPECT_EQ(g_player.position.x, 99.0f);
    EXPECT_EQ(sounds.back(), Loop(frame - 1));
}

TEST_F(ElevatorTest, GoingUpItLeavesThePlayersHeightToTheCollisionAndRestsOneStepAboveItsStop) {
    // Stop B at 40.25 with speed 0.7: the step beyond the stop measures 0.7000008 back to it.
    OElevator* e = Elevator({0, 0, 0}, {0, 40.25f, 0}, 0.7f);
    g_player.position = D3DXVECTOR3(0, 12, 0);
    StandOn(e);
    for (int i = 0; i < 200; ++i) {
        float before = g_player.position.y;
        UpdateAll();
        EXPECT_EQ(g_player.position.y, before) << "frame " << frame - 1;
        EXPECT_LE(e->position.y, 40.25f + 0.7f) << "frame " << frame - 1;
        StandOn(e);
    }
    EXPECT_EQ(e->position.y, 40.25f + 0.7f);
    EXPECT_EQ(e->step, D3DXVECTOR3(0, 0.7f, 0));
    EXPECT_EQ(Count(Loop(1)), 1);
    int arrivals = 0;
    for (const RecordedSound& s : sounds) arrivals += s.name == "close01.wav";
    EXPECT_EQ(arrivals, 1);
}

TEST_F(ElevatorTest, GoingDownItTakesThePlayerDownWithIt) {
    OElevator* e = Elevator({5, 0, 5}, {5, -30, 5}, 1.0f);
    g_player.position = D3DXVECTOR3(5, 12, 5);
    StandOn(e);
    UpdateAll();
    EXPECT_EQ(e->position, D3DXVECTOR3(5, -2, 5));
    EXPECT_EQ(g_player.position, D3DXVECTOR3(5, 11, 5));
}

TEST_F(ElevatorTest, WithItsChannelOffItGoesBackToAUnlessThePlayerIsNear) {
    OElevator* e = Elevator({0, 0, 0}, {100, 0, 0}, 2.0f);
    e->position = D3DXVECTOR3(9, 0, 0);
    g_leverStates[1] = false;
    g_player.position = D3DXVECTOR3(0, 12, 200);
    UpdateAll();
    EXPECT_EQ(e->position, D3DXVECTOR3(7, 0, 0));
    // On it within 20 of its origin: it holds still.
    g_player.position = D3DXVECTOR3(7, 12, 0);
    e->playerOnTop = true;
    UpdateAll();
    EXPECT_EQ(e->position, D3DXVECTOR3(7, 0, 0));
    EXPECT_TRUE(e->riding);
    // Near but not on it: still, unless within a step of A.
    e->playerOnTop = false;
    g_player.position = D3DXVECTOR3(7, 12, 10);
    UpdateAll();
    EXPECT_EQ(e->position, D3DXVECTOR3(7, 0, 0));
    EXPECT_FALSE(e->riding);
    g_player.position = D3DXVECTOR3(0, 12, 200);
    UpdateAll();
    UpdateAll();
    UpdateAll();
    EXPECT_EQ(e->position, D3DXVECTOR3(1, 0, 0));
    e->position = D3DXVECTOR3(1.5f, 0, 0);
    g_player.position = D3DXVECTOR3(1.5f, 12, 10);
    UpdateAll();
    EXPECT_EQ(e->position, D3DXVECTOR3(0, 0, 0));
    EXPECT_TRUE(sounds.empty());
}

TEST_F(ElevatorTest, StopsAtOnePointGiveNoRideAndNoSound) {
    OElevator* e = Elevator({3, 0, 3}, {3, 0, 3}, 1.0f);
    g_player.position = D3DXVECTOR3(3, 12, 3);
    for (int i = 0; i < 30; ++i) {
        StandOn(e);
        UpdateAll();
    }
    EXPECT_EQ(e->position, D3DXVECTOR3(3, 0, 3));
    EXPECT_EQ(g_player.position, D3DXVECTOR3(3, 12, 3));
    EXPECT_FALSE(e->motionSound);
    EXPECT_TRUE(sounds.empty());
}

TEST_F(ElevatorTest, TheLampOnMaterialTwoShowsTheChannel) {
    OElevator* e = Elevator({0, 0, 0}, {0, 50, 0}, 1.0f);
    MeshRecord* record = g_resourceCache->Find("elevator.x");
    ASSERT_GE(record->materialCount, 3u);
    const D3DMATERIAL9 deck = record->materials[0];
    const float alpha = record->materials[2].Diffuse.a;
    e->Draw();
    EXPECT_EQ(record->materials[2].Diffuse.r, 0.1f);
    EXPECT_EQ(record->materials[2].Diffuse.g, 1.0f);
    EXPECT_EQ(record->materials[2].Emissive.g, 1.0f);
    EXPECT_EQ(record->materials[2].Ambient.b, 0.1f);
    EXPECT_EQ(record->materials[2].Diffuse.a, alpha);
    g_leverStates[1] = false;
    e->Draw();
    EXPECT_EQ(record->materials[2].Diffuse.r, 1.0f);
    EXPECT_EQ(record->materials[2].Emissive.g, 0.1f);
    EXPECT_EQ(std::memcmp(&record->materials[0], &deck, sizeof deck), 0);
    EXPECT_EQ(e->workVertices, e->baseVertices);
}

}  // namespace
