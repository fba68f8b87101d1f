// The search's random player. Seeded, it picks one small plan after another (walk, turn, shoot at a
// surface in view and walk onto the bend, run up and jump, face a door or lever or lift and go to it,
// walk up to a wall, shoot it and scramble up the bend, flip a lever, let the bulges go, stand still) and turns each
// into the keys and mouse motion of the frames it lasts. It reads the game as it plays: the view angles to aim by, what
// the view ray meets, and whether the floor ahead ends, where a walker with a taste for it jumps. Every frame's input
// is given back as replay actions, so a run is written down exactly as it was played.
#pragma once

#include <cstdint>
#include <deque>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include <d3dx9.h>

#include "tools/replay/replay.h"

namespace shortcuts {

class Explorer {
public:
    explicit Explorer(uint32_t seed);

    // The keys the run starts with held (from the checkpoint's replay): released in the first frame, so
    // the run knows what it holds.
    void Begin(const std::set<int>& heldKeys) { toRelease = heldKeys; }

    // The actions for the frame about to start, from the state the game is in now.
    void Step(int frame, std::vector<replay::Action>& out);

private:
    struct Move {
        enum Kind { Hold, Release, Wait, Stall, Turn, Pitch, Aim, Face } kind;
        int n = 0;       // Hold/Release: key; Wait, Stall: frames; Turn: pixels
        float a = 0.0f;  // Pitch: degrees
    };

    void Plan();
    void PlanShot();
    void PlanWalkOn(bool scramble, float letGo);
    void Press(int vk, int frames);
    void Key(int vk, bool down, std::vector<replay::Action>& out);
    bool RunMove(std::vector<replay::Action>& out);  // false once the frame's input is complete
    bool EdgeAhead() const;
    int TurnTowardSomething();
    void AimAt(float& turn, float& pitch);
    int Uniform(int lo, int hi);
    float Uniform(float lo, float hi);
    bool Chance(float p);

    std::mt19937 rng;
    std::deque<Move> plan;
    std::set<int> held, toRelease;
    std::vector<std::pair<int, int>> releases;  // (frame, key): the reactive jumps let go
    int frame = 0;
    int stalled = 0;  // frames in a row without headway
    bool haveSight = false;
    D3DXVECTOR3 sight{};  // the object the last Face turned to, until a shot has been aimed near it
    // This run's taste: how much it likes each plan, whether it jumps at edges and how far ahead it looks.
    std::vector<float> weights;
    float edgeJumps = 0.0f;
    float edgeReach = 0.0f;
};

}  // namespace shortcuts
