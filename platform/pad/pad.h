// The one gamepad mapping, shared by the real and the headless window: a pad's buttons, sticks and
// triggers become the virtual keys the game samples and the cursor motion its mouse look reads, so the
// game cannot tell a pad from the keyboard and mouse.
//
//   left stick   W A S D, past a dead zone; eight ways, so a diagonal push holds two keys
//   right stick  cursor motion: a dead zone, then a square curve up to kLookFullSpeed pixels a frame
//   A  SPACE     X  E     right trigger  left button     left trigger or left shoulder  right button
//   D-pad left / right  LEFT / RIGHT     Start  Enter    Back held for kBackHoldMs  Escape, once
#pragma once

#include <bitset>
#include <cstdint>
#include <deque>

#include "seam/window.h"

namespace pad {

// In the order of SDL's game-controller interface, so that the real window maps them by number.
// clang-format off
enum Button {
    A, B, X, Y, Back, Guide, Start, LeftStick, RightStick, LeftShoulder, RightShoulder,
    DpadUp, DpadDown, DpadLeft, DpadRight, kButtonCount
};
// clang-format on
enum Axis { LeftX, LeftY, RightX, RightY, LeftTrigger, RightTrigger, kAxisCount };

// A pad as it is now: sticks from -32768 to 32767 with y growing downwards, triggers from 0 to 32767.
struct State {
    bool buttons[kButtonCount] = {};
    int axes[kAxisCount] = {};
};

constexpr int kStickMax = 32767;
constexpr int kWalkDeadZone = 9830;  // 30 % of a stick's travel: walking wants a firm push
constexpr int kLookDeadZone = 6553;  // 20 %: worn sticks rest off centre
// A full push turns 40 / 15 = 2.67 degrees a frame (160 a second) at the starting divisor; half the
// travel past the dead zone gives a quarter of that, so small pushes aim finely.
constexpr int kLookFullSpeed = 40;
constexpr int kSubpixels = 1024;  // motion is carried in 1/1024 pixel between frames
// A trigger goes down past half its travel and up again under a quarter, so one that rests near a
// single threshold cannot fire shot after shot.
constexpr int kTriggerDown = 16384, kTriggerUp = 8192;
constexpr uint32_t kBackHoldMs = 1000;  // a tap on Back must not quit

class Mapper {
public:
    // One frame: the pad as it is now (null: none connected, or the window without focus) and the
    // clock. Cursor motion and the Escape of a long Back press are added to `events`.
    void step(const State* state, uint32_t nowMs, std::deque<seam::Event>& events);
    bool holds(int vk) const { return vk > 0 && vk < 256 && held[vk]; }

private:
    std::bitset<256> held;
    int carryX = 0, carryY = 0;  // motion not yet a whole pixel, in subpixels
    bool fire = false, release = false;
    bool backDown = false, escapeSent = false;
    uint32_t backSince = 0;
};

// Merges pads played together: a button is down on any of them, each stick and trigger comes from the
// pad that pushes it furthest.
void merge(State& into, const State& other);

}  // namespace pad
