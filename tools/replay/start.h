// What every player of replays does the same way: the `stage N` start and the actions of a frame handed
// to a platform. The replay runners and the shortcut finder share it, so that a replay one of them
// writes is played by the others frame for frame.
#pragma once

#include "driver.h"
#include "replay.h"

namespace replay {

// Leaves the title that start-up entered and enters the load scene with stage index `stage`: called in
// frame 0, before any update, so frame 0 loads the stage and frame 1 is its first game frame.
void StartOnStage(int stage);

// Hands actions to a platform as the frame they belong to starts: keys, mouse, close, and the pad,
// which any pad action plugs in first if none is.
class ActionPlayer {
public:
    explicit ActionPlayer(Driver& driver) : driver(driver) {}
    void Apply(const Action& action);
    // Every action of `script` at `frame`, in file order.
    void ApplyFrame(const Replay& script, int frame);
    // A pad could not be plugged in (said once on stderr).
    bool PadFailed() const { return padFailed; }

private:
    void PlugPad(bool connected);

    Driver& driver;
    bool padConnected = false, padFailed = false;
};

}  // namespace replay
