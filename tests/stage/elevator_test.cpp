// Elevators: the silent approach and the snap at a stop, the ride with its loop and arrival sound, the
// carry (twice on the first frame, never lifting the player itself), the tie-breaks between equally
// near stops, the way back to stop A and its 20-unit reach, stops that coincide, and the lamp.
#include <gtest/gtest.h>

#include <dsound.h>

#include <algorithm>
#include <optional>
#include <tuple>

#include "resource/resource_cache.h"
#include "stage/oelevator.h"
#include "support/world.h"

using namespace testing_support;

namespace {

class ElevatorTest : public World {
protected:
    void SetUp() override {
        World::SetUp();
        g_leverStates.assign(2, true);  // channel 1 drives the elevators here
    }
    // Stop A at `a`, stop B at `b`, `speed` a frame, at `at` (A unless given).
    OElevator* Elevator(D3DXVECTOR3 a, D3DXVECTOR3 b, float speed, std::optional<D3DXVECTOR3> at = {}) {
        auto* e = MakeAs<OElevator>(TYPE_ELEVATOR, "elevator.x", a, {b.x, b.y, b.z, speed, 1});
        e->position = at.value_or(a);
        return e;
    }
    // The player standing on the deck, as the collision leaves it after each frame.
    static void StandOn(OElevator* e) {
        g_player.position.y = e->position.y + 12.0f;
        e->playerOnTop = true;
    }
    static Sound Loop(int frame) { return Played("mecha00.wav", -2000, DSBPLAY_LOOPING, frame); }
    static Sound Halt(int frame) { return Stopped("mecha00.wav", frame); }
};

TEST_F(ElevatorTest, ComesSilentlyToTheStopNearADistantPlayerAndSnapsThere) {
    OElevator* e = Elevator({0, 0, 0}, {100, 0, 0}, 1.0f);
    g_player.position = D3DXVECTOR3(100, 12, 30);  // 32 from B, far from A
    for (int i = 1; i <= 99; ++i) {
        UpdateObjects();
        ASSERT_EQ(e->position, D3DXVECTOR3(float(i), 0, 0)) << i;
    }
    for (int i = 0; i < 2; ++i) UpdateObjects();  // within one step of B: there, then resting there
    EXPECT_EQ(e->position, D3DXVECTOR3(100, 0, 0));
    // Resting at a stop only ever stops the loop; nothing plays.
    EXPECT_EQ(sounds, (std::vector<Sound>{Halt(100), Halt(101)}));
}

TEST_F(ElevatorTest, RidesThePlayerAcrossWithTheLoopAndTheArrivalSound) {
    OElevator* e = Elevator({0, 0, 0}, {100, 0, 0}, 1.0f);
    g_player.position = D3DXVECTOR3(0, 12, 0);
    // The first frame of a ride moves the elevator twice and the player once, every later frame once each.
    for (int i = 1; i <= 98; ++i) {
        StandOn(e);
        UpdateObjects();
        ASSERT_EQ(std::pair(e->position.x, g_player.position.x), std::pair(i + 1.0f, float(i))) << i;
    }
    // Within one step of B in frame 99: snapped, loop stopped, the arrival played; the carry still runs
    // after the snap, so it rests one step beyond B and pushes the player along while it stays on.
    for (int i = 99; i <= 100; ++i) {
        StandOn(e);
        UpdateObjects();
    }
    EXPECT_EQ(std::pair(e->position.x, g_player.position.x), std::pair(101.0f, 100.0f));
    EXPECT_EQ(sounds, (std::vector<Sound>{Halt(1), Halt(1), Loop(1), Halt(99), Played("close01.wav", -1000, 0, 99),
                                          Halt(100)}));

    // Off it and more than 20 away: the ride ends. Back on it: a ride toward the stop farther away, A.
    e->playerOnTop = false;
    g_player.position = D3DXVECTOR3(140, 12, 0);
    UpdateObjects();
    EXPECT_FALSE(e->riding);
    g_player.position = D3DXVECTOR3(100, 12, 0);
    StandOn(e);
    UpdateObjects();
    EXPECT_EQ(std::pair(e->position.x, g_player.position.x), std::pair(98.0f, 99.0f));
}

TEST_F(ElevatorTest, GoingUpItLeavesThePlayersHeightToTheCollisionAndRestsOneStepAboveItsStop) {
    // Stop B at 40.25 with speed 0.7: the step beyond the stop measures 0.7000008 back to it.
    OElevator* e = Elevator({0, 0, 0}, {0, 40.25f, 0}, 0.7f);
    g_player.position = D3DXVECTOR3(0, 12, 0);
    for (int i = 0; i < 200; ++i) {
        StandOn(e);
        const float before = g_player.position.y;
        UpdateObjects();
        ASSERT_EQ(g_player.position.y, before) << i;
        ASSERT_LE(e->position.y, 40.25f + 0.7f) << i;
    }
    EXPECT_EQ(e->position.y, 40.25f + 0.7f);
    EXPECT_EQ(std::count_if(sounds.begin(), sounds.end(), [](const Sound& s) { return s.name == "close01.wav"; }), 1);
}

// One frame from where it stands, stop A at the origin: where it and the eye end. A player exactly as
// far from A as from B means A, for the approach (from x 60, one step) and for a new ride (two steps on
// its first frame, the player carried once). Going down it takes the player along. The player beside it
// (not on it), its channel off or on: (12, 16) from it is exactly 20 and holds it; a hundredth more and it
// moves its step of 2 toward A (off: its way back; on: the stop nearer the player, 21.9 against 93 for B).
// Its channel off and within a step of A, it snaps there even with the player near.
struct Start {
    D3DXVECTOR3 b, at;
    float speed;
    bool channelOn, onTop;
    D3DXVECTOR3 eye, to, eyeTo;
};
class OneFrame : public ElevatorTest, public testing::WithParamInterface<Start> {};
TEST_P(OneFrame, MovesAsWorkedOut) {
    const Start& c = GetParam();
    OElevator* e = Elevator({0, 0, 0}, c.b, c.speed, c.at);
    g_leverStates[1] = c.channelOn;
    g_player.position = c.eye;
    if (c.onTop) StandOn(e);
    UpdateObjects();
    EXPECT_EQ(e->position, c.to);
    EXPECT_EQ(g_player.position, c.eyeTo);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, OneFrame,
    testing::Values(Start{{100, 0, 0}, {60, 0, 0}, 1, true, false, {50, 12, 200}, {59, 0, 0}, {50, 12, 200}},
                    Start{{100, 0, 0}, {50, 0, 0}, 1, true, true, {50, 12, 0}, {48, 0, 0}, {49, 12, 0}},
                    Start{{0, -30, 0}, {0, 0, 0}, 1, true, true, {0, 12, 0}, {0, -2, 0}, {0, 11, 0}},
                    Start{{100, 0, 0}, {9, 0, 0}, 2, false, false, {9, 12, 16}, {9, 0, 0}, {9, 12, 16}},
                    Start{{100, 0, 0}, {9, 0, 0}, 2, false, false, {9, 12, 16.01f}, {7, 0, 0}, {9, 12, 16.01f}},
                    Start{{100, 0, 0}, {9, 0, 0}, 2, true, false, {9, 12, 16}, {9, 0, 0}, {9, 12, 16}},
                    Start{{100, 0, 0}, {9, 0, 0}, 2, true, false, {9, 12, 16.01f}, {7, 0, 0}, {9, 12, 16.01f}},
                    Start{{100, 0, 0}, {1.5f, 0, 0}, 2, false, false, {1.5f, 12, 10}, {0, 0, 0}, {1.5f, 12, 10}}));

TEST_F(ElevatorTest, StopsAtOnePointGiveNoRideAndNoSound) {
    OElevator* e = Elevator({3, 0, 3}, {3, 0, 3}, 1.0f);
    g_player.position = D3DXVECTOR3(3, 12, 3);
    for (int i = 0; i < 30; ++i) {
        StandOn(e);
        UpdateObjects();
    }
    EXPECT_EQ(std::pair(e->position, g_player.position), std::pair(D3DXVECTOR3(3, 0, 3), D3DXVECTOR3(3, 12, 3)));
    EXPECT_TRUE(sounds.empty());
}

TEST_F(ElevatorTest, TheLampOnMaterialTwoShowsTheChannel) {
    OElevator* e = Elevator({0, 0, 0}, {0, 50, 0}, 1.0f);
    const D3DMATERIAL9* m = g_resourceCache->Find("elevator.x")->materials;
    const float alpha = m[2].Diffuse.a;
    e->Draw();  // green: (0.1, 1, 0.1)
    EXPECT_EQ(std::tie(m[2].Diffuse.r, m[2].Emissive.g, m[2].Ambient.b, m[2].Diffuse.a),
              std::make_tuple(0.1f, 1.0f, 0.1f, alpha));
    g_leverStates[1] = false;
    e->Draw();  // red: (1, 0.1, 0.1)
    EXPECT_EQ(std::pair(m[2].Diffuse.r, m[2].Emissive.g), std::pair(1.0f, 0.1f));
    EXPECT_EQ(e->workVertices, e->baseVertices);
}

}  // namespace
