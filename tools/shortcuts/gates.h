// A stage's gates: what counts as a way round its puzzles, and where the search for one starts. One
// file per stage, stageN.gates beside the stage's solution steps; one instruction per line, `#` starts a
// comment:
//
//   solution ../stage1.replay          the solution replay (default: ../stageN.replay from this folder)
//   checkpoint 180 400                 runs start at these frames of the solution (default: four, spread)
//   gate NAME goal [CONDITION...]      the goal reached
//   gate NAME enter X0 Y0 Z0 X1 Y1 Z1 [CONDITION...]   the eye inside the box
//   gate NAME door K [CONDITION...]    the eye through door K's 32 x 32 square while it is shut (opened
//                                      less than 4 a panel: the gap is narrower than the body's 8)
//   sweep NAME FRAGMENT checkpoint F [starts K] deaths SHARE [region X0 Y0 Z0 X1 Y1 Z1]
//                                      from frame F of the solution, for each of K start frames (60),
//                                      wait that long and play the replay FRAGMENT (its frames count
//                                      from its start); fewer than SHARE of the starts dying is a
//                                      shortcut; a start that reaches the region alive is counted too
//
// Conditions, all of which must hold in the same frame as the gate's event:
//   never C        lever channel C has not been on since the stage started
//   off C / on C   channel C is off / on now
//   unshot X0 Y0 Z0 X1 Y1 Z1   no shot has landed (put a bulge's centre) inside the box since the start
//   unridden K     the player has not stood on object K since the start
//   grounded       the player stands on something (not in the air)
// Objects are numbered from 1 in stage-file order, as the replay runner's `objects` report numbers them.
#pragma once

#include <d3dx9.h>

#include <string>
#include <vector>

namespace shortcuts {

struct Box {
    D3DXVECTOR3 lo, hi;  // lo <= hi on every axis
    bool Contains(const D3DXVECTOR3& p) const;
};

struct Condition {
    enum Kind { Never, Off, On, Unshot, Unridden, Grounded } kind = Never;
    int number = 0;  // the channel, or the object
    Box box{};
};

struct Gate {
    enum Kind { Goal, Enter, Door } kind = Goal;
    std::string name;
    Box box{};       // Enter
    int object = 0;  // Door
    std::vector<Condition> conditions;
};

struct Sweep {
    std::string name;
    std::string fragment;  // as the file names it; resolved against the gates file's folder
    int checkpoint = 0;
    int starts = 60;
    double deaths = 0.0;  // the smallest share of starts that must die
    bool hasRegion = false;
    Box region{};
};

struct Gates {
    int stage = 0;
    std::string folder;            // of the gates file: relative names in it are read from here
    std::string solution;          // the solution replay, resolved
    std::vector<int> checkpoints;  // in the order given; empty until defaulted from the solution
    std::vector<Gate> gates;
    std::vector<Sweep> sweeps;
};

// `folder` is where relative names are read from. On failure `error` is "line N: problem".
bool ParseGates(const std::string& text, int stage, const std::string& folder, Gates& out, std::string& error);
// On failure `error` is "PATH:N: problem", or says the file cannot be read.
bool LoadGates(const std::string& path, int stage, Gates& out, std::string& error);
// folder/stageN.gates
std::string GatesPath(const std::string& folder, int stage);

}  // namespace shortcuts
