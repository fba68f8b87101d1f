// A replay: a small text file of per-frame input for the replay runner.
//
//   # a comment
//   frames 600              the window is closed after this many frames
//   answer no               message-box answers, in order (yes, no, ok)
//   at 10 hold enter        from frame 10 on the key is held ...
//   at 12 release enter     ... until it is released
//   at 30 key escape        a key-down message in frame 30
//   at 40 mouse 5 -3        relative mouse motion in frame 40
//   at 50 close             the window is closed in frame 50
//   at 60 pad hold a        a gamepad button held from frame 60 on (pad release a lets it go)
//   at 60 pad lstick 0 -32768   a stick's x and y, -32768 to 32767 (y down), kept until changed
//   at 60 pad rtrigger 32767    a trigger, 0 to 32767 (also ltrigger, rstick)
//   at 90 pad disconnect    the pad is pulled out (pad connect plugs one in; any pad action does)
//   print every 10          report every 10th frame (or: print at 3 17 129)
//   shot 120 title.png      save the picture of frame 120 (real backends)
//   stage 2                 start in the load scene with stage 2 (the title is skipped)
//   objects at 1 300        list the stage objects at these frames (or: objects every 60)
//
// Keys: w a s d e left right space enter escape lbutton rbutton. Pad buttons: a b x y back start
// lshoulder rshoulder dup ddown dleft dright. Frames count from 0; "in frame N" means before frame N
// samples its input.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace replay {

struct Action {
    enum Kind { Hold, Release, KeyDown, Mouse, Close, PadConnect, PadDisconnect, PadHold, PadRelease, PadAxes } kind;
    int vk = 0;     // the key, or the pad button, or the first pad axis
    int dx = 0, dy = 0;  // the mouse motion, or the pad axes' values (dy only for sticks)
    bool twoAxes = false;
};

struct Replay {
    int frames = 0;  // 0: run until the game ends by itself
    std::vector<int> answers;
    std::multimap<int, Action> actions;
    int printEvery = 0;
    std::vector<int> printAt;
    std::map<int, std::string> shots;
    int stage = 0;  // 0: start on the title as the game does
    int objectsEvery = 0;
    std::vector<int> objectsAt;

    bool Prints(int frame) const;
    bool ListsObjects(int frame) const;
};

// Reads a replay; on failure `error` names the line and the problem.
bool Parse(const std::string& text, Replay& out, std::string& error);
bool Load(const std::string& path, Replay& out, std::string& error);

// A key's name in replays ("w", "lbutton"); empty for a key replays do not name.
std::string KeyName(int vk);
// One action as the line that reads it back: "at 12 hold w", "at 40 mouse 5 -3".
std::string FormatAction(int frame, const Action& action);

}  // namespace replay
