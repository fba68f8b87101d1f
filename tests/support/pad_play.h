// Gamepad tests that run on both window backends: the headless pad (platform/pad_test.cpp) and SDL's
// own virtual pad through the real SDL window under X (render/pad_render_test.cpp). Each binary says
// how its pad is plugged in and moved; the test bodies and their numbers are the same.
#pragma once

#include <d3d9.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <vector>

#include "pad/pad.h"

namespace pad_test {

struct Controls {
    void (*prepare)();  // before the window opens
    bool (*connect)();
    void (*disconnect)();
    void (*button)(int button, bool down);
    void (*axis)(int axis, int value);
    void (*holdKey)(int vk, bool down);  // the keyboard, for the tests that play both
    void (*finish)();
};
const Controls& BackendControls();  // defined by each binary

// What one frame of the game saw: the keys it samples, the cursor's motion from the centre, the
// Escape presses in the queue, and the clock.
struct Seen {
    std::set<int> keys;
    int dx = 0, dy = 0;
    int escapes = 0;
    DWORD ms = 0;
};

class PadPlay : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // One frame as the game runs it: the queue emptied, the keys sampled, the cursor read and put back
    // on the centre, then Present. Pad changes made before it count in it.
    Seen Frame();
    void Stick(int firstAxis, int x, int y) {
        c.axis(firstAxis, x);
        c.axis(firstAxis + 1, y);
    }
    const Controls& c = BackendControls();
    HWND hWnd = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

// One input on the pad and the keys the game should see for it.
struct KeyCase {
    const char* name;
    int button;  // a pad::Button, or -1
    int axis;    // a trigger or a stick's first axis, or -1
    int x, y;    // its value (y for sticks only)
    std::set<int> keys;
};
class PadKeys : public PadPlay, public ::testing::WithParamInterface<KeyCase> {};

// A right-stick position and the cursor motion it gives frame by frame.
struct LookCase {
    const char* name;
    int x, y;
    std::vector<int> dx, dy;
};
class PadLook : public PadPlay, public ::testing::WithParamInterface<LookCase> {};

}  // namespace pad_test
