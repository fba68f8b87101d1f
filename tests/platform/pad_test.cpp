// The gamepad on the headless window: the shared pad tests (support/pad_play.cpp) on the headless pad,
// whose clock is exact, and the focus rule.
#include <gtest/gtest.h>
#include <windows.h>

#include "headless/control.h"
#include "support/pad_play.h"

namespace pad_test {

const Controls& BackendControls() {
    static const Controls controls{
        [] { headless::reset(); },
        [] {
            headless::connectPad(true);
            return true;
        },
        [] { headless::connectPad(false); },
        headless::holdPadButton,
        headless::setPadAxis,
        headless::holdKey,
        [] { headless::reset(); },
    };
    return controls;
}

namespace {

TEST_F(PadPlay, BackQuitsSixtyFramesAfterThePressOnTheFrameClock) {
    c.button(pad::Back, true);
    int frames = 0;
    while (Frame().escapes == 0 && frames < 200) ++frames;
    EXPECT_EQ(frames, 60);  // 60 × 1000 / 60 ms
}

TEST_F(PadPlay, WithoutFocusThePadIsNotRead) {
    Stick(pad::RightX, 32767, 0);
    c.button(pad::A, true);
    c.button(pad::Back, true);
    headless::setFocus(false);
    int escapes = 0;
    for (int i = 0; i < 90; ++i) {
        const Seen s = Frame();
        escapes += s.escapes;
        EXPECT_TRUE(s.keys.empty());
        EXPECT_EQ(s.dx, 0);
    }
    EXPECT_EQ(escapes, 0);
    // Back down all that time counts from the focus coming back, not from the press.
    headless::setFocus(true);
    Seen s = Frame();
    EXPECT_EQ(s.keys, (std::set<int>{VK_SPACE}));
    int frames = 0;
    while (Frame().escapes == 0 && frames < 200) ++frames;
    EXPECT_EQ(frames, 59);
}

}  // namespace
}  // namespace pad_test
