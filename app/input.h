// The eleven keys and buttons the game reads, sampled once at the start of every frame.
#pragma once

struct KeyState {
    int now;     // 1 if the key was down at this frame's sample
    int before;  // what `now` was in the previous frame

    bool Down() const { return now != 0; }
    bool Triggered() const { return before == 0 && now == 1; }
};

struct InputState {
    KeyState w, a, s, d;  // walk
    KeyState e;           // operate a lever
    KeyState left, right; // mouse sensitivity
    KeyState space;       // jump
    KeyState enter;       // start the game, leave the clear screen
    KeyState mouseLeft;   // fire
    KeyState mouseRight;  // release the bulges
};

extern InputState g_input;

void SampleInput();
