// The search on one stage, and the check of one replay. A search plays the stage's solution once, and at
// each checkpoint forks the process: every child starts from that exact state, plays one seeded random
// run (or one start timing of a sweep) and hands its outcome back; a few children run at a time.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "gates.h"
#include "tools/replay/replay.h"

namespace shortcuts {

struct Settings {
    uint32_t seed = 1;
    int runs = -1;         // random runs per checkpoint; -1: as many as the time allows, 0: sweeps only
    double seconds = 0.0;  // for the whole stage; 0: no time limit
    int frames = 300;      // the longest run
    int jobs = 2;          // children at a time
    bool first = false;    // stop at the first shortcut
    std::string out;       // where the replays go
};

struct Totals {
    int runs = 0;
    long frames = 0;
    double seconds = 0.0;
    int shortcuts = 0;
    int crashes = 0;
    bool failed = false;  // the stage could not be searched as its gates file asks
};

// Everything a stage's search needs, read before the search starts.
struct StagePlan {
    Gates gates;
    replay::Replay solution;
    std::vector<replay::Replay> fragments;  // one per sweep
};

// Reads the gates file, the solution and the fragments, and settles the checkpoints (four spread over
// the solution when the file names none). False with a message naming the file and the problem.
bool LoadStagePlan(const std::string& gatesFolder, int stage, StagePlan& plan, std::string& error);

// Runs the search in this process (which must not have run the game before) and prints what it finds.
Totals SearchStage(const StagePlan& plan, const Settings& settings);

// Plays a replay with the gates of its stage and prints every gate it meets. 0: none met, 1: some met,
// 2: the check could not be made.
int CheckReplay(const replay::Replay& script, const Gates& gates);

// The seed of one run: from the campaign's seed, the stage, the checkpoint and the run's number.
uint32_t RunSeed(uint32_t seed, int stage, int checkpoint, int index);

// A replay of the solution's first `checkpoint` frames followed by `run`, printing frame `until` (and
// the objects there) and ending two frames later.
std::string WriteReplay(const StagePlan& plan, int checkpoint, const std::multimap<int, replay::Action>& run, int until,
                        const std::string& title);

}  // namespace shortcuts
