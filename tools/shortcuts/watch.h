// Follows the game frame by frame and says which of a stage's gates the play meets. Each frame is
// looked at as it starts (the state after that many updates, as the replay runner reports "frame N").
// Gates count only in the game scene on their stage while the player is alive; the history the
// conditions read (channels that were on, shots that landed, objects stood on) starts again with every
// load of the stage.
#pragma once

#include <d3dx9.h>

#include <set>
#include <string>
#include <vector>

#include "gates.h"

namespace shortcuts {

struct Met {
    int gate;  // index into Gates::gates
    int frame;
    D3DXVECTOR3 eye;
};

class Watch {
public:
    explicit Watch(const Gates& gates) : gates(gates) {}

    // Looks at the frame about to start; returns the gates met now for the first time.
    std::vector<Met> Observe(int frame);
    // The same with the scene given (SCENE_LOAD, SCENE_GAME, ...), for a world without a scene manager.
    std::vector<Met> Observe(int frame, int scene);

    // The stage is being played, and the player is alive.
    bool Playing() const { return playing; }
    // A gate names an object the stage lacks or one of the wrong kind; empty while all is well.
    const std::string& Problem() const { return problem; }
    // Every gate met so far, in order.
    const std::vector<Met>& AllMet() const { return met; }

private:
    void Restart();
    void CheckObjects();
    bool Holds(const Condition& c) const;
    bool Happens(const Gate& g) const;
    void FollowDoors();

    const Gates& gates;
    int stageInPlay = 0;
    int gameFrames = 0;  // game frames since the load
    bool playing = false;
    bool checked = false;
    std::string problem;
    std::set<int> channelsOn;        // channels seen on since the start
    std::set<int> ridden;            // objects stood on since the start
    std::vector<D3DXVECTOR3> shots;  // where the shots since the start landed
    bool havePrevious = false;
    D3DXVECTOR3 previousEye{};
    D3DXVECTOR3 eye{};
    struct DoorSide {
        int side = 0;          // -1 or 1: the side of the plane the eye was last clear of it on
        bool through = false;  // since then it crossed the plane within the square, the door shut
    };
    std::vector<DoorSide> doorSides;  // by gate
    std::vector<bool> doorPassed;     // by gate, in this frame
    std::vector<Met> met;
    std::set<int> metGates;
};

// The eye as "x,y,z" with four decimals, as the replay runner prints positions.
std::string FormatEye(const D3DXVECTOR3& eye);

}  // namespace shortcuts
